// "Generate in Selection": new squares for the rectangle the selected tiles
// cover, joined to the map around it. The run locks the window as "Generate
// Map" does; Esc stops it with nothing changed; a completed run is one undo
// step.

#include "editor/main_window.h"
#include "generator/area/area_generation.h"
#include "generator/generator_settings.h"

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
    LongOperationStarts();
    auto& settings = *generatorSettings_;
    AreaOptions options;
    options.Seed = RunOptions.Seed;
    options.TimeLimit = RunOptions.TimeLimit;
    options.TwinsDisallowed = settings.settings().NoIdenticalNeighbours;
    AreaOutcome outcome = AreaOutcome::Refused;
    commands_.Run(ProjectCommand::GenerateInSelection, [&] {
        RunGenerator([&](GenerationReport& report) {
            outcome = GenerateInArea(project_, ui_, settings.engine().Generator(), *area, options, requests_, report);
        });
    });
    if (outcome == AreaOutcome::Completed) {
        UpdateSBDepth(false);
        FullRedraw();
    }
    LongOperationEnded();
    CloseIfAskedDuringRun();
}

}  // namespace zorvane::editor
