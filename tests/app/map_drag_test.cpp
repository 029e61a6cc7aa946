// Dragging, cloning, splitting, deleting and placing through the real
// window, with the map view redrawn square by square as the tiles move.

#include <QListWidget>

#include "map_edit_fixture.h"

namespace zorvane::testing {
namespace {

using V = std::vector<int>;

TEST_F(MapEditTest, CtrlClickDragsTheSelectionSquareBySquareUntilALeftClick) {
    Add(2, 2, 5, 5, 3);
    Refresh();
    Click(5, 5);
    ClickWith(Qt::Key_Control, 6, 6);
    EXPECT_EQ(DragState(), 1);
    for (int step = 1; step <= 3; ++step) {
        MoveTo(6 + step, 6 + step);
        EXPECT_EQ(Tile(0).X, 5 + step);
        EXPECT_EQ(Tile(0).Y, 5 + step);
        EXPECT_EQ(Pixel(5 + step, 5 + step), Bright(3)) << "drawn at its new place, highlighted";
        EXPECT_EQ(Pixel(5 + step - 1, 5 + step - 1), 0u) << "its old place is redrawn";
    }
    EXPECT_EQ(Panel(4), "(9,9)");
    Click(10, 10);
    EXPECT_EQ(DragState(), 0);
    EXPECT_EQ(Panel(0), "tile dropped.");
    EXPECT_EQ(Tile(0).X, 9) << "the drop click's movement still moved it";
    EXPECT_EQ(window.project().Selection[0].OrigX, 9);
    EXPECT_EQ(Selected(), V({0})) << "the dragged tiles stay selected";

    // A right click puts them back where they were last dropped.
    ClickWith(Qt::Key_Control, 9, 9);
    MoveTo(20, 3);
    EXPECT_EQ(Tile(0).X, 20);
    EXPECT_EQ(Pixel(20, 3), Bright(3));
    Click(20, 3, Qt::RightButton);
    EXPECT_EQ(DragState(), 0);
    EXPECT_EQ(Tile(0).X, 9);
    EXPECT_EQ(Tile(0).Y, 9);
    EXPECT_EQ(Pixel(20, 3), 0u);
    EXPECT_EQ(Pixel(10, 10), Bright(3));
}

TEST_F(MapEditTest, CtrlClickWithNothingSelectedStartsAnEmptyDrag) {
    Add(1, 1, 5, 5, 3);
    Refresh();
    ClickWith(Qt::Key_Control, 5, 5);
    EXPECT_EQ(DragState(), 1);
    MoveTo(8, 8);
    EXPECT_EQ(Tile(0).X, 5);
    Click(8, 8);
    EXPECT_EQ(DragState(), 0);
    EXPECT_TRUE(Selected().empty()) << "the click only ended the drag";
}

TEST_F(MapEditTest, CloneCopiesTheSelectionOnTopAndDragsTheCopies) {
    Add(1, 1, 2, 2, 0);
    Add(1, 1, 4, 2, 1);
    Add(1, 1, 6, 2, 2);
    Refresh();
    Click(4, 2);
    Click(6, 2);
    Click(2, 2);
    MoveTo(10, 10);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Order(), V({0, 1, 2, 0, 1, 2})) << "copies in the depth order of their sources";
    EXPECT_EQ(Selected(), V({3, 4, 5}));
    EXPECT_FALSE(Tile(0).Selected);
    EXPECT_TRUE(Tile(3).Selected);
    EXPECT_EQ(Panel(0), "3 tiles cloned");
    EXPECT_EQ(Panel(6), "used tiles = 6");
    EXPECT_EQ(DragState(), 1);
    EXPECT_EQ(sbDepth->maximum(), 5);

    MoveTo(11, 12);
    EXPECT_EQ(Tile(3).X, 3);
    EXPECT_EQ(Tile(3).Y, 4);
    EXPECT_EQ(Tile(0).X, 2) << "the sources stay";
    EXPECT_EQ(Pixel(2, 2), Plain(0));
    EXPECT_EQ(Pixel(3, 4), Bright(0));

