#pragma once
// The object size distribution chart ("The occurrence of objects depending
// on size:"): a polyline of points over object sizes 0..N with occurrence
// probabilities 0..100 %. Points are held in chart units: x runs 0..200 over
// the whole size range (scale = 200 / N chart units per size, 1000 when
// N < 1), the first point at 0 and the last at 200, x increasing. What the
// user sees and what the data file stores are sizes: round(x / scale).
//
// This class is the chart's logic and data (the search reads the curve);
// where it stands in its picture is the presenter's (object_chart_picture.h),
// and the settings window maps its buttons ("<", ">", "+", "x", "Set") onto
// these operations.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zorvane {

class ObjectSizeChart {
public:
    struct Point {
        std::int32_t x = 0;  // chart units
        std::int32_t y = 0;  // percent
        friend bool operator==(const Point&, const Point&) = default;
    };

    // Chart units across the whole size range.
    static constexpr int Units = 200;
    static constexpr int MinPercent = 0;
    static constexpr int MaxPercent = 100;

    ObjectSizeChart() { ResetPoints(200, 2); }

    // N, count points spread evenly at 100 %, the last at x 200; selects
    // point 0 and applies SetMaxSize(n).
    void ResetPoints(int n, int count);
    // Changes the size range to 0..n. When the range got shorter the curve
    // is resampled at whole sizes, keeping the points where its slope
    // changes and the range's end; when it got longer, points that come to
    // share a size are set apart.
    void SetMaxSize(int n);

    void SelectPrev();  // wraps from the first to the last
    void SelectNext();  // wraps from the last to the first
    void Select(int index);
    // "+": a point halfway between the selected one and the next; false when
    // refused (no room, or already more than N + 1 points).
    bool AddPoint();
    // "x": removes the selected point; the first and the last stay.
    bool DeletePoint();
    // "Set": moves the selected point to (size, percent); the first and the
    // last point keep their x. Points are kept in order, each on a size of
    // its own: onto a taken size the point goes on to the next free size in
    // the direction of the move (the nearest free one back when there is
    // none before the end). Above 200 sizes a chart unit spans several
    // sizes, and points keep to chart units of their own.
    void MovePoint(int size, int percent);

    // The most points a chart over sizes 0..n may hold: one per size (per
    // chart unit when a unit spans several sizes) and one to spare, as "+"
    // stops at n + 2 points.
    static int MaxPoints(int n);

    int GetPointsCount() const { return static_cast<int>(points_.size()); }
    // (size, percent) of point i.
    std::pair<int, int> GetPointData(int index) const;

    // Replaces the points as stored, converting sizes to chart units; no
    // clamping or reordering (the data file reader).
    void SetStoredPoints(const std::vector<std::pair<int, int>>& sizePercent);
    void SetScale(double scale) { scale_ = scale; }

    const std::vector<Point>& Points() const { return points_; }
    int Selected() const { return selected_; }
    int Largest() const { return largest_; }
    double Scale() const { return scale_; }

private:
    int SizeOf(std::int32_t x) const;      // round(x / scale)
    std::int32_t XOf(double size) const;  // round(size * scale)
    double ValueAt(double x) const;        // the curve at chart x
    void Resample();
    void SeparateSizes();
    int SlotOf(std::int32_t x) const;
    std::int32_t XOfSlot(int slot) const;
    void PlaceSelected(std::int32_t x, int direction);

    std::vector<Point> points_;
    int selected_ = 0;
    int largest_ = 0;
    double scale_ = 0.0;
};

// Round to nearest, halves to the even neighbour.
std::int64_t RoundHalfEven(double value);

}  // namespace zorvane
