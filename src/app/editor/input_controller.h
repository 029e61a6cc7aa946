#pragma once
// The input controller (InputController): turns the raw mouse and keyboard
// events of the map view into editor actions. It remembers the held mouse
// buttons and modifier keys, the mouse position over the view and the
// middle-button scrolling; the drag in progress lives in the window's
// editing state, read through DragState(). Events are processed only while
// it is enabled; the main window disables it around long operations.

class QKeyEvent;

namespace zorvane {
struct GenerationRequests;
}

namespace zorvane::editor {

class MainWindow;

// Virtual key codes the controller understands.
namespace vk {
inline constexpr int Shift = 16, Control = 17, Alt = 18, Escape = 27;
inline constexpr int Left = 37, Up = 38, Right = 39, Down = 40, Delete = 46;
inline constexpr int Digit0 = 48, Digit1 = 49, Digit9 = 57;
}  // namespace vk

// The controller's key code of a Qt key (0 for keys it ignores). Digits of
// the numeric keypad have codes of their own, which ask nothing.
int VirtualKey(const QKeyEvent& e);

// Mouse buttons as the controller numbers them.
inline constexpr int LeftButton = 0, RightButton = 1, MiddleButton = 2;

class InputController {
public:
    explicit InputController(MainWindow& window) : window_(window) {}

    bool Enabled = false;
    bool LeftDown = false, RightDown = false, MiddleDown = false;
    bool CtrlDown = false, ShiftDown = false, AltDown = false;
    int MouseX = 0, MouseY = 0;
    int ViewTop = 0, ViewBottom = 0, ViewRight = 0, ViewLeft = 0;
    bool MiddleDragging = false;
    int LastMiddleX = 0, LastMiddleY = 0;

    // Where Esc and the digit keys put their requests: those of the running
    // map generation, whose driver reads them between its steps. Without
    // one (no generation runs) the keys ask nothing.
    void SetGenerationRequests(GenerationRequests* requests) { requests_ = requests; }

    // 0 idle, 1 dragging the selection, 2 placing a tile from the tiles list.
    int DragState() const;

    // Both clear buttons, modifiers, mouse position, the drag (tiles stay
    // where they are) and the middle-button scrolling.
    void Enable() { Reset(true); }
    void Disable() { Reset(false); }
    void SetViewBounds(int top, int bottom, int right, int left);
    void MouseMove(int x, int y);
    void MouseDown(int button);
    void MouseUp(int button);
    void KeyDown(int key);
    void KeyUp(int key);

private:
    void Reset(bool enabled);
    void MiddleScroll();
    // The map square under the mouse.
    int SquareX() const;
    int SquareY() const;

    MainWindow& window_;
    GenerationRequests* requests_ = nullptr;
};

}  // namespace zorvane::editor