    Click(11, 12, Qt::RightButton);
    EXPECT_EQ(Tile(3).X, 2) << "cancelled: the copies lie over their sources";
    EXPECT_EQ(Tile(3).Y, 2);
    EXPECT_EQ(Selected(), V({3, 4, 5}));
    EXPECT_EQ(Pixel(2, 2), Bright(0));
}

TEST_F(MapEditTest, SplitTurnsSelectedTilesIntoSelectedSingleSquares) {
    Add(1, 1, 0, 0, 9);
    const int big = Add(3, 3, 5, 5, 4);
    window.project().UsedTiles[big]->SqAt(1, 1) = MapSquare{NoBitmap, NoBitmap, 0};
    Add(1, 1, 12, 12, 8);
    Refresh();
    Click(5, 5);
    Click(12, 12);
    const std::uint32_t before = Pixel(7, 7);
    Trigger("MSplitSelected");
    EXPECT_EQ(Panel(6), "used tiles = 10");
    EXPECT_EQ(Order(), V({9, 4, 4, 4, 4, 4, 4, 4, 4, 8})) << "the parts stand at the tile's depth";
    EXPECT_EQ(Selected(), V({1, 2, 3, 4, 5, 6, 7, 8})) << "only the new single squares";
    EXPECT_FALSE(Tile(9).Selected);
    EXPECT_EQ(Tile(5).X, 7) << "row by row: the fifth part is the middle row's right square";
    EXPECT_EQ(Tile(5).Y, 6);
    EXPECT_EQ(Pixel(7, 7), before);
    EXPECT_EQ(Pixel(6, 6), 0u) << "the empty middle square was dropped";
    EXPECT_EQ(Pixel(12, 12), Plain(8));
    EXPECT_EQ(sbDepth->maximum(), 9);
}

TEST_F(MapEditTest, DeleteKeyAndMenuRemoveTheSelection) {
    for (int k = 0; k < 5; ++k) Add(1, 1, 2 + k, 3, static_cast<std::uint16_t>(k));
    Refresh();
    Click(3, 3);
    Click(5, 3);
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(Order(), V({0, 2, 4}));
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(Panel(0), "selection deleted.");
    EXPECT_EQ(Panel(6), "used tiles = 3");
    EXPECT_EQ(Pixel(3, 3), 0u);
    EXPECT_EQ(sbDepth->maximum(), 2);

    window.SetPanel(0, QStringLiteral("before"));
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(Panel(0), "before") << "nothing selected: nothing to say";
    EXPECT_EQ(Order(), V({0, 2, 4}));

    Click(2, 3);
    Trigger("MDeleteSelected");
    EXPECT_EQ(Order(), V({2, 4}));
    EXPECT_EQ(Panel(0), "selection deleted.");
}

TEST_F(MapEditTest, DeleteDuringADragEndsIt) {
    Add(1, 1, 2, 3, 0);
    Refresh();
    Click(2, 3);
    ClickWith(Qt::Key_Control, 2, 3);
    MoveTo(4, 4);
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(DragState(), 0);
    EXPECT_TRUE(window.project().UsedTiles.empty());
    EXPECT_EQ(Pixel(4, 4), 0u);
}

TEST_F(MapEditTest, ATileDraggedOutOfTheTilesListFollowsTheMouseUntilDropped) {
    window.project().NewTiles.push_back(MakeTile(3, 2, 0, 0, 5));
    Add(1, 1, 18, 12, 0);
    window.RefreshInterface({.last = 0, .redrawView = true, .resetScrolling = true, .rebuildList = true});
    Click(18, 12);
    auto* list = window.findChild<QListWidget*>("LBNewTiles");
    const QPoint item = list->visualItemRect(list->item(0)).center();

    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, item);
    EXPECT_EQ(DragState(), 0) << "a plain click only selects the item";
    EXPECT_EQ(list->currentRow(), 0);

    QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, item);
    QTest::mouseMove(list->viewport(), item + QPoint(0, 30));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, item + QPoint(0, 30));
    ASSERT_EQ(DragState(), 2);
    EXPECT_EQ(Panel(6), "used tiles = 2");
    EXPECT_EQ(Tile(1).X, 0) << "at the view's top-left square";
    EXPECT_FALSE(Tile(0).Selected) << "the former selection is gone";

    MoveTo(10, 10);
    EXPECT_EQ(Tile(1).X, 8) << "its middle square (2, 1) jumps under the mouse";
    EXPECT_EQ(Tile(1).Y, 9);
    EXPECT_EQ(Pixel(8, 9), Plain(5)) << "drawn without the highlight";
    Click(10, 10);
    EXPECT_EQ(DragState(), 0);
    EXPECT_EQ(Panel(0), "tile dropped.");
    EXPECT_TRUE(Selected().empty());
    EXPECT_FALSE(Tile(1).Selected);

    // A right click removes the tile being placed.
    QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, item);
    QTest::mouseMove(list->viewport(), item + QPoint(30, 0));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, item + QPoint(30, 0));
    ASSERT_EQ(DragState(), 2);
    MoveTo(15, 15);
    Click(15, 15, Qt::RightButton);
    EXPECT_EQ(DragState(), 0);
    EXPECT_EQ(Panel(6), "used tiles = 2");
    EXPECT_EQ(Pixel(14, 15), 0u);
}

