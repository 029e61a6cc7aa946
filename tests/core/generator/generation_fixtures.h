#pragma once
// Learned data for the generation tests: the sample content (its tile set
// and a few of its maps) learned once per test program and kept as the
// bytes of a generator data file, from which every test makes its own
// project, generator and settings.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "builders.h"
#include "fake_ui.h"
#include "generator/driver/generation.h"
#include "generator/learning/learn.h"
#include "generator/map_check.h"
#include "generator/zg_file.h"
#include "platform/file_io.h"
#include "samples/samples.h"

namespace zorvane::testing {

// The generator data file bytes of the sample maps named (zmpe variant).
inline std::vector<std::uint8_t> LearnSampleMaps(const std::vector<std::string>& names) {
    TempDir dir;
    const auto files = samples::BuildSampleFiles(dir.path().string(), 11);
    samples::WriteSampleFiles(files);
    Project project;
    MapGenerator gen;
    project.Generator = &gen;
    GeneratorSettings settings;
    for (const auto& name : names) {
        const std::string path = dir.file("zmpe/" + name + ".zm");
        settings.LearnList.push_back({path, 1, name.find("connector") != std::string::npos});
    }
    SilentUi ui;
    if (!Learn(project, ui, gen, settings).Completed) throw Error("learning the sample maps failed");
    return EncodeZG(project, gen, settings);
}

inline const std::vector<std::uint8_t>& SampleKnowledgeBytes() {
    static const auto bytes = LearnSampleMaps({"meadow", "lakes", "village", "grass_connector"});
    return bytes;
}

// The scripted user, who may also act whenever the run lets window
// messages run (with the number of times it did so far).
class GenerationUi : public FakeUi {
public:
    std::function<void(int)> onEvents;
    void processEvents() override {
        FakeUi::processEvents();
        if (onEvents) onEvents(eventsProcessed);
    }
};

// Keeps what the tests look at of a run once it has ended: its state and
// the squares of its last snapshot.
struct LastRunReport : GenerationReport {
    const MapGenerationEngine* engine = nullptr;
    RunState run;
    std::vector<std::int32_t> oldSquares;  // map columns and rows 2..MaxRowColumns + 1, row by row
    void RunEnded() override {
        if (!engine->CurrentRun()) return;  // an area's run
        const RunBuffers& buffers = *engine->CurrentRun();
        run = buffers.Run;
        oldSquares.clear();
        for (int y = 0; y < MaxRowColumns; ++y)
            for (int x = 0; x < MaxRowColumns; ++x) oldSquares.push_back(buffers.OldSquare(x + 2, y + 2));
    }
};

// A project with the learned tile set, its generator (learned) and settings
// for a small, quick map.
struct GenerationSetup {
    Project project;
    MapGenerator gen;
    GeneratorSettings settings;
    GenerationUi ui;
    GenerationRequests requests;
    LastRunReport report;
    std::unique_ptr<MapGenerationEngine> engine;

    // The state of the run under way, else of the last run.
    RunState& Run() { return engine->CurrentRun() ? engine->CurrentRun()->Run : report.run; }
    std::int32_t OldSquare(int mapColumn, int mapRow) const {
        return report.oldSquares[static_cast<std::size_t>(mapRow - 2) * MaxRowColumns +
                                 static_cast<std::size_t>(mapColumn - 2)];
    }

    explicit GenerationSetup(int width = 16, int height = 12, int threads = 1) {
        project.Generator = &gen;
        ApplyPreset(ParseZG(SampleKnowledgeBytes()), project, gen, settings);
        settings.WidthWithoutBorders = width;
        settings.HeightWithoutBorders = height;
        settings.WorkerThreads = threads;
        settings.Backup = false;
        settings.SaveCompletedMap = false;
        engine = std::make_unique<MapGenerationEngine>(gen);
        report.engine = engine.get();
    }

    GenerateOutcome Generate(std::optional<std::uint64_t> seed = std::nullopt) {
        GenerateOptions options;
        options.Seed = seed;
        return engine->Generate(project, ui, settings, requests, report, options);
    }

    // The squares of the map, row by row.
    std::vector<MapSquare> Squares() const { return VisibleSquares(project); }
};

inline void ExpectCompleteMap(const GenerationSetup& s) {
    EXPECT_EQ(s.project.MapWidth, s.settings.WidthWithoutBorders + 4);
    EXPECT_EQ(s.project.MapHeight, s.settings.HeightWithoutBorders + 4);
    EXPECT_EQ(s.project.UsedTiles.size(), static_cast<std::size_t>(s.project.MapWidth) * s.project.MapHeight);
    for (std::size_t i = 0; i < s.project.UsedTiles.size(); ++i) {
        const MapTile& t = *s.project.UsedTiles[i];
        ASSERT_TRUE(t.Width == 1 && t.Height == 1 && t.X == static_cast<int>(i) % s.project.MapWidth &&
                    t.Y == static_cast<int>(i) / s.project.MapWidth)
            << "used tile " << i;
    }
    const auto violation = FirstJoinViolation(s.project, s.gen);
    EXPECT_FALSE(violation.has_value()) << *violation;
}

}  // namespace zorvane::testing
