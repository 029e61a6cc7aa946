#include "editor/main_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>

#include "commands/lifecycle.h"
#include "editor/map_view.h"
#include "editor/map_zoom.h"
#include "editor/mini_map.h"
#include "editor/new_map_window.h"
#include "editor/properties_window.h"
#include "editor/tiles_list.h"
#include "generator/generator_settings.h"
#include "info/about_box.h"
#include "monitor/stats_window.h"
#include "render/scaling.h"

namespace zorvane::editor {

using render::ComputeBitmapInfo;
using render::ScaleDim;
using render::ViewOptions;

MainWindow::MainWindow(bool showAbout)
    : ui_(*this), commands_(document_, editState_, ui_), renderer_(project_, bitmapInfo_), controller_(*this),
      log_(QDir::currentPath()),
      showAbout_(showAbout) {
    // Start: StartDir and the empty log (above); pictograms and the render
    // picture; blank bitmaps; option defaults; the controller; the first drawing.
    if (QScreen* screen = QGuiApplication::primaryScreen()) ppi_ = screen->logicalDotsPerInch();
    setWindowTitle(QStringLiteral("Zorvane Terrain Editor"));
    setObjectName(QStringLiteral("TForm1"));
    renderer_.Ppi = ppi_;
    renderer_.Resize(800 - 130, 450 - 40);
    renderer_.OnRendered = [this] {
        if (view_) view_->update();
        if (miniMap_) miniMap_->RequestRedraw();
    };
    CreateControls();
    CreateMenus();
    newMap_ = std::make_unique<NewMapWindow>(*this);
    generatorSettings_ = std::make_unique<generator_ui::GeneratorSettingsWindow>(*this);
    document_.Attach(&generatorSession_.LearnedState());  // learned data goes with the project
    document_.Observe(&ui_);  // undo and redo tell the window what they changed
    document_.WhenStepsChange([this](bool stepAdded) { HistoryChanged(stepAdded); });
    properties_ = std::make_unique<MapPropertiesWindow>(*this);
    miniMap_ = std::make_unique<MiniMapWindow>(*this);
    stats_ = std::make_unique<StatsWindow>(*this, engine_);
    stats_->ShownChanged = [this](bool shown) { Action("MStatsWindow")->setChecked(shown); };
    setMinimumSize(400, 300);
    resize(800, 450);
    qApp->installEventFilter(this);
    renderer_.Render(0, renderer_.ViewCols(), 0, renderer_.ViewRows(), 0, 0);
    SetPanel(0, QStringLiteral("ready"));
    project_.NoProject = true;
    document_.Opened(std::string());
    ProjectOpened();
    UpdateStatusBar();
}

MainWindow::~MainWindow() { Shutdown(); }

bool MainWindow::GeneratorHasData() const { return generatorSession_.HasData(); }

// Shutdown: no drawing any more, controller off, the project emptied, the
// held log lines written.
void MainWindow::Shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    renderer_.RenderingDisabled = true;
    controller_.Disable();
    try {
        ResetProject(project_, ui_, ResetSides::Both, ResetRedraw::No);
    } catch (const std::exception&) {
    }
    reactToResize_ = false;
    qApp->removeEventFilter(this);
    try {
        log_.WriteLogLinesToFile();
    } catch (const std::exception&) {
        // Nothing is left to tell the user with at this point.
    }
}

