// Generating 202 x 202 maps from the sample content with a lowered point of
// the object size chart, (3, 40), against the flat chart: one worker, the
// same seeds for both. Reports both times and their ratio (the target: at
// most 3), the share of valid maps, and for every object size how many of
// the maps' squares belong to objects of that size under each chart. The
// run fails when a map is not valid or the sizes the point lowers do not
// become rarer.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

#include "learned_samples.h"
#include "generator/search/row_preparation.h"

using namespace zorvane;

namespace {

constexpr int kSeeds = 10;
constexpr int kSize = 202;
constexpr int kPointSize = 3;
constexpr int kPointPercent = 40;

const std::vector<std::uint8_t>& Knowledge() { return bench::LearnedSamples("object-chart"); }

// The point added to the flat chart and set as the settings window does.
void LowerChartPoint(GeneratorSettings& settings) {
    ObjectSizeChart& chart = settings.ObjectChart;
    chart.Select(0);
    if (!chart.AddPoint()) throw Error("no room for a chart point");
    chart.MovePoint(kPointSize, kPointPercent);
}

// Only objects of one size lowered: the curve dips to the percent at that
// size and is back at 100 one size either side.
void LowerOneSize(GeneratorSettings& settings, int size) {
    const int n = settings.ObjectChart.Largest();
    settings.ObjectChart.SetStoredPoints({{0, 100}, {size - 1, 100}, {size, kPointPercent}, {size + 1, 100}, {n, 100}});
}

struct ChartTally {
    double seconds = 0;
    int valid = 0;
    std::map<int, std::int64_t> squaresBySize;  // object size -> squares of the maps
    std::int64_t squares = 0;

    void Add(const bench::SampleRun& run) {
        seconds += run.seconds;
        valid += run.Valid();
        const auto visible = VisibleSquares(run.project);
        const int w = run.project.MapWidth, h = run.project.MapHeight;
        for (int y = BorderWidth; y < h - BorderWidth; ++y)
            for (int x = BorderWidth; x < w - BorderWidth; ++x) {
                const MapSquare& sq = visible[static_cast<std::size_t>(y * w + x)];
                const int index = run.gen.FindSq(sq.Gnd, sq.Top);
                if (index < 0) continue;
                ++squaresBySize[run.gen.ObjectSizeOf(index)];
                ++squares;
            }
    }
    double Share(int size) const {
        const auto it = squaresBySize.find(size);
        return squares == 0 || it == squaresBySize.end() ? 0.0
                                                         : 100.0 * static_cast<double>(it->second) / static_cast<double>(squares);
    }
};

// Arg 0: the point (3, 40); arg s > 0: only size s lowered to 40 %.
void BM_LoweredChartPoint(benchmark::State& state) {
    const int oneSize = static_cast<int>(state.range(0));
    const auto lower = [&](GeneratorSettings& settings) {
        if (oneSize > 0) LowerOneSize(settings, oneSize);
        else LowerChartPoint(settings);
    };
    ChartTally flat, lowered;
    std::vector<double> p;
    for (auto _ : state) {
        for (int seed = 1; seed <= kSeeds; ++seed) {
            bench::SampleRun flatRun, loweredRun;
            bench::RunSampleGeneration(flatRun, Knowledge(), kSize, 1, static_cast<std::uint64_t>(seed));
            bench::RunSampleGeneration(loweredRun, Knowledge(), kSize, 1, static_cast<std::uint64_t>(seed),
                                       lower);
            flat.Add(flatRun);
            lowered.Add(loweredRun);
            p = ObjectSizeProbabilities(loweredRun.settings.ObjectChart, loweredRun.gen.LargestObject);
        }
    }
    const double ratio = lowered.seconds / flat.seconds;
    if (oneSize > 0)
        std::printf("%d maps of %d x %d each: flat chart %.2f s, size %d at %d %% %.2f s, ratio %.2f\n", kSeeds,
                    kSize, kSize, flat.seconds, oneSize, kPointPercent, lowered.seconds, ratio);
    else
        std::printf("%d maps of %d x %d each: flat chart %.2f s, point (%d, %d) %.2f s, ratio %.2f (target <= 3)\n",
                    kSeeds, kSize, kSize, flat.seconds, kPointSize, kPointPercent, lowered.seconds, ratio);
    std::printf("size  P      squares flat  squares lowered\n");
    double flatLowered = 0, loweredLowered = 0;  // squares of the sizes lowered
    for (const auto& [size, count] : flat.squaresBySize) {
        const double ps = p.empty() ? 1.0 : p[std::min(static_cast<std::size_t>(std::max(size, 0)), p.size() - 1)];
        std::printf("%4d  %.2f  %11.2f%%  %14.2f%%\n", size, ps, flat.Share(size), lowered.Share(size));
        if (ps >= 1.0 || size == 0) continue;
        flatLowered += flat.Share(size);
        loweredLowered += lowered.Share(size);
    }
    const bool rarer = loweredLowered < flatLowered;
    state.counters["flat_s"] = flat.seconds;
    state.counters["lowered_s"] = lowered.seconds;
    state.counters["ratio"] = ratio;
    state.counters["valid_%"] = 100.0 * (flat.valid + lowered.valid) / (2.0 * kSeeds);
    if (flat.valid + lowered.valid < 2 * kSeeds) state.SkipWithError("a map is not valid");
    else if (!rarer) state.SkipWithError("objects of the lowered sizes did not become rarer");
}
// One iteration = the same seeds under both charts.
BENCHMARK(BM_LoweredChartPoint)->Arg(0)->Arg(2)->Arg(4)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
