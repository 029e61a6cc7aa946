// "Generate Map" in the editor against the command-line tool's run: a
// 202 x 202 map of the sample content, the same seed and one worker thread,
// once through the main window's command with "Update Display" on (the view
// drawn row by row, window messages let run at every poll) and once as the
// command-line tool runs it (no window, no messages). The runs alternate so
// that a busy machine slows both alike; the medians and their ratio are
// reported. Target: the editor's run at most 1.5 times the other.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>

#include "editor_bench_support.h"
#include "editor/main_window.h"
#include "generator/driver/generation.h"
#include "generator/generator_settings.h"
#include "generator/learning/learn.h"
#include "generator/zg_file.h"
#include "samples/samples.h"

using namespace zorvane;

namespace {

constexpr int kSize = 202;
constexpr std::uint64_t kSeed = 5;

const std::vector<std::uint8_t>& Knowledge() { return bench::LearnedSamples("editor-generate"); }

void Prepare(Project& project, MapGenerator& gen, GeneratorSettings& settings) {
    ApplyPreset(ParseZG(Knowledge()), project, gen, settings);
    settings.WidthWithoutBorders = settings.HeightWithoutBorders = kSize;
    settings.WorkerThreads = 1;
}

// Every question of the editor answered with OK.
class Yes : public app::DialogAnswerer {
public:
    Answer answer(const app::ShownMessage&) override { return Answer::Ok; }
    std::optional<std::string> chooseFile(const FileDialog&, const QString&) override { return std::nullopt; }
};

double Seconds(const std::function<void()>& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return (v[v.size() / 2] + v[(v.size() - 1) / 2]) / 2;
}

void BM_EditorAgainstCommandLine(benchmark::State& state) {
    editor::MainWindow window(false);
    Yes yes;
    window.ui().setAnswerer(&yes);
    window.resize(1280, 800);
    window.show();
    auto& gen = window.generatorSettingsWindow();
    Prepare(window.project(), gen.generator(), gen.settings());
    window.RunOptions.Seed = kSeed;

    Project project;
    MapGenerator plainGen;
    project.Generator = &plainGen;
    GeneratorSettings settings;
    Prepare(project, plainGen, settings);
    MapGenerationEngine engine(plainGen);

    std::vector<double> plain, editor;
    int completed = 0, runs = 0;
    for (auto _ : state) {
        SilentUi ui;
        GenerationRequests requests;
        GenerationReport report;
        GenerateOptions options;
        options.Seed = kSeed;
        GenerateOutcome outcome{};
        plain.push_back(Seconds([&] { outcome = engine.Generate(project, ui, settings, requests, report, options); }));
        completed += outcome == GenerateOutcome::Completed;
        editor.push_back(Seconds([&] { window.MGenerateMapClick(); }));
        completed += window.Panel(0).startsWith(QStringLiteral("Map generated in"));
        runs += 2;
    }
    const double a = Median(plain), b = Median(editor);
    state.counters["command_line_s"] = a;
    state.counters["editor_s"] = b;
    state.counters["ratio"] = b / a;
    state.counters["completed_%"] = 100.0 * completed / runs;
}
// One iteration = one run of each.
BENCHMARK(BM_EditorAgainstCommandLine)->Iterations(9)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return bench::RunQtBenchmarks(argc, argv); }
