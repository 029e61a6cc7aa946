// The square preview window with 1,000 neighbour records: one scroll step
// (SBy moved by a small step: one Render of the whole view and its paint),
// with and without the "Id" numbers, and filling the list. Target: a step
// under 16 ms.

#include <benchmark/benchmark.h>

#include "editor_bench_support.h"

#include <QApplication>
#include <QScrollBar>
#include <random>

#include "bench_support.h"
#include "presenter/square_preview.h"
#include "generator/sq_preview_window.h"
#include "ui/ui.h"

using namespace zorvane;

namespace {

constexpr int kSquares = 1000;

class QuietUi : public UserInterface {
public:
    Answer message(std::string_view, std::string_view, Icon, Buttons, Answer a) override { return a; }
    std::optional<std::string> chooseFile(const FileDialog&) override { return std::nullopt; }
    void setStatus(std::string_view) override {}
    std::string status() const override { return {}; }
    void showProgress(bool) override {}
    void hideProgress(bool) override {}
    void setProgressPosition(int) override {}
    void setBusy(bool) override {}
    void processEvents() override {}
};

// 1,000 learned squares with ground and top bitmaps, each with up to 8
// right and 6 lower neighbours.
struct Learned {
    Project project;
    MapGenerator generator;
    Learned() {
        for (int i = 0; i < 256; ++i) {
            project.Palette[i * 4] = static_cast<std::uint8_t>(i);
            project.Palette[i * 4 + 1] = static_cast<std::uint8_t>(i * 3);
            project.Palette[i * 4 + 2] = static_cast<std::uint8_t>(i * 7);
        }
        bench::AddDistinctBitmaps(project, 2 * kSquares, 5);
        std::mt19937 rng(3);
        for (int i = 0; i < kSquares; ++i)
            generator.FindOrAddSq(static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(kSquares + i), 0);
        generator.FindOrAddSq(NoBitmap, NoBitmap, AtrImpassable);
        for (int i = 0; i < kSquares; ++i) {
            for (int n = static_cast<int>(rng() % 8) + 1; n > 0; --n)
                generator.AddJoinRight(i, static_cast<int>(rng() % kSquares), 1);
            for (int n = static_cast<int>(rng() % 6) + 1; n > 0; --n)
                generator.AddJoinDown(i, static_cast<int>(rng() % kSquares), 1);
        }
    }
};

struct PreviewWindow {
    Learned learned;
    PreviewData data;
    generator_ui::SquarePreviewWindow preview{learned.project, nullptr};
    PreviewWindow() {
        QuietUi ui;
        data = PrepareSqMatchesPreview(learned.generator, ui);
        preview.List().Fill(data);
        preview.resize(687, 350);
        preview.show();
        QApplication::processEvents();
    }
};

PreviewWindow& Window() {
    static PreviewWindow w;
    return w;
}

// Scrolls down by the bar's small step, back to the top at the end.
void ScrollSteps(benchmark::State& state, bool ids) {
    PreviewWindow& w = Window();
    if (w.preview.IdMode() != ids) w.preview.BtnShowIdClick();
    QScrollBar* bar = w.preview.SBy;
    bar->setValue(0);
    for (auto _ : state) {
        const int next = bar->value() + bar->singleStep();
        bar->setValue(next > bar->maximum() ? 0 : next);
        QApplication::processEvents();  // the view paints the new picture
        benchmark::DoNotOptimize(w.preview.Surface().constBits());
    }
    state.counters["records"] = w.preview.List().Count();
    state.counters["view_px"] = w.preview.Surface().width() * w.preview.Surface().height();
}

void BM_ScrollStep(benchmark::State& state) { ScrollSteps(state, false); }
void BM_ScrollStepWithIds(benchmark::State& state) { ScrollSteps(state, true); }

void BM_FillList(benchmark::State& state) {
    PreviewWindow& w = Window();
    SqPreviewList list;
    for (auto _ : state) {
        list.Fill(w.data);
        benchmark::DoNotOptimize(list.ContentHeight());
    }
}

}  // namespace

BENCHMARK(BM_ScrollStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollStepWithIds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillList)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return zorvane::bench::RunQtBenchmarks(argc, argv); }
