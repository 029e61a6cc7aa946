// The map editing commands of the main window: clicks and drags from the
// input controller, placing a tile from the tiles list, and the Edit menu.
// Each runs the editor's command (which records its undo step) and draws
// what it reports.

#include <QAction>

#include "editor/main_window.h"

namespace zorvane::editor {

namespace {

Modifiers Held(const InputController& c) { return {c.CtrlDown, c.ShiftDown, c.AltDown}; }

}  // namespace

void MainWindow::LeftClickOn(int x, int y) { ShowMapChange(commands_.LeftClickOn(x, y, Held(controller_))); }
void MainWindow::RightClickOn(int x, int y) { ShowMapChange(commands_.RightClickOn(x, y, Held(controller_))); }

void MainWindow::DragOver(int x, int y) {
    const MapChange r = commands_.DragOver(x, y);
    if (!r.Nothing()) ShowMapChange(r);
}

void MainWindow::AbandonDrag() { commands_.AbandonDrag(); }

void MainWindow::StoreNew(int index) { ShowMapChange(commands_.StoreNew(index, renderer_.ScrollX, renderer_.ScrollY)); }

void MainWindow::MSelectAllClick() { ShowMapChange(commands_.editing().SelectAll()); }

void MainWindow::MSelectNoneClick() {
    commands_.editing().DeselectAll();
    MapChange r;
    r.Everywhere = true;
    ShowMapChange(r);
}

// The copies follow the mouse from the square under it.
void MainWindow::MCloneClick() {
    ShowMapChange(commands_.CloneSelected(renderer_.ColumnAt(controller_.MouseX), renderer_.RowAt(controller_.MouseY)));
}

void MainWindow::MExtendStepClick() {
    editState_.SkipNearest = !editState_.SkipNearest;
    Action("MExtendStep")->setChecked(editState_.SkipNearest);
}

void MainWindow::MSelUpClick() { ShowMapChange(commands_.SelectionStepUp()); }
void MainWindow::MSelDownClick() { ShowMapChange(commands_.SelectionStepDown()); }
void MainWindow::MSelToTopClick() { ShowMapChange(commands_.SelectionToTop()); }
void MainWindow::MSelToBottomClick() { ShowMapChange(commands_.SelectionToBottom()); }
void MainWindow::MSwapClick() { ShowMapChange(commands_.SwapSelected()); }
void MainWindow::MSplitSelectedClick() { ShowMapChange(commands_.SplitSelected()); }
void MainWindow::MDeleteSelectedClick() { ShowMapChange(commands_.DeleteSelected()); }

}  // namespace zorvane::editor
