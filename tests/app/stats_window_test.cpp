// The "Generator Statistics" window following real generation runs of the
// sample content: the values a run leaves, Esc pressed in the window
// stopping a run, the charts box and timer, the heartbeat and the keys.

#include <QCheckBox>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <random>

#include "editor_fixture.h"
#include "generator/generator_settings.h"
#include "generator/learning/learn.h"
#include "generator/zg_file.h"
#include "monitor/chart_widgets.h"
#include "monitor/stats_window.h"
#include "render/scaling.h"
#include "samples/samples.h"

namespace zorvane::testing {
namespace {

using editor::SettingsLine;
using editor::StatsLine;
using editor::StatsWindow;

// The sample maps learned once for every test, as generator data file bytes.
const std::vector<std::uint8_t>& SampleKnowledge() {
    static const std::vector<std::uint8_t> bytes = [] {
        TempDir dir;
        const auto files = samples::BuildSampleFiles(dir.file("samples"), 3);
        samples::WriteSampleFiles(files);
        Project project;
        MapGenerator gen;
        project.Generator = &gen;
        GeneratorSettings settings;
        for (const auto& f : files)
            if (f.Path.ends_with(".zm") && f.Path.find("/zmpe/") != std::string::npos)
                settings.LearnList.push_back({f.Path, 1, f.Path.find("connector") != std::string::npos});
        SilentUi ui;
        EXPECT_TRUE(Learn(project, ui, gen, settings).Completed);
        return EncodeZG(project, gen, settings);
    }();
    return bytes;
}

// The statistics window, noting the run's start row attempts as it ends.
class NotingStatsWindow : public StatsWindow {
public:
    NotingStatsWindow(editor::StatsWindowHost& host, const MapGenerationEngine& engine) : StatsWindow(host, engine), engine_(engine) {}
    void RunEnded() override { firstLineAttempt = engine_.CurrentRun()->Run.FirstLineAttempt; }
    std::int32_t firstLineAttempt = -2;

private:
    const MapGenerationEngine& engine_;
};

constexpr ChartColour kChartYellow{255, 255, 0};
constexpr ChartColour kDarkGreen{0, 128, 0};

class StatsWindowTest : public EditorTest {
protected:
    StatsWindowTest() : stats(window, Gen().engine()) {
        stats.ShownChanged = [this](bool shown) { shownCalls.push_back(shown); };
    }

    generator_ui::GeneratorSettingsWindow& Gen() { return window.generatorSettingsWindow(); }

    // The learned samples in the generator, a map of `size` x `size` to make.
    GeneratorSettings& Prepare(int size) {
        ApplyPreset(ParseZG(SampleKnowledge()), window.project(), Gen().generator(), Gen().settings());
        GeneratorSettings& s = Gen().settings();
        s.WidthWithoutBorders = s.HeightWithoutBorders = size;
        s.WorkerThreads = 1;
        return s;
    }

    GenerateOutcome Run(GeneratorSettings& settings, GenerationRequests& requests) {
        GenerateOptions options;
        options.Seed = 5;
        return Gen().engine().Generate(window.project(), window.ui(), settings, requests, stats, options);
    }

    std::string Shown(StatsLine line) const { return stats.Value(line)->text().toStdString(); }
    std::string Shown(SettingsLine line) const { return stats.Value(line)->text().toStdString(); }

    static int Count(const ChartPicture& picture, ChartColour colour) {
        return static_cast<int>(std::count(picture.Px.begin(), picture.Px.end(), colour));
    }

