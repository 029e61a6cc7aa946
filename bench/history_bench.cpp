// The undo history on a full 206 x 206 map (one single-square tile per
// square): recording a drag of 2,000 selected tiles, undoing and redoing it,
// and the memory that 1,000 such steps take.

#include <benchmark/benchmark.h>

#include "history/history.h"

namespace zorvane {
namespace {

constexpr int Side = 206;
constexpr int Dragged = 2000;

Project FullMap() {
    Project p;
    p.MapWidth = p.MapHeight = Side;
    p.NoProject = false;
    p.SetBitmapCount(500);
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x) {
            auto t = std::make_unique<MapTile>(1, 1);
            t->X = x;
            t->Y = y;
            t->Sq[0] = {static_cast<std::uint16_t>((x * 7 + y) % 500), NoBitmap, 0};
            p.UsedTiles.push_back(std::move(t));
        }
    return p;
}

// Every 20th tile moves, as a scattered selection does.
void Drag(Project& p, int dx) {
    for (int k = 0; k < Dragged; ++k) p.UsedTiles[static_cast<std::size_t>(k) * 20]->X += dx;
}

void BM_RecordDrag(benchmark::State& state) {
    Project p = FullMap();
    History h;
    h.Reset(p);
    int dx = 1;
    for (auto _ : state) {
        state.PauseTiming();
        Drag(p, dx);
        dx = -dx;
        state.ResumeTiming();
        benchmark::DoNotOptimize(h.Record(p, "Drag", Parts::UsedTiles));
    }
}
BENCHMARK(BM_RecordDrag)->Unit(benchmark::kMillisecond);

void BM_UndoRedoDrag(benchmark::State& state) {
    Project p = FullMap();
    History h;
    h.Reset(p);
    Drag(p, 1);
    h.Record(p, "Drag", Parts::UsedTiles);
    bool undo = true;
    for (auto _ : state) {
        benchmark::DoNotOptimize(undo ? h.Undo(p) : h.Redo(p));
        undo = !undo;
    }
}
BENCHMARK(BM_UndoRedoDrag)->Unit(benchmark::kMillisecond);

// 1,000 drags in the history; the counter gives the bytes the steps take.
void BM_ThousandDragsMemory(benchmark::State& state) {
    for (auto _ : state) {
        Project p = FullMap();
        History h;
        h.Reset(p);
        for (int step = 0; step < 1000; ++step) {
            Drag(p, step % 2 ? -1 : 1);
            h.Record(p, "Drag", Parts::UsedTiles);
        }
        state.counters["history_MiB"] = static_cast<double>(h.Bytes()) / (1 << 20);
        state.counters["steps"] = static_cast<double>(h.StepCount());
    }
}
BENCHMARK(BM_ThousandDragsMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace zorvane

BENCHMARK_MAIN();