void MainWindow::CreateControls() {
    central_ = new QWidget(this);
    setCentralWidget(central_);
    label1_ = new QLabel(QStringLiteral("Tiles list:"), central_);
    label1_->setObjectName(QStringLiteral("Label1"));
    tilesList_ = new TilesList(ppi_, central_);
    view_ = new MapView(renderer_, controller_, central_);
    sbx_ = new QScrollBar(Qt::Horizontal, central_);
    sbx_->setObjectName(QStringLiteral("SBx"));
    sby_ = new QScrollBar(Qt::Vertical, central_);
    sby_->setObjectName(QStringLiteral("SBy"));
    sbDepth_ = new QScrollBar(Qt::Vertical, central_);
    sbDepth_->setObjectName(QStringLiteral("SBDepth"));
    for (QScrollBar* sb : {sbx_, sby_, sbDepth_}) {
        sb->setRange(0, 0);
        sb->setPageStep(1);
    }
    connect(sbx_, &QScrollBar::valueChanged, this, [this](int v) { renderer_.HorizontalScroll(v); });
    connect(sby_, &QScrollBar::valueChanged, this, [this](int v) { renderer_.VerticalScroll(v); });
    connect(sbDepth_, &QScrollBar::valueChanged, this, [this](int v) {
        ApplyDepthBar(SetDepthPosition(editState_, v));
        FullRedraw();
    });

    statusBar_ = new QWidget(central_);
    statusBar_->setObjectName(QStringLiteral("StatusBar"));
    QFont statusFont(QStringLiteral("Arial"));
    statusFont.setPixelSize(ScaleDim(10, ppi_));
    statusBar_->setFont(statusFont);
    for (int i = 0; i < 8; ++i) {
        panels_[i] = new QLabel(statusBar_);
        panels_[i]->setObjectName(QStringLiteral("Panel%1").arg(i));
        panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panels_[i]->setTextFormat(Qt::PlainText);
        panels_[i]->setIndent(2);
    }
    progressBar_ = new QProgressBar(central_);
    progressBar_->setObjectName(QStringLiteral("ProgressBar"));
    progressBar_->setRange(0, 100);
    progressBar_->setTextVisible(false);
    progressBar_->hide();
}

// The layout rules: tiles list 160 wide at the left below its caption; the
// view fills the rest left of SBy and SBDepth and above SBx; the status bar
// along the bottom; the progress bar, when shown, on the row of SBx.
void MainWindow::LayoutControls() {
    if (!reactToResize_) return;
    const int w = central_->width(), h = central_->height();
    const int statusH = ScaleDim(19, ppi_), sbExt = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int listW = ScaleDim(160, ppi_), labelH = ScaleDim(16, ppi_);
    label1_->setGeometry(ScaleDim(4, ppi_), 0, listW - ScaleDim(4, ppi_), labelH);
    tilesList_->setGeometry(0, labelH, listW, std::max(0, h - statusH - labelH));
    const int viewW = std::max(1, w - listW - 2 * sbExt), viewH = std::max(1, h - statusH - sbExt);
    view_->setGeometry(listW, 0, viewW, viewH);
    sby_->setGeometry(listW + viewW, 0, sbExt, viewH);
    sbDepth_->setGeometry(listW + viewW + sbExt, 0, sbExt, viewH);
    sbx_->setGeometry(listW, viewH, viewW, sbExt);
    progressBar_->setGeometry(0, viewH, w, sbExt);
    statusBar_->setGeometry(0, h - statusH, w, statusH);
    // Panels 1 to 6 at their design widths while the message panel keeps a
    // third of the bar; on a narrower bar as wide as their longest texts.
    // Panel 7 (the zoom and the square under the mouse) takes what the
    // message panel has beyond its third, up to its design width.
    static const char* const longest[7] = {"", "CTRL", "ALT", "SHIFT", "(000,000)", "selected tiles = 00000",
                                           "used tiles = 00000"};
    int designed[8] = {}, fitted[8] = {}, designedSum = 0, fittedSum = 0;
    for (int i = 1; i < 7; ++i) {
        const QLabel* p = panels_[i];
        designed[i] = ScaleDim(i <= 3 ? 50 : 100, ppi_);
        fitted[i] = std::min(designed[i], p->fontMetrics().horizontalAdvance(QLatin1String(longest[i])) +
                                              2 * (p->frameWidth() + p->indent()));
        designedSum += designed[i];
        fittedSum += fitted[i];
    }
    const bool narrow = w - designedSum - 16 < w / 3;
    int* widths = narrow ? fitted : designed;
    const int rest = std::max(0, w - (narrow ? fittedSum : designedSum) - 16);
    widths[7] = narrow ? 0 : std::clamp(rest - w / 3, 0, ScaleDim(280, ppi_));
    widths[0] = rest - widths[7];
    int x = 0;
    for (int i = 0; i < 8; ++i) {
        panels_[i]->setGeometry(x, 0, widths[i], statusH);
        x += widths[i];
    }
    const bool newRatio = renderer_.SetDeviceRatio(view_->devicePixelRatioF());
    if (newRatio || renderer_.Width() != viewW || renderer_.Height() != viewH) {
        renderer_.Resize(viewW, viewH);
        FullRedraw();
    }
    controller_.SetViewBounds(0, viewH, viewW, 0);
}

