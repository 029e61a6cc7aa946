#pragma once
// Where the object size chart stands in its 220 x 120 picture: the plot's
// origin and axes, the picture position of each chart point (x = 11 + chart
// x, y = 110 - percent), and which point a click falls on. The settings
// window paints the picture at these places and stretches it to its widget;
// callers hand in picture positions (design pixels), never widget pixels.
// The points themselves are the generator's data (ObjectSizeChart).

#include <string>

#include "generator/eq_chart.h"

namespace zorvane::object_chart_picture {

inline constexpr int Width = 220;
inline constexpr int Height = 120;
inline constexpr int PlotLeft = 11;     // the column of chart x 0
inline constexpr int XAxisRow = 110;    // the row of 0 %, and the x axis
inline constexpr int YAxisColumn = 10;  // the y axis
inline constexpr int ClickReach = 6;    // design pixels around a point that select it

struct PicturePoint {
    double X = 0;
    double Y = 0;
};

// Points can be edited only over a range of sizes (largest size >= 1); the
// size edit then goes up to the largest size.
inline bool PointEditEnabled(const ObjectSizeChart& chart) { return chart.Largest() >= 1; }
inline int PointSizeMax(const ObjectSizeChart& chart) { return chart.Largest(); }
// The x axis label: "x [0-" + largest size + "]".
std::string AxisLabel(const ObjectSizeChart& chart);

PicturePoint PointInPicture(const ObjectSizeChart::Point& point);

// The point nearest to `at` within ClickReach (of equally near ones the
// last), or -1 when none is that near.
int PointAt(const ObjectSizeChart& chart, PicturePoint at);

}  // namespace zorvane::object_chart_picture
