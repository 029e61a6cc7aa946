// The crash recovery's copy as the window's thread feels it: on the largest
// map (206 x 206 squares of the sample terrain, one tile each, with the
// sample tile set) the snapshot handed to the writing thread, against the
// whole copy written on the window's thread; and with the largest tile set
// (65,535 bitmaps) a copy after an edit of the map alone, which writes the
// map's part only.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench_support.h"
#include "commands/recovery_writer.h"
#include "model/layered_file.h"
#include "samples/samples.h"

using namespace zorvane;

namespace {

constexpr int InnerSide = 202;

Project LargestSampleMap() {
    samples::SampleTileSet tiles = samples::BuildSampleTileSet();
    const samples::SampleMap map = samples::ComposeTerrainMap(tiles, 1, InnerSide, InnerSide);
    Project p = std::move(tiles.Tiles);
    p.MapWidth = map.Width;
    p.MapHeight = map.Height;
    p.NoProject = false;
    for (int y = 0; y < map.Height; ++y)
        for (int x = 0; x < map.Width; ++x) {
            auto tile = std::make_unique<MapTile>(1, 1);
            tile->X = x;
            tile->Y = y;
            tile->Sq[0] = map.Squares[static_cast<std::size_t>(y) * map.Width + x];
            p.UsedTiles.push_back(std::move(tile));
        }
    return p;
}

struct Folder {
    std::string Path = bench::TempPath("recovery");
    Folder() { std::filesystem::create_directories(Path); }
    ~Folder() { std::filesystem::remove_all(Path); }
};

// An edit of the map: one tile moved by a square and back.
void EditMap(Project& p, int step) { p.UsedTiles[static_cast<std::size_t>(step) % 1000]->X += step % 2 ? 1 : -1; }

void Report(benchmark::State& state, const RecoveryWriter& writer) {
    std::uintmax_t bytes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(writer.copy().Folder))
        if (entry.path().extension() != ".lock") bytes += entry.file_size();
    state.counters["copy_bytes"] = static_cast<double>(bytes);
}

// A copy written, then an edit of the map and its copy handed over each
// iteration; the writing thread's share is not timed (it is not the window's).
void HandEditsOver(benchmark::State& state, const Folder& folder, Project& p) {
    RecoveryWriter writer(folder.Path);
    writer.Hand(p, "/maps/largest.zl");
    writer.Wait();
    int step = 0;
    for (auto _ : state) {
        EditMap(p, ++step);
        benchmark::DoNotOptimize(writer.Hand(p, "/maps/largest.zl"));
        state.PauseTiming();
        writer.Wait();
        state.ResumeTiming();
    }
    Report(state, writer);
}

// What the window's thread pays for a copy: the snapshot, handed over.
void BM_CopyOnTheWindowThread(benchmark::State& state) {
    Folder folder;
    Project p = LargestSampleMap();
    HandEditsOver(state, folder, p);
}
BENCHMARK(BM_CopyOnTheWindowThread)->Unit(benchmark::kMillisecond);

// The same copy written whole on the window's thread, as a copy was written
// before the writing thread took it over.
void BM_WholeCopyWrittenOnTheWindowThread(benchmark::State& state) {
    Folder folder;
    Project p = LargestSampleMap();
    const RecoveryCopy copy = RecoveryCopyNamed(folder.Path, "1-1");
    int step = 0;
    for (auto _ : state) {
        EditMap(p, ++step);
        WriteRecoveryCopy(copy, p, "/maps/largest.zl");
    }
}
BENCHMARK(BM_WholeCopyWrittenOnTheWindowThread)->Unit(benchmark::kMillisecond);

// The largest tile set: an edit of the map alone hands over the map's part
// only (the bitmaps are hashed, not copied); the written bytes show the
// tile set part is not written again.
void BM_MapEditWithTheLargestTileSet(benchmark::State& state) {
    Folder folder;
    Project p = LargestSampleMap();
    bench::AddDistinctBitmaps(p, MaxBitmaps - p.BitmapCount, 9);
    HandEditsOver(state, folder, p);
}
BENCHMARK(BM_MapEditWithTheLargestTileSet)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
