// zorvane learn and zorvane info on generator data files.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <cstdio>
#include <sstream>
#include <type_traits>

#include "learn_fixtures.h"
#include "cli_runner.h"
#include "generator/settings_table.h"
#include "generator/zg_file.h"
#include "platform/file_io.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

struct LearnCli : ::testing::Test {
    TempDir dir;
    LearnCli() {
        WriteTileSetFile(dir.file("set.zp"), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
        WriteMapFile(dir.file("a.zm"), dir.file("set.zp"), StructuredMap(24, 20, 4, 3, 3));
        WriteMapFile(dir.file("grass.zm"), dir.file("set.zp"),
                     MakeMap(16, 16, [](int x, int y) { return MapSquare{static_cast<std::uint16_t>((x + y) % 3), NoBitmap, 0}; }));
    }
};

}  // namespace

TEST_F(LearnCli, LearnsAndSavesAPresetThatInfoSummarises) {
    auto r = RunZorvane("learn a.zm grass.zm -o out.zg --multiplier a.zm=3 --connector grass.zm", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(" joins of 10 bitmaps; 0 changed id's; 0 added bmp's; 0 added tile sets;"), std::string::npos);
    GeneratorPreset p = ParseZG(ReadWholeFile(dir.file("out.zg")));
    ASSERT_EQ(p.Settings.LearnList.size(), 2u);
    EXPECT_EQ(p.Settings.LearnList[0].Path, dir.file("a.zm"));
    EXPECT_EQ(p.Settings.LearnList[0].Multiplier, 3);
    EXPECT_TRUE(p.Settings.LearnList[1].Connector);
    EXPECT_EQ(p.BitmapCount, 10);

    auto info = RunZorvane("info --json out.zg", dir);
    ASSERT_EQ(info.status, 0) << info.err;
    auto j = nlohmann::json::parse(info.out);
    EXPECT_EQ(j["format"], "generator data");
    EXPECT_EQ(j["learned_squares"].get<std::size_t>(), p.Squares.size());
    EXPECT_EQ(j["learning_list"][0]["multiplier"], 3);
    EXPECT_EQ(j["settings"]["map_width"], 100);
    EXPECT_GE(j["largest_object"].get<int>(), 2);

    auto text = RunZorvane("info out.zg", dir);
    ASSERT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("learned squares: "), std::string::npos);
}

// --verbose shows each step's progress by tenths, every step to its end
// (100 %) before the next begins, though the steps report only every so
// many items; status lines may come between.
TEST_F(LearnCli, VerboseProgressRunsEveryStepToItsEnd) {
    auto r = RunZorvane("learn a.zm grass.zm -o out.zg --connector grass.zm --verbose", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.err);
    int steps = 0, last = -1;
    for (std::string line; std::getline(lines, line);) {
        int percent = -1;
        const bool progress = line.rfind("  ", 0) == 0 && line.size() > 2 && line.back() == '%';
        if (progress && std::sscanf(line.c_str(), "  %d %%", &percent) == 1) {
            EXPECT_EQ(percent % 10, 0) << line;
            if (last < 0 || last == 100) ++steps;  // a step begins
            else EXPECT_GT(percent, last) << r.err;
            last = percent;
        }
    }
    EXPECT_TRUE(last == -1 || last == 100) << r.err;
    EXPECT_GE(steps, 2) << r.err;
}

TEST_F(LearnCli, RefusesBadOptionsAndReportsMissingTileSets) {
    auto r = RunZorvane("learn a.zm -o out.zg --multiplier a.zm=0", dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("1..100"), std::string::npos) << r.err;
    r = RunZorvane("learn a.zm -o out.zg --connector other.zm", dir);
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("not one of the maps"), std::string::npos);

    WriteMapFile(dir.file("lost.zm"), dir.file("nowhere.zp"), MakeMap(14, 14, [](int, int) { return MapSquare{0, NoBitmap, 0}; }));
    r = RunZorvane("learn lost.zm -o out.zg", dir);
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("Learning interrupted - Could not find " + dir.file("nowhere.zp")), std::string::npos);
    EXPECT_FALSE(FileExists(dir.file("out.zg")));
    // The same map learns with a tile set forced for every map.
    r = RunZorvane("learn lost.zm -o out.zg --zp set.zp", dir);
    EXPECT_EQ(r.status, 0) << r.err;

    WriteBytes(dir.file("bad.zg"), {'Z', 'G', 'D', '1', 3});
    r = RunZorvane("info bad.zg", dir);
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("damaged"), std::string::npos);
}

