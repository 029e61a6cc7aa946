// Undo and redo in the main window, the unsaved-changes flag in the title,
// and the question before closing over unsaved changes.
//
// Every command that changes the project records what it changed as one
// step of the history when it ends; a drag (also of fresh clones or of a
// tile being placed) is recorded when the tiles are put down. Opening a file
// and a reset start a new history at a clean position; a save marks the
// position as clean.

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>

#include "commands/file_commands.h"
#include "editor/main_window.h"
#include "editor/tiles_list.h"

namespace zorvane::editor {
namespace {

// Passes everything to the window's interface and notes the first file the
// user chose: the map file of an open or a save (a tile set asked for later
// comes second).
class FileNotingUi : public UserInterface {
public:
    explicit FileNotingUi(UserInterface& inner) : inner_(inner) {}
    std::optional<std::string> First;

    Answer message(std::string_view caption, std::string_view text, Icon icon, Buttons buttons,
                   Answer defaultAnswer) override {
        return inner_.message(caption, text, icon, buttons, defaultAnswer);
    }
    std::optional<std::string> chooseFile(const FileDialog& dialog) override {
        auto file = inner_.chooseFile(dialog);
        if (file && !First) First = file;
        return file;
    }
    void setStatus(std::string_view text) override { inner_.setStatus(text); }
    std::string status() const override { return inner_.status(); }
    void setGeneratorStatus(std::string_view text) override { inner_.setGeneratorStatus(text); }
    void showProgress(bool busy) override { inner_.showProgress(busy); }
    void hideProgress(bool busy) override { inner_.hideProgress(busy); }
    void setProgressPosition(int position) override { inner_.setProgressPosition(position); }
    void setBusy(bool busy) override { inner_.setBusy(busy); }
    void processEvents() override { inner_.processEvents(); }
    void bitmapsChanged() override { inner_.bitmapsChanged(); }
    void refreshInterface(const RefreshRequest& r) override { inner_.refreshInterface(r); }
    void projectReset(bool redraw) override { inner_.projectReset(redraw); }

private:
    UserInterface& inner_;
};

}  // namespace

std::optional<std::string> MainWindow::RunFileCommand(const std::function<bool(UserInterface&)>& command) {
    FileNotingUi noting(ui_);
    bool done = false;
    BusyRun([&] { done = command(noting); });
    if (!done) return std::nullopt;
    return noting.First ? noting.First : std::optional<std::string>(std::string());
}

bool MainWindow::RecordStep(const char* name, Parts parts, ListFocus focus) {
    if (editState_.DragState != DragIdle) return false;  // the whole drag is one step, recorded when it ends
    const bool recorded = history_.Record(project_, name, parts, focus);
    UpdateUndoCommands();
    if (recorded) ChangeNoted();
    return recorded;
}

// A new map or a generated one: a project of no file yet, whose Save asks
// for a name. Undo brings back the file of the position before.
void MainWindow::StartUnnamedProject() {
    currentFile_.clear();
    history_.StartFile(currentFile_);
    UpdateUndoCommands();
}

void MainWindow::ProjectOpened(const std::string& file) {
    currentFile_ = file;
    history_.Reset(project_);
    history_.StartFile(file);
    UpdateUndoCommands();
    ChangeNoted();
}

// What a save changes itself (the bitmaps' rows put in file order, a tile
// set path made absolute) goes along with the step before it.
void MainWindow::ProjectSaved(const std::optional<std::string>& file) {
    if (editState_.DragState == DragIdle) history_.RecordAlong(project_);
    if (file) {
        if (!file->empty()) {
            currentFile_ = *file;
            history_.Rename(currentFile_);
        }
        history_.MarkSaved();
    }
    UpdateUndoCommands();
    ChangeNoted();
}

void MainWindow::MUndoClick() { StepThroughHistory(Direction::Undo); }
void MainWindow::MRedoClick() { StepThroughHistory(Direction::Redo); }

void MainWindow::StepThroughHistory(Direction direction) {
    if (running_) return;
    // A drag or a placing in progress ends first, taking nothing along.
    if (editState_.DragState == DragMoving) ApplyRedraw(editing_.SelDragCancel());
    if (editState_.DragState == DragPlacing) ApplyRedraw(editing_.CancelNew());
    RecordStep("Change");  // nothing may change under the history unrecorded
    const int width = project_.MapWidth, height = project_.MapHeight;
    const auto palette = project_.Palette;
    const bool bottomUp = project_.BottomUpRows;
    const std::string name = direction == Direction::Undo ? history_.UndoName() : history_.RedoName();
    bool done = false;
    Guarded([&] { done = direction == Direction::Undo ? history_.Undo(project_) : history_.Redo(project_); });
    if (!done) return;
    currentFile_ = history_.File();  // undoing a new map brings back the name of the map it replaced
    const Parts touched = history_.LastTouched();
    // The quadrant colours (the mini map's) and the tiles list's pictures
    // are drawn from the bitmaps in the palette's colours.
    const bool pictures =
        Has(touched, Parts::Bitmaps) || palette != project_.Palette || bottomUp != project_.BottomUpRows;
    if (pictures) PrepareBitmapsPx();
    const bool resized = width != project_.MapWidth || height != project_.MapHeight;
    if (touched == Parts::UsedTiles) {
        UpdateSBDepth(false);
        FullRedraw();
    } else {
        const bool rebuild = Has(touched, Parts::TilesList) || pictures;
        RefreshInterface(0, static_cast<int>(project_.NewTiles.size()) - 1, false, true, resized, rebuild);
    }
    if (const int focus = history_.LastFocus(); focus >= 0 && focus < tilesList_->count())
        tilesList_->setCurrentRow(focus);
    ui_.setStatus((direction == Direction::Undo ? "undone: " : "redone: ") + name);
    UpdateStatusBar();
    UpdateUndoCommands();
    UpdateTilesListCommands();
    ChangeNoted();
}

void MainWindow::UpdateUndoCommands() {
    const bool idle = !running_;
    if (QAction* undo = Action("MUndo")) {
        undo->setText(history_.CanUndo() ? QStringLiteral("Undo ") + QString::fromStdString(history_.UndoName())
                                         : QStringLiteral("Undo"));
        undo->setEnabled(idle && history_.CanUndo());
    }
    if (QAction* redo = Action("MRedo")) {
        redo->setText(history_.CanRedo() ? QStringLiteral("Redo ") + QString::fromStdString(history_.RedoName())
                                         : QStringLiteral("Redo"));
        redo->setEnabled(idle && history_.CanRedo());
    }
    UpdateTitle();
}

QString MainWindow::TitleFileName() const {
    if (!currentFile_.empty()) return QFileInfo(QString::fromStdString(currentFile_)).fileName();
    return project_.NoProject && project_.UsedTiles.empty() ? QString() : QStringLiteral("Untitled");
}

void MainWindow::UpdateTitle() {
    const QString file = TitleFileName();
    const QString program = QStringLiteral("Zorvane Terrain Editor");
    if (file.isEmpty() && !history_.Modified())
        setWindowTitle(program);
    else
        setWindowTitle((file.isEmpty() ? QStringLiteral("Untitled") : file) +
                       (history_.Modified() ? QStringLiteral("*") : QString()) + QStringLiteral(" - ") + program);
}

bool MainWindow::ModifiedProject() const { return history_.Modified(); }

// Save (to the layered project format), Discard or Cancel; true when the
// window may close.
bool MainWindow::MayCloseWithChanges() {
    RecordStep("Change");
    if (!history_.Modified() || (project_.NoProject && project_.UsedTiles.empty())) return true;
    const QString file = TitleFileName();
    const std::string text = "Save the changes to " + file.toStdString() + " before closing?";
    switch (ui_.message("Unsaved changes", text, Icon::Warning, Buttons::SaveDiscardCancel, Answer::Save)) {
    case Answer::Save: MSaveZLClick(); return !history_.Modified();
    case Answer::Discard: return true;
    default: return false;
    }
}

}  // namespace zorvane::editor
