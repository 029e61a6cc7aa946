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
std::vector<std::uint8_t> MapFileWithCreatures(const std::vector<std::uint8_t>& creatureBlock) {
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
    Choose(MapFileWithCreatures(CreatureBlock(7)));
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
    Choose(MapFileWithCreatures(file));
    ui.answers.push_back(Answer::Yes);
    ASSERT_TRUE(ImportCreatures(p, ui));
    EXPECT_EQ(ui.messages[0].caption, "Importing Creatures");
    EXPECT_EQ(ui.messages[0].text, "Merge imported creatures with current project?\r(may cause errors in zme/zmpe editor)");
    EXPECT_EQ(ui.messages[0].buttons, Buttons::YesNoCancel);
    std::vector<std::uint8_t> merged = mine;
    merged.insert(merged.end(), file.begin(), file.end());
    EXPECT_EQ(p.Creatures, merged);

    p.Creatures = mine;
    Choose(MapFileWithCreatures(file));
    ui.answers.push_back(Answer::No);
    ASSERT_TRUE(ImportCreatures(p, ui));
    EXPECT_EQ(p.Creatures, file);

    p.Creatures = mine;
    Choose(MapFileWithCreatures(file));
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
    auto full = MapFileWithCreatures(CreatureBlock(7));
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
    ASSERT_EQ(ui.changes.size(), 1u);
    EXPECT_TRUE(ui.changes[0].Has(Changed::TilesList) && ui.changes[0].Has(Changed::MapSize));
    EXPECT_EQ(ui.changes[0].Last, 0);

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
    }(), TileSetVariant::Zmpe);
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
        EXPECT_TRUE(ui.newProjects == 0);
        EXPECT_TRUE(ui.changes.empty());
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
