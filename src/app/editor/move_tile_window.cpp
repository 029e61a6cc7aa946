#include "editor/move_tile_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "editor/new_map_window.h"

namespace zorvane::editor {

MoveTileWindow::MoveTileWindow(QWidget& mainWindow) : QDialog(&mainWindow), mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("TFMoveNT"));
    setWindowTitle(QStringLiteral("Move Selected Tile"));
    auto* column = new QVBoxLayout(this);
    Label1 = new QLabel(QStringLiteral("Move tile to position:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    SEnewPos = MakeSpinEdit("SEnewPos", 0, 0, 0, this);
    column->addWidget(Label1);
    column->addWidget(SEnewPos);
    auto* buttons = new QHBoxLayout;
    BtnMove = new QPushButton(QStringLiteral("Move"), this);
    BtnMove->setObjectName(QStringLiteral("BtnMove"));
    BtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    BtnMove->setDefault(true);
    buttons->addWidget(BtnMove);
    buttons->addWidget(BtnCancel);
    column->addLayout(buttons);
    setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) + 120);  // room for the caption
    connect(BtnMove, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

int MoveTileWindow::Execute(int tileCount) {
    SEnewPos->setRange(0, std::max(tileCount - 1, 0));  // the value stays, within the new range
    SEnewPos->selectAll();
    ExecCentred(*this, mainWindow_);
    return result() == QDialog::Accepted ? SEnewPos->value() : -1;
}

}  // namespace zorvane::editor
