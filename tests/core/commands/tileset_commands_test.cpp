// Opening and making tile set files as the user meets it: the question
// about a missing file, the status line, the error boxes and the project
// around the tile set reader and writer.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "../model/zp_fixtures.h"
#include "builders.h"
#include "commands/open_commands.h"
#include "commands/save_commands.h"
#include "fake_ui.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"

using namespace zorvane;
using namespace zorvane::testing;

// --- Opening ---------------------------------------------------------------------

namespace {

struct CountingObserver : TileSetObserver {
    int reads = 0;
    int resets = 0;
    void tileSetRead() override { ++reads; }
    void tileSetReset() override { ++resets; }
};

// A project with a map side and an emptied tile set side, naming `zpPath`.
Project ProjectNaming(const std::string& zpPath) {
    Project p;
    p.NoProject = false;
    p.MapWidth = p.MapHeight = 14;
    p.UsedTiles.push_back(MakeTile(1, 1, 2, 2, 0));
    p.Creatures = {1, 2, 3};
    p.ZpPath = zpPath;
    p.ZpModified = true;
    return p;
}

void ExpectEmptyProject(const Project& p) {
    EXPECT_TRUE(p.NoProject);
    EXPECT_EQ(p.BitmapCount, 0);
    EXPECT_TRUE(p.NewTiles.empty());
    EXPECT_TRUE(p.UsedTiles.empty());
    EXPECT_TRUE(p.ZpPath.empty());
    EXPECT_EQ(p.MapWidth, 0);
}

}  // namespace

TEST(OpenZP, ReadsZmpeIntoTheProject) {
    TempDir dir;
    const std::string path = dir.file("set.zp");
    WriteBytes(path, ZmpeFixture(false));
    Project p = ProjectNaming(path);
    p.FileHeader[0] = 0x55;  // replaced by the default
    CountingObserver observer;
    p.Generator = &observer;
    FakeUi ui;
    ASSERT_TRUE(OpenZP(p, ui));
    EXPECT_EQ(ui.statuses, (std::vector<std::string>{"opening " + path + "...", path + " opened."}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.progressShown, 1);
    EXPECT_FALSE(ui.progressVisible);
    EXPECT_EQ(ui.bitmapsChangedCount, 1);
    EXPECT_EQ(observer.reads, 1);
    EXPECT_FALSE(p.ZpModified);
    EXPECT_FALSE(p.ZmeVariant);
    EXPECT_FALSE(p.BottomUpRows);
    EXPECT_EQ(p.FileHeader, DefaultFileHeader());
    EXPECT_EQ(p.InfoHeader, DefaultInfoHeader(false));
    EXPECT_EQ(p.Palette[3], FixturePalette(3));
    ASSERT_EQ(p.BitmapCount, 2);
    EXPECT_EQ(0, std::memcmp(p.Bitmap(1), FixtureBitmap(1).data(), BitmapBytes));
    ExpectFixtureTiles(p.NewTiles);
    EXPECT_EQ(p.ZpPath, path);
    EXPECT_FALSE(p.NoProject);
    EXPECT_EQ(p.UsedTiles.size(), 1u);
}

TEST(OpenZP, ReadsZmeWithDefaultInfoHeader) {
    TempDir dir;
    const std::string path = dir.file("set.zp");
    WriteBytes(path, ZmeFixture(path));
    Project p = ProjectNaming(path);
    p.InfoHeader[0] = 0x55;
    FakeUi ui;
    ASSERT_TRUE(OpenZP(p, ui));
    EXPECT_TRUE(p.ZmeVariant);
    EXPECT_TRUE(p.BottomUpRows);
    EXPECT_EQ(p.InfoHeader, DefaultInfoHeader(true));
    EXPECT_EQ(std::vector<std::uint8_t>(p.FileHeader.begin(), p.FileHeader.end()), FixtureFileHeader());
    ExpectFixtureTiles(p.NewTiles);
}

TEST(OpenZP, MissingFileDeclinedResetsTheProject) {
    TempDir dir;
    const std::string path = dir.file("gone.zp");
    for (bool answerYes : {false, true}) {
        SCOPED_TRACE(answerYes);
        Project p = ProjectNaming(path);
        CountingObserver observer;
        p.Generator = &observer;
        FakeUi ui;
        ui.answers = {answerYes ? Answer::Yes : Answer::No};  // Yes, then the dialog is cancelled
        EXPECT_FALSE(OpenZP(p, ui));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].caption, "Missing *.zp file");
        EXPECT_EQ(ui.messages[0].text, "Could not find " + path + "\rDo you want to select it manually?");
        EXPECT_EQ(ui.messages[0].icon, Icon::Question);
        EXPECT_EQ(ui.messages[0].buttons, Buttons::YesNo);
        ASSERT_EQ(ui.dialogs.size(), answerYes ? 1u : 0u);
        if (answerYes) {
            EXPECT_EQ(ui.dialogs[0].name, "ODzp");
            EXPECT_EQ(ui.dialogs[0].filter, "ZP files|*.zp");
            EXPECT_TRUE(ui.dialogs[0].fileMustExist);
            EXPECT_FALSE(ui.dialogs[0].save);
        }
        EXPECT_EQ(ui.status(), "error opening " + path + "!");
        EXPECT_EQ(ui.newProjects, 1);
        EXPECT_EQ(observer.resets, 1);
        ExpectEmptyProject(p);
    }
}

