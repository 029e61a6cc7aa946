#include "editor/input_controller.h"

#include <QKeyEvent>
#include <cmath>

#include "editor/main_window.h"
#include "generator/driver/generation.h"

namespace zorvane::editor {

int VirtualKey(const QKeyEvent& e) {
    const int k = e.key();
    switch (k) {
    case Qt::Key_Shift: return vk::Shift;
    case Qt::Key_Control: return vk::Control;
    case Qt::Key_Alt: return vk::Alt;
    case Qt::Key_Escape: return vk::Escape;
    case Qt::Key_Left: return vk::Left;
    case Qt::Key_Up: return vk::Up;
    case Qt::Key_Right: return vk::Right;
    case Qt::Key_Down: return vk::Down;
    case Qt::Key_Delete: return vk::Delete;
    default: break;
    }
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return (e.modifiers() & Qt::KeypadModifier) ? 96 + (k - Qt::Key_0) : k;
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return k;
    return 0;
}

int InputController::DragState() const { return window_.editState().DragState; }

void InputController::Reset(bool enabled) {
    if (MiddleDown) window_.SetMoveCursor(false);
    Enabled = enabled;
    LeftDown = RightDown = MiddleDown = false;
    CtrlDown = ShiftDown = AltDown = false;
    MouseX = MouseY = 0;
    MiddleDragging = false;
    window_.AbandonDrag();
}

void InputController::SetViewBounds(int top, int bottom, int right, int left) {
    ViewTop = top;
    ViewBottom = bottom;
    ViewRight = right;
    ViewLeft = left;
}

int InputController::SquareX() const { return window_.renderer().ColumnAt(MouseX); }
int InputController::SquareY() const { return window_.renderer().RowAt(MouseY); }

// Works at the position of the last MouseMove; a position outside the view
// (one pixel past the last still counts as inside) is ignored. While a
// generation runs the map belongs to it: only the middle button (scrolling)
// works.
void InputController::MouseDown(int button) {
    if (requests_ && button != MiddleButton) return;
    if (MouseX < 0 || MouseX > ViewRight - ViewLeft || MouseY < 0 || MouseY > ViewBottom - ViewTop) return;
    if (button == LeftButton) {
        LeftDown = true;
        window_.LeftClickOn(SquareX(), SquareY());
    } else if (button == RightButton) {
        RightDown = true;
        window_.RightClickOn(SquareX(), SquareY());
    } else if (button == MiddleButton) {
        MiddleDown = true;
        window_.SetMoveCursor(true);
    }
    window_.UpdateStatusBar();
}

void InputController::MouseUp(int button) {
    if (button == LeftButton) LeftDown = false;
    if (button == RightButton) RightDown = false;
    if (button == MiddleButton) {
        MiddleDown = false;
        window_.SetMoveCursor(false);
    }
    window_.UpdateStatusBar();
}

// Holding a button and moving repeats the click on every square passed
// (left sweeps select, right sweeps deselect, Shift steps once per event);
// the middle button scrolls; a drag follows the mouse square.
void InputController::MouseMove(int x, int y) {
    MouseX = x - ViewLeft;
    MouseY = y - ViewTop;
    if (LeftDown && !CtrlDown && DragState() == 0) MouseDown(LeftButton);
    if (RightDown && !CtrlDown && DragState() == 0) MouseDown(RightButton);
    MiddleScroll();
    if (DragState() != 0) window_.DragOver(SquareX(), SquareY());
    window_.UpdateStatusBar();
}

// One square for every two pixels of mouse movement (halves to even), in
// the direction of the movement, within the scroll bars' ranges.
void InputController::MiddleScroll() {
    if (MiddleDown && !MiddleDragging) {
        LastMiddleX = MouseX;
        LastMiddleY = MouseY;
        MiddleDragging = true;
    }
    if (MiddleDragging && MiddleDown) {
        auto step = [](int d) { return static_cast<int>(std::nearbyint(d * 0.5)); };
        const auto& r = window_.renderer();
        window_.SetScrollPositions(r.ScrollX + step(MouseX - LastMiddleX), r.ScrollY + step(MouseY - LastMiddleY));
        LastMiddleX = MouseX;
        LastMiddleY = MouseY;
    } else if (MiddleDragging) {
        MiddleDragging = false;
    }
}

void InputController::KeyDown(int key) {
    const int step = ShiftDown ? 10 : 1;
    const auto& r = window_.renderer();
    switch (key) {
    case vk::Shift: ShiftDown = true; break;
    case vk::Control: CtrlDown = true; break;
    case vk::Alt: AltDown = true; break;
    case vk::Escape:
        if (requests_) requests_->PressEsc();
        break;
    case vk::Left: window_.SetScrollPositions(r.ScrollX - step, r.ScrollY); break;
    case vk::Right: window_.SetScrollPositions(r.ScrollX + step, r.ScrollY); break;
    case vk::Up: window_.SetScrollPositions(r.ScrollX, r.ScrollY - step); break;
    case vk::Down: window_.SetScrollPositions(r.ScrollX, r.ScrollY + step); break;
    case vk::Delete:
        if (!requests_) window_.MDeleteSelectedClick();
        break;
    case vk::Digit0:
        if (requests_ && window_.ManualReset()) requests_->ResetRequest = true;
        break;
    default:
        if (requests_ && key >= vk::Digit1 && key <= vk::Digit9 && window_.ManualRepeats())
            requests_->ManualRepeat = key - vk::Digit0;
        break;
    }
    window_.UpdateStatusBar();
}

void InputController::KeyUp(int key) {
    if (key == vk::Shift) ShiftDown = false;
    if (key == vk::Control) CtrlDown = false;
    if (key == vk::Alt) AltDown = false;
    window_.UpdateStatusBar();
}

}  // namespace zorvane::editor
