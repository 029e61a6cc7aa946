// The tiles list after a load, a merge or a palette change: 5,000 items
// rebuilt with their 128 x 128 pictures, into an empty list (as after
// opening a project) and over the items already there (as after a changed
// palette), up to the list laid out again. Target: under 200 ms.

#include <benchmark/benchmark.h>

#include "editor_bench_support.h"

#include <QApplication>
#include <random>

#include "bench_support.h"
#include "editor/tiles_list.h"

using namespace zorvane;

namespace {

constexpr int kTiles = 5000;

// Tiles of the sizes a tile set holds: mostly single squares and small
// blocks, some larger than the picture (shrunk), a third with top bitmaps.
Project TileSet() {
    Project p;
    for (int i = 0; i < 256; ++i) {
        p.Palette[i * 4] = static_cast<std::uint8_t>(i);
        p.Palette[i * 4 + 1] = static_cast<std::uint8_t>(i * 5);
        p.Palette[i * 4 + 2] = static_cast<std::uint8_t>(i * 11);
    }
    bench::AddDistinctBitmaps(p, 4000, 21);
    std::mt19937 rng(8);
    const int sizes[][2] = {{1, 1}, {1, 1}, {1, 1}, {2, 1}, {2, 2}, {3, 2}, {4, 4}, {6, 3}, {10, 5}};
    for (int i = 0; i < kTiles; ++i) {
        const auto& size = sizes[rng() % std::size(sizes)];
        auto t = std::make_unique<MapTile>(size[0], size[1]);
        for (MapSquare& s : t->Sq)
            s = MapSquare{static_cast<std::uint16_t>(rng() % 4000),
                    rng() % 3 ? NoBitmap : static_cast<std::uint16_t>(rng() % 4000), 0};
        p.NewTiles.push_back(std::move(t));
    }
    return p;
}

struct ListWindow {
    Project project = TileSet();
    editor::TilesList list{96.0, nullptr};
    ListWindow() {
        list.resize(160, 700);
        list.show();
        QApplication::processEvents();
    }
    void Rebuild() {
        int reported = 0;
        list.Rebuild(project, 0, kTiles - 1, [&](int) { ++reported; });
        QApplication::processEvents();
        benchmark::DoNotOptimize(reported);
    }
};

ListWindow& TheList() {
    static ListWindow w;
    return w;
}

void BM_RebuildIntoAnEmptyList(benchmark::State& state) {
    ListWindow& w = TheList();
    for (auto _ : state) {
        state.PauseTiming();
        w.list.ClearTiles();
        QApplication::processEvents();
        state.ResumeTiming();
        w.Rebuild();
    }
}

void BM_RebuildEveryItem(benchmark::State& state) {
    ListWindow& w = TheList();
    w.Rebuild();
    for (auto _ : state) w.Rebuild();
}

}  // namespace

BENCHMARK(BM_RebuildIntoAnEmptyList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildEveryItem)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return zorvane::bench::RunQtBenchmarks(argc, argv); }
