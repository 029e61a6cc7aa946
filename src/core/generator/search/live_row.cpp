#include "generator/search/live_row.h"

#include <algorithm>

namespace zorvane {

std::uint32_t LiveRow::NextStamp() {
    if (++stampNow_ == 0) {
        std::fill(stamp_.begin(), stamp_.end(), 0);
        stampNow_ = 1;
    }
    return stampNow_;
}

std::uint32_t LiveRow::MarkReachedFrom(const std::vector<std::int32_t>& from, std::int32_t except) {
    const std::uint32_t mark = NextStamp();
    for (std::int32_t a : from) {
        if (a == except) continue;
        for (std::int32_t b : learned_.Sq(a).Right)
            if (Joins(a, b)) stamp_[static_cast<std::size_t>(b)] = mark;
    }
    return mark;
}

std::uint32_t LiveRow::MarkAll(const std::vector<std::int32_t>& squares, std::int32_t except) {
    const std::uint32_t mark = NextStamp();
    for (std::int32_t s : squares)
        if (s != except) stamp_[static_cast<std::size_t>(s)] = mark;
    return mark;
}

bool LiveRow::JoinsMarked(std::int32_t left, std::uint32_t mark) const {
    const auto& right = learned_.Sq(left).Right;
    return std::any_of(right.begin(), right.end(),
                       [&](std::int32_t b) { return Joins(left, b) && stamp_[static_cast<std::size_t>(b)] == mark; });
}

template <typename Keep>
bool LiveRow::Prune(int column, Keep keep) {
    return std::erase_if(live_[Slot(column)], [&](std::int32_t s) { return !keep(s); }) > 0;
}

// Forwards, the squares a chain of joins reaches from the first column;
// backwards, of those the ones from which a chain goes on to the last.
bool LiveRow::Build(const std::vector<std::vector<std::int32_t>>& candidates) {
    stamp_.resize(static_cast<std::size_t>(learned_.SquareCount()), 0);
    const std::size_t columns = candidates.size();
    live_.assign(columns, {});
    complete_ = false;
    // The distinct squares of `from` marked with `mark` (all when mark is 0).
    auto keep = [&](const std::vector<std::int32_t>& from, std::uint32_t mark, std::vector<std::int32_t>& out) {
        const std::uint32_t taken = NextStamp();
        for (std::int32_t v : from) {
            std::uint32_t& st = stamp_[static_cast<std::size_t>(v)];
            if (st == taken || (mark != 0 && st != mark)) continue;
            st = taken;
            out.push_back(v);
        }
        return !out.empty();
    };
    const auto fail = [&] {
        live_.assign(columns, {});
        return false;
    };
    if (columns == 0 || !keep(candidates[0], 0, live_[0])) return fail();
    for (std::size_t c = 0; c + 1 < columns; ++c)
        if (!keep(candidates[c + 1], MarkReachedFrom(live_[c]), live_[c + 1])) return fail();
    for (std::size_t c = columns - 1; c-- > 0;) {
        const std::uint32_t onward = MarkAll(live_[c + 1]);
        Prune(static_cast<int>(c), [&](std::int32_t a) { return JoinsMarked(a, onward); });
        if (live_[c].empty()) return fail();
    }
    complete_ = true;
    return true;
}

bool LiveRow::IsLive(int column, std::int32_t square) const {
    const auto& live = live_[Slot(column)];
    return std::find(live.begin(), live.end(), square) != live.end();
}

bool LiveRow::CanRemove(int column, std::int32_t square) {
    const auto& here = live_[Slot(column)];
    if (here.size() < 2) return false;
    if (column > 0) {
        const std::uint32_t others = MarkAll(here, square);
        const auto& left = live_[Slot(column - 1)];
        if (std::none_of(left.begin(), left.end(), [&](std::int32_t a) { return JoinsMarked(a, others); }))
            return false;
    }
    if (Slot(column) + 1 < live_.size()) {
        const std::uint32_t reached = MarkReachedFrom(here, square);
        const auto& right = live_[Slot(column) + 1];
        if (std::none_of(right.begin(), right.end(),
                         [&](std::int32_t b) { return stamp_[static_cast<std::size_t>(b)] == reached; }))
            return false;
    }
    return true;
}

void LiveRow::Remove(int column, std::int32_t square) {
    std::erase(live_[Slot(column)], square);
    const int columns = static_cast<int>(live_.size());
    for (int c = column + 1; c < columns; ++c) {
        const std::uint32_t reached = MarkReachedFrom(live_[Slot(c - 1)]);
        if (!Prune(c, [&](std::int32_t b) { return stamp_[static_cast<std::size_t>(b)] == reached; })) break;
    }
    for (int c = column - 1; c >= 0; --c) {
        const std::uint32_t onward = MarkAll(live_[Slot(c + 1)]);
        if (!Prune(c, [&](std::int32_t a) { return JoinsMarked(a, onward); })) break;
    }
}

}  // namespace zorvane
