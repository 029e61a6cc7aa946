// Saving, opening and exporting map projects as the user meets it: the
// dialogs, the new tile set an export may need, the status line, the error
// boxes and the project around the map file reader and writer.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "../model/zm_fixtures.h"
#include "builders.h"
#include "byte_fixtures.h"
#include "commands/open_commands.h"
#include "commands/save_commands.h"
#include "fake_ui.h"
#include "model/creatures.h"
#include "model/map_file.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

// Writes a small "zmpe" tile set of `bitmaps` bitmaps and one tile.
std::string WriteTileSet(const TempDir& dir, const std::string& name, int bitmaps) {
    Project set;
    FillTestPalette(set);
    AddPatternBitmaps(set, bitmaps);
    set.NewTiles.push_back(MakeTile(2, 1, 0, 0, 0, NoBitmap, 4));
    std::string path = dir.file(name);
    WriteBytes(path, EncodeZP(set, TileSetVariant::Zmpe));
    return path;
}

// A project filled with 1 x 1 tiles, as opening a map project gives it.
void FillWithSquares(Project& p, int w, int h, std::uint16_t gnd) {
    p.MapWidth = w;
    p.MapHeight = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.UsedTiles.push_back(MakeTile(1, 1, x, y, gnd, NoBitmap, 0));
    p.NoProject = false;
}

void ExpectEmptyProject(const Project& p) {
    EXPECT_TRUE(p.NoProject);
    EXPECT_TRUE(p.UsedTiles.empty());
    EXPECT_TRUE(p.NewTiles.empty());
    EXPECT_EQ(p.BitmapCount, 0);
    EXPECT_TRUE(p.Creatures.empty());
}

}  // namespace

// --- Saving ------------------------------------------------------------------

TEST(SaveZmAs, EmptyCreaturesGetTheDefaultBlockWithTheMultiplayerFlag) {
    TempDir dir;
    FakeUi ui;
    for (bool zme : {false, true}) {
        Project p = FlatProject(6, 6);
        p.ZmeVariant = zme;
        p.Multiplayer = 0;
        std::string path = dir.file(zme ? "a.zm" : "b.zm");
        ASSERT_TRUE(SaveZmAs(p, ui, path, VariantOf(zme)));
        Bytes file = ReadWholeFile(path);
        const std::size_t blockStart = 15 + p.ZpPath.size() + 5 * 36;
        ASSERT_EQ(file.size(), blockStart + 103);
        EXPECT_EQ(Bytes(file.begin() + blockStart, file.begin() + blockStart + 4), Bytes({'C', 'S', 'T', '0'}));
        EXPECT_EQ(file[blockStart + (zme ? 4 : 6)], 'M');
        EXPECT_EQ(file[blockStart + (zme ? 4 : 6) + 86], 0);  // singleplayer
        EXPECT_TRUE(p.FlatSquares.empty());
        EXPECT_EQ(ui.status(), path + " saved!");
        EXPECT_FALSE(ui.progressVisible);
    }
}

TEST(SaveZmAs, AFailedWriteKeepsTheOldFile) {
    TempDir dir;
    FakeUi ui;
    std::string path = dir.file("keep.zm");
    const Bytes old = {'o', 'l', 'd'};
    WriteBytes(path, old);

    Project longPath = FlatProject(4, 4, std::string(300, 'x'));
    EXPECT_FALSE(SaveZmAs(longPath, ui, path, TileSetVariant::Zmpe));
    EXPECT_EQ(ReadWholeFile(path), old);
    EXPECT_TRUE(longPath.FlatSquares.empty());
    EXPECT_EQ(ui.status(), "error saving " + path + "!");
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().caption, "Error");

    Project ok = FlatProject(4, 4);
    EXPECT_FALSE(SaveZmAs(ok, ui, dir.file("missing/folder.zm"), TileSetVariant::Zmpe));
    EXPECT_FALSE(FileExists(dir.file("missing/folder.zm")));
}

