#pragma once
// LineChartWidget and MapChartWidget: the statistics window's charts as controls. The
// pictures are made by the core's charts; these controls add the text
// labels and show them (white in a line chart is see-through, so the
// window's colour shows behind the axes).

#include <QImage>
#include <QWidget>

#include "presenter/stats_charts.h"

namespace zorvane::editor {

class LineChartWidget : public QWidget {
public:
    LineChartWidget(LineChartKind kind, QWidget* parent);

    void InitChart();  // a fresh history at the control's size
    void AddSample(int percent);
    const LineChart& Chart() const { return chart_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void Refresh();

    LineChart chart_;
    QImage image_;
};

class MapChartWidget : public QWidget {
public:
    explicit MapChartWidget(QWidget* parent);

    void InitMapChart(int width, int height);  // takes the picture's size
    void FillRows(int a, int b);
    void LoadSubchains(std::vector<ChartSegment> segments) { chart_.LoadSubchains(std::move(segments)); }
    void DrawRow(int row, const FirstLineDrawing& firstLine);
    const MapChart& Chart() const { return chart_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void Refresh();

    MapChart chart_;
    QImage image_;
};

// The core picture as an image; with `whiteSeeThrough` white pixels are
// transparent.
enum class WhitePixels { Opaque, SeeThrough };
QImage ChartImage(const ChartPicture& picture, WhitePixels white);

}  // namespace zorvane::editor
