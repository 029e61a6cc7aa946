#include "editor/mini_map.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "editor/main_window.h"

namespace zorvane::editor {

using render::BitmapInfo;
using render::MapRenderer;

void DrawMiniMap(QImage& picture, const MainWindow& window) {
    const Project& p = window.project();
    const BitmapInfo& info = window.bitmapInfo();
    const MapRenderer& r = window.renderer();
    picture.fill(Qt::black);
    const std::uint8_t entry0[3] = {p.Palette[2], p.Palette[1], p.Palette[0]};
    auto quad = [&](std::uint16_t id, int q) -> const std::uint8_t* {
        if (id == NoBitmap || id >= info.Count) return nullptr;
        const std::uint8_t* c = info.Quad(id, q);
        return std::equal(c, c + 3, entry0) ? nullptr : c;
    };
    const int last = std::min(static_cast<int>(p.UsedTiles.size()) - 1, r.DepthLimit);
    for (int k = 0; k <= last; ++k) {
        const MapTile& t = *p.UsedTiles[k];
        for (int row = 0; row < t.Height; ++row) {
            const int y = t.Y + row;
            if (y < 0 || y >= p.MapHeight) continue;
            for (int col = 0; col < t.Width; ++col) {
                const int x = t.X + col;
                if (x < 0 || x >= p.MapWidth) continue;
                const MapSquare& sq = t.SqAt(col, row);
                for (int q = 0; q < 4; ++q) {
                    const std::uint8_t* c = quad(sq.Top, q);
                    if (!c) c = quad(sq.Gnd, q);
                    if (!c) continue;
                    const int rowOffset = p.BottomUpRows ? 1 - q / 2 : q / 2;
                    picture.setPixel(2 * x + q % 2, 2 * y + rowOffset, qRgb(c[0], c[1], c[2]));
                }
            }
        }
    }
    QPainter painter(&picture);
    painter.setPen(QColor(128, 128, 128));
    const int x0 = 2 * r.ScrollX, y0 = 2 * r.ScrollY;
    // Two pixels per square of the view, at any zoom.
    const double perPixel = 2.0 / r.ViewSquare();
    const int w = static_cast<int>(std::nearbyint(r.Width() * perPixel)),
              h = static_cast<int>(std::nearbyint(r.Height() * perPixel));
    const QPoint pts[] = {{x0, y0}, {x0 + w, y0}, {x0 + w, y0 + h}, {x0, y0 + h}, {x0, y0}};
    painter.drawPolyline(pts, 5);
}

MiniMapWindow::MiniMapWindow(MainWindow& window)
    : QWidget(&window, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint), window_(window) {
    setObjectName(QStringLiteral("TFMiniMap"));
    setWindowTitle(QStringLiteral("Mini Map"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    picture_ = QImage(50, 50, QImage::Format_RGB32);
    picture_.fill(Qt::black);
    setFixedSize(picture_.size());
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
    timer_.start();
}

void MiniMapWindow::ResizeToMap() {
    const Project& p = window_.project();
    const QSize size = p.MapWidth > 0 && p.MapHeight > 0 ? QSize(p.MapWidth * 2, p.MapHeight * 2) : QSize(50, 50);
    if (picture_.size() != size) {
        picture_ = QImage(size, QImage::Format_RGB32);
        picture_.fill(Qt::black);
        setFixedSize(size);
    }
    Draw();
}

void MiniMapWindow::ShowCentred() {
    ResizeToMap();
    if (!placed_) {
        move(window_.geometry().center() - rect().center());
        placed_ = true;
    }
    show();
    Draw();
}

void MiniMapWindow::Tick() {
    if (!dirty_) return;
    Draw();
    dirty_ = false;
}

void MiniMapWindow::Draw() {
    const Project& p = window_.project();
    if (!isVisible() || picture_.size() != QSize(p.MapWidth * 2, p.MapHeight * 2)) return;
    DrawMiniMap(picture_, window_);
    update();
}

void MiniMapWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage(0, 0, picture_);
}

void MiniMapWindow::mousePressEvent(QMouseEvent* e) {
    const MapRenderer& r = window_.renderer();
    const QPoint pos = e->position().toPoint();
    const double half = 0.5 / r.ViewSquare();  // half the view, in squares per view pixel
    window_.SetScrollPositions(static_cast<int>(std::nearbyint(pos.x() * 0.5 - r.Width() * half)),
                               static_cast<int>(std::nearbyint(pos.y() * 0.5 - r.Height() * half)));
}

void MiniMapWindow::closeEvent(QCloseEvent* e) {
    QWidget::closeEvent(e);
    window_.SetMiniMapShown(false);
}

}  // namespace zorvane::editor
