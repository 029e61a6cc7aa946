// What the statistics window costs a generation: a 202 x 202 map of the
// sample content (the same seed, one worker thread) generated with the
// window shown, its charts drawn by their timer, and with a report that
// does nothing. Both runs let window messages run between the driver's
// steps. The runs alternate, so that a busy machine slows both alike; the
// medians and the window's extra time are reported. Target: at most 5 %.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <ctime>

#include "editor_bench_support.h"
#include "editor/main_window.h"
#include "generator/driver/generation.h"
#include "generator/learning/learn.h"
#include "generator/zg_file.h"
#include "monitor/chart_widgets.h"
#include "monitor/stats_window.h"
#include "samples/samples.h"

using namespace zorvane;

namespace {

constexpr int kSize = 202;
constexpr std::uint64_t kSeed = 5;

const std::vector<std::uint8_t>& Knowledge() { return bench::LearnedSamples("stats"); }

// Lets window messages run when the driver polls, as the editor does.
class EventsUi : public SilentUi {
public:
    void processEvents() override { QApplication::processEvents(); }
};

struct Generation {
    Project project;
    MapGenerator gen;
    GeneratorSettings settings;
    MapGenerationEngine engine{gen};
    Generation() {
        project.Generator = &gen;
        ApplyPreset(ParseZG(Knowledge()), project, gen, settings);
        settings.WidthWithoutBorders = settings.HeightWithoutBorders = kSize;
        settings.WorkerThreads = 1;
    }
    // Wall and processor seconds of one run.
    struct Time {
        double Wall = 0;
        double Cpu = 0;
    };
    Time Run(GenerationReport& report, bool& completed) {
        EventsUi ui;
        GenerationRequests requests;
        GenerateOptions options;
        options.Seed = kSeed;
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpu = std::clock();
        completed = engine.Generate(project, ui, settings, requests, report, options) == GenerateOutcome::Completed;
        return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC};
    }
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return (v[v.size() / 2] + v[(v.size() - 1) / 2]) / 2;
}

void BM_StatsWindowCost(benchmark::State& state) {
    editor::MainWindow window(false);
    Generation silentRun, shownRun;
    editor::StatsWindow stats(window, shownRun.engine);
    stats.show();
    GenerationReport nothing;
    std::vector<double> silent, shown, silentCpu, shownCpu;
    int completed = 0, runs = 0;
    for (auto _ : state) {
        bool ok = false;
        const Generation::Time a = silentRun.Run(nothing, ok);
        completed += ok;
        const Generation::Time b = shownRun.Run(stats, ok);
        completed += ok;
        runs += 2;
        silent.push_back(a.Wall);
        shown.push_back(b.Wall);
        silentCpu.push_back(a.Cpu);
        shownCpu.push_back(b.Cpu);
    }
    const double a = Median(silent), b = Median(shown);
    const double ac = Median(silentCpu), bc = Median(shownCpu);
    state.counters["silent_s"] = a;
    state.counters["window_s"] = b;
    state.counters["extra_%"] = 100.0 * (b - a) / a;
    state.counters["silent_cpu_s"] = ac;
    state.counters["window_cpu_s"] = bc;
    state.counters["extra_cpu_%"] = 100.0 * (bc - ac) / ac;
    state.counters["completed_%"] = 100.0 * completed / runs;
    state.counters["chart_samples"] = stats.ChartWhole->Chart().SamplesReceived();
}
// One iteration = one run without and one with the window.
BENCHMARK(BM_StatsWindowCost)->Iterations(15)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return bench::RunQtBenchmarks(argc, argv); }