// --- Opening -----------------------------------------------------------------

TEST(OpenZMFile, LoadsTheMapAsOneTilePerSquareAndItsTileSet) {
    TempDir dir;
    std::string zp = WriteTileSet(dir, "set.zp", 5);
    std::string zm = dir.file("map.zm");
    WriteBytes(zm, ZmFile(zp, 1, 4, 3, CreatureFixture()));
    Project p;
    FakeUi ui;
    ASSERT_TRUE(OpenZMFile(p, ui, zm));
    EXPECT_FALSE(p.NoProject);
    EXPECT_EQ(p.MapWidth, 4);
    EXPECT_EQ(p.MapHeight, 3);
    EXPECT_EQ(p.ZpPath, zp);
    EXPECT_EQ(p.Multiplayer, 1u);
    EXPECT_EQ(p.Creatures, CreatureFixture());
    EXPECT_EQ(p.BitmapCount, 5);
    EXPECT_EQ(p.NewTiles.size(), 1u);
    ASSERT_EQ(p.UsedTiles.size(), 12u);
    for (int i = 0; i < 12; ++i) {
        const MapTile& t = *p.UsedTiles[i];
        EXPECT_EQ(t.Width, 1);
        EXPECT_EQ(t.Height, 1);
        EXPECT_EQ(t.X, i % 4);
        EXPECT_EQ(t.Y, i / 4);
        EXPECT_EQ(t.Sq[0], FixtureSquare(i % 4, i / 4));
    }
    EXPECT_TRUE(ui.sawStatus("opening " + zm + "..."));
    EXPECT_EQ(ui.status(), zm + " opened");
    ASSERT_FALSE(ui.changes.empty());
    const ChangeNotice& r = ui.changes.back();
    EXPECT_EQ(r.First, 0);
    EXPECT_EQ(r.Last, 0);
    EXPECT_TRUE((r.Source == ChangeSource::Command) && MapLooksChanged(r) && r.Has(Changed::MapSize) && r.Has(Changed::TilesList));
    EXPECT_FALSE(ui.progressVisible);
}

TEST(OpenZMFile, ADamagedFileLeavesNoProject) {
    TempDir dir;
    std::string zm = dir.file("short.zm");
    Bytes file = ZmFile("x.zp", 1, 4, 4, {});
    file.erase(file.end() - 3, file.end());
    WriteBytes(zm, file);
    Project p;
    FillWithSquares(p, 4, 4, 0);
    AddPatternBitmaps(p, 3);
    p.Creatures = CreatureFixture();
    FakeUi ui;
    EXPECT_FALSE(OpenZMFile(p, ui, zm));
    ExpectEmptyProject(p);
    EXPECT_EQ(ui.status(), "error opening " + zm + "!");
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().caption, "Error");

    FakeUi ui2;
    EXPECT_FALSE(OpenZMFile(p, ui2, dir.file("nothing-here.zm")));
    EXPECT_EQ(ui2.status(), "error opening " + dir.file("nothing-here.zm") + "!");
}

TEST(OpenZMFile, AMissingTileSetThatIsNotReplacedLeavesNoProject) {
    TempDir dir;
    std::string zm = dir.file("map.zm");
    WriteBytes(zm, ZmFile(dir.file("gone.zp"), 1, 4, 4, CreatureFixture()));
    Project p;
    FakeUi ui;
    ui.answers.push_back(Answer::No);
    EXPECT_FALSE(OpenZMFile(p, ui, zm));
    ExpectEmptyProject(p);
    EXPECT_EQ(ui.messages.front().caption, "Missing *.zp file");
}

TEST(OpenZM, CancellingTheDialogChangesNothing) {
    Project p;
    FillWithSquares(p, 3, 3, 1);
    FakeUi ui;
    EXPECT_FALSE(OpenZM(p, ui));
    EXPECT_EQ(p.UsedTiles.size(), 9u);
    EXPECT_FALSE(p.NoProject);
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].name, "ODzm");
    EXPECT_EQ(ui.dialogs[0].filter, "zme/zmpe project|*.zm");
    EXPECT_FALSE(ui.dialogs[0].save);
    EXPECT_TRUE(ui.dialogs[0].fileMustExist);
}

