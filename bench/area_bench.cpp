// Generating inside an area of a generated 202 x 202 map of the sample
// content: a 40 x 40 area in the middle and the whole map, a new seed for
// every iteration; the last result is checked against the learned joins.
// whole_map_generation_s is the time the base map took to generate.

#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "generator/area/area_generation.h"
#include "learned_samples.h"

using namespace zorvane;

namespace {

// The map made once (seed 1, one worker), its squares kept.
bench::SampleRun& BaseMap() {
    static bench::SampleRun run;
    if (run.project.UsedTiles.empty()) {
        bench::RunSampleGeneration(run, bench::LearnedSamples("area"), 202, 1, 1);
        if (!run.Valid()) throw Error("the base map of the area benchmark did not generate");
    }
    return run;
}

void BM_GenerateInArea(benchmark::State& state) {
    bench::SampleRun& base = BaseMap();
    const int size = static_cast<int>(state.range(0));
    const int at = BorderWidth + (202 - size) / 2;
    const MapArea area{at, at, size, size};
    const auto visible = VisibleSquares(base.project);
    SilentUi ui;
    GenerationRequests requests;
    GenerationReport report;
    std::uint64_t seed = 0;
    std::int64_t completed = 0, runs = 0, rowAttempts = 0;
    AreaFill fill;
    for (auto _ : state) {
        AreaOptions options;
        options.Seed = ++seed;
        fill = FillArea(visible, base.project.MapWidth, base.project.MapHeight, area, base.gen,
                                       options, ui, requests, report);
        ++runs;
        completed += fill.Outcome == AreaOutcome::Completed;
        rowAttempts += fill.RowAttempts;
    }
    auto squares = visible;
    for (int r = 0; r < size && fill.Outcome == AreaOutcome::Completed; ++r)
        for (int c = 0; c < size; ++c)
            squares[static_cast<std::size_t>((at + r) * base.project.MapWidth + at + c)] =
                fill.Squares[static_cast<std::size_t>(r * size + c)];
    if (fill.Outcome != AreaOutcome::Completed ||
        FirstJoinViolation(squares, base.project.MapWidth, base.project.MapHeight, base.gen))
        state.SkipWithError("the area's squares break the learned joins");
    state.counters["success_%"] = 100.0 * static_cast<double>(completed) / static_cast<double>(runs);
    state.counters["whole_map_generation_s"] = base.seconds;
    state.counters["rows_tried"] = static_cast<double>(rowAttempts) / static_cast<double>(runs);
}
// Arg: the area's side in squares.
BENCHMARK(BM_GenerateInArea)->Arg(40)->Arg(202)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