TEST(OpenZP, ReplacementIsReadButStoredPathKept) {
    TempDir dir;
    const std::string missing = dir.file("gone.zp");
    const std::string chosen = dir.file("other.zp");
    WriteBytes(chosen, ZmpeFixture(true));
    Project p = ProjectNaming(missing);
    FakeUi ui;
    ui.answers = {Answer::Yes};
    ui.files = {chosen};
    ASSERT_TRUE(OpenZP(p, ui));
    EXPECT_EQ(p.ZpPath, missing);
    EXPECT_EQ(p.BitmapCount, 2);
    EXPECT_TRUE(ui.sawStatus("opening " + chosen + "..."));
    EXPECT_EQ(ui.status(), chosen + " opened.");
}

TEST(OpenZP, DamagedFileLeavesNoHalfReadProject) {
    TempDir dir;
    const std::string path = dir.file("bad.zp");
    auto bytes = ZmpeFixture(true);
    bytes.pop_back();  // the last tile is cut short
    WriteBytes(path, bytes);
    Project p = ProjectNaming(path);
    FakeUi ui;
    EXPECT_FALSE(OpenZP(p, ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, Icon::Error);
    EXPECT_NE(ui.messages[0].text.find(path), std::string::npos);
    EXPECT_EQ(ui.status(), "error opening " + path + "!");
    EXPECT_FALSE(ui.progressVisible);
    ExpectEmptyProject(p);
}

// --- Saving --------------------------------------------------------------------

TEST(MakeNewZP, WritesTheFileAndTakesTheVariant) {
    TempDir dir;
    const std::string path = dir.file("out.zp");
    Project p = SmallProject(true);
    p.ZpPath = path;
    p.ZpModified = true;
    FakeUi ui;
    ASSERT_TRUE(MakeNewZP(p, ui, TileSetVariant::Zme));
    EXPECT_EQ(ui.statuses, (std::vector<std::string>{"writing " + path + "...", path + " saved!"}));
    EXPECT_EQ(ui.progressShown, 1);
    EXPECT_FALSE(ui.progressVisible);
    EXPECT_FALSE(p.ZpModified);
    EXPECT_TRUE(p.ZmeVariant);
    EXPECT_EQ(p.FileHeader, DefaultFileHeader());
    EXPECT_EQ(ReadWholeFile(path), EncodeZP(p, TileSetVariant::Zme));
}

TEST(MakeNewZP, FailureKeepsOldFileAndProject) {
    TempDir dir;
    const std::string existing = dir.file("out.zp");
    const auto old = ZmpeFixture(true);
    WriteBytes(existing, old);
    auto attempt = [](Project p, const std::string& path) {
        p.ZpPath = path;
        p.ZpModified = true;
        FakeUi ui;
        EXPECT_FALSE(MakeNewZP(p, ui, TileSetVariant::Zme));
        EXPECT_EQ(ui.status(), "error saving " + path + "!");
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].icon, Icon::Error);
        EXPECT_TRUE(p.ZpModified);
        EXPECT_FALSE(p.ZmeVariant);
        EXPECT_FALSE(p.BottomUpRows);
        EXPECT_EQ(p.FileHeader, (std::array<std::uint8_t, 54>{}));
    };
    Project tooWide = SmallProject(false);
    tooWide.NewTiles.push_back(MakeTile(300, 1));  // does not fit a tile record
    attempt(std::move(tooWide), existing);
    attempt(SmallProject(false), dir.file("no/such/folder.zp"));
    EXPECT_EQ(ReadWholeFile(existing), old);
}

TEST(MakeRowOrderConsistent, TopDownZmpeWrittenAsZmeKeepsPictures) {
    TempDir dir;
    Project p = SmallProject(false);
    p.ZpPath = dir.file("flip.zp");
    const auto before0 = TopDown(p, 0);
    const auto before1 = TopDown(p, 1);
    FakeUi ui;
    ASSERT_TRUE(MakeNewZP(p, ui, TileSetVariant::Zme));
    EXPECT_TRUE(p.BottomUpRows);
    EXPECT_EQ(TopDown(p, 0), before0);
    EXPECT_EQ(TopDown(p, 1), before1);
    // What a layered project infers agrees with memory.
    EXPECT_EQ(p.BottomUpRows, p.ZmeVariant || p.InfoHeader[12] == 32);
}