    NotingStatsWindow stats;
    std::vector<bool> shownCalls;
};

TEST_F(StatsWindowTest, ARunLeavesItsSettingsAndFinalNumbersAndShowsTheWindowOnlyAtTheFirstRun) {
    EXPECT_FALSE(stats.isVisible());
    EXPECT_EQ(Shown(StatsLine::State), "Idle -") << "creation ends with a reset";
    EXPECT_EQ(Shown(StatsLine::Weakest), "0 (0-0)");
    EXPECT_EQ(Shown(StatsLine::Favg), "0.00");

    GeneratorSettings& settings = Prepare(12);
    settings.SimplifiedFirstLine = false;
    settings.NoIdenticalNeighbours = true;
    settings.ReduceLocalAttempts = false;
    GenerationRequests requests;
    ASSERT_EQ(Run(settings, requests), GenerateOutcome::Completed) << window.ui().status();

    EXPECT_TRUE(stats.isVisible()) << "the first run shows the window";
    EXPECT_TRUE(stats.StatsShown());
    EXPECT_EQ(shownCalls, std::vector<bool>{true});
    EXPECT_EQ(Shown(StatsLine::State), "Idle -");
    EXPECT_EQ(Shown(StatsLine::Percent), "100%");
    EXPECT_EQ(Shown(StatsLine::CurrentRow), "13") << "the last inner row of a 16-row map";
    EXPECT_EQ(Shown(StatsLine::RunningThreads), "0");
    EXPECT_EQ(Shown(StatsLine::FirstLineAttempt), std::to_string(stats.firstLineAttempt));
    EXPECT_EQ(Shown(StatsLine::Elapsed).size(), 8u);
    EXPECT_EQ(Shown(StatsLine::Favg).find('.'), Shown(StatsLine::Favg).size() - 3) << "two decimals";
    EXPECT_FALSE(stats.ChartsTimerActive()) << "idle after the run";

    EXPECT_EQ(Shown(SettingsLine::MapSize), "12x12");
    EXPECT_EQ(Shown(SettingsLine::StartingLine), std::to_string(settings.StartLine));
    EXPECT_EQ(Shown(SettingsLine::Simplified), "Disabled");
    EXPECT_EQ(Shown(SettingsLine::AvoidTwins), "Enabled");
    EXPECT_EQ(Shown(SettingsLine::ReduceLAC), "Disabled");
    EXPECT_EQ(Shown(SettingsLine::ContinueOldSquares), settings.ContinueExistingSquares ? "Enabled" : "Disabled");
    EXPECT_EQ(Shown(SettingsLine::MaxThreads), "1");
    EXPECT_EQ(Shown(SettingsLine::PlannedRepeats), settings.ScheduleOfRepeats);
    EXPECT_NE(Shown(SettingsLine::ChoiceFactor).find("; by "), std::string::npos);
    EXPECT_FALSE(Shown(SettingsLine::BackupSchedule).empty());
    EXPECT_FALSE(Shown(SettingsLine::Freezer).empty());

    // The map chart of a completed run: every row done, 12 x 12 squares at scale 16.
    const ChartPicture& map = stats.MapChart->Chart().Picture();
    EXPECT_EQ(map.Width, 192);
    EXPECT_EQ(map.Height, 192);
    EXPECT_EQ(Count(map, kDarkGreen), 192 * 192);
    EXPECT_EQ(stats.MapChart->size(), QSize(192, 192));

    // Closed by the user, the window stays closed at the next run, and its
    // values follow the run all the same.
    stats.close();
    EXPECT_FALSE(stats.StatsShown());
    EXPECT_EQ(shownCalls, (std::vector<bool>{true, false}));
    settings.WidthWithoutBorders = 10;
    settings.SimplifiedFirstLine = true;
    ASSERT_EQ(Run(settings, requests), GenerateOutcome::Completed) << window.ui().status();
    EXPECT_FALSE(stats.isVisible());
    EXPECT_EQ(Shown(SettingsLine::MapSize), "10x12");
    EXPECT_EQ(Shown(SettingsLine::Simplified), "Enabled");
    stats.show();
    EXPECT_EQ(shownCalls, (std::vector<bool>{true, false, true}));
}

TEST_F(StatsWindowTest, OpenedAndClosedBeforeTheFirstRunTheWindowStaysClosed) {
    stats.show();
    stats.close();
    GenerationRequests requests;
    ASSERT_EQ(Run(Prepare(10), requests), GenerateOutcome::Completed) << window.ui().status();
    EXPECT_FALSE(stats.isVisible());
    EXPECT_EQ(shownCalls, (std::vector<bool>{true, false}));
    EXPECT_EQ(Shown(StatsLine::Percent), "100%");
}

TEST_F(StatsWindowTest, EscPressedInTheWindowStopsALongRunWhileTheChartsFollowIt) {
    GeneratorSettings& settings = Prepare(202);
    GenerationRequests requests;
    window.controller().SetGenerationRequests(&requests);
    window.controller().Enable();
    stats.show();
    // Esc once the charts timer has drawn a sample of the run.
    bool timerRan = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (stats.ChartRecent->Chart().SamplesShown() == 0) return;
        timerRan = stats.ChartsTimerActive();
        watch.stop();
        QTest::keyClick(&stats, Qt::Key_Escape);
    });
    watch.start(20);
    const GenerateOutcome outcome = Run(settings, requests);
    EXPECT_EQ(outcome, GenerateOutcome::Stopped);
    EXPECT_TRUE(window.ui().status().starts_with("Map generator stopped by user.")) << window.ui().status();
    EXPECT_TRUE(requests.StopRequest.load());
    EXPECT_FALSE(requests.Terminate.load()) << "one press is one Esc";
    EXPECT_TRUE(timerRan) << "the charts timer runs while the generator works";
    EXPECT_FALSE(stats.ChartsTimerActive());
    EXPECT_EQ(Shown(SettingsLine::MapSize), "202x202");
    EXPECT_EQ(Shown(StatsLine::State), "Idle -");
    EXPECT_GT(Count(stats.ChartRecent->Chart().Picture(), kChartYellow), 0) << "the percentage was drawn";
    window.controller().SetGenerationRequests(nullptr);
}

