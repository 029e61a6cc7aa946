#pragma once
// What the editor's benchmarks share: the learned sample content as a
// generator data file, and a main that runs them with a Qt application on
// the offscreen platform (unless another one is asked for).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdint>
#include <string>
#include <vector>

#include "bench_support.h"
#include "generator/learning/learn.h"
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
        TMapGenerator gen;
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

inline int RunQtBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace zorvane::bench
