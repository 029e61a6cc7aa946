#include "commands/lifecycle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "builders.h"
#include "fake_ui.h"
#include "lifecycle_fixtures.h"
#include "model/bytes.h"
#include "model/creatures.h"
#include "model/tileset_file.h"

namespace zorvane {
namespace {

using namespace lifecycle_fixtures;

// --- Reset ---------------------------------------------------------------

TEST(ResetProjectTest, WholeProjectIsEmptiedAndTheWindowsRefreshed) {
    Project p;
    FakeUi ui;
    RecordingGenerator generator;
    p.Generator = &generator;
    MakeOpenProject(p);
    ResetProject(p, ui, ResetSides::Both, ResetRedraw::Yes);
    EXPECT_TRUE(p.NoProject);
    EXPECT_EQ(p.MapWidth, 0);
    EXPECT_EQ(p.MapHeight, 0);
    EXPECT_EQ(p.BitmapCount, 0);
    EXPECT_EQ(p.Multiplayer, 0u);
    EXPECT_TRUE(p.ZpPath.empty());
    EXPECT_TRUE(p.Creatures.empty());
    EXPECT_TRUE(p.NewTiles.empty());
    EXPECT_TRUE(p.UsedTiles.empty());
    EXPECT_TRUE(p.Selection.empty());
    EXPECT_TRUE(p.FlatSquares.empty());
    EXPECT_EQ(generator.resets, 1);
    EXPECT_EQ(ui.newProjects, 1);
    ASSERT_EQ(ui.changes.size(), 1u);
    EXPECT_EQ(ui.changes[0].First, 0);
    EXPECT_EQ(ui.changes[0].Last, -1);
    EXPECT_TRUE(ui.changes[0].Has(Changed::MapSize) && ui.changes[0].Has(Changed::TilesList) && MapLooksChanged(ui.changes[0]));
}

TEST(ResetProjectTest, OneSideKeepsTheOther) {
    Project p;
    FakeUi ui;
    MakeOpenProject(p);
    ResetProject(p, ui, ResetSides::Map, ResetRedraw::No);
    EXPECT_TRUE(p.UsedTiles.empty());
    EXPECT_EQ(p.MapWidth, 0);
    EXPECT_EQ(p.BitmapCount, 3);
    EXPECT_EQ(p.NewTiles.size(), 1u);
    EXPECT_EQ(p.ZpPath, "/somewhere/tiles.zp");
    EXPECT_TRUE(ui.changes.empty());

    Project q;
    MakeOpenProject(q);
    ResetProject(q, ui, ResetSides::TileSet, ResetRedraw::No);
    EXPECT_EQ(q.BitmapCount, 0);
    EXPECT_TRUE(q.NewTiles.empty());
    ASSERT_EQ(q.UsedTiles.size(), 1u);
    EXPECT_FALSE(q.UsedTiles[0]->Selected);
    EXPECT_EQ(q.MapWidth, 20);
    EXPECT_TRUE(q.Selection.empty());
    EXPECT_TRUE(q.NoProject);
}

TEST(ResetProjectTest, FailedOpenResetsAndTellsWhy) {
    Project p;
    FakeUi ui;
    MakeOpenProject(p);
    FailOpen(p, ui, "/maps/a.zm", "too short");
    EXPECT_TRUE(p.NoProject);
    EXPECT_TRUE(p.UsedTiles.empty());
    EXPECT_EQ(ui.status(), "error opening /maps/a.zm!");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Error");
    EXPECT_EQ(ui.messages[0].text, "Could not open /maps/a.zm\rtoo short");
    EXPECT_EQ(ui.messages[0].icon, Icon::Error);
}

// --- CreateMap -----------------------------------------------------------

class CreateMapTest : public ::testing::Test {
protected:
    // A map without reading a tile set; the tiles list is set up by the test.
    bool Create(int w, int h, bool withTile, bool withBitmap, int tileNr = 0, int bitmapNr = 0, bool multi = true) {
        MapCreation map{.Width = w, .Height = h, .Multiplayer = multi};
        if (withBitmap) map.FillBitmap = bitmapNr;
        if (withTile) map.FillTile = tileNr;
        return CreateMap(p, ui, map);
    }
    Project p;
    FakeUi ui;
};

TEST_F(CreateMapTest, FillWithBitmapLeavesTwoEmptyImpassableRings) {
    ASSERT_TRUE(Create(14, 14, false, true, 0, 7));
    ASSERT_EQ(p.UsedTiles.size(), 196u);
    int inner = 0;
    for (std::size_t i = 0; i < p.UsedTiles.size(); ++i) {
        const MapTile& t = *p.UsedTiles[i];
        ASSERT_EQ(t.Width, 1);
        ASSERT_EQ(t.X, static_cast<int>(i % 14));
        ASSERT_EQ(t.Y, static_cast<int>(i / 14));
        bool border = t.X < 2 || t.X > 11 || t.Y < 2 || t.Y > 11;
        EXPECT_EQ(t.Sq[0], border ? (MapSquare{NoBitmap, NoBitmap, 3}) : (MapSquare{7, NoBitmap, 0})) << i;
        inner += !border;
    }
    EXPECT_EQ(inner, 100);
    EXPECT_EQ(p.MapWidth, 14);
    EXPECT_EQ(p.MapHeight, 14);
}

TEST_F(CreateMapTest, FillWithTileCoversTheInnerMapFromTwoTwo) {
    p.NewTiles.push_back(MakeTile(4, 4));
    p.NewTiles.push_back(MakeTile(3, 2, 50, 60, 9, 8, 1));
    p.NewTiles[1]->Selected = true;
    ASSERT_TRUE(Create(104, 104, true, false, 1));
    ASSERT_EQ(p.UsedTiles.size(), 1700u);  // 34 x 50
    const MapTile& first = *p.UsedTiles.front();
    const MapTile& last = *p.UsedTiles.back();
    EXPECT_EQ(first.X, 2);
    EXPECT_EQ(first.Y, 2);
    EXPECT_EQ(p.UsedTiles[33]->X, 101);
    EXPECT_EQ(p.UsedTiles[33]->X + 3 - 1, 103);  // reaches into the right border
    EXPECT_EQ(p.UsedTiles[34]->X, 2);
    EXPECT_EQ(p.UsedTiles[34]->Y, 4);
    EXPECT_EQ(last.X, 101);
    EXPECT_EQ(last.Y, 100);
    EXPECT_TRUE(first.SameContent(*p.NewTiles[1]));
    EXPECT_FALSE(first.Selected);
    EXPECT_NE(&first, p.NewTiles[1].get());
}

TEST_F(CreateMapTest, TileCopiesReplaceTheBitmapFill) {
    p.NewTiles.push_back(MakeTile(3, 2, 0, 0, 1));
    ASSERT_TRUE(Create(104, 104, true, true, 0, 5));
    ASSERT_EQ(p.UsedTiles.size(), 1700u);
    for (const auto& t : p.UsedTiles) ASSERT_EQ(t->Width, 3);
}

TEST_F(CreateMapTest, TileNumberBeyondTheListFillsNothing) {
    p.NewTiles.push_back(MakeTile(3, 2));
    ASSERT_TRUE(Create(20, 20, true, false, 1));
    EXPECT_TRUE(p.UsedTiles.empty());
    ASSERT_TRUE(Create(20, 20, true, true, 1, 2));
    EXPECT_EQ(p.UsedTiles.size(), 400u);  // the bitmap fill stays
}

TEST_F(CreateMapTest, WithoutFillTheMapHasItsSizeButNoTiles) {
    ASSERT_TRUE(Create(30, 40, false, false, 0, 0, false));
    EXPECT_TRUE(p.UsedTiles.empty());
    EXPECT_EQ(p.MapWidth, 30);
    EXPECT_EQ(p.MapHeight, 40);
    EXPECT_FALSE(p.NoProject);
    EXPECT_EQ(p.Multiplayer, 0u);
    ASSERT_EQ(p.Creatures.size(), 103u);
    EXPECT_EQ(p.Creatures[kLevelTag + 86], 0);  // singleplayer in the level record
    EXPECT_EQ(ui.statuses.front(), "Creating new map...");
    EXPECT_EQ(ui.status(), "New map created!");
    EXPECT_EQ(ui.progressShown, 1);
    EXPECT_FALSE(ui.progressVisible);
    ASSERT_EQ(ui.changes.size(), 1u);
    EXPECT_FALSE(ui.changes[0].Has(Changed::TilesList));  // no tile set was read
}

TEST_F(CreateMapTest, ReadsTheTileSetBeforeFillingWithItsTile) {
    TempDir dir;
    std::string zp = WriteTileSet(dir, "set.zp", 4, OneTile(5, 5, 3));
    ASSERT_TRUE(CreateMap(p, ui, {.Width = 24, .Height = 24, .TileSetPath = zp, .FillTile = 0}));
    EXPECT_EQ(p.ZpPath, zp);
    EXPECT_EQ(p.BitmapCount, 4);
    ASSERT_EQ(p.NewTiles.size(), 1u);
    EXPECT_EQ(p.UsedTiles.size(), 16u);
    EXPECT_EQ(p.Multiplayer, 1u);
    EXPECT_EQ(p.Creatures[kLevelTag + 86], 1);
    ASSERT_EQ(ui.changes.size(), 1u);
    EXPECT_TRUE(ui.changes[0].Has(Changed::TilesList));
    EXPECT_EQ(ui.changes[0].Last, 0);
}

TEST_F(CreateMapTest, UnreadableTileSetLeavesTheProjectReset) {
    TempDir dir;
    std::string bad = dir.file("bad.zp");
    WriteBytes(bad, {'Z', 'T', 'P', '0', 0, 0});
    EXPECT_FALSE(CreateMap(p, ui, {.Width = 24, .Height = 24, .TileSetPath = bad, .FillBitmap = 1}));
    EXPECT_TRUE(p.NoProject);
    EXPECT_TRUE(p.UsedTiles.empty());
    EXPECT_EQ(p.MapWidth, 0);
    EXPECT_FALSE(ui.sawStatus("New map created!"));
    EXPECT_FALSE(ui.progressVisible);

    FakeUi declining;
    declining.answers.push_back(Answer::No);  // do not look for the missing file
    Project q;
    EXPECT_FALSE(
        CreateMap(q, declining, {.Width = 24, .Height = 24, .TileSetPath = dir.file("missing.zp"), .FillBitmap = 1}));
    EXPECT_TRUE(q.NoProject);
    EXPECT_TRUE(q.UsedTiles.empty());
}

// --- The "New map" window -------------------------------------------------

class NewMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings.ZpPath = WriteTileSet(dir, "set.zp", 2, OneTile(1, 1, 0));
        settings.SizeX = 10;
        settings.SizeY = 12;
    }
    TempDir dir;
    NewMapSettings settings;
    Project p;
    FakeUi ui;
};

