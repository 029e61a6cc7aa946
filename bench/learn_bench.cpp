// Learning from ten 206 x 206 map projects that share one tile set: ground
// fillers from a small pool, some with a decoration on top, multi-square
// objects stamped over them, the last map a connector map of plain fillers.
// Every map has weight 1: the fillers stand beside each other in every
// combination, and any higher weight would make a row of a new map need
// more pairs of squares than the generator holds, which learning refuses.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "bench_support.h"
#include "generator/generator.h"
#include "generator/learning/learn.h"
#include "model/bytes.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"

using namespace zorvane;

namespace {

constexpr int kSide = 206;
constexpr int kMaps = 10;
constexpr int kFillers = 20;
constexpr int kDecorations = 30;
constexpr int kObjectKinds = 16;
constexpr int kObjectBitmaps = kObjectKinds * 16;  // up to 4 x 4 squares each

std::vector<std::uint8_t> MapBytes(const std::string& zpPath, std::uint32_t seed, bool connector) {
    std::mt19937 rng(seed);
    std::vector<MapSquare> sq(static_cast<std::size_t>(kSide) * kSide, MapSquare{NoBitmap, NoBitmap, AtrImpassable});
    for (int y = 2; y < kSide - 2; ++y) {
        for (int x = 2; x < kSide - 2; ++x) {
            const auto gnd = static_cast<std::uint16_t>(rng() % kFillers);
            const bool decorated = !connector && rng() % 5 == 0;
            const auto top = decorated ? static_cast<std::uint16_t>(kFillers + rng() % kDecorations) : NoBitmap;
            sq[static_cast<std::size_t>(y) * kSide + x] = {gnd, top, 0};
        }
    }
    // Objects of w x h squares with bitmaps of their own, stamped wherever
    // they fit.
    for (int o = 0; !connector && o < 1200; ++o) {
        const int k = static_cast<int>(rng() % kObjectKinds);
        const int w = 1 + k % 4, h = 1 + (k / 4 + k) % 4;
        const int x0 = 2 + static_cast<int>(rng() % (kSide - 4 - w + 1));
        const int y0 = 2 + static_cast<int>(rng() % (kSide - 4 - h + 1));
        for (int dy = 0; dy < h; ++dy)
            for (int dx = 0; dx < w; ++dx)
                sq[static_cast<std::size_t>(y0 + dy) * kSide + x0 + dx] = {
                    static_cast<std::uint16_t>(kFillers + kDecorations + k * 16 + dy * w + dx), NoBitmap, 4};
    }
    ByteWriter out;
    out.text("ZLF5");
    WriteShortString(out, zpPath, "tile set path");
    out.u32(1);
    out.text("MAP0");
    out.u8(kSide);
    out.u8(kSide);
    for (const MapSquare& s : sq) {
        out.u16(s.Gnd);
        out.u16(s.Top);
        out.u8(s.Atr);
    }
    return out.take();
}

struct LearningInput {
    GeneratorSettings settings;
    LearningInput() {
        const std::string dir = bench::TempPath("learn");
        std::filesystem::create_directories(dir);
        const std::string zp = dir + "/set.zp";
        Project set;
        bench::AddDistinctBitmaps(set, kFillers + kDecorations + kObjectBitmaps, 11);
        SaveFileAtomically(zp, EncodeZP(set, TileSetVariant::Zmpe));
        for (int m = 0; m < kMaps; ++m) {
            const bool connector = m == kMaps - 1;
            const std::string path = dir + "/map" + std::to_string(m) + ".zm";
            SaveFileAtomically(path, MapBytes(zp, static_cast<std::uint32_t>(m + 1), connector));
            settings.LearnList.push_back({path, 1, connector});
        }
    }
};

// Keeps the last message box, for the reason learning failed.
struct MessageKeepingUi : SilentUi {
    std::string last;
    Answer message(std::string_view caption, std::string_view text, Icon icon, Buttons buttons,
                   Answer defaultAnswer) override {
        last = std::string(caption) + ": " + std::string(text);
        return SilentUi::message(caption, text, icon, buttons, defaultAnswer);
    }
};

void BM_LearnTenLargestMaps(benchmark::State& state) {
    static LearningInput input;
    MessageKeepingUi ui;
    std::int64_t squares = 0;
    for (auto _ : state) {
        Project project;
        MapGenerator gen;
        project.Generator = &gen;
        GeneratorSettings settings = input.settings;
        if (!Learn(project, ui, gen, settings).Completed) {
            state.SkipWithError(("learning failed - " + ui.last).c_str());
            break;
        }
        squares = gen.SquareCount();
        benchmark::DoNotOptimize(gen.JoinsCount);
    }
    state.counters["learned_squares"] = static_cast<double>(squares);
}

}  // namespace

BENCHMARK(BM_LearnTenLargestMaps)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
