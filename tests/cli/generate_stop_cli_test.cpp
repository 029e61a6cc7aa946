// zorvane generate stopped by its time limit early in a run, then zorvane
// check on what it wrote.

#include <gtest/gtest.h>

#include "cli_runner.h"
#include "generator/zg_file.h"
#include "platform/file_io.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

// The sample content learned, with an object size chart that allows only
// the largest objects (0 % below them): the start row thins its object
// starts, and the rows take a while.
struct LargestObjectsOnly : ::testing::Test {
    TempDir dir;
    LargestObjectsOnly() {
        EXPECT_EQ(RunZorvane("samples s", dir).status, 0);
        auto r = RunZorvane("learn s/zmpe/meadow.zm s/zmpe/lakes.zm s/zmpe/village.zm s/zmpe/grass_connector.zm "
                            "--connector s/zmpe/grass_connector.zm -o data.zg",
                            dir);
        EXPECT_EQ(r.status, 0) << r.err;
        Project project;
        MapGenerator gen;
        project.Generator = &gen;
        GeneratorSettings settings;
        ApplyPreset(ParseZG(ReadWholeFile(dir.file("data.zg"))), project, gen, settings);
        const int n = gen.LargestObject;
        EXPECT_GE(n, 2);
        settings.ObjectChart.SetStoredPoints({{0, 0}, {n - 1, 0}, {n, 100}});
        WriteBytes(dir.file("largest.zg"), EncodeZG(project, gen, settings));
    }
};

}  // namespace

TEST_F(LargestObjectsOnly, ATimeOutLeavesNoPartOfTheStartRow) {
    // What the run wrote holds whole rows that satisfy every join and then
    // rows never generated: the check names the first square of a blank row.
    for (const char* threads : {"1", "4"}) {
        for (const char* seed : {"1", "2"}) {
            SCOPED_TRACE(std::string("threads ") + threads + ", seed " + seed);
            auto r = RunZorvane(std::string("generate largest.zg -o x.zl --size 202x202 --timeout 0.05 --threads ") +
                                    threads + " --seed " + seed,
                                dir);
            ASSERT_EQ(r.status, 1) << r.err;
            auto check = RunZorvane("check x.zl largest.zg", dir);
            EXPECT_EQ(check.status, 1);
            EXPECT_NE(check.err.find("square (2, "), std::string::npos) << check.err;
            EXPECT_NE(check.err.find("[no ground, no top] is not a learned square."), std::string::npos)
                << check.err;
        }
    }
}
