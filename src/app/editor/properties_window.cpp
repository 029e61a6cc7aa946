#include "editor/properties_window.h"

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
#include "editor/new_map_window.h"
#include "qtui.h"
#include "render/scaling.h"

namespace zorvane::editor {

using render::ScaleDim;

namespace {

QPushButton* MakeButton(const char* name, const char* caption, QWidget* parent) {
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QLabel* MakeLabel(const char* name, const char* caption, QWidget* parent) {
    auto* l = new QLabel(QString::fromLatin1(caption), parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextFormat(Qt::PlainText);
    return l;
}

}  // namespace

MapPropertiesWindow::MapPropertiesWindow(MainWindow& window) : QDialog(&window), window_(window) {
    setObjectName(QStringLiteral("TFMapProperties"));
    setWindowTitle(QStringLiteral("Project Properties"));
    auto* grid = new QGridLayout(this);
    int row = 0;
    SEsizeX = MakeSpinEdit("SEsizeX", MinUserMapSize, MaxUserMapSize, 100, this);
    SEsizeY = MakeSpinEdit("SEsizeY", MinUserMapSize, MaxUserMapSize, 100, this);
    grid->addWidget(new QLabel(QStringLiteral("Size X"), this), row, 0);
    grid->addWidget(SEsizeX, row++, 1);
    grid->addWidget(new QLabel(QStringLiteral("Size Y"), this), row, 0);
    grid->addWidget(SEsizeY, row++, 1);
    grid->addWidget(new QLabel(QStringLiteral("(without borders)"), this), row++, 0, 1, 2);
    RBSingle = new QRadioButton(QStringLiteral("singleplayer"), this);
    RBSingle->setObjectName(QStringLiteral("RBSingle"));
    RBMulti = new QRadioButton(QStringLiteral("multiplayer"), this);
    RBMulti->setObjectName(QStringLiteral("RBMulti"));
    grid->addWidget(RBSingle, row, 0);
    grid->addWidget(RBMulti, row++, 1);

    Label3 = MakeLabel("Label3", "*.zp path:", this);
    Label3->setFixedWidth(ScaleDim(169, window.Ppi()));
    Label3->setWordWrap(false);
    zpLabel_ = new ElidedPath(Label3);
    grid->addWidget(Label3, row++, 0, 1, 2);
    BtnChangeZp = MakeButton("BtnChangeZp", "Change *.zp path", this);
    grid->addWidget(BtnChangeZp, row++, 0, 1, 2);

    Label4 = MakeLabel("Label4", "Creatures count = ", this);
    grid->addWidget(Label4, row++, 0, 1, 2);
    BtnResetCreatures = MakeButton("BtnResetCreatures", "Reset Creatures", this);
    BtnImportCreatures = MakeButton("BtnImportCreatures", "Import Creatures", this);
    grid->addWidget(BtnResetCreatures, row, 0);
    grid->addWidget(BtnImportCreatures, row++, 1);
    CBmoveCreatures = new QCheckBox(QStringLiteral("Hold creatures within the map borders and move them about:"), this);
    CBmoveCreatures->setObjectName(QStringLiteral("CBmoveCreatures"));
    grid->addWidget(CBmoveCreatures, row++, 0, 1, 2);
    SEmoveCrX = MakeSpinEdit("SEmoveCrX", -MaxUserMapSize, MaxUserMapSize, 0, this);
    SEmoveCrY = MakeSpinEdit("SEmoveCrY", -MaxUserMapSize, MaxUserMapSize, 0, this);
    auto* move = new QHBoxLayout;
    move->addWidget(new QLabel(QStringLiteral("X:"), this));
    move->addWidget(SEmoveCrX);
    move->addWidget(new QLabel(QStringLiteral("Y:"), this));
    move->addWidget(SEmoveCrY);
    grid->addLayout(move, row++, 0, 1, 2);

    Label5 = MakeLabel("Label5", "Bitmaps count =", this);
    grid->addWidget(Label5, row++, 0, 1, 2);
    BtnRemoveUnusedBitmaps = MakeButton("BtnRemoveUnusedBitmaps", "Remove Unused Bitmaps", this);
    grid->addWidget(BtnRemoveUnusedBitmaps, row++, 0, 1, 2);
    BtnApply = MakeButton("BtnApply", "Apply", this);
    BtnCancel = MakeButton("BtnCancel", "Cancel", this);
    grid->addWidget(BtnApply, row, 0);
    grid->addWidget(BtnCancel, row++, 1);

    connect(BtnChangeZp, &QPushButton::clicked, this, [this] { BtnChangeZpClick(); });
    connect(BtnResetCreatures, &QPushButton::clicked, this, [this] { BtnResetCreaturesClick(); });
    connect(BtnImportCreatures, &QPushButton::clicked, this, [this] { BtnImportCreaturesClick(); });
    connect(BtnRemoveUnusedBitmaps, &QPushButton::clicked, this, [this] { BtnRemoveUnusedBitmapsClick(); });
    connect(BtnApply, &QPushButton::clicked, this, [this] { BtnApplyClick(); });
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void MapPropertiesWindow::Prepare() {
    const Project& p = window_.project();
    newZpPath_.reset();
    SEsizeX->setValue(p.MapWidth - 4);
    SEsizeY->setValue(p.MapHeight - 4);
    (p.Multiplayer == 1 ? RBMulti : RBSingle)->setChecked(true);
    CBmoveCreatures->setChecked(false);
    UpdateZpLabel();
    UpdateCreaturesLabel();
    UpdateBitmapsLabel();
}

void MapPropertiesWindow::Execute() {
    Prepare();
    ExecCentred(*this, window_);
}

void MapPropertiesWindow::UpdateZpLabel() {
    const std::string& path = newZpPath_ ? *newZpPath_ : window_.project().ZpPath;
    zpLabel_->SetPath(QString::fromStdString(path), QStringLiteral("*.zp path:\n"),
                      window_.project().ZmeVariant ? QStringLiteral("\n(zme version)")
                                                   : QStringLiteral("\n(zmpe version)"));
}

void MapPropertiesWindow::UpdateCreaturesLabel() {
    Label4->setText(app::ShownText(CreaturesLabel(window_.project())));
}

void MapPropertiesWindow::UpdateBitmapsLabel() { Label5->setText(app::ShownText(BitmapsLabel(window_.project()))); }

PropertiesChange MapPropertiesWindow::Change() const {
    PropertiesChange c;
    c.NewZpPath = newZpPath_;
    c.SizeX = SEsizeX->value();
    c.SizeY = SEsizeY->value();
    c.Multiplayer = !RBSingle->isChecked();
    c.MoveCreatures = CBmoveCreatures->isChecked();
    c.MoveX = SEmoveCrX->value();
    c.MoveY = SEmoveCrY->value();
    return c;
}

void MapPropertiesWindow::BtnChangeZpClick() {
    if (auto path = window_.ui().chooseFile(OpenTileSetDialog())) {
        newZpPath_ = *path;
        UpdateZpLabel();
    }
}

void MapPropertiesWindow::BtnResetCreaturesClick() {
    window_.Guarded([this] { ResetCreaturesCommand(window_.project(), window_.ui()); });
    UpdateCreaturesLabel();
}

void MapPropertiesWindow::BtnImportCreaturesClick() {
    window_.Guarded([this] { ImportCreatures(window_.project(), window_.ui()); });
    UpdateCreaturesLabel();
}

void MapPropertiesWindow::BtnRemoveUnusedBitmapsClick() {
    window_.Guarded([this] { RemoveUnusedBitmapsCommand(window_.project(), window_.ui()); });
    UpdateBitmapsLabel();
}

void MapPropertiesWindow::BtnApplyClick() {
    bool applied = false;
    window_.Guarded([&] { applied = ApplyProperties(window_.project(), window_.ui(), Change()); });
    if (applied) accept();
}

}  // namespace zorvane::editor
