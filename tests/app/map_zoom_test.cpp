// The map view zoomed through the real window: every gesture at 12.5 %,
// 50 % and 400 % lands on the square under the mouse; the wheel scrolls and
// Ctrl+wheel zooms around the square under the mouse; the keys, "Fit Map",
// the status bar, the View menu and picking a tile from the map.

#include <QWheelEvent>

#include "editor/map_zoom.h"
#include "map_edit_fixture.h"

namespace zorvane::testing {
namespace {

using V = std::vector<int>;

class MapZoomTest : public MapEditTest {
protected:
    // One wheel notch (120 units up, or sideways) with `modifiers`, over view pixel `at`.
    void Wheel(QPoint at, QPoint angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWheelEvent e(at, view->mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &e);
    }
    int Zoom() const { return window.renderer().ViewSquare(); }
};

class ZoomGestureTest : public MapZoomTest, public ::testing::WithParamInterface<int> {};

TEST_P(ZoomGestureTest, GesturesLandOnTheSquaresUnderTheMouse) {
    Add(2, 2, 10, 10, 0);
    Add(1, 1, 13, 11, 1);
    for (int x = 10; x <= 13; ++x) Add(1, 1, x, 13, 2);
    window.project().NewTiles.push_back(MakeTile(1, 1, 0, 0, 5));
    window.PrepareBitmapsPx();
    window.RefreshInterface({.last = 0, .redrawView = true, .resetScrolling = true, .rebuildList = true});
    window.zoom().ZoomTo(GetParam(), QPoint(0, 0));
    window.SetScrollPositions(10, 10);
    ASSERT_EQ(Zoom(), GetParam());

    MoveTo(13, 11);
    EXPECT_EQ(Panel(4), "(13,11)");
    EXPECT_NE(Panel(7).find("layer 1 (1 x 1): gnd 1"), std::string::npos) << Panel(7);
    Click(13, 11);
    Click(11, 11);
    EXPECT_EQ(Selected(), V({1, 0}));
    Press(10, 13);  // a sweep along row 13
    MoveTo(11, 13);
    MoveTo(12, 13);
    Release(12, 13);
    EXPECT_EQ(Selected(), V({1, 0, 2, 3, 4}));
    Click(12, 13, Qt::RightButton);
    EXPECT_EQ(Selected(), V({1, 0, 2, 3}));

    ClickWith(Qt::Key_Control, 11, 11);  // drag the selection one square right
    MoveTo(12, 11);
    Click(12, 11);
    EXPECT_EQ(Tile(0).X, 11);
    EXPECT_EQ(Tile(1).X, 14);
    EXPECT_EQ(Tile(3).X, 12);

    MoveTo(12, 10);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);  // clone, dragged from (12, 10)
    MoveTo(12, 12);
    Click(12, 12);
    EXPECT_EQ(Tile(6).Y, 12) << "the copy of tile 0 two squares lower";
    auto used = [&] { return window.project().UsedTiles.size(); };
    const std::size_t beforeSplit = used();
    Trigger("MSplitSelected");
    EXPECT_EQ(used(), beforeSplit + 3) << "the copy of the 2 x 2 tile in four squares";
    const std::size_t beforeDelete = used(), selected = window.project().Selection.size();
    ASSERT_GE(selected, 4u);
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(used(), beforeDelete - selected);

