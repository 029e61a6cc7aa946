// The tool's conventions: exit statuses, seeds, help and version.

#include <gtest/gtest.h>

#include <filesystem>

#include "builders.h"
#include "cli_runner.h"

using namespace zorvane::testing;

namespace {

// Wrong usage exits with 2 and says so on lines that name the command;
// a failure of the work itself exits with 1.
TEST(Conventions, UsageErrorsExitTwoAndFailuresOne) {
    TempDir dir;
    for (const std::string args : {"", "frobnicate", "info", "info a b c", "samples out --seed", "help nope"}) {
        CliOutcome r = RunZorvane(args, dir);
        EXPECT_EQ(r.status, 2) << args << "\n" << r.err;
        EXPECT_EQ(r.err.rfind("zorvane", 0), 0u) << r.err;
    }
    WriteBytes(dir.file("junk.zp"), {'J', 'U', 'N', 'K'});
    CliOutcome failed = RunZorvane("info junk.zp", dir);
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err.rfind("zorvane info: ", 0), 0u) << failed.err;
}

// One seed rule for every command: 0 to 4294967295 as written; a sign or a
// larger number is refused, not wrapped round.
TEST(Conventions, SeedsFollowOneRule) {
    TempDir dir;
    ASSERT_EQ(RunZorvane("samples s", dir).status, 0);
    for (const std::string seed : {"-1", "4294967296", "99999999999999999999", "+3", "1e3", "0x10"}) {
        for (const std::string command : {"samples t --seed ", "generate s/zmpe/samples.zp -o a.zl --seed "}) {
            CliOutcome r = RunZorvane(command + seed, dir);
            EXPECT_EQ(r.status, 2) << command << seed << "\n" << r.err;
            EXPECT_NE(r.err.find("4294967295"), std::string::npos) << r.err;
        }
    }
    EXPECT_EQ(RunZorvane("samples t --seed 4294967295", dir).status, 0);
    EXPECT_EQ(RunZorvane("samples u --seed 0", dir).status, 0);
    EXPECT_NE(RunZorvane("samples --help", dir).out.find("0..4294967295"), std::string::npos);
}

// A map whose tile set is gone: the message names it and the option to give.
TEST(Conventions, AMissingTileSetPointsToZp) {
    TempDir dir;
    ASSERT_EQ(RunZorvane("samples s", dir).status, 0);
    std::filesystem::rename(dir.file("s/zmpe/samples.zp"), dir.file("s/zmpe/moved.zp"));
    CliOutcome r = RunZorvane("convert s/zmpe/meadow.zm m.zl", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(dir.file("s/zmpe/samples.zp")), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--zp"), std::string::npos) << r.err;
    EXPECT_EQ(RunZorvane("convert s/zmpe/meadow.zm m.zl --zp s/zmpe/moved.zp", dir).status, 0);
}

TEST(Conventions, HelpAndVersion) {
    TempDir dir;
    CliOutcome version = RunZorvane("--version", dir);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("zorvane ", 0), 0u) << version.out;

    CliOutcome all = RunZorvane("help", dir);
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(all.out, RunZorvane("--help", dir).out);
    CliOutcome one = RunZorvane("help convert", dir);
    EXPECT_EQ(one.status, 0);
    EXPECT_EQ(one.out, RunZorvane("convert --help", dir).out);
}

// An error about an input names that input (and not the output).
TEST(Conventions, ErrorsNameTheInputAtFault) {
    TempDir dir;
    ASSERT_EQ(RunZorvane("samples s", dir).status, 0);
    WriteBytes(dir.file("pic.png"), {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 0});
    CliOutcome r = RunZorvane("convert pic.png o.zp", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("pic.png"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("o.zp"), std::string::npos) << r.err;
    for (const std::string data : {"pic.png", "s/zmpe/samples.zp"}) {
        r = RunZorvane("check s/zmpe/meadow.zm " + data, dir);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(data), std::string::npos) << r.err;
    }
}

// The help of a command shows what an option left out means; generate's
// settings come from the data file.
TEST(Conventions, HelpShowsTheDefaults) {
    TempDir dir;
    auto lineOf = [](const std::string& help, const std::string& option) {
        const auto at = help.find("  " + option + " ");
        return at == std::string::npos ? std::string() : help.substr(at, help.find('\n', at) - at);
    };
    const std::string generate = RunZorvane("generate --help", dir).out;
    for (const std::string option : {"--size", "--threads", "--variant"})
        EXPECT_NE(lineOf(generate, option).find("data file"), std::string::npos) << option << "\n" << generate;
    for (const std::string option : {"--seed", "--timeout", "--zp"})
        EXPECT_NE(lineOf(generate, option).find("default"), std::string::npos) << option << "\n" << generate;
    const std::string convert = RunZorvane("convert --help", dir).out;
    for (const std::string option : {"--variant", "--zp"})
        EXPECT_NE(lineOf(convert, option).find("default"), std::string::npos) << option << "\n" << convert;
#ifdef ZORVANE_WITH_RENDER
    EXPECT_NE(lineOf(RunZorvane("render --help", dir).out, "--compression").find("=1"), std::string::npos);
#endif
    EXPECT_NE(lineOf(RunZorvane("learn --help", dir).out, "--multiplier").find("default 1"), std::string::npos);
}

}  // namespace
