#pragma once
// The main window (TForm1), captioned "Zorvane Terrain Editor". It owns the
// document (the one project with its history and file), the editing state, the render picture, the input
// controller and the other windows; it holds the tiles list, the map view with its three scroll bars,
// the status bar with 8 panels and the progress bar, and carries the menu.
// The windows of the other folders (statistics, tile editor, generator) reach
// it only through the narrow interfaces it implements (the *Host classes).

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QVector>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "commands/document_commands.h"
#include "commands/edit_commands.h"
#include "document/document.h"
#include "editing/edit_state.h"
#include "editing/map_editing.h"
#include "editor/change_redraw.h"
#include "editor/editor_log.h"
#include "editor/input_controller.h"
#include "editor/recent_menu.h"
#include "generator/driver/generation.h"
#include "generator/generator_host.h"
#include "model/file_kinds.h"
#include "model/project.h"
#include "monitor/stats_window_host.h"
#include "qtui.h"
#include "render/bitmap_info.h"
#include "render/map_renderer.h"
#include "tile_editor/tile_editor_host.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QScrollBar;

namespace zorvane {
struct TilesListCommandState;
}
namespace zorvane::generator_ui {
class GeneratorSettingsWindow;
}

namespace zorvane::editor {

class MapView;
class MapZoom;
class TilesList;
class NewMapWindow;
class MapPropertiesWindow;
class MiniMapWindow;
class MoveTileWindow;
class TileEditWindow;
class StatsWindow;

// How the tile editor is opened: for a new tile, on the selected tiles list
// entry, or with the map selection.
enum class TileEditorMode { New, Edit, FromSelection };

class MainWindow : public QMainWindow,
                   public StatsWindowHost,
                   public TileEditorHost,
                   public generator_ui::GeneratorSettingsHost,
                   public generator_ui::RunReportHost {
    Q_OBJECT
public:
    // `showAbout`: show the about box when the window is first activated.
    explicit MainWindow(bool showAbout = true);
    ~MainWindow() override;

    Project& project() override { return project_; }
    const Project& project() const override { return project_; }
    app::QtUi& ui() override { return ui_; }
    render::MapRenderer& renderer() { return renderer_; }
    const render::MapRenderer& renderer() const override { return renderer_; }
    const render::BitmapInfo& bitmapInfo() const { return bitmapInfo_; }
    InputController& controller() { return controller_; }
    MapZoom& zoom() { return *zoom_; }
    const EditState& editState() const { return editState_; }
    MapEditing& editing() { return commands_.editing(); }
    EditCommands& commands() override { return commands_; }
    EditorLog& log() { return log_; }
    double Ppi() const override { return ppi_; }
    // The generator holds learned data (the close question protects it).
    bool GeneratorHasData() const;
    bool TileEditorAvailable() const { return true; }
    // Map Generator menu toggles, read by the generator and the digit keys.
    bool UpdateDisplay() const override { return updateDisplay_; }
    bool ManualRepeats() const { return manualRepeats_; }
    bool ManualReset() const { return manualReset_; }

    // Status bar.
    void SetPanel(int i, const QString& text);
    QString Panel(int i) const;
    void UpdateStatusBar();

    // Progress bar and busy cursor.
    void ShowProgress(bool busy);
    void HideProgress(bool busy);
    void SetProgressPosition(int position);
    int ProgressPosition() const;
    bool ProgressVisible() const;
    void SetBusyCursor(bool busy);
    void SetMoveCursor(bool on);

    // Brings up to date what shows the parts of the project a notice names.
    void ShowChange(const ChangeNotice& notice);
    // Scroll bars, depth bar, tiles list and view, as the options say.
    void RefreshInterface(const InterfaceRefresh& refresh);
    // Recomputes the bitmap quadrant colours.
    void PrepareBitmapsPx() override;
    // The view back to its origin and default options (part of a project reset).
    void ProjectReset();

    // Drawing.
    void Render(int x0, int x1, int y0, int y1, int dx, int dy) override;
    void FullRedraw() override;
    void UpdateSBDepth(bool redraw);
    // Moves SBx and SBy (kept within their ranges); the scroll handlers redraw.
    void SetScrollPositions(int x, int y);
    // Draws what an editing operation reported (its dirty rectangles or the
    // whole view), gives the depth bar its new range, and rewrites the
    // status bar.
    void ShowMapChange(const MapChange& change);
    // SBDepth and the renderer's depth limit from the depth bar state.
    void ApplyDepthBar(const DepthBar& depth);

    // From the input controller: clicks on map squares with the held
    // modifiers, the mouse square while a drag runs, and the end of a drag
    // without moving tiles back (the controller was enabled or disabled).
    void LeftClickOn(int x, int y);
    void RightClickOn(int x, int y);
    void DragOver(int x, int y);
    void AbandonDrag();
    // Starts placing a copy of tiles list entry `index` at the view origin.
    void StoreNew(int index);

    // Runs a command with the controller disabled and the hourglass cursor;
    // an exception becomes an error box.
    void BusyRun(const std::function<void()>& command) override;
    // Whether a command runs with the hourglass cursor (the project may be
    // half changed while it lets window messages run).
    bool Busy() const { return busyDepth_ > 0; }
    // The crash recovery, when one is attached, follows the work through
    // these: a copy of the project as a long operation (Generate Map,
    // merging a tile set, learning, loading learned data, applying a tile)
    // starts and as it ends, and soon after a change (a step recorded, an
    // undo or a redo, an open or a save).
    std::function<void()> BeforeLongOperation;
    std::function<void()> AfterLongOperation;
    std::function<void()> AfterChange;
    void LongOperationStarts() override {
        if (BeforeLongOperation) BeforeLongOperation();
    }
    void LongOperationEnded() override {
        if (AfterLongOperation) AfterLongOperation();
    }
    void ChangeNoted() {
        if (AfterChange) AfterChange();
    }
    // Runs a command; an exception becomes an error box.
    void Guarded(const std::function<void()>& command) override;

    QAction* Action(const char* name) const;
    void SetMiniMapShown(bool shown);

    NewMapWindow& newMapWindow() { return *newMap_; }
    MapPropertiesWindow& propertiesWindow() { return *properties_; }
    MiniMapWindow& miniMapWindow() { return *miniMap_; }
    generator_ui::GeneratorSettingsWindow& generatorSettingsWindow() { return *generatorSettings_; }
    StatsWindow& statsWindow() { return *stats_; }

    // Commands of the menu.
    void MNewClick();
    void MOpenZMClick();
    void MOpenZLClick();
    // Opens a .zm or .zl file by name as the Open command of its kind does
    // (the close question, the same messages, the file then a recent file);
    // another kind of file is refused with a message. True when it opened.
    bool OpenFile(const std::string& path);
    RecentFilesMenu& recentFiles() { return *recent_; }
    void MSaveZLClick();
    void MExportClick(TileSetVariant variant);
    void MMakeZpClick(TileSetVariant variant);
    void MMergeZpClick();
    void MMapPropertiesClick();
    void MResetProjectClick();
    void MGeneratorSettingsClick();
    void MStatsWindowClick();
    // "Generate Map": runs the generator into the project; returns when the
    // run has ended. A close of the window during a run stops the run and
    // closes the window after it.
    void MGenerateMapClick();
    // "Generate in Selection": new squares for the rectangle around the
    // selected tiles (generator/area/area_generation.h); one undo step.
    void MGenerateInSelectionClick();
    // A run of the generator with the window locked, Esc reaching it.
    void RunGenerator(const std::function<void(GenerationReport&)>& run);
    void CloseIfAskedDuringRun();
    bool GenerationRunning() const { return running_; }
    GenerationRequests& generationRequests() { return requests_; }
    // Options of the next runs beyond the settings window's (a seed, a time
    // limit); none by default.
    GenerateOptions RunOptions;
    void ToggleView(bool render::ViewOptions::*option, const char* action);
    void MMiniMapClick();
    void MControlsClick();
    void MTutorialsClick();
    void MAboutClick();
    void MMDonateClick();
    // Edit menu.
    // Undo and redo: one step of the history; disabled while a run goes on.
    void MUndoClick();
    void MRedoClick();
    Document& document() { return document_; }
    const History& history() const { return document_.history(); }
    // Told by the document after every step it recorded or looked for.
    void HistoryChanged(bool stepAdded);
    // The document took in another project (opened, reset, recovered): the
    // Undo and Redo commands, the title and the crash recovery follow.
    void ProjectOpened();
    // The file last opened or saved; empty for none.
    const std::string& CurrentFile() const { return document_.File(); }
    // Whether the project differs from what was last saved or opened.
    bool ModifiedProject() const;
    // The Undo and Redo captions and enabling, and the title.
    void UpdateUndoCommands();
    // Runs a file command of the document with the busy cursor; the Undo
    // command, the title and the crash recovery then follow the document.
    FileCommandResult RunFileCommand(const std::function<FileCommandResult(UserInterface&)>& command);
    void MSelectAllClick();
    void MSelectNoneClick();
    void MCloneClick();
    void MExtendStepClick();
    void MSelUpClick();
    void MSelDownClick();
    void MSelToTopClick();
    void MSelToBottomClick();
    void MSwapClick();
    void MSplitSelectedClick();
    void MDeleteSelectedClick();
    // Selects in the tiles list the topmost tile under the mouse (a copy of
    // it is added to the list when the list has none).
    void MPickTileClick();
    // Tiles list (the Edit menu's submenu and the list's popup menu).
    void MNewTileClick();
    void MCreateTileFromSelClick();
    void MEditTileClick();
    void MMoveTileClick();
    void MDelTileClick();
    // Opens the tile editor modally: for a new tile, on the selected tiles
    // list entry, or with the map selection.
    void OpenTileEditor(TileEditorMode mode);
    // Enables the tiles list commands of both menus by their conditions.
    void UpdateTilesListCommands();
    MoveTileWindow& moveTileWindow() { return *moveTile_; }

    // What the other windows ask of it (their *Host interfaces).
    QWidget& Widget() override { return *this; }
    QProgressBar* ProgressBar() override { return progressBar_; }
    GeneratorSession& generatorSession() override { return generatorSession_; }
    MapGenerationEngine& generationEngine() override { return engine_; }
    void WriteLogLinesToFile() override { log_.WriteLogLinesToFile(); }
    void PassKey(const QKeyEvent& key) override;
    bool TakesKeys() const override { return controller_.Enabled; }
    int SelectedTile() const override;
    void SelectTile(int index) override;
    void ShowChangedTiles(int first, int last) override;
    TileEditWindow& tileEditWindow() { return *tileEdit_; }

protected:
    void resizeEvent(QResizeEvent* e) override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void CreateControls();
    void CreateMenus();
    // The tiles list commands in `submenu` and in the list's popup menu PMntList.
    void CreateTilesListCommands(QMenu* submenu);
    TilesListCommandState TilesListState() const;
    void LayoutControls();
    void Shutdown();
    // Disables (or gives back) what would change the project under a run.
    void LockForRun(bool locked);
    void StepThroughHistory(Direction direction);
    QString TitleFileName() const;
    void UpdateTitle();
    bool MayCloseWithChanges();
    // An Open command: the close question, then `open`; the file opened
    // becomes a recent file. True when it opened.
    bool OpenProject(const std::function<FileCommandResult(UserInterface&)>& open);

    GeneratorSession generatorSession_;  // attached to the document, so it outlives it
    MapGenerationEngine engine_{generatorSession_.generator()};
    Document document_;
    Project& project_ = document_.project();
    app::QtUi ui_;
    EditState editState_;
    EditCommands commands_;
    render::BitmapInfo bitmapInfo_;
    render::MapRenderer renderer_;
    InputController controller_;
    EditorLog log_;
    double ppi_ = 96.0;
    bool showAbout_;
    bool activatedOnce_ = false;
    bool reactToResize_ = true;
    bool shutDown_ = false;
    int busyDepth_ = 0;
    bool miniMapShown_ = false;
    bool updateDisplay_ = true;
    bool manualRepeats_ = false;
    bool manualReset_ = false;
    bool running_ = false;
    bool closeAfterRun_ = false;
    GenerationRequests requests_;
    QVector<QPointer<QAction>> lockedActions_;

    QWidget* central_ = nullptr;
    QLabel* label1_ = nullptr;
    TilesList* tilesList_ = nullptr;
    MapView* view_ = nullptr;
    MapZoom* zoom_ = nullptr;  // a child of the window
    QScrollBar* sbx_ = nullptr;
    QScrollBar* sby_ = nullptr;
    QScrollBar* sbDepth_ = nullptr;
    QWidget* statusBar_ = nullptr;
    std::array<QLabel*, 8> panels_{};  // 7: the zoom and the tile under the mouse
    QProgressBar* progressBar_ = nullptr;

    std::unique_ptr<NewMapWindow> newMap_;
    std::unique_ptr<generator_ui::GeneratorSettingsWindow> generatorSettings_;
    std::unique_ptr<MapPropertiesWindow> properties_;
    std::unique_ptr<MiniMapWindow> miniMap_;
    std::unique_ptr<StatsWindow> stats_;
    MoveTileWindow* moveTile_ = nullptr;  // a child of the window
    TileEditWindow* tileEdit_ = nullptr;  // a child of the window
    QMenu* pmntList_ = nullptr;
    std::unique_ptr<RecentFilesMenu> recent_;
    QPointer<QWidget> about_;  // the about box while it exists (it deletes itself when closed)
};

}  // namespace zorvane::editor
