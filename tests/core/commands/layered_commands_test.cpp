// Opening and saving layered project files as the user meets it: the
// dialogs, the status line, the error boxes and the project around the
// reader and writer.

#include <gtest/gtest.h>

#include "../model/zl_fixtures.h"
#include "builders.h"
#include "byte_fixtures.h"
#include "commands/open_commands.h"
#include "commands/save_commands.h"
#include "fake_ui.h"
#include "model/layered_file.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"

using namespace zorvane;
using namespace zorvane::testing;

TEST(OpenZLFile, ReplacesTheProjectAndKeepsTheGenerator) {
    TempDir dir;
    std::string path = dir.file("p.zl");
    WriteBytes(path, ZlFile({}));
    RecordingGenerator generator;
    Project p;
    p.Generator = &generator;
    p.UsedTiles.push_back(MakeTile(1, 1));
    p.Selection.push_back({0, 0, 0});
    FakeUi ui;
    ASSERT_TRUE(OpenZLFile(p, ui, path));
    EXPECT_EQ(p.Generator, &generator);
    EXPECT_EQ(generator.resets, 1);
    EXPECT_FALSE(p.NoProject);
    EXPECT_TRUE(p.Selection.empty());
    ExpectTiles(p.UsedTiles, kUsed);
    EXPECT_EQ(p.BitmapCount, 2);
    EXPECT_TRUE(ui.sawStatus("opening " + path + "..."));
    EXPECT_EQ(ui.status(), path + " opened.");
    EXPECT_EQ(ui.bitmapsChangedCount, 1);
    ASSERT_FALSE(ui.changes.empty());
    const ChangeNotice& r = ui.changes.back();
    EXPECT_EQ(r.First, 0);
    EXPECT_EQ(r.Last, 1);
    EXPECT_TRUE((r.Source == ChangeSource::Command) && MapLooksChanged(r) && r.Has(Changed::MapSize) && r.Has(Changed::TilesList));
}

TEST(OpenZLFile, AForeignFileIsAnImproperFormatAndLeavesNoProject) {
    TempDir dir;
    std::string path = dir.file("p.zl");
    ZlFixture f;
    f.magic = "ZTP0";
    WriteBytes(path, ZlFile(f));
    Project p = ParseZL(ZlFile({}));
    FakeUi ui;
    EXPECT_FALSE(OpenZLFile(p, ui, path));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Error");
    EXPECT_EQ(ui.messages[0].text, "Improper file format!");
    EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
    EXPECT_TRUE(p.NoProject);
    EXPECT_TRUE(p.UsedTiles.empty());
    EXPECT_EQ(p.BitmapCount, 0);
    EXPECT_EQ(ui.status(), "error opening " + path + "!");
}

TEST(OpenZLFile, ATruncatedFileLeavesNoProject) {
    TempDir dir;
    std::string path = dir.file("p.zl");
    Bytes file = ZlFile({});
    file.erase(file.end() - 60, file.end());
    WriteBytes(path, file);
    Project p = ParseZL(ZlFile({}));
    FakeUi ui;
    EXPECT_FALSE(OpenZLFile(p, ui, path));
    EXPECT_TRUE(p.NoProject);
    EXPECT_TRUE(p.UsedTiles.empty());
    EXPECT_TRUE(p.NewTiles.empty());
    EXPECT_EQ(p.BitmapCount, 0);
    EXPECT_EQ(ui.status(), "error opening " + path + "!");
}

TEST(OpenZL, CancellingTheDialogChangesNothing) {
    Project p = ParseZL(ZlFile({}));
    FakeUi ui;
    EXPECT_FALSE(OpenZL(p, ui));
    EXPECT_FALSE(p.NoProject);
    EXPECT_EQ(p.UsedTiles.size(), kUsed.size());
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].name, "ODzl");
    EXPECT_EQ(ui.dialogs[0].filter, "layered project|*.zl");
}

TEST(SaveZL, SavedProjectReopensWithTheSameContentAndPictures) {
    TempDir dir;
    Project p = ParseZL(ZlFile({}));
    // A "zme" project whose rows are still top-down in memory.
    p.ZmeVariant = true;
    p.BottomUpRows = false;
    BitmapPixels before = Picture(p, 1);
    FakeUi ui;
    ui.files.push_back(dir.file("saved"));
    ASSERT_TRUE(SaveZL(p, ui));
    std::string path = dir.file("saved.zl");
    EXPECT_EQ(ui.dialogs[0].name, "SDzl");
    EXPECT_EQ(ui.dialogs[0].filter, "layered project|*.zl");
    EXPECT_TRUE(ui.dialogs[0].save);
    EXPECT_TRUE(ui.sawStatus("saving " + path + "..."));
    EXPECT_EQ(ui.status(), path + " saved.");

    Project q;
    ASSERT_TRUE(OpenZLFile(q, ui, path));
    EXPECT_EQ(Picture(q, 1), before);
    EXPECT_TRUE(q.ZmeVariant);
    ExpectTiles(q.UsedTiles, kUsed);
    ExpectTiles(q.NewTiles, kList);
    EXPECT_EQ(q.Creatures, kCreatures);
    EXPECT_EQ(q.Palette, p.Palette);
}

TEST(SaveZL, WritesToAGivenPathWithoutAsking) {
    TempDir dir;
    Project p = ParseZL(ZlFile({}));
    FakeUi ui;
    std::string path = dir.file("backup.zl");
    ASSERT_TRUE(SaveZLFile(p, ui, path));
    EXPECT_TRUE(ui.dialogs.empty());
    EXPECT_EQ(ReadWholeFile(path), ZlFile({}));
}

TEST(SaveZL, FailuresAndRefusalsKeepTheOldFile) {
    TempDir dir;
    const std::string path = dir.file("old.zl");
    const Bytes old = {'k', 'e', 'e', 'p'};
    WriteBytes(path, old);

    Project p = ParseZL(ZlFile({}));
    p.ZpPath = std::string(256, 'z');
    FakeUi ui;
    EXPECT_FALSE(SaveZLFile(p, ui, path));
    EXPECT_EQ(ReadWholeFile(path), old);
    EXPECT_EQ(ui.status(), "error saving " + path + "!");

    // The name without extension becomes "old.zl", which exists: answered No.
    Project q = ParseZL(ZlFile({}));
    FakeUi asked;
    asked.files.push_back(dir.file("old"));
    asked.answers.push_back(Answer::No);
    EXPECT_FALSE(SaveZL(q, asked));
    ASSERT_EQ(asked.messages.size(), 1u);
    EXPECT_EQ(asked.messages[0].caption, "File Exists!");
    EXPECT_EQ(ReadWholeFile(path), old);
}
