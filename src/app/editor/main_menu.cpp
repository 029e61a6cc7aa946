// The main window's menu and the commands behind its File, View and Help
// items (the Edit commands are in edit_commands.cpp, the tiles list's in
// tiles_list_commands.cpp, "Generate Map" in generate_command.cpp).

#include <QAction>
#include <QDesktopServices>
#include <QMenuBar>
#include <QUrl>

#include "commands/file_commands.h"
#include "commands/open_commands.h"
#include "editor/main_window.h"
#include "editor/map_view.h"
#include "editor/map_zoom.h"
#include "editor/mini_map.h"
#include "editor/new_map_window.h"
#include "editor/properties_window.h"
#include "generator/generator_settings.h"
#include "info/about_box.h"
#include "monitor/stats_window.h"
#include "info/controls_text.h"
#include "model/layered_file.h"
#include "model/map_file.h"
#include "platform/file_io.h"

namespace zorvane::editor {

using render::ViewOptions;
namespace {

struct Item {
    const char* name;
    const char* caption;
    const char* shortcut;
};

}  // namespace

void MainWindow::CreateMenus() {
    auto add = [this](QMenu* menu, const Item& item, bool enabled = true) {
        QAction* a = menu->addAction(QString::fromLatin1(item.caption));
        a->setObjectName(QString::fromLatin1(item.name));
        if (item.shortcut[0]) a->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
        a->setEnabled(enabled);
        return a;
    };
    auto checkable = [&](QMenu* menu, const Item& item, bool checked, bool enabled = true) {
        QAction* a = add(menu, item, enabled);
        a->setCheckable(true);
        a->setChecked(checked);
        return a;
    };
    auto on = [this](QAction* a, void (MainWindow::*handler)()) {
        connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    };

    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    on(add(file, {"MNew", "New map", "Ctrl+N"}), &MainWindow::MNewClick);
    on(add(file, {"MOpenZM", "Open *.zm", "Ctrl+I"}), &MainWindow::MOpenZMClick);
    on(add(file, {"MOpenZL", "Open *.zl", "Ctrl+O"}), &MainWindow::MOpenZLClick);
    QMenu* recent = file->addMenu(QStringLiteral("Recent files"));
    recent->setObjectName(QStringLiteral("MRecentFiles"));
    recent_ = std::make_unique<RecentFilesMenu>(*recent, ui_, [this](const std::string& path) { OpenFile(path); });
    on(add(file, {"MSaveZL", "Save to *.zl", "Ctrl+S"}), &MainWindow::MSaveZLClick);
    file->addSeparator();
    connect(add(file, {"MExport_o", "Export to *.zm (zme)", ""}), &QAction::triggered, this,
            [this] { MExportClick(TileSetVariant::Zme); });
    connect(add(file, {"MExport", "Export to *.zm (zmpe)", ""}), &QAction::triggered, this,
            [this] { MExportClick(TileSetVariant::Zmpe); });
    connect(add(file, {"MMakeZp_o", "Make *.zp (zme)", ""}), &QAction::triggered, this,
            [this] { MMakeZpClick(TileSetVariant::Zme); });
    connect(add(file, {"MMakeZp", "Make *.zp (zmpe)", ""}), &QAction::triggered, this,
            [this] { MMakeZpClick(TileSetVariant::Zmpe); });
    on(add(file, {"MMergeZp", "Merge *.zp data", ""}), &MainWindow::MMergeZpClick);
    file->addSeparator();
    on(add(file, {"MMapProperties", "Project Properties", ""}), &MainWindow::MMapPropertiesClick);
    on(add(file, {"MResetProject", "Reset Project", ""}), &MainWindow::MResetProjectClick);
    file->addSeparator();
    connect(add(file, {"MExit", "Exit", ""}), &QAction::triggered, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("Edit"));
    QAction* undo = add(edit, {"MUndo", "Undo", ""}, false);
    undo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    on(undo, &MainWindow::MUndoClick);
    QAction* redo = add(edit, {"MRedo", "Redo", ""}, false);
    redo->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
    on(redo, &MainWindow::MRedoClick);
    edit->addSeparator();
    on(add(edit, {"MSelectAll", "Select All", "Ctrl+A"}), &MainWindow::MSelectAllClick);
    on(add(edit, {"MSelectNone", "Deselect All", "Ctrl+D"}), &MainWindow::MSelectNoneClick);
    on(add(edit, {"MClone", "Clone Selection", "Ctrl+C"}), &MainWindow::MCloneClick);
    edit->addSeparator();
    on(checkable(edit, {"MExtendStep", "Skip to The Nearest Layer", ""}, editState_.SkipNearest),
       &MainWindow::MExtendStepClick);
    on(add(edit, {"MSelUp", "Selection Step Up (Shift+Lmb)", ""}), &MainWindow::MSelUpClick);
    on(add(edit, {"MSelDown", "Selection Step Down (Shift + Rmb)", ""}), &MainWindow::MSelDownClick);
    on(add(edit, {"MSelToTop", "Selection to Top", "Ctrl+U"}), &MainWindow::MSelToTopClick);
    on(add(edit, {"MSelToBottom", "Selection to Bottom", "Ctrl+B"}), &MainWindow::MSelToBottomClick);
    on(add(edit, {"MSwap", "Swap 2 Selected Tiles", ""}), &MainWindow::MSwapClick);
    edit->addSeparator();
    QMenu* tiles = edit->addMenu(QStringLiteral("Tiles List"));
    tiles->menuAction()->setObjectName(QStringLiteral("MTiles"));
    CreateTilesListCommands(tiles);
    edit->addSeparator();
    on(add(edit, {"MSplitSelected", "Split Selection into Single Squares", ""}), &MainWindow::MSplitSelectedClick);
    on(add(edit, {"MDeleteSelected", "Delete Selection", ""}), &MainWindow::MDeleteSelectedClick);
    on(add(edit, {"MPickTile", "Pick Tile under Mouse", "Ctrl+P"}), &MainWindow::MPickTileClick);

    QMenu* view = menuBar()->addMenu(QStringLiteral("View"));
    const struct {
        Item item;
        bool ViewOptions::*option;
    } options[] = {{{"MShowGnd", "Show Ground Layer", "Ctrl+1"}, &ViewOptions::ShowGnd},
                   {{"MShowTop", "Show Top Layer", "Ctrl+2"}, &ViewOptions::ShowTop},
                   {{"MShowAtr", "Show Attributes", "Ctrl+3"}, &ViewOptions::ShowAtr},
                   {{"MShowId", "Show Id", "Ctrl+4"}, &ViewOptions::ShowId},
                   {{"MShowGrid", "Show Grid", "Ctrl+5"}, &ViewOptions::ShowGrid},
                   {{"MShowBorder", "Show Borders", "Ctrl+6"}, &ViewOptions::ShowBorder}};
    for (const auto& o : options) {
        QAction* a = checkable(view, o.item, renderer_.Options.*(o.option));
        const char* name = o.item.name;
        auto option = o.option;
        connect(a, &QAction::triggered, this, [this, option, name] { ToggleView(option, name); });
    }
    view->addSeparator();
    on(checkable(view, {"MMiniMap", "Mini Map", "Ctrl+M"}, false), &MainWindow::MMiniMapClick);
    zoom_ = new MapZoom(*this, *view);
    view_->OnWheel = [this](const QWheelEvent& e) { return zoom_->Wheel(e); };
    QAction* fast = checkable(view, {"MFastRender", "Fast Rendering", ""}, true);
    fast->setVisible(false);
    connect(fast, &QAction::triggered, this, [this] { ToggleView(&ViewOptions::FastRender, "MFastRender"); });

    QMenu* gen = menuBar()->addMenu(QStringLiteral("Map Generator"));
    on(add(gen, {"MGeneratorSettings", "Generator Settings", ""}), &MainWindow::MGeneratorSettingsClick);
    on(add(gen, {"MGenerateMap", "Generate Map", "Ctrl+G"}), &MainWindow::MGenerateMapClick);
    on(add(gen, {"MGenerateInSelection", "Generate in Selection", "Ctrl+Shift+G"}),
       &MainWindow::MGenerateInSelectionClick);
    gen->addSeparator();
    // Option toggles: the flag follows the check mark.
    auto toggle = [&](const Item& item, bool& flag) {
        QAction* a = checkable(gen, item, flag);
        connect(a, &QAction::toggled, this, [&flag](bool checked) { flag = checked; });
    };
    toggle({"MUpdateDisplay", "Update Display", ""}, updateDisplay_);
    on(checkable(gen, {"MStatsWindow", "Statistics Window", "Ctrl+L"}, false), &MainWindow::MStatsWindowClick);
    toggle({"MManualRepeats", "Enable Manual Repeating Rows (1-9)", ""}, manualRepeats_);
    toggle({"MClearBrokenRepeats", "Enable Manual Reseting Local Attempts and Current Row Time (0)", ""},
           manualReset_);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    on(add(help, {"MControls", "Controls", "F1"}), &MainWindow::MControlsClick);
    on(add(help, {"MTutorials", "Tutorials", ""}), &MainWindow::MTutorialsClick);
    on(add(help, {"MAbout", "About...", ""}), &MainWindow::MAboutClick);
    on(add(help, {"MMDonate", "Shout me a beer!", ""}), &MainWindow::MMDonateClick);
}

// Learning into the project changes its tile set: one step.
void MainWindow::MGeneratorSettingsClick() {
    commands_.Run(ProjectCommand::Learning, [this] { generatorSettings_->Execute(); });
}

void MainWindow::MStatsWindowClick() {
    if (stats_->StatsShown())
        stats_->close();
    else
        stats_->show();
    Action("MStatsWindow")->setChecked(stats_->StatsShown());
}

void MainWindow::MNewClick() {
    if (!CloseQuestion(project_, ui_, GeneratorHasData())) return;
    commands_.Run(ProjectCommand::NewMap, [this] { BusyRun([this] { newMap_->Execute(); }); });
}

// The document opens the file, or failing to, closes the project: either
// starts a new history.
bool MainWindow::OpenProject(const std::function<FileCommandResult(UserInterface&)>& open) {
    if (!CloseQuestion(project_, ui_, GeneratorHasData())) return false;
    const FileCommandResult opened = RunFileCommand(open);
    if (opened.Done()) recent_->Add(opened.File);
    return opened.Done();
}

void MainWindow::MOpenZMClick() {
    OpenProject([this](UserInterface& ui) {
        return OpenDocumentCommand(document_, ui, ProjectFileKind::Map, AfterFailedOpen::CloseProject);
    });
}

void MainWindow::MOpenZLClick() {
    OpenProject([this](UserInterface& ui) {
        return OpenDocumentCommand(document_, ui, ProjectFileKind::Layered, AfterFailedOpen::CloseProject);
    });
}

bool MainWindow::OpenFile(const std::string& path) {
    switch (const ProjectFileKind kind = KindOfName(path)) {
    case ProjectFileKind::Map:
    case ProjectFileKind::Layered:
        return OpenProject([this, &path, kind](UserInterface& ui) {
            return OpenDocumentFile(document_, ui, path, kind, AfterFailedOpen::CloseProject);
        });
    default:
        ui_.error("Error", "Could not open " + path +
                               "\rThe editor opens map projects (*.zm) and layered projects (*.zl).");
        return false;
    }
}

void MainWindow::MSaveZLClick() {
    const auto saved = RunFileCommand([this](UserInterface& ui) { return SaveDocumentCommand(document_, ui); });
    if (saved.Done()) recent_->Add(saved.File);
}

void MainWindow::MExportClick(TileSetVariant variant) {
    const auto saved =
        RunFileCommand([this, variant](UserInterface& ui) { return ExportDocumentCommand(document_, ui, variant); });
    if (saved.Done()) recent_->Add(saved.File);
}

void MainWindow::MMakeZpClick(TileSetVariant variant) {
    commands_.Run(ProjectCommand::MakeTileSet,
                  [this, variant] { BusyRun([this, variant] { MakeZpCommand(project_, ui_, variant); }); });
}

// Every box of a merge tells how it ended (what was taken over, or what
// stopped or refused it): it stands over an empty status panel, without the
// progress bar over the horizontal scroll bar.
void MainWindow::MMergeZpClick() {
    LongOperationStarts();
    ui_.setBeforeMessage([this] {
        SetPanel(0, QString());
        HideProgress(false);
    });
    commands_.Run(ProjectCommand::Merge, [this] { BusyRun([this] { MergeZpCommand(project_, ui_); }); });
    ui_.setBeforeMessage(nullptr);
    LongOperationEnded();
}

void MainWindow::MMapPropertiesClick() {
    if (project_.NoProject) {
        ui_.inform("Information", "The project is empty.");
        return;
    }
    commands_.Run(ProjectCommand::ProjectProperties, [this] { Guarded([this] { properties_->Execute(); }); });
}

void MainWindow::MResetProjectClick() {
    bool reset = false;
    Guarded([&] { reset = ResetDocumentCommand(document_, ui_, GeneratorHasData()); });
    if (reset) ProjectOpened();
}

void MainWindow::ToggleView(bool ViewOptions::*option, const char* action) {
    renderer_.Options.*option = !(renderer_.Options.*option);
    if (QAction* a = Action(action)) a->setChecked(renderer_.Options.*option);
    FullRedraw();
}

void MainWindow::MMiniMapClick() {
    if (miniMapShown_)
        miniMap_->close();
    else
        SetMiniMapShown(true);
}

void MainWindow::SetMiniMapShown(bool shown) {
    miniMapShown_ = shown;
    Action("MMiniMap")->setChecked(shown);
    if (shown) miniMap_->ShowCentred();
}

void MainWindow::MControlsClick() { ui_.message("Controls", info::ControlsText(), Icon::Information); }

void MainWindow::MTutorialsClick() { info::ShowTutorials(this); }

void MainWindow::MAboutClick() { info::ShowAbout(this, about_); }

void MainWindow::MMDonateClick() {
    if (ui_.message(info::DonateCaption(), info::DonateText(), Icon::Information, Buttons::OkCancel) == Answer::Ok)
        QDesktopServices::openUrl(QUrl(QString::fromStdString(info::DonateAddress())));
}

}  // namespace zorvane::editor
