// Preparing one row of the widest map (206 squares, 202 columns) for the
// worker threads: column candidates, column joins with elimination,
// shuffling and ordering, the smallest pair count and the split into
// sub-chains; and the repreparation for another local attempt. The learned
// data comes from learning the sample maps; the rows above are the rows of
// another map of the full width composed the same way.

#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "generator/generator.h"
#include "generator/learning/learn.h"
#include "generator/search/row_preparation.h"
#include "platform/file_io.h"
#include "samples/samples.h"

using namespace zorvane;

namespace {

struct LearnedSamples {
    Project project;
    MapGenerator gen;
    GeneratorSettings settings;
    std::vector<std::vector<std::int32_t>> rows;  // learned squares of the rows of a map of the full width

    LearnedSamples() {
        const std::string dir = bench::TempPath("row-preparation");
        const auto files = samples::BuildSampleFiles(dir, 5);
        samples::WriteSampleFiles(files);
        for (const auto& f : files) {
            if (ExtractFileExt(f.Path) != ".zm" || f.Path.find("/zmpe/") == std::string::npos) continue;
            const bool connector = f.Path.find("connector") != std::string::npos;
            settings.LearnList.push_back({f.Path, 1, connector});
        }
        SilentUi ui;
        if (!Learn(project, ui, gen, settings).Completed) throw Error("learning the sample maps failed");
        const auto map = samples::ComposeTerrainMap(samples::BuildSampleTileSet(), 99, MaxRowColumns, 60);
        for (int y = 2; y < map.Height - 2; ++y) {
            std::vector<std::int32_t> row;
            for (int x = 2; x < map.Width - 2; ++x) {
                const MapSquare& q = map.Squares[static_cast<std::size_t>(y) * map.Width + x];
                row.push_back(gen.FindSq(q.Gnd, q.Top));
            }
            rows.push_back(row);
        }
    }
};

LearnedSamples& Samples() {
    static LearnedSamples s;
    return s;
}

RowSettings WidestRow(double j, bool objectFilter) {
    LearnedSamples& s = Samples();
    RowSettings r;
    r.MapWidth = MaxUserMapSize + 2 * BorderWidth;
    r.Choice = {j, true};
    ObjectSizeChart chart;
    chart.ResetPoints(s.gen.LargestObject, 2);
    if (objectFilter) chart.SetStoredPoints({{0, 100}, {s.gen.LargestObject, 20}});
    r.P = ObjectSizeProbabilities(chart, s.gen.LargestObject);
    return r;
}

void PrepareRow(RowPreparer& prep, RunBuffers& buffers, const std::vector<std::int32_t>& above, GeneratorRng& rng) {
    buffers.Run.FailingColumn = -1;
    prep.BuildColumnCandidates(above, rng);
    prep.BuildColumnJoins(10, rng);
    if (prep.SmallestPairCount() > 0) prep.SplitIntoSubChains();
}

void BM_PrepareRow(benchmark::State& state) {
    LearnedSamples& s = Samples();
    RunBuffers buffers;
    RowPreparer prep(s.gen, buffers, WidestRow(state.range(0) / 100.0, state.range(1) != 0));
    GeneratorRng rng(1);
    std::size_t r = 0, pairs = 0, dead = 0;
    for (auto _ : state) {
        PrepareRow(prep, buffers, s.rows[r], rng);
        for (const auto& j : buffers.ColumnPairJoins) pairs += j.size();
        dead += buffers.SubChainCount == 0;
        r = (r + 1) % s.rows.size();
    }
    state.counters["pairs/row"] = benchmark::Counter(static_cast<double>(pairs), benchmark::Counter::kAvgIterations);
    state.counters["dead rows"] = benchmark::Counter(static_cast<double>(dead), benchmark::Counter::kAvgIterations);
    state.counters["squares"] = s.gen.SquareCount();
}
// Args: squares choice factor x 100, object filter on/off.
BENCHMARK(BM_PrepareRow)->Args({50, 0})->Args({75, 0})->Args({50, 1})->Unit(benchmark::kMillisecond);

// Denser learned data than the samples give: 512 squares, each followed
// below and to the right by 64 of them with weights 1 to 3, so that a column
// holds about 128 candidates and a column pair about 4000 pairs.
void BM_PrepareDenseRow(benchmark::State& state) {
    static MapGenerator gen;
    static std::vector<std::vector<std::int32_t>> rows;
    if (rows.empty()) {
        GeneratorRng data(3);
        constexpr int kSquares = 512;
        std::vector<LearnedSquare> squares(kSquares + 1);
        for (int i = 0; i <= kSquares; ++i) {
            squares[i].Gnd = i == kSquares ? NoBitmap : static_cast<std::uint16_t>(i);
            for (auto* list : {&squares[i].Down, &squares[i].Right})
                for (int k = 0; k < 64; ++k)
                    list->insert(list->end(), 1 + UniformBelow(data, 3),
                                 static_cast<std::int32_t>(UniformBelow(data, kSquares)));
        }
        gen.SetSquares(std::move(squares));
        gen.ObjSize.assign(kSquares + 1, 1);
        gen.Learned = true;
        for (int r = 0; r < 16; ++r) {
            rows.emplace_back();
            for (int c = 0; c < MaxRowColumns; ++c)
                rows.back().push_back(static_cast<std::int32_t>(UniformBelow(data, kSquares)));
        }
    }
    RowSettings settings;
    settings.MapWidth = MaxUserMapSize + 2 * BorderWidth;
    settings.Choice = {state.range(0) / 100.0, false};
    RunBuffers buffers;
    RowPreparer prep(gen, buffers, settings);
    GeneratorRng rng(4);
    std::size_t r = 0, pairs = 0;
    for (auto _ : state) {
        PrepareRow(prep, buffers, rows[r], rng);
        for (const auto& j : buffers.ColumnPairJoins) pairs += j.size();
        r = (r + 1) % rows.size();
    }
    state.counters["pairs/row"] = benchmark::Counter(static_cast<double>(pairs), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PrepareDenseRow)->Arg(50)->Arg(75)->Unit(benchmark::kMillisecond);

void BM_ReprepareRow(benchmark::State& state) {
    LearnedSamples& s = Samples();
    RunBuffers buffers;
    RowPreparer prep(s.gen, buffers, WidestRow(0.5, false));
    GeneratorRng rng(2);
    std::size_t r = 0;
    do {
        PrepareRow(prep, buffers, s.rows[r++], rng);
    } while (buffers.SubChainCount == 0 && r < s.rows.size());
    for (auto _ : state) prep.Reprepare(rng);
}
BENCHMARK(BM_ReprepareRow)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
