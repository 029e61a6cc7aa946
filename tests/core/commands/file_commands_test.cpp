#include "commands/file_commands.h"

#include <gtest/gtest.h>

#include "builders.h"
#include "fake_ui.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"

namespace zorvane {
namespace {

using testing::AddPatternBitmaps;
using testing::FakeUi;
using testing::MakeTile;
using testing::TempDir;
using testing::WriteBytes;

void ExpectMessage(const testing::RecordedMessage& m, const std::string& caption, const std::string& text, Icon icon,
                   Buttons buttons) {
    EXPECT_EQ(m.caption, caption);
    EXPECT_EQ(m.text, text);
    EXPECT_EQ(m.icon, icon);
    EXPECT_EQ(m.buttons, buttons);
}

void ExpectNothingToSave(const FakeUi& ui) {
    ASSERT_EQ(ui.messages.size(), 1u);
    ExpectMessage(ui.messages[0], "Information", "Nothing to save.", Icon::Information, Buttons::Ok);
    EXPECT_TRUE(ui.dialogs.empty());
}

void FillOpenProject(Project& p) {
    AddPatternBitmaps(p, 2);
    p.MapWidth = 14;
    p.MapHeight = 14;
    p.ZpPath = "/old/tiles.zp";
    p.NewTiles.push_back(MakeTile(1, 1, 0, 0, 1));
    p.UsedTiles.push_back(MakeTile(1, 1, 2, 2, 0));
    p.NoProject = false;
}

// --- Guard questions ------------------------------------------------------

TEST(CloseQuestionTest, AskedOnlyWhenSomethingWouldBeLost) {
    Project fresh;
    FakeUi ui;
    EXPECT_TRUE(CloseQuestion(fresh, ui, false));
    EXPECT_TRUE(ui.messages.empty());

    Project withTiles;
    withTiles.UsedTiles.push_back(MakeTile(1, 1));  // tiles, yet no project
    Project open;
    open.NoProject = false;
    struct Case {
        const Project& project;
        bool generatorHasData;
    };
    for (const Case& c : {Case{withTiles, false}, Case{open, false}, Case{fresh, true}}) {
        FakeUi asked;
        asked.answers = {Answer::Cancel, Answer::Ok};
        EXPECT_FALSE(CloseQuestion(c.project, asked, c.generatorHasData));
        EXPECT_TRUE(CloseQuestion(c.project, asked, c.generatorHasData));
        ASSERT_EQ(asked.messages.size(), 2u);
        ExpectMessage(asked.messages[0], "Warning",
                      "This operation will close current project and erease map generator data!", Icon::Warning,
                      Buttons::OkCancel);
    }
}

TEST(NothingToSaveTest, MapWithoutTilesOrTilesWithoutProjectHaveNothing) {
    Project mapOnly;
    mapOnly.MapWidth = 14;
    mapOnly.NoProject = false;
    FakeUi ui1;
    EXPECT_FALSE(HasSomethingToSave(mapOnly, ui1));
    ExpectNothingToSave(ui1);

    Project tilesOnly;
    tilesOnly.UsedTiles.push_back(MakeTile(1, 1));
    FakeUi ui2;
    EXPECT_FALSE(HasSomethingToSave(tilesOnly, ui2));
    ExpectNothingToSave(ui2);

    tilesOnly.NoProject = false;
    FakeUi ui3;
    EXPECT_TRUE(HasSomethingToSave(tilesOnly, ui3));
    EXPECT_TRUE(ui3.messages.empty());
}

class OverwritePromptTest : public ::testing::Test {
protected:
    void Existing(const std::string& name) { WriteBytes(dir.file(name), {1}); }
    TempDir dir;
    FakeUi ui;
};

TEST_F(OverwritePromptTest, NameWithTheExtensionIsNeverAsked) {
    Existing("map.zp");
    EXPECT_TRUE(ConfirmOverwriteWithExtension(ui, dir.file("map.zp"), ".zp"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(OverwritePromptTest, NameWithoutExtensionIsAskedWhenTheTargetExists) {
    EXPECT_TRUE(ConfirmOverwriteWithExtension(ui, dir.file("map"), ".zp"));
    EXPECT_TRUE(ui.messages.empty());

    Existing("map.zp");
    ui.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(ConfirmOverwriteWithExtension(ui, dir.file("map"), ".zp"));
    EXPECT_TRUE(ConfirmOverwriteWithExtension(ui, dir.file("map"), ".zp"));
    ASSERT_EQ(ui.messages.size(), 2u);
    ExpectMessage(ui.messages[0], "File Exists!",
                  "\"" + dir.file("map.zp") + "\" already exists.\rDo you want to replace it?", Icon::Warning,
                  Buttons::YesNo);
}

TEST_F(OverwritePromptTest, OtherExtensionIsAskedEvenOfTheSameLength) {
    // "map.ab" becomes "map.zp": a different, existing file is never replaced unasked.
    Existing("map.zp");
    ui.answers = {Answer::No, Answer::No};
    EXPECT_FALSE(ConfirmOverwriteWithExtension(ui, dir.file("map.ab"), ".zp"));
    EXPECT_FALSE(ConfirmOverwriteWithExtension(ui, dir.file("map.abc"), ".zp"));
    EXPECT_EQ(ui.messages.size(), 2u);
}

TEST_F(OverwritePromptTest, UnansweredQuestionKeepsTheFile) {
    Existing("map.zp");
    FakeUi unscripted;
    EXPECT_FALSE(ConfirmOverwriteWithExtension(unscripted, dir.file("map"), ".zp"));
    SilentUi silent;
    EXPECT_FALSE(ConfirmOverwriteWithExtension(silent, dir.file("map"), ".zp"));
}

// --- Make *.zp ------------------------------------------------------------

class MakeZpTest : public ::testing::Test {
protected:
    void SetUp() override { FillOpenProject(p); }
    TempDir dir;
    Project p;
    FakeUi ui;
};

TEST_F(MakeZpTest, NoBitmapsNothingToSave) {
    Project empty;
    EXPECT_FALSE(MakeZpCommand(empty, ui, TileSetVariant::Zme));
    ExpectNothingToSave(ui);
}

TEST_F(MakeZpTest, WritesTheChosenNameWithZpExtension) {
    ui.files.push_back(dir.file("out"));
    ASSERT_TRUE(MakeZpCommand(p, ui, TileSetVariant::Zme));
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].name, "SDzp");
    EXPECT_EQ(ui.dialogs[0].filter, "tile set file|*.zp");
    EXPECT_TRUE(ui.dialogs[0].save);
    EXPECT_TRUE(ui.dialogs[0].overwritePrompt);
    EXPECT_EQ(p.ZpPath, dir.file("out.zp"));
    EXPECT_TRUE(p.ZmeVariant);
    TileSet written = ParseZP(ReadWholeFile(dir.file("out.zp")));
    EXPECT_TRUE(written.Zme);
    EXPECT_EQ(written.BitmapCount, 2);
    EXPECT_FALSE(ui.busy);

    ui.files.push_back(dir.file("out.zp"));  // the dialog has asked about it
    ASSERT_TRUE(MakeZpCommand(p, ui, TileSetVariant::Zmpe));
    EXPECT_FALSE(p.ZmeVariant);
    EXPECT_FALSE(ParseZP(ReadWholeFile(dir.file("out.zp"))).Zme);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MakeZpTest, DeclinedOverwriteWritesNothing) {
    WriteBytes(dir.file("out.zp"), {7});
    ui.files.push_back(dir.file("out"));
    ui.answers.push_back(Answer::No);
    EXPECT_FALSE(MakeZpCommand(p, ui, TileSetVariant::Zmpe));
    EXPECT_EQ(ReadWholeFile(dir.file("out.zp")), std::vector<std::uint8_t>{7});
    EXPECT_EQ(p.ZpPath, "/old/tiles.zp");
    EXPECT_EQ(ui.messages.at(0).caption, "File Exists!");

    EXPECT_FALSE(MakeZpCommand(p, ui, TileSetVariant::Zmpe));  // dialog cancelled
    EXPECT_EQ(p.ZpPath, "/old/tiles.zp");
}

TEST_F(MakeZpTest, FailedWriteKeepsTheOldPath) {
    ui.files.push_back(dir.file("no-such-folder/out.zp"));
    EXPECT_FALSE(MakeZpCommand(p, ui, TileSetVariant::Zme));
    EXPECT_EQ(p.ZpPath, "/old/tiles.zp");
    EXPECT_FALSE(p.ZmeVariant);
    EXPECT_EQ(ui.messages.back().caption, "Error");
}

// --- Merge, save, export, reset -------------------------------------------

TEST(MergeZpCommandTest, EmptyProjectIsRefused) {
    Project p;
    FakeUi ui;
    EXPECT_FALSE(MergeZpCommand(p, ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    ExpectMessage(ui.messages[0], "Information", "The project is empty.", Icon::Information, Buttons::Ok);
    EXPECT_TRUE(ui.dialogs.empty());
}

TEST(MergeZpCommandTest, MergedFileIsReportedAndTheListRebuilt) {
    TempDir dir;
    Project other;
    AddPatternBitmaps(other, 3, 10);
    other.NewTiles.push_back(MakeTile(2, 1, 0, 0, 2));
    std::string path = dir.file("more.zp");
    WriteBytes(path, EncodeZP(other, TileSetVariant::Zmpe));

    Project p;
    FillOpenProject(p);
    FakeUi ui;
    EXPECT_FALSE(MergeZpCommand(p, ui));  // dialog cancelled
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].name, "ODmergeZp");
    EXPECT_EQ(ui.dialogs[0].filter, "ZP files|*.zp");
    EXPECT_FALSE(ui.dialogs[0].save);
    EXPECT_EQ(p.BitmapCount, 2);

    ui.files.push_back(path);
    ASSERT_TRUE(MergeZpCommand(p, ui));
    EXPECT_EQ(p.BitmapCount, 5);
    EXPECT_EQ(p.NewTiles.size(), 2u);
    EXPECT_EQ(ui.status(), path + " data imported successfully.");
    ASSERT_EQ(ui.changes.size(), 1u);
    const ChangeNotice& r = ui.changes[0];
    EXPECT_EQ(r.First, 0);
    EXPECT_EQ(r.Last, 1);
    EXPECT_TRUE((r.Source == ChangeSource::Command));
    EXPECT_TRUE(MapLooksChanged(r));
    EXPECT_FALSE(r.Has(Changed::MapSize));
    EXPECT_TRUE(r.Has(Changed::TilesList));
}

TEST(MergeZpCommandTest, UnreadableFileIsNotReportedAsImported) {
    TempDir dir;
    std::string path = dir.file("bad.zp");
    WriteBytes(path, {'x'});
    Project p;
    FillOpenProject(p);
    FakeUi ui;
    ui.files.push_back(path);
    EXPECT_FALSE(MergeZpCommand(p, ui));
    EXPECT_FALSE(ui.sawStatus(path + " data imported successfully."));
    EXPECT_EQ(ui.messages.back().caption, "Error");
}

TEST(SaveAndExportCommandTest, RefuseWithoutContentElseAskForTheFile) {
    Project empty;
    FakeUi ui1;
    EXPECT_FALSE(SaveZlCommand(empty, ui1));
    ExpectNothingToSave(ui1);
    FakeUi ui2;
    EXPECT_FALSE(ExportCommand(empty, ui2, TileSetVariant::Zme));
    ExpectNothingToSave(ui2);

    Project p;
    FillOpenProject(p);
    FakeUi ui;
    EXPECT_FALSE(SaveZlCommand(p, ui));
    EXPECT_FALSE(ExportCommand(p, ui, TileSetVariant::Zmpe));
    ASSERT_EQ(ui.dialogs.size(), 2u);
    EXPECT_EQ(ui.dialogs[0].name, "SDzl");
    EXPECT_EQ(ui.dialogs[1].name, "SDzm");
    EXPECT_TRUE(ui.messages.empty());
}

TEST(ResetProjectCommandTest, FreshStartResetsWithoutAsking) {
    Project p;
    FakeUi ui;
    EXPECT_TRUE(ResetProjectCommand(p, ui, false));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.newProjects, 1);
    EXPECT_EQ(ui.changes.size(), 1u);
}

TEST(ResetProjectCommandTest, OpenProjectIsResetOnlyAfterOk) {
    Project p;
    FillOpenProject(p);
    FakeUi ui;
    ui.answers = {Answer::Cancel, Answer::Ok};
    EXPECT_FALSE(ResetProjectCommand(p, ui, false));
    EXPECT_FALSE(p.NoProject);
    EXPECT_EQ(p.UsedTiles.size(), 1u);
    EXPECT_TRUE(ui.newProjects == 0);

    EXPECT_TRUE(ResetProjectCommand(p, ui, false));
    EXPECT_TRUE(p.NoProject);
    EXPECT_TRUE(p.UsedTiles.empty());
    EXPECT_EQ(p.BitmapCount, 0);
    EXPECT_EQ(ui.messages.size(), 2u);
}

}  // namespace
}  // namespace zorvane
