// The map editing commands of the main window: clicks and drags from the
// input controller, placing a tile from the tiles list, and the Edit menu.
// Each runs the editing operation and draws what it reports.

#include <QAction>

#include "editor/main_window.h"
#include "render/scaling.h"

namespace zorvane::editor {

namespace {

Modifiers Held(const TSterowanie& c) { return {c.CtrlDown, c.ShiftDown, c.AltDown}; }

}  // namespace

void MainWindow::LeftClickOn(int x, int y) { ApplyRedraw(editing_.LeftClickOn(x, y, Held(controller_))); }

void MainWindow::RightClickOn(int x, int y) { ApplyRedraw(editing_.RightClickOn(x, y, Held(controller_))); }

void MainWindow::DragOver(int x, int y) {
    const Redraw r = editing_.SelDragOver(x, y);
    if (!r.Nothing()) ApplyRedraw(r);
}

void MainWindow::AbandonDrag() { editing_.AbandonDrag(); }

void MainWindow::StoreNew(int index) {
    ApplyRedraw(editing_.StoreNew(index, renderer_.ScrollX, renderer_.ScrollY));
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
    ApplyRedraw(editing_.CloneSelected(PixToSq(controller_.MouseX) + renderer_.ScrollX,
                                       PixToSq(controller_.MouseY) + renderer_.ScrollY));
}

void MainWindow::MExtendStepClick() {
    editState_.SkipNearest = !editState_.SkipNearest;
    Action("MExtendStep")->setChecked(editState_.SkipNearest);
}

void MainWindow::MSelUpClick() { ApplyRedraw(editing_.SelectionStepUp(true)); }
void MainWindow::MSelDownClick() { ApplyRedraw(editing_.SelectionStepDown(true)); }
void MainWindow::MSelToTopClick() { ApplyRedraw(editing_.SelectionToTop()); }
void MainWindow::MSelToBottomClick() { ApplyRedraw(editing_.SelectionToBottom()); }

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
}

void MainWindow::MSplitSelectedClick() { ApplyRedraw(editing_.SplitSelected()); }
void MainWindow::MDeleteSelectedClick() { ApplyRedraw(editing_.DeleteSelected(true)); }

}  // namespace zorvane::editor
