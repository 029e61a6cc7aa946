#include "generator/eq_chart.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace zorvane {

namespace {

constexpr double kValueTolerance = 1e-9;

}  // namespace

std::int64_t RoundHalfEven(double value) { return static_cast<std::int64_t>(std::nearbyint(value)); }

int ObjectSizeChart::SizeOf(std::int32_t x) const { return static_cast<int>(RoundHalfEven(x / scale_)); }

std::int32_t ObjectSizeChart::XOf(double size) const {
    // Sizes from a data file may be any 32-bit value: saturate.
    const double x = std::clamp(size * scale_, -2147483648.0, 2147483647.0);
    return static_cast<std::int32_t>(RoundHalfEven(x));
}

int ObjectSizeChart::MaxPoints(int n) { return std::min(std::max(n, 0), Units) + 2; }

std::pair<int, int> ObjectSizeChart::GetPointData(int index) const {
    const Point& p = points_[static_cast<std::size_t>(index)];
    return {SizeOf(p.x), p.y};
}

void ObjectSizeChart::ResetPoints(int n, int count) {
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

void ObjectSizeChart::SetMaxSize(int n) {
    const double oldScale = scale_ == 0.0 ? 1.0 : scale_;
    largest_ = n;
    scale_ = n < 1 ? 1000.0 : 200.0 / n;
    if (scale_ > oldScale) Resample();
    else SeparateSizes();
}

// A longer range puts sizes closer in chart units, so that two points
// between whole sizes may round to one size: such a point moves on to the
// next size (back from the end when the sizes run out).
void ObjectSizeChart::SeparateSizes() {
    const std::size_t count = points_.size();
    if (count < 3) return;
    std::vector<int> slot(count);
    bool crowded = false;
    for (std::size_t i = 0; i < count; ++i) {
        slot[i] = SlotOf(points_[i].x);
        crowded = crowded || (i > 0 && slot[i] <= slot[i - 1]);
    }
    if (!crowded || slot.back() - slot.front() < static_cast<int>(count) - 1) return;
    std::vector<int> placed = slot;
    for (std::size_t i = 1; i + 1 < count; ++i) placed[i] = std::max(placed[i], placed[i - 1] + 1);
    for (std::size_t i = count - 2; i > 0; --i) placed[i] = std::min(placed[i], placed[i + 1] - 1);
    for (std::size_t i = 1; i + 1 < count; ++i)
        if (placed[i] != slot[i]) points_[i].x = XOfSlot(placed[i]);
}

double ObjectSizeChart::ValueAt(double x) const {
    std::size_t w = 0;
    while (w < points_.size() && !(points_[w].x > x)) ++w;
    if (w == points_.size()) return points_.back().y;
    if (w == 0) return points_.front().y;
    const Point& a = points_[w - 1];
    const Point& b = points_[w];
    return a.y + (x - a.x) * (b.y - a.y) / static_cast<double>(b.x - a.x);
}

void ObjectSizeChart::Resample() {
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
    // Above 200 sizes neighbouring sizes may share a chart unit: one point
    // per chart unit, the ends kept.
    points_.assign(1, kept.front());
    for (std::size_t i = 1; i + 1 < kept.size(); ++i)
        if (kept[i].x > points_.back().x && kept[i].x < kept.back().x) points_.push_back(kept[i]);
    points_.push_back(kept.back());
    selected_ = 0;
}

void ObjectSizeChart::Select(int index) {
    if (points_.empty()) return;
    selected_ = std::clamp(index, 0, GetPointsCount() - 1);
}

void ObjectSizeChart::SelectPrev() {
    if (points_.empty()) return;
    selected_ = selected_ <= 0 ? GetPointsCount() - 1 : selected_ - 1;
}

void ObjectSizeChart::SelectNext() {
    if (points_.empty()) return;
    selected_ = selected_ >= GetPointsCount() - 1 ? 0 : selected_ + 1;
}

bool ObjectSizeChart::AddPoint() {
    const int count = GetPointsCount();
    if (count < 2) return false;
    const int k = selected_ == count - 1 ? selected_ - 1 : selected_;
    const Point a = points_[static_cast<std::size_t>(k)];
    const Point b = points_[static_cast<std::size_t>(k) + 1];
    const double minGap = std::max(std::ceil(2 * scale_), 2.0);
    if (b.x - a.x < minGap || count > largest_ + 1) return false;
    Point mid{static_cast<std::int32_t>(RoundHalfEven((a.x + b.x) / 2.0)),
              static_cast<std::int32_t>(RoundHalfEven((a.y + b.y) / 2.0))};
    // Points between whole sizes may leave the middle on a neighbour's
    // size: the new point takes the nearest size between the two.
    const int first = SlotOf(a.x), last = SlotOf(b.x);
    if (last - first < 2) return false;
    if (const int slot = SlotOf(mid.x); slot <= first || slot >= last)
        mid.x = XOfSlot(std::clamp(slot, first + 1, last - 1));
    points_.insert(points_.begin() + k + 1, mid);
    selected_ = k + 1;
    return true;
}

bool ObjectSizeChart::DeletePoint() {
    if (selected_ <= 0 || selected_ >= GetPointsCount() - 1) return false;
    points_.erase(points_.begin() + selected_);
    return true;
}

void ObjectSizeChart::MovePoint(int size, int percent) {
    if (largest_ < 1 || points_.empty()) return;  // no sizes to move along
    Point& p = points_[static_cast<std::size_t>(selected_)];
    p.y = std::clamp(percent, MinPercent, MaxPercent);
    const bool inner = selected_ > 0 && selected_ < GetPointsCount() - 1;
    const int oldSize = SizeOf(p.x);
    if (!inner || size == oldSize) return;
    const int direction = size > oldSize ? 1 : -1;
    std::int32_t x = 0;
    if (size >= RoundHalfEven(200 / scale_)) {
        x = XOf(std::floor(199 / scale_));
    } else if (size <= 0) {
        x = XOf(std::ceil(1 / scale_));
    } else if (scale_ < 1) {
        const double exact = size * scale_;
        x = static_cast<std::int32_t>(direction < 0 ? std::floor(exact) : std::ceil(exact));
    } else {
        x = XOf(size);
    }
    PlaceSelected(x, direction);
}

// A slot is a place a point may stand on: a whole size while a size spans at
// least one chart unit, else a chart unit (several sizes share it).
int ObjectSizeChart::SlotOf(std::int32_t x) const { return scale_ >= 1 ? SizeOf(x) : x; }
std::int32_t ObjectSizeChart::XOfSlot(int slot) const { return scale_ >= 1 ? XOf(slot) : slot; }

// Puts the selected inner point on the slot of chart x `x`, the others in
// order around it. A slot taken by another point sends it on to the next
// free slot in the direction of the move, or, with none before the end, to
// the nearest free slot the other way; with no free slot at all it stays.
void ObjectSizeChart::PlaceSelected(std::int32_t x, int direction) {
    const Point moved = points_[static_cast<std::size_t>(selected_)];
    std::vector<Point> others = points_;
    others.erase(others.begin() + selected_);
    std::stable_sort(others.begin() + 1, others.end() - 1,
                     [](const Point& a, const Point& b) { return a.x < b.x; });
    std::vector<int> taken;
    taken.reserve(others.size());
    for (const Point& o : others) taken.push_back(SlotOf(o.x));
    std::sort(taken.begin(), taken.end());
    const int first = SlotOf(others.front().x);
    const int last = SlotOf(others.back().x);
    auto freeSlot = [&](int slot) {
        return slot > first && slot < last && !std::binary_search(taken.begin(), taken.end(), slot);
    };
    const int target = std::clamp(SlotOf(x), first + 1, std::max(first + 1, last - 1));
    std::optional<int> slot;
    for (int s = target; !slot && s > first && s < last; s += direction)
        if (freeSlot(s)) slot = s;
    for (int s = target - direction; !slot && s > first && s < last; s -= direction)
        if (freeSlot(s)) slot = s;
    const Point placed{slot ? XOfSlot(*slot) : moved.x, moved.y};
    const auto at = std::upper_bound(others.begin() + 1, others.end() - 1, placed.x,
                                     [](std::int32_t v, const Point& o) { return v < o.x; });
    selected_ = static_cast<int>(at - others.begin());
    others.insert(at, placed);
    points_ = std::move(others);
}

void ObjectSizeChart::SetStoredPoints(const std::vector<std::pair<int, int>>& sizePercent) {
    points_.clear();
    points_.reserve(sizePercent.size());
    for (auto [size, percent] : sizePercent) points_.push_back({XOf(size), percent});
    // The ends stand at the ends of the chart whatever the range: with an
    // empty range both are stored at size 0.
    if (points_.size() > 1) {
        points_.front().x = 0;
        points_.back().x = 200;
    }
    selected_ = 0;
}

}  // namespace zorvane
