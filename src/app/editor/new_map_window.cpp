#include "editor/new_map_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "commands/file_dialogs.h"
#include "editor/elided_path.h"
#include "editor/main_window.h"

namespace zorvane::editor {

QSpinBox* MakeSpinEdit(const char* name, int min, int max, int value, QWidget* parent) {
    auto* se = new QSpinBox(parent);
    se->setObjectName(QString::fromLatin1(name));
    se->setRange(min, max);
    se->setValue(value);
    return se;
}

void ExecCentred(QDialog& dialog, QWidget& over) {
    dialog.adjustSize();
    dialog.move(over.geometry().center() - dialog.rect().center());
    dialog.exec();
}

NewMapWindow::NewMapWindow(MainWindow& window) : QDialog(&window), window_(window) {
    setObjectName(QStringLiteral("TFNewMap"));
    setWindowTitle(QStringLiteral("New map"));
    auto* grid = new QGridLayout(this);
    SEsizeX = MakeSpinEdit("SEsizeX", MinUserMapSize, MaxUserMapSize, 100, this);
    SEsizeY = MakeSpinEdit("SEsizeY", MinUserMapSize, MaxUserMapSize, 100, this);
    grid->addWidget(new QLabel(QStringLiteral("Size X"), this), 0, 0);
    grid->addWidget(SEsizeX, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Size Y"), this), 1, 0);
    grid->addWidget(SEsizeY, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("(without borders)"), this), 2, 0, 1, 2);

    RBSingle = new QRadioButton(QStringLiteral("singleplayer"), this);
    RBSingle->setObjectName(QStringLiteral("RBSingle"));
    RBMulti = new QRadioButton(QStringLiteral("multiplayer"), this);
    RBMulti->setObjectName(QStringLiteral("RBMulti"));
    RBMulti->setChecked(true);
    grid->addWidget(RBSingle, 3, 0);
    grid->addWidget(RBMulti, 3, 1);

    CBfillMap = new QCheckBox(QStringLiteral("fill with bitmap nr"), this);
    CBfillMap->setObjectName(QStringLiteral("CBfillMap"));
    SEfill = MakeSpinEdit("SEfill", 0, 65535, 0, this);
    grid->addWidget(CBfillMap, 4, 0);
    grid->addWidget(SEfill, 4, 1);
    CBfillMapWithTile = new QCheckBox(QStringLiteral("fill with tile nr"), this);
    CBfillMapWithTile->setObjectName(QStringLiteral("CBfillMapWithTile"));
    SEfillWithTile = MakeSpinEdit("SEfillWithTile", 0, 65535, 0, this);
    grid->addWidget(CBfillMapWithTile, 5, 0);
    grid->addWidget(SEfillWithTile, 5, 1);

    BtnSelectZP = new QPushButton(QStringLiteral("Select *.zp"), this);
    BtnSelectZP->setObjectName(QStringLiteral("BtnSelectZP"));
    zpShown_ = new ElidedPath(BtnSelectZP);
    grid->addWidget(BtnSelectZP, 6, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    BtnCreate = new QPushButton(QStringLiteral("Create"), this);
    BtnCreate->setObjectName(QStringLiteral("BtnCreate"));
    BtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    buttons->addWidget(BtnCreate);
    buttons->addWidget(BtnCancel);
    grid->addLayout(buttons, 7, 0, 1, 2);
    BtnCreate->setDefault(true);

    connect(BtnSelectZP, &QPushButton::clicked, this, [this] { BtnSelectZPClick(); });
    connect(BtnCreate, &QPushButton::clicked, this, [this] { BtnCreateClick(); });
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void NewMapWindow::Execute() { ExecCentred(*this, window_); }

NewMapSettings NewMapWindow::Settings() const {
    NewMapSettings s;
    s.SizeX = SEsizeX->value();
    s.SizeY = SEsizeY->value();
    s.Multiplayer = RBMulti->isChecked();
    s.FillWithBitmap = CBfillMap->isChecked();
    s.BitmapNr = SEfill->value();
    s.FillWithTile = CBfillMapWithTile->isChecked();
    s.TileNr = SEfillWithTile->value();
    s.ZpPath = zpPath_.toStdString();
    return s;
}

void NewMapWindow::BtnSelectZPClick() {
    if (auto path = window_.ui().chooseFile(OpenTileSetDialog())) {
        zpPath_ = QString::fromStdString(*path);
        zpShown_->SetPath(zpPath_);
    }
}

void NewMapWindow::BtnCreateClick() {
    if (zpPath_.isEmpty()) {
        window_.ui().error("Error", "Select a tile set (*.zp) first.");
        return;
    }
    bool created = false;
    window_.Guarded([&] { created = CreateNewMap(window_.project(), window_.ui(), Settings()); });
    if (created) accept();
}

}  // namespace zorvane::editor