    TakeFromList(0);
    MoveTo(11, 12);
    Click(11, 12);
    const int placed = static_cast<int>(used()) - 1;
    EXPECT_EQ(Tile(placed).X, 11);
    EXPECT_EQ(Tile(placed).Y, 12);
    EXPECT_EQ(Panel(0), "tile dropped.");
    const std::string layer = "layer " + std::to_string(placed) + " ";
    EXPECT_NE(Panel(7).find(layer), std::string::npos) << Panel(7);
    sbDepth->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // the placed tile hidden
    MoveTo(11, 12);
    EXPECT_EQ(Panel(7).find(layer), std::string::npos) << Panel(7);
}

INSTANTIATE_TEST_SUITE_P(Zooms, ZoomGestureTest, ::testing::Values(4, 16, 128));

TEST_F(MapZoomTest, WheelScrollsAndCtrlWheelZoomsAroundTheSquareUnderTheMouse) {
    Add(1, 1, 24, 22, 0);
    Refresh();
    window.SetScrollPositions(20, 20);
    const QPoint at = At(24, 22) + QPoint(5, -7);
    Wheel(at, {0, 120}, Qt::ControlModifier);
    EXPECT_EQ(Zoom(), 64);
    EXPECT_EQ(window.renderer().ColumnAt(at.x()), 24);
    EXPECT_EQ(window.renderer().RowAt(at.y()), 22);
    EXPECT_TRUE(window.Action("MZoom200")->isChecked());
    EXPECT_EQ(Panel(7).substr(0, 5), "200 %");
    Wheel(at, {0, -240}, Qt::ControlModifier);
    EXPECT_EQ(Zoom(), 16) << "two notches out";
    EXPECT_EQ(window.renderer().ColumnAt(at.x()), 24);

    const int x = sbx->value(), y = sby->value();
    Wheel(at, {0, -120});
    EXPECT_EQ(sby->value(), y + 6) << "three squares' worth of 100 % pixels a notch";
    Wheel(at, {0, 120}, Qt::ShiftModifier);
    EXPECT_EQ(sbx->value(), x - 6) << "sideways";

    QTest::keyClick(view, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(Zoom(), 32);
    window.zoom().ZoomTo(4, QPoint(0, 0));
    window.SetScrollPositions(0, 0);
    const QPoint beside(800, 600);  // right of and below the 160 x 160 pixels of the map
    window.zoom().ZoomTo(16, beside);
    EXPECT_EQ(window.renderer().ColumnAt(159), 39) << "the map's last column stays under the same pixels";
    EXPECT_EQ(window.renderer().RowAt(159), 39);
    window.zoom().ZoomTo(32, QPoint(0, 0));
    QTest::keyClick(view, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(Zoom(), 16);
    QTest::keyClick(view, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(Zoom(), 32);
    Trigger("MFitMap");
    const int w = window.renderer().Width(), h = window.renderer().Height();
    EXPECT_TRUE(40 * Zoom() <= w && 40 * Zoom() <= h) << "the whole map in sight";
    EXPECT_TRUE(40 * 2 * Zoom() > w || 40 * 2 * Zoom() > h) << "at the largest such zoom";
    EXPECT_EQ(sbx->value(), 0);
    EXPECT_TRUE(window.Action(Zoom() == 16 ? "MZoom50" : "MZoom25")->isChecked());
}

TEST_F(MapZoomTest, PickingSelectsTheTopmostTileInTheListAddingItWhenMissing) {
    window.project().NewTiles.push_back(MakeTile(2, 1, 0, 0, 3));
    Add(2, 1, 4, 4, 3);
    Add(1, 1, 5, 4, 7);
    window.PrepareBitmapsPx();
    window.RefreshInterface({.last = 0, .redrawView = true, .resetScrolling = true, .rebuildList = true});
    window.document().Opened(dir.file("map.zl"));
    window.ProjectOpened();
    auto* list = window.findChild<QListWidget*>("LBNewTiles");
    MoveTo(4, 4);
    Trigger("MPickTile");
    EXPECT_EQ(list->currentRow(), 0) << "the list's tile with the same squares";
    EXPECT_EQ(window.project().NewTiles.size(), 1u);
    MoveTo(5, 4);
    Trigger("MPickTile");
    ASSERT_EQ(window.project().NewTiles.size(), 2u) << "the topmost tile, new to the list";
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(window.project().NewTiles[1]->Sq[0].Gnd, 7);
    EXPECT_EQ(window.Action("MUndo")->text(), "Undo Pick tile");
    Trigger("MUndo");
    EXPECT_EQ(window.project().NewTiles.size(), 1u);
    TakeFromList(0);
    EXPECT_EQ(DragState(), 2) << "a picked tile is placed as any other";
}

}  // namespace
}  // namespace zorvane::testing
