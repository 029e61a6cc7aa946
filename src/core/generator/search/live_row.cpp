#include "generator/search/live_row.h"

#include <algorithm>

namespace zorvane {

namespace {

// The most learned squares for which the joins are kept as a table of bits
// (8 MiB).
constexpr std::size_t kTableSquares = 8192;

}  // namespace

const std::uint64_t* LiveRow::JoinBitsFromList(std::int32_t left) {
    std::fill(scratch_.begin(), scratch_.end(), 0);
    for (std::int32_t b : learned_.Sq(left).Right)
        if (Joins(left, b)) Put(scratch_, b);
    return scratch_.data();
}

void LiveRow::MarkReachedFrom(const std::vector<std::int32_t>& from, std::int32_t except) {
    std::fill(marked_.begin(), marked_.end(), 0);
    for (std::int32_t a : from) {
        if (a == except) continue;
        const std::uint64_t* joins = JoinBits(a);
        for (std::size_t w = 0; w < words_; ++w) marked_[w] |= joins[w];
    }
}

void LiveRow::MarkAll(const std::vector<std::int32_t>& squares, std::int32_t except) {
    std::fill(marked_.begin(), marked_.end(), 0);
    for (std::int32_t s : squares)
        if (s != except) Put(marked_, s);
}

bool LiveRow::JoinsMarked(std::int32_t left) {
    const std::uint64_t* joins = JoinBits(left);
    for (std::size_t w = 0; w < words_; ++w)
        if ((joins[w] & marked_[w]) != 0) return true;
    return false;
}

template <typename Keep>
bool LiveRow::Prune(int column, Keep keep) {
    return std::erase_if(live_[Slot(column)], [&](std::int32_t s) { return !keep(s); }) > 0;
}

// Forwards, the squares a chain of joins reaches from the first column;
// backwards, of those the ones from which a chain goes on to the last.
bool LiveRow::Build(const std::vector<std::vector<std::int32_t>>& candidates) {
    const auto squares = static_cast<std::size_t>(learned_.SquareCount());
    if (squares != squares_) {
        squares_ = squares;
        words_ = (squares + 63) / 64;
        marked_.assign(words_, 0);
        taken_.assign(words_, 0);
        scratch_.assign(words_, 0);
        table_.clear();
        if (squares <= kTableSquares) {
            table_.assign(squares * words_, 0);
            for (std::size_t a = 0; a < squares; ++a)
                for (std::int32_t b : learned_.Sq(static_cast<int>(a)).Right)
                    if (Joins(static_cast<std::int32_t>(a), b))
                        table_[a * words_ + static_cast<std::size_t>(b) / 64] |= std::uint64_t{1} << (b % 64);
        }
    }
    const std::size_t columns = candidates.size();
    live_.assign(columns, {});
    complete_ = false;
    // The distinct squares of `from`, only the marked ones when asked.
    auto keep = [&](const std::vector<std::int32_t>& from, bool onlyMarked, std::vector<std::int32_t>& out) {
        std::fill(taken_.begin(), taken_.end(), 0);
        for (std::int32_t v : from) {
            if (Has(taken_, v) || (onlyMarked && !Marked(v))) continue;
            Put(taken_, v);
            out.push_back(v);
        }
        return !out.empty();
    };
    const auto fail = [&] {
        live_.assign(columns, {});
        return false;
    };
    if (columns == 0 || !keep(candidates[0], false, live_[0])) return fail();
    for (std::size_t c = 0; c + 1 < columns; ++c) {
        MarkReachedFrom(live_[c]);
        if (!keep(candidates[c + 1], true, live_[c + 1])) return fail();
    }
    for (std::size_t c = columns - 1; c-- > 0;) {
        MarkAll(live_[c + 1]);
        Prune(static_cast<int>(c), [&](std::int32_t a) { return JoinsMarked(a); });
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
        MarkAll(here, square);
        const auto& left = live_[Slot(column - 1)];
        if (std::none_of(left.begin(), left.end(), [&](std::int32_t a) { return JoinsMarked(a); })) return false;
    }
    if (Slot(column) + 1 < live_.size()) {
        MarkReachedFrom(here, square);
        const auto& right = live_[Slot(column) + 1];
        if (std::none_of(right.begin(), right.end(), [&](std::int32_t b) { return Marked(b); })) return false;
    }
    return true;
}

void LiveRow::Remove(int column, std::int32_t square) {
    std::erase(live_[Slot(column)], square);
    const int columns = static_cast<int>(live_.size());
    for (int c = column + 1; c < columns; ++c) {
        MarkReachedFrom(live_[Slot(c - 1)]);
        if (!Prune(c, [&](std::int32_t b) { return Marked(b); })) break;
    }
    for (int c = column - 1; c >= 0; --c) {
        MarkAll(live_[Slot(c + 1)]);
        if (!Prune(c, [&](std::int32_t a) { return JoinsMarked(a); })) break;
    }
}

}  // namespace zorvane
