#include "platform/safe_save.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "builders.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "platform/file_names.h"

using namespace zorvane;
using namespace zorvane::testing;
namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> Text(const std::string& s) { return {s.begin(), s.end()}; }

std::string Contents(const fs::path& path) {
    auto bytes = ReadWholeFile(path.string());
    return {bytes.begin(), bytes.end()};
}

// The names in a folder, so that a temporary file left behind shows.
std::set<std::string> Listing(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename().string());
    return names;
}

[[maybe_unused]] fs::perms Mode(const fs::path& path) { return fs::status(path).permissions() & fs::perms::mask; }

#ifndef _WIN32
// Makes every write of this process past `bytes` of a file fail (EFBIG),
// as a full disk would, until the object goes.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};
#endif


// What every system must do: an existing file replaced, a read-only one
// too (it stays read-only), one held open by a reader either replaced or
// left whole with an error, never half written, and no temporary file left.
TEST(SaveFileAtomically, ReplacesExistingReadOnlyAndOpenFiles) {
    TempDir dir;
    const fs::path file = dir.path() / "map.zm";
    SaveFileAtomically(file.string(), Text("first"));
    SaveFileAtomically(file.string(), Text("second"));
    EXPECT_EQ(Contents(file), "second");

    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    SaveFileAtomically(file.string(), Text("third, read-only"));
    EXPECT_EQ(Contents(file), "third, read-only");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::owner_write, fs::perms::none) << "stays read-only";
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);

    {
        std::ifstream reader(file, std::ios::binary);
        ASSERT_TRUE(reader);
        bool replaced = true;
        try {
            SaveFileAtomically(file.string(), Text("fourth, while open"));
        } catch (const Error& e) {
            replaced = false;
            EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
        }
        const std::string seen((std::istreambuf_iterator<char>(reader)), std::istreambuf_iterator<char>());
        EXPECT_EQ(seen, "third, read-only") << "the reader keeps the file it opened";
        reader.close();
        EXPECT_EQ(Contents(file), replaced ? "fourth, while open" : "third, read-only");
    }
    SaveFileAtomically(file.string(), Text("fifth"));
    EXPECT_EQ(Contents(file), "fifth");
    EXPECT_EQ(Listing(dir.path()), std::set<std::string>{"map.zm"});
}

// File names are UTF-8 text; a folder named in another script is found,
// written and read by that name.
TEST(SaveFileAtomically, FolderNamesInAnyScript) {
    TempDir dir;
    const std::string folder = Utf8FromPath(dir.path()) + "/Kärten Γη 地図";
    ASSERT_TRUE(fs::create_directory(PathFromUtf8(folder)));
    const std::string map = folder + "/map.zm";
    SaveFileAtomically(map, Text("old"));
    const std::vector<std::uint8_t> newMap = Text("new map"), tiles = Text("tiles");
    const std::vector<FileToSave> both{{map, newMap}, {folder + "/tiles.zp", tiles}};
    SaveFilesTogether(both);
    EXPECT_TRUE(FileExists(map));
    EXPECT_EQ(FileSize(map), 7u);
    const std::vector<std::uint8_t> bytes = ReadWholeFile(AbsolutePath(map));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "new map");
    EXPECT_EQ(ReadFilePart(map, 4, 3), Text("map"));
    EXPECT_EQ(Listing(PathFromUtf8(folder)), (std::set<std::string>{"map.zm", "tiles.zp"}));
    EXPECT_EQ(PathFromUtf8(AbsolutePath(map)), PathFromUtf8(map).lexically_normal());
}

TEST(SaveFileAtomically, ReplacingAFileKeepsItsPermissionBits) {
#ifdef _WIN32
    GTEST_SKIP() << "Not on Windows: POSIX permission bits.";
#else
    TempDir dir;
    for (fs::perms mode : {fs::perms(0600), fs::perms(0640), fs::perms(0751), fs::perms(0444)}) {
        const fs::path file = dir.path() / "kept.bin";
        SaveFileAtomically(file.string(), Text("old"));
        fs::permissions(file, mode);
        SaveFileAtomically(file.string(), Text("new contents"));
        EXPECT_EQ(Mode(file), mode) << "mode " << std::oct << static_cast<int>(mode);
        EXPECT_EQ(Contents(file), "new contents");
        fs::remove(file);
    }
    // A file written for the first time is readable by its owner and writable by him.
    const fs::path fresh = dir.path() / "fresh.bin";
    SaveFileAtomically(fresh.string(), Text("x"));
    EXPECT_EQ(Mode(fresh) & fs::perms(0600), fs::perms(0600));
    EXPECT_EQ(Listing(dir.path()), std::set<std::string>{"fresh.bin"});
#endif
}

