// The recovery copy of a project: written, found, read back as the project
// it was (also with bitmaps no tile set file holds yet), refused when
// damaged, whole whenever its writer dies, its tile set part written only
// when it changed, found only when its editor's lock is free, removed.

#include "commands/recovery.h"

#include <gtest/gtest.h>

#include <random>
#include <thread>

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "builders.h"
#include "commands/recovery_writer.h"
#include "commands/save_commands.h"
#include "fake_ui.h"
#include "model/layered_file.h"
#include "model/tileset_file.h"
#include "platform/instance_lock.h"
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
    SetDefaultInfoHeader(p, false);
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
    SetDefaultFileHeader(p);
    SetDefaultInfoHeader(p, true);
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

    const RecoveryCopy copy = RecoveryCopyNamed(folder, NewRecoveryId());
    WriteRecoveryCopy(copy, original, file);
    EXPECT_EQ(EncodeZL(original), before) << "writing the copy changes nothing";
    EXPECT_EQ(original.BottomUpRows, bottomUp);

    const auto found = FindRecoveryCopies(folder);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].InfoPath, copy.InfoPath);
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

// Reads the copy, expecting it refused as damaged.
void ExpectRefused(const RecoveryCopy& copy, const std::string& what) {
    try {
        ReadRecoveryCopy(copy);
        ADD_FAILURE() << what << " was read";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("The recovery copy " + copy.InfoPath + " is damaged: ", 0), 0u)
            << what << ": " << e.what();
    }
}

TEST(RecoveryCopyTest, DamagedCopiesAreRefusedWithTheReason) {
    TempDir dir;
    const RecoveryCopy copy = RecoveryCopyNamed(dir.path().string(), "12-34");
    const Project project = ProjectWithUnsavedBitmaps();
    const RecoverySnapshot snapshot = TakeRecoverySnapshot(project, "/maps/a.zl");
    WriteRecoverySnapshot(copy, snapshot);
    const std::string tileSetPath = TileSetPartPath(copy, snapshot.TileSetHash);
    const auto info = ReadWholeFile(copy.InfoPath);
    const auto tileSet = ReadWholeFile(tileSetPath);
    ASSERT_EQ(tileSet, snapshot.TileSetPart);

    for (std::size_t length = 0; length < info.size(); ++length) {
        WriteBytes(copy.InfoPath, std::vector<std::uint8_t>(info.begin(), info.begin() + length));
        ExpectRefused(copy, "an index cut to " + std::to_string(length) + " bytes");
    }
    auto longer = info;
    longer.push_back(0);
    WriteBytes(copy.InfoPath, longer);
    ExpectRefused(copy, "an index with a byte more");
    std::mt19937 random(7);
    for (int i = 0; i < 20; ++i) {
        for (auto [path, bytes] : {std::pair{copy.InfoPath, info}, std::pair{tileSetPath, tileSet}}) {
            bytes[random() % bytes.size()] ^= static_cast<std::uint8_t>(1 + random() % 255);
            WriteBytes(path, bytes);
            ExpectRefused(copy, "a changed byte in " + path);
            WriteBytes(path, path == copy.InfoPath ? info : tileSet);
        }
    }
    WriteBytes(tileSetPath, std::vector<std::uint8_t>(tileSet.begin(), tileSet.end() - 1));
    ExpectRefused(copy, "a tile set part cut short");
    std::filesystem::remove(tileSetPath);
    ExpectRefused(copy, "a missing tile set part");
    WriteBytes(tileSetPath, tileSet);
    EXPECT_NO_THROW(ReadRecoveryCopy(copy)) << "put back whole, it reads";
}