// --- Export ------------------------------------------------------------------

TEST(ExportToZmZpFile, AnOpenedMapExportsToTheSameBytes) {
    TempDir dir;
    std::string zp = WriteTileSet(dir, "set.zp", 200);
    std::string zm = dir.file("in.zm");
    // Border attributes already impassable so that the export changes nothing.
    Bytes file = ZmFile(zp, 1, 6, 5, CreatureFixture());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            if (IsBorderSquare(x, y, 6, 5)) file[15 + zp.size() + (y * 6 + x) * 5 + 4] = AtrImpassable;
    WriteBytes(zm, file);
    Project p;
    FakeUi ui;
    ASSERT_TRUE(OpenZMFile(p, ui, zm));
    std::string out = dir.file("out.zm");
    ASSERT_EQ(ExportToZmZpFile(p, ui, out, TileSetVariant::Zmpe), ExportResult::Exported);
    EXPECT_EQ(ReadWholeFile(out), file);
    for (auto& m : ui.messages) EXPECT_NE(m.caption, "Create new *.zp");
    EXPECT_TRUE(p.FlatSquares.empty());
    const ChangeNotice& r = ui.changes.back();
    EXPECT_TRUE((r.Source == ChangeSource::Command));
    EXPECT_FALSE(MapLooksChanged(r) || r.Has(Changed::MapSize) || r.Has(Changed::TilesList));
}

TEST(ExportToZmZpFile, WritesANewTileSetWhenNeededAndOnlyOnce) {
    TempDir dir;
    Project p;
    FillTestPalette(p);
    AddPatternBitmaps(p, 3);
    FillWithSquares(p, 5, 5, 1);
    FakeUi ui;
    ui.files.push_back(dir.file("fresh"));  // no extension: ".zp" is added
    ASSERT_EQ(ExportToZmZpFile(p, ui, dir.file("a.zm"), TileSetVariant::Zme), ExportResult::Exported);
    EXPECT_EQ(ui.messages[0].caption, "Create new *.zp");
    EXPECT_EQ(ui.messages[0].text,
              "It's necessary to create a new *.zp file.\rTo continue exporting map, select the path and name for new "
              "file.");
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].name, "SDzp");
    EXPECT_EQ(ui.dialogs[0].filter, "tile set file|*.zp");
    EXPECT_EQ(p.ZpPath, dir.file("fresh.zp"));
    EXPECT_TRUE(p.ZmeVariant);
    EXPECT_TRUE(FileExists(dir.file("fresh.zp")));
    EXPECT_EQ(ParseZM(ReadWholeFile(dir.file("a.zm"))).ZpPath, dir.file("fresh.zp"));

    // A second export in the same variant finds everything in place.
    ASSERT_EQ(ExportToZmZpFile(p, ui, dir.file("b.zm"), TileSetVariant::Zme), ExportResult::Exported);
    EXPECT_EQ(ui.dialogs.size(), 1u);

    // Another variant needs another tile set.
    ui.files.push_back(dir.file("other.zp"));
    ASSERT_EQ(ExportToZmZpFile(p, ui, dir.file("c.zm"), TileSetVariant::Zmpe), ExportResult::Exported);
    EXPECT_EQ(ui.dialogs.size(), 2u);
    EXPECT_FALSE(p.ZmeVariant);
}

TEST(ExportToZmZpFile, CancellingTheTileSetDialogWritesNothing) {
    TempDir dir;
    Project p;
    AddPatternBitmaps(p, 2);
    FillWithSquares(p, 5, 5, 0);
    FakeUi ui;
    EXPECT_EQ(ExportToZmZpFile(p, ui, dir.file("a.zm"), TileSetVariant::Zmpe), ExportResult::Failed);
    EXPECT_EQ(ui.messages.back().caption, "Error");
    EXPECT_EQ(ui.messages.back().text, "Exporting stopped by user!");
    EXPECT_FALSE(FileExists(dir.file("a.zm")));
    EXPECT_TRUE(p.FlatSquares.empty());
}

