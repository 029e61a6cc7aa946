// The selection, picking, the click rules, the list primitives, the depth
// bar and the depth order commands.

#include "editing_support.h"

namespace zorvane::testing {
namespace {

// Five 2 x 2 tiles on one spot, ids 100..104 from the bottom.
struct StackTest : ::testing::Test, EditBench {
    void SetUp() override {
        for (int i = 0; i < 5; ++i) Add(2, 2, 4, 4, static_cast<std::uint16_t>(100 + i));
    }
};

// --- Picking ----------------------------------------------------------------

TEST_F(StackTest, DepthBarHidesTheTopTilesFromPicking) {
    EXPECT_EQ(ed.TileFromSq(4, 4, false, false, false), 4);
    EXPECT_EQ(SetDepthPosition(s, 2), (DepthBar{4, 2, 2}));
    EXPECT_EQ(ed.TileFromSq(5, 5, false, false, false), 2);
    SetDepthPosition(s, 99);  // kept within the range
    EXPECT_EQ(s.Depth, (DepthBar{4, 4, 0}));
    EXPECT_EQ(ed.TileFromSq(5, 5, false, false, false), 0);
}

TEST_F(StackTest, PickingSkipsWhatItIsTold) {
    p.UsedTiles[4]->Selected = true;
    EXPECT_EQ(ed.TileFromSq(4, 4, true, true, false), 3);
    EXPECT_EQ(ed.TileFromSq(4, 4, true, false, true), 4);
    EXPECT_EQ(ed.TileFromSq(6, 4, true, false, false), -1);  // one column past the tiles
}

TEST_F(StackTest, DepthBarKeepsItsPositionWhileTheStackChanges) {
    SetDepthPosition(s, 3);
    p.UsedTiles.resize(2);
    EXPECT_EQ(zorvane::UpdateSBDepth(p, s), (DepthBar{1, 1, 0}));
    p.UsedTiles.clear();
    EXPECT_EQ(zorvane::UpdateSBDepth(p, s), (DepthBar{0, 0, 0}));
    EXPECT_TRUE(ed.UpdateSBDepth(true).Everywhere);
    EXPECT_FALSE(ed.UpdateSBDepth(false).Everywhere);
}

// --- Clicks -----------------------------------------------------------------

TEST_F(StackTest, PlainLeftClickPicksTheTopmostVisibleSquare) {
    p.UsedTiles[4]->Sq.assign(4, MapSquare{});  // no bitmap at all
    MapChange r = ed.LeftClickOn(5, 5, {});
    EXPECT_EQ(SelectedIndices(), Ints({3}));
    ASSERT_EQ(r.Areas.size(), 1u);
    EXPECT_EQ(r.Areas[0], (SquareRect{1, 9, 1, 9}));  // X - 3 .. X + Width + 3
    EXPECT_EQ(p.Selection[0].OrigX, 4);
    EXPECT_TRUE(ed.LeftClickOn(5, 5, {}).Nothing());  // already selected: nothing to draw
    EXPECT_EQ(SelectedIndices(), Ints({3}));
}

TEST_F(StackTest, AltLeftClicksWalkDownTheUnselectedTilesEvenInvisibleOnes) {
    p.UsedTiles[4]->Sq.assign(4, MapSquare{});
    ed.LeftClickOn(4, 4, {.Alt = true});
    ed.LeftClickOn(4, 4, {.Alt = true});
    ed.LeftClickOn(4, 4, {.Alt = true});
    EXPECT_EQ(SelectedIndices(), Ints({4, 3, 2}));
    EXPECT_EQ(SelectionFaults(p, s), "");
}

TEST_F(StackTest, PlainRightClickOnlyDeselectsTheTopmostVisibleTile) {
    ed.SelectTile(2, false);
    EXPECT_TRUE(ed.RightClickOn(4, 4, {}).Nothing());
    EXPECT_EQ(SelectedIndices(), Ints({2}));
    ed.SelectTile(4, false);
    ed.RightClickOn(4, 4, {});
    EXPECT_EQ(SelectedIndices(), Ints({2}));
    ed.RightClickOn(4, 4, {.Alt = true});  // topmost selected tile covering the square
    EXPECT_TRUE(p.Selection.empty());
    EXPECT_EQ(SelectionFaults(p, s), "");
}

TEST_F(StackTest, CtrlClickStartsADragEvenWithNothingSelectedAndTheNextClickEndsIt) {
    MapChange r = ed.LeftClickOn(7, 8, {.Ctrl = true});
    EXPECT_EQ(s.DragState, DragMoving);
    EXPECT_EQ(s.DragStartX, 7);
    EXPECT_EQ(s.DragStartY, 8);
    ASSERT_EQ(r.Areas.size(), 1u);
    EXPECT_EQ(r.Areas[0], SquareRect::WholeMap(p));
    ed.LeftClickOn(1, 1, {});
    EXPECT_EQ(s.DragState, DragIdle);
    EXPECT_TRUE(p.Selection.empty());  // the drop click selects nothing
    EXPECT_EQ(ui.status(), "tile dropped.");
}

TEST_F(StackTest, ShiftClicksStepAndCtrlShiftDoesNothing) {
    s.SkipNearest = false;
    ed.SelectTile(1, false);
    ed.LeftClickOn(0, 0, {.Shift = true});
    EXPECT_EQ(SelectedIndices(), Ints({2}));
    ed.RightClickOn(0, 0, {.Shift = true});
    ed.RightClickOn(0, 0, {.Shift = true});
    EXPECT_EQ(SelectedIndices(), Ints({0}));
    EXPECT_TRUE(ed.LeftClickOn(4, 4, {.Ctrl = true, .Shift = true}).Nothing());
    EXPECT_TRUE(ed.RightClickOn(4, 4, {.Ctrl = true}).Nothing());
    EXPECT_EQ(SelectedIndices(), Ints({0}));
    EXPECT_EQ(s.DragState, DragIdle);
}

// --- Selecting ----------------------------------------------------------------

TEST_F(StackTest, SelectionKeepsTheOrderOfSelectingAndIgnoresBadIndices) {
    for (int i : {3, -1, 1, 5, 3, 0}) ed.SelectTile(i, true);
    EXPECT_EQ(SelectedIndices(), Ints({3, 1, 0}));
    EXPECT_TRUE(ed.DeselectTile(-1).Nothing());
    EXPECT_TRUE(ed.DeselectTile(4).Nothing());  // not selected
    ASSERT_EQ(ed.DeselectTile(1).Areas.size(), 1u);
    EXPECT_EQ(SelectedIndices(), Ints({3, 0}));
    EXPECT_EQ(SelectionFaults(p, s), "");
}

TEST_F(StackTest, SelectAllListsEveryTileInIndexOrderAndDeselectAllClearsTheFlags) {
    ed.SelectTile(3, false);
    p.UsedTiles[1]->X = 9;
    EXPECT_TRUE(ed.SelectAll().Everywhere);
    EXPECT_EQ(SelectedIndices(), Ints({0, 1, 2, 3, 4}));
    EXPECT_EQ(p.Selection[1].OrigX, 9);
    ed.DeselectAll();
    EXPECT_TRUE(p.Selection.empty());
    for (const auto& t : p.UsedTiles) EXPECT_FALSE(t->Selected);
}

// --- List primitives --------------------------------------------------------

TEST_F(StackTest, ShiftTileToIdMovesTheTilesBetweenAndEntriesFollow) {
    ed.SelectTile(1, false);
    ed.SelectTile(3, false);
    ShiftTileToId(p, 1, 3);
    EXPECT_EQ(Ids(), Ints({100, 102, 103, 101, 104}));
    EXPECT_EQ(SelectedIndices(), Ints({3, 2}));
    ShiftTileToId(p, 4, 0);
    EXPECT_EQ(Ids(), Ints({104, 100, 102, 103, 101}));
    EXPECT_EQ(SelectedIndices(), Ints({4, 3}));
    ShiftTileToId(p, 0, 7);  // outside the list: ignored
    EXPECT_EQ(Ids(), Ints({104, 100, 102, 103, 101}));
    EXPECT_EQ(SelectionFaults(p, s), "");
}

TEST_F(StackTest, SwappedSelectedTilesAreDraggedEachFromItsOwnPlace) {
    p.UsedTiles[1]->X = 0;
    ed.SelectTile(1, false);
    ed.SelectTile(3, false);
    SwapTiles(p, 1, 3, true);
    EXPECT_EQ(Ids(), Ints({100, 103, 102, 101, 104}));
    EXPECT_EQ(SelectedIndices(), Ints({3, 1}));
    ed.SelDragStart(10, 10);
    ed.SelDragOver(11, 12);
    EXPECT_EQ(p.UsedTiles[3]->X, 1);  // tile 101, from column 0
    EXPECT_EQ(p.UsedTiles[1]->X, 5);  // tile 103, from column 4
    EXPECT_EQ(p.UsedTiles[1]->Y, 6);
}

TEST_F(StackTest, OverwriteUsedTileCopiesEverythingAndKeepsTheSource) {
    MapTile& src = *p.UsedTiles[4];
    src.Selected = true;
    src.X = 11;
    OverwriteUsedTile(p, 0, 4);
    EXPECT_EQ(Ids(), Ints({104, 101, 102, 103, 104}));
    EXPECT_TRUE(p.UsedTiles[0]->Selected);
    EXPECT_EQ(p.UsedTiles[0]->X, 11);
    EXPECT_NE(p.UsedTiles[0].get(), p.UsedTiles[4].get());
}

// --- Steps ------------------------------------------------------------------

// Twelve 1 x 1 tiles in a row on separate squares, ids 0..11; a test moves
// some of them onto others to make them overlap.
struct StepTest : ::testing::Test, EditBench {
    void SetUp() override {
        for (int i = 0; i < 12; ++i) Add(1, 1, i, 0, static_cast<std::uint16_t>(i));
    }
    void OverlapWith(int tile, int over) {
        p.UsedTiles[tile]->X = p.UsedTiles[over]->X;
        p.UsedTiles[tile]->Y = p.UsedTiles[over]->Y;
    }
};

TEST_F(StepTest, SelectedAt2And7JumpOverToLandAboveTheOverlappingTile10) {
    OverlapWith(10, 7);
    OverlapWith(11, 2);  // overlaps too, but further up
    ed.SelectTile(2, false);
    ed.SelectTile(7, false);
    MapChange r = ed.SelectionStepUp(true);
    EXPECT_EQ(Ids(), Ints({0, 1, 3, 4, 5, 6, 8, 9, 10, 2, 7, 11}));
    EXPECT_EQ(SelectedIndices(), Ints({9, 10}));
    EXPECT_EQ(ui.status(), "selection moved up. (9 ... 10)");
    ASSERT_EQ(r.Areas.size(), 1u);
    EXPECT_EQ(r.Areas[0], (SquareRect{-1, 11, -3, 4}));
    EXPECT_EQ(ui.eventsProcessed, 1);
    EXPECT_EQ(SelectionFaults(p, s), "");
}

TEST_F(StepTest, WithNothingAboveTheBlockPacksUnderItsHighestMember) {
    ed.SelectTile(3, false);
    ed.SelectTile(6, false);
    ed.SelectionStepUp(false);
    EXPECT_EQ(Ids(), Ints({0, 1, 2, 4, 5, 3, 6, 7, 8, 9, 10, 11}));
    // Already a block ending at its highest member: the one-place step.
    ed.SelectionStepUp(false);
    EXPECT_EQ(Ids(), Ints({0, 1, 2, 4, 5, 7, 3, 6, 8, 9, 10, 11}));
    EXPECT_EQ(ui.status(), "selection moved up. (6 ... 7)");
}

TEST_F(StepTest, OnePlaceStepsRaiseEveryRunKeepingItsOrder) {
    s.SkipNearest = false;
    for (int i : {1, 2, 4, 11}) ed.SelectTile(i, false);
    ed.SelectionStepUp(false);
    EXPECT_EQ(Ids(), Ints({0, 3, 1, 2, 5, 4, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(SelectedIndices(), Ints({2, 3, 5, 11}));
    ed.SelectionStepDown(false);
    ed.SelectionStepDown(false);
    EXPECT_EQ(Ids(), Ints({1, 2, 0, 4, 3, 5, 6, 7, 8, 11, 9, 10}));
    EXPECT_EQ(ui.status(), "selection moved down. (0 ... 9)");
    EXPECT_EQ(SelectionFaults(p, s), "");
}

TEST_F(StepTest, StepDownMirrorsStepUp) {
    OverlapWith(2, 5);
    ed.SelectTile(8, false);
    ed.SelectTile(5, false);
    ed.SelectionStepDown(false);
    EXPECT_EQ(Ids(), Ints({0, 1, 5, 8, 2, 3, 4, 6, 7, 9, 10, 11}));
    EXPECT_EQ(SelectedIndices(), Ints({3, 2}));
    EXPECT_EQ(ui.status(), "selection moved down. (2 ... 3)");
    ed.DeselectTile(3);
    ed.SelectionStepDown(false);  // nothing overlapping below, a lone tile: one place
    EXPECT_EQ(ui.status(), "selection moved down. (1)");
}

TEST_F(StepTest, InvisibleSquaresNeitherOverlapNorAreOverlapped) {
    OverlapWith(9, 3);
    p.UsedTiles[9]->Sq[0] = MapSquare{NoBitmap, NoBitmap, 5};  // attribute only
    ed.SelectTile(3, false);
    ed.SelectionStepUp(false);
    // No visible overlap above: one place up.
    EXPECT_EQ(SelectedIndices(), Ints({4}));
}

TEST_F(StepTest, AnEmptySelectionDoesNotStep) {
    EXPECT_TRUE(ed.SelectionStepUp(true).Nothing());
    EXPECT_TRUE(ed.SelectionStepDown(true).Nothing());
    EXPECT_TRUE(ed.SelectionToTop().Nothing());
    EXPECT_TRUE(ed.SelectionToBottom().Nothing());
    EXPECT_TRUE(ui.statuses.empty());
}

// --- To top and to bottom ---------------------------------------------------

TEST_F(StepTest, ToTopKeepsTheOrderOfSelectingAndTheDragOrigins) {
    ed.SelectTile(5, false);
    ed.SelectTile(2, false);
    p.Selection[0].OrigX = 30;
    const MapTile* five = p.UsedTiles[5].get();
    MapChange r = ed.SelectionToTop();
    EXPECT_EQ(Ids(), Ints({0, 1, 3, 4, 6, 7, 8, 9, 10, 11, 5, 2}));
    EXPECT_EQ(SelectedIndices(), Ints({10, 11}));
    EXPECT_EQ(p.UsedTiles[10].get(), five);
    EXPECT_EQ(p.Selection[0].OrigX, 30);
    EXPECT_EQ(ui.status(), "selection moved to top.");
    ASSERT_EQ(r.Areas.size(), 1u);
    EXPECT_EQ(r.Areas[0], (SquareRect{-1, 9, -3, 4}));
    EXPECT_EQ(SelectionFaults(p, s), "");
}

TEST_F(StepTest, ToBottomKeepsTheOrderOfSelecting) {
    ed.SelectTile(9, false);
    ed.SelectTile(4, false);
    ed.SelectTile(6, false);
    ed.SelectionToBottom();
    EXPECT_EQ(Ids(), Ints({9, 4, 6, 0, 1, 2, 3, 5, 7, 8, 10, 11}));
    EXPECT_EQ(SelectedIndices(), Ints({0, 1, 2}));
    EXPECT_EQ(ui.status(), "selection moved to bottom.");
}

TEST_F(StepTest, ReorderingDuringADragLetsTheDragGoOn) {
    ed.SelectTile(4, false);
    ed.SelDragStart(0, 0);
    ed.SelDragOver(2, 0);
    ed.SelectionToTop();
    ed.SelectionStepDown(false);
    EXPECT_EQ(s.DragState, DragMoving);
    ed.SelDragOver(3, 0);
    EXPECT_EQ(p.UsedTiles[p.Selection[0].Index]->X, 7);
    ed.SelDragCancel();
    EXPECT_EQ(p.UsedTiles[p.Selection[0].Index]->X, 4);
}

}  // namespace
}  // namespace zorvane::testing
