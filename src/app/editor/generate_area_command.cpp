// "Generate in Selection": new squares for the rectangle the selected tiles
// cover, joined to the map around it. The run locks the window as "Generate
// Map" does; Esc stops it with nothing changed; a completed run is one undo
// step.

#include "editor/main_window.h"
#include "generator/area/area_generation.h"
#include "generator/generator_settings.h"
#include "generator/run_report.h"
#include "monitor/stats_window.h"

namespace zorvane::editor {

void MainWindow::MGenerateInSelectionClick() {
    if (running_) return;
    const std::optional<MapArea> area = SelectedArea(project_);
    if (!area) {
        ui_.message("Generate in Selection",
                    "Select the tiles that cover the area to generate first: the area is the rectangle around them.",
                    Icon::Information);
        return;
    }
    RecordStep("Change");  // nothing may change under the history unrecorded
    LongOperationStarts();
    auto& settings = *generatorSettings_;
    generator_ui::EditorRunReport report(*this, stats_.get());
    running_ = true;
    LockForRun(true);
    controller_.Disable();
    controller_.SetGenerationRequests(&requests_);
    AreaOptions options;
    options.Seed = RunOptions.Seed;
    options.TimeLimit = RunOptions.TimeLimit;
    options.TwinsDisallowed = settings.settings().CBavoidTwins;
    AreaOutcome outcome = AreaOutcome::Refused;
    try {
        outcome = GenerateInArea(project_, ui_, settings.engine().Generator(), *area, options, requests_, report);
    } catch (const std::exception& e) {
        ui_.error("Error", e.what());
    }
    ui_.processEvents();
    controller_.SetGenerationRequests(nullptr);
    controller_.Enable();
    running_ = false;
    LockForRun(false);
    if (outcome == AreaOutcome::Completed) {
        UpdateSBDepth(false);
        FullRedraw();
        RecordStep("Generate in selection", Parts::UsedTiles);
    }
    LongOperationEnded();
    if (closeAfterRun_) {
        closeAfterRun_ = false;
        close();
    }
}

}  // namespace zorvane::editor
