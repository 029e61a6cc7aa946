#include "editor/map_zoom.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "editor/main_window.h"
#include "render/map_renderer.h"

namespace zorvane::editor {

using render::MapRenderer;

QString ZoomText(int viewSquare) { return QStringLiteral("%1 %").arg(viewSquare * 100.0 / 32.0, 0, 'g', 4); }

int TopmostTileAt(const Project& project, int depthLimit, int x, int y) {
    for (int k = std::min(static_cast<int>(project.UsedTiles.size()) - 1, depthLimit); k >= 0; --k)
        if (project.UsedTiles[k]->Contains(x, y, TileArea::Bitmaps)) return k;
    return -1;
}

QString WhereText(const Project& project, const MapRenderer& renderer, int x, int y) {
    QString text = ZoomText(renderer.ViewSquare());
    const int k = TopmostTileAt(project, renderer.DepthLimit, x, y);
    if (k < 0) return text;
    const MapTile& t = *project.UsedTiles[k];
    const MapSquare& sq = t.SqAt(x - t.X, y - t.Y);
    auto id = [](int v) { return v == NoBitmap ? QStringLiteral("-") : QString::number(v); };
    return text + QStringLiteral("  layer %1 (%2 x %3): gnd %4, top %5, atr %6")
                      .arg(k)
                      .arg(t.Width)
                      .arg(t.Height)
                      .arg(id(sq.Gnd), id(sq.Top))
                      .arg(static_cast<int>(sq.Atr));
}

MapZoom::MapZoom(MainWindow& window, QMenu& viewMenu) : QObject(&window), window_(window) {
    auto add = [&](QMenu& menu, const char* name, const QString& caption, const QList<QKeySequence>& keys) {
        QAction* a = menu.addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcuts(keys);
        return a;
    };
    QMenu* zoom = viewMenu.addMenu(QStringLiteral("Zoom"));
    zoom->menuAction()->setObjectName(QStringLiteral("MZoom"));
    auto* group = new QActionGroup(this);
    for (std::size_t i = 0; i < ZoomLevels.size(); ++i) {
        const int level = ZoomLevels[i];
        QAction* a = zoom->addAction(ZoomText(level));
        a->setObjectName(QStringLiteral("MZoom%1").arg(level * 100 / 32));
        a->setCheckable(true);
        a->setChecked(level == 32);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, level] { ZoomAtCentre(level); });
        levelActions_[i] = a;
    }
    zoom->addSeparator();
    connect(add(*zoom, "MZoomIn", QStringLiteral("Zoom In"),
                {QKeySequence(QStringLiteral("Ctrl+=")), QKeySequence(QStringLiteral("Ctrl++"))}),
            &QAction::triggered, this, [this] { Step(+1, Centre()); });
    connect(add(*zoom, "MZoomOut", QStringLiteral("Zoom Out"), {QKeySequence(QStringLiteral("Ctrl+-"))}),
            &QAction::triggered, this, [this] { Step(-1, Centre()); });
    connect(add(*zoom, "MZoomReset", QStringLiteral("Actual Size"), {QKeySequence(QStringLiteral("Ctrl+0"))}),
            &QAction::triggered, this, [this] { ZoomAtCentre(32); });
    connect(add(*zoom, "MFitMap", QStringLiteral("Fit Map"), {QKeySequence(QStringLiteral("Ctrl+9"))}),
            &QAction::triggered, this, [this] { FitMap(); });
}

QPoint MapZoom::Centre() const {
    const MapRenderer& r = window_.renderer();
    return {r.Width() / 2, r.Height() / 2};
}

void MapZoom::Checked() {
    for (std::size_t i = 0; i < ZoomLevels.size(); ++i)
        levelActions_[i]->setChecked(ZoomLevels[i] == window_.renderer().ViewSquare());
}

void MapZoom::ZoomTo(int viewSquare, QPoint anchor) {
    MapRenderer& r = window_.renderer();
    if (viewSquare != r.ViewSquare()) {
        // An anchor beside the map holds the map's nearest edge in place.
        const Project& p = window_.project();
        anchor.setX(std::clamp(anchor.x(), 0, std::max(0, (p.MapWidth - r.ScrollX) * r.ViewSquare() - 1)));
        anchor.setY(std::clamp(anchor.y(), 0, std::max(0, (p.MapHeight - r.ScrollY) * r.ViewSquare() - 1)));
        const int column = r.ColumnAt(anchor.x()), row = r.RowAt(anchor.y());
        r.SetViewSquare(viewSquare);
        // The scroll bars' own redraws would be thrown away by the full one.
        const bool disabled = r.RenderingDisabled;
        r.RenderingDisabled = true;
        window_.SetScrollPositions(column - (r.ColumnAt(anchor.x()) - r.ScrollX),
                                   row - (r.RowAt(anchor.y()) - r.ScrollY));
        r.RenderingDisabled = disabled;
        window_.FullRedraw();
    }
    Checked();
    window_.UpdateStatusBar();
}

void MapZoom::ZoomAtCentre(int viewSquare) { ZoomTo(viewSquare, Centre()); }

void MapZoom::Step(int direction, QPoint anchor) {
    const int current = window_.renderer().ViewSquare();
    const auto next = std::upper_bound(ZoomLevels.begin(), ZoomLevels.end(), current);
    const auto at = std::lower_bound(ZoomLevels.begin(), ZoomLevels.end(), current);
    if (direction > 0 && next != ZoomLevels.end()) ZoomTo(*next, anchor);
    if (direction < 0 && at != ZoomLevels.begin()) ZoomTo(*(at - 1), anchor);
}

void MapZoom::FitMap() {
    const MapRenderer& r = window_.renderer();
    const Project& p = window_.project();
    int level = ZoomLevels.front();
    for (int candidate : ZoomLevels)
        if (p.MapWidth * candidate <= r.Width() && p.MapHeight * candidate <= r.Height()) level = candidate;
    ZoomTo(level, QPoint(0, 0));
    window_.SetScrollPositions(0, 0);
    window_.UpdateStatusBar();
}

bool MapZoom::Wheel(const QWheelEvent& e) {
    const QPoint angle = e.angleDelta();
    if (e.modifiers() & Qt::ControlModifier) {
        zoomDelta_ += angle.y() != 0 ? angle.y() : angle.x();
        const QPoint anchor = e.position().toPoint();
        for (; zoomDelta_ >= 120; zoomDelta_ -= 120) Step(+1, anchor);
        for (; zoomDelta_ <= -120; zoomDelta_ += 120) Step(-1, anchor);
        return true;
    }
    QPoint delta = angle;
    // Shift+wheel goes sideways (some systems turn it so themselves).
    if ((e.modifiers() & Qt::ShiftModifier) && delta.x() == 0) delta = QPoint(delta.y(), 0);
    scrollDelta_ += delta;
    const MapRenderer& r = window_.renderer();
    const int perNotch = std::max(1, static_cast<int>(std::lround(96.0 / r.ViewSquare())));
    const int nx = scrollDelta_.x() / 120, ny = scrollDelta_.y() / 120;
    scrollDelta_ -= QPoint(nx * 120, ny * 120);
    if (nx != 0 || ny != 0) {
        window_.SetScrollPositions(r.ScrollX - nx * perNotch, r.ScrollY - ny * perNotch);
        window_.UpdateStatusBar();
    }
    return true;
}

}  // namespace zorvane::editor