void MainWindow::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    LayoutControls();
}

bool MainWindow::event(QEvent* e) {
    // The about box waits for a box opened at start (the recovery offer):
    // raised over it, it could hide that box behind the main window.
    if (e->type() == QEvent::WindowActivate && !activatedOnce_ && !QApplication::activeModalWidget()) {
        activatedOnce_ = true;
        if (showAbout_) MAboutClick();
    }
    // On another screen the view may have another device ratio.
    if (e->type() == QEvent::ScreenChangeInternal) LayoutControls();
    if (e->type() == QEvent::WindowDeactivate) {
        // Key releases made while another window is active never reach the
        // controller: do not leave a modifier held.
        controller_.CtrlDown = controller_.ShiftDown = controller_.AltDown = false;
        UpdateStatusBar();
    }
    if (e->type() == QEvent::Close && running_) {
        // The run is on this thread's stack: it is stopped first and the
        // window closes when it has ended.
        requests_.StopRequest = true;
        closeAfterRun_ = true;
        e->ignore();
        return true;
    }
    if (e->type() == QEvent::Close && !shutDown_ && !MayCloseWithChanges()) {
        e->ignore();
        return true;
    }
    if (e->type() == QEvent::Close) {
        miniMap_->close();
        stats_->close();
        if (about_) about_->close();
    }
    return QMainWindow::event(e);
}

// The controller hears every key once. Key presses of the window, its
// scroll bars and the tiles list are heard where they arrive and then
// discarded, so that a focused scroll bar or list never acts on them (typing
// into the tiles list never selects an item). Key releases, and the keys of
// the other controls (the map view, the menu bar), reach their widgets; what
// no widget takes travels up to the window and is heard there. The mini map
// passes its keys on without discarding them. No control of the main window
// may claim a menu shortcut for itself (the tiles list would take Ctrl+A).
bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    if (watched == central_ && e->type() == QEvent::Resize) LayoutControls();
    const auto type = e->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || (widget->window() != this && widget != miniMap_.get())) return false;
    if (type == QEvent::ShortcutOverride) return widget->window() == this;
    const bool discarded = type == QEvent::KeyPress && (widget == this || widget == sbx_ || widget == sby_ ||
                                                        widget == sbDepth_ || widget == tilesList_);
    if (!discarded && widget != this && widget != miniMap_.get()) return false;
    PassKey(*static_cast<QKeyEvent*>(e));
    return discarded;
}

void MainWindow::PassKey(const QKeyEvent& key) {
    if (!controller_.Enabled) return;
    if (key.type() == QEvent::KeyPress)
        controller_.KeyDown(VirtualKey(key));
    else if (!key.isAutoRepeat())
        controller_.KeyUp(VirtualKey(key));
}

void MainWindow::SetPanel(int i, const QString& text) { panels_[i]->setText(text); }
QString MainWindow::Panel(int i) const { return panels_[i]->text(); }

