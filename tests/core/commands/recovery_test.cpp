// The recovery copy of a project: written, found, read back as the project
// it was (also with bitmaps no tile set file holds yet), refused when
// damaged, removed.

#include "commands/recovery.h"

#include <gtest/gtest.h>

#include <random>

#include "builders.h"
#include "commands/save_commands.h"
#include "fake_ui.h"
#include "model/layered_file.h"
#include "model/tileset_file.h"
#include "platform/process.h"

namespace zorvane {
namespace {

using testing::AddPatternBitmaps;
using testing::FakeUi;
using testing::MakeTile;
using testing::TempDir;
using testing::WriteBytes;

// A map as opened from a "zmpe" tile set file: rows as its header states.
Project OpenedProject() {
    Project p;
    testing::FillTestPalette(p);
    AddPatternBitmaps(p, 5);
    SetDefsZPgora(p, false);
    p.MapWidth = 16;
    p.MapHeight = 12;
    p.ZpPath = "/maps/tiles.zp";
    p.Multiplayer = 1;
    p.Creatures = {1, 2, 3, 4, 5, 6};
    p.NewTiles.push_back(MakeTile(2, 1, 0, 0, 1, NoBitmap, 4));
    for (int k = 0; k < 7; ++k) p.UsedTiles.push_back(MakeTile(1 + k % 2, 1, k, k % 3, k % 5, NoBitmap, 3));
    p.NoProject = false;
    return p;
}

// A "zme" project whose tile editor added bitmaps that no tile set file
// holds yet, held top-down in memory until the next save puts them in the
// variant's order.
Project ProjectWithUnsavedBitmaps() {
    Project p = OpenedProject();
    p.ZmeVariant = true;
    SetDefsZPgora_o(p);
    SetDefsZPgora(p, true);
    p.BottomUpRows = false;
    AddPatternBitmaps(p, 3, 40);
    p.NewTiles.push_back(MakeTile(1, 2, 0, 0, 6, 7, 2));
    p.ZpModified = true;
    return p;
}

std::vector<std::uint8_t> SavedZl(Project& project, const std::string& path) {
    FakeUi ui;
    EXPECT_TRUE(SaveZLFile(project, ui, path));
    return ReadWholeFile(path);
}

void ExpectRoundTrip(Project original, const std::string& file) {
    TempDir dir;
    const std::string folder = dir.file("data");
    std::filesystem::create_directory(folder);
    const auto before = EncodeZL(original);
    const bool zpModified = original.ZpModified, bottomUp = original.BottomUpRows;

    WriteRecoveryCopy(OwnRecoveryCopy(folder), original, file);
    EXPECT_EQ(EncodeZL(original), before) << "writing the copy changes nothing";
    EXPECT_EQ(original.BottomUpRows, bottomUp);

    const auto found = FindRecoveryCopies(folder);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].ProcessId, CurrentProcessId());
    RecoveredProject recovered = ReadRecoveryCopy(found[0]);
    EXPECT_EQ(recovered.OriginalFile, file);
    EXPECT_EQ(recovered.Restored.ZpModified, zpModified) << "an export still knows it needs a new tile set";
    EXPECT_EQ(recovered.Restored.BottomUpRows, bottomUp);
    EXPECT_FALSE(recovered.Restored.NoProject);
    EXPECT_EQ(SavedZl(recovered.Restored, dir.file("restored.zl")), SavedZl(original, dir.file("original.zl")))
        << "saved, the recovered project is the original's file byte for byte";
}

TEST(RecoveryCopyTest, GivesBackTheProjectAndItsFileName) {
    ExpectRoundTrip(OpenedProject(), "/maps/Karten für Übungen/meadow.zl");
}

TEST(RecoveryCopyTest, KeepsBitmapsNoTileSetFileHolds) {
    // Read as a plain layered file the rows would count as bottom-up: saved
    // again the bitmaps would come out upside down.
    ExpectRoundTrip(ProjectWithUnsavedBitmaps(), "");
}

TEST(RecoveryCopyTest, DamagedCopiesAreRefusedWithTheReason) {
    TempDir dir;
    const RecoveryCopy copy = OwnRecoveryCopy(dir.path().string());
    const Project project = ProjectWithUnsavedBitmaps();
    WriteRecoveryCopy(copy, project, "/maps/a.zl");
    const auto info = ReadWholeFile(copy.InfoPath);
    const auto layered = ReadWholeFile(copy.ProjectPath);
    auto expectRefused = [&](const std::string& what) {
        try {
            ReadRecoveryCopy(copy);
            ADD_FAILURE() << what << " was read";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()).rfind("The recovery copy " + copy.ProjectPath + " is damaged: ", 0), 0u)
                << what << ": " << e.what();
        }
    };

    for (std::size_t length = 0; length < info.size(); ++length) {
        WriteBytes(copy.InfoPath, std::vector<std::uint8_t>(info.begin(), info.begin() + length));
        expectRefused("a description cut to " + std::to_string(length) + " bytes");
    }
    auto longer = info;
    longer.push_back(0);
    WriteBytes(copy.InfoPath, longer);
    expectRefused("a description with a byte more");
    WriteBytes(copy.InfoPath, info);

    std::mt19937 random(7);
    for (int i = 0; i < 20; ++i) {
        auto damaged = layered;
        damaged[random() % damaged.size()] ^= static_cast<std::uint8_t>(1 + random() % 255);
        WriteBytes(copy.ProjectPath, damaged);
        expectRefused("a project with a changed byte");
    }
    WriteBytes(copy.ProjectPath, std::vector<std::uint8_t>(layered.begin(), layered.end() - 1));
    expectRefused("a project cut short");
    WriteRecoveryCopy(copy, OpenedProject(), "/maps/a.zl");
    WriteBytes(copy.InfoPath, info);
    expectRefused("the project of another write");
    std::filesystem::remove(copy.ProjectPath);
    expectRefused("a missing project");
}

TEST(RecoveryCopyTest, FoundOnlyWhenLeftByAnEditorThatIsGoneAndRemoved) {
    TempDir dir;
    const std::string folder = dir.path().string();
    EXPECT_TRUE(FindRecoveryCopies(dir.file("none")).empty()) << "no folder, no copies";
    const Project project = OpenedProject();
    WriteBytes(dir.file("recovery-x1.zlr"), {1});
    WriteBytes(dir.file("notes.zlr"), {1});
    WriteRecoveryCopy(OwnRecoveryCopy(folder), project, "");
#ifndef _WIN32
    // An editor that runs now (here the process that started the tests)
    // keeps its own.
    const RecoveryCopy running{dir.file("recovery-" + std::to_string(::getppid()) + ".zlr"),
                               dir.file("recovery-" + std::to_string(::getppid()) + ".zl"),
                               static_cast<long>(::getppid())};
    ASSERT_TRUE(ProcessIsRunning(running.ProcessId));
    WriteRecoveryCopy(running, project, "");
#endif
    auto found = FindRecoveryCopies(folder);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].ProcessId, CurrentProcessId());
    RemoveRecoveryCopy(found[0]);
    EXPECT_FALSE(FileExists(found[0].InfoPath));
    EXPECT_FALSE(FileExists(found[0].ProjectPath));
    EXPECT_TRUE(FindRecoveryCopies(folder).empty());
    RemoveRecoveryCopy(found[0]);  // nothing left to remove is no failure
}

}  // namespace
}  // namespace zorvane
