#include "monitor/stats_window.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <span>

#include "generator/generator.h"
#include "monitor/chart_widgets.h"
#include "render/scaling.h"

namespace zorvane::editor {

using render::ScaleDim;
namespace {

constexpr int kLineStep = 14;         // design pixels between lines
constexpr int kDesignWidth = 600;
constexpr int kChartsTimerMs = 200;
constexpr int kValuesRefreshMs = 100;

constexpr const char* kSettingNames[SettingsLineCount] = {
    "Map Size:",
    "Starting Line:",
    "Simplified Calculation of First Line:",
    "Continue Existing Squares:",
    "Disallow Neighborhood of Identical Squares:",
    "Squares Choice Factor:",
    "Object Size Distribution (simplified chart):",
    "Max Threads Calculating Line Fragments:",
    "Max Combinations to Calculate:",
    "Schedule of Repeats:",
    "Reducing Local Attempts Counter:",
    "Max Attempts at the Beginning:",
    "Max 1st Line Attempts Remembering Approved Squares:",
    "Max Distance from the Farthest Row:",
    "Time Withdrawals:",
    "Freeze Correct Fragments:",
    "Shedule of Backups:",
    "Backup File:",
};

struct StatsLineText {
    const char* Name;
    const char* Initial;
    const char* Explanation;
};
constexpr StatsLineText kStatsLines[StatsLineCount] = {
    {"Generator State:", "idle", ""},
    {"Elapsed Time:", "00:00:00", ""},
    {"% Completed:", "0%", ""},
    {"Running Threads:", "0", ""},
    {"Current Row:", "-", ""},
    {"Current Row Time:", "00:00:00", "- time spent on this line (in current series of locals attempts)"},
    {"First Line Attempt:", "-", ""},
    {"Local Attempt:", "-", "- number of failed trials being compared with Shedule of Repeats"},
    {"Subchains Variants:", "0", "- all optional variants of all subchains"},
    {"Weakest Subchain Options:", "-", "- smallest number of variants for subchain (with it's x borders)"},
    {"last CLA:", "-", "- last local attempts"},
    {"favg:", "-", "- averange of last local attempts"},
    {"lfavg:", "-", "- averange of attempts since the last completion of line"},
    {"topCLAavg:", "-", "- last top values of CLA, decreasing to next values of CLA"},
    {"Catched threads errors:", "-", "- not bodes well if grows rapidly"},
};

constexpr char kHeartbeat[3] = {'-', '\\', '/'};

QLabel* MakeLabel(const QString& text, QWidget* parent, int x, int y) {
    auto* l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText);
    l->move(x, y);
    l->adjustSize();
    return l;
}

// A label is drawn again only when its text changes.
void SetText(QLabel* label, const QString& text) {
    if (label->text() != text) label->setText(text);
}

QString OnOff(bool on) { return on ? QStringLiteral("Enabled") : QStringLiteral("Disabled"); }

}  // namespace

