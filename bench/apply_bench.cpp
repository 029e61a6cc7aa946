// Applying a 2048 x 2048 ground layer (4,096 blocks, half of them already
// in the project) into a project of 60,000 bitmaps.

#include <benchmark/benchmark.h>

#include <random>

#include "bench_support.h"
#include "tile_editing/apply.h"

using namespace zorvane;

namespace {

void BM_ApplyTile(benchmark::State& state) {
    SilentUi ui;
    Project base;
    bench::AddDistinctBitmaps(base, 60000, 17);
    TileEditorState layer;
    layer.Palette = EditorPaletteOf(base);
    layer.Ground.Reset(2048, 2048);
    layer.Atr.Reset(64, 64);
    std::mt19937 rng(5);
    for (int b = 0; b < 4096; ++b) {
        const int c = b % 64, r = b / 64;
        const std::uint8_t* known = base.Bitmap(b * 13 % 60000);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                layer.Ground.At(c * 32 + x, r * 32 + y) =
                    b % 2 == 0 ? known[y * 32 + x] : static_cast<std::uint8_t>(rng() % 255 + 1);
    }
    for (auto _ : state) {
        state.PauseTiming();
        Project p;
        p.SetBitmapCount(base.BitmapCount);
        std::copy(base.AllBitmapBytes().begin(), base.AllBitmapBytes().end(), p.AllBitmapBytes().begin());
        TileEditorState s = layer;
        state.ResumeTiming();
        if (ApplyTileChanges(s, p, ui).Result != ApplyResult::Applied || p.BitmapCount != 62048)
            state.SkipWithError("apply failed");
        benchmark::DoNotOptimize(p.BitmapCount);
    }
}

}  // namespace

BENCHMARK(BM_ApplyTile)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