TEST_F(LearnCli, InfoShowsEverySettingUnderItsKeyInTheWindowsOrder) {
    // Every setting away from its default, within its range.
    GeneratorSettings s;
    for (const SettingRow& row : GeneratorSettingRows()) {
        VisitSetting(row, s, [&](auto& field) {
            using Field = std::remove_cvref_t<decltype(field)>;
            if constexpr (std::is_same_v<Field, bool>) field = !field;
            else if constexpr (std::is_same_v<Field, int>) field = row.Range.Max == field ? row.Range.Min : row.Range.Max;
            else field = "text of " + std::string(row.Control);
        });
    }
    Project project;
    MapGenerator gen;
    WriteBytes(dir.file("all.zg"), EncodeZG(project, gen, s));
    auto info = RunZorvane("info --json all.zg", dir);
    ASSERT_EQ(info.status, 0) << info.err;
    const auto settings = nlohmann::ordered_json::parse(info.out)["settings"];

    const std::vector<std::string> keys{
        "map_width", "map_height", "multiplayer", "start_line", "continue_existing_squares", "threads",
        "combinations_limit_position", "simplified_first_line", "schedule_of_repeats", "reduce_local_attempts",
        "other_first_attempts", "first_attempts", "remember_approved_squares", "attempts_remembering_approved_squares",
        "limit_distance_from_farthest_row", "distance_from_farthest_row", "go_back_after_row_time", "rows_to_go_back",
        "seconds_of_one_row", "freeze_correct_fragments", "freeze_hp", "square_preference_position",
        "prefer_most_combinations", "no_identical_neighbours", "force_tile_set", "collect_tile_sets", "learn_frequencies", "backup",
        "backup_every_lines", "save_completed_map", "backup_path", "object_chart"};
    std::vector<std::string> shown;
    for (const auto& [key, value] : settings.items()) shown.push_back(key);
    EXPECT_EQ(shown, keys);
    for (const SettingRow& row : GeneratorSettingRows()) {
        const auto& value = settings[std::string(row.JsonKey)];
        VisitSetting(row, s, [&](const auto& field) {
            EXPECT_EQ(value, nlohmann::ordered_json(field)) << row.JsonKey;
        });
    }
    EXPECT_EQ(settings["map_width"], 202);
    EXPECT_EQ(settings["multiplayer"], false);
    EXPECT_EQ(settings["freeze_hp"], 2147483647);
    EXPECT_EQ(settings["backup_path"], "text of Lbackup");
    EXPECT_EQ(settings["object_chart"]["points"], nlohmann::ordered_json::parse("[[0, 100], [200, 100]]"));
}

TEST_F(LearnCli, FrequenciesAddOnlyTheirBlockAndGenerateValidMapsFromIt) {
    ASSERT_EQ(RunZorvane("learn a.zm grass.zm -o plain.zg --connector grass.zm", dir).status, 0);
    auto r = RunZorvane("learn a.zm grass.zm -o counted.zg --connector grass.zm --frequencies", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto plain = ReadWholeFile(dir.file("plain.zg"));
    const auto counted = ReadWholeFile(dir.file("counted.zg"));
    ASSERT_GT(counted.size(), plain.size());
    EXPECT_TRUE(std::equal(plain.begin(), plain.end(), counted.begin()));
    EXPECT_FALSE(ParseZG(plain).Counts.Present());
    const GeneratorPreset p = ParseZG(counted);
    ASSERT_TRUE(p.Counts.Present());
    // Every inner square of the two maps (20 x 16 and 12 x 12) counted once.
    std::int64_t squares = 0;
    for (std::int64_t c : p.Counts.Squares) squares += c;
    EXPECT_EQ(squares, 20 * 16 + 12 * 12);

    auto info = RunZorvane("info --json counted.zg", dir);
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(nlohmann::json::parse(info.out)["settings"]["learn_frequencies"], true);
    EXPECT_EQ(nlohmann::json::parse(RunZorvane("info --json plain.zg", dir).out)["settings"]["learn_frequencies"],
              false);

    for (const char* seed : {"1", "2"}) {
        auto g = RunZorvane(std::string("generate counted.zg -o map") + seed + ".zl --size 20x16 --threads 1 --seed " +
                                seed,
                            dir);
        ASSERT_EQ(g.status, 0) << g.err;
        auto c = RunZorvane(std::string("check map") + seed + ".zl counted.zg", dir);
        EXPECT_EQ(c.status, 0) << c.out << c.err;
    }
}
