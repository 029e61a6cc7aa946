// zorvane generate and zorvane check on the sample content.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <thread>

#include "cli_runner.h"
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

TEST_F(GenerateCli, CheckNamesTheFirstSquareThatBreaksAJoin) {
    ASSERT_EQ(RunZorvane("generate data.zg -o a.zl --size 12x10 --seed 1 --threads 1", dir).status, 0);
    Project p = ParseZL(ReadWholeFile(dir.file("a.zl")));
    // Square (5, 4) takes the ground of a water square that no grass
    // square has beside it, or any square that is not learned at all.
    for (auto& t : p.UsedTiles)
        if (t->X == 5 && t->Y == 4) t->Sq[0] = TSq{60000, NoBitmap, 0};
    SaveFileAtomically(dir.file("bad.zl"), EncodeZL(p));
    auto r = RunZorvane("check bad.zl data.zg", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("square (5, 4) [ground 60000, top 65535] is not a learned square."), std::string::npos)
        << r.err;
    r = RunZorvane("check data.zg data.zg", dir);
    EXPECT_EQ(r.status, 1);
}

TEST_F(GenerateCli, RefusesBadOptions) {
    auto r = RunZorvane("generate data.zg -o a.zl --size 9x20", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("--size takes WxH, each 10 to 202."), std::string::npos) << r.err;
    r = RunZorvane("generate data.zg -o a.zl --threads 5", dir);
    EXPECT_NE(r.err.find("--threads takes 1 to 4."), std::string::npos) << r.err;
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