TEST(SaveFileAtomically, SavingThroughASymbolicLinkWritesItsTargetAndKeepsTheLink) {
#ifdef _WIN32
    GTEST_SKIP() << "Not on Windows: symbolic links need privileges on Windows.";
#else
    TempDir dir;
    fs::create_directories(dir.path() / "data");
    fs::create_directories(dir.path() / "links");
    const fs::path target = dir.path() / "data" / "target.bin";
    SaveFileAtomically(target.string(), Text("old"));
    fs::permissions(target, fs::perms(0640));

    struct Link {
        fs::path at;
        fs::path to;
    };
    const std::vector<Link> links = {
        {dir.path() / "links" / "absolute", target},
        {dir.path() / "links" / "relative", fs::path("..") / "data" / "target.bin"},
        {dir.path() / "links" / "chained", "relative"},  // a link to a link
    };
    for (const auto& link : links) fs::create_symlink(link.to, link.at);

    int round = 0;
    for (const auto& link : links) {
        const std::string text = "written through " + link.at.filename().string() + std::to_string(++round);
        SaveFileAtomically(link.at.string(), Text(text));
        for (const auto& each : links) {
            ASSERT_TRUE(fs::is_symlink(fs::symlink_status(each.at))) << each.at;
            EXPECT_EQ(fs::read_symlink(each.at), each.to);
        }
        EXPECT_EQ(Contents(target), text);
        EXPECT_EQ(Mode(target), fs::perms(0640));
    }

    // A link whose target does not exist yet: the target is made, the link stays.
    const fs::path dangling = dir.path() / "links" / "dangling";
    fs::create_symlink(fs::path("..") / "data" / "later.bin", dangling);
    SaveFileAtomically(dangling.string(), Text("later"));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dangling)));
    EXPECT_EQ(Contents(dir.path() / "data" / "later.bin"), "later");

    // Links that go round in a circle are refused without writing anything.
    fs::create_symlink("loop2", dir.path() / "links" / "loop1");
    fs::create_symlink("loop1", dir.path() / "links" / "loop2");
    EXPECT_THROW(SaveFileAtomically((dir.path() / "links" / "loop1").string(), Text("x")), Error);

    EXPECT_EQ(Listing(dir.path() / "data"), (std::set<std::string>{"later.bin", "target.bin"}));
    EXPECT_EQ(Listing(dir.path() / "links"),
              (std::set<std::string>{"absolute", "chained", "dangling", "loop1", "loop2", "relative"}));
#endif
}

TEST(SaveFileAtomically, AFailedWriteLeavesTheOldFileAndNoTemporary) {
#ifdef _WIN32
    GTEST_SKIP() << "Not on Windows: the full disk is played by a POSIX file size limit.";
#else
    TempDir dir;
    const fs::path file = dir.path() / "map.zm";
    const fs::path link = dir.path() / "link.zm";
    SaveFileAtomically(file.string(), Text("the old map"));
    fs::permissions(file, fs::perms(0600));
    fs::create_symlink("map.zm", link);
    const std::vector<std::uint8_t> large(64 * 1024, 7);
    {
        FileSizeLimit limit(1024);
        for (const fs::path& target : {file, link, dir.path() / "new.zm"}) {
            try {
                SaveFileAtomically(target.string(), large);
                ADD_FAILURE() << "a write past the file size limit succeeded for " << target;
            } catch (const Error& e) {
                EXPECT_NE(std::string(e.what()).find(target.string()), std::string::npos) << e.what();
            }
        }
    }
    EXPECT_EQ(Contents(file), "the old map");
    EXPECT_EQ(Mode(file), fs::perms(0600));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
    EXPECT_EQ(Listing(dir.path()), (std::set<std::string>{"link.zm", "map.zm"}));

    // The same save succeeds once the disk has room again.
    SaveFileAtomically(link.string(), large);
    EXPECT_EQ(ReadWholeFile(file.string()), large);
    EXPECT_EQ(Listing(dir.path()), (std::set<std::string>{"link.zm", "map.zm"}));
#endif
}

