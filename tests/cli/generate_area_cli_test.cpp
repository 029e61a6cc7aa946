// zorvane generate --into MAP --area X,Y,W,H on a generated map of the
// sample content.

#include <gtest/gtest.h>

#include "cli_runner.h"
#include "generator/map_check.h"
#include "model/layered_file.h"
#include "platform/file_io.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

struct GenerateAreaCli : ::testing::Test {
    TempDir dir;
    GenerateAreaCli() {
        EXPECT_EQ(RunZorvane("samples s", dir).status, 0);
        auto r = RunZorvane("learn s/zmpe/meadow.zm s/zmpe/lakes.zm s/zmpe/village.zm s/zmpe/grass_connector.zm "
                            "--connector s/zmpe/grass_connector.zm -o data.zg",
                            dir);
        EXPECT_EQ(r.status, 0) << r.err;
        r = RunZorvane("generate data.zg -o map.zl --size 30x20 --seed 5 --threads 1", dir);
        EXPECT_EQ(r.status, 0) << r.err;
    }
};

}  // namespace

TEST_F(GenerateAreaCli, RenewsTheAreaOnlyAndTheSameWayForTheSameSeed) {
    auto r = RunZorvane("generate data.zg --into map.zl --area 6,5,12,8 --seed 3 -o a.zl", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Generated 12 x 8 squares at (6, 5)."), std::string::npos) << r.out;
    EXPECT_EQ(RunZorvane("check a.zl data.zg", dir).status, 0);
    const auto before = VisibleSquares(ParseZL(ReadWholeFile(dir.file("map.zl"))));
    const auto after = VisibleSquares(ParseZL(ReadWholeFile(dir.file("a.zl"))));
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        const int x = static_cast<int>(i % 34), y = static_cast<int>(i / 34);
        if (x >= 6 && x < 18 && y >= 5 && y < 13) continue;
        ASSERT_EQ(before[i], after[i]) << x << "," << y;
    }
    ASSERT_EQ(RunZorvane("generate data.zg --into map.zl --area 6,5,12,8 --seed 3 -o b.zl", dir).status, 0);
    EXPECT_EQ(ReadWholeFile(dir.file("a.zl")), ReadWholeFile(dir.file("b.zl")));
}

TEST_F(GenerateAreaCli, RefusesAreasItCannotFillAndWritesNothing) {
    const std::pair<const char*, const char*> cases[] = {
        {"--into map.zl --area 30,5,5,5", "is not inside the map's inner squares"},
        {"--into map.zl --area 6,5,0,5", "it needs at least one square"},
        {"--into map.zl --area 6,5,5", "--area takes X,Y,W,H"},
        {"--into map.zl", "--into and --area go together"},
        {"--into map.zl --area 6,5,5,5 --size 20x20", "--size applies to a whole new map"},
        {"--into odd.zl --area 6,5,5,5", "square (5, 7) [ground 4000, top 4001] next to the area is not a learned"},
    };
    // A map with a square the data never learned.
    Project odd = ParseZL(ReadWholeFile(dir.file("map.zl")));
    odd.UsedTiles[static_cast<std::size_t>(7 * 34 + 5)]->Sq.front() = MapSquare{4000, 4001, 0};
    WriteBytes(dir.file("odd.zl"), EncodeZL(odd));
    for (const auto& [args, text] : cases) {
        auto r = RunZorvane(std::string("generate data.zg ") + args + " -o out.zl", dir);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_NE(r.err.find(text), std::string::npos) << args << ": " << r.err;
        EXPECT_FALSE(FileExists(dir.file("out.zl"))) << args;
    }
}
