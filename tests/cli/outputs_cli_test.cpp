// The outputs of every command, driven through the program: what is
// refused before any work (and left exactly as it was), links written
// through, the tile set rule (--zp read always wins, --zp written needs
// --force to replace a tile set) and the "Wrote" lines, checked against
// what changed on disk.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include <sys/stat.h>

#include "builders.h"
#include "cli_runner.h"
#include "model/layered_file.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"

using namespace zorvane;
using namespace zorvane::testing;
namespace fs = std::filesystem;

namespace {

// Every entry under `root` (links not followed) with what it is: its type,
// and for a file its inode, modification time and contents.
using Snapshot = std::map<std::string, std::string>;

Snapshot TakeSnapshot(const fs::path& root) {
    Snapshot entries;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(e.path(), root).string();
        if (name == "stderr.txt") continue;
        struct stat s {};
        if (::lstat(e.path().c_str(), &s) != 0) continue;
        std::string what;
        if (S_ISLNK(s.st_mode)) what = "link to " + fs::read_symlink(e.path()).string();
        else if (S_ISFIFO(s.st_mode)) what = "fifo";
        else if (S_ISDIR(s.st_mode)) what = "folder";
        else {
            const auto bytes = ReadWholeFile(e.path().string());
            what = "file " + std::to_string(s.st_ino) + " " + std::to_string(s.st_mtim.tv_sec) + "." +
                   std::to_string(s.st_mtim.tv_nsec) + " " +
                   std::to_string(std::hash<std::string>{}(std::string(bytes.begin(), bytes.end())));
        }
        entries[name] = what;
    }
    return entries;
}

// The files (not folders) that are new or other than before.
std::set<std::string> ChangedFiles(const Snapshot& before, const Snapshot& after) {
    std::set<std::string> changed;
    for (const auto& [name, what] : after) {
        auto old = before.find(name);
        if (what.starts_with("file ") && (old == before.end() || old->second != what)) changed.insert(name);
    }
    return changed;
}

// The files a command said it wrote, relative to `root`.
std::set<std::string> WroteLines(const std::string& out, const fs::path& root) {
    std::set<std::string> named;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with("Wrote ")) named.insert(fs::path(line.substr(6)).lexically_relative(root).string());
    return named;
}

std::vector<std::uint8_t> TextBytes(const std::string& text) { return {text.begin(), text.end()}; }

// Sample content, a generator data file and a layered project, shared by
// the tests as inputs (no test writes there).
class OutputsCli : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        base_ = std::make_unique<TempDir>();
        ASSERT_EQ(RunZorvane("samples s", *base_).status, 0);
        auto r = RunZorvane("learn s/zmpe/meadow.zm s/zmpe/grass_connector.zm --connector s/zmpe/grass_connector.zm "
                            "-o data.zg",
                            *base_);
        ASSERT_EQ(r.status, 0) << r.err;
        ASSERT_EQ(RunZorvane("convert s/zmpe/meadow.zm m.zl", *base_).status, 0);
    }
    static void TearDownTestSuite() { base_.reset(); }

    // The command with $map, $set, $zl and $data standing for the shared inputs.
    static std::string Command(std::string text) {
        const std::pair<const char*, std::string> names[] = {{"$map", base_->file("s/zmpe/meadow.zm")},
                                                             {"$set", base_->file("s/zmpe/samples.zp")},
                                                             {"$zl", base_->file("m.zl")},
                                                             {"$data", base_->file("data.zg")}};
        for (const auto& [name, path] : names)
            for (auto at = text.find(name); at != std::string::npos; at = text.find(name))
                text.replace(at, std::string(name).size(), path);
        return text;
    }

    static inline std::unique_ptr<TempDir> base_;
    TempDir dir;
};

// Each place where a command names an output, with its kind's extension and
// the input it reads ("{}" is the output).
struct OutputSlot {
    std::string command;
    std::string extension;
    std::string input;
};

std::vector<OutputSlot> Slots() {
    std::vector<OutputSlot> slots{
        {"learn $map -o {}", ".zg", "$map"},
        {"convert $set {} --force", ".zp", "$set"},
        {"convert $map {}", ".zl", "$map"},
        {"export $zl {} --variant zmpe", ".zm", "$zl"},
        {"export $zl e.zm --variant zme --zp {} --force", ".zp", "$zl"},
        {"generate $data -o {} --size 30x20 --threads 1", ".zl", "$data"},
        {"generate $data -o g.zl --zm {} --size 30x20 --threads 1", ".zm", "$data"},
        {"generate $data -o g.zl --zm g.zm --variant zme --zp {} --force --size 30x20 --threads 1", ".zp", "$data"},
    };
#ifdef ZORVANE_WITH_RENDER
    slots.push_back({"render $map {}", ".png", "$map"});
#endif
    return slots;
}

}  // namespace

