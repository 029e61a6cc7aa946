#include "eq_chart.h"

#include <algorithm>
#include <cmath>

namespace zorvane {

namespace {

constexpr double kValueTolerance = 1e-9;
// Putting points back in order ends after this many passes even when the
// points cannot all stand on different sizes.
constexpr int kMaxReorderPasses = 10000;

}  // namespace

std::int64_t RoundHalfEven(double value) { return static_cast<std::int64_t>(std::nearbyint(value)); }

int TEqChart::SizeOf(std::int32_t x) const { return static_cast<int>(RoundHalfEven(x / scale_)); }

std::int32_t TEqChart::XOf(double size) const {
    // Sizes from a data file may be any 32-bit value: saturate.
    const double x = std::clamp(size * scale_, -2147483648.0, 2147483647.0);
    return static_cast<std::int32_t>(RoundHalfEven(x));
}

std::string TEqChart::AxisLabel() const { return "x [0-" + std::to_string(largest_) + "]"; }

std::pair<int, int> TEqChart::GetPointData(int index) const {
    const Point& p = points_[static_cast<std::size_t>(index)];
    return {SizeOf(p.x), p.y};
}

void TEqChart::ResetPoints(int n, int count) {
    largest_ = n;
    points_.assign(static_cast<std::size_t>(std::max(count, 0)), Point{0, 100});
    for (int i = 0; i < count; ++i) {
        const double x = n <= 0 ? i * 1000.0 : i * 200.0 / n;
        points_[static_cast<std::size_t>(i)].x = static_cast<std::int32_t>(RoundHalfEven(x));
    }
    if (!points_.empty()) points_.back().x = 200;
    selected_ = 0;
    SetMaxSize(n);
}

void TEqChart::SetMaxSize(int n) {
    const double oldScale = scale_ == 0.0 ? 1.0 : scale_;
    largest_ = n;
    scale_ = n < 1 ? 1000.0 : 200.0 / n;
    if (scale_ > oldScale) Resample();
}

double TEqChart::ValueAt(double x) const {
    std::size_t w = 0;
    while (w < points_.size() && !(points_[w].x > x)) ++w;
    if (w == points_.size()) return points_.back().y;
    if (w == 0) return points_.front().y;
    const Point& a = points_[w - 1];
    const Point& b = points_[w];
    return a.y + (x - a.x) * (b.y - a.y) / static_cast<double>(b.x - a.x);
}

void TEqChart::Resample() {
    std::vector<Point> kept;
    if (largest_ >= 1 && !points_.empty()) {
        std::vector<double> v(static_cast<std::size_t>(largest_) + 1);
        for (int i = 0; i <= largest_; ++i) v[static_cast<std::size_t>(i)] = ValueAt(i * scale_);
        auto keep = [&](int i) {
            kept.push_back({XOf(i), static_cast<std::int32_t>(RoundHalfEven(v[static_cast<std::size_t>(i)]))});
        };
        keep(0);
        for (int i = 1; i < largest_; ++i) {
            const double before = v[static_cast<std::size_t>(i)] - v[static_cast<std::size_t>(i) - 1];
            const double after = v[static_cast<std::size_t>(i) + 1] - v[static_cast<std::size_t>(i)];
            if (std::abs(before - after) > kValueTolerance) keep(i);
        }
        keep(largest_);  // the end of the range, so that the curve's last stretch survives
    }
    if (kept.size() < 2) kept = {Point{0, 100}, Point{200, 100}};
    kept.front().x = 0;
    kept.back().x = 200;
    for (auto& p : kept) p.y = std::clamp(p.y, 0, 100);
    points_ = std::move(kept);
    selected_ = 0;
}

void TEqChart::Select(int index) {
    if (points_.empty()) return;
    selected_ = std::clamp(index, 0, GetPointsCount() - 1);
}

void TEqChart::SelectPrev() {
    if (points_.empty()) return;
    selected_ = selected_ <= 0 ? GetPointsCount() - 1 : selected_ - 1;
}

void TEqChart::SelectNext() {
    if (points_.empty()) return;
    selected_ = selected_ >= GetPointsCount() - 1 ? 0 : selected_ + 1;
}

bool TEqChart::AddPoint() {
    const int count = GetPointsCount();
    if (count < 2) return false;
    const int k = selected_ == count - 1 ? selected_ - 1 : selected_;
    const Point a = points_[static_cast<std::size_t>(k)];
    const Point b = points_[static_cast<std::size_t>(k) + 1];
    const double minGap = std::max(std::ceil(2 * scale_), 2.0);
    if (b.x - a.x < minGap || count > largest_ + 1) return false;
    Point mid{static_cast<std::int32_t>(RoundHalfEven((a.x + b.x) / 2.0)),
              static_cast<std::int32_t>(RoundHalfEven((a.y + b.y) / 2.0))};
    points_.insert(points_.begin() + k + 1, mid);
    selected_ = k + 1;
    return true;
}

bool TEqChart::DeletePoint() {
    if (selected_ <= 0 || selected_ >= GetPointsCount() - 1) return false;
    points_.erase(points_.begin() + selected_);
    return true;
}

void TEqChart::MovePoint(int size, int percent) {
    if (!PointEditEnabled() || points_.empty()) return;
    Point& p = points_[static_cast<std::size_t>(selected_)];
    p.y = std::clamp(percent, MinPercent, MaxPercent);
    const bool inner = selected_ > 0 && selected_ < GetPointsCount() - 1;
    const int oldSize = SizeOf(p.x);
    if (!inner || size == oldSize) return;
    const int direction = size > oldSize ? 1 : -1;
    if (size >= RoundHalfEven(200 / scale_)) {
        p.x = XOf(std::floor(199 / scale_));
    } else if (size <= 0) {
        p.x = XOf(std::ceil(1 / scale_));
    } else if (scale_ < 1) {
        const double x = size * scale_;
        p.x = static_cast<std::int32_t>(direction < 0 ? std::floor(x) : std::ceil(x));
    } else {
        p.x = XOf(size);
    }
    Reorder(direction);
}

// Passes over the neighbour pairs until nothing changes: pairs out of order
// (by whole sizes) swap, pairs on one size are set one size apart.
void TEqChart::Reorder(int direction) {
    const int count = GetPointsCount();
    for (int pass = 0; pass < kMaxReorderPasses; ++pass) {
        bool changed = false;
        for (int i = 0; i + 1 < count; ++i) {
            Point& a = points_[static_cast<std::size_t>(i)];
            Point& b = points_[static_cast<std::size_t>(i) + 1];
            const int sa = SizeOf(a.x);
            const int sb = SizeOf(b.x);
            if (sa > sb) {
                std::swap(a, b);
                a.x = XOf(sb);
                b.x = XOf(sa);
                if (selected_ == i) selected_ = i + 1;
                else if (selected_ == i + 1) selected_ = i;
                changed = true;
            } else if (sa == sb) {
                if (i == 0) {
                    b.x = XOf(sa + 1);
                } else if (i + 1 == count - 1) {
                    a.x = XOf(sb - 1);
                } else if (selected_ == i || selected_ == i + 1) {
                    // One size from its neighbour in the direction of the
                    // move; back the other way when that would meet an end.
                    const int from = SizeOf(points_[static_cast<std::size_t>(selected_ == i ? i + 1 : i)].x);
                    int to = from + (direction < 0 ? -1 : 1);
                    if (to <= SizeOf(points_.front().x) || to >= SizeOf(points_.back().x))
                        to = from - (direction < 0 ? -1 : 1);
                    points_[static_cast<std::size_t>(selected_)].x = XOf(to);
                } else {
                    b.x = XOf(sa + 1);
                }
                changed = true;
            }
        }
        if (!changed) return;
    }
}

void TEqChart::SetStoredPoints(const std::vector<std::pair<int, int>>& sizePercent) {
    points_.clear();
    points_.reserve(sizePercent.size());
    for (auto [size, percent] : sizePercent) points_.push_back({XOf(size), percent});
    if (points_.size() > 1) {
        points_.front().x = XOf(0);
        points_.back().x = XOf(largest_);
    }
    selected_ = 0;
}

}  // namespace zorvane
