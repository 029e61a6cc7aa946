#pragma once
// The input controller (TSterowanie): turns the raw mouse and keyboard
// events of the map view into editor actions. It remembers the held mouse
// buttons and modifier keys, the mouse position over the view, the drag
// state and the middle-button scrolling. Events are processed only while it
// is enabled; the main window disables it around long operations.

namespace zorvane::editor {

class MainWindow;

// Virtual key codes the controller understands.
namespace vk {
inline constexpr int Shift = 16, Control = 17, Alt = 18, Escape = 27;
inline constexpr int Left = 37, Up = 38, Right = 39, Down = 40, Delete = 46;
inline constexpr int Digit0 = 48, Digit9 = 57;
}  // namespace vk

class TSterowanie {
public:
    explicit TSterowanie(MainWindow& window) : window_(window) {}

    bool Enabled = false;
    bool LeftDown = false, RightDown = false, MiddleDown = false;
    bool CtrlDown = false, ShiftDown = false, AltDown = false;
    int MouseX = 0, MouseY = 0;
    int ViewTop = 0, ViewBottom = 0, ViewRight = 0, ViewLeft = 0;
    int DragState = 0;  // 0 idle, 1 dragging, 2 placing
    int DragStartX = 0, DragStartY = 0;
    bool MiddleDragging = false;
    int LastMiddleX = 0, LastMiddleY = 0;

    void Enable() { Reset(true); }
    void Disable() { Reset(false); }
    void SetViewBounds(int top, int bottom, int right, int left);
    void MouseMove(int x, int y);
    void MouseDown(int button);  // 0 left, 1 right, 2 middle
    void MouseUp(int button);
    void KeyDown(int key);
    void KeyUp(int key);

private:
    void Reset(bool enabled);
    MainWindow& window_;
};

}  // namespace zorvane::editor