// A FIFO, a folder, a link to a FIFO, a missing folder, another extension
// and a link to the command's own input: each refused with its name before
// any work, and nothing on disk changes (the links and the FIFO stay, no
// input is written through a link, no other file appears).
TEST_F(OutputsCli, RefusedOutputsLeaveEverythingAsItWas) {
    int slotNumber = 0;
    for (const OutputSlot& slot : Slots()) {
        const std::string x = std::to_string(++slotNumber) + slot.extension;
        ASSERT_EQ(::mkfifo(dir.file("pipe" + x).c_str(), 0644), 0);
        fs::create_directory(dir.file("folder" + x));
        fs::create_symlink(dir.file("pipe" + x), dir.file("linked" + x));
        fs::create_symlink(Command(slot.input), dir.file("alias" + x));
        const std::string wrongExtension = slot.extension == ".png" ? "pic.bmp" : "pic.png";
        for (const std::string& bad : {"pipe" + x, "folder" + x, "linked" + x, "missing/out" + x, wrongExtension,
                                      "alias" + x}) {
            const Snapshot before = TakeSnapshot(dir.path()), inputsBefore = TakeSnapshot(base_->path());
            std::string command = Command(slot.command);
            command.replace(command.find("{}"), 2, bad);
            CliOutcome r = RunZorvane(command, dir);
            EXPECT_EQ(r.status, 1) << command << "\n" << r.err;
            EXPECT_NE(r.err.find(bad.substr(0, bad.find('/'))), std::string::npos) << command << "\n" << r.err;
            EXPECT_EQ(r.err.find("row "), std::string::npos) << command << ": the work started\n" << r.err;
            EXPECT_TRUE(r.out.empty()) << command << "\n" << r.out;
            EXPECT_EQ(TakeSnapshot(dir.path()), before) << command;
            EXPECT_EQ(TakeSnapshot(base_->path()), inputsBefore) << command;
        }
    }
}

