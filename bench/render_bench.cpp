// The map view on the largest map: a full redraw of a 1920 x 1080 view with
// ids and attributes shown, scrolling by one square, and the per-bitmap
// display data for 65535 bitmaps.

#include <benchmark/benchmark.h>

#include <random>

#include "bench_support.h"
#include "bitmap_info.h"
#include "map_renderer.h"
#include "render_whole_map.h"

using namespace zorvane;
using namespace zorvane::editor;

namespace {

Project LargestMap() {
    Project p;
    p.MapWidth = p.MapHeight = 206;
    for (int i = 0; i < 256; ++i) {
        p.Palette[i * 4] = static_cast<std::uint8_t>(i);
        p.Palette[i * 4 + 1] = static_cast<std::uint8_t>(i * 3);
        p.Palette[i * 4 + 2] = static_cast<std::uint8_t>(i * 7);
    }
    bench::AddDistinctBitmaps(p, 2000, 5);
    std::mt19937 rng(3);
    for (int y = 0; y < 206; ++y)
        for (int x = 0; x < 206; ++x) {
            auto t = std::make_unique<TTile>(1, 1);
            t->X = x;
            t->Y = y;
            t->Sq[0] = TSq{static_cast<std::uint16_t>(rng() % 2000),
                           rng() % 3 ? NoBitmap : static_cast<std::uint16_t>(rng() % 2000),
                           static_cast<std::uint8_t>(rng() % 36)};
            p.UsedTiles.push_back(std::move(t));
        }
    return p;
}

struct View {
    Project project = LargestMap();
    BitmapInfo info;
    std::unique_ptr<MapRenderer> renderer;
    View() {
        EnsureGuiApplication();
        ComputeBitmapInfo(project, info);
        renderer = std::make_unique<MapRenderer>(project, info);
        renderer->Resize(1920, 1080);
        renderer->DepthLimit = static_cast<int>(project.UsedTiles.size()) - 1;
        renderer->Options.ShowId = true;
        renderer->Options.ShowAtr = true;
    }
};

View& TheView() {
    static View v;
    return v;
}

void BM_FullRedrawIdsAndAttributes(benchmark::State& state) {
    View& v = TheView();
    for (auto _ : state) v.renderer->FullRedraw();
}

void BM_ScrollOneSquare(benchmark::State& state) {
    View& v = TheView();
    v.renderer->FullRedraw();
    int pos = 0;
    for (auto _ : state) {
        pos = pos == 0 ? 1 : 0;  // back and forth by one column
        v.renderer->HorizontalScroll(pos);
    }
}

void BM_PrepareBitmapsPx(benchmark::State& state) {
    Project p;
    bench::AddDistinctBitmaps(p, MaxBitmaps, 9);
    BitmapInfo info;
    for (auto _ : state) ComputeBitmapInfo(p, info);
}

}  // namespace

BENCHMARK(BM_FullRedrawIdsAndAttributes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollOneSquare)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrepareBitmapsPx)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
