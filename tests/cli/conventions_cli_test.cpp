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
    CliOutcome one = RunZorvane("help render", dir);
    EXPECT_EQ(one.status, 0);
    EXPECT_EQ(one.out, RunZorvane("render --help", dir).out);
}

}  // namespace