TEST(SaveFilesTogether, AllOrNone) {
#ifdef _WIN32
    GTEST_SKIP() << "Not on Windows: the full disk is played by a POSIX file size limit.";
#else
    TempDir dir;
    const fs::path tiles = dir.path() / "tiles.zp";
    const fs::path map = dir.path() / "map.zm";
    SaveFileAtomically(tiles.string(), Text("old tiles"));
    SaveFileAtomically(map.string(), Text("old map"));
    const std::vector<std::uint8_t> newTiles = Text("new tiles"), large(64 * 1024, 7);

    // The map does not fit: the tile set, though complete, is not put in place.
    {
        FileSizeLimit limit(1024);
        const std::vector<FileToSave> files{{tiles.string(), newTiles}, {map.string(), large}};
        try {
            SaveFilesTogether(files);
            ADD_FAILURE() << "a write past the file size limit succeeded";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(map.string()), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(Contents(tiles), "old tiles");
    EXPECT_EQ(Contents(map), "old map");
    EXPECT_EQ(Listing(dir.path()), (std::set<std::string>{"map.zm", "tiles.zp"}));

    // One file named twice (here once through a link) is refused before anything is written.
    fs::create_symlink("map.zm", dir.path() / "link.zm");
    const std::vector<FileToSave> twice{{map.string(), newTiles}, {(dir.path() / "link.zm").string(), large}};
    EXPECT_THROW(SaveFilesTogether(twice), Error);
    EXPECT_EQ(Contents(map), "old map");

    // With room, both are replaced and a new third file is made.
    const fs::path fresh = dir.path() / "fresh.zl";
    const std::vector<FileToSave> three{{tiles.string(), newTiles}, {map.string(), large}, {fresh.string(), newTiles}};
    SaveFilesTogether(three);
    EXPECT_EQ(Contents(tiles), "new tiles");
    EXPECT_EQ(ReadWholeFile(map.string()), large);
    EXPECT_EQ(Contents(fresh), "new tiles");
    EXPECT_EQ(Listing(dir.path()), (std::set<std::string>{"fresh.zl", "link.zm", "map.zm", "tiles.zp"}));
#endif
}

TEST(SaveFileAtomically, TemporariesOfKilledSavesGoWithTheNextSave) {
#ifdef _WIN32
    GTEST_SKIP() << "Not on Windows: a dead process id comes from fork.";
#else
    TempDir dir;
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);  // a process id that no longer runs
    const std::string dead = std::to_string(child), alive = std::to_string(::getppid());
    const std::set<std::string> others{
        "map.zm." + alive + "-5.zorvane-tmp",   // another program saving right now
        "other.zm." + dead + "-1.zorvane-tmp",  // another target
        "map.zm." + dead + "-x.zorvane-tmp",    // not a name the save gives
        "map.zm." + dead + "-1.tmp",
    };
    for (const std::string& name : others) SaveFileAtomically((dir.path() / name).string(), Text("x"));
    for (const std::string& name : {"map.zm." + dead + "-123.zorvane-tmp", "map.zm." + dead + "-9.zorvane-tmp"})
        SaveFileAtomically((dir.path() / name).string(), Text("left by a killed save"));

    SaveFileAtomically((dir.path() / "map.zm").string(), Text("the map"));
    std::set<std::string> expected = others;
    expected.insert("map.zm");
    EXPECT_EQ(Listing(dir.path()), expected);
#endif
}

}  // namespace

// Contents streamed in pieces are saved as a whole: an encoder that fails
// halfway (its own error, unchanged) or a write that fails halfway (a full
// disk, on POSIX) leaves the old file and no temporary; a complete stream
// gives the bytes it handed on, in order.
TEST(SaveFileAtomically, StreamedContentsAreAllOrNothing) {
    TempDir dir;
    const fs::path file = dir.path() / "set.zp";
    SaveFileAtomically(Utf8FromPath(file), Text("the old tile set"));
    const std::vector<std::uint8_t> piece(300 * 1024, 9);
    const auto pieces = [&](int count, bool failAtEnd) {
        return [&piece, count, failAtEnd](SaveSink& sink) {
            for (int i = 0; i < count; ++i) sink.write(piece);
            if (failAtEnd) throw Error("The encoder gave up.");
        };
    };
    try {
        SaveFileAtomically(Utf8FromPath(file), pieces(3, true));
        ADD_FAILURE() << "a failed encoder saved";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "The encoder gave up.");
    }
    EXPECT_EQ(Contents(file), "the old tile set");
    EXPECT_EQ(Listing(dir.path()), (std::set<std::string>{"set.zp"}));
#ifndef _WIN32
    {
        FileSizeLimit limit(512 * 1024);
        EXPECT_THROW(SaveFileAtomically(Utf8FromPath(file), pieces(3, false)), Error);
    }
    EXPECT_EQ(Contents(file), "the old tile set");
    EXPECT_EQ(Listing(dir.path()), (std::set<std::string>{"set.zp"}));
#endif
    SaveFileAtomically(Utf8FromPath(file), [](SaveSink& sink) {
        for (int i = 0; i < 256; ++i) sink.write(std::vector<std::uint8_t>(static_cast<std::size_t>(i), static_cast<std::uint8_t>(i)));
    });
    std::vector<std::uint8_t> expected;
    for (int i = 0; i < 256; ++i) expected.insert(expected.end(), static_cast<std::size_t>(i), static_cast<std::uint8_t>(i));
    EXPECT_EQ(ReadWholeFile(Utf8FromPath(file)), expected);
    EXPECT_EQ(Listing(dir.path()), (std::set<std::string>{"set.zp"}));
}
