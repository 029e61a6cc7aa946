#include "generator/area/area_domains.h"

#include <algorithm>
#include <bit>

namespace zorvane {

JoinSets::JoinSets(const LearnedData& learned, bool twinsDisallowed)
    : squares_(learned.SquareCount()), words_((learned.SquareCount() + 63) / 64) {
    const auto n = static_cast<std::size_t>(squares_);
    const auto w = static_cast<std::size_t>(words_);
    sets_.assign(4 * n * w, 0);
    placeable_.assign(w, 0);
    auto add = [&](JoinSide side, std::int32_t square, std::int32_t member) {
        if (twinsDisallowed && square == member) return;
        if (member < 0 || member >= squares_) return;
        std::uint64_t* set = &sets_[SetOffset(side, square)];
        set[static_cast<std::size_t>(member) >> 6] |= std::uint64_t{1} << (member & 63);
    };
    for (std::int32_t s = 0; s < squares_; ++s) {
        const LearnedSquare& sq = learned.Sq(s);
        for (std::int32_t d : sq.Down) {
            add(JoinSide::Below, s, d);
            if (d >= 0 && d < squares_) add(JoinSide::Above, d, s);
        }
        for (std::int32_t r : sq.Right) {
            add(JoinSide::Right, s, r);
            if (r >= 0 && r < squares_) add(JoinSide::Left, r, s);
        }
        if (s != learned.EmptySquare()) placeable_[static_cast<std::size_t>(s) >> 6] |= std::uint64_t{1} << (s & 63);
    }
}

AreaDomains::AreaDomains(const JoinSets& joins, int width, int height)
    : joins_(joins), width_(width), height_(height), words_(joins.Words()) {
    const auto cells = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    cells_.resize(cells * static_cast<std::size_t>(words_));
    for (std::size_t c = 0; c < cells; ++c)
        std::copy_n(joins.Placeable(), words_, cells_.begin() + static_cast<std::ptrdiff_t>(c * words_));
    scratch_.resize(static_cast<std::size_t>(words_));
    savedIn_.assign(cells, 0);
    version_.assign(cells, 1);
    unions_.resize(cells * 4 * static_cast<std::size_t>(words_));
    unionVersion_.assign(cells * 4, 0);
}

bool AreaDomains::Empty(int column, int row) const {
    const std::uint64_t* cell = Cell(column, row);
    return std::all_of(cell, cell + words_, [](std::uint64_t w) { return w == 0; });
}

int AreaDomains::Count(int column, int row) const {
    const std::uint64_t* cell = Cell(column, row);
    int n = 0;
    for (int w = 0; w < words_; ++w) n += std::popcount(cell[w]);
    return n;
}

void AreaDomains::Save(int column, int row) {
    const std::size_t index = Index(column, row);
    if (savedIn_[index] == generation_) return;
    savedIn_[index] = generation_;
    trailCells_.push_back(static_cast<std::uint32_t>(index));
    const std::uint64_t* cell = Cell(column, row);
    trailBits_.insert(trailBits_.end(), cell, cell + words_);
}

bool AreaDomains::AndWith(int column, int row, const std::uint64_t* mask) {
    std::uint64_t* cell = &cells_[Offset(column, row)];
    bool changed = false;
    for (int w = 0; w < words_; ++w)
        if ((cell[w] & mask[w]) != cell[w]) {
            changed = true;
            break;
        }
    if (!changed) return false;
    Save(column, row);
    for (int w = 0; w < words_; ++w) cell[w] &= mask[w];
    version_[Index(column, row)] = ++nextVersion_;
    return true;
}

bool AreaDomains::Narrow(int column, int row, JoinSide side, std::int32_t neighbour) {
    return AndWith(column, row, joins_.Of(side, neighbour));
}

void AreaDomains::Fix(int column, int row, std::int32_t square) {
    std::fill(scratch_.begin(), scratch_.end(), 0);
    scratch_[static_cast<std::size_t>(square) >> 6] = std::uint64_t{1} << (square & 63);
    AndWith(column, row, scratch_.data());
}

const std::uint64_t* AreaDomains::UnionOf(std::size_t cell, JoinSide side) {
    const std::size_t slot = cell * 4 + static_cast<std::size_t>(side);
    std::uint64_t* out = &unions_[slot * static_cast<std::size_t>(words_)];
    if (unionVersion_[slot] == version_[cell]) return out;
    unionVersion_[slot] = version_[cell];
    std::fill(out, out + words_, 0);
    ForEachSquare(&cells_[cell * static_cast<std::size_t>(words_)], words_, [&](std::int32_t s) {
        const std::uint64_t* set = joins_.Of(side, s);
        for (int w = 0; w < words_; ++w) out[w] |= set[w];
    });
    return out;
}

bool AreaDomains::Restrict(int column, int row, std::size_t from, JoinSide side) {
    return AndWith(column, row, UnionOf(from, side));
}

bool AreaDomains::Wiped(int column, int row) {
    if (!Empty(column, row)) return false;
    wiped_ = Place{column, row};
    return true;
}

// Along the row: each cell keeps what the cell to its left reaches, then
// each cell keeps what reaches the cell to its right. A row is a chain, so
// the two passes leave every square of it a partner on both sides.
bool AreaDomains::JoinRow(int row) {
    for (int c = 1; c < width_; ++c)
        if (Restrict(c, row, Index(c - 1, row), JoinSide::Right) && Wiped(c, row)) return false;
    for (int c = width_ - 2; c >= 0; --c)
        if (Restrict(c, row, Index(c + 1, row), JoinSide::Left) && Wiped(c, row)) return false;
    return true;
}

bool AreaDomains::Propagate(int firstOpen, std::span<const int> touched) {
    wiped_.reset();
    std::vector<char> dirty(static_cast<std::size_t>(height_), 0);
    int next = height_;
    for (int r : touched) {
        if (r < 0 || r >= height_) continue;
        dirty[static_cast<std::size_t>(r)] = 1;
        next = std::min(next, r);
    }
    while (next < height_) {
        const int row = next;
        if (!dirty[static_cast<std::size_t>(row)]) {
            ++next;
            continue;
        }
        dirty[static_cast<std::size_t>(row)] = 0;
        if (!JoinRow(row)) return false;
        // Each row changed here joins its neighbours again (rows above the
        // open ones stay as they are).
        auto follow = [&](int other, JoinSide side) {
            if (other < firstOpen || other >= height_) return true;
            bool changed = false;
            for (int c = 0; c < width_; ++c) {
                if (!Restrict(c, other, Index(c, row), side)) continue;
                changed = true;
                if (Wiped(c, other)) return false;
            }
            if (changed) dirty[static_cast<std::size_t>(other)] = 1;
            return true;
        };
        if (!follow(row + 1, JoinSide::Below) || !follow(row - 1, JoinSide::Above)) return false;
        next = (row - 1 >= firstOpen && dirty[static_cast<std::size_t>(row - 1)]) ? row - 1 : row + 1;
    }
    return true;
}

std::size_t AreaDomains::Mark() {
    ++generation_;
    return trailCells_.size();
}

void AreaDomains::UndoTo(std::size_t mark) {
    while (trailCells_.size() > mark) {
        const std::size_t index = trailCells_.back();
        trailCells_.pop_back();
        const auto bits = trailBits_.end() - words_;
        std::copy(bits, trailBits_.end(), cells_.begin() + static_cast<std::ptrdiff_t>(index * words_));
        trailBits_.erase(bits, trailBits_.end());
        // Saved again by the next change, whatever generation it is in.
        savedIn_[index] = 0;
        version_[index] = ++nextVersion_;
    }
    ++generation_;
}

}  // namespace zorvane
