// The statistics charts as controls: what they show on screen (the line,
// the see-through background, the labels) and that hidden charts only count.

#include <gtest/gtest.h>

#include <QWidget>

#include "monitor/chart_widgets.h"

namespace zorvane::testing {
namespace {

TEST(ChartWidgets, LineChartShowsItsLineOverTheWindowAndCountsWhileHidden) {
    QWidget window;
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, QColor(10, 20, 30));
    window.setPalette(pal);
    window.setAutoFillBackground(true);
    window.resize(300, 100);
    editor::LineChartWidget recent(LineChartKind::Recent, &window);
    window.show();
    recent.InitChart();
    for (int i = 0; i < 5; ++i) recent.AddSample(80);
    const QImage shot = recent.grab().toImage();
    EXPECT_EQ(shot.pixelColor(LineChart::LastPlotColumn, LineChart::RowOf(80)), QColor(255, 255, 0));
    EXPECT_EQ(shot.pixelColor(100, 40), QColor(10, 20, 30)) << "white is see-through";
    EXPECT_EQ(shot.pixelColor(LineChart::AxisColumn, 40), QColor(0, 0, 0));
    int labelInk = 0;  // the "%" label at the top left
    for (int y = 6; y < 20; ++y)
        for (int x = 0; x < 8; ++x) labelInk += shot.pixelColor(x, y) != QColor(10, 20, 30) ? 1 : 0;
    EXPECT_GT(labelInk, 3);

    editor::LineChartWidget whole(LineChartKind::WholeRun, nullptr);
    whole.InitChart();
    for (int i = 0; i < 30; ++i) whole.AddSample(50);  // never shown: counted only
    EXPECT_EQ(whole.Chart().SamplesReceived(), 30);
    const ChartPicture& p = whole.Chart().Picture();
    for (int x = LineChart::PlotLeft; x <= LineChart::LastPlotColumn; ++x) EXPECT_EQ(p.At(x, LineChart::RowOf(50)), ChartWhite);
}

TEST(ChartWidgets, MapChartTakesThePictureSizeAndDrawsRowsWhileShown) {
    QWidget window;
    window.resize(300, 300);
    editor::MapChartWidget map(&window);
    window.show();
    map.InitMapChart(100, 80);
    EXPECT_EQ(map.size(), QSize(200, 160));
    map.LoadSubchains({{.Busy = true, .Start = 0, .Length = 50, .State = 2}});
    map.DrawRow(10, {});
    const QImage shot = map.grab().toImage();
    EXPECT_EQ(shot.pixelColor(5, 5), QColor(0, 128, 0));
    EXPECT_EQ(shot.pixelColor(50, 21), QColor(0, 255, 0));
    map.hide();
    map.DrawRow(40, {});
    EXPECT_EQ(map.Chart().LastRow(), 10) << "a hidden chart draws no rows";
}

}  // namespace
}  // namespace zorvane::testing