// A kill at each point of a write leaves the old copy or the new one:
// the new tile set part is written before the index that names it,
// and the old part removed only after.
TEST(RecoveryCopyTest, AWriteCutOffBetweenItsFilesLeavesTheOldCopyOrTheNew) {
    TempDir dir;
    const RecoveryCopy copy = RecoveryCopyNamed(dir.path().string(), "5-6");
    const Project before = OpenedProject();
    Project after = ProjectWithUnsavedBitmaps();
    after.UsedTiles.pop_back();
    WriteRecoveryCopy(copy, before, "/maps/old.zl");
    const RecoverySnapshot next = TakeRecoverySnapshot(after, "/maps/new.zl");
    const std::string oldPart = TileSetPartPath(copy, TakeRecoverySnapshot(before, "").TileSetHash);
    const auto oldPartBytes = ReadWholeFile(oldPart);

    // Killed after the new tile set part, before the index.
    WriteBytes(TileSetPartPath(copy, next.TileSetHash), next.TileSetPart);
    RecoveredProject read = ReadRecoveryCopy(copy);
    EXPECT_EQ(read.OriginalFile, "/maps/old.zl");
    EXPECT_EQ(EncodeZL(read.Restored), EncodeZL(before));

    // Killed after the index, before the old part went.
    WriteRecoverySnapshot(copy, next);
    EXPECT_FALSE(FileExists(oldPart)) << "a part no index names is removed";
    WriteBytes(oldPart, oldPartBytes);
    read = ReadRecoveryCopy(copy);
    EXPECT_EQ(read.OriginalFile, "/maps/new.zl");
    EXPECT_EQ(EncodeZL(read.Restored), EncodeZL(after));

    RemoveRecoveryCopy(copy);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "every part of the copy goes";
}

// Random changes of the map alone or of the bitmaps too, handed to the
// writer at random pace: the copy read back is always the last project,
// an unchanged project writes nothing, and a change of the map alone
// leaves the tile set part's file as it was.
TEST(RecoveryWriterTest, FollowsRandomChangesWritingTheTileSetPartOnlyWhenItChanged) {
    TempDir dir;
    std::mt19937 random(11);
    Project project = ProjectWithUnsavedBitmaps();
    RecoveryWriter writer(dir.path().string());
    EXPECT_TRUE(InstanceLockHeld(writer.copy().LockPath));
    EXPECT_TRUE(FindRecoveryCopies(dir.path().string()).empty()) << "its editor runs";
    auto tileSetParts = [&] {
        std::vector<std::filesystem::path> parts;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            if (entry.path().extension() == ".zlt") parts.push_back(entry.path());
        return parts;
    };
    int handed = 0;
    for (int round = 0; round < 40; ++round) {
        const bool bitmaps = random() % 3 == 0;
        if (bitmaps)
            project.MutableBitmap(static_cast<int>(random() % project.BitmapCount))[random() % 1024] ^= 0x11;
        else
            project.UsedTiles[random() % project.UsedTiles.size()]->X += 1;
        ASSERT_TRUE(writer.Hand(project, "/maps/r.zl"));
        ++handed;
        if (random() % 4 != 0) continue;  // the next comes while this one is written
        writer.Wait();
        EXPECT_FALSE(writer.Hand(project, "/maps/r.zl")) << "nothing changed since the last copy";
        const auto parts = tileSetParts();
        ASSERT_EQ(parts.size(), 1u);
        const auto written = std::filesystem::last_write_time(parts[0]);
        project.UsedTiles[0]->Y -= 1;
        ASSERT_TRUE(writer.Hand(project, "/maps/r.zl"));
        ++handed;
        writer.Wait();
        EXPECT_EQ(tileSetParts(), parts);
        EXPECT_EQ(std::filesystem::last_write_time(parts[0]), written) << "a map edit writes the map alone";
        EXPECT_EQ(EncodeZL(ReadRecoveryCopy(writer.copy()).Restored), EncodeZL(project));
    }
    writer.Wait();
    const RecoveryWriter::Outcome outcome = writer.TakeOutcome();
    EXPECT_FALSE(outcome.Failure);
    EXPECT_GE(outcome.Written, 1);
    EXPECT_LE(outcome.Written, handed);
    EXPECT_EQ(tileSetParts().size(), 1u);
    EXPECT_EQ(EncodeZL(ReadRecoveryCopy(writer.copy()).Restored), EncodeZL(project));
    writer.Close();
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "a clean end leaves nothing";
}

