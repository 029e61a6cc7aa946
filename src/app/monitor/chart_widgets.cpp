#include "monitor/chart_widgets.h"

#include <QPainter>

namespace zorvane::editor {

QImage ChartImage(const ChartPicture& picture, WhitePixels white) {
    QImage img(picture.Width, picture.Height, QImage::Format_ARGB32);
    for (int y = 0; y < picture.Height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < picture.Width; ++x) {
            const ChartColour c = picture.At(x, y);
            row[x] = white == WhitePixels::SeeThrough && c == ChartWhite ? qRgba(0, 0, 0, 0) : qRgb(c.R, c.G, c.B);
        }
    }
    return img;
}

LineChartWidget::LineChartWidget(LineChartKind kind, QWidget* parent) : QWidget(parent), chart_(kind) {
    setObjectName(kind == LineChartKind::Recent ? QStringLiteral("RecentChart") : QStringLiteral("WholeRunChart"));
    resize(220, 70);
}

void LineChartWidget::InitChart() {
    chart_.InitChart(width(), height());
    Refresh();
}

void LineChartWidget::AddSample(int percent) {
    chart_.AddSample(percent, isVisible() ? ChartVisibility::Shown : ChartVisibility::Hidden);
    if (isVisible()) Refresh();
}

void LineChartWidget::Refresh() {
    image_ = ChartImage(chart_.Picture(), WhitePixels::SeeThrough);
    QPainter p(&image_);
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(8);
    p.setFont(f);
    p.setPen(Qt::black);
    const int kind = chart_.Kind() == LineChartKind::Recent ? 0 : 1;
    p.drawText(QPoint(0, 6 + p.fontMetrics().ascent()), QStringLiteral("%"));
    p.drawText(QPoint(image_.width() - 12 - 2 * kind, image_.height() - 11 + p.fontMetrics().ascent()),
               kind == 0 ? QStringLiteral("t") : QStringLiteral("T"));
    update();
}

void LineChartWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

MapChartWidget::MapChartWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MapChart"));
    resize(200, 200);
}

void MapChartWidget::InitMapChart(int width, int height) {
    chart_.InitMapChart(width, height);
    resize(chart_.Picture().Width, chart_.Picture().Height);
    Refresh();
}

void MapChartWidget::FillRows(int a, int b) {
    chart_.FillRows(a, b);
    Refresh();
}

void MapChartWidget::DrawRow(int row, const FirstLineDrawing& firstLine) {
    if (!isVisible()) return;
    chart_.DrawRow(row, firstLine);
    Refresh();
}

void MapChartWidget::Refresh() {
    image_ = ChartImage(chart_.Picture(), WhitePixels::Opaque);
    update();
}

void MapChartWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

}  // namespace zorvane::editor
