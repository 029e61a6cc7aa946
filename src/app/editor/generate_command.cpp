// "Generate Map": the run of the map generator from the main window, and
// what the window locks while it runs.
//
// The driver runs on this thread and lets window messages run between its
// steps, so the window stays responsive: the view and the mini map show the
// rows as they are made, Esc and the digit keys reach the run through its
// requests, and the view can be scrolled. What would change the project
// under the driver is locked until the run ends: the commands of the menus
// (all but the view options, the generator's toggles and the help), the
// tiles list, and the mouse's editing of the map.

#include <QAction>

#include "editor/main_window.h"
#include "editor/tiles_list.h"
#include "generator/generator_settings.h"
#include "generator/run_report.h"
#include "monitor/stats_window.h"

namespace zorvane::editor {
namespace {

// Actions that stay available while a run goes on.
bool AvailableDuringRun(const QString& name) {
    static const char* const kept[] = {"MUpdateDisplay", "MStatsWindow", "MManualRepeats", "MClearBrokenRepeats",
                                       "MMiniMap",       "MControls",    "MAbout",         "MTutorials"};
    for (const char* k : kept)
        if (name == QLatin1String(k)) return true;
    return name.startsWith(QLatin1String("MShow"));  // view options
}

}  // namespace

void MainWindow::LockForRun(bool locked) {
    if (locked) {
        lockedActions_.clear();
        for (QAction* a : findChildren<QAction*>())
            if (a->isEnabled() && !a->objectName().isEmpty() && !AvailableDuringRun(a->objectName())) {
                a->setEnabled(false);
                lockedActions_.push_back(a);
            }
    } else {
        for (const QPointer<QAction>& a : lockedActions_)
            if (a) a->setEnabled(true);
        lockedActions_.clear();
        UpdateTilesListCommands();
    }
    tilesList_->setEnabled(!locked);
}

void MainWindow::MGenerateMapClick() {
    if (running_) return;
    if ((!project_.UsedTiles.empty() || !project_.NoProject) &&
        ui_.message("Warning", "This operation will close or overwrite the current project!", Icon::Warning,
                    Buttons::OkCancel) != Answer::Ok)
        return;
    LongOperationStarts();
    auto& settings = *generatorSettings_;
    // The whole run is one step, a map of no file yet.
    commands_.Run(ProjectCommand::GenerateMap, [&] {
        RunGenerator([&](GenerationReport& report) {
            settings.engine().Generate(project_, ui_, settings.settings(), requests_, report, RunOptions);
        });
        UpdateStatusBar();
        if (!project_.UsedTiles.empty()) ShowChange({Changed::MapSize | Changed::UsedTiles});
    });
    LongOperationEnded();
    CloseIfAskedDuringRun();
}

void MainWindow::RunGenerator(const std::function<void(GenerationReport&)>& run) {
    generator_ui::EditorRunReport report(*this, stats_.get());
    running_ = true;
    LockForRun(true);
    controller_.Disable();
    controller_.SetGenerationRequests(&requests_);
    try {
        run(report);
    } catch (const std::exception& e) {
        ui_.error("Error", e.what());
    }
    ui_.processEvents();
    controller_.SetGenerationRequests(nullptr);
    controller_.Enable();
    running_ = false;
    LockForRun(false);
}

void MainWindow::CloseIfAskedDuringRun() {
    if (!closeAfterRun_) return;
    closeAfterRun_ = false;
    close();
}

}  // namespace zorvane::editor
