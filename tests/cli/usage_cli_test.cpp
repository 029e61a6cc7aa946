// What every command promises its user: wrong values are wrong usage,
// messages name the command, standard output is checked, --quiet leaves
// errors only, outputs are never made up or overwritten unasked.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "builders.h"
#include "cli_runner.h"
#include "platform/file_io.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

struct UsageCli : ::testing::Test {
    TempDir dir;
    UsageCli() {
        EXPECT_EQ(RunZorvane("samples s", dir).status, 0);
        EXPECT_EQ(RunZorvane("learn s/zmpe/meadow.zm -o data.zg", dir).status, 0);
    }
};

// Every line of standard error begins with `prefix`.
void ExpectEveryLineBegins(const std::string& err, const std::string& prefix, const std::string& args) {
    std::istringstream lines(err);
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count)
        EXPECT_EQ(line.rfind(prefix, 0), 0u) << args << "\n" << err;
    EXPECT_GT(count, 0) << args;
}

// Every value out of its option's range, whatever the command: exit 2
// before any work, on lines that name the command, and nothing written.
TEST_F(UsageCli, ValuesOutOfRangeAreWrongUsage) {
    const std::string generate = "generate data.zg -o out.zl ";
    const std::vector<std::pair<std::string, std::string>> cases{
        {generate + "--timeout inf", "generate"},      {generate + "--timeout nan", "generate"},
        {generate + "--timeout 9.3e9", "generate"},    {generate + "--timeout 1000000001", "generate"},
        {generate + "--timeout -3", "generate"},       {generate + "--timeout 0", "generate"},
        {generate + "--timeout 5s", "generate"},       {generate + "--size 0x0", "generate"},
        {generate + "--size 1000x1000", "generate"},   {generate + "--size 20", "generate"},
        {generate + "--size 20x-20", "generate"},      {generate + "--threads 99", "generate"},
        {generate + "--threads 0", "generate"},        {generate + "--variant foo --zm out.zm", "generate"},
        {generate + "--seed -1", "generate"},          {"convert s/zmpe/samples.zp out.zp --variant foo", "convert"},
        {"export data.zg out.zm --variant ZME", "export"}, {"learn s/zmpe/meadow.zm -o o.zg --multiplier m.zm=0", "learn"},
        {"learn s/zmpe/meadow.zm -o o.zg --multiplier s/zmpe/meadow.zm=101", "learn"},
        {"learn s/zmpe/meadow.zm -o o.zg --multiplier 5", "learn"},
#ifdef ZORVANE_WITH_RENDER
        {"render s/zmpe/meadow.zm out.png --compression 10", "render"},
#endif
    };
    for (const auto& [args, command] : cases) {
        const CliOutcome r = RunZorvane(args, dir);
        EXPECT_EQ(r.status, 2) << args << "\n" << r.err;
        ExpectEveryLineBegins(r.err, "zorvane " + command + ": ", args);
        EXPECT_TRUE(r.out.empty()) << args;
        for (const char* out : {"out.zl", "out.zm", "out.zp", "o.zg", "out.png"})
            EXPECT_FALSE(FileExists(dir.file(out))) << args;
    }
    // The ranges are shown in the help, from the same rules.
    const std::string help = RunZorvane("generate --help", dir).out;
    for (const char* range : {"10..202", "1..4", "1000000000", "zme|zmpe", "0..4294967295"})
        EXPECT_NE(help.find(range), std::string::npos) << range << "\n" << help;
    EXPECT_NE(RunZorvane("learn --help", dir).out.find("1..100"), std::string::npos);
}

// Errors of every kind, on every line, begin with "zorvane COMMAND:"; an
// unknown command is called so; Qt keeps its notes to itself.
TEST_F(UsageCli, EveryMessageNamesItsCommand) {
    CliOutcome r = RunZorvane("foo", dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("zorvane: unknown command foo"), std::string::npos) << r.err;
    ExpectEveryLineBegins(r.err, "zorvane: ", "foo");
    r = RunZorvane("help help", dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("COMMAND"), std::string::npos) << r.out;

    WriteBytes(dir.file("bad.zg"), {'Z', 'G', 'D', '1', 3});
    r = RunZorvane("generate bad.zg -o out.zl", dir);
    EXPECT_EQ(r.status, 1);
    ExpectEveryLineBegins(r.err, "zorvane generate: ", "bad.zg");
    EXPECT_EQ(r.err.find("Error: "), std::string::npos) << r.err;
    // A run stopped by its time limit says so on two lines, both named.
    r = RunZorvane("generate data.zg -o out.zl --size 202x202 --timeout 0.001 --threads 1", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("zorvane generate: The map as far as it was generated was written to"), std::string::npos)
        << r.err;
#ifdef ZORVANE_WITH_RENDER
    const std::string runtime = std::getenv("XDG_RUNTIME_DIR") ? std::getenv("XDG_RUNTIME_DIR") : "";
    ::unsetenv("XDG_RUNTIME_DIR");
    r = RunZorvane("render s/zmpe/meadow.zm m.png", dir);
    if (!runtime.empty()) ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    // "-" is no file name: refused, and no file "-.png" made.
    r = RunZorvane("render s/zmpe/meadow.zm -", dir);
    EXPECT_EQ(r.status, 1);
    ExpectEveryLineBegins(r.err, "zorvane render: ", "render -");
    EXPECT_FALSE(FileExists(dir.file("-.png")));
    EXPECT_FALSE(FileExists(dir.file("-")));
#endif
}

