// The map editing commands of the main window: clicks and drags from the
// input controller, placing a tile from the tiles list, and the Edit menu.
// Each runs the editing operation and draws what it reports.

#include <QAction>

#include "editor/main_window.h"

namespace zorvane::editor {

namespace {

Modifiers Held(const InputController& c) { return {c.CtrlDown, c.ShiftDown, c.AltDown}; }

}  // namespace

// A click puts down what was dragged or placed (one step for the whole
// drag), starts a drag, or takes the selection one step in depth.
void MainWindow::LeftClickOn(int x, int y) {
    const int before = editState_.DragState;
    ApplyRedraw(editing_.LeftClickOn(x, y, Held(controller_)));
    RecordMapCommand(before, "Selection Step Up");
}

void MainWindow::RightClickOn(int x, int y) {
    const int before = editState_.DragState;
    ApplyRedraw(editing_.RightClickOn(x, y, Held(controller_)));
    RecordMapCommand(before, "Selection Step Down");
}

void MainWindow::RecordMapCommand(int dragStateBefore, const char* clickName) {
    if (dragStateBefore == DragIdle && editState_.DragState == DragMoving) dragStep_ = "Drag";
    document_.Record(dragStateBefore == DragIdle ? clickName : dragStep_, Parts::UsedTiles);
}

void MainWindow::DragOver(int x, int y) {
    const Redraw r = editing_.SelDragOver(x, y);
    if (!r.Nothing()) ApplyRedraw(r);
}

void MainWindow::AbandonDrag() {
    const bool dragging = editState_.DragState != DragIdle;
    editing_.AbandonDrag();
    if (dragging) document_.Record(dragStep_, Parts::UsedTiles);
}

void MainWindow::StoreNew(int index) {
    document_.Record(dragStep_, Parts::UsedTiles);
    ApplyRedraw(editing_.StoreNew(index, renderer_.ScrollX, renderer_.ScrollY));
    if (editState_.DragState == DragPlacing) dragStep_ = "Place tile";
}

void MainWindow::MSelectAllClick() { ApplyRedraw(editing_.SelectAll()); }

void MainWindow::MSelectNoneClick() {
    editing_.DeselectAll();
    Redraw r;
    r.FullView = true;
    ApplyRedraw(r);
}

// The copies follow the mouse from the square under it.
void MainWindow::MCloneClick() {
    ApplyRedraw(editing_.CloneSelected(renderer_.ColumnAt(controller_.MouseX), renderer_.RowAt(controller_.MouseY)));
    if (editState_.DragState == DragMoving) dragStep_ = "Clone";
    document_.Record("Clone", Parts::UsedTiles);
}

void MainWindow::MExtendStepClick() {
    editState_.SkipNearest = !editState_.SkipNearest;
    Action("MExtendStep")->setChecked(editState_.SkipNearest);
}

void MainWindow::MSelUpClick() {
    ApplyRedraw(editing_.SelectionStepUp(true));
    document_.Record("Selection Step Up", Parts::UsedTiles);
}
void MainWindow::MSelDownClick() {
    ApplyRedraw(editing_.SelectionStepDown(true));
    document_.Record("Selection Step Down", Parts::UsedTiles);
}
void MainWindow::MSelToTopClick() {
    ApplyRedraw(editing_.SelectionToTop());
    document_.Record("Selection to Top", Parts::UsedTiles);
}
void MainWindow::MSelToBottomClick() {
    ApplyRedraw(editing_.SelectionToBottom());
    document_.Record("Selection to Bottom", Parts::UsedTiles);
}

// Only with exactly two tiles selected; the selection entries follow the
// swapped tiles.
void MainWindow::MSwapClick() {
    if (project_.Selection.size() != 2) {
        UpdateStatusBar();
        return;
    }
    const int a = project_.Selection[0].Index, b = project_.Selection[1].Index;
    SwapTiles(project_, a, b, true);
    Redraw r;
    r.Add(DirtyRect::Around(*project_.UsedTiles[a]).United(DirtyRect::Around(*project_.UsedTiles[b])));
    ui_.setStatus("tiles swapped.");
    ApplyRedraw(r);
    document_.Record("Swap", Parts::UsedTiles);
}

void MainWindow::MSplitSelectedClick() {
    ApplyRedraw(editing_.SplitSelected());
    document_.Record("Split", Parts::UsedTiles);
}
void MainWindow::MDeleteSelectedClick() {
    ApplyRedraw(editing_.DeleteSelected(true));
    document_.Record("Delete", Parts::UsedTiles);
}

}  // namespace zorvane::editor
