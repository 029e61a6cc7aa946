// Flattening the largest map: 206 x 206 one-square tiles with 2,000
// multi-square tiles stacked over them, partly transparent, so that
// composites are made.

#include <benchmark/benchmark.h>

#include <random>

#include "bench_support.h"
#include "model/flatten.h"

using namespace zorvane;

namespace {

Project LargestLayeredMap() {
    Project p;
    p.MapWidth = p.MapHeight = 206;
    bench::AddDistinctBitmaps(p, 4000, 7);
    std::mt19937 rng(11);
    // Tops with transparent holes, so that stacks compose.
    BitmapPixels px;
    for (int i = 0; i < 500; ++i) {
        for (int k = 0; k < BitmapBytes; ++k) px[k] = (k + i) % 3 == 0 ? 0 : static_cast<std::uint8_t>(rng() % 255 + 1);
        p.AddBitmap(px.data());
    }
    for (int y = 0; y < 206; ++y)
        for (int x = 0; x < 206; ++x) {
            auto t = std::make_unique<MapTile>(1, 1);
            t->X = x;
            t->Y = y;
            t->Sq[0] = MapSquare{static_cast<std::uint16_t>(rng() % 4000), NoBitmap, static_cast<std::uint8_t>(rng() % 36)};
            p.UsedTiles.push_back(std::move(t));
        }
    for (int i = 0; i < 2000; ++i) {
        int w = 1 + rng() % 6, h = 1 + rng() % 6;
        auto t = std::make_unique<MapTile>(w, h);
        t->X = rng() % 206;
        t->Y = rng() % 206;
        for (auto& s : t->Sq)
            s = MapSquare{static_cast<std::uint16_t>(4000 + rng() % 500),
                    rng() % 2 ? NoBitmap : static_cast<std::uint16_t>(4000 + rng() % 500),
                    static_cast<std::uint8_t>(rng() % 36)};
        p.UsedTiles.push_back(std::move(t));
    }
    return p;
}

void BM_FlatMap(benchmark::State& state) {
    SilentUi ui;
    Project p = LargestLayeredMap();
    int before = p.BitmapCount;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FlatMap(p, ui));
        state.PauseTiming();
        p.SetBitmapCount(before);  // every run makes its composites anew
        p.FlatSquares.clear();
        state.ResumeTiming();
    }
}

}  // namespace

BENCHMARK(BM_FlatMap)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
