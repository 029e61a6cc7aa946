#pragma once
// For the benchmarks of generation: the sample content learned once, and
// a count of the rows a run completed.

#include <cstdint>
#include <string>
#include <vector>

#include "bench_support.h"
#include "generator/driver/generation.h"
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

// Counts the rows completed by the threads (a row completed again after
// going back counts again): each is reported with the rows around it.
struct RowCounter : GenerationReport {
    std::int64_t rows = 0;
    void MapRowsChanged(int first, int last) override {
        if (last - first == 2 || last - first == 3) ++rows;
    }
};

}  // namespace zorvane::bench
