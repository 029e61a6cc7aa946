#include "generator/learning/learn.h"

#include <cstring>

#include "commands/lifecycle.h"
#include "commands/open_commands.h"
#include "generator/learning/learn_steps.h"
#include "generator/learning/objects.h"
#include "model/bitmap_index.h"
#include "model/map_file.h"
#include "model/tile_catalogue.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"

namespace zorvane {

namespace {

constexpr int kReportStep = 50;
using IdTable = std::vector<std::uint16_t>;  // old id -> new id, for all 65536 ids

// Ends learning. `status` is the status label's text (may be empty).
struct LearningStopped {
    std::string status;
};

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A map's id translation: the first pair for an old id wins; ids without
// a pair stay.
IdTable TableOf(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& bmpMap) {
    IdTable table(65536);
    std::vector<bool> set(65536, false);
    for (std::size_t id = 0; id < table.size(); ++id) table[id] = static_cast<std::uint16_t>(id);
    for (auto [from, to] : bmpMap) {
        if (set[from]) continue;
        set[from] = true;
        table[from] = to;
    }
    return table;
}

class Learner {
public:
    Learner(Project& p, UserInterface& ui, LearnedData& g, GeneratorSettings& s, const OpenOptions& options)
        : project_(p), ui_(ui), g_(g), settings_(s), options_(options), n_(static_cast<int>(s.LearnList.size())) {}

    LearnOutcome Run();

private:
    bool CheckMapFiles();
    void Prepare();
    void LoadMap(int i);
    std::string TileSetPath(const MapFile& map);
    void ReadNewTileSet(int i);
    void CompareBitmaps(TileSet& set, LearnedMapProject& map);
    void GatherTiles(TileSet& set, const IdTable& table);
    void Arrange(LearnedMapProject& map);
    void Close(LearnOutcome& outcome);
    void Abandon();
    std::string OfFile() const { return " (file " + std::to_string(k_) + "/" + std::to_string(n_) + ")"; }
    void Report(const std::string& text, int count) {
        if (count % kReportStep != 0) return;
        ui_.setActivity(text + std::to_string(count) + OfFile());
        ui_.processEvents();
    }

