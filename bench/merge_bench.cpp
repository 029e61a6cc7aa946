// Merging a tile set of 20,000 bitmaps (half of them new to the project)
// into a project of 20,000 bitmaps.

#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "model/merge.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"

using namespace zorvane;

namespace {

void BM_MergeZP(benchmark::State& state) {
    SilentUi ui;
    std::string path = bench::TempPath("merge-20000.zp");
    {
        Project other;
        bench::AddDistinctBitmaps(other, 10000, 3);   // shared with the project
        bench::AddDistinctBitmaps(other, 10000, 99);  // new to it
        for (int i = 0; i < 2000; ++i) {
            auto t = std::make_unique<MapTile>(2, 2);
            for (auto& s : t->Sq) s.Gnd = static_cast<std::uint16_t>((i * 7 + 1) % 20000);
            other.NewTiles.push_back(std::move(t));
        }
        SaveFileAtomically(path, EncodeZP(other, TileSetVariant::Zmpe));
    }
    Project base;
    bench::AddDistinctBitmaps(base, 10000, 5);
    bench::AddDistinctBitmaps(base, 10000, 3);
    for (auto _ : state) {
        state.PauseTiming();
        Project p;
        p.SetBitmapCount(base.BitmapCount);
        std::copy(base.AllBitmapBytes().begin(), base.AllBitmapBytes().end(), p.AllBitmapBytes().begin());
        state.ResumeTiming();
        if (!MergeZP(p, ui, path)) state.SkipWithError("merge failed");
        benchmark::DoNotOptimize(p.BitmapCount);
    }
}

}  // namespace

BENCHMARK(BM_MergeZP)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
