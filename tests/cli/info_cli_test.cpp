// zorvane info: texts that are not UTF-8, the generator data file's settings
// in words, and what reading a large tile set costs.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "cli_runner.h"
#include "generator/settings_table.h"
#include "generator/zg_file.h"
#include "measured_run.h"
#include "model/bytes.h"
#include "model/layered_file.h"
#include "model/map_file.h"
#include "model/tileset_file.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

// A folder named on Western Windows, as its programs store it (Windows-1252),
// and as it reads.
const std::string kAnsiFolder = "C:\\Karten f\xFCr \xDC" "bungen \x80\\";
const std::string kShownFolder = "C:\\Karten für Übungen €\\";

Project SmallProject(const std::string& zpPath) {
    Project p;
    FillTestPalette(p);
    AddPatternBitmaps(p, 2);
    p.NewTiles.push_back(MakeTile(1, 1, 0, 0, 1));
    p.UsedTiles.push_back(MakeTile(1, 1, 3, 3, 0));
    p.ZpPath = zpPath;
    p.MapWidth = p.MapHeight = 14;
    p.FlatSquares.assign(14 * 14, MapSquare{0, NoBitmap, 0});
    return p;
}

// A key as the text shows it: words between spaces.
std::string Label(std::string key) {
    std::replace(key.begin(), key.end(), '_', ' ');
    return key;
}

// Lower-case words joined by "_".
bool WordsKey(const std::string& key) {
    return !key.empty() && key.front() != '_' && key.back() != '_' && key.find("__") == std::string::npos &&
           key.find_first_not_of("abcdefghijklmnopqrstuvwxyz_") == std::string::npos;
}

// The lines of the text output that begin with `label` after any indentation,
// without the label.
std::vector<std::string> ValuesOf(const std::string& text, const std::string& label) {
    std::vector<std::string> values;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const auto at = line.find_first_not_of(" -");
        if (at != std::string::npos && line.compare(at, label.size() + 2, label + ": ") == 0)
            values.push_back(line.substr(at + label.size() + 2));
    }
    return values;
}

}  // namespace

// Stored paths in the code page of the Windows program that wrote them, in
// every kind of file, and a file name that is not UTF-8 either: the JSON is
// valid UTF-8 and shows them as they read; the text shows the same.
TEST(InfoCli, PathsThatAreNotUtf8AreShownAsTheyRead) {
    TempDir dir;
    const Project p = SmallProject(kAnsiFolder + "set.zp");
    GeneratorSettings settings;
    settings.LearnList.push_back({kAnsiFolder + "a.zm", 2, false});
    settings.BackupPath = kAnsiFolder + "backup.zl";
    MapGenerator generator;
    const std::string oddName = "m\xE9.zm";  // a Latin-1 name on a UTF-8 system
    WriteBytes(dir.file(oddName), EncodeZM(p, TileSetVariant::Zmpe));
    WriteBytes(dir.file("map.zm"), EncodeZM(p, TileSetVariant::Zme));
    WriteBytes(dir.file("layers.zl"), EncodeZL(p));
    WriteBytes(dir.file("set.zp"), EncodeZP(p, TileSetVariant::Zme));
    WriteBytes(dir.file("data.zg"), EncodeZG(p, generator, settings));

    const std::vector<std::pair<std::string, std::vector<std::string>>> cases{
        {"'" + oddName + "'", {"tile_set_path"}},
        {"map.zm", {"tile_set_path"}},
        {"layers.zl", {"tile_set_path"}},
        {"set.zp", {"stored_path"}},
        {"data.zg", {"tile_set_path", "learning_list/0/path", "settings/backup_path"}},
    };
    for (const auto& [name, pointers] : cases) {
        SCOPED_TRACE(name);
        const CliOutcome json = RunZorvane("info --json " + name, dir);
        ASSERT_EQ(json.status, 0) << json.err;
        const auto j = nlohmann::json::parse(json.out);  // refuses text that is not UTF-8
        for (const std::string& pointer : pointers) {
            const std::string shown = j.at(nlohmann::json::json_pointer("/" + pointer));
            EXPECT_EQ(shown.rfind(kShownFolder, 0), 0u) << pointer << ": " << shown;
        }
        const CliOutcome text = RunZorvane("info " + name, dir);
        ASSERT_EQ(text.status, 0) << text.err;
        const std::string key = pointers.back().substr(pointers.back().rfind('/') + 1);
        const auto values = ValuesOf(text.out, Label(key));
        ASSERT_EQ(values.size(), 1u) << text.out;
        EXPECT_EQ(values[0], j.at(nlohmann::json::json_pointer("/" + pointers.back())).get<std::string>());
    }
    // The name as given, with the byte that is not UTF-8 replaced.
    const auto j = nlohmann::json::parse(RunZorvane("info --json '" + oddName + "'", dir).out);
    EXPECT_EQ(j["file"], "m\uFFFD.zm");
    EXPECT_EQ(RunZorvane("info '" + oddName + "'", dir).out.rfind("m\uFFFD.zm\n", 0), 0u);
}

