#pragma once
// The live squares of a row: for each column, the distinct candidate squares
// that some complete row uses (a chain of joins from the first column to the
// last passes through them), kept so while squares are taken out.
//
// A row is a chain: once every live square has a join to a live square on
// each side, taking out a square whose column keeps another live square, and
// whose neighbour columns each keep a live square joined to another square
// of its column, leaves every column some live square. Remove() takes out
// only such squares (CanRemove) and drops what loses its last join, so the
// row stays completable however many squares the caller takes out.

#include <cstdint>
#include <vector>

#include "generator/learned_data.h"

namespace zorvane {

class LiveRow {
public:
    // Squares named by the candidates must be learned squares.
    LiveRow(const LearnedData& learned, bool twinsDisallowed)
        : learned_(learned), twinsDisallowed_(twinsDisallowed) {}

    // The live squares of the columns' candidate lists; false (and no live
    // squares) when no complete row exists.
    bool Build(const std::vector<std::vector<std::int32_t>>& candidates);
    bool Complete() const { return complete_; }

    // The live squares of a column, in the order of their first candidate.
    const std::vector<std::int32_t>& Column(int column) const { return live_[Slot(column)]; }
    bool IsLive(int column, std::int32_t square) const;

    // Whether the row stays completable without `square` in `column` (which
    // must be live).
    bool CanRemove(int column, std::int32_t square);
    // Takes a live square out of its column and drops the squares of the
    // other columns that no complete row uses any more.
    void Remove(int column, std::int32_t square);

private:
    static std::size_t Slot(int column) { return static_cast<std::size_t>(column); }
    bool Joins(std::int32_t left, std::int32_t right) const { return !(twinsDisallowed_ && left == right); }
    // Marks the squares that some square of `from` joins to on its right
    // (but `except`); returns the mark.
    std::uint32_t MarkReachedFrom(const std::vector<std::int32_t>& from, std::int32_t except = -1);
    // Marks the squares of `squares` (but `except`); returns the mark.
    std::uint32_t MarkAll(const std::vector<std::int32_t>& squares, std::int32_t except = -1);
    bool JoinsMarked(std::int32_t left, std::uint32_t mark) const;
    // Keeps the squares of `column` that `keep` accepts; true when some left.
    template <typename Keep>
    bool Prune(int column, Keep keep);
    std::uint32_t NextStamp();

    const LearnedData& learned_;
    bool twinsDisallowed_;
    bool complete_ = false;
    std::vector<std::vector<std::int32_t>> live_;
    std::vector<std::uint32_t> stamp_;  // per learned square
    std::uint32_t stampNow_ = 0;
};

}  // namespace zorvane
