#pragma once
// What the main window makes of a generation run's reports: the rewritten
// map rows drawn in the view (with "Update Display" checked) and the log
// written when the run ends. Every report also goes on to the statistics
// window, when there is one.

#include "generator/driver/generation.h"
#include "generator/generator_host.h"

namespace zorvane::generator_ui {

class EditorRunReport : public GenerationReport {
public:
    // `stats`: the statistics window's report, or null.
    EditorRunReport(RunReportHost& window, GenerationReport* stats);

    void ResetHeartbeat() override { stats_.ResetHeartbeat(); }
    void AdvanceHeartbeat(bool threadsWorked) override { stats_.AdvanceHeartbeat(threadsWorked); }
    void ResetCharts(int innerWidth, int innerHeight) override { stats_.ResetCharts(innerWidth, innerHeight); }
    void ShowIfRequested() override { stats_.ShowIfRequested(); }
    void ShowSettings(const RunDescription& run) override { stats_.ShowSettings(run); }
    void ShowBackupSchedule(std::string_view text) override { stats_.ShowBackupSchedule(text); }
    void ShowStatistics(const GenerationStatistics& s) override { stats_.ShowStatistics(s); }
    void ShowElapsedTime(std::chrono::steady_clock::duration t) override { stats_.ShowElapsedTime(t); }
    void SetGeneratorState(GeneratorState state) override { stats_.SetGeneratorState(state); }
    void MapRowsChanged(int firstRow, int lastRow) override;
    void RunEnded() override;

private:
    RunReportHost& window_;
    GenerationReport none_;
    GenerationReport& stats_;
};

}  // namespace zorvane::generator_ui
