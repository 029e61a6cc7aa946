#pragma once
// The zoom of the map view and the wheel over it. Zoom levels are given as
// view pixels per square (4 = 12.5 % .. 128 = 400 %); changing the zoom keeps
// the square under an anchor point (the mouse, or the view's centre) where
// it was, scrolls in whole squares as the scroll bars always do, and redraws
// the whole view. The wheel scrolls (Shift+wheel sideways) about three
// squares' worth of view pixels per notch; Ctrl+wheel steps the zoom.
// The View menu's "Zoom" submenu checks the current level; status bar
// panel 7 shows it with the topmost tile under the mouse.

#include <QObject>
#include <QPoint>
#include <QString>
#include <array>

class QAction;
class QMenu;
class QWheelEvent;

namespace zorvane {
struct Project;
}

namespace zorvane::render {
class MapRenderer;
}

namespace zorvane::editor {

class MainWindow;

inline constexpr std::array<int, 7> ZoomLevels = {4, 8, 16, 32, 64, 96, 128};

// "12.5 %" for 4 view pixels per square, "400 %" for 128.
QString ZoomText(int viewSquare);

// What status bar panel 7 shows for map square (x, y): the zoom, then the
// topmost drawn tile covering the square with its layer (index in the used
// tiles) and the bitmaps and attribute of the square there.
QString WhereText(const Project& project, const render::MapRenderer& renderer, int x, int y);

// The index of the topmost used tile (up to the depth limit) that has a
// bitmap at map square (x, y), or -1.
int TopmostTileAt(const Project& project, int depthLimit, int x, int y);

class MapZoom : public QObject {
public:
    MapZoom(MainWindow& window, QMenu& viewMenu);

    // Zooms to `viewSquare` keeping the square under view pixel `anchor` in place.
    void ZoomTo(int viewSquare, QPoint anchor);
    void ZoomAtCentre(int viewSquare);
    // One level in (+1) or out (-1) around `anchor`.
    void Step(int direction, QPoint anchor);
    // The largest level that shows the whole map, scrolled to its origin.
    void FitMap();
    // A wheel event over the map view; true when it was used.
    bool Wheel(const QWheelEvent& e);

private:
    void Checked();
    QPoint Centre() const;

    MainWindow& window_;
    std::array<QAction*, ZoomLevels.size()> levelActions_{};
    int zoomDelta_ = 0;  // wheel units not yet used, 120 a notch
    QPoint scrollDelta_;
};

}  // namespace zorvane::editor
