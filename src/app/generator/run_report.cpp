#include "generator/run_report.h"

#include <algorithm>
#include <exception>

namespace zorvane::generator_ui {

EditorRunReport::EditorRunReport(RunReportHost& window, GenerationReport* stats)
    : window_(window), stats_(stats ? *stats : none_) {}

// Only the rows of the view are drawn; the mini map follows the view's
// drawing on its own timer.
void EditorRunReport::MapRowsChanged(int firstRow, int lastRow) {
    stats_.MapRowsChanged(firstRow, lastRow);
    if (!window_.UpdateDisplay()) return;
    const auto& r = window_.renderer();
    if (lastRow < r.ScrollY || firstRow > r.ScrollY + r.ViewRows()) return;
    window_.Render(r.ScrollX, r.ScrollX + r.ViewCols(), firstRow, lastRow, 0, 0);
}

void EditorRunReport::RunEnded() {
    stats_.RunEnded();
    try {
        window_.WriteLogLinesToFile();
    } catch (const std::exception&) {
        // The log is diagnostic: its lines stay held and are written again
        // at the next run's end or at shutdown; the run's result stands.
    }
}

}  // namespace zorvane::generator_ui