TEST(ExportToZmZpFile, ATileSetThatCannotBeWrittenStopsTheExport) {
    TempDir dir;
    Project p;
    AddPatternBitmaps(p, 2);
    FillWithSquares(p, 5, 5, 0);
    FakeUi ui;
    // A name the map could not store.
    std::string longName = dir.file(std::string(240, 'n'));
    ui.files.push_back(longName);
    EXPECT_EQ(ExportToZmZpFile(p, ui, dir.file("a.zm"), TileSetVariant::Zmpe), ExportResult::Failed);
    EXPECT_FALSE(FileExists(longName + ".zp"));
    EXPECT_FALSE(FileExists(dir.file("a.zm")));
    EXPECT_EQ(p.ZpPath, "");

    // "name" chosen while "name.zp" exists, and the user keeps that file.
    const Bytes old = {'z', 'p'};
    WriteBytes(dir.file("set.zp"), old);
    ui.files.push_back(dir.file("set"));
    ui.answers.push_back(Answer::No);
    EXPECT_EQ(ExportToZmZpFile(p, ui, dir.file("a.zm"), TileSetVariant::Zmpe), ExportResult::Failed);
    EXPECT_EQ(ReadWholeFile(dir.file("set.zp")), old);
    EXPECT_FALSE(FileExists(dir.file("a.zm")));
    EXPECT_EQ(ui.messages.back().text, "Exporting stopped by user!");
}

// The map and the new tile set it names are replaced together: when the map
// cannot be written, the old tile set is still the one its old maps need.
TEST(ExportToZmZpFile, AMapThatCannotBeWrittenKeepsTheOldTileSet) {
    TempDir dir;
    Project p;
    AddPatternBitmaps(p, 2);
    FillWithSquares(p, 5, 5, 0);
    p.ZpPath = dir.file("kept.zp");
    p.ZpModified = true;
    const Bytes old = {'o', 'l', 'd'};
    WriteBytes(dir.file("set.zp"), old);
    const auto before = std::distance(std::filesystem::directory_iterator(dir.path()), {});
    for (const std::string& map : {dir.file("missing/a.zm"), dir.file("set.zp")}) {
        FakeUi ui;
        EXPECT_EQ(ExportToZmZpFile(p, ui, map, TileSetVariant::Zmpe,
                                   ExportOptions::WritingTileSetTo(dir.file("set.zp"))),
                  ExportResult::Failed)
            << map;
        EXPECT_EQ(ReadWholeFile(dir.file("set.zp")), old) << map;
        EXPECT_EQ(p.ZpPath, dir.file("kept.zp"));
        EXPECT_TRUE(p.ZpModified);
        ASSERT_FALSE(ui.messages.empty());
        EXPECT_NE(ui.messages.back().text.find("set.zp"), std::string::npos) << ui.messages.back().text;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), before);
    }
}

TEST(ExportToZmZpFile, TooManyBitmapsForTheCompositesWritesNothing) {
    TempDir dir;
    Project p;
    p.SetBitmapCount(MaxBitmaps);  // blank bitmaps but for two pictures
    auto lower = PatternBitmap(1);
    auto upper = PatternBitmap(2);
    std::fill(upper.begin(), upper.begin() + BitmapBytes / 2, 0);
    std::memcpy(p.MutableBitmap(0), lower.data(), BitmapBytes);
    std::memcpy(p.MutableBitmap(1), upper.data(), BitmapBytes);
    FillWithSquares(p, 5, 5, 0);
    p.UsedTiles.push_back(MakeTile(1, 1, 2, 2, 1));  // a composite is needed at (2, 2)
    p.ZpPath = dir.file("set.zp");
    FakeUi ui;
    EXPECT_EQ(ExportToZmZpFile(p, ui, dir.file("a.zm"), TileSetVariant::Zmpe), ExportResult::Failed);
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().caption, "Error");
    EXPECT_EQ(ui.messages.back().text, TooManyBitmapsText);
    EXPECT_EQ(p.BitmapCount, MaxBitmaps);
    EXPECT_TRUE(p.FlatSquares.empty());
    EXPECT_FALSE(FileExists(dir.file("a.zm")));
    EXPECT_TRUE(ui.dialogs.empty());
}