void MainWindow::UpdateStatusBar() {
    SetPanel(1, controller_.CtrlDown ? QStringLiteral("CTRL") : QString());
    SetPanel(2, controller_.AltDown ? QStringLiteral("ALT") : QString());
    SetPanel(3, controller_.ShiftDown ? QStringLiteral("SHIFT") : QString());
    const int x = renderer_.ColumnAt(controller_.MouseX), y = renderer_.RowAt(controller_.MouseY);
    SetPanel(4, QStringLiteral("(%1,%2)").arg(x).arg(y));
    SetPanel(5, QStringLiteral("selected tiles = %1").arg(project_.Selection.size()));
    SetPanel(6, QStringLiteral("used tiles = %1").arg(project_.UsedTiles.size()));
    SetPanel(7, WhereText(project_, renderer_, x, y));
}

void MainWindow::ShowProgress(bool busy) {
    progressBar_->setValue(0);
    progressBar_->show();
    progressBar_->raise();
    if (busy) SetBusyCursor(true);
}

void MainWindow::HideProgress(bool busy) {
    progressBar_->hide();
    if (busy) SetBusyCursor(false);
}

void MainWindow::SetProgressPosition(int position) { progressBar_->setValue(std::clamp(position, 0, 100)); }
int MainWindow::ProgressPosition() const { return progressBar_->value(); }
bool MainWindow::ProgressVisible() const { return progressBar_->isVisible(); }

void MainWindow::SetBusyCursor(bool busy) {
    busyDepth_ = std::max(0, busyDepth_ + (busy ? 1 : -1));
    QWidget* windows[] = {this, properties_ ? static_cast<QWidget*>(properties_.get()) : nullptr,
                          generatorSettings_ ? static_cast<QWidget*>(generatorSettings_.get()) : nullptr};
    for (QWidget* w : windows) {
        if (!w) continue;
        if (busyDepth_ > 0)
            w->setCursor(Qt::WaitCursor);
        else
            w->unsetCursor();
    }
}

void MainWindow::SetMoveCursor(bool on) {
    if (on)
        view_->setCursor(Qt::SizeAllCursor);
    else
        view_->unsetCursor();
}

void MainWindow::ShowChange(const ChangeNotice& notice) {
    const RedrawPlan plan = PlanRedraw(notice);
    if (plan.resetView) ProjectReset();
    if (plan.bitmapColours) PrepareBitmapsPx();
    if (plan.viewAndDepthBar) {
        UpdateSBDepth(false);
        FullRedraw();
    }
    if (plan.refresh) RefreshInterface(*plan.refresh);
}

void MainWindow::RefreshInterface(const InterfaceRefresh& refresh) {
    const bool withProgress = refresh.showProgress;
    const QString saved = Panel(0);
    SetPanel(0, QStringLiteral("Preparing tiles list..."));
    if (withProgress) ShowProgress(true);
    ui_.processEvents();
    if (refresh.resetScrolling) {
        const QSignalBlocker bx(sbx_), by(sby_);
        sbx_->setRange(0, std::max(project_.MapWidth - 1, 0));
        sby_->setRange(0, std::max(project_.MapHeight - 1, 0));
        sbx_->setValue(0);
        sby_->setValue(0);
        renderer_.ScrollX = renderer_.ScrollY = renderer_.PrevScrollX = renderer_.PrevScrollY = 0;
        miniMap_->ResizeToMap();
    }
    UpdateSBDepth(false);
    if (refresh.rebuildList) {
        ui_.prepareProgress(refresh.first, refresh.last);
        tilesList_->Rebuild(project_, refresh.first, refresh.last, [&](int i) {
            if (withProgress) ui_.updateProgress(i, 5);
        });
    }
    SetPanel(0, saved);
    if (withProgress) HideProgress(true);
    UpdateStatusBar();
    if (refresh.redrawView) FullRedraw();
    controller_.Enable();
    controller_.SetViewBounds(0, renderer_.Height(), renderer_.Width(), 0);
}