TEST_F(StatsWindowTest, ChartsBoxHidesTheChartsAndShowsThemEmptyForTheCurrentMap) {
    GeneratorSettings& settings = Prepare(12);
    GenerationRequests requests;
    stats.show();
    ASSERT_EQ(Run(settings, requests), GenerateOutcome::Completed) << window.ui().status();

    // A run in progress at 40 % on row 10: the timer draws both.
    GenerationStatistics s;
    s.State = GeneratorState::Line;
    s.Percent = 40;
    s.CurrentRow = 10;
    stats.ShowStatistics(s);
    EXPECT_TRUE(stats.ChartsTimerActive());
    stats.ChartsTick();
    const ChartPicture& recent = stats.ChartRecent->Chart().Picture();
    EXPECT_EQ(recent.At(LineChart::LastPlotColumn, LineChart::RowOf(40)), kChartYellow);
    EXPECT_EQ(stats.MapChart->Chart().LastRow(), 8);

    QTest::mouseClick(stats.CBcharts, Qt::LeftButton);
    EXPECT_FALSE(stats.ChartsOn());
    EXPECT_FALSE(stats.ChartRecent->isVisible());
    EXPECT_FALSE(stats.ChartWhole->isVisible());
    EXPECT_FALSE(stats.MapChart->isVisible());
    stats.ChartsTick();
    EXPECT_EQ(stats.ChartRecent->Chart().SamplesShown(), 2) << "hidden charts only count";
    EXPECT_EQ(stats.MapChart->Chart().LastRow(), 8) << "and draw no rows";

    // Space on the box is the box's own key: the charts come back empty,
    // sized for the map in the project (12 x 12 squares at scale 16).
    stats.CBcharts->setFocus();
    QTest::keyClick(stats.CBcharts, Qt::Key_Space);
    EXPECT_TRUE(stats.ChartsOn());
    EXPECT_TRUE(stats.ChartRecent->isVisible() && stats.ChartWhole->isVisible() && stats.MapChart->isVisible());
    EXPECT_EQ(stats.ChartRecent->Chart().SamplesShown(), 0);
    EXPECT_EQ(Count(stats.ChartRecent->Chart().Picture(), kChartYellow), 0);
    EXPECT_EQ(stats.ChartWhole->Chart().SamplesReceived(), 0);
    EXPECT_EQ(stats.MapChart->Chart().Picture().Width, 192);
    EXPECT_EQ(Count(stats.MapChart->Chart().Picture(), kDarkGreen), 0);

    stats.SetGeneratorState(GeneratorState::Waiting);
    EXPECT_TRUE(stats.ChartsTimerActive());
    stats.SetGeneratorState(GeneratorState::Idle);
    EXPECT_FALSE(stats.ChartsTimerActive());
}

