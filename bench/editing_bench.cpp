// Editing the largest map: a 206 x 206 map of one-square tiles with more
// tiles stacked over it (44,000 in all), 2,000 of them selected.

#include <benchmark/benchmark.h>

#include <random>

#include "bench_support.h"
#include "editing/map_editing.h"

using namespace zorvane;

namespace {

constexpr int MapSide = 206;
constexpr int StackSize = 44000;
constexpr int SelectedCount = 2000;

struct LargeMap {
    Project p;
    EditState s;
    SilentUi ui;
    MapEditing ed{p, s, ui};

    LargeMap() {
        p.MapWidth = p.MapHeight = MapSide;
        std::mt19937 rng(5);
        auto add = [&](int w, int h, int x, int y) {
            auto t = std::make_unique<MapTile>(w, h);
            t->X = x;
            t->Y = y;
            for (auto& sq : t->Sq) sq = MapSquare{static_cast<std::uint16_t>(rng() % 4000), NoBitmap, 0};
            p.UsedTiles.push_back(std::move(t));
        };
        for (int y = 0; y < MapSide; ++y)
            for (int x = 0; x < MapSide; ++x) add(1, 1, x, y);
        while (static_cast<int>(p.UsedTiles.size()) < StackSize)
            add(1 + rng() % 4, 1 + rng() % 4, rng() % MapSide, rng() % MapSide);
        UpdateSBDepth(p, s);
        // 2,000 different one-square tiles of the ground layer, anywhere on the map.
        std::vector<int> ground(MapSide * MapSide);
        for (int i = 0; i < MapSide * MapSide; ++i) ground[i] = i;
        std::shuffle(ground.begin(), ground.end(), rng);
        for (int i = 0; i < SelectedCount; ++i) ed.SelectTile(ground[i], false);
    }
};

// One mouse step of a drag: every selected tile follows the mouse square.
void BM_DragStep(benchmark::State& state) {
    LargeMap m;
    m.ed.SelDragStart(100, 100);
    int step = 0;
    for (auto _ : state) {
        ++step;
        benchmark::DoNotOptimize(m.ed.SelDragOver(100 + step % 2, 100 + step % 3));
    }
}
BENCHMARK(BM_DragStep)->Unit(benchmark::kMicrosecond);

void BM_SelectionToTop(benchmark::State& state) {
    LargeMap m;
    for (auto _ : state) benchmark::DoNotOptimize(m.ed.SelectionToTop());
}
BENCHMARK(BM_SelectionToTop)->Unit(benchmark::kMillisecond);

void BM_SelectionToBottom(benchmark::State& state) {
    LargeMap m;
    for (auto _ : state) benchmark::DoNotOptimize(m.ed.SelectionToBottom());
}
BENCHMARK(BM_SelectionToBottom)->Unit(benchmark::kMillisecond);

// A step with "Skip to The Nearest Layer" (range(0) = 1) or without.
void BM_SelectionStepUp(benchmark::State& state) {
    LargeMap m;
    m.s.SkipNearest = state.range(0) != 0;
    for (auto _ : state) benchmark::DoNotOptimize(m.ed.SelectionStepUp(true));
}
BENCHMARK(BM_SelectionStepUp)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Cloning the selection and putting the copies away again.
void BM_CloneAndDelete(benchmark::State& state) {
    LargeMap m;
    for (auto _ : state) {
        m.ed.CloneSelected(0, 0);
        benchmark::DoNotOptimize(m.ed.DeleteSelected(true));
        state.PauseTiming();
        for (int i = 0; i < SelectedCount; ++i) m.ed.SelectTile(i * 20, false);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CloneAndDelete)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