// Makes `dir` the working folder until the object goes.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::filesystem::path& dir) : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~WorkingFolder() { std::filesystem::current_path(old_); }

private:
    std::filesystem::path old_;
};

TEST(ExportToZmZpFile, AStoredTileSetPathIsWrittenAsItWasReadAndAChosenOneInFull) {
    TempDir dir;
    WriteTileSet(dir, "rel.zp", 200);
    // Border attributes already impassable so that the export changes nothing.
    Bytes file = ZmFile("rel.zp", 1, 6, 5, CreatureFixture());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            if (IsBorderSquare(x, y, 6, 5)) file[15 + 6 + (y * 6 + x) * 5 + 4] = AtrImpassable;
    WriteBytes(dir.file("in.zm"), file);
    Project p;
    FakeUi ui;
    {
        WorkingFolder here(dir.path());  // where the map's relative path leads
        ASSERT_TRUE(OpenZMFile(p, ui, "in.zm"));
    }
    EXPECT_EQ(p.BitmapCount, 200);
    // Exported from another working folder, the map names its tile set as before.
    ASSERT_EQ(ExportToZmZpFile(p, ui, dir.file("out.zm"), TileSetVariant::Zmpe), ExportResult::Exported);
    EXPECT_EQ(ReadWholeFile(dir.file("out.zm")), file);
    EXPECT_EQ(p.ZpPath, "rel.zp");

    // A path with a drive letter stays as it is too.
    p.ZpPath = "D:\\game\\set.zp";
    ASSERT_EQ(ExportToZmZpFile(p, ui, dir.file("b.zm"), TileSetVariant::Zmpe), ExportResult::Exported);
    EXPECT_EQ(ParseZM(ReadWholeFile(dir.file("b.zm"))).ZpPath, "D:\\game\\set.zp");

    // A tile set file named now, relative to the working folder, is stored in full.
    std::filesystem::create_directory(dir.path() / "sets");
    ui.files.push_back("sets/new");
    {
        WorkingFolder here(dir.path());
        ASSERT_EQ(ExportToZmZpFile(p, ui, dir.file("c.zm"), TileSetVariant::Zme), ExportResult::Exported);
    }
    EXPECT_TRUE(std::filesystem::path(p.ZpPath).is_absolute());
    EXPECT_TRUE(std::filesystem::equivalent(p.ZpPath, dir.path() / "sets" / "new.zp"));
    EXPECT_EQ(ParseZM(ReadWholeFile(dir.file("c.zm"))).ZpPath, p.ZpPath);
}

TEST(ExportToZmZp, ForcesTheMapExtension) {
    TempDir dir;
    Project p;
    AddPatternBitmaps(p, 2);
    FillWithSquares(p, 5, 5, 0);
    p.ZpPath = dir.file("set.zp");
    FakeUi ui;
    ui.files.push_back(dir.file("target.txt"));
    ASSERT_TRUE(ExportToZmZp(p, ui, TileSetVariant::Zmpe));
    EXPECT_TRUE(FileExists(dir.file("target.zm")));
    EXPECT_EQ(ui.dialogs[0].name, "SDzm");
    EXPECT_TRUE(ui.dialogs[0].save);
    EXPECT_TRUE(ui.dialogs[0].overwritePrompt);
    EXPECT_EQ(ui.status(), dir.file("target.zm") + " saved!");
}
