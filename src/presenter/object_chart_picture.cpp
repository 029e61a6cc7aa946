#include "presenter/object_chart_picture.h"

#include <cmath>

namespace zorvane::object_chart_picture {

std::string AxisLabel(const ObjectSizeChart& chart) { return "x [0-" + std::to_string(chart.Largest()) + "]"; }

PicturePoint PointInPicture(const ObjectSizeChart::Point& point) {
    return {double(PlotLeft + point.x), double(XAxisRow - point.y)};
}

int PointAt(const ObjectSizeChart& chart, PicturePoint at) {
    int best = -1;
    double bestDistance = ClickReach;
    for (int i = 0; i < chart.GetPointsCount(); ++i) {
        const PicturePoint p = PointInPicture(chart.Points()[static_cast<std::size_t>(i)]);
        const double distance = std::hypot(p.X - at.X, p.Y - at.Y);
        if (distance <= bestDistance) bestDistance = distance, best = i;
    }
    return best;
}

}  // namespace zorvane::object_chart_picture
