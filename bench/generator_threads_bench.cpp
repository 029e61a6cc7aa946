// What the generator's worker threads cost: 202 x 202 maps with one worker
// and with two, in alternating pairs (the same seed each), on the sample
// content and on a small easy set of corner squares. Reported per data set:
// the medians of wall time and of CPU time (user + system) of each, their
// ratios two workers / one worker, the context switches per computed row
// (voluntary and involuntary) and the share of rows the driver handed to
// the threads; with the driver's budget of its own steps and processor
// time per row as it is, and with none (every row on the threads). Every map is checked against
// the learned joins.
//
// Linux only, like every benchmark here: the process's CPU time and context
// switches come from getrusage.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <functional>

#include "bench_support.h"
#include "corner_squares.h"
#include "learned_samples.h"
#include "generator/driver/generation.h"
#include "generator/learning/learn.h"
#include "generator/map_check.h"
#include "generator/search/generator_threads.h"
#include "generator/zg_file.h"
#include "platform/file_io.h"
#include "samples/samples.h"

using namespace zorvane;

namespace {

constexpr int kSize = 202;
constexpr int kPairs = 7;

const std::vector<std::uint8_t>& Knowledge() { return bench::LearnedSamples("generator-threads"); }

using bench::UseCornerSquares;
using bench::RowCounter;

struct Cost {
    double wall = 0, cpu = 0;
    std::int64_t switches = 0, rows = 0, handedOver = 0;
    bool valid = false;
};

Cost Measure(const std::function<void(MapGenerator&, GeneratorSettings&)>& data, int workers, int seed,
             std::int64_t driverSteps) {
    Project project;
    MapGenerator gen;
    project.Generator = &gen;
    GeneratorSettings settings;
    ApplyPreset(ParseZG(Knowledge()), project, gen, settings);
    if (data) data(gen, settings);
    settings.WidthWithoutBorders = settings.HeightWithoutBorders = kSize;
    settings.WorkerThreads = workers;
    MapGenerationEngine engine(gen);
    engine.Threads().DriverSteps = driverSteps;
    if (driverSteps == 0) engine.Threads().DriverTime = {};
    SilentUi ui;
    GenerationRequests requests;
    RowCounter report;
    GenerateOptions options;
    options.Seed = static_cast<std::uint64_t>(seed);
    options.TimeLimit = std::chrono::seconds(120);
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    const auto start = std::chrono::steady_clock::now();
    const GenerateOutcome outcome = engine.Generate(project, ui, settings, requests, report, options);
    Cost c;
    c.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    getrusage(RUSAGE_SELF, &after);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_usec); };
    c.cpu = seconds(after.ru_utime) - seconds(before.ru_utime) + seconds(after.ru_stime) - seconds(before.ru_stime);
    c.switches = (after.ru_nvcsw - before.ru_nvcsw) + (after.ru_nivcsw - before.ru_nivcsw);
    c.rows = report.rows;
    c.handedOver = engine.Threads().RowsHandedOver();
    c.valid = outcome == GenerateOutcome::Completed && !FirstJoinViolation(project, gen);
    return c;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return (v[v.size() / 2] + v[(v.size() - 1) / 2]) / 2;
}

// Arg: the steps (in thousands) the driver searches a row alone before the
// threads take it over.
void Report(benchmark::State& state, const std::function<void(MapGenerator&, GeneratorSettings&)>& data) {
    const std::int64_t driverSteps = state.range(0) * 1000;
    std::vector<double> wall[2], cpu[2], switchesPerRow[2];
    double handed = 0, rows = 0;
    int valid = 0;
    for (auto _ : state)
        for (int seed = 1; seed <= kPairs; ++seed)
            for (int w = 0; w < 2; ++w) {
                const Cost c = Measure(data, w + 1, seed, driverSteps);
                wall[w].push_back(c.wall);
                cpu[w].push_back(c.cpu);
                switchesPerRow[w].push_back(static_cast<double>(c.switches) / static_cast<double>(std::max<std::int64_t>(c.rows, 1)));
                valid += c.valid;
                if (w == 1) {
                    handed += static_cast<double>(c.handedOver);
                    rows += static_cast<double>(c.rows);
                }
            }
    state.counters["wall1_s"] = Median(wall[0]);
    state.counters["wall2_s"] = Median(wall[1]);
    state.counters["cpu1_s"] = Median(cpu[0]);
    state.counters["cpu2_s"] = Median(cpu[1]);
    state.counters["wall_2/1"] = Median(wall[1]) / Median(wall[0]);
    state.counters["cpu_2/1"] = Median(cpu[1]) / Median(cpu[0]);
    state.counters["cs/row1"] = Median(switchesPerRow[0]);
    state.counters["cs/row2"] = Median(switchesPerRow[1]);
    state.counters["handed_%"] = 100.0 * handed / std::max(rows, 1.0);
    state.counters["valid_%"] = 100.0 * valid / static_cast<double>(2 * kPairs);
}

void BM_SampleContent(benchmark::State& state) { Report(state, nullptr); }
void BM_CornerSquares(benchmark::State& state) { Report(state, UseCornerSquares); }

constexpr std::int64_t kDefaultBudget = GeneratorThreads::kDefaultDriverSteps / 1000;
BENCHMARK(BM_SampleContent)->Arg(kDefaultBudget)->Arg(0)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_CornerSquares)->Arg(kDefaultBudget)->Arg(0)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
