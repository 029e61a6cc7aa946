#include "lifecycle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "builders.h"
#include "bytes.h"
#include "creatures.h"
#include "fake_ui.h"
#include "tileset_file.h"

namespace zorvane {
namespace {

using testing::AddPatternBitmaps;
using testing::FakeUi;
using testing::MakeTile;
using testing::TempDir;
using testing::WriteBytes;

constexpr std::size_t kLevelTag = 6;  // the level record's "MCR0" in the default "zmpe" block

class RecordingGenerator : public TileSetObserver {
public:
    void tileSetRead() override { ++reads; }
    void tileSetReset() override { ++resets; }
    int reads = 0;
    int resets = 0;
};

// A tile set file of `bitmaps` pattern bitmaps and the given tiles, written
// with the tile set writer.
std::string WriteTileSet(const TempDir& dir, const std::string& name, int bitmaps, TileList tiles, int seed = 0) {
    Project source;
    AddPatternBitmaps(source, bitmaps, seed);
    source.NewTiles = std::move(tiles);
    std::string path = dir.file(name);
    WriteBytes(path, EncodeZP(source, false));
    return path;
}

TileList OneTile(int w, int h, std::uint16_t gnd) {
    TileList list;
    list.push_back(MakeTile(w, h, 0, 0, gnd, NoBitmap, 5));
    return list;
}

// A project as the editor holds it after opening something.
void MakeOpenProject(Project& p) {
    AddPatternBitmaps(p, 3);
    p.MapWidth = 20;
    p.MapHeight = 30;
    p.Multiplayer = 1;
    p.ZpPath = "/somewhere/tiles.zp";
    p.Creatures = {1, 2, 3};
    p.NewTiles.push_back(MakeTile(2, 2));
    p.UsedTiles.push_back(MakeTile(1, 1, 3, 3, 0));
    p.UsedTiles.back()->Selected = true;
    p.Selection.push_back({0, 3, 3});
    p.FlatSquares.resize(4);
    p.NoProject = false;
}

// --- Reset ---------------------------------------------------------------

TEST(ResetProjectTest, WholeProjectIsEmptiedAndTheWindowsRefreshed) {
    Project p;
    FakeUi ui;
    RecordingGenerator generator;
    p.Generator = &generator;
    MakeOpenProject(p);
    ResetProject(p, ui, true, true, true);
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
    EXPECT_EQ(ui.resets, std::vector<bool>{true});
    ASSERT_EQ(ui.refreshes.size(), 1u);
    EXPECT_EQ(ui.refreshes[0].first, 0);
    EXPECT_EQ(ui.refreshes[0].last, -1);
    EXPECT_TRUE(ui.refreshes[0].resetScrolling && ui.refreshes[0].rebuildList && ui.refreshes[0].redraw);
}

TEST(ResetProjectTest, OneSideKeepsTheOther) {
    Project p;
    FakeUi ui;
    MakeOpenProject(p);
    ResetProject(p, ui, false, true, false);
    EXPECT_TRUE(p.UsedTiles.empty());
    EXPECT_EQ(p.MapWidth, 0);
    EXPECT_EQ(p.BitmapCount, 3);
    EXPECT_EQ(p.NewTiles.size(), 1u);
    EXPECT_EQ(p.ZpPath, "/somewhere/tiles.zp");
    EXPECT_TRUE(ui.refreshes.empty());

    Project q;
    MakeOpenProject(q);
    ResetProject(q, ui, true, false, false);
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
        return CreateMap(p, ui, w, h, withTile, withBitmap, multi, "", false, tileNr, bitmapNr);
    }
    Project p;
    FakeUi ui;
};

TEST_F(CreateMapTest, FillWithBitmapLeavesTwoEmptyImpassableRings) {
    ASSERT_TRUE(Create(14, 14, false, true, 0, 7));
    ASSERT_EQ(p.UsedTiles.size(), 196u);
    int inner = 0;
    for (std::size_t i = 0; i < p.UsedTiles.size(); ++i) {
        const TTile& t = *p.UsedTiles[i];
        ASSERT_EQ(t.Width, 1);
        ASSERT_EQ(t.X, static_cast<int>(i % 14));
        ASSERT_EQ(t.Y, static_cast<int>(i / 14));
        bool border = t.X < 2 || t.X > 11 || t.Y < 2 || t.Y > 11;
        EXPECT_EQ(t.Sq[0], border ? (TSq{NoBitmap, NoBitmap, 3}) : (TSq{7, NoBitmap, 0})) << i;
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
    const TTile& first = *p.UsedTiles.front();
    const TTile& last = *p.UsedTiles.back();
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
    ASSERT_EQ(ui.refreshes.size(), 1u);
    EXPECT_FALSE(ui.refreshes[0].rebuildList);  // no tile set was read
}

TEST_F(CreateMapTest, ReadsTheTileSetBeforeFillingWithItsTile) {
    TempDir dir;
    std::string zp = WriteTileSet(dir, "set.zp", 4, OneTile(5, 5, 3));
    ASSERT_TRUE(CreateMap(p, ui, 24, 24, true, false, true, zp, true, 0, 0));
    EXPECT_EQ(p.ZpPath, zp);
    EXPECT_EQ(p.BitmapCount, 4);
    ASSERT_EQ(p.NewTiles.size(), 1u);
    EXPECT_EQ(p.UsedTiles.size(), 16u);
    EXPECT_EQ(p.Multiplayer, 1u);
    EXPECT_EQ(p.Creatures[kLevelTag + 86], 1);
    ASSERT_EQ(ui.refreshes.size(), 1u);
    EXPECT_TRUE(ui.refreshes[0].rebuildList);
    EXPECT_EQ(ui.refreshes[0].last, 0);
}

TEST_F(CreateMapTest, UnreadableTileSetLeavesTheProjectReset) {
    TempDir dir;
    std::string bad = dir.file("bad.zp");
    WriteBytes(bad, {'Z', 'T', 'P', '0', 0, 0});
    EXPECT_FALSE(CreateMap(p, ui, 24, 24, false, true, true, bad, true, 0, 1));
    EXPECT_TRUE(p.NoProject);
    EXPECT_TRUE(p.UsedTiles.empty());
    EXPECT_EQ(p.MapWidth, 0);
    EXPECT_FALSE(ui.sawStatus("New map created!"));
    EXPECT_FALSE(ui.progressVisible);

    FakeUi declining;
    declining.answers.push_back(Answer::No);  // do not look for the missing file
    Project q;
    EXPECT_FALSE(CreateMap(q, declining, 24, 24, false, true, true, dir.file("missing.zp"), true, 0, 1));
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

// --- Project properties ---------------------------------------------------

TEST(PropertiesLabelsTest, CountsReadAsTheWindowShowsThem) {
    Project p;
    FakeUi ui;
    EXPECT_EQ(CreaturesLabel(p), "Creatures count = 0");
    ResetCreatures(p, ui);
    EXPECT_EQ(CreaturesLabel(p), "Creatures count = 1 (level info)");
    for (char c : std::string("MCR0\x01")) p.Creatures.push_back(static_cast<std::uint8_t>(c));
    EXPECT_EQ(CreaturesLabel(p), "Creatures count = 2");

    AddPatternBitmaps(p, 12);
    p.NewTiles.push_back(MakeTile(1, 1));
    p.UsedTiles.push_back(MakeTile(1, 1));
    p.UsedTiles.push_back(MakeTile(1, 1));
    EXPECT_EQ(BitmapsLabel(p),
              "Number of bitmaps = 12\rNumber of tiles in the list = 1\rNumber of tiles in the map = 2");
}

class PropertiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeOpenProject(p);
        p.Creatures.clear();
    }
    Project p;
    FakeUi ui;
};

TEST_F(PropertiesTest, ResetCreaturesAsksFirst) {
    Project empty;
    EXPECT_FALSE(ResetCreaturesCommand(empty, ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Information");
    EXPECT_EQ(ui.messages[0].text, "Nothing to erease.");

    p.Creatures = {9, 9};
    ui.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(ResetCreaturesCommand(p, ui));
    EXPECT_EQ(p.Creatures, (std::vector<std::uint8_t>{9, 9}));
    EXPECT_EQ(ui.messages[1].caption, "Warning");
    EXPECT_EQ(ui.messages[1].text, "All creatures data will be ereased!\rThis operation cannot be undone!");
    EXPECT_EQ(ui.messages[1].buttons, Buttons::OkCancel);

    p.Multiplayer = 0;
    ui.answers.push_back(Answer::Ok);
    EXPECT_TRUE(ResetCreaturesCommand(p, ui));
    ASSERT_EQ(p.Creatures.size(), 103u);
    EXPECT_EQ(p.Creatures[kLevelTag + 86], 0);
}

TEST_F(PropertiesTest, RemoveUnusedBitmapsAsksFirst) {
    Project empty;
    EXPECT_FALSE(RemoveUnusedBitmapsCommand(empty, ui));
    EXPECT_EQ(ui.messages.back().text, "Nothing to erease.");

    ui.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(RemoveUnusedBitmapsCommand(p, ui));
    EXPECT_EQ(p.BitmapCount, 3);
    EXPECT_EQ(ui.messages.back().caption, "Warning");
    EXPECT_EQ(ui.messages.back().text, "Are you sure?\rThis operation cannot be undone!");

    ui.answers.push_back(Answer::Ok);
    EXPECT_TRUE(RemoveUnusedBitmapsCommand(p, ui));
    EXPECT_EQ(p.BitmapCount, 1);  // only bitmap 0 is used
}

// A map project file built from its layout: "ZLF5", the path, the
// multiplayer flag, "MAP0", the size, the squares, then the creature block.
std::vector<std::uint8_t> MapFileBytes(const std::vector<std::uint8_t>& creatureBlock) {
    ByteWriter w;
    w.text("ZLF5");
    w.u8(6);
    w.text("/a.zp_");
    w.u32(1);
    w.text("MAP0");
    w.u8(2);
    w.u8(1);
    for (int i = 0; i < 2; ++i) {
        w.u16(static_cast<std::uint16_t>(i));
        w.u16(NoBitmap);
        w.u8(3);
    }
    w.bytes(creatureBlock);
    return w.take();
}

// "CST0", a count and one level record of 97 bytes, multiplayer byte 1.
std::vector<std::uint8_t> CreatureBlock(std::uint8_t marker) {
    std::vector<std::uint8_t> b = {'C', 'S', 'T', '0', 1, 0, 'M', 'C', 'R', '0', 4};
    b.resize(6 + 97, 0);
    b[6 + 86] = 1;
    b[6 + 20] = marker;
    return b;
}

class ImportCreaturesTest : public PropertiesTest {
protected:
    // Writes the file and has `chooser` pick it in the open dialog.
    void Choose(const std::vector<std::uint8_t>& bytes, FakeUi& chooser) {
        path = dir.file("other.zm");
        WriteBytes(path, bytes);
        chooser.files.push_back(path);
    }
    void Choose(const std::vector<std::uint8_t>& bytes) { Choose(bytes, ui); }
    TempDir dir;
    std::string path;
};

TEST_F(ImportCreaturesTest, EmptyBlockTakesTheFileBlockWithoutAsking) {
    p.Multiplayer = 0;
    Choose(MapFileBytes(CreatureBlock(7)));
    ASSERT_TRUE(ImportCreatures(p, ui));
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].name, "ODzm");
    EXPECT_EQ(ui.dialogs[0].filter, "zme/zmpe project|*.zm");
    EXPECT_FALSE(ui.dialogs[0].save);
    auto expected = CreatureBlock(7);
    expected[6 + 86] = 0;  // the project is singleplayer
    EXPECT_EQ(p.Creatures, expected);
    EXPECT_TRUE(ui.sawStatus("opening " + path + "..."));
    EXPECT_EQ(ui.status(), path + " - creatures imported");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Importing Creatures");
    EXPECT_EQ(ui.messages[0].text, "Creatures Imported!");
}

TEST_F(ImportCreaturesTest, ExistingBlockIsMergedReplacedOrKept) {
    const std::vector<std::uint8_t> mine = {'x', 'y'};
    auto file = CreatureBlock(7);

    p.Creatures = mine;
    Choose(MapFileBytes(file));
    ui.answers.push_back(Answer::Yes);
    ASSERT_TRUE(ImportCreatures(p, ui));
    EXPECT_EQ(ui.messages[0].caption, "Importing Creatures");
    EXPECT_EQ(ui.messages[0].text, "Merge imported creatures with current project?\r(may cause errors in zme/zmpe editor)");
    EXPECT_EQ(ui.messages[0].buttons, Buttons::YesNoCancel);
    std::vector<std::uint8_t> merged = mine;
    merged.insert(merged.end(), file.begin(), file.end());
    EXPECT_EQ(p.Creatures, merged);

    p.Creatures = mine;
    Choose(MapFileBytes(file));
    ui.answers.push_back(Answer::No);
    ASSERT_TRUE(ImportCreatures(p, ui));
    EXPECT_EQ(p.Creatures, file);

    p.Creatures = mine;
    Choose(MapFileBytes(file));
    ui.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(ImportCreatures(p, ui));
    EXPECT_EQ(p.Creatures, mine);

    FakeUi unscripted;  // No is preselected
    unscripted.files.push_back(path);
    ASSERT_TRUE(ImportCreatures(p, unscripted));
    EXPECT_EQ(p.Creatures, file);
}

TEST_F(ImportCreaturesTest, ShortOrForeignFileChangesNothing) {
    const std::vector<std::uint8_t> mine = {'x', 'y'};
    auto full = MapFileBytes(CreatureBlock(7));
    std::vector<std::uint8_t> cut(full.begin(), full.begin() + 20);  // inside the squares
    std::vector<std::uint8_t> foreign = full;
    foreign[0] = 'Q';
    for (const auto& bytes : {cut, foreign}) {
        FakeUi one;
        p.Creatures = mine;
        Choose(bytes, one);
        one.answers.push_back(Answer::No);
        EXPECT_FALSE(ImportCreatures(p, one));
        EXPECT_EQ(p.Creatures, mine);
        ASSERT_EQ(one.messages.size(), 2u);
        EXPECT_EQ(one.messages[1].caption, "Error");
        EXPECT_EQ(one.messages[1].icon, Icon::Error);
        EXPECT_EQ(one.status(), "error opening " + path + "!");
    }
    EXPECT_FALSE(ImportCreatures(p, ui));  // dialog cancelled
}

TEST_F(PropertiesTest, ApplySetsSizeModeAndMovesCreaturesInsideTheBorder) {
    ResetCreatures(p, ui);
    p.Creatures[kLevelTag + 8] = 50;
    std::vector<std::uint8_t> creature(97, 0);
    std::memcpy(creature.data(), "MCR0", 4);
    creature[4] = 1;
    creature[8] = 200;
    creature[12] = 7;
    p.Creatures.insert(p.Creatures.end(), creature.begin(), creature.end());
    const std::size_t second = 103;

    PropertiesChange change;
    change.SizeX = 30;
    change.SizeY = 40;
    change.Multiplayer = false;
    change.MoveCreatures = true;
    change.MoveX = -202;
    change.MoveY = -202;
    ASSERT_TRUE(ApplyProperties(p, ui, change));
    EXPECT_EQ(p.MapWidth, 34);
    EXPECT_EQ(p.MapHeight, 44);
    EXPECT_EQ(p.Multiplayer, 0u);
    EXPECT_EQ(p.Creatures[kLevelTag + 86], 0);
    for (std::size_t tag : {kLevelTag, second}) {
        EXPECT_EQ(p.Creatures[tag + 8], 2);
        EXPECT_EQ(p.Creatures[tag + 12], 2);
    }
    ASSERT_EQ(ui.refreshes.size(), 1u);
    EXPECT_TRUE(ui.refreshes[0].rebuildList && ui.refreshes[0].resetScrolling);
    EXPECT_EQ(ui.refreshes[0].last, 0);

    change.MoveX = 202;
    change.MoveY = 202;
    change.Multiplayer = true;
    ASSERT_TRUE(ApplyProperties(p, ui, change));
    EXPECT_EQ(p.Creatures[second + 8], 34 - 3);
    EXPECT_EQ(p.Creatures[second + 12], 44 - 3);
    EXPECT_EQ(p.Creatures[kLevelTag + 86], 1);

    change.MoveCreatures = false;
    change.MoveX = -202;
    ASSERT_TRUE(ApplyProperties(p, ui, change));
    EXPECT_EQ(p.Creatures[second + 8], 31);
}

TEST_F(PropertiesTest, ApplyKeepsTilesOutsideASmallerMap) {
    p.UsedTiles.push_back(MakeTile(2, 2, 100, 100, 1));
    PropertiesChange change;
    change.SizeX = 10;
    change.SizeY = 10;
    ASSERT_TRUE(ApplyProperties(p, ui, change));
    EXPECT_EQ(p.UsedTiles.size(), 2u);
    EXPECT_EQ(p.UsedTiles[1]->X, 100);

    change.SizeX = 203;
    EXPECT_FALSE(ApplyProperties(p, ui, change));
    EXPECT_EQ(p.MapWidth, 14);
    EXPECT_EQ(ui.messages.back().caption, "Error");
}

TEST_F(PropertiesTest, NewTileSetIsReadOnlyAfterOk) {
    TempDir dir;
    std::string zp = WriteTileSet(dir, "other.zp", 5, OneTile(2, 1, 4), 40);
    ResetCreatures(p, ui);
    PropertiesChange change;
    change.NewZpPath = zp;
    change.SizeX = 50;
    change.SizeY = 50;

    ui.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(ApplyProperties(p, ui, change));
    EXPECT_EQ(ui.messages[0].caption, "Warning");
    EXPECT_EQ(ui.messages[0].text, "Are you sure that selected *.zp is compatible with this project?");
    EXPECT_EQ(ui.messages[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(p.ZpPath, "/somewhere/tiles.zp");
    EXPECT_EQ(p.BitmapCount, 3);
    EXPECT_EQ(p.MapWidth, 20);

    ui.answers.push_back(Answer::Ok);
    ASSERT_TRUE(ApplyProperties(p, ui, change));
    EXPECT_EQ(p.ZpPath, zp);
    EXPECT_EQ(p.BitmapCount, 5);
    ASSERT_EQ(p.NewTiles.size(), 1u);
    EXPECT_EQ(p.NewTiles[0]->Width, 2);
    EXPECT_TRUE(p.Creatures.empty());
    EXPECT_EQ(p.UsedTiles[0]->Sq[0].Gnd, 0);  // used tiles keep their ids
    EXPECT_EQ(p.MapWidth, 54);
}

TEST_F(PropertiesTest, ADamagedNewTileSetIsRefusedAndChangesNothing) {
    TempDir dir;
    RecordingGenerator generator;
    p.Generator = &generator;
    ResetCreatures(p, ui);
    const auto creatures = p.Creatures;
    const std::vector<std::uint8_t> bitmaps(p.AllBitmapBytes().begin(), p.AllBitmapBytes().end());
    // A foreign file, and a real tile set cut short in its last tile.
    auto whole = EncodeZP([] {
        Project other;
        AddPatternBitmaps(other, 5, 40);
        other.NewTiles = OneTile(2, 1, 4);
        return other;
    }(), false);
    std::string foreign = dir.file("foreign.zp");
    std::string cut = dir.file("cut.zp");
    WriteBytes(foreign, {'n', 'o'});
    WriteBytes(cut, std::vector<std::uint8_t>(whole.begin(), whole.end() - 3));

    for (const std::string& bad : {foreign, cut}) {
        PropertiesChange change;
        change.NewZpPath = bad;
        change.SizeX = 50;
        change.SizeY = 50;
        change.Multiplayer = false;
        ui.answers.push_back(Answer::Ok);
        const std::size_t shown = ui.messages.size();
        EXPECT_FALSE(ApplyProperties(p, ui, change));
        ASSERT_EQ(ui.messages.size(), shown + 2) << "the question, then the error";
        EXPECT_EQ(ui.messages.back().caption, "Error");
        EXPECT_EQ(ui.messages.back().text.rfind("Could not open " + bad + "\r", 0), 0u) << ui.messages.back().text;
        EXPECT_EQ(ui.status(), "error opening " + bad + "!");

        EXPECT_FALSE(p.NoProject);
        EXPECT_EQ(p.ZpPath, "/somewhere/tiles.zp");
        EXPECT_EQ(p.BitmapCount, 3);
        EXPECT_TRUE(std::equal(bitmaps.begin(), bitmaps.end(), p.AllBitmapBytes().begin()));
        EXPECT_EQ(p.NewTiles.size(), 1u);
        EXPECT_EQ(p.UsedTiles.size(), 1u);
        EXPECT_EQ(p.MapWidth, 20);
        EXPECT_EQ(p.MapHeight, 30);
        EXPECT_EQ(p.Multiplayer, 1u);
        EXPECT_EQ(p.Creatures, creatures);
        EXPECT_TRUE(ui.resets.empty());
        EXPECT_TRUE(ui.refreshes.empty());
        EXPECT_EQ(generator.reads + generator.resets, 0);
    }

    // The whole file, chosen next, is taken.
    const std::string good = WriteTileSet(dir, "good.zp", 5, OneTile(2, 1, 4), 40);
    PropertiesChange change;
    change.NewZpPath = good;
    change.SizeX = 50;
    change.SizeY = 50;
    ui.answers.push_back(Answer::Ok);
    ASSERT_TRUE(ApplyProperties(p, ui, change));
    EXPECT_EQ(p.ZpPath, good);
    EXPECT_EQ(p.BitmapCount, 5);
    EXPECT_TRUE(p.Creatures.empty());
    EXPECT_EQ(generator.reads, 1);
}

}  // namespace
}  // namespace zorvane