TEST_F(NewMapTest, MissingTileSetKeepsTheWindowOpen) {
    settings.ZpPath = dir.file("gone.zp");
    MakeOpenProject(p);
    EXPECT_FALSE(CreateNewMap(p, ui, settings));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Error");
    EXPECT_EQ(ui.messages[0].text, "Could not find \"" + dir.file("gone.zp") + "\"");
    EXPECT_FALSE(p.NoProject);
    EXPECT_EQ(p.UsedTiles.size(), 1u);
}

TEST_F(NewMapTest, SizesOutsideTenTo202AreRefused) {
    for (auto [x, y] : {std::pair{9, 100}, std::pair{100, 203}, std::pair{-5, 10}}) {
        FakeUi refused;
        settings.SizeX = x;
        settings.SizeY = y;
        EXPECT_FALSE(CreateNewMap(p, refused, settings));
        ASSERT_EQ(refused.messages.size(), 1u);
        EXPECT_EQ(refused.messages[0].caption, "Error");
        EXPECT_EQ(refused.messages[0].text, "Size X and Size Y (without borders) must be between 10 and 202.");
    }
    EXPECT_TRUE(p.NoProject);
    settings.SizeX = 202;
    settings.SizeY = 202;
    EXPECT_TRUE(CreateNewMap(p, ui, settings));
    EXPECT_EQ(p.MapWidth, 206);
}