TEST(RecoveryCopyTest, FoundOnlyWhenItsEditorsLockIsFreeAndRemoved) {
    TempDir dir;
    const std::string folder = dir.path().string();
    EXPECT_TRUE(FindRecoveryCopies(dir.file("none")).empty()) << "no folder, no copies";
    const Project project = OpenedProject();
    WriteBytes(dir.file("recovery-x1.zlr"), {1});
    WriteBytes(dir.file("recovery-1--2.zlr"), {1});
    WriteBytes(dir.file("notes.zlr"), {1});
    const RecoveryCopy gone = RecoveryCopyNamed(folder, "7-1");
    WriteRecoveryCopy(gone, project, "");
    WriteBytes(gone.LockPath, {});  // its editor ended without removing it
    {
        const RecoveryCopy running = RecoveryCopyNamed(folder, "7-2");
        const InstanceLock lock(running.LockPath);
        EXPECT_THROW(InstanceLock{running.LockPath}, Error) << "one holder at a time";
        WriteRecoveryCopy(running, project, "");
        const auto found = FindRecoveryCopies(folder);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].InfoPath, gone.InfoPath);
        RemoveRecoveryCopy(found[0]);
        EXPECT_FALSE(FileExists(gone.InfoPath));
        EXPECT_FALSE(FileExists(gone.LockPath));
        RemoveRecoveryCopy(found[0]);  // nothing left to remove is no failure
        EXPECT_TRUE(FindRecoveryCopies(folder).empty());
    }
    EXPECT_EQ(FindRecoveryCopies(folder).size(), 1u) << "its lock let go, the copy is offered";
}

#ifndef _WIN32
// An editor killed while it writes copy after copy: its process lingers
// unreaped, yet its copy is offered, and it is always one whole copy of the
// projects it wrote, never refused as damaged.
TEST(RecoveryCopyTest, AKilledWritersCopyIsOfferedWholeWhileItsProcessLingers) {
    TempDir dir;
    const std::string folder = dir.path().string();
    std::vector<Project> projects;
    projects.push_back(OpenedProject());
    projects.push_back(ProjectWithUnsavedBitmaps());
    projects[1].UsedTiles.pop_back();
    std::mt19937 random(3);
    for (int round = 0; round < 12; ++round) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            const RecoveryCopy copy = RecoveryCopyNamed(folder, NewRecoveryId());
            InstanceLock lock(copy.LockPath);
            for (std::size_t k = 0;; ++k) {
                WriteRecoveryCopy(copy, projects[k % 2], std::to_string(k % 2));
                if (k == 0 && ::write(ready[1], "w", 1) != 1) ::_exit(1);
            }
        }
        ::close(ready[1]);
        char byte = 0;
        ASSERT_EQ(::read(ready[0], &byte, 1), 1);
        ::close(ready[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
        ::kill(child, SIGKILL);
        siginfo_t info{};
        ASSERT_EQ(::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOWAIT), 0);  // ended, not reaped
        ASSERT_TRUE(ProcessIsRunning(child)) << "its id lingers";
        const auto found = FindRecoveryCopies(folder);
        ::waitpid(child, nullptr, 0);
        ASSERT_EQ(found.size(), 1u);
        const RecoveredProject read = ReadRecoveryCopy(found[0]);
        ASSERT_TRUE(read.OriginalFile == "0" || read.OriginalFile == "1");
        EXPECT_EQ(EncodeZL(read.Restored), EncodeZL(projects[read.OriginalFile == "1"]));
        RemoveRecoveryCopy(found[0]);
        ASSERT_TRUE(std::filesystem::is_empty(dir.path()));
    }
}
#endif

}  // namespace
}  // namespace zorvane
