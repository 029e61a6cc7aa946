// How quick generation is as a user runs it: whole `zorvane generate`
// processes on the sample content learned with and without "Learn how often
// squares occur" (as bench/frequency_quality.sh learns it), and on the easy
// corner squares of the threads benchmark. Four figures, one benchmark each:
//
//   SlowestSeed     100 x 100, seeds 1-20, one worker, with counts: the
//                   slowest run over the median (processor time; wall time
//                   beside it). Seed 10 was 20 times the median once: the
//                   seeds that were slow stay among these. Target: 5x.
//   CountsCost      202 x 202, one worker: processor time with counts over
//                   without (the same seeds). Target: 1.3x.
//   DefaultWorkers  202 x 202 with counts: wall time with the data file's
//                   workers (two) over one worker, runs side by side.
//                   Target: 1.0x.
//   CornerSquares   202 x 202 on the corner squares, plain (arg 0) and with
//                   counts (arg 1), one worker: processor time of a run. With
//                   ZORVANE_BASELINE naming another build of zorvane, that
//                   build's time on the same runs and the ratio. Target:
//                   0.7x of the build before this benchmark was written.
//
// ZORVANE_PROGRAM names another build of zorvane to measure instead of this
// one (the figures of an older build, for comparison).
//
// Every map written is checked with `zorvane check` (valid_%).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <numeric>

#include "bench_support.h"
#include "corner_squares.h"
#include "generator/zg_file.h"
#include "measured_run.h"
#include "platform/error.h"
#include "platform/file_io.h"

using namespace zorvane;
using zorvane::testing::MeasuredRun;
using zorvane::testing::RunMeasured;

