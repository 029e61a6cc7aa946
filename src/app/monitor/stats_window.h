#pragma once
// StatsWindow, the "Generator Statistics" window: the settings of the running
// generation, its live statistics and three charts (the completed
// percentage of the last 40 seconds and of the whole run, and the map of
// rows done with the line fragments of the current row). It only shows what
// the generation driver hands it, and costs the driver no more than storing
// the values: the labels follow every 100 ms, and the charts draw on their
// own 200 ms timer, which runs while the generator is not idle.
//
// The window is made once with the main window. It shows itself at the
// first run after the program started, beside the main window, and later
// where the user left it; keys pressed in it go to the main window's input
// controller, so Esc stops a run from here too. It stays above the main
// window but not above the modal windows opened over it.

#include <QPoint>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>
#include <chrono>
#include <functional>
#include <optional>

#include "generator/driver/generation.h"
#include "monitor/stats_window_host.h"
#include "presenter/stats_charts.h"

class QCheckBox;
class QKeyEvent;
class QLabel;
class QScrollArea;

namespace zorvane {
class MapGenerationEngine;
}

namespace zorvane::editor {

class LineChartWidget;
class MapChartWidget;

// "HH:MM:SS" of a time span; the hours wrap after 24.
QString ClockText(std::chrono::steady_clock::duration span);

// Where a window of `frame` size goes beside `owner` (frame geometries):
// right of it, else left of it, at its top, when that fits `available`;
// otherwise on the roomier side, kept on the screen. Always inside
// `available` when the window is not larger than it.
QPoint PlaceBeside(const QRect& owner, const QSize& frame, const QRect& available);

// The lines of the settings block, in their order.
enum class SettingsLine {
    MapSize,
    StartingLine,
    Simplified,
    ContinueOldSquares,
    AvoidTwins,
    ChoiceFactor,
    ObjectSizes,
    MaxThreads,
    MaxCombinations,
    PlannedRepeats,
    ReduceLAC,
    FirstAttempts,
    Max1stStatesAttempts,
    MaxReturn,
    TimeWithdrawals,
    Freezer,
    BackupSchedule,
    BackupFile,
};
inline constexpr int SettingsLineCount = 18;

// The lines of the statistics block, in their order.
enum class StatsLine {
    State,
    Elapsed,
    Percent,
    RunningThreads,
    CurrentRow,
    RowTime,
    FirstLineAttempt,
    LocalAttempt,
    SubChainVariants,
    Weakest,
    LastCLA,
    Favg,
    Lfavg,
    TopCLAavg,
    ThreadErrors,
};
inline constexpr int StatsLineCount = 15;

class StatsWindow : public QWidget, public GenerationReport {
public:
    // `generator` holds the sub-chains of the row being generated, which the
    // map chart draws.
    StatsWindow(StatsWindowHost& window, const MapGenerationEngine& engine);
    ~StatsWindow() override;

    // What the driver tells.
    void ResetHeartbeat() override;
    void AdvanceHeartbeat(bool threadsWorked) override;
    void ResetCharts(int innerWidth, int innerHeight) override;
    void ShowIfRequested() override;
    void ShowSettings(const RunDescription& run) override;
    void ShowBackupSchedule(std::string_view text) override;
    void ShowStatistics(const GenerationStatistics& stats) override;
    void ShowElapsedTime(std::chrono::steady_clock::duration elapsed) override;
    void SetGeneratorState(GeneratorState state) override;

    // Called when the window is shown or closed (the menu item's check mark).
    std::function<void(bool shown)> ShownChanged;
    bool StatsShown() const { return shown_; }

    // One tick of the charts timer: a sample of the last percentage on both
    // line charts, and the current row on the map chart.
    void ChartsTick();
    bool ChartsTimerActive() const { return timer_.isActive(); }
    bool ChartsOn() const { return chartsOn_; }

    QLabel* Value(SettingsLine line) const { return settingValues_[static_cast<std::size_t>(line)]; }
    QLabel* Value(StatsLine line) const { return statValues_[static_cast<std::size_t>(line)]; }
    // The heartbeat character shown after the state text.
    QChar Heartbeat() const;

    QLabel* LSettings;
    QLabel* LEsc;
    QLabel* LStatistics;
    QCheckBox* CBcharts;
    LineChartWidget* ChartRecent;
    LineChartWidget* ChartWhole;
    MapChartWidget* MapChart;
    QScrollArea* Scroll;

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void CreateControls();
    // The window's size from its design; it scrolls when taller than the screen.
    void FitToScreen();
    // The height of the title bar and borders the system adds.
    int FrameExtra() const;
    void CBchartsClick(bool on);
    // The statistics block shows the staged values soon (now when idle).
    void ValuesChanged();
    void ShowValues();
    void SetValue(SettingsLine line, const QString& text);
    void SetValue(StatsLine line, const QString& text);

    StatsWindowHost& window_;
    const MapGenerationEngine& engine_;
    QWidget* content_ = nullptr;
    std::array<QLabel*, SettingsLineCount> settingValues_{};
    std::array<QLabel*, StatsLineCount> statValues_{};
    QTimer timer_;        // the charts
    QTimer valuesTimer_;  // the statistics block's next refresh
    GenerationStatistics staged_;  // what the statistics block shows next
    int designWidth_ = 0;
    int designHeight_ = 0;
    int escRight_ = 0;  // the Esc label's right edge without a scroll bar

    GeneratorState state_ = GeneratorState::Idle;
    int heartbeat_ = 0;  // 0, 1, 2: "-", "\", "/"
    int lastPercent_ = 0;
    int lastRow_ = 0;
    int innerHeight_ = 0;  // of the run's map
    FirstLineDrawing firstLine_;
    bool chartsOn_ = true;
    std::optional<QPoint> place_;  // where the user left the window's inside
    bool showPending_ = true;
    bool shown_ = false;
};

}  // namespace zorvane::editor