    Project& project_;
    UserInterface& ui_;
    LearnedData& g_;
    LearningRun run_;  // the maps read and the connector groups, for this learning only
    GeneratorSettings& settings_;
    const OpenOptions& options_;
    int n_;
    int k_ = 0;  // 1-based number of the map being processed
    LearnOutcome counts_;
    std::unique_ptr<BitmapIndex> index_;
};

// Step 1: every map file must exist; a missing one may be replaced.
bool Learner::CheckMapFiles() {
    std::string lastDirectory;
    for (auto& entry : settings_.LearnList) {
        if (FileExists(entry.Path)) continue;
        ui_.message("Could not find *.zm file",
                    "File does not exist:\r" + entry.Path + "\r" + "Select this file in it" + "'" +
                        "s new directory or stop learning process (click Cancel in the Open Dialog).",
                    Icon::Warning);
        FileDialog dialog{"ODzm", "zme projects|*.zm", {}, false, false, true, true};
        dialog.initialPath = (lastDirectory.empty() ? DirectoryOf(entry.Path) : lastDirectory) +
                             ExtractFileName(entry.Path);
        auto chosen = ui_.chooseFile(dialog);
        if (!chosen) return false;
        entry.Path = *chosen;
        lastDirectory = DirectoryOf(*chosen);
    }
    return true;
}

// Step 2.
void Learner::Prepare() {
    ui_.setStatus("Learning combinations...");
    g_.ClearLearned();
    run_.ZmData.clear();
    run_.ZmData.assign(static_cast<std::size_t>(n_), {});
}

std::string Learner::TileSetPath(const MapFile& map) {
    if (settings_.ForceTileSet) return project_.ZpPath;
    if (FileExists(map.ZpPath)) return map.ZpPath;
    const std::string interrupted = "Learning interrupted - Could not find " + map.ZpPath + ".";
    auto chosen = ReplacementForMissingZP(ui_, map.ZpPath, options_);
    if (!chosen) throw LearningStopped{interrupted};
    return *chosen;
}

// Step 3 for map i.
void Learner::LoadMap(int i) {
    LearnedMapProject& data = run_.ZmData[static_cast<std::size_t>(i)];
    const std::string& path = settings_.LearnList[static_cast<std::size_t>(i)].Path;
    ui_.setActivity("Loading maps... (" + std::to_string(k_) + "/" + std::to_string(n_) + ")");
    ui_.processEvents();
    MapFile map;
    try {
        map = ParseZM(ReadWholeFile(path));
    } catch (const Error& e) {
        throw Error("Could not read " + path + "\r" + e.what());
    }
    data.ZpPath = TileSetPath(map);
    data.Width = map.Width;
    data.Height = map.Height;
    data.Squares = std::move(map.Squares);
    if (i == 0) {
        const std::string zpPath = data.ZpPath;  // a failed read resets the project and with it the learned data
        project_.ZpPath = zpPath;
        if (!OpenZP(project_, ui_, options_))
            throw LearningStopped{"Learning interrupted - Could not read " + zpPath + "."};
        index_ = std::make_unique<BitmapIndex>(project_);
        return;
    }
    bool known = false;
    for (int j = 0; j < i && !known; ++j) {
        const LearnedMapProject& earlier = run_.ZmData[static_cast<std::size_t>(j)];
        if (earlier.ZpPath != data.ZpPath) continue;
        data.BmpMap = earlier.BmpMap;
        known = true;
    }
    if (!known) ReadNewTileSet(i);
    Arrange(data);
}

// Items 6 to 9: a tile set not met before joins the project's.
void Learner::ReadNewTileSet(int i) {
    LearnedMapProject& data = run_.ZmData[static_cast<std::size_t>(i)];
    project_.ZpModified = true;
    project_.ZpPath.clear();
    TileSet set;
    try {
        set = ParseZP(ReadWholeFile(data.ZpPath));
    } catch (const Error& e) {
        throw Error("Could not open " + data.ZpPath + "\r" + e.what());
    }
    if (set.BottomUpRows != project_.BottomUpRows)
        for (int b = 0; b < set.BitmapCount; ++b) FlipBitmapRows(set.Pixels.data() + static_cast<std::size_t>(b) * BitmapBytes);
    CompareBitmaps(set, data);
    if (settings_.CollectTileSets) GatherTiles(set, TableOf(data.BmpMap));
}

void Learner::CompareBitmaps(TileSet& set, LearnedMapProject& data) {
    const int before = project_.BitmapCount;
    ui_.prepareProgress(0, std::max(set.BitmapCount - 1, 0));
    for (int b = 0; b < set.BitmapCount; ++b) {
        Report("Comparing bitmaps... ", b);
        ui_.updateProgress(b, kReportStep);
        const std::uint8_t* pixels = set.Pixels.data() + static_cast<std::size_t>(b) * BitmapBytes;
        int p = index_->Find(pixels);
        if (p == b) continue;
        if (p >= 0) {
            ++counts_.ChangedIds;
        } else {
            p = project_.AddBitmap(pixels);  // refuses the 65536th bitmap
            index_->Add(p);
            ++counts_.AddedBitmaps;
        }
        data.BmpMap.emplace_back(static_cast<std::uint16_t>(b), static_cast<std::uint16_t>(p));
    }
    if (project_.BitmapCount != before) ui_.changed(BitmapsChanged());
}

void Learner::GatherTiles(TileSet& set, const IdTable& table) {
    const int count = static_cast<int>(set.Tiles.size());
    for (int t = 0; t < count; ++t) {
        Report("Gathering tile sets... ", t);
        for (MapSquare& s : set.Tiles[static_cast<std::size_t>(t)]->Sq) s.Gnd = table[s.Gnd];
        for (MapSquare& s : set.Tiles[static_cast<std::size_t>(t)]->Sq) s.Top = table[s.Top];
    }
    TileCatalogue catalogue(project_.NewTiles);
    for (int t = 0; t < count; ++t) {
        Report("Gathering tile sets... ", t);
        const MapTile& tile = *set.Tiles[static_cast<std::size_t>(t)];
        if (catalogue.Contains(tile)) continue;
        project_.NewTiles.push_back(CopyTile(tile));
        catalogue.Add(*project_.NewTiles.back());
        ++counts_.AddedTiles;
    }
}

// Item 10: the map's squares in the project's bitmap ids.
void Learner::Arrange(LearnedMapProject& data) {
    const IdTable table = TableOf(data.BmpMap);
    const int count = static_cast<int>(data.Squares.size());
    for (int s = 0; s < count; ++s) {
        Report("Arranging bitmaps... ", s);
        data.Squares[static_cast<std::size_t>(s)].Gnd = table[data.Squares[static_cast<std::size_t>(s)].Gnd];
    }
    for (int s = 0; s < count; ++s) {
        Report("Arranging bitmaps... ", s);
        data.Squares[static_cast<std::size_t>(s)].Top = table[data.Squares[static_cast<std::size_t>(s)].Top];
    }
}

// Step 8.
void Learner::Close(LearnOutcome& outcome) {
    run_.ZmData.clear();
    run_.ConnectorGroups.clear();
    g_.Learned = true;
    outcome = counts_;
    outcome.Completed = true;
    outcome.Summary = std::to_string(g_.JoinsCount) + " joins of " + std::to_string(project_.BitmapCount) +
                      " bitmaps; " + std::to_string(counts_.ChangedIds) + " changed id" + "'" + "s; " +
                      std::to_string(counts_.AddedBitmaps) + " added bmp" + "'" + "s; " +
                      std::to_string(counts_.AddedTiles) + " added tile sets;";
    ui_.setActivity(outcome.Summary);
    ui_.changed({Changed::LearnedData | Changed::TilesList, 0, static_cast<int>(project_.NewTiles.size()) - 1});
    ui_.setStatus("Learning finished.");
}

// Nothing half-learned stays behind.
void Learner::Abandon() {
    g_.ClearLearned();
    run_.ZmData.clear();
    g_.Learned = false;
}

LearnOutcome Learner::Run() {
    LearnOutcome outcome;
    if (!CheckMapFiles()) return outcome;
    ProgressScope progress(ui_);
    try {
        Prepare();
        for (int i = 0; i < n_; ++i) {
            k_ = i + 1;
            LoadMap(i);
        }
        learning::LearnJoins(g_, run_, settings_.LearnList, ui_,
                             settings_.LearnFrequencies ? learning::Occurrences::Counted
                                                        : learning::Occurrences::Ignored);
        ui_.setActivity("Processing connectors...");
        ui_.processEvents();
        learning::ProcessConnectors(g_, run_, settings_.LearnList);
        if (auto problem = learning::CapacityProblem(g_.Squares(), learning::EmptySquare::ToCome))
            throw ListFullError(*problem);
        ui_.setActivity("Tracking relationships 1 to 1...");
        ui_.processEvents();
        ui_.prepareProgress(0, std::max(g_.SquareCount() - 1, 0));
        TrackObjects(g_, run_.ConnectorGroups, [this](int j) { ui_.updateProgress(j, 100); });
        settings_.ObjectChart.SetMaxSize(g_.LargestObject);
        ui_.setActivity("Finishing joins array...");
        ui_.processEvents();
        learning::FinishJoins(g_, ui_);
        Close(outcome);
    } catch (const LearningStopped& stop) {
        const bool learned = g_.Learned;
        Abandon();
        g_.Learned = learned;  // the learned squares are gone: the generator is not ready
        if (!stop.status.empty()) ui_.setActivity(stop.status);
    } catch (const ListFullError& e) {
        Abandon();
        ui_.error("Error", learning::TooMuchToLearnText(e.what(), settings_.LearnList));
        ui_.setActivity("Learning interrupted.");
    } catch (const Error& e) {
        Abandon();
        ui_.error("Error", e.what());
        ui_.setActivity("Learning interrupted.");
    }
    return outcome;
}

}  // namespace

LearnOutcome Learn(Project& project, UserInterface& ui, LearnedData& generator, GeneratorSettings& settings,
                   const OpenOptions& options) {
    return Learner(project, ui, generator, settings, options).Run();
}

bool LearnCommand(Project& project, UserInterface& ui, LearnedData& generator, GeneratorSettings& settings) {
    if (ProjectInUse(project)) {
        if (ui.message("Warning", "This operation may affect the current project!", Icon::Warning,
                       Buttons::YesNoCancel, Answer::Yes) == Answer::Cancel)
            return false;
    }
    if (settings.ForceTileSet && !FileExists(project.ZpPath)) {
        ui.message("Warning", "Select *.zp file first!", Icon::Warning);
        return false;
    }
    if (settings.LearnList.empty()) {
        ui.message("Warning", "Add *.zm files first!", Icon::Warning);
        return false;
    }
    // The forced tile set is held as the project's ZpPath, which the reset
    // empties: keep it across.
    const std::string forcedZp = project.ZpPath;
    ResetProject(project, ui, ResetSides::TileSet, ResetRedraw::Yes);
    if (settings.ForceTileSet) project.ZpPath = forcedZp;
    const bool completed = Learn(project, ui, generator, settings).Completed;
    // The project is open again when learning went through or a map is still there.
    project.NoProject = !completed && project.UsedTiles.empty();
    ui.changed({Changed::LearnedData | Changed::TilesList, 0, static_cast<int>(project.NewTiles.size()) - 1});
    return completed;
}

}  // namespace zorvane
