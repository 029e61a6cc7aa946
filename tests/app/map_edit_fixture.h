#pragma once
// The real main window with a small map put straight into its project, and
// helpers that work it with real mouse and key events on the map view.

#include <QCursor>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <vector>

#include "editor_fixture.h"
#include "render_fixture.h"

namespace zorvane::testing {

class MapEditTest : public EditorTest {
protected:
    static constexpr int MapSide = 40;

    MapEditTest() {
        Project& p = window.project();
        FillTestPalette(p);
        for (int i = 0; i < 12; ++i) p.AddBitmap(FilledBitmap(static_cast<std::uint8_t>(i + 1)).data());
        p.MapWidth = p.MapHeight = MapSide;
        p.NoProject = false;
        view = window.findChild<QWidget*>("ImgRender");
        sbx = window.findChild<QScrollBar*>("SBx");
        sby = window.findChild<QScrollBar*>("SBy");
        sbDepth = window.findChild<QScrollBar*>("SBDepth");
    }

    // Adds a used tile whose squares all show bitmap `gnd` (the tile's tag
    // in Order()); returns its index.
    int Add(int w, int h, int x, int y, std::uint16_t gnd, std::uint16_t top = NoBitmap) {
        window.project().UsedTiles.push_back(MakeTile(w, h, x, y, gnd, top));
        return static_cast<int>(window.project().UsedTiles.size()) - 1;
    }
    // The interface refresh that follows loading a map.
    void Refresh() {
        window.PrepareBitmapsPx();
        window.RefreshInterface({.redrawView = true, .resetScrolling = true});
    }

    // Centre of map square (col, row) in view pixels, at the view's zoom.
    QPoint At(int col, int row) const {
        const int s = window.renderer().ViewSquare();
        return {(col - window.renderer().ScrollX) * s + s / 2, (row - window.renderer().ScrollY) * s + s / 2};
    }
    // Always one movement event at least: without a button held QTest moves
    // the cursor, which tells nobody when the cursor is there already.
    void MoveTo(int col, int row) {
        const QPoint p = At(col, row);
        if (QTestPrivate::qtestMouseButtons == Qt::NoButton && QCursor::pos() == view->mapToGlobal(p))
            QTest::mouseMove(view, p + QPoint(1, 0));
        QTest::mouseMove(view, p);
    }
    // The mouse goes to the square first, as a real one does: a press acts
    // where the last movement left the mouse.
    void Press(int col, int row, Qt::MouseButton button = Qt::LeftButton) {
        MoveTo(col, row);
        QTest::mousePress(view, button, Qt::NoModifier, At(col, row));
    }
    void Release(int col, int row, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseRelease(view, button, Qt::NoModifier, At(col, row));
    }
    void Click(int col, int row, Qt::MouseButton button = Qt::LeftButton) {
        Press(col, row, button);
        Release(col, row, button);
    }
    // A click with a modifier key held down around it (the controller
    // follows the key events, not the mouse event's modifiers).
    void ClickWith(Qt::Key key, int col, int row, Qt::MouseButton button = Qt::LeftButton) {
        QTest::keyPress(view, key);
        Click(col, row, button);
        QTest::keyRelease(view, key);
    }

    // Presses tiles list entry `row` and drags away from it: the tile is
    // taken for placing when the button is released.
    void TakeFromList(int row) {
        auto* list = window.findChild<QListWidget*>("LBNewTiles");
        const QPoint item = list->visualItemRect(list->item(row)).center();
        QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, item);
        QTest::mouseMove(list->viewport(), item + QPoint(0, 30));
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, item + QPoint(0, 30));
    }
    // Shift + an arrow key: ten squares.
    void ScrollFast(Qt::Key arrow) {
        QTest::keyPress(view, Qt::Key_Shift);
        QTest::keyClick(view, arrow, Qt::ShiftModifier);
        QTest::keyRelease(view, Qt::Key_Shift);
    }

    // The ground id of every used tile's first square, bottom to top.
    std::vector<int> Order() const {
        std::vector<int> ids;
        for (const auto& t : window.project().UsedTiles) ids.push_back(t->Sq[0].Gnd);
        return ids;
    }
    // Indices of the selection entries, in selection order.
    std::vector<int> Selected() const {
        std::vector<int> ids;
        for (const auto& e : window.project().Selection) ids.push_back(e.Index);
        return ids;
    }
    const MapTile& Tile(int index) const { return *window.project().UsedTiles[index]; }
    int DragState() const { return window.editState().DragState; }

    // Colour of view pixel (px, py) inside map square (col, row).
    std::uint32_t Pixel(int col, int row, int px = 6, int py = 2) const {
        const QPoint c = At(col, row);
        return PixelAt(window.renderer().Picture(), c.x() - 16 + px, c.y() - 16 + py);
    }
    // Plain colour of bitmap `id` (filled with palette entry id + 1).
    std::uint32_t Plain(int id) const { return PaletteRgb(window.project(), id + 1); }
    // Its colour in a selected tile away from the dark stripes.
    std::uint32_t Bright(int id) const {
        const std::uint32_t c = Plain(id);
        auto up = [](std::uint32_t ch) { return std::min<std::uint32_t>(255, ch + 32); };
        return (up(c >> 16 & 255) << 16) | (up(c >> 8 & 255) << 8) | up(c & 255);
    }

    QWidget* view = nullptr;
    QScrollBar* sbx = nullptr;
    QScrollBar* sby = nullptr;
    QScrollBar* sbDepth = nullptr;
};

}  // namespace zorvane::testing
