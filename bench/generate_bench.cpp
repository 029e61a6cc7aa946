// Generating whole maps from the sample content: 100 x 100 and 202 x 202
// maps with 1, 2 and 4 worker threads, 20 seeds each. Every benchmark makes
// its 20 maps once and reports the median and the slowest time, the share
// of runs that completed, the attempts at the start row and the rows that
// were computed again after going back (all maps are checked against the
// learned joins).

#include <benchmark/benchmark.h>

#include <algorithm>

#include "bench_support.h"
#include "learned_samples.h"
#include "generator/driver/generation.h"
#include "generator/learning/learn.h"
#include "generator/map_check.h"
#include "generator/zg_file.h"
#include "platform/file_io.h"
#include "samples/samples.h"

using namespace zorvane;

namespace {

constexpr int kSeeds = 20;

const std::vector<std::uint8_t>& Knowledge() { return bench::LearnedSamples("generate"); }

void BM_GenerateMap(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    const int workers = static_cast<int>(state.range(1));
    std::vector<double> seconds;
    int completed = 0, valid = 0;
    std::int64_t firstLineAttempts = 0, rowsWritten = 0;
    for (auto _ : state) {
        for (int seed = 1; seed <= kSeeds; ++seed) {
            bench::SampleRun run;
            bench::RunSampleGeneration(run, Knowledge(), size, workers, static_cast<std::uint64_t>(seed));
            seconds.push_back(run.seconds);
            completed += run.outcome == GenerateOutcome::Completed;
            valid += run.Valid();
            firstLineAttempts += run.report.firstLineAttempts;
            rowsWritten += run.report.rows - size + 1;
        }
    }
    std::sort(seconds.begin(), seconds.end());
    const double median = (seconds[seconds.size() / 2] + seconds[(seconds.size() - 1) / 2]) / 2;
    state.counters["median_s"] = median;
    state.counters["max_s"] = seconds.back();
    state.counters["success_%"] = 100.0 * completed / static_cast<double>(seconds.size());
    state.counters["valid_%"] = 100.0 * valid / static_cast<double>(seconds.size());
    state.counters["start_row_attempts"] = static_cast<double>(firstLineAttempts) / static_cast<double>(seconds.size());
    state.counters["rows_again"] = static_cast<double>(rowsWritten) / static_cast<double>(seconds.size());
}
// Args: map size without borders, worker threads. One iteration = 20 maps.
BENCHMARK(BM_GenerateMap)
    ->ArgsProduct({{100, 202}, {1, 2, 4}})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