TEST_F(StatsWindowTest, HeartbeatTurnsOnlyWhenThreadsWorkedAndTimesWrapAfterADay) {
    GenerationStatistics s;
    s.State = GeneratorState::Line;
    // While the generator works the labels follow the driver's refreshes
    // within a tenth of a second.
    const auto state = [&] {
        QTest::qWait(150);
        return Shown(StatsLine::State);
    };
    for (int i = 0; i < 4; ++i) {
        stats.AdvanceHeartbeat(false);
        stats.ShowStatistics(s);
    }
    EXPECT_EQ(state(), "Generating line... -");
    const char* turns[] = {"\\", "/", "-", "\\"};
    for (const char* t : turns) {
        stats.AdvanceHeartbeat(true);
        stats.ShowStatistics(s);
        EXPECT_EQ(state(), std::string("Generating line... ") + t);
    }
    stats.SetGeneratorState(GeneratorState::Saving);
    EXPECT_EQ(state(), "Saving map... \\");
    stats.ResetHeartbeat();
    stats.SetGeneratorState(GeneratorState::FirstLine);
    EXPECT_EQ(state(), "Generating 1st line... -");

    using namespace std::chrono;
    stats.ShowElapsedTime(hours(25));
    EXPECT_EQ(state(), "Generating 1st line... -");
    EXPECT_EQ(Shown(StatsLine::Elapsed), "01:00:00");
    s.Elapsed = hours(23) + minutes(59) + seconds(59) + milliseconds(999);
    s.RowTime = hours(48) + minutes(7) + seconds(3);
    s.WeakestOptions = 3;
    s.WeakestLeft = 17;
    s.WeakestRight = 25;
    s.Favg = 2.345;
    s.State = GeneratorState::Idle;
    stats.ShowStatistics(s);
    EXPECT_EQ(Shown(StatsLine::State), "Idle -") << "shown at once when the generator turns idle";
    EXPECT_EQ(Shown(StatsLine::Elapsed), "23:59:59");
    EXPECT_EQ(Shown(StatsLine::RowTime), "00:07:03");
    EXPECT_EQ(Shown(StatsLine::Weakest), "3 (17-25)");
    EXPECT_EQ(Shown(StatsLine::Favg).substr(0, 3), "2.3");
}

TEST_F(StatsWindowTest, KeysInTheWindowReachTheControllerOnceWhileItIsEnabled) {
    GenerationRequests requests;
    window.controller().SetGenerationRequests(&requests);
    stats.show();
    window.controller().Disable();
    QTest::keyClick(&stats, Qt::Key_Escape);
    EXPECT_FALSE(requests.StopRequest.load()) << "a disabled controller hears nothing";

    window.controller().Enable();
    stats.CBcharts->setFocus();
    QTest::keyClick(stats.CBcharts, Qt::Key_Escape);
    EXPECT_TRUE(requests.StopRequest.load());
    EXPECT_FALSE(requests.Terminate.load()) << "the box's key is not heard again by its window";
    QTest::keyClick(stats.Scroll->viewport(), Qt::Key_Escape);
    EXPECT_TRUE(requests.Terminate.load()) << "the second Esc";

    QTest::keyPress(stats.CBcharts, Qt::Key_Shift);
    EXPECT_TRUE(window.controller().ShiftDown);
    EXPECT_EQ(window.Panel(3).toStdString(), "SHIFT");
    QTest::keyRelease(stats.CBcharts, Qt::Key_Shift);
    EXPECT_FALSE(window.controller().ShiftDown);
    EXPECT_TRUE(stats.ChartsOn()) << "no key but Space touches the box";
    window.controller().SetGenerationRequests(nullptr);
}

