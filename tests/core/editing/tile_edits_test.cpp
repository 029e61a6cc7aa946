// Dragging, placing from the tiles list, cloning, splitting and deleting.

#include "editing_support.h"

namespace zorvane::testing {
namespace {

struct TileEditTest : ::testing::Test, EditBench {
    int X(int i) const { return p.UsedTiles[i]->X; }
    int Y(int i) const { return p.UsedTiles[i]->Y; }
    void AddNewTile(int w, int h, std::uint16_t gnd) { p.NewTiles.push_back(MakeTile(w, h, 0, 0, gnd)); }
    void Row(int count) {
        for (int i = 0; i < count; ++i) Add(1, 1, i, 0, static_cast<std::uint16_t>(i));
    }
};

// --- Dragging -----------------------------------------------------------------

TEST_F(TileEditTest, DraggedTilesFollowTheMouseAndRedrawWhereTheyWereAndAre) {
    Add(2, 2, 5, 5, 1);
    Add(1, 1, 10, 10, 2);
    Add(1, 1, 0, 0, 3);
    ed.SelectTile(0, false);
    ed.SelectTile(1, false);
    MapChange r = ed.SelDragStart(6, 6);
    ASSERT_EQ(r.Areas.size(), 1u);
    EXPECT_EQ(r.Areas[0], (SquareRect{2, 14, 2, 14}));
    r = ed.SelDragOver(7, 6);
    EXPECT_EQ(X(0), 6);
    EXPECT_EQ(X(1), 11);
    EXPECT_EQ(X(2), 0);
    ASSERT_EQ(r.Areas.size(), 1u);
    EXPECT_EQ(r.Areas[0], (SquareRect{2, 15, 2, 14}));
    EXPECT_TRUE(ed.SelDragOver(7, 6).Nothing());  // same square: nothing moved
    ed.SelDragOver(-20, 6);                        // nothing clamps
    EXPECT_EQ(X(0), -21);
}

TEST_F(TileEditTest, CancelPutsTheTilesBackAndRedrawsBothPlaces) {
    Add(1, 1, 3, 3, 1);
    ed.SelectTile(0, false);
    ed.SelDragStart(0, 0);
    ed.SelDragOver(12, 0);
    MapChange r = ed.RightClickOn(12, 0, {});
    EXPECT_EQ(X(0), 3);
    EXPECT_EQ(s.DragState, DragIdle);
    EXPECT_EQ(r.Areas, Rects({SquareRect{12, 19, 0, 7}, SquareRect{0, 7, 0, 7}}));
    ed.SelDragStart(0, 0);
    ed.SelDragOver(1, 1);
    r = ed.SelDragCancel();
    EXPECT_EQ(r.Areas, Rects({SquareRect{0, 8, 0, 8}}));  // overlapping: one rectangle
    EXPECT_EQ(SelectionFaults(p, s), "");
}

TEST_F(TileEditTest, DropKeepsTheNewPlaceAsTheNextDragOrigin) {
    Add(1, 1, 3, 3, 1);
    ed.SelectTile(0, false);
    ed.SelDragStart(0, 0);
    ed.SelDragOver(2, 1);
    MapChange r = ed.LeftClickOn(2, 1, {});
    EXPECT_EQ(s.DragState, DragIdle);
    EXPECT_EQ(ui.status(), "tile dropped.");
    EXPECT_TRUE(r.TileCountChanged);
    EXPECT_EQ(r.Areas, Rects({SquareRect{2, 9, 1, 8}}));
    EXPECT_EQ(p.Selection[0].OrigX, 5);
    EXPECT_EQ(p.Selection[0].OrigY, 4);
    EXPECT_TRUE(p.UsedTiles[0]->Selected);
    ed.SelDragStart(0, 0);
    ed.SelDragOver(1, 0);
    ed.SelDragCancel();
    EXPECT_EQ(X(0), 5);
}

// --- Placing ------------------------------------------------------------------

TEST_F(TileEditTest, PlacedTileMovesWithTheSelectionButIsDrawnPlainly) {
    Row(2);
    AddNewTile(3, 2, 77);
    MapChange r = ed.StoreNew(0, 10, 20);
    ASSERT_EQ(p.UsedTiles.size(), 3u);
    EXPECT_EQ(p.UsedTiles[2]->Sq[0].Gnd, 77);
    EXPECT_EQ(X(2), 10);
    EXPECT_EQ(Y(2), 20);
    EXPECT_FALSE(p.UsedTiles[2]->Selected);
    EXPECT_EQ(SelectedIndices(), Ints({2}));
    EXPECT_EQ(s.DragState, DragPlacing);
    EXPECT_EQ(s.DragStartX, 12);  // Round(1.5) + ScrollX
    EXPECT_EQ(s.DragStartY, 21);  // Round(1) + ScrollY
    EXPECT_TRUE(r.TileCountChanged);
    EXPECT_EQ(s.Depth.Maximum, 2);
    EXPECT_EQ(r.Areas, Rects({SquareRect{7, 16, 17, 25}}));
    EXPECT_EQ(SelectionFaults(p, s), "");

    ed.SelDragOver(30, 40);  // the middle square under the mouse
    EXPECT_EQ(X(2) + 2, 30);
    EXPECT_EQ(Y(2) + 1, 40);
    r = ed.LeftClickOn(30, 40, {});
    EXPECT_TRUE(p.Selection.empty());
    EXPECT_FALSE(p.UsedTiles[2]->Selected);
    EXPECT_EQ(ui.status(), "tile dropped.");
    EXPECT_EQ(r.Areas, Rects({SquareRect::WholeMap(p)}));
    EXPECT_EQ(SelectionFaults(p, s), "");
}

TEST_F(TileEditTest, PlacementOriginRoundsHalvesToEven) {
    for (auto [w, half] : {std::pair{1, 0}, {2, 1}, {5, 2}, {7, 4}, {8, 4}}) {
        p.NewTiles.clear();
        AddNewTile(w, w, 1);
        ed.StoreNew(0, 3, 4);
        EXPECT_EQ(s.DragStartX, 3 + half) << w;
        EXPECT_EQ(s.DragStartY, 4 + half) << w;
    }
    EXPECT_EQ(p.UsedTiles.size(), 1u);  // each placement removed the one before
}

TEST_F(TileEditTest, RightClickRemovesThePlacedTileAndBadIndicesPlaceNothing) {
    Row(2);
    AddNewTile(1, 1, 9);
    EXPECT_TRUE(ed.StoreNew(1, 0, 0).Nothing());
    EXPECT_TRUE(ed.StoreNew(-1, 0, 0).Nothing());
    ed.StoreNew(0, 5, 5);
    MapChange r = ed.RightClickOn(5, 5, {});
    EXPECT_EQ(Ids(), Ints({0, 1}));
    EXPECT_TRUE(p.Selection.empty());
    EXPECT_EQ(s.DragState, DragIdle);
    EXPECT_EQ(s.Depth.Maximum, 1);
    EXPECT_EQ(r.Areas, Rects({SquareRect{2, 9, 2, 9}}));
    EXPECT_EQ(SelectionFaults(p, s), "");
}

TEST_F(TileEditTest, PlacingCancelsADragAndUnhighlightsTheSelection) {
    Row(3);
    AddNewTile(1, 1, 9);
    ed.SelectTile(1, false);
    ed.SelDragStart(0, 0);
    ed.SelDragOver(5, 5);
    MapChange r = ed.StoreNew(0, 0, 0);
    EXPECT_EQ(X(1), 1);  // back where it was selected
    EXPECT_FALSE(p.UsedTiles[1]->Selected);
    // The cancelled drag (both places) and the former selection are drawn again.
    EXPECT_TRUE(HasRect(r, SquareRect{-2, 5, -3, 4}));
    ed.StoreNew(0, 4, 4);  // a second placement replaces the first
    EXPECT_EQ(Ids(), Ints({0, 1, 2, 9}));
    EXPECT_EQ(X(3), 4);
    EXPECT_EQ(SelectionFaults(p, s), "");
}

TEST_F(TileEditTest, CancellingRemovesThePlacedTileWhereverItWent) {
    Row(3);
    AddNewTile(1, 1, 9);
    ed.StoreNew(0, 0, 0);
    ed.SelectionToBottom();
    ed.RightClickOn(0, 0, {});
    EXPECT_EQ(Ids(), Ints({0, 1, 2}));
}

TEST_F(TileEditTest, AbandonedPlacementLeavesTheTileSelected) {
    Row(1);
    AddNewTile(1, 1, 9);
    ed.StoreNew(0, 0, 0);
    ed.AbandonDrag();
    EXPECT_EQ(s.DragState, DragIdle);
    EXPECT_TRUE(p.UsedTiles[1]->Selected);
    EXPECT_EQ(SelectionFaults(p, s), "");
}

// --- Cloning ------------------------------------------------------------------

TEST_F(TileEditTest, ClonesLieOverTheirSourcesInDepthOrderAndFollowTheMouse) {
    Row(10);
    for (int i : {4, 9, 2}) ed.SelectTile(i, false);
    MapChange r = ed.CloneSelected(3, 3);
    EXPECT_EQ(Ids(), Ints({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 2, 4, 9}));
    EXPECT_EQ(SelectedIndices(), Ints({10, 11, 12}));
    for (int i : {2, 4, 9}) EXPECT_FALSE(p.UsedTiles[i]->Selected);
    EXPECT_EQ(ui.status(), "3 tiles cloned");
    EXPECT_EQ(s.DragState, DragMoving);
    EXPECT_EQ(s.DragStartX, 3);
    EXPECT_TRUE(r.TileCountChanged);
    EXPECT_EQ(s.Depth.Maximum, 12);
    EXPECT_TRUE(HasRect(r, SquareRect{-1, 13, -3, 4}));
    EXPECT_EQ(SelectionFaults(p, s), "");

    ed.SelDragOver(4, 5);
    EXPECT_EQ(X(10), 3);
    EXPECT_EQ(Y(12), 2);
    ed.RightClickOn(4, 5, {});  // back over the sources, still selected
    EXPECT_EQ(X(10), 2);
    EXPECT_EQ(X(12), 9);
    EXPECT_EQ(Y(11), 0);
    EXPECT_EQ(SelectedIndices(), Ints({10, 11, 12}));
}

TEST_F(TileEditTest, CloningNothingStillStartsAnEmptyDrag) {
    Row(2);
    MapChange r = ed.CloneSelected(1, 1);
    EXPECT_EQ(ui.status(), "0 tiles cloned");
    EXPECT_EQ(s.DragState, DragMoving);
    EXPECT_TRUE(HasRect(r, SquareRect::WholeMap(p)));
    ed.LeftClickOn(1, 1, {});
    EXPECT_EQ(s.DragState, DragIdle);
    EXPECT_EQ(p.UsedTiles.size(), 2u);
}

TEST_F(TileEditTest, CloningDuringADragStartsTheCopiesWhereTheSourcesAre) {
    Add(1, 1, 5, 5, 1);
    ed.SelectTile(0, false);
    ed.SelDragStart(0, 0);
    ed.SelDragOver(3, 0);
    ed.CloneSelected(3, 0);
    ed.SelDragOver(4, 0);
    EXPECT_EQ(X(1), 9);  // one square further, no jump
    ed.SelDragCancel();
    EXPECT_EQ(X(1), 8);  // over its source
    EXPECT_EQ(X(0), 8);
}

// --- Splitting ----------------------------------------------------------------

TEST_F(TileEditTest, SplitReplacesATileAtItsDepthByItsNonEmptySquares) {
    Add(1, 1, 0, 0, 50);
    Add(3, 3, 4, 6, 7);
    Add(1, 1, 0, 0, 60);
    MapTile& t = *p.UsedTiles[1];
    t.SqAt(1, 1) = MapSquare{};                             // dropped
    t.SqAt(2, 0) = MapSquare{NoBitmap, NoBitmap, 5};        // an attribute alone is kept
    t.SqAt(0, 2) = MapSquare{NoBitmap, 12, 0};
    ed.SelectTile(1, false);
    MapChange r = ed.SplitSelected();
    ASSERT_EQ(p.UsedTiles.size(), 10u);
    EXPECT_EQ(Ids().front(), 50);
    EXPECT_EQ(Ids().back(), 60);
    EXPECT_EQ(SelectedIndices(), Ints({1, 2, 3, 4, 5, 6, 7, 8}));
    // Row by row, left to right, each at its square.
    const std::pair<int, int> at[] = {{4, 6}, {5, 6}, {6, 6}, {4, 7}, {6, 7}, {4, 8}, {5, 8}, {6, 8}};
    for (int k = 0; k < 8; ++k) {
        const MapTile& part = *p.UsedTiles[1 + k];
        EXPECT_EQ(part.Width, 1);
        EXPECT_EQ(part.Height, 1);
        EXPECT_EQ(std::pair(part.X, part.Y), at[k]) << k;
        EXPECT_EQ(p.Selection[k].OrigX, part.X);
    }
    EXPECT_EQ(p.UsedTiles[3]->Sq[0], (MapSquare{NoBitmap, NoBitmap, 5}));
    EXPECT_EQ(p.UsedTiles[6]->Sq[0], (MapSquare{NoBitmap, 12, 0}));
    EXPECT_TRUE(r.TileCountChanged);
    EXPECT_EQ(s.Depth.Maximum, 9);
    EXPECT_EQ(r.Areas, Rects({SquareRect{1, 10, 3, 12}}));
    EXPECT_EQ(SelectionFaults(p, s), "");
}

TEST_F(TileEditTest, SplitLeavesSingleSquaresAndEmptyTilesUnselected) {
    Add(1, 1, 0, 0, 1);
    Add(2, 2, 8, 8, NoBitmap);  // nothing to keep
    Add(2, 1, 3, 3, 2);
    for (int i : {0, 1, 2}) ed.SelectTile(i, false);
    MapChange r = ed.SplitSelected();
    EXPECT_EQ(Ids(), Ints({1, NoBitmap, 2, 2}));
    EXPECT_EQ(SelectedIndices(), Ints({2, 3}));
    EXPECT_FALSE(p.UsedTiles[0]->Selected);
    EXPECT_FALSE(p.UsedTiles[1]->Selected);
    // The single square and the kept tile lose their highlight: redrawn too.
    EXPECT_EQ(r.Areas, Rects({SquareRect{-3, 13, -3, 13}}));
}

TEST_F(TileEditTest, SplittingAHigherTileFirstSelectsEveryNewSquare) {
    Add(1, 1, 0, 0, 1);
    Add(2, 1, 0, 2, 2);  // lower, selected second
    Add(1, 1, 0, 0, 3);
    Add(2, 1, 5, 5, 4);  // higher, selected first
    ed.SelectTile(3, false);
    ed.SelectTile(1, false);
    ed.SplitSelected();
    EXPECT_EQ(Ids(), Ints({1, 2, 2, 3, 4, 4}));
    EXPECT_EQ(SelectedIndices(), Ints({4, 5, 1, 2}));
    EXPECT_EQ(X(5), 6);
    EXPECT_EQ(SelectionFaults(p, s), "");
}

TEST_F(TileEditTest, SplitDuringADragLetsTheSquaresGoOnFollowing) {
    Add(2, 1, 0, 0, 1);
    ed.SelectTile(0, false);
    ed.SelDragStart(0, 0);
    ed.SelDragOver(3, 0);
    ed.SplitSelected();
    ed.SelDragOver(4, 0);
    EXPECT_EQ(X(0), 4);
    EXPECT_EQ(X(1), 5);
    ed.SelDragCancel();
    EXPECT_EQ(X(0), 0);
    EXPECT_EQ(X(1), 1);
}

// Splitting the tile being placed leaves a placement of its parts: they go on
// following the mouse, a right click removes them all, and a left click drops
// them unselected, as for the tile before the split.
TEST_F(TileEditTest, ASplitPlacementIsStillAPlacement) {
    Row(2);
    AddNewTile(3, 2, 9);
    p.NewTiles[0]->SqAt(1, 0) = MapSquare{};  // dropped by the split
    for (bool cancel : {true, false}) {
        ed.StoreNew(0, 4, 4);
        ed.SelectionToBottom();  // wherever it went in the stack
        ed.SelDragOver(8, 8);
        ed.SplitSelected();
        EXPECT_EQ(s.DragState, DragPlacing);
        EXPECT_EQ(Ids(), Ints({9, 9, 9, 9, 9, 0, 1}));
        EXPECT_EQ(SelectionFaults(p, s), "");
        ed.SelDragOver(9, 10);
        EXPECT_EQ(std::pair(X(0), Y(0)), std::pair(7, 9)) << "the parts follow the mouse";
        EXPECT_EQ(std::pair(X(4), Y(4)), std::pair(9, 10));
        const SquareRect partsAt = SquareRect::Around(*p.UsedTiles[0]).United(SquareRect::Around(*p.UsedTiles[4]));
        MapChange r = cancel ? ed.RightClickOn(9, 10, {}) : ed.LeftClickOn(9, 10, {});
        EXPECT_EQ(s.DragState, DragIdle);
        EXPECT_TRUE(p.Selection.empty());
        EXPECT_EQ(SelectionFaults(p, s), "");
        if (cancel) {
            EXPECT_EQ(Ids(), Ints({0, 1})) << "every part is removed";
            EXPECT_EQ(s.Depth.Maximum, 1);
            const bool covered = std::any_of(r.Areas.begin(), r.Areas.end(), [&](const SquareRect& d) {
                return d.X0 <= partsAt.X0 && d.X1 >= partsAt.X1 && d.Y0 <= partsAt.Y0 && d.Y1 >= partsAt.Y1;
            });
            EXPECT_TRUE(covered) << "where the parts were is drawn again";
        } else {
            EXPECT_EQ(Ids(), Ints({9, 9, 9, 9, 9, 0, 1}));
            for (int k = 0; k < 5; ++k) EXPECT_FALSE(p.UsedTiles[k]->Selected) << "dropped unselected";
            EXPECT_EQ(ui.status(), "tile dropped.");
        }
    }
}

// --- Deleting -----------------------------------------------------------------

TEST_F(TileEditTest, DeleteRemovesTheSelectionWhereverItIsAndKeepsTheRestInOrder) {
    Row(5);
    ed.SelectTile(3, false);
    ed.SelectTile(1, false);
    MapChange r = ed.DeleteSelected(true);
    EXPECT_EQ(Ids(), Ints({0, 2, 4}));
    EXPECT_TRUE(p.Selection.empty());
    EXPECT_EQ(ui.status(), "selection deleted.");
    EXPECT_EQ(s.Depth.Maximum, 2);
    EXPECT_EQ(r.Areas, Rects({SquareRect{-2, 7, -3, 4}}));
    ed.SelectTile(0, false);
    EXPECT_TRUE(ed.DeleteSelected(false).Areas.empty());
    EXPECT_EQ(Ids(), Ints({2, 4}));
}

TEST_F(TileEditTest, DeletingNothingSaysNothing) {
    Row(2);
    EXPECT_TRUE(ed.DeleteSelected(true).Nothing());
    EXPECT_TRUE(ui.statuses.empty());
}

TEST_F(TileEditTest, DeletingThePlacedTileEndsThePlacement) {
    Row(2);
    AddNewTile(2, 2, 9);
    ed.StoreNew(0, 0, 0);
    ed.DeleteSelected(true);
    EXPECT_EQ(s.DragState, DragIdle);
    EXPECT_TRUE(s.PlacedTiles.empty());
    EXPECT_EQ(Ids(), Ints({0, 1}));
    EXPECT_EQ(SelectionFaults(p, s), "");
}

}  // namespace
}  // namespace zorvane::testing
