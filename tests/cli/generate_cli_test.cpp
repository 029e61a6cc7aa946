// zorvane generate and zorvane check on the sample content.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "cli_runner.h"
#include "generator/map_check.h"
#include "generator/zg_file.h"
#include "model/layered_file.h"
#include "model/map_file.h"
#include "platform/file_io.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

struct GenerateCli : ::testing::Test {
    TempDir dir;
    GenerateCli() {
        EXPECT_EQ(RunZorvane("samples s", dir).status, 0);
        auto r = RunZorvane("learn s/zmpe/meadow.zm s/zmpe/lakes.zm s/zmpe/village.zm s/zmpe/grass_connector.zm "
                            "--connector s/zmpe/grass_connector.zm -o data.zg",
                            dir);
        EXPECT_EQ(r.status, 0) << r.err;
    }
};

}  // namespace

TEST_F(GenerateCli, GeneratesAMapThatPassesTheCheckAndTheSameOneForTheSameSeed) {
    auto r = RunZorvane("generate data.zg -o a.zl --size 30x20 --seed 5 --threads 1", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Map generated in "), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("row "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("elapsed "), std::string::npos) << r.err;
    Project a = ParseZL(ReadWholeFile(dir.file("a.zl")));
    EXPECT_EQ(a.MapWidth, 34);
    EXPECT_EQ(a.MapHeight, 24);
    EXPECT_GT(a.BitmapCount, 0);

    auto check = RunZorvane("check a.zl data.zg", dir);
    EXPECT_EQ(check.status, 0) << check.err;
    EXPECT_NE(check.out.find("30 x 20 squares, every square learned and every join allowed."), std::string::npos);

    ASSERT_EQ(RunZorvane("generate data.zg -o b.zl --size 30x20 --seed 5 --threads 1", dir).status, 0);
    EXPECT_EQ(ReadWholeFile(dir.file("a.zl")), ReadWholeFile(dir.file("b.zl")));
    ASSERT_EQ(RunZorvane("generate data.zg -o c.zl --size 30x20 --seed 6 --threads 2", dir).status, 0);
    EXPECT_NE(ReadWholeFile(dir.file("a.zl")), ReadWholeFile(dir.file("c.zl")));
    EXPECT_EQ(RunZorvane("check c.zl data.zg", dir).status, 0);
}

TEST_F(GenerateCli, WritesAMapProjectInTheAskedVariant) {
    auto r = RunZorvane("generate data.zg -o a.zl --zm a.zm --variant zme --size 12x10 --threads 2", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    MapFile m = ParseZM(ReadWholeFile(dir.file("a.zm")));
    EXPECT_EQ(m.Width, 16);
    EXPECT_EQ(m.Height, 14);
    EXPECT_TRUE(FileExists(m.ZpPath)) << m.ZpPath;
    EXPECT_EQ(RunZorvane("check a.zm data.zg", dir).status, 0);
}

TEST_F(GenerateCli, ANewTileSetTheMapProjectNeedsGoesBesideItUnasked) {
    // The data file's tile set is "zmpe": a "zme" map project needs a new one.
    auto r = RunZorvane("generate data.zg -o a.zl --zm a.zm --variant zme --size 12x10 --threads 1 --seed 2 -v", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ParseZM(ReadWholeFile(dir.file("a.zm"))).ZpPath, dir.file("a.zp"));
    EXPECT_TRUE(FileExists(dir.file("a.zp")));
    EXPECT_EQ(r.err.find("internal error"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Create new *.zp"), std::string::npos) << r.err;
}

// Every square at fault is named (by its bitmaps), in row order, up to a
// limit, with their count; --json gives the same as data.
TEST_F(GenerateCli, CheckNamesEverySquareThatBreaksAJoin) {
    ASSERT_EQ(RunZorvane("generate data.zg -o a.zl --size 40x30 --seed 1 --threads 1", dir).status, 0);
    Project p = ParseZL(ReadWholeFile(dir.file("a.zl")));
    // The first `count` inner squares from (2, 4) on, row by row, become
    // squares that are not learned at all; their joins are not reported.
    const auto spoil = [&](int count) {
        for (auto& t : p.UsedTiles) {
            const int inner = (t->Y - 2) * 40 + (t->X - 2);
            if (t->X >= 2 && t->X < 42 && t->Y >= 2 && t->Y < 32 && inner >= 80 && inner < 80 + count)
                t->Sq[0] = MapSquare{60000, NoBitmap, 0};
        }
    };
    spoil(3);
    SaveFileAtomically(dir.file("bad.zl"), EncodeZL(p));
    auto r = RunZorvane("check bad.zl data.zg", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "zorvane check: square (2, 4) [ground 60000, no top] is not a learned square.\n"
                     "zorvane check: square (3, 4) [ground 60000, no top] is not a learned square.\n"
                     "zorvane check: square (4, 4) [ground 60000, no top] is not a learned square.\n"
                     "zorvane check: bad.zl: 3 squares at fault.\n");
    spoil(120);
    SaveFileAtomically(dir.file("bad.zl"), EncodeZL(p));
    r = RunZorvane("check bad.zl data.zg", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("bad.zl: 120 squares at fault, the first 100 listed."), std::string::npos) << r.err;
    r = RunZorvane("check bad.zl data.zg --json", dir);
    EXPECT_EQ(r.status, 1);
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["valid"], false);
    EXPECT_EQ(j["squares_at_fault"], 120);
    ASSERT_EQ(j["listed"].size(), 100u);
    EXPECT_EQ(j["listed"][99]["x"], 2 + 99 % 40);
    EXPECT_EQ(j["listed"][99]["y"], 4 + 99 / 40);
    EXPECT_EQ(j["listed"][0]["ground"], 60000);
    EXPECT_TRUE(j["listed"][0]["top"].is_null());
    r = RunZorvane("check a.zl data.zg --json", dir);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(nlohmann::json::parse(r.out)["valid"], true);
    r = RunZorvane("check data.zg data.zg", dir);
    EXPECT_EQ(r.status, 1);
}

// The largest time limit accepted works: the run completes and is no
// "time limit reached".
TEST_F(GenerateCli, TheLargestTimeLimitLetsTheRunComplete) {
    auto r = RunZorvane("generate data.zg -o a.zl --size 10x10 --seed 3 --threads 1 --timeout 1000000000", dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Map generated in "), std::string::npos) << r.out;
}

TEST_F(GenerateCli, RefusesBadOptions) {
    auto r = RunZorvane("generate data.zg -o a.zl --size 9x20", dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("10..202"), std::string::npos) << r.err;
    r = RunZorvane("generate data.zg -o a.zl --threads 5", dir);
    EXPECT_NE(r.err.find("from 1 to 4"), std::string::npos) << r.err;
    r = RunZorvane("generate data.zg -o a.zm", dir);
    EXPECT_NE(r.err.find("-o names a *.zl file."), std::string::npos) << r.err;
    r = RunZorvane("generate data.zg -o a.zl --variant zme", dir);
    EXPECT_EQ(r.status, 1);
    r = RunZorvane("generate s/zmpe/samples.zp -o a.zl", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(FileExists(dir.file("a.zl")));
}

// The progress line counts the rows of the map without its border, calls
// the attempts at the first line so, and its last line shows the state the
// run ended in (lines that came too soon after another are not shown).
TEST_F(GenerateCli, TheProgressLineCountsInnerRowsAndEndsWithTheFinalState) {
    auto r = RunZorvane("generate data.zg -o a.zl --size 12x10 --seed 4 --threads 1", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.err);
    std::string last;
    for (std::string line; std::getline(lines, line);) {
        int row = 0, rows = 0;
        if (std::sscanf(line.c_str(), "row %d/%d", &row, &rows) != 2) continue;
        EXPECT_EQ(rows, 10) << line;
        EXPECT_GE(row, 1) << line;
        EXPECT_LE(row, rows) << line;
        EXPECT_NE(line.find("first line attempt "), std::string::npos) << line;
        last = line;
    }
    EXPECT_EQ(last.rfind("row 10/10 ", 0), 0u) << r.err;
    // The closing "Map generated in N attempt." counts what the last line
    // shows as the first line attempt.
    int attempt = -1;
    ASSERT_EQ(std::sscanf(r.out.c_str(), "Map generated in %d attempt.", &attempt), 1) << r.out;
    EXPECT_NE(last.find("  first line attempt " + std::to_string(attempt) + "  "), std::string::npos)
        << last << "\n" << r.out;
}

TEST_F(GenerateCli, ATimeLimitStopsTheRunWithAnErrorStatus) {
    auto r = RunZorvane("generate data.zg -o a.zl --size 202x202 --timeout 0.001 --threads 2", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Map generator stopped: time limit reached. Generating time: "), std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("by user"), std::string::npos) << r.err;
    EXPECT_TRUE(FileExists(dir.file("a.zl")));
}

// Runs a large generation in the background and, once its progress line
// shows, sends it SIGINT. Returns its exit status line and standard error.
static std::pair<std::string, std::string> Interrupted(const TempDir& dir,
                                                       const std::string& kills = "kill -INT $pid; ") {
    const std::string cmd = "cd '" + dir.path().string() + "' && ('" + ZORVANE_CLI_PATH +
                            "' generate data.zg -o a.zl --size 202x202 --threads 2 2>err.txt & pid=$!; "
                            "for i in $(seq 1 2000); do grep -q row err.txt 2>/dev/null && break; sleep 0.005; done; " +
                            kills + "wait $pid; echo status=$?)";
    FILE* pipe = ::popen(cmd.c_str(), "r");
    std::string out;
    char buf[256];
    while (pipe && std::fgets(buf, sizeof buf, pipe)) out += buf;
    if (pipe) ::pclose(pipe);
    const auto errBytes = ReadWholeFile(dir.file("err.txt"));
    return {out, std::string(errBytes.begin(), errBytes.end())};
}

// (A second Ctrl+C terminates the threads; two signals sent at once may
// arrive as one, so the core tests check the terminate.)
TEST_F(GenerateCli, CtrlCStopsTheRunLikeEsc) {
    auto [out, err] = Interrupted(dir);
    if (out.find("status=0") != std::string::npos) GTEST_SKIP() << "the map was complete before the signal came";
    EXPECT_NE(out.find("status=1"), std::string::npos) << out << err;
    EXPECT_NE(err.find("Map generator stopped by user. Generating time: "), std::string::npos) << err;
    EXPECT_EQ(err.find("threads terminated."), std::string::npos) << err;
    EXPECT_TRUE(FileExists(dir.file("a.zl")));
}

// Presses that come while the map is being saved are counted, not fatal:
// the map as far as it got is written and nothing is left behind.
TEST_F(GenerateCli, MoreCtrlCPressesStillSaveTheMap) {
    auto [out, err] = Interrupted(dir, "kill -INT $pid; sleep 0.02; kill -INT $pid; for i in 1 2 3 4 5 6 7 8; do "
                                       "sleep 0.002; kill -INT $pid 2>/dev/null; done; ");
    if (out.find("status=0") != std::string::npos) GTEST_SKIP() << "the map was complete before the signal came";
    EXPECT_NE(out.find("status=1"), std::string::npos) << out << err;
    EXPECT_TRUE(FileExists(dir.file("a.zl"))) << err;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().string().find("zorvane-tmp"), std::string::npos) << entry.path();
}