TEST_F(StatsWindowTest, TallerThanTheScreenTheWindowScrollsToItsCharts) {
    const auto scaled = [&](int n) { return render::ScaleDim(n, window.Ppi()); };
    const int screen = window.screen()->geometry().height();
    const int designed = stats.MapChart->y() + scaled(244);
    ASSERT_GT(designed, screen) << "the offscreen screen is smaller than the window";
    EXPECT_LE(stats.frameGeometry().height(), screen - scaled(36));
    EXPECT_EQ(stats.Scroll->widget()->height(), designed);
    QScrollBar* bar = stats.Scroll->verticalScrollBar();
    stats.show();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_FALSE(stats.Scroll->horizontalScrollBar()->isVisible());
    EXPECT_EQ(stats.LEsc->geometry().right() + 1, stats.width() - scaled(12) - scaled(17));
    bar->setValue(bar->maximum());
    const QPoint chartBottom = stats.MapChart->mapTo(&stats, QPoint(0, stats.MapChart->height() - 1));
    EXPECT_TRUE(stats.rect().contains(chartBottom)) << "scrolled down, the map chart is in the window";
}

// Placement: beside the main window when the screen has room on either
// side (random screens, windows and sizes), else kept on the screen; shown,
// the window goes there, and after a hide where the user left it. It does
// not stay above every window (the modal ones open over it).
TEST_F(StatsWindowTest, OpensBesideTheMainWindowAndComesBackWhereItWasLeft) {
    std::mt19937 random(11);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int i = 0; i < 500; ++i) {
        const QRect area(pick(-50, 50), pick(0, 40), pick(600, 2600), pick(400, 1500));
        const QRect owner(pick(area.left(), area.right() - 200), pick(area.top(), area.bottom() - 100), pick(200, 1400),
                          pick(100, 900));
        const QSize frame(pick(100, 700), pick(100, 900));
        const QRect placed(editor::PlaceBeside(owner, frame, area), frame);
        SCOPED_TRACE(::testing::Message() << "case " << i);
        const bool fits = frame.width() <= area.width() && frame.height() <= area.height();
        ASSERT_TRUE(!fits || area.contains(placed));
        const bool roomRight = area.right() - owner.right() >= frame.width();
        const bool roomLeft = owner.left() - area.left() >= frame.width();
        ASSERT_TRUE(!roomRight || placed.left() == owner.right() + 1) << "right of the main window";
        ASSERT_TRUE(!roomLeft || roomRight || placed.right() == owner.left() - 1) << "left of it";
        const bool topFits = owner.top() + frame.height() <= area.bottom() + 1;
        ASSERT_TRUE(!(roomRight || roomLeft) || !topFits || placed.top() == owner.top()) << "at its top";
    }

    EXPECT_FALSE(stats.windowFlags() & Qt::WindowStaysOnTopHint);
    window.setGeometry(20, 30, 400, 300);
    stats.show();
    const QRect area = stats.screen()->availableGeometry();
    EXPECT_GT(stats.x(), window.frameGeometry().left()) << "beside the main window, not over its menu bar";
    EXPECT_TRUE(area.contains(stats.geometry()));
    stats.move(37, 41);
    stats.close();
    window.move(60, 70);
    stats.show();
    EXPECT_EQ(stats.pos(), QPoint(37, 41)) << "where the user left it";
}

}  // namespace
}  // namespace zorvane::testing