TEST_F(NewMapTest, OpenProjectIsClosedOnlyAfterOk) {
    MakeOpenProject(p);
    ui.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(CreateNewMap(p, ui, settings));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Warning");
    EXPECT_EQ(ui.messages[0].text, "This operation will close current project!");
    EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
    EXPECT_EQ(ui.messages[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(p.MapWidth, 20);
    EXPECT_EQ(p.BitmapCount, 3);

    ui.answers.push_back(Answer::Ok);
    settings.FillWithBitmap = true;
    settings.BitmapNr = 1;
    settings.Multiplayer = false;
    EXPECT_TRUE(CreateNewMap(p, ui, settings));
    EXPECT_EQ(p.MapWidth, 14);
    EXPECT_EQ(p.MapHeight, 16);
    EXPECT_EQ(p.UsedTiles.size(), 14u * 16u);
    EXPECT_EQ(p.BitmapCount, 2);
    EXPECT_EQ(p.Multiplayer, 0u);
    EXPECT_FALSE(p.NoProject);
}

TEST_F(NewMapTest, FreshStartAsksNothingAndStoresTheFullPath) {
    auto here = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    settings.ZpPath = "set.zp";
    bool created = CreateNewMap(p, ui, settings);
    std::filesystem::current_path(here);
    ASSERT_TRUE(created);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(std::filesystem::path(p.ZpPath).is_absolute());
    EXPECT_EQ(std::filesystem::canonical(p.ZpPath), std::filesystem::canonical(dir.file("set.zp")));
}

}  // namespace
}  // namespace zorvane