namespace {

namespace fs = std::filesystem;

constexpr int kSlowSeeds = 20;
constexpr int kLargeSeeds = 5;

const std::string& Dir() {
    static const std::string dir = [] {
        const std::string d = bench::TempPath("generator-speed");
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

MeasuredRun Run(const std::string& program, std::vector<std::string> args) {
    args.insert(args.begin(), program);
    return RunMeasured(args, Dir());
}

const std::string& Program() {
    static const std::string program = [] {
        const char* other = std::getenv("ZORVANE_PROGRAM");
        return std::string(other ? other : ZORVANE_CLI_PATH);
    }();
    return program;
}

MeasuredRun Zorvane(std::vector<std::string> args) { return Run(Program(), std::move(args)); }

void Require(const MeasuredRun& run, const std::string& what) {
    if (run.status != 0) throw Error("cannot " + what);
}

// The sample content learned without (off.zg) and with (on.zg) counts.
void LearnSamples() {
    static const bool learned = [] {
        Require(Zorvane({"samples", "content"}), "write the sample content");
        std::vector<std::string> learn{"learn"};
        for (const char* map : {"meadow", "lakes", "village", "islands", "highlands", "coast", "grass_connector"})
            learn.push_back("content/zmpe/" + std::string(map) + ".zm");
        learn.insert(learn.end(), {"--connector", "content/zmpe/grass_connector.zm", "-o"});
        auto off = learn, on = learn;
        off.push_back("off.zg");
        on.insert(on.end(), {"on.zg", "--frequencies"});
        Require(Zorvane(off), "learn the sample content");
        Require(Zorvane(on), "learn the sample content with counts");
        return true;
    }();
    (void)learned;
}

// The corner squares in the sample content's data file: corner_off.zg and
// corner_on.zg (with counts of an example of 200 x 200 squares).
void MakeCornerData() {
    static const bool made = [] {
        LearnSamples();
        const auto bytes = ReadWholeFile(Dir() + "/off.zg");
        for (bool counted : {false, true}) {
            Project project;
            MapGenerator gen;
            project.Generator = &gen;
            GeneratorSettings settings;
            ApplyPreset(ParseZG(bytes), project, gen, settings);
            bench::UseCornerSquares(gen, settings);
            if (counted) gen.Counts = bench::CornerExampleCounts(200, 1);
            settings.LearnFrequencies = counted;
            SaveFileAtomically(Dir() + (counted ? "/corner_on.zg" : "/corner_off.zg"), EncodeZG(project, gen, settings));
        }
        return true;
    }();
    (void)made;
}

struct Runs {
    std::vector<double> cpu, wall;
    int valid = 0;
    double Cpu() const { return std::accumulate(cpu.begin(), cpu.end(), 0.0); }
    double Wall() const { return std::accumulate(wall.begin(), wall.end(), 0.0); }
};

// One generate run of `data` at `size`, the map checked; `threads` 0 keeps
// the data file's workers.
void Generate(Runs& into, const std::string& data, const std::string& size, int seed, int threads,
              const std::string& program = Program()) {
    std::vector<std::string> args{"generate", data, "-o", "map.zl", "--size", size, "--seed", std::to_string(seed)};
    if (threads > 0) args.insert(args.end(), {"--threads", std::to_string(threads)});
    fs::remove(Dir() + "/map.zl");
    const MeasuredRun run = Run(program, args);
    into.cpu.push_back(run.cpuSeconds);
    into.wall.push_back(run.seconds);
    into.valid += run.status == 0 && Zorvane({"check", "map.zl", data}).status == 0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return (v[v.size() / 2] + v[(v.size() - 1) / 2]) / 2;
}

double ValidPercent(const Runs& runs) { return 100.0 * runs.valid / static_cast<double>(runs.cpu.size()); }

void BM_SlowestSeed(benchmark::State& state) {
    LearnSamples();
    Runs runs;
    for (auto _ : state)
        for (int seed = 1; seed <= kSlowSeeds; ++seed) Generate(runs, "on.zg", "100x100", seed, 1);
    const auto slowest = std::max_element(runs.cpu.begin(), runs.cpu.end());
    state.counters["slowest/median"] = *slowest / Median(runs.cpu);
    state.counters["slowest_seed"] = static_cast<double>(slowest - runs.cpu.begin() + 1);
    state.counters["median_cpu_s"] = Median(runs.cpu);
    state.counters["wall_slowest/median"] = *std::max_element(runs.wall.begin(), runs.wall.end()) / Median(runs.wall);
    state.counters["valid_%"] = ValidPercent(runs);
}

void BM_CountsCost(benchmark::State& state) {
    LearnSamples();
    Runs off, on;
    for (auto _ : state)
        for (int seed = 1; seed <= kLargeSeeds; ++seed) {
            Generate(off, "off.zg", "202x202", seed, 1);
            Generate(on, "on.zg", "202x202", seed, 1);
        }
    state.counters["cpu_on/off"] = on.Cpu() / off.Cpu();
    state.counters["cpu_off_s"] = off.Cpu() / kLargeSeeds;
    state.counters["cpu_on_s"] = on.Cpu() / kLargeSeeds;
    state.counters["valid_%"] = (ValidPercent(off) + ValidPercent(on)) / 2;
}

void BM_DefaultWorkers(benchmark::State& state) {
    LearnSamples();
    Runs one, fallback;
    for (auto _ : state)
        for (int seed = 1; seed <= kLargeSeeds; ++seed) {
            Generate(one, "on.zg", "202x202", seed, 1);
            Generate(fallback, "on.zg", "202x202", seed, 0);
        }
    state.counters["wall_default/one"] = fallback.Wall() / one.Wall();
    state.counters["wall_one_s"] = one.Wall() / kLargeSeeds;
    state.counters["wall_default_s"] = fallback.Wall() / kLargeSeeds;
    state.counters["cpu_default/one"] = fallback.Cpu() / one.Cpu();
    state.counters["valid_%"] = (ValidPercent(one) + ValidPercent(fallback)) / 2;
}

void BM_CornerSquares(benchmark::State& state) {
    MakeCornerData();
    const std::string data = state.range(0) ? "corner_on.zg" : "corner_off.zg";
    const char* baseline = std::getenv("ZORVANE_BASELINE");
    Runs now, before;
    for (auto _ : state)
        for (int seed = 1; seed <= kLargeSeeds; ++seed) {
            Generate(now, data, "202x202", seed, 1);
            if (baseline) Generate(before, data, "202x202", seed, 1, baseline);
        }
    state.counters["cpu_s"] = now.Cpu() / kLargeSeeds;
    if (baseline) {
        state.counters["baseline_cpu_s"] = before.Cpu() / kLargeSeeds;
        state.counters["cpu/baseline"] = now.Cpu() / before.Cpu();
    }
    state.counters["valid_%"] = ValidPercent(now);
}

}  // namespace

BENCHMARK(BM_SlowestSeed)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_CountsCost)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_DefaultWorkers)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_CornerSquares)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK_MAIN();