// A link to a file is written through: the link stays, the file linked to
// gets the new contents and keeps its permission bits. Names without an
// extension are given theirs; an input named by another spelling is still
// an input.
TEST_F(OutputsCli, LinksAreWrittenThroughAndNamesTakeTheirExtension) {
    fs::create_directory(dir.file("real"));
    WriteBytes(dir.file("real/target.zl"), TextBytes("old"));
    fs::permissions(dir.file("real/target.zl"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(dir.file("real/target.zl"), dir.file("link.zl"));

    CliOutcome r = RunZorvane(Command("convert $map link.zl"), dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(WroteLines(r.out, dir.path()), std::set<std::string>{"link.zl"});
    EXPECT_TRUE(fs::is_symlink(dir.file("link.zl")));
    EXPECT_EQ(ParseZL(ReadWholeFile(dir.file("real/target.zl"))).MapWidth, 34);
    EXPECT_EQ(fs::status(dir.file("real/target.zl")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    r = RunZorvane(Command("learn $map -o plain"), dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(WroteLines(r.out, dir.path()), std::set<std::string>{"plain.zg"});

    fs::copy_file(base_->file("m.zl"), dir.file("m.zl"));
    fs::create_hard_link(dir.file("m.zl"), dir.file("hard.zl"));
    const Snapshot before = TakeSnapshot(dir.path());
    for (const std::string out : {"m.zl", "./m.zl", "real/../m.zl", "hard.zl", "HARD.ZL"}) {
        if (out == "HARD.ZL") fs::rename(dir.file("hard.zl"), dir.file("HARD.ZL"));
        r = RunZorvane("convert m.zl " + out, dir);
        EXPECT_EQ(r.status, 1) << out << "\n" << r.err;
        if (out == "HARD.ZL") fs::rename(dir.file("HARD.ZL"), dir.file("hard.zl"));
    }
    EXPECT_EQ(TakeSnapshot(dir.path()), before);
}

// An explicit --zp always wins: read in place of the tile set the map
// names even when that exists, and it must exist; written, it may replace
// an existing tile set only with --force, the same for every command.
TEST_F(OutputsCli, TheTileSetRuleIsOneForAllCommands) {
    // A tile set of the other variant shows which one was read.
    ASSERT_EQ(RunZorvane(Command("convert $set zme.zp --variant zme"), dir).status, 0);
    CliOutcome r = RunZorvane(Command("convert $map read.zl --zp zme.zp"), dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(ParseZL(ReadWholeFile(dir.file("read.zl"))).ZmeVariant);
    for (const std::string command : {"convert $map none.zl --zp nothere.zp", "render $map none.png --zp nothere.zp"}) {
#ifndef ZORVANE_WITH_RENDER
        if (command.starts_with("render")) continue;
#endif
        r = RunZorvane(Command(command), dir);
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_NE(r.err.find("nothere.zp"), std::string::npos) << r.err;
    }
    r = RunZorvane(Command("convert $zl none.zl --zp zme.zp"), dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("--zp"), std::string::npos) << r.err;
    EXPECT_FALSE(FileExists(dir.file("none.zl")));

    // Writing over an existing tile set: refused before any work without
    // --force, done with it. The data file's tile set is "zmpe", so a "zme"
    // map project needs a new one; a "zmpe" one needs none.
    const std::string generate = "generate $data -o a.zl --zm a.zm --size 12x10 --threads 1";
    const std::string needingNew[] = {generate + " --variant zme", "export $zl e.zm --variant zme --zp a.zp",
                                      "convert $set a.zp"};
    for (const std::string& command : needingNew) {
        WriteBytes(dir.file("a.zp"), TextBytes("old"));
        const Snapshot before = TakeSnapshot(dir.path());
        r = RunZorvane(Command(command), dir);
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_NE(r.err.find(dir.file("a.zp")), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("--force"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("row "), std::string::npos) << r.err;
        EXPECT_EQ(TakeSnapshot(dir.path()), before) << command;

        r = RunZorvane(Command(command + " --force"), dir);
        ASSERT_EQ(r.status, 0) << command << "\n" << r.err;
        EXPECT_EQ(WroteLines(r.out, dir.path()).count("a.zp"), 1u) << r.out;
        EXPECT_GT(ParseZP(ReadWholeFile(dir.file("a.zp"))).BitmapCount, 0);
    }
    WriteBytes(dir.file("a.zp"), TextBytes("old"));
    r = RunZorvane(Command(generate), dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(WroteLines(r.out, dir.path()), (std::set<std::string>{"a.zl", "a.zm"}));
    EXPECT_EQ(ReadWholeFile(dir.file("a.zp")), TextBytes("old"));
}

// Every command names each file it wrote, and only those: the "Wrote"
// lines against what changed on disk, over a session of commands.
TEST_F(OutputsCli, EveryCommandNamesExactlyTheFilesItWrote) {
    const std::string session[] = {
        "samples own",
        "learn $map -o d.zg",
        "convert $set c.zp --variant zme",
        "convert $map c.zl",
        "convert c.zl again.zl",
        "export c.zl c.zm --variant zme --zp c2.zp",
        "export $zl same.zm --variant zmpe",
        "generate $data -o g.zl --zm g.zm --variant zme --size 12x10 --threads 1",
        "generate $data -o h.zl --zm h.zm --size 12x10 --threads 1",
#ifdef ZORVANE_WITH_RENDER
        "render c.zl c.png --grid",
#endif
    };
    for (const std::string& command : session) {
        const Snapshot before = TakeSnapshot(dir.path());
        CliOutcome r = RunZorvane(Command(command), dir);
        ASSERT_EQ(r.status, 0) << command << "\n" << r.err;
        const auto changed = ChangedFiles(before, TakeSnapshot(dir.path()));
        EXPECT_FALSE(changed.empty()) << command;
        EXPECT_EQ(WroteLines(r.out, dir.path()), changed) << command << "\n" << r.out;
    }
}

// Converting a tile set opens it once to tell its kind from the first
// bytes and once to read it (it used to be read whole three times).
TEST_F(OutputsCli, ConvertOpensItsInputTwiceAtMost) {
    if (std::system("command -v strace >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is not installed";
    const std::string in = base_->file("s/zmpe/samples.zp");
    // The leak checker does not work under a tracer.
    const std::string traced = "cd '" + dir.path().string() +
                               "' && ASAN_OPTIONS=detect_leaks=0 strace -f -e trace=open,openat -o trace.txt '" +
                               ZORVANE_CLI_PATH + "' convert '" + in + "' out.zp >/dev/null 2>&1";
    ASSERT_EQ(std::system(traced.c_str()), 0);
    std::ifstream trace(dir.file("trace.txt"));
    int opened = 0;
    for (std::string line; std::getline(trace, line);) opened += line.find("\"" + in + "\"") != std::string::npos;
    EXPECT_GE(opened, 1);
    EXPECT_LE(opened, 2);
}

#ifdef ZORVANE_WITH_RENDER
// The zlib header of a PNG's first IDAT chunk tells its compression level
// class: 0 fastest, 1 fast, 2 default, 3 smallest.
int PngLevelClass(const std::vector<std::uint8_t>& png) {
    const std::string idat = "IDAT";
    auto at = std::search(png.begin(), png.end(), idat.begin(), idat.end());
    if (at == png.end() || png.end() - at < 6) return -1;
    return at[5] >> 6;
}

TEST_F(OutputsCli, RenderCompressesFastUnlessAskedOtherwise) {
    ASSERT_EQ(RunZorvane(Command("render $map fast.png"), dir).status, 0);
    ASSERT_EQ(RunZorvane(Command("render $map small.png --compression 9"), dir).status, 0);
    ASSERT_EQ(RunZorvane(Command("render $map none.png --compression 0"), dir).status, 0);
    const auto fast = ReadWholeFile(dir.file("fast.png")), small = ReadWholeFile(dir.file("small.png")),
               none = ReadWholeFile(dir.file("none.png"));
    EXPECT_EQ(PngLevelClass(fast), 0);
    EXPECT_EQ(PngLevelClass(small), 3);
    EXPECT_LT(small.size(), fast.size());
    EXPECT_LT(fast.size(), none.size());
    EXPECT_EQ(RunZorvane(Command("render $map x.png --compression 10"), dir).status, 2);
}
#endif
