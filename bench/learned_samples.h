#pragma once
// For the benchmarks of generation: the sample content learned once, a
// count of the rows a run completed, and one timed run from the content.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "generator/driver/generation.h"
#include "generator/learning/learn.h"
#include "generator/map_check.h"
#include "generator/zg_file.h"
#include "samples/samples.h"

namespace zorvane::bench {

// The sample maps (zmpe, the grass map as connector) learned once, encoded
// as a generator data file; `name` keeps the samples' folder apart.
inline const std::vector<std::uint8_t>& LearnedSamples(const std::string& name) {
    static const std::vector<std::uint8_t> bytes = [&] {
        const auto files = samples::BuildSampleFiles(TempPath(name), 5);
        samples::WriteSampleFiles(files);
        Project project;
        MapGenerator gen;
        project.Generator = &gen;
        GeneratorSettings settings;
        for (const auto& f : files)
            if (f.Path.ends_with(".zm") && f.Path.find("/zmpe/") != std::string::npos)
                settings.LearnList.push_back({f.Path, 1, f.Path.find("connector") != std::string::npos});
        SilentUi ui;
        if (!Learn(project, ui, gen, settings).Completed) throw Error("learning the sample maps failed");
        return EncodeZG(project, gen, settings);
    }();
    return bytes;
}

// Counts the rows completed by the threads (a row completed again after
// going back counts again): each is reported with the rows around it.
struct RowCounter : GenerationReport {
    std::int64_t rows = 0;
    const MapGenerationEngine* engine = nullptr;  // to note the run's start row attempts as it ends
    std::int32_t firstLineAttempts = 0;
    void MapRowsChanged(int first, int last) override {
        if (last - first == 2 || last - first == 3) ++rows;
    }
    void RunEnded() override {
        if (engine && engine->CurrentRun()) firstLineAttempts = engine->CurrentRun()->Run.FirstLineAttempt;
    }
};

// One generation run of a square map from the learned bytes, timed; the
// finished project and generator stay for inspection.
struct SampleRun {
    Project project;
    MapGenerator gen;
    GeneratorSettings settings;
    RowCounter report;
    GenerateOutcome outcome = GenerateOutcome::Stopped;
    double seconds = 0;

    bool Valid() const { return outcome == GenerateOutcome::Completed && !FirstJoinViolation(project, gen); }
};

inline void RunSampleGeneration(SampleRun& run, const std::vector<std::uint8_t>& knowledge, int size, int workers,
                                std::uint64_t seed, const std::function<void(GeneratorSettings&)>& adjust = {}) {
    run.project.Generator = &run.gen;
    ApplyPreset(ParseZG(knowledge), run.project, run.gen, run.settings);
    run.settings.WidthWithoutBorders = run.settings.HeightWithoutBorders = size;
    run.settings.WorkerThreads = workers;
    if (adjust) adjust(run.settings);
    MapGenerationEngine engine(run.gen);
    run.report.engine = &engine;
    SilentUi ui;
    GenerationRequests requests;
    GenerateOptions options;
    options.Seed = seed;
    options.TimeLimit = std::chrono::seconds(120);
    const auto start = std::chrono::steady_clock::now();
    run.outcome = engine.Generate(run.project, ui, run.settings, requests, run.report, options);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace zorvane::bench
