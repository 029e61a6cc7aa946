// Undo and redo in the main window, the unsaved-changes flag in the title,
// and the question before closing over unsaved changes.
//
// Every command that changes the project runs through the editor's commands
// (commands/edit_commands.h), which have the document record it as one
// named step; the file commands tell the document what became of its file.
// The window only shows the captions and the title's saved mark.

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>

#include "commands/file_commands.h"
#include "editor/main_window.h"
#include "editor/tiles_list.h"

namespace zorvane::editor {

FileCommandResult MainWindow::RunFileCommand(const std::function<FileCommandResult(UserInterface&)>& command) {
    FileCommandResult result;
    BusyRun([&] { result = command(ui_); });
    ProjectOpened();
    return result;
}

// The document recorded a step, or found nothing to record, or started a
// project of no file yet: the captions and the title follow.
void MainWindow::HistoryChanged(bool stepAdded) {
    UpdateUndoCommands();
    if (stepAdded) ChangeNoted();
}

void MainWindow::ProjectOpened() {
    UpdateUndoCommands();
    ChangeNoted();
}

void MainWindow::MUndoClick() { StepThroughHistory(Direction::Undo); }
void MainWindow::MRedoClick() { StepThroughHistory(Direction::Redo); }

void MainWindow::StepThroughHistory(Direction direction) {
    if (running_) return;
    // A drag or a placing in progress ends first, taking nothing along.
    if (editState_.DragState != DragIdle) ShowMapChange(commands_.CancelDrag());
    bool done = false;
    Guarded([&] { done = direction == Direction::Undo ? document_.Undo() : document_.Redo(); });
    if (!done) return;  // the document told the window what the step changed
    const History& history = document_.history();
    const std::string name = direction == Direction::Undo ? history.RedoName() : history.UndoName();
    if (const int focus = history.LastFocus(); focus >= 0 && focus < tilesList_->count())
        tilesList_->setCurrentRow(focus);
    ui_.setStatus((direction == Direction::Undo ? "undone: " : "redone: ") + name);
    UpdateStatusBar();
    UpdateUndoCommands();
    UpdateTilesListCommands();
    ChangeNoted();
}

void MainWindow::UpdateUndoCommands() {
    const History& history = document_.history();
    const bool idle = !running_;
    if (QAction* undo = Action("MUndo")) {
        undo->setText(history.CanUndo() ? QStringLiteral("Undo ") + QString::fromStdString(history.UndoName())
                                         : QStringLiteral("Undo"));
        undo->setEnabled(idle && history.CanUndo());
    }
    if (QAction* redo = Action("MRedo")) {
        redo->setText(history.CanRedo() ? QStringLiteral("Redo ") + QString::fromStdString(history.RedoName())
                                         : QStringLiteral("Redo"));
        redo->setEnabled(idle && history.CanRedo());
    }
    UpdateTitle();
}

QString MainWindow::TitleFileName() const {
    if (!CurrentFile().empty()) return QFileInfo(QString::fromStdString(CurrentFile())).fileName();
    return project_.NoProject && project_.UsedTiles.empty() ? QString() : QStringLiteral("Untitled");
}

void MainWindow::UpdateTitle() {
    const QString file = TitleFileName();
    const QString program = QStringLiteral("Zorvane Terrain Editor");
    if (file.isEmpty() && !document_.Modified())
        setWindowTitle(program);
    else
        setWindowTitle((file.isEmpty() ? QStringLiteral("Untitled") : file) +
                       (document_.Modified() ? QStringLiteral("*") : QString()) + QStringLiteral(" - ") + program);
}

bool MainWindow::ModifiedProject() const { return document_.Modified(); }

// Save (to the layered project format), Discard or Cancel; true when the
// window may close.
bool MainWindow::MayCloseWithChanges() {
    document_.RecordPending();
    if (!document_.Modified() || (project_.NoProject && project_.UsedTiles.empty())) return true;
    const QString file = TitleFileName();
    const std::string text = "Save the changes to " + file.toStdString() + " before closing?";
    switch (ui_.message("Unsaved changes", text, Icon::Warning, Buttons::SaveDiscardCancel, Answer::Save)) {
    case Answer::Save: MSaveZLClick(); return !document_.Modified();
    case Answer::Discard: return true;
    default: return false;
    }
}

}  // namespace zorvane::editor
