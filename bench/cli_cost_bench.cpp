// What zorvane commands cost as whole processes, run the way a user runs
// them: convert of a tile set of 65,535 bitmaps (to the same variant and to
// "zme"), info of it, render of a 206 x 206 map of the sample content and
// generate of a 10 x 10 map. Each run reports its wall time ("seconds", the
// benchmark's time), the process's CPU time ("cpu_ms") and its peak memory
// ("peak_MiB"); convert also the time of a plain copy of the same input that
// syncs to disk, measured in the same iteration ("x_copy": convert over
// copy), and its peak over the size of the file it wrote ("peak_per_output").
//
// Targets: convert at most 2 x the copy, peak at most 1.2 x the output;
// info under 20 MiB; render under 0.6 s. A small command costs little more
// than the program's start: generate of 10 x 10 loads no Qt, which only
// render needs.
//
// The kernel counts, in a child's peak, what its parent held when it
// started it: the files are made first and their memory let go, and
// "baseline" shows the peak of a run that does nothing (zorvane --version).

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "bench_support.h"
#include "measured_run.h"
#include "model/layered_file.h"
#include "model/tileset_file.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "samples/samples.h"

using namespace zorvane;
using zorvane::testing::MeasuredRun;
using zorvane::testing::RunMeasured;

namespace {

namespace fs = std::filesystem;

struct Files {
    std::string dir = bench::TempPath("cli-cost");
    std::string tileSet = dir + "/big.zp";  // "zmpe", 65535 bitmaps
    std::string map = dir + "/map.zl";      // 206 x 206 squares
    Files() {
        fs::create_directories(dir);
        {
            Project p;
            bench::AddDistinctBitmaps(p, MaxBitmaps, 1);
            for (int i = 0; i < 100; ++i) p.NewTiles.push_back(std::make_unique<MapTile>(1 + i % 4, 1 + i % 3));
            SaveFileAtomically(tileSet, EncodeZP(p, TileSetVariant::Zmpe));
        }
        {
            // A map of the sample content at the largest size, with its tile set.
            samples::SampleTileSet set = samples::BuildSampleTileSet();
            const samples::SampleMap map = samples::ComposeTerrainMap(set, 7, 202, 202);
            Project& p = set.Tiles;
            p.MapWidth = map.Width;
            p.MapHeight = map.Height;
            for (std::size_t i = 0; i < map.Squares.size(); ++i) {
                auto tile = std::make_unique<MapTile>(1, 1);
                tile->X = static_cast<int>(i % static_cast<std::size_t>(map.Width));
                tile->Y = static_cast<int>(i / static_cast<std::size_t>(map.Width));
                tile->Sq[0] = map.Squares[i];
                p.UsedTiles.push_back(std::move(tile));
            }
            SaveFileAtomically(this->map, EncodeZL(p));
        }
    }
    ~Files() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

const Files& TheFiles() {
    static Files files;
    return files;
}

MeasuredRun Zorvane(std::vector<std::string> args) {
    args.insert(args.begin(), ZORVANE_CLI_PATH);
    return RunMeasured(args, TheFiles().dir);
}

// A generator data file learned from the sample meadow, with the grass
// connector, by the program itself.
const std::string& LearnedData() {
    static const std::string data = [] {
        const std::string path = TheFiles().dir + "/learned.zg";
        if (Zorvane({"samples", "s", "--seed", "1"}).status != 0 ||
            Zorvane({"learn", "s/zmpe/meadow.zm", "s/zmpe/grass_connector.zm", "--connector",
                     "s/zmpe/grass_connector.zm", "-o", path})
                    .status != 0)
            throw Error("cannot learn the sample meadow");
        return path;
    }();
    return data;
}

// Reads the file and writes it whole into another, synced to disk.
double PlainCopySeconds(const std::string& from, const std::string& to) {
    const auto start = std::chrono::steady_clock::now();
    const std::vector<std::uint8_t> bytes = ReadWholeFile(from);
    const int fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) throw Error("cannot create " + to);
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) throw Error("cannot write " + to);
        done += static_cast<std::size_t>(n);
    }
    ::fsync(fd);
    ::close(fd);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Report(benchmark::State& state, const MeasuredRun& run) {
    if (run.status != 0) state.SkipWithError("the command failed");
    state.SetIterationTime(run.seconds);
    state.counters["peak_MiB"] = static_cast<double>(run.peakKiB) / 1024.0;
    benchmark::Counter& cpu = state.counters["cpu_ms"];
    cpu.flags = benchmark::Counter::kAvgIterations;
    cpu.value += run.cpuSeconds * 1000.0;
}

void BM_Baseline(benchmark::State& state) {
    TheFiles();
    for (auto _ : state) Report(state, Zorvane({"--version"}));
}

// range(0): 0 writes the variant read ("zmpe"), 1 writes "zme".
void BM_ConvertTileSet(benchmark::State& state) {
    const std::string out = TheFiles().dir + "/out.zp";
    double copySeconds = 0, convertSeconds = 0;
    for (auto _ : state) {
        fs::remove(out);
        std::vector<std::string> args{"convert", TheFiles().tileSet, out};
        if (state.range(0)) args.insert(args.end(), {"--variant", "zme"});
        const MeasuredRun run = Zorvane(args);
        Report(state, run);
        convertSeconds += run.seconds;
        copySeconds += PlainCopySeconds(TheFiles().tileSet, TheFiles().dir + "/copy.bin");
        state.counters["peak_per_output"] =
            static_cast<double>(run.peakKiB) * 1024.0 / static_cast<double>(fs::file_size(out));
    }
    state.counters["copy_s"] = benchmark::Counter(copySeconds, benchmark::Counter::kAvgIterations);
    state.counters["x_copy"] = convertSeconds / copySeconds;
}

void BM_InfoTileSet(benchmark::State& state) {
    for (auto _ : state) Report(state, Zorvane({"info", TheFiles().tileSet}));
}

// A map of 10 x 10 squares, one worker, a seed: mostly the program's start.
void BM_Generate10x10(benchmark::State& state) {
    const std::string data = LearnedData();
    for (auto _ : state)
        Report(state, Zorvane({"generate", data, "-o", "small.zl", "--size", "10x10", "--seed", "7", "--threads", "1"}));
}

#ifdef ZORVANE_WITH_RENDER
// range(0): the PNG's compression level (1 is the default); "output_MB"
// is the size of the picture written.
void BM_RenderMap(benchmark::State& state) {
    const std::string out = TheFiles().dir + "/map.png";
    for (auto _ : state) {
        fs::remove(out);
        Report(state, Zorvane({"render", TheFiles().map, out, "--compression", std::to_string(state.range(0))}));
        state.counters["output_MB"] = static_cast<double>(fs::file_size(out)) / 1e6;
    }
}
BENCHMARK(BM_RenderMap)->Arg(1)->Arg(9)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
#endif

}  // namespace

BENCHMARK(BM_Baseline)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ConvertTileSet)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_InfoTileSet)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Generate10x10)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_MAIN();
