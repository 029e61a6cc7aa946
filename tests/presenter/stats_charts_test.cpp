// The statistics charts as pictures: the line charts' points, scrolling and
// thinning (the merge order of the whole-run chart, its columns kept full),
// and the map chart's scale, rows and fragment colours.

#include <gtest/gtest.h>

#include <set>

#include "presenter/stats_charts.h"

namespace zorvane {
namespace {

// Plot columns holding a non-white pixel in the plot rows.
std::set<int> UsedColumns(const LineChart& chart) {
    std::set<int> used;
    const ChartPicture& p = chart.Picture();
    for (int y = LineChart::PlotTop; y < LineChart::AxisRow; ++y)
        for (int x = LineChart::PlotLeft; x <= LineChart::LastPlotColumn; ++x)
            if (p.At(x, y) != ChartWhite) used.insert(x);
    return used;
}

TEST(LineChart, PointsJoinThePreviousValueAndTheRecentChartScrolls) {
    EXPECT_EQ(LineChart::RowOf(100), 10);
    EXPECT_EQ(LineChart::RowOf(0), 60);
    EXPECT_EQ(LineChart::RowOf(99), 10);  // 0.5 rounds to even
    EXPECT_EQ(LineChart::RowOf(97), 12);  // 1.5 rounds to even
    LineChart recent(LineChartKind::Recent, 1);
    recent.InitChart(230, 75);
    recent.AddSample(0);
    EXPECT_TRUE(UsedColumns(recent).empty()) << "0 % draws nothing";
    recent.AddSample(50);
    recent.AddSample(100);
    const ChartPicture& p = recent.Picture();
    for (int y = 10; y < 60; ++y) {
        EXPECT_EQ(p.At(209, y) != ChartWhite, y >= 35) << y;   // 50 %: from its row down to the axis
        EXPECT_EQ(p.At(210, y) != ChartWhite, y <= 34) << y;   // 100 %: up from the previous row
    }
    for (int i = 0; i < 400; ++i) recent.AddSample(40);
    EXPECT_EQ(UsedColumns(recent).size(), 200u);
    for (int x = LineChart::PlotLeft; x <= LineChart::LastPlotColumn; ++x)
        for (int y = 10; y < 60; ++y) EXPECT_EQ(p.At(x, y) != ChartWhite, y == LineChart::RowOf(40)) << x << "," << y;
    // The axes stay.
    EXPECT_EQ(p.At(10, 30), ChartBlack);
    EXPECT_EQ(p.At(100, 60), ChartBlack);
}

TEST(LineChart, WholeRunMergesColumnsInSweepOrderAndStaysFull) {
    LineChart whole(LineChartKind::WholeRun, 7);
    whole.InitChart(230, 75);
    std::vector<int> merged;
    for (int i = 0; i < 10; ++i) merged.push_back(whole.DropColumn());
    EXPECT_EQ(merged, (std::vector<int>{111, 91, 131, 71, 151, 51, 171, 31, 191, 112}));
    std::set<int> all;
    for (int i = 0; i < 400; ++i) all.insert(whole.DropColumn());
    EXPECT_GE(*all.begin(), 31) << "the first twenty plot columns are never merged";
    EXPECT_EQ(*all.rbegin(), LineChart::LastPlotColumn);

    LineChart run(LineChartKind::WholeRun, 11);
    run.InitChart(230, 75);
    for (int i = 1; i <= 199; ++i) run.AddSample(30);
    EXPECT_EQ(UsedColumns(run).size(), 199u) << "filling: one column per sample";
    for (int i = 0; i < 3000; ++i) run.AddSample(i % 2 ? 30 : 70);
    EXPECT_EQ(run.SamplesShown(), 200);
    EXPECT_EQ(run.SamplesReceived(), 3199);
    EXPECT_EQ(UsedColumns(run).size(), 200u) << "thinning keeps every column drawn";

    LineChart hidden(LineChartKind::WholeRun, 3);
    hidden.InitChart(230, 75);
    for (int i = 0; i < 50; ++i) hidden.AddSample(80, ChartVisibility::Hidden);
    EXPECT_EQ(hidden.SamplesReceived(), 50);
    EXPECT_TRUE(UsedColumns(hidden).empty());
}

TEST(MapChart, ScaleRowsAndFragments) {
    MapChart chart;
    for (auto [w, h, scale, pw, ph] : {std::tuple{100, 80, 2, 200, 160}, std::tuple{202, 10, 1, 202, 10},
                                       std::tuple{50, 50, 4, 200, 200}, std::tuple{0, 0, 1, 202, 202}}) {
        chart.InitMapChart(w, h);
        EXPECT_EQ(chart.Scale(), scale);
        EXPECT_EQ(chart.Picture().Width, pw);
        EXPECT_EQ(chart.Picture().Height, ph);
    }
    EXPECT_EQ(MapChart::SegmentColour({.Busy = false, .State = 2}), (ChartColour{0, 207, 0}));
    EXPECT_EQ(MapChart::SegmentColour({.Busy = true, .State = 3}), (ChartColour{255, 0, 0}));

    chart.InitMapChart(50, 50);  // scale 4
    chart.LoadSubchains({{.Busy = true, .Start = 0, .Length = 5, .State = 1}, {.Busy = false, .Start = 4, .Length = 3, .State = 2}});
    chart.DrawRow(30, {});
    const ChartPicture& p = chart.Picture();
    EXPECT_EQ(p.At(0, 0), (ChartColour{0, 128, 0})) << "rows passed are done";
    EXPECT_EQ(p.At(199, 119), (ChartColour{0, 128, 0}));
    EXPECT_EQ(p.At(3, 120), (ChartColour{128, 0, 0})) << "a fragment's first square";
    EXPECT_EQ(p.At(10, 121), (ChartColour{255, 255, 0}));
    EXPECT_EQ(p.At(17, 123), (ChartColour{128, 0, 0})) << "the second fragment starts on the shared column";
    EXPECT_EQ(p.At(24, 120), (ChartColour{0, 207, 0}));
    EXPECT_EQ(p.At(25, 120), (ChartColour{0, 128, 0})) << "beyond the last fragment the row stays as filled";
    chart.DrawRow(25, {});
    for (int y = 100; y < 124; ++y) EXPECT_EQ(p.At(150, y), ChartBlack) << "moving back clears rows 25..30";
    chart.DrawRow(26, {.Simplified = true, .StartingLine = 28});
    EXPECT_EQ(p.At(150, 104), (ChartColour{255, 255, 0})) << "the simplified first line";
    EXPECT_EQ(chart.LastRow(), 26);
}

TEST(MapChart, SegmentsOfTheSubChains) {
    std::array<SubChainRecord, 3> sc;
    sc[0].Len = 4, sc[0].Busy = true, sc[0].VariantCount = 2;
    sc[1].Len = 5, sc[1].Done = true, sc[1].Frozen = true;
    sc[2].Len = 3, sc[2].Exhausted = true, sc[2].Done = true;
    const auto s = ChartSegmentsOf(sc);
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ((std::vector<int>{s[0].Start, s[1].Start, s[2].Start}), (std::vector<int>{0, 3, 7}));
    EXPECT_EQ((std::vector<int>{s[0].State, s[1].State, s[2].State}), (std::vector<int>{1, 4, 3}));
    EXPECT_TRUE(s[0].Busy);
    EXPECT_FALSE(s[1].Busy);
}

}  // namespace
}  // namespace zorvane
