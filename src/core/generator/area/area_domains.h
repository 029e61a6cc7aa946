#pragma once
// The squares each cell of a rectangular area may still take, kept joined
// up: every square left in a cell has, in each neighbouring cell of the
// area, some square it may stand next to (the learned joins), and the cells
// on the area's edge only hold squares that join the fixed squares around
// it. Sets of learned squares are bitsets, one bit per square index.
//
// Callers narrow cells (Fix, Narrow) and then Propagate; whatever a cell
// loses is recorded, so Mark / UndoTo take the grid back to an earlier
// state exactly. A cell never gains squares except through UndoTo. The
// empty square is never placed: it stands only for fixed squares around the
// area that constrain nothing (borders, blank squares).

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "generator/learned_data.h"

namespace zorvane {

// Which neighbour a set of joins names.
enum class JoinSide { Below, Right, Above, Left };

// Per learned square, the squares that may stand on each side of it: Below
// and Right are its own lists, Above and Left the squares whose lists name
// it. With twins disallowed no square may stand next to itself.
class JoinSets {
public:
    JoinSets(const LearnedData& learned, bool twinsDisallowed);

    int Words() const { return words_; }
    int Squares() const { return squares_; }
    const std::uint64_t* Of(JoinSide side, std::int32_t square) const { return &sets_[SetOffset(side, square)]; }
    // Every learned square but the empty one.
    const std::uint64_t* Placeable() const { return placeable_.data(); }

private:
    std::size_t SetOffset(JoinSide side, std::int32_t square) const {
        return (static_cast<std::size_t>(side) * static_cast<std::size_t>(squares_) + static_cast<std::size_t>(square)) *
               static_cast<std::size_t>(words_);
    }

    int squares_ = 0;
    int words_ = 0;
    std::vector<std::uint64_t> sets_;
    std::vector<std::uint64_t> placeable_;
};

// A set bit of a bitset of `words` words.
inline bool HasSquare(const std::uint64_t* set, std::int32_t square) {
    return (set[static_cast<std::size_t>(square) >> 6] >> (square & 63)) & 1u;
}
// Calls f(square) for every member, in index order.
template <typename F>
void ForEachSquare(const std::uint64_t* set, int words, F&& f) {
    for (int w = 0; w < words; ++w)
        for (std::uint64_t bits = set[w]; bits; bits &= bits - 1)
            f(static_cast<std::int32_t>(w * 64 + __builtin_ctzll(bits)));
}

class AreaDomains {
public:
    // Every cell starts with every placeable square.
    AreaDomains(const JoinSets& joins, int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::uint64_t* Cell(int column, int row) const { return &cells_[Offset(column, row)]; }
    bool Empty(int column, int row) const;
    int Count(int column, int row) const;

    // Keeps in the cell only the squares that may stand on `side` of
    // `neighbour` (a fixed square next to the area); true when it changed.
    bool Narrow(int column, int row, JoinSide side, std::int32_t neighbour);
    // Leaves the one square in the cell.
    void Fix(int column, int row, std::int32_t square);

    // Joins every open row (from `firstOpen` down; rows above it are fixed)
    // up after the rows `touched` changed; false when some cell has no
    // square left, `WipedOut` then names it.
    bool Propagate(int firstOpen, std::span<const int> touched);
    struct Place {
        int Column = 0, Row = 0;
    };
    std::optional<Place> WipedOut() const { return wiped_; }

    // The state to come back to, and coming back to it.
    std::size_t Mark();
    void UndoTo(std::size_t mark);

private:
    std::size_t Offset(int column, int row) const {
        return (static_cast<std::size_t>(row) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(column)) *
               static_cast<std::size_t>(words_);
    }
    // cell &= (union of `side` sets over the members of cell `from`); true
    // when it changed.
    bool Restrict(int column, int row, std::size_t from, JoinSide side);
    // That union, kept per cell and side until the cell changes.
    const std::uint64_t* UnionOf(std::size_t cell, JoinSide side);
    std::size_t Index(int column, int row) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(column);
    }
    bool AndWith(int column, int row, const std::uint64_t* mask);
    void Save(int column, int row);
    bool JoinRow(int row);
    bool Wiped(int column, int row);

    const JoinSets& joins_;
    int width_, height_, words_;
    std::vector<std::uint64_t> cells_;
    std::vector<std::uint64_t> scratch_;
    // What the cells lost: per change the cell and its former bits.
    std::vector<std::uint32_t> trailCells_;
    std::vector<std::uint64_t> trailBits_;
    std::vector<std::uint32_t> savedIn_;  // per cell: the mark generation its bits were last saved in
    std::uint32_t generation_ = 1;
    // Per cell, a number new at every change of its bits; per cell and
    // side, the union kept and the cell's number it was made at (0: none).
    std::vector<std::uint64_t> version_;
    std::uint64_t nextVersion_ = 1;
    std::vector<std::uint64_t> unions_;
    std::vector<std::uint64_t> unionVersion_;
    std::optional<Place> wiped_;
};

}  // namespace zorvane
