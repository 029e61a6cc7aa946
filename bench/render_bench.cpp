// The map view on the largest map: a full redraw of a 1920 x 1080 view with
// ids and attributes shown, scrolling by one square, the per-bitmap display
// data for 65535 bitmaps, and one mouse step of dragging 2,000 selected
// tiles (the move plus the redraw of what it reports). Zoomed: a full redraw
// and a scroll step at every zoom (view pixels per square as the argument),
// and a zoom step from one level to the next and back, which at 12.5 % to
// 50 % makes the averaged pictures of the bitmaps shown anew.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "bench_support.h"
#include "editing/map_editing.h"
#include "render/bitmap_info.h"
#include "render/map_renderer.h"
#include "render/render_whole_map.h"

using namespace zorvane;
using namespace zorvane::render;

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
            auto t = std::make_unique<MapTile>(1, 1);
            t->X = x;
            t->Y = y;
            t->Sq[0] = MapSquare{static_cast<std::uint16_t>(rng() % 2000),
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

// The view at `viewSquare` pixels per square, the averaged pictures made.
View& ZoomedView(int viewSquare) {
    View& v = TheView();
    v.renderer->SetViewSquare(viewSquare);
    v.renderer->ScrollX = v.renderer->PrevScrollX = 0;
    v.renderer->FullRedraw();
    return v;
}

void BM_ZoomedFullRedraw(benchmark::State& state) {
    View& v = ZoomedView(static_cast<int>(state.range(0)));
    for (auto _ : state) v.renderer->FullRedraw();
}

void BM_ZoomedScrollOneSquare(benchmark::State& state) {
    View& v = ZoomedView(static_cast<int>(state.range(0)));
    int pos = 0;
    for (auto _ : state) {
        pos = pos == 0 ? 1 : 0;
        v.renderer->HorizontalScroll(pos);
    }
}

void BM_ZoomStep(benchmark::State& state) {
    const int levels[2] = {static_cast<int>(state.range(0)), static_cast<int>(state.range(1))};
    View& v = ZoomedView(levels[0]);
    int next = 1;
    for (auto _ : state) {
        v.renderer->SetViewSquare(levels[next]);
        v.renderer->FullRedraw();
        next = 1 - next;
    }
    v.renderer->SetViewSquare(32);
}

void BM_PrepareBitmapsPx(benchmark::State& state) {
    Project p;
    bench::AddDistinctBitmaps(p, MaxBitmaps, 9);
    BitmapInfo info;
    for (auto _ : state) ComputeBitmapInfo(p, info);
}

// The largest map with 2,000 of its one-square tiles selected, either a
// block of 50 x 40 squares in the middle of the view or scattered over the
// whole map (then every step redraws the whole view), and a drag started.
struct DragView {
    Project project = LargestMap();
    EditState state;
    SilentUi ui;
    MapEditing editing{project, state, ui};
    BitmapInfo info;
    MapRenderer renderer{project, info};

    explicit DragView(bool scattered) {
        EnsureGuiApplication();
        ComputeBitmapInfo(project, info);
        renderer.Resize(1920, 1080);
        UpdateSBDepth(project, state);
        renderer.DepthLimit = state.Depth.DepthLimit;
        renderer.ScrollX = renderer.PrevScrollX = 70;
        renderer.ScrollY = renderer.PrevScrollY = 80;
        const int side = project.MapWidth;
        std::vector<int> chosen;
        if (scattered) {
            chosen.resize(project.UsedTiles.size());
            for (int i = 0; i < static_cast<int>(chosen.size()); ++i) chosen[i] = i;
            std::shuffle(chosen.begin(), chosen.end(), std::mt19937(7));
            chosen.resize(2000);
        } else {
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 50; ++x) chosen.push_back((85 + y) * side + 75 + x);
        }
        for (int i : chosen) editing.SelectTile(i, false);
        editing.SelDragStart(100, 100);
        renderer.FullRedraw();
    }
};

void BM_DragStepWithRedraw(benchmark::State& state) {
    DragView v(state.range(0) != 0);
    int step = 0;
    for (auto _ : state) {
        ++step;  // one square to the right and down, then back
        const MapChange r = v.editing.SelDragOver(100 + step % 2, 100 + step % 2);
        if (r.Everywhere) v.renderer.FullRedraw();
        for (const SquareRect& d : r.Areas) v.renderer.Render(d.X0, d.X1, d.Y0, d.Y1, 0, 0);
    }
}

}  // namespace

BENCHMARK(BM_FullRedrawIdsAndAttributes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollOneSquare)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrepareBitmapsPx)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragStepWithRedraw)->ArgName("scattered")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomedFullRedraw)->ArgName("square")->Arg(4)->Arg(16)->Arg(128)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomedScrollOneSquare)->ArgName("square")->Arg(4)->Arg(8)->Arg(16)->Arg(64)->Arg(128)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomStep)->Args({4, 8})->Args({16, 32})->Args({96, 128})->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
