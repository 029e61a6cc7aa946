// The tiles list's primitives and commands: reordering checked against a
// plain vector, moving, deleting with its question, one-step dragging, and
// which commands can run.

#include <random>

#include "editing/tile_list_commands.h"
#include "editing_support.h"

namespace zorvane::testing {
namespace {

struct TileListTest : ::testing::Test {
    Project p;
    FakeUi ui;

    // n list tiles; tile k is k + 1 squares wide, shows ground id k and
    // stands at (100 + k, 200 + k).
    void Fill(int n) {
        for (int k = 0; k < n; ++k)
            p.NewTiles.push_back(MakeTile(k + 1, 1, 100 + k, 200 + k, static_cast<std::uint16_t>(k)));
        p.ZpPath = "/maps/tiles.zp";
    }
    Ints Ids() const {
        Ints ids;
        for (const auto& t : p.NewTiles) ids.push_back(t->Sq[0].Gnd);
        return ids;
    }
    // Every tile's width still matches its squares (width k + 1 for id k).
    bool SizesFollowSquares() const {
        for (const auto& t : p.NewTiles)
            if (t->Width != t->Sq[0].Gnd + 1 || static_cast<int>(t->Sq.size()) != t->Width * t->Height) return false;
        return true;
    }
};

// Random shifts and swaps against a vector that is changed by erasing and
// inserting: the ids follow, sizes stay with their squares, a swap leaves
// each slot its position, and each swap rebuilds exactly its range quietly.
TEST_F(TileListTest, RandomShiftsAndSwapsFollowAPlainVector) {
    Fill(9);
    Ints model = Ids();
    std::vector<std::pair<int, int>> slots;  // X, Y of each slot
    for (const auto& t : p.NewTiles) slots.push_back({t->X, t->Y});
    std::mt19937 rng(13);
    std::uniform_int_distribution<int> index(-1, 9);  // sometimes outside the list
    for (int step = 0; step < 400; ++step) {
        const int a = index(rng), b = index(rng);
        const bool valid = a >= 0 && a < 9 && b >= 0 && b < 9 && a != b;
        ui.changes.clear();
        ui.statuses.clear();
        if (rng() % 2) {
            ShiftNewTileToId(p, ui, a, b);
            if (valid) {
                const int moved = model[a];
                model.erase(model.begin() + a);
                model.insert(model.begin() + b, moved);
                const auto place = slots[a];  // a shift moves the whole tile
                slots.erase(slots.begin() + a);
                slots.insert(slots.begin() + b, place);
            }
            EXPECT_TRUE(ui.changes.empty()) << "the caller of a shift rebuilds";
        } else {
            SwapNewTiles(p, ui, a, b);
            if (valid) {
                std::swap(model[a], model[b]);
                ASSERT_EQ(ui.changes.size(), 1u);
                const ChangeNotice& r = ui.changes[0];
                EXPECT_EQ(std::pair(r.First, r.Last), std::pair(std::min(a, b), std::max(a, b)));
                EXPECT_TRUE(r.Has(Changed::TilesList));
                EXPECT_FALSE((r.Source == ChangeSource::Command) || MapLooksChanged(r) || r.Has(Changed::MapSize));
            } else {
                EXPECT_TRUE(ui.changes.empty());
            }
        }
        ASSERT_EQ(Ids(), model) << "step " << step << ": " << a << ", " << b;
        ASSERT_TRUE(SizesFollowSquares()) << "step " << step;
        EXPECT_EQ(ui.statuses, valid ? std::vector<std::string>{"Tile moved."} : std::vector<std::string>{});
        for (int k = 0; k < 9; ++k)
            ASSERT_EQ(std::pair(p.NewTiles[k]->X, p.NewTiles[k]->Y), slots[k]) << "step " << step << " slot " << k;
    }
    EXPECT_FALSE(p.ZpModified) << "the primitives leave the file state to their callers";
}

TEST_F(TileListTest, OverwriteCopiesTheWholeTileAndKeepsTheSource) {
    Fill(3);
    p.NewTiles[2]->Selected = true;
    OverwriteNewTile(p, 0, 2);
    EXPECT_EQ(Ids(), Ints({2, 1, 2}));
    EXPECT_EQ(p.NewTiles[0]->Width, 3);
    EXPECT_EQ(p.NewTiles[0]->X, 102);
    EXPECT_EQ(p.NewTiles[0]->Y, 202);
    EXPECT_TRUE(p.NewTiles[0]->Selected);
    EXPECT_NE(p.NewTiles[0].get(), p.NewTiles[2].get()) << "a copy, not the same tile";
    p.NewTiles[0]->SetGndAt(0, 0, 9);
    EXPECT_EQ(p.NewTiles[2]->GndAt(0, 0), 2);
    OverwriteNewTile(p, 0, 3);
    OverwriteNewTile(p, -1, 1);
    EXPECT_EQ(Ids(), Ints({9, 1, 2}));
}

TEST_F(TileListTest, MovingATileShiftsTheOnesBetweenAndSelectsItsNewPlace) {
    Fill(7);
    EXPECT_EQ(MoveNewTile(p, ui, 5, 2), 2);
    EXPECT_EQ(Ids(), Ints({0, 1, 5, 2, 3, 4, 6})) << "the former 2, 3, 4 are now at 3, 4, 5";
    ASSERT_EQ(ui.changes.size(), 1u);
    EXPECT_EQ(std::pair(ui.changes[0].First, ui.changes[0].Last), std::pair(2, 5));
    EXPECT_TRUE((ui.changes[0].Source == ChangeSource::Command) && ui.changes[0].Has(Changed::TilesList));
    EXPECT_FALSE(MapLooksChanged(ui.changes[0]) || ui.changes[0].Has(Changed::MapSize));
    EXPECT_EQ(ui.status(), "Tile moved.");
    EXPECT_FALSE(p.ZpModified) << "moving keeps the tile set's file";
    EXPECT_EQ(p.ZpPath, "/maps/tiles.zp");

    EXPECT_EQ(MoveNewTile(p, ui, 0, 6), 6);
    EXPECT_EQ(Ids(), Ints({1, 5, 2, 3, 4, 6, 0}));

    // Cancelled, to the same place, or outside the list: nothing happens.
    for (auto [from, to] : {std::pair(3, -1), std::pair(3, 3), std::pair(3, 7), std::pair(-1, 2), std::pair(7, 2)})
        EXPECT_EQ(MoveNewTile(p, ui, from, to), from);
    EXPECT_EQ(Ids(), Ints({1, 5, 2, 3, 4, 6, 0}));
    EXPECT_EQ(ui.changes.size(), 2u);
}

TEST_F(TileListTest, DeletingAsksAndLeavesTheMapAlone) {
    Fill(4);
    p.UsedTiles.push_back(MakeTile(2, 1, 5, 5, 1));  // a copy of list tile 1 on the map
    p.UsedTiles.push_back(MakeTile(3, 1, 9, 9, 2));

    ui.answers = {Answer::No};
    EXPECT_EQ(DeleteNewTile(p, ui, 1), 1);
    EXPECT_EQ(Ids(), Ints({0, 1, 2, 3}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Deleting Tile");
    EXPECT_EQ(ui.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(ui.messages[0].icon, Icon::Question);
    EXPECT_FALSE(p.ZpModified);
    EXPECT_TRUE(ui.changes.empty());

    ui.answers = {Answer::Yes};
    EXPECT_EQ(DeleteNewTile(p, ui, 1), 1) << "the next tile takes the selection";
    EXPECT_EQ(Ids(), Ints({0, 2, 3}));
    EXPECT_TRUE(p.ZpModified);
    EXPECT_EQ(p.ZpPath, "");
    ASSERT_EQ(ui.changes.size(), 1u);
    EXPECT_EQ(std::pair(ui.changes[0].First, ui.changes[0].Last), std::pair(1, 2));
    EXPECT_TRUE((ui.changes[0].Source == ChangeSource::Command) && ui.changes[0].Has(Changed::TilesList));
    EXPECT_FALSE(MapLooksChanged(ui.changes[0]) || ui.changes[0].Has(Changed::MapSize));
    EXPECT_EQ(ui.status(), "Tile deleted from the list.");
    ASSERT_EQ(p.UsedTiles.size(), 2u);
    EXPECT_EQ(p.UsedTiles[0]->Sq, MakeTile(2, 1, 5, 5, 1)->Sq);
    EXPECT_EQ(p.UsedTiles[1]->X, 9);

    EXPECT_EQ(DeleteNewTile(p, ui, 2), 1) << "the last one deleted: the one before is selected";
    EXPECT_EQ(Ids(), Ints({0, 2}));
    EXPECT_EQ(DeleteNewTile(p, ui, 0), 0);
    EXPECT_EQ(DeleteNewTile(p, ui, 0), -1) << "the only tile deleted: nothing is selected";
    EXPECT_TRUE(p.NewTiles.empty());
    EXPECT_EQ(std::pair(ui.changes.back().First, ui.changes.back().Last), std::pair(0, -1));

    const std::size_t asked = ui.messages.size();
    EXPECT_EQ(DeleteNewTile(p, ui, 0), 0);
    EXPECT_EQ(DeleteNewTile(p, ui, -1), -1);
    EXPECT_EQ(ui.messages.size(), asked) << "no selected tile: no question";
    EXPECT_EQ(p.UsedTiles.size(), 2u);
}

// However far the mouse is, the dragged tile takes one step towards it; the
// tile set is then modified and no longer names its file.
TEST_F(TileListTest, DraggingMovesOneNeighbourAtATime) {
    Fill(6);
    int selected = 1;
    for (int under : {5, 5, 5}) selected = DragNewTileToward(p, ui, selected, under);
    EXPECT_EQ(selected, 4);
    EXPECT_EQ(Ids(), Ints({0, 2, 3, 4, 1, 5}));
    EXPECT_EQ(ui.changes.size(), 3u);
    EXPECT_TRUE(p.ZpModified);
    EXPECT_EQ(p.ZpPath, "");

    selected = DragNewTileToward(p, ui, selected, 0);
    EXPECT_EQ(selected, 3);
    EXPECT_EQ(Ids(), Ints({0, 2, 3, 1, 4, 5}));
    p.ZpModified = false;
    for (int under : {3, -1, 6}) EXPECT_EQ(DragNewTileToward(p, ui, 3, under), 3) << under;
    EXPECT_EQ(DragNewTileToward(p, ui, -1, 2), -1);
    EXPECT_EQ(Ids(), Ints({0, 2, 3, 1, 4, 5}));
    EXPECT_FALSE(p.ZpModified) << "nothing moved";
}

TEST_F(TileListTest, CommandsNeedTheirSelectionAndTheTileEditor) {
    Fill(2);
    auto state = [&](int item, bool editor) {
        const auto s = AvailableTilesListCommands(p, {item, editor});
        return std::vector<bool>{s.AddNew, s.CreateFromSelection, s.Edit, s.Move, s.Delete};
    };
    using B = std::vector<bool>;
    EXPECT_EQ(state(1, false), B({false, false, false, true, true}));
    EXPECT_EQ(state(2, false), B({false, false, false, false, false})) << "beyond the tiles";
    EXPECT_EQ(state(-1, true), B({true, false, false, false, false}));
    EXPECT_EQ(state(0, true), B({true, false, true, true, true}));
    p.UsedTiles.push_back(MakeTile(1, 1, 0, 0, 0));
    p.UsedTiles[0]->Selected = true;
    p.Selection.push_back({0, 0, 0});
    EXPECT_EQ(state(-1, true), B({true, true, false, false, false}));
    EXPECT_EQ(state(-1, false), B({false, false, false, false, false}));
}

}  // namespace
}  // namespace zorvane::testing
