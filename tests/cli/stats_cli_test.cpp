// zorvane stats on generated maps against the sample maps they were learned from.

#include <gtest/gtest.h>

#include <fstream>

#include <nlohmann/json.hpp>

#include "cli_runner.h"
#include "generator/map_check.h"
#include "model/layered_file.h"
#include "model/map_file.h"
#include "platform/file_io.h"

using namespace zorvane;
using namespace zorvane::testing;
using Json = nlohmann::json;

namespace {

const std::string kExamples = "s/zmpe/meadow.zm s/zmpe/lakes.zm s/zmpe/village.zm";

struct StatsCli : ::testing::Test {
    TempDir dir;
    StatsCli() {
        EXPECT_EQ(RunZorvane("samples s", dir).status, 0);
        auto r = RunZorvane("learn " + kExamples + " s/zmpe/grass_connector.zm --connector s/zmpe/grass_connector.zm "
                            "-o data.zg", dir);
        EXPECT_EQ(r.status, 0) << r.err;
        for (const char* seed : {"1", "2"}) {
            r = RunZorvane(std::string("generate data.zg -o g") + seed + ".zl --size 24x16 --threads 1 --seed " + seed,
                           dir);
            EXPECT_EQ(r.status, 0) << r.err;
        }
    }

    Json StatsJson(const std::string& args) {
        const auto r = RunZorvane("stats " + args + " --json", dir);
        EXPECT_EQ(r.status, 0) << r.err;
        return Json::parse(r.out);
    }
};

// The inner squares of a map file of either kind, read by the model's readers.
std::vector<MapSquare> Inner(const std::string& path) {
    const auto bytes = ReadWholeFile(path);
    std::vector<MapSquare> all;
    int w = 0, h = 0;
    if (path.ends_with(".zl")) {
        const Project p = ParseZL(bytes);
        all = VisibleSquares(p);
        w = p.MapWidth;
        h = p.MapHeight;
    } else {
        MapFile m = ParseZM(bytes);
        all = m.Squares;
        w = m.Width;
        h = m.Height;
    }
    std::vector<MapSquare> inner;
    for (int y = BorderWidth; y < h - BorderWidth; ++y)
        for (int x = BorderWidth; x < w - BorderWidth; ++x) inner.push_back(all[static_cast<std::size_t>(y * w + x)]);
    return inner;
}

// Shares of every (ground, top) pair over the inner squares of some maps.
std::map<std::pair<int, int>, double> Shares(const std::vector<std::string>& paths) {
    std::map<std::pair<int, int>, double> counts;
    double total = 0;
    for (const auto& path : paths)
        for (const MapSquare& q : Inner(path)) {
            counts[{q.Gnd, q.Top}] += 1;
            total += 1;
        }
    for (auto& [key, count] : counts) count /= total;
    return counts;
}

}  // namespace

TEST_F(StatsCli, GeneratedMapsAgainstTheirExamplesMatchAPlainCount) {
    const Json j = StatsJson("g1.zl g2.zl --against " + kExamples);
    EXPECT_EQ(j["maps"]["files"], Json({"g1.zl", "g2.zl"}));
    EXPECT_EQ(j["maps"]["squares"], 2 * 24 * 16);
    EXPECT_EQ(j["examples"]["squares"], 30 * 30 + 40 * 40 + 50 * 40);  // their sizes without borders

    // The distance from shares counted here, square by square.
    const auto maps = Shares({dir.file("g1.zl"), dir.file("g2.zl")});
    const auto examples = Shares({dir.file("s/zmpe/meadow.zm"), dir.file("s/zmpe/lakes.zm"),
                                  dir.file("s/zmpe/village.zm")});
    double distance = 0;
    for (const auto& [key, share] : maps) distance += std::abs(share - (examples.contains(key) ? examples.at(key) : 0));
    for (const auto& [key, share] : examples) distance += maps.contains(key) ? 0 : share;
    EXPECT_NEAR(j["square_frequency_distance"].get<double>(), distance / 2, 1e-9);
    EXPECT_GT(distance, 0);

    // Every square listed once with its share; the classes add up to the whole.
    double shares = 0;
    for (const auto& f : j["maps"]["square_frequencies"]) {
        const std::pair<int, int> key{f["ground"].is_null() ? NoBitmap : f["ground"].get<int>(),
                                      f["top"].is_null() ? NoBitmap : f["top"].get<int>()};
        EXPECT_NEAR(f["share"].get<double>(), maps.at(key), 1e-12);
        shares += f["share"].get<double>();
    }
    EXPECT_EQ(j["maps"]["square_frequencies"].size(), maps.size());
    EXPECT_NEAR(shares, 1.0, 1e-9);
    std::int64_t squares = 0;
    bool deepWater = false;
    for (const auto& c : j["examples"]["attribute_classes"]) {
        squares += c["squares"].get<std::int64_t>();
        std::int64_t regions = 0;
        for (const auto& b : c["region_sizes"]) regions += b["regions"].get<std::int64_t>();
        EXPECT_EQ(regions, c["regions"]);
        EXPECT_GE(c["mean_horizontal_run"].get<double>(), 1.0);
        if (c["name"] == "deep water") deepWater = c["attribute"] == 10;
    }
    EXPECT_EQ(squares, j["examples"]["squares"]);
    EXPECT_TRUE(deepWater) << j["examples"]["attribute_classes"].dump();

    // Maps against themselves are no distance apart.
    EXPECT_EQ(StatsJson(kExamples + " --against " + kExamples)["square_frequency_distance"], 0.0);
}

TEST_F(StatsCli, TextNamesTheClassesAndTheDistanceOnlyWithExamples) {
    auto r = RunZorvane("stats g1.zl", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("maps: 1 file, 384 squares (borders left out)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  open (0)\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("region sizes, maps: 1: "), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("distance"), std::string::npos) << r.out;
    r = RunZorvane("stats g1.zl --against s/zmpe/meadow.zm", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("examples: 1 file, 900 squares"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("square frequency distance: 0."), std::string::npos) << r.out;
}

TEST_F(StatsCli, RefusesFilesThatAreNoMapsAndWrongUsage) {
    std::ofstream(dir.file("bad.zm"), std::ios::binary) << "ZLF5\x03" "abc";
    auto r = RunZorvane("stats g1.zl --against bad.zm", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.starts_with("zorvane stats: bad.zm: ")) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;

    r = RunZorvane("stats data.zg", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "zorvane stats: data.zg: not a map project (*.zm) or layered project (*.zl).\n");

    EXPECT_EQ(RunZorvane("stats missing.zl", dir).status, 2);
    EXPECT_EQ(RunZorvane("stats g1.zl --against", dir).status, 2);
    r = RunZorvane("stats", dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.starts_with("zorvane stats: ")) << r.err;
}
