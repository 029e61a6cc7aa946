// Where the object size chart's points stand in its picture and which one a
// click selects, against a plain search over the picture's pixels.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "presenter/object_chart_picture.h"

namespace zorvane {
namespace {

using namespace object_chart_picture;

TEST(ObjectChartPicture, PointsStandOnThePlotAndAClickTakesTheNearestWithinReach) {
    std::mt19937 rng(7);
    for (int round = 0; round < 40; ++round) {
        ObjectSizeChart chart;
        chart.ResetPoints(1 + static_cast<int>(rng() % 60), 2);
        for (int i = 0; i < 6; ++i) {
            chart.Select(static_cast<int>(rng() % chart.GetPointsCount()));
            chart.AddPoint();
            chart.MovePoint(static_cast<int>(rng() % 61), static_cast<int>(rng() % 101));
        }
        for (const auto& p : chart.Points()) {
            const PicturePoint at = PointInPicture(p);
            EXPECT_EQ(at.X, PlotLeft + p.x);
            EXPECT_EQ(at.Y, XAxisRow - p.y);
            EXPECT_GE(at.X, PlotLeft);
            EXPECT_LE(at.X, PlotLeft + ObjectSizeChart::Units);
        }
        for (int y = 0; y < Height; y += 3)
            for (int x = 0; x < Width; x += 3) {
                double nearest = ClickReach + 1;
                for (const auto& p : chart.Points())
                    nearest = std::min(nearest, std::hypot(PlotLeft + p.x - x, XAxisRow - p.y - y));
                const int hit = PointAt(chart, {double(x), double(y)});
                if (nearest > ClickReach) {
                    EXPECT_EQ(hit, -1) << x << "," << y;
                } else {
                    ASSERT_GE(hit, 0) << x << "," << y;
                    const auto& p = chart.Points()[static_cast<std::size_t>(hit)];
                    EXPECT_EQ(std::hypot(PlotLeft + p.x - x, XAxisRow - p.y - y), nearest) << x << "," << y;
                }
            }
    }
}

}  // namespace
}  // namespace zorvane
