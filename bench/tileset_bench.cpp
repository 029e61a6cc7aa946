// Reading and writing a tile set of 65535 bitmaps, against copying a file of
// the same size (read whole, write safely).

#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "commands/open_commands.h"
#include "commands/save_commands.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"

using namespace zorvane;

namespace {

struct Files {
    std::string zme = bench::TempPath("65535-zme.zp");
    std::string zmpe = bench::TempPath("65535-zmpe.zp");
    std::string copy = bench::TempPath("copy.bin");
    Files() {
        Project p;
        bench::AddDistinctBitmaps(p, MaxBitmaps, 1);
        p.ZpPath = zme;  // the "zme" variant stores its own path
        SaveFileAtomically(zme, EncodeZP(p, TileSetVariant::Zme));
        SaveFileAtomically(zmpe, EncodeZP(p, TileSetVariant::Zmpe));
    }
};
const Files& TheFiles() {
    static Files f;
    return f;
}

void BM_CopyFile(benchmark::State& state) {
    const std::string& src = state.range(0) ? TheFiles().zme : TheFiles().zmpe;
    for (auto _ : state) {
        auto bytes = ReadWholeFile(src);
        SaveFileAtomically(TheFiles().copy, bytes);
    }
}

void BM_ReadTileSet(benchmark::State& state) {
    SilentUi ui;
    for (auto _ : state) {
        Project p;
        p.ZpPath = state.range(0) ? TheFiles().zme : TheFiles().zmpe;
        if (!OpenZP(p, ui)) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(p.BitmapCount);
    }
}

void BM_WriteTileSet(benchmark::State& state) {
    SilentUi ui;
    Project p;
    p.ZpPath = state.range(0) ? TheFiles().zme : TheFiles().zmpe;
    OpenZP(p, ui);
    p.ZpPath = TheFiles().copy;
    for (auto _ : state)
        if (!MakeNewZP(p, ui, VariantOf(state.range(0) != 0))) state.SkipWithError("write failed");
}

}  // namespace

// Argument: 1 = "zme", 0 = "zmpe".
BENCHMARK(BM_CopyFile)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadTileSet)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteTileSet)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