// The settings of a generator data file are keyed by words, not by the
// window's control names, and the text shows each as a line in words with
// its value, the learning list as entries and the chart's points as pairs.
TEST(InfoCli, GeneratorSettingsAreShownInWords) {
    TempDir dir;
    GeneratorSettings settings;
    settings.LearnList = {{"/maps/a.zm", 3, false}, {"/maps/grass.zm", 1, true}};
    settings.WidthWithoutBorders = 57;
    settings.ScheduleOfRepeats = "10-1; 20-2";
    Project project;
    MapGenerator generator;
    WriteBytes(dir.file("data.zg"), EncodeZG(project, generator, settings));

    const CliOutcome json = RunZorvane("info --json data.zg", dir);
    ASSERT_EQ(json.status, 0) << json.err;
    const auto shown = nlohmann::ordered_json::parse(json.out).at("settings");
    std::set<std::string> keys;
    for (const auto& [key, value] : shown.items()) {
        EXPECT_TRUE(WordsKey(key)) << key;
        keys.insert(key);
    }
    EXPECT_EQ(keys.size(), GeneratorSettingRows().size() + 1);  // and the chart
    for (const SettingRow& row : GeneratorSettingRows()) {
        std::string control(row.Control);
        for (auto& c : control) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(keys.count(control), 0u) << control;
    }
    EXPECT_EQ(shown.at("map_width"), 57);
    EXPECT_EQ(shown.at("schedule_of_repeats"), "10-1; 20-2");

    const CliOutcome text = RunZorvane("info data.zg", dir);
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out.find_first_of("{}\""), std::string::npos) << text.out;  // no JSON
    for (const auto& [key, value] : shown.items()) {
        if (value.is_object()) continue;
        const auto values = ValuesOf(text.out, Label(key));
        ASSERT_EQ(values.size(), 1u) << key << "\n" << text.out;
        EXPECT_EQ(values[0], value.is_string() ? value.get<std::string>() : value.dump()) << key;
    }
    EXPECT_EQ(ValuesOf(text.out, "path"), (std::vector<std::string>{"/maps/a.zm", "/maps/grass.zm"}));
    EXPECT_EQ(ValuesOf(text.out, "multiplier"), (std::vector<std::string>{"3", "1"}));
    EXPECT_NE(text.out.find("\n    - path: /maps/grass.zm\n      multiplier: 1\n      connector: true\n"),
              std::string::npos)
        << text.out;
    EXPECT_EQ(ValuesOf(text.out, "points"), std::vector<std::string>{"(0, 100) (200, 100)"});
}

// A summary of a tile set of 65,535 bitmaps holds hardly more memory than
// one of a tile set of two: its 64 MiB of bitmaps are not read.
TEST(InfoCli, ALargeTileSetIsSummarisedWithoutReadingItsBitmaps) {
    TempDir dir;
    const std::string path = dir.file("big.zp");
    {
        // Written in pieces, so that this process stays small: the child's
        // measured peak counts what its parent held.
        ByteWriter head;
        head.text("ZTP0");
        head.u32(2);
        head.u32(MaxBitmaps);
        head.u32(2);
        head.bytes(DefaultInfoHeader(true));
        head.bytes(std::vector<std::uint8_t>(1024, 7));
        head.text("BITS");
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(head.data().data()), static_cast<std::streamsize>(head.size()));
        const std::vector<char> pixels(std::size_t{1} << 20, 9);
        for (std::size_t left = std::size_t{MaxBitmaps} * BitmapBytes; left > 0;) {
            const std::size_t n = std::min(left, pixels.size());
            out.write(pixels.data(), static_cast<std::streamsize>(n));
            left -= n;
        }
        ByteWriter tiles;
        for (int t = 0; t < 2; ++t) {
            tiles.text("TIL1");
            for (std::uint8_t b : {1, 1, 3, 0, 0, 0, 255, 255, 4}) tiles.u8(b);
        }
        out.write(reinterpret_cast<const char*>(tiles.data().data()), static_cast<std::streamsize>(tiles.size()));
    }
    const auto fileKiB = static_cast<long>(std::filesystem::file_size(path) / 1024);
    WriteBytes(dir.file("small.zp"), EncodeZP(SmallProject("/maps/small.zp"), TileSetVariant::Zmpe));

    const MeasuredRun small = RunMeasured({ZORVANE_CLI_PATH, "info", "small.zp"}, dir.path().string());
    const MeasuredRun big = RunMeasured({ZORVANE_CLI_PATH, "info", "--json", "big.zp"}, dir.path().string(),
                                        dir.file("out.json"));
    ASSERT_EQ(small.status, 0);
    ASSERT_EQ(big.status, 0);
    std::ifstream in(dir.file("out.json"));
    const auto j = nlohmann::json::parse(in);
    EXPECT_EQ(j["bitmaps"], MaxBitmaps);
    EXPECT_EQ(j["tiles"], 2);
    EXPECT_LT(big.peakKiB, small.peakKiB + fileKiB / 8)
        << "peak " << big.peakKiB << " KiB, " << small.peakKiB << " KiB for two bitmaps";
}