// Standard output that cannot be written fails the command, whichever.
TEST_F(UsageCli, AnUnwritableStandardOutputIsAFailure) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    for (const std::string args :
         {"info data.zg", "info data.zg --json", "--version", "help", "generate --help", "check s/zmpe/meadow.zm data.zg",
          "samples t", "stats s/zmpe/meadow.zm"}) {
        const CliOutcome r = RunZorvane(args + " >/dev/full", dir);
        EXPECT_EQ(r.status, 1) << args << "\n" << r.err;
        EXPECT_NE(r.err.find("standard output could not be written"), std::string::npos) << args << "\n" << r.err;
    }
}

// --quiet: nothing on standard output and no progress, errors still shown;
// it excludes --verbose.
TEST_F(UsageCli, QuietLeavesErrorsOnly) {
    for (const std::string args : {"info data.zg", "samples t", "learn s/zmpe/meadow.zm -o q.zg",
                                   "generate data.zg -o q.zl --size 12x10 --threads 1", "check q.zl data.zg",
                                   "convert s/zmpe/samples.zp q.zp", "export q.zl q.zm --variant zmpe",
                                   "stats s/zmpe/meadow.zm"}) {
        const CliOutcome r = RunZorvane(args + " --quiet", dir);
        EXPECT_EQ(r.status, 0) << args << "\n" << r.err;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_EQ(r.err, "") << args;
    }
    EXPECT_TRUE(FileExists(dir.file("q.zm")));
    CliOutcome r = RunZorvane("info nothing.zm -q", dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("nothing.zm"), std::string::npos);
    r = RunZorvane("generate data.zg -o v.zl -q -v", dir);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_FALSE(FileExists(dir.file("v.zl")));
}

// samples writes over its own files, but a sample the user changed is
// replaced only with --force, and then nothing else is left half done.
TEST_F(UsageCli, SamplesKeepChangedFilesUnlessForced) {
    EXPECT_EQ(RunZorvane("samples s", dir).status, 0);
    auto changed = ReadWholeFile(dir.file("s/zme/meadow.zm"));
    const auto original = changed;
    changed.back() ^= 0xFF;
    WriteBytes(dir.file("s/zme/meadow.zm"), changed);
    std::filesystem::remove(dir.file("s/zmpe/lakes.zm"));
    CliOutcome r = RunZorvane("samples s", dir);
    EXPECT_EQ(r.status, 1);
    ExpectEveryLineBegins(r.err, "zorvane samples: ", "samples");
    EXPECT_NE(r.err.find(dir.file("s/zme/meadow.zm")), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--force"), std::string::npos) << r.err;
    EXPECT_EQ(ReadWholeFile(dir.file("s/zme/meadow.zm")), changed);
    EXPECT_FALSE(FileExists(dir.file("s/zmpe/lakes.zm")));
    r = RunZorvane("samples s --force", dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(dir.file("s/zme/meadow.zm")), original);
    EXPECT_TRUE(FileExists(dir.file("s/zmpe/lakes.zm")));
    // Another seed makes other maps: those are changes too.
    EXPECT_EQ(RunZorvane("samples s --seed 2", dir).status, 1);
}

#ifdef ZORVANE_EDITOR_PATH
// The editor answers --help and --version on the console and, without a
// display, says how to start it instead of aborting.
TEST(EditorStart, AnswersOnTheConsoleWithoutAWindow) {
    TempDir dir;
    const auto run = [&](const std::string& args) {
        return RunProgram("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" ZORVANE_EDITOR_PATH "'", args, dir);
    };
    CliOutcome r = run("--help");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Usage: zorvane-editor"), std::string::npos) << r.out;
    r = run("--version");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("zorvane-editor ", 0), 0u) << r.out;
    r = run("map.zm");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("xvfb-run zorvane-editor"), std::string::npos) << r.err;
    ExpectEveryLineBegins(r.err, "zorvane-editor: ", "no display");
}
#endif

}  // namespace