// Splitting the tile being placed keeps the placement: its squares follow
// the mouse and a right click takes them all off the map.
TEST_F(MapEditTest, ARightClickRemovesASplitPlacementWhole) {
    window.project().NewTiles.push_back(MakeTile(2, 2, 0, 0, 5));
    Add(1, 1, 18, 12, 0);
    window.RefreshInterface({.last = 0, .redrawView = true, .resetScrolling = true, .rebuildList = true});
    TakeFromList(0);
    MoveTo(10, 10);
    ASSERT_EQ(Tile(1).X, 9);
    Trigger("MSplitSelected");
    EXPECT_EQ(Panel(6), "used tiles = 5");
    EXPECT_EQ(DragState(), 2);
    MoveTo(12, 12);
    EXPECT_EQ(Tile(1).X, 11) << "the squares go on following the mouse";
    EXPECT_EQ(Tile(4).Y, 12);
    EXPECT_EQ(Pixel(12, 12), Bright(5));
    Click(12, 12, Qt::RightButton);
    EXPECT_EQ(DragState(), 0);
    EXPECT_EQ(Order(), V({0}));
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(Pixel(11, 11), 0u);
    EXPECT_EQ(Pixel(12, 12), 0u);
    EXPECT_EQ(Pixel(18, 12), Plain(0));
}

// A selection scrolled out of the view (here to the left of it) is still
// deleted, replaced by a placement and put back by a cancelled drag; the
// view draws what it shows of each.
TEST_F(MapEditTest, EditingASelectionScrolledOutOfTheView) {
    window.project().NewTiles.push_back(MakeTile(1, 1, 0, 0, 5));
    Add(1, 1, 2, 3, 0);
    Add(1, 1, 3, 3, 1);
    Add(1, 1, 14, 3, 2);
    window.RefreshInterface({.last = 0, .redrawView = true, .resetScrolling = true, .rebuildList = true});

    Click(2, 3);
    ScrollFast(Qt::Key_Right);
    ASSERT_EQ(window.renderer().ScrollX, 10);
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(Order(), V({1, 2}));
    EXPECT_EQ(Pixel(14, 3), Plain(2));

    ScrollFast(Qt::Key_Left);
    Click(3, 3);
    ScrollFast(Qt::Key_Right);
    TakeFromList(0);
    ASSERT_EQ(DragState(), 2);
    EXPECT_FALSE(Tile(0).Selected);
    Click(16, 5, Qt::RightButton);
    EXPECT_EQ(DragState(), 0);
    EXPECT_EQ(Order(), V({1, 2}));
    EXPECT_EQ(Pixel(16, 5), 0u);

    ScrollFast(Qt::Key_Left);
    Click(3, 3);
    ClickWith(Qt::Key_Control, 3, 3);
    ScrollFast(Qt::Key_Right);
    MoveTo(16, 5);
    EXPECT_EQ(Tile(0).X, 16);
    EXPECT_EQ(Pixel(16, 5), Bright(1));
    Click(16, 5, Qt::RightButton);
    EXPECT_EQ(DragState(), 0);
    EXPECT_EQ(std::pair(Tile(0).X, Tile(0).Y), std::pair(3, 3)) << "back where it was";
    EXPECT_EQ(Pixel(16, 5), 0u);
    ScrollFast(Qt::Key_Left);
    EXPECT_EQ(Pixel(3, 3), Bright(1));
}

TEST_F(MapEditTest, ResettingTheProjectEndsTheDragAndEmptiesTheDepthBar) {
    Add(1, 1, 2, 3, 0);
    Add(1, 1, 2, 3, 1);
    Refresh();
    Click(2, 3);
    ClickWith(Qt::Key_Control, 2, 3);
    MoveTo(5, 5);
    ASSERT_EQ(DragState(), 1);
    dialogs.answers.push_back(Answer::Ok);
    Trigger("MResetProject");
    EXPECT_EQ(DragState(), 0);
    EXPECT_EQ(sbDepth->maximum(), 0);
    EXPECT_EQ(Panel(5), "selected tiles = 0");
    EXPECT_EQ(Panel(6), "used tiles = 0");
    MoveTo(6, 6);  // nothing left to follow the mouse
    EXPECT_EQ(Pixel(5, 5), 0u);
}

}  // namespace
}  // namespace zorvane::testing
