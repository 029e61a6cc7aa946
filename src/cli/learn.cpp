// zorvane learn: learns from map projects as the generator settings
// window's "Learn" does and saves the result as a generator data file,
// which holds the union tile set (palette, bitmaps, tiles) with the learned
// data and the settings. zorvane info summarises such a file.

#include <algorithm>
#include <iostream>
#include <type_traits>

#include "commands.h"
#include "console_ui.h"
#include "generator/learning/learn.h"
#include "generator/session.h"
#include "generator/settings_table.h"
#include "generator/zg_file.h"
#include "generator_data.h"
#include "loading.h"
#include "outputs.h"
#include "platform/file_io.h"

namespace zorvane::cli {

namespace {

// The console user, keeping the settings window's status label too.
class LearnUi : public ConsoleUi {
public:
    LearnUi() : ConsoleUi("learn") {}
    void setActivity(std::string_view text) override {
        generatorStatus = text;
        if (verbose) std::cerr << text << "\n";
    }
    std::string generatorStatus;
};

// The learning list entry a command-line name refers to.
LearnEntry* EntryFor(GeneratorSettings& settings, const std::string& name) {
    const std::string path = AbsolutePath(name);
    for (auto& e : settings.LearnList)
        if (e.Path == path) return &e;
    throw Error(name + " is not one of the maps to learn from.");
}

void ApplyMultiplier(GeneratorSettings& settings, const std::string& option) {
    const auto eq = option.rfind('=');
    if (eq == std::string::npos) throw Error("--multiplier takes MAP=N, not " + option + ".");
    const std::string value = option.substr(eq + 1);
    int n = 0;
    bool digits = !value.empty() && value.size() <= 3;
    for (char c : value) digits = digits && c >= '0' && c <= '9';
    if (digits) n = std::stoi(value);
    if (!digits || n < MinMultiplier || n > MaxMultiplier)
        throw Error("The multiplier of " + option.substr(0, eq) + " must be 1 to 100, not " + value + ".");
    EntryFor(settings, option.substr(0, eq))->Multiplier = n;
}

// Every setting under its JSON key, in the table's JSON order, then the
// object size chart.
nlohmann::ordered_json SettingsJson(const GeneratorSettings& s) {
    std::vector<const SettingRow*> rows;
    for (const SettingRow& row : GeneratorSettingRows()) rows.push_back(&row);
    std::ranges::sort(rows, {}, [](const SettingRow* row) { return row->JsonPlace; });
    nlohmann::ordered_json j;
    for (const SettingRow* row : rows) {
        VisitSetting(*row, s, [&](const auto& value) {
            if constexpr (std::is_same_v<std::remove_cvref_t<decltype(value)>, std::string>)
                j[std::string(row->JsonKey)] = TextAsShown(*row, value);  // as the file stores it
            else
                j[std::string(row->JsonKey)] = value;
        });
    }
    auto points = nlohmann::ordered_json::array();
    for (int i = 0; i < s.ObjectChart.GetPointsCount(); ++i) {
        auto [x, y] = s.ObjectChart.GetPointData(i);
        points.push_back({x, y});
    }
    j["object_chart"] = {{"largest", s.ObjectChart.Largest()}, {"points", points}};
    return j;
}

}  // namespace

nlohmann::ordered_json GeneratorDataInfo(std::span<const std::uint8_t> bytes) {
    GeneratorPreset p = ParseZG(bytes);
    std::int64_t joins = 0;
    for (const auto& s : p.Squares) joins += static_cast<std::int64_t>(s.Down.size() + s.Right.size());
    int largest = 0;
    for (std::size_t i = 0; i + 1 < p.ObjSize.size(); ++i) largest = std::max(largest, p.ObjSize[i]);
    nlohmann::ordered_json j;
    j["format"] = "generator data";
    j["learned_squares"] = p.Squares.size();
    j["joins"] = joins;
    j["objects"] = p.ObjStarts.size();
    j["largest_object"] = largest;
    j["tallest_object"] = p.TallestObject;
    j["bitmaps"] = p.BitmapCount;
    j["tiles"] = p.Tiles.size();
    j["variant"] = p.ZmeVariant ? "zme" : "zmpe";
    j["tile_set_path"] = p.ZpPath;
    auto list = nlohmann::ordered_json::array();
    for (const auto& e : p.Settings.LearnList)
        list.push_back({{"path", e.Path}, {"multiplier", e.Multiplier}, {"connector", e.Connector}});
    j["learning_list"] = list;
    j["settings"] = SettingsJson(p.Settings);
    return j;
}

int Learn(const LearnOptions& o) {
    LearnUi ui;
    ui.verbose = o.verbose;
    try {
        Project project;
        GeneratorSession session;
        MapGenerator& generator = session.generator();
        project.Generator = &generator;
        GeneratorSettings& settings = session.settings();
        for (const auto& map : o.maps) settings.LearnList.push_back({AbsolutePath(map), 1, false});
        for (const auto& m : o.multipliers) ApplyMultiplier(settings, m);
        for (const auto& c : o.connectors) EntryFor(settings, c)->Connector = true;
        if (settings.LearnList.size() > 255)
            return Fail("learn", "A generator data file holds at most 255 maps to learn from.");
        if (o.zp) {
            settings.ForceTileSet = true;
            project.ZpPath = AbsolutePath(*o.zp);
            if (!FileExists(project.ZpPath)) return Fail("learn", "The tile set " + *o.zp + " does not exist.");
        }
        settings.CollectTileSets = o.gatherTiles;
        settings.LearnFrequencies = o.frequencies;
        OutputRules rules{.inputs = o.maps};
        if (o.zp) rules.inputs.push_back(*o.zp);
        const auto& extension = KindEntry(ProjectFileKind::GeneratorData).extension;
        const std::string out = CheckOutputs({{.path = o.out, .extension = extension, .option = "-o"}}, rules).front();
        // A map whose tile set is missing stops learning, naming it.
        const LearnOutcome outcome =
            zorvane::Learn(project, ui, generator, settings, OpenOptions::FailingWhenMissing());
        if (!outcome.Completed) {
            if (!ui.problems.empty()) return Fail("learn", ui);
            return Fail("learn", ui.generatorStatus.empty() ? ui.status() : ui.generatorStatus);
        }
        if (!SaveZGFile(project, ui, generator, settings, out)) return Fail("learn", ui);
        std::cout << outcome.Summary << "\n";
        ReportWritten(out);
        return 0;
    } catch (const Error& e) {
        return Fail("learn", e.what());
    }
}

}  // namespace zorvane::cli
