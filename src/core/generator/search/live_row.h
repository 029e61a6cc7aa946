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
    // The squares `left` joins to on its right, as bits over the learned
    // squares (words_ words): a row of the table, or made from its Right
    // list into scratch_ when the learned squares are too many for a table.
    const std::uint64_t* JoinBits(std::int32_t left) {
        if (table_.empty()) return JoinBitsFromList(left);
        return table_.data() + static_cast<std::size_t>(left) * words_;
    }
    const std::uint64_t* JoinBitsFromList(std::int32_t left);
    // Marks (in marked_) the squares that some square of `from` joins to
    // on its right (but `except`).
    void MarkReachedFrom(const std::vector<std::int32_t>& from, std::int32_t except = -1);
    // Marks the squares of `squares` (but `except`).
    void MarkAll(const std::vector<std::int32_t>& squares, std::int32_t except = -1);
    bool Marked(std::int32_t square) const { return Has(marked_, square); }
    bool JoinsMarked(std::int32_t left);
    static bool Has(const std::vector<std::uint64_t>& bits, std::int32_t square) {
        const auto s = static_cast<std::size_t>(square);
        return (bits[s / 64] >> (s % 64) & 1) != 0;
    }
    static void Put(std::vector<std::uint64_t>& bits, std::int32_t square) {
        const auto s = static_cast<std::size_t>(square);
        bits[s / 64] |= std::uint64_t{1} << (s % 64);
    }
    // Keeps the squares of `column` that `keep` accepts; true when some left.
    template <typename Keep>
    bool Prune(int column, Keep keep);

    const LearnedData& learned_;
    bool twinsDisallowed_;
    bool complete_ = false;
    std::vector<std::vector<std::int32_t>> live_;
    std::size_t squares_ = 0, words_ = 0;
    std::vector<std::uint64_t> table_;     // squares_ x words_, when there is a table
    std::vector<std::uint64_t> scratch_;   // JoinBits without a table
    std::vector<std::uint64_t> marked_, taken_;
};

}  // namespace zorvane