QString ClockText(std::chrono::steady_clock::duration span) {
    using namespace std::chrono;
    const auto total = duration_cast<seconds>(span).count();
    const auto s = total < 0 ? 0 : total;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600 % 24, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

QPoint PlaceBeside(const QRect& owner, const QSize& frame, const QRect& available) {
    const int roomRight = available.right() - owner.right(), roomLeft = owner.left() - available.left();
    int x = owner.right() + 1;
    if (roomRight < frame.width() && (roomLeft >= frame.width() || roomLeft > roomRight))
        x = owner.left() - frame.width();
    x = std::clamp(x, available.left(), std::max(available.left(), available.right() + 1 - frame.width()));
    const int y =
        std::clamp(owner.top(), available.top(), std::max(available.top(), available.bottom() + 1 - frame.height()));
    return {x, y};
}

// A tool window of the main window: above it, and below the modal windows
// that open over the main window (a stay-on-top window would hide them).
StatsWindow::StatsWindow(StatsWindowHost& window, const MapGenerationEngine& engine)
    : QWidget(&window.Widget(), Qt::Tool | Qt::WindowCloseButtonHint), window_(window),
      engine_(engine) {
    setObjectName(QStringLiteral("TFStats"));
    setWindowTitle(QStringLiteral("Generator Statistics"));
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(8);
    setFont(font);
    CreateControls();
    FitToScreen();
    timer_.setInterval(kChartsTimerMs);
    connect(&timer_, &QTimer::timeout, this, [this] { ChartsTick(); });
    valuesTimer_.setSingleShot(true);
    valuesTimer_.setInterval(kValuesRefreshMs);
    connect(&valuesTimer_, &QTimer::timeout, this, [this] { ShowValues(); });
    ResetHeartbeat();
    ShowStatistics(GenerationStatistics{});
}

StatsWindow::~StatsWindow() = default;

void StatsWindow::CreateControls() {
    const double ppi = window_.Ppi();
    const auto scaled = [ppi](int n) { return ScaleDim(n, ppi); };
    const int step = scaled(kLineStep);
    designWidth_ = scaled(kDesignWidth);

    Scroll = new QScrollArea(this);
    Scroll->setObjectName(QStringLiteral("Scroll"));
    Scroll->setFrameShape(QFrame::NoFrame);
    Scroll->setFocusPolicy(Qt::NoFocus);
    Scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    content_ = new QWidget;
    content_->setObjectName(QStringLiteral("Content"));
    content_->setFont(font());  // measured below with the font it shows

    // Settings: names at 4, values at 200 scaled + 80; statistics: names at
    // 4, values at 140 scaled, explanations at 220 scaled. A column moves
    // right where the font makes a name longer than its design, so that no
    // name runs into its value.
    LSettings = MakeLabel(QStringLiteral("Settings:"), content_, 4, 4);
    LEsc = MakeLabel(QStringLiteral("(Press ESC to stop generating map)"), content_, 0, 4);
    const int gap = scaled(6);
    const auto namesColumn = [&](int top, auto nameOf, int count, int designedX) {
        int right = 0;
        for (int i = 0; i < count; ++i) {
            const QLabel* name = MakeLabel(QString::fromLatin1(nameOf(i)), content_, 4, top + i * step);
            right = std::max(right, name->geometry().right());
        }
        return std::max(designedX, right + 1 + gap);
    };
    int y = 4 + step;
    const int settingsX = namesColumn(y, [](int i) { return kSettingNames[i]; }, SettingsLineCount, scaled(200) + 80);
    for (int i = 0; i < SettingsLineCount; ++i, y += step)
        settingValues_[static_cast<std::size_t>(i)] = MakeLabel(QString(), content_, settingsX, y);

    y += step;
    LStatistics = MakeLabel(QStringLiteral("Statistics:"), content_, 4, y);
    y += step;
    const int valuesX = namesColumn(y, [](int i) { return kStatsLines[i].Name; }, StatsLineCount, scaled(140));
    const int explanationsX = valuesX + scaled(220 - 140);
    int explanationsRight = 0;
    for (int i = 0; i < StatsLineCount; ++i, y += step) {
        const StatsLineText& line = kStatsLines[i];
        statValues_[static_cast<std::size_t>(i)] = MakeLabel(QString::fromLatin1(line.Initial), content_, valuesX, y);
        if (*line.Explanation)
            explanationsRight = std::max(
                explanationsRight,
                MakeLabel(QString::fromLatin1(line.Explanation), content_, explanationsX, y)->geometry().right());
    }
    designWidth_ = std::max(designWidth_, explanationsRight + 1 + gap);
    escRight_ = designWidth_ - scaled(12);
    // Value labels reach to the next column (or the window's edge), so that
    // a new text needs no new layout.
    for (QLabel* l : settingValues_) l->resize(designWidth_ - settingsX - 4, step);
    for (QLabel* l : statValues_) l->resize(explanationsX - valuesX - gap, step);
    statValues_[static_cast<std::size_t>(StatsLine::State)]->resize(designWidth_ - valuesX - 4, step);

    y += step;
    CBcharts = new QCheckBox(QStringLiteral("Charts: (uncheck will erease history)"), content_);
    CBcharts->setObjectName(QStringLiteral("CBcharts"));
    CBcharts->setChecked(true);
    CBcharts->setGeometry(4, y, scaled(400), CBcharts->sizeHint().height());
    connect(CBcharts, &QCheckBox::toggled, this, [this](bool on) { CBchartsClick(on); });

    const int chartsTop = y + 3 * step;
    ChartRecent = new LineChartWidget(LineChartKind::Recent, content_);
    ChartRecent->setGeometry(4, chartsTop, 220, 70);
    ChartWhole = new LineChartWidget(LineChartKind::WholeRun, content_);
    ChartWhole->setGeometry(4, chartsTop + 70 + step, 220, 70);
    MapChart = new MapChartWidget(content_);
    MapChart->setGeometry(4 + 220 + step, chartsTop, 200, 200);
    designHeight_ = chartsTop + scaled(244);

    content_->resize(designWidth_, designHeight_);
    Scroll->setWidget(content_);
    for (QWidget* w : std::initializer_list<QWidget*>{this, Scroll, Scroll->viewport(), content_, CBcharts})
        w->installEventFilter(this);
}

int StatsWindow::FrameExtra() const {
    return style()->pixelMetric(QStyle::PM_TitleBarHeight) + 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
}

void StatsWindow::FitToScreen() {
    const QWidget& owner = window_.Widget();
    const QScreen* screen = owner.screen() ? owner.screen() : QGuiApplication::primaryScreen();
    const int screenHeight = screen ? screen->geometry().height() : designHeight_;
    const int frame = FrameExtra();
    const bool tall = designHeight_ + frame > screenHeight;
    const int height = tall ? screenHeight - ScaleDim(36, window_.Ppi()) - frame : designHeight_;
    Scroll->setVerticalScrollBarPolicy(tall ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    const int escRight = tall ? escRight_ - ScaleDim(17, window_.Ppi()) : escRight_;
    LEsc->move(escRight - LEsc->width(), LEsc->y());
    Scroll->setGeometry(0, 0, designWidth_, height);
    setFixedSize(designWidth_, height);
}

// --- What the driver tells -----------------------------------------------

void StatsWindow::ResetHeartbeat() { heartbeat_ = 0; }

void StatsWindow::AdvanceHeartbeat(bool threadsWorked) {
    if (threadsWorked) heartbeat_ = (heartbeat_ + 1) % 3;
}

QChar StatsWindow::Heartbeat() const { return QLatin1Char(kHeartbeat[heartbeat_]); }

void StatsWindow::ResetCharts(int innerWidth, int innerHeight) {
    innerHeight_ = innerHeight;
    ChartRecent->InitChart();
    ChartWhole->InitChart();
    MapChart->InitMapChart(innerWidth, innerHeight);
}

void StatsWindow::ShowIfRequested() {
    if (showPending_) show();
}

void StatsWindow::ShowSettings(const RunDescription& run) {
    innerHeight_ = run.MapHeight - 2 * BorderWidth;
    firstLine_ = FirstLineDrawing{run.Simplified, run.StartingLine};
    const auto text = [](const std::string& s) { return QString::fromStdString(s); };
    SetValue(SettingsLine::MapSize,
             QStringLiteral("%1x%2").arg(run.MapWidth - 2 * BorderWidth).arg(run.MapHeight - 2 * BorderWidth));
    SetValue(SettingsLine::StartingLine, QString::number(run.StartingLine));
    SetValue(SettingsLine::Simplified, OnOff(run.Simplified));
    SetValue(SettingsLine::ContinueOldSquares, OnOff(run.ContinueOldSquares));
    SetValue(SettingsLine::AvoidTwins, OnOff(run.AvoidTwins));
    SetValue(SettingsLine::ChoiceFactor, text(run.ChoiceFactor));
    SetValue(SettingsLine::ObjectSizes, text(run.ObjectSizes));
    SetValue(SettingsLine::MaxThreads, QString::number(run.MaxThreads));
    SetValue(SettingsLine::MaxCombinations, text(run.MaxCombinations));
    SetValue(SettingsLine::PlannedRepeats, text(run.PlannedRepeats));
    SetValue(SettingsLine::ReduceLAC, OnOff(run.ReduceLAC));
    SetValue(SettingsLine::FirstAttempts, text(run.FirstAttempts));
    SetValue(SettingsLine::Max1stStatesAttempts, QString::number(run.Max1stStatesAttempts));
    SetValue(SettingsLine::MaxReturn, text(run.MaxReturn));
    SetValue(SettingsLine::TimeWithdrawals, text(run.TimeWithdrawals));
    SetValue(SettingsLine::Freezer, text(run.Freezer));
    SetValue(SettingsLine::BackupFile, text(run.BackupFile));
}

void StatsWindow::ShowBackupSchedule(std::string_view text) {
    SetValue(SettingsLine::BackupSchedule, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

// The driver refreshes the statistics every few milliseconds; the labels
// follow at most every kValuesRefreshMs (a label drawn anew each time
// would cost the run more than its own work), and at once when the
// generator turns idle, so that a run's last values are shown when it ends.
void StatsWindow::ShowStatistics(const GenerationStatistics& s) {
    staged_ = s;
    lastPercent_ = static_cast<int>(s.Percent);
    lastRow_ = s.CurrentRow;
    SetGeneratorState(s.State);
    if (lastPercent_ == 100) MapChart->FillRows(0, innerHeight_ - 1);
}

void StatsWindow::ShowElapsedTime(std::chrono::steady_clock::duration elapsed) {
    staged_.Elapsed = elapsed;
    ValuesChanged();
}

void StatsWindow::SetGeneratorState(GeneratorState state) {
    state_ = staged_.State = state;
    if (state == GeneratorState::Idle)
        timer_.stop();
    else if (!timer_.isActive())
        timer_.start();
    ValuesChanged();
}

void StatsWindow::ValuesChanged() {
    if (state_ == GeneratorState::Idle)
        ShowValues();
    else if (!valuesTimer_.isActive())
        valuesTimer_.start();
}

void StatsWindow::ShowValues() {
    valuesTimer_.stop();
    const GenerationStatistics& s = staged_;
    const std::string_view state = GeneratorStateText(s.State);
    SetValue(StatsLine::State, QString::fromLatin1(state.data(), static_cast<qsizetype>(state.size())) + Heartbeat());
    SetValue(StatsLine::Elapsed, ClockText(s.Elapsed));
    SetValue(StatsLine::Percent, QString::number(static_cast<int>(s.Percent)) + QLatin1Char('%'));
    SetValue(StatsLine::RunningThreads, QString::number(s.RunningThreads));
    SetValue(StatsLine::CurrentRow, QString::number(s.CurrentRow));
    SetValue(StatsLine::RowTime, ClockText(s.RowTime));
    SetValue(StatsLine::FirstLineAttempt, QString::number(s.FirstLineAttempt));
    SetValue(StatsLine::LocalAttempt, QString::number(s.LocalAttempt));
    SetValue(StatsLine::SubChainVariants, QString::number(s.SubChainVariants));
    SetValue(StatsLine::Weakest,
             QStringLiteral("%1 (%2-%3)").arg(s.WeakestOptions).arg(s.WeakestLeft).arg(s.WeakestRight));
    SetValue(StatsLine::LastCLA, QString::number(s.LastCLA));
    SetValue(StatsLine::Favg, QString::number(s.Favg, 'f', 2));
    SetValue(StatsLine::Lfavg, QString::number(s.Lfavg, 'f', 2));
    SetValue(StatsLine::TopCLAavg, QString::number(s.TopCLAavg, 'f', 2));
    SetValue(StatsLine::ThreadErrors, QString::number(s.ThreadErrors));
}

void StatsWindow::SetValue(SettingsLine line, const QString& text) { SetText(Value(line), text); }
void StatsWindow::SetValue(StatsLine line, const QString& text) { SetText(Value(line), text); }

// --- Charts ---------------------------------------------------------------

void StatsWindow::ChartsTick() {
    ChartRecent->AddSample(lastPercent_);
    ChartWhole->AddSample(lastPercent_);
    // Between runs the chart keeps the sub-chains the last run ended with.
    const RunBuffers* run = engine_.CurrentRun();
    if (lastRow_ > 2 && MapChart->isVisible() && run)
        MapChart->LoadSubchains(ChartSegmentsOf(
            std::span<const SubChainRecord>(run->SubChains.data(), static_cast<std::size_t>(run->SubChainCount))));
    MapChart->DrawRow(lastRow_ - 2, firstLine_);
}

void StatsWindow::CBchartsClick(bool on) {
    chartsOn_ = on;
    ChartRecent->setVisible(on);
    ChartWhole->setVisible(on);
    MapChart->setVisible(on);
    if (!on) return;
    const Project& p = window_.project();
    ResetCharts(p.MapWidth - 2 * BorderWidth, p.MapHeight - 2 * BorderWidth);
}

// --- Window ---------------------------------------------------------------

// Placed before the system shows it: beside the main window the first
// time, then where it was when it was closed. The inner rectangle is
// placed (a window not shown yet may not know its frame, and the system
// must not push the title bar off the screen).
void StatsWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!e->spontaneous()) {
        const QWidget& owner = window_.Widget();
        const QScreen* screen = owner.screen() ? owner.screen() : QGuiApplication::primaryScreen();
        if (!place_ && screen) {
            const bool framed = frameGeometry() != geometry();  // known once the system showed it
            const int border = style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
            const QPoint inset = framed ? geometry().topLeft() - frameGeometry().topLeft()
                                        : QPoint(border, FrameExtra() - border);
            const QSize frame = framed ? frameGeometry().size() : size() + QSize(2 * border, FrameExtra());
            place_ = PlaceBeside(owner.frameGeometry(), frame, screen->availableGeometry()) + inset;
        }
        if (place_) setGeometry(QRect(*place_, size()));
    }
    showPending_ = false;  // shown once, the runs leave it to the user
    if (shown_) return;
    shown_ = true;
    if (ShownChanged) ShownChanged(true);
}

void StatsWindow::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    place_ = geometry().topLeft();
    // Hidden by the system (the main window minimised) is not closed.
    if (e->spontaneous() || !shown_) return;
    shown_ = false;
    if (ShownChanged) ShownChanged(false);
}

// Every key pressed or released in the window goes to the main window's
// controller, once: it is taken where it first arrives. Space stays the
// check box's own.
bool StatsWindow::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease) return false;
    auto* key = static_cast<QKeyEvent*>(e);
    if (watched == CBcharts && key->key() == Qt::Key_Space) return false;
    window_.PassKey(*key);
    return true;
}

}  // namespace zorvane::editor