void MainWindow::PrepareBitmapsPx() {
    const QString saved = Panel(0);
    SetPanel(0, QStringLiteral("Processing bitmaps..."));
    ui_.processEvents();
    ShowProgress(true);
    ui_.prepareProgress(0, project_.BitmapCount - 1);
    ComputeBitmapInfo(project_, bitmapInfo_, [this](int n) { ui_.updateProgress(n, 100); });
    HideProgress(true);
    SetPanel(0, saved);
}

// Also blacks out the view at once: a failed open leaves the project reset
// without an interface refresh, and the view must not keep showing the map
// that is gone (a successful load redraws right after anyway).
void MainWindow::ProjectReset() {
    controller_.Disable();
    {
        const QSignalBlocker bx(sbx_), by(sby_);
        sbx_->setRange(0, std::max(project_.MapWidth - 1, 0));
        sby_->setRange(0, std::max(project_.MapHeight - 1, 0));
        sbx_->setValue(0);
        sby_->setValue(0);
    }
    renderer_.ScrollX = renderer_.ScrollY = renderer_.PrevScrollX = renderer_.PrevScrollY = 0;
    const bool fast = renderer_.Options.FastRender;
    renderer_.Options = ViewOptions{};
    renderer_.Options.FastRender = fast;
    const std::pair<const char*, bool> checks[] = {{"MShowGnd", true},  {"MShowTop", true},   {"MShowAtr", false},
                                                   {"MShowId", false},  {"MShowGrid", false}, {"MShowBorder", true}};
    for (auto [name, on] : checks)
        if (QAction* a = Action(name)) a->setChecked(on);
    if (project_.NewTiles.empty()) tilesList_->ClearTiles();
    UpdateSBDepth(false);
    FullRedraw();
    UpdateStatusBar();
}

void MainWindow::Render(int x0, int x1, int y0, int y1, int dx, int dy) { renderer_.Render(x0, x1, y0, y1, dx, dy); }
void MainWindow::FullRedraw() { renderer_.FullRedraw(); }

void MainWindow::UpdateSBDepth(bool redraw) { ShowMapChange(commands_.editing().UpdateSBDepth(redraw)); }

void MainWindow::ApplyDepthBar(const DepthBar& depth) {
    {
        const QSignalBlocker block(sbDepth_);
        sbDepth_->setRange(0, depth.Maximum);
        sbDepth_->setValue(depth.Position);
    }
    renderer_.DepthLimit = depth.DepthLimit;
}

// An editing command's change: the depth bar takes a new count of tiles,
// the view draws where the map's look changed.
void MainWindow::ShowMapChange(const MapChange& change) {
    if (change.TileCountChanged) ApplyDepthBar(editState_.Depth);
    if (change.Everywhere)
        FullRedraw();
    else
        for (const SquareRect& r : change.Areas) Render(r.X0, r.X1, r.Y0, r.Y1, 0, 0);
    UpdateStatusBar();
}

void MainWindow::SetScrollPositions(int x, int y) {
    sbx_->setValue(std::clamp(x, sbx_->minimum(), sbx_->maximum()));
    sby_->setValue(std::clamp(y, sby_->minimum(), sby_->maximum()));
}


void MainWindow::Guarded(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        ui_.error("Error", e.what());
    }
}

void MainWindow::BusyRun(const std::function<void()>& command) {
    controller_.Disable();
    SetBusyCursor(true);
    Guarded(command);
    SetBusyCursor(false);
    controller_.Enable();
    controller_.SetViewBounds(0, renderer_.Height(), renderer_.Width(), 0);
    UpdateStatusBar();
}

int MainWindow::SelectedTile() const { return tilesList_ ? tilesList_->currentRow() : -1; }

void MainWindow::SelectTile(int index) {
    if (tilesList_) tilesList_->setCurrentRow(index);
}

void MainWindow::ShowChangedTiles(int first, int last) {
    RefreshInterface({.first = first, .last = last, .showProgress = true, .rebuildList = true});
}

QAction* MainWindow::Action(const char* name) const { return findChild<QAction*>(QString::fromLatin1(name)); }

}  // namespace zorvane::editor
