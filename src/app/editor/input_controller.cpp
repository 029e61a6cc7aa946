#include "input_controller.h"

#include <algorithm>
#include <cmath>

#include "main_window.h"
#include "scaling.h"

namespace zorvane::editor {

void TSterowanie::Reset(bool enabled) {
    Enabled = enabled;
    LeftDown = RightDown = MiddleDown = false;
    CtrlDown = ShiftDown = AltDown = false;
    MouseX = MouseY = 0;
    DragState = 0;
    MiddleDragging = false;
}

void TSterowanie::SetViewBounds(int top, int bottom, int right, int left) {
    ViewTop = top;
    ViewBottom = bottom;
    ViewRight = right;
    ViewLeft = left;
}

void TSterowanie::MouseDown(int button) {
    if (MouseX < 0 || MouseX > ViewRight - ViewLeft || MouseY < 0 || MouseY > ViewBottom - ViewTop) return;
    const int x = PixToSq(MouseX) + window_.renderer().ScrollX, y = PixToSq(MouseY) + window_.renderer().ScrollY;
    if (button == 0) {
        LeftDown = true;
        window_.LeftClickOn(x, y);
    } else if (button == 1) {
        RightDown = true;
        window_.RightClickOn(x, y);
    } else {
        MiddleDown = true;
        window_.SetMoveCursor(true);
    }
    window_.UpdateStatusBar();
}

void TSterowanie::MouseUp(int button) {
    if (button == 0) LeftDown = false;
    if (button == 1) RightDown = false;
    if (button == 2) {
        MiddleDown = false;
        window_.SetMoveCursor(false);
    }
    window_.UpdateStatusBar();
}

void TSterowanie::MouseMove(int x, int y) {
    MouseX = x - ViewLeft;
    MouseY = y - ViewTop;
    if (LeftDown && !CtrlDown && DragState == 0) MouseDown(0);
    if (RightDown && !CtrlDown && DragState == 0) MouseDown(1);
    if (MiddleDown && !MiddleDragging) {
        LastMiddleX = MouseX;
        LastMiddleY = MouseY;
        MiddleDragging = true;
    }
    if (MiddleDragging && MiddleDown) {
        auto step = [](int d) { return static_cast<int>(std::nearbyint(d * 0.5)); };
        window_.SetScrollPositions(window_.renderer().ScrollX + step(MouseX - LastMiddleX),
                                   window_.renderer().ScrollY + step(MouseY - LastMiddleY));
        LastMiddleX = MouseX;
        LastMiddleY = MouseY;
    } else if (MiddleDragging) {
        MiddleDragging = false;
    }
    window_.UpdateStatusBar();
}

void TSterowanie::KeyDown(int key) {
    const int step = ShiftDown ? 10 : 1;
    const auto& r = window_.renderer();
    switch (key) {
    case vk::Shift: ShiftDown = true; break;
    case vk::Control: CtrlDown = true; break;
    case vk::Alt: AltDown = true; break;
    case vk::Left: window_.SetScrollPositions(r.ScrollX - step, r.ScrollY); break;
    case vk::Right: window_.SetScrollPositions(r.ScrollX + step, r.ScrollY); break;
    case vk::Up: window_.SetScrollPositions(r.ScrollX, r.ScrollY - step); break;
    case vk::Down: window_.SetScrollPositions(r.ScrollX, r.ScrollY + step); break;
    default: break;
    }
    window_.UpdateStatusBar();
}

void TSterowanie::KeyUp(int key) {
    if (key == vk::Shift) ShiftDown = false;
    if (key == vk::Control) CtrlDown = false;
    if (key == vk::Alt) AltDown = false;
    window_.UpdateStatusBar();
}

}  // namespace zorvane::editor
