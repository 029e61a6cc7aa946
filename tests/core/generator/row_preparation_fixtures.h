#pragma once
// Hand-made learned data and row settings for the row preparation tests.

#include <memory>
#include <vector>

#include "generator/search/row_preparation.h"
#include "learned_run.h"

namespace zorvane::row_preparation_fixtures {

using List = std::vector<std::int32_t>;

// Learned data made by hand: square i has ground i; the last square given
// is the empty square (no bitmaps).
struct Learned {
    std::vector<List> down, right;
    List objSize;  // empty: every square its own object of size 1
    List starts;
};

inline std::unique_ptr<LearnedRun> MakeGenerator(const Learned& l) {
    auto g = std::make_unique<LearnedRun>();
    std::vector<LearnedSquare> squares(l.down.size());
    for (std::size_t i = 0; i < squares.size(); ++i) {
        const bool empty = i + 1 == squares.size();
        squares[i].Gnd = empty ? NoBitmap : static_cast<std::uint16_t>(i);
        squares[i].Top = NoBitmap;
        squares[i].Down = l.down[i];
        squares[i].Right = l.right[i];
    }
    g->SetSquares(std::move(squares));
    g->ObjSize = l.objSize;
    if (g->ObjSize.empty()) {
        g->ObjSize.assign(l.down.size(), 1);
        g->ObjSize.back() = 0;
    }
    g->ObjStarts = l.starts;
    g->LargestObject = *std::max_element(g->ObjSize.begin(), g->ObjSize.end());
    g->Learned = true;
    return g;
}

inline RowSettings Settings(int width, std::vector<double> p = {1.0}) {
    RowSettings s;
    s.MapWidth = width;
    s.P = std::move(p);
    return s;
}

// Every column takes its candidates from `above`, padded with -1 (the empty
// square) to the row's width.
inline List Above(int columns, List first) {
    first.resize(static_cast<std::size_t>(columns), -1);
    return first;
}

inline std::vector<SquarePair> Pairs(std::initializer_list<std::pair<int, int>> list) {
    std::vector<SquarePair> out;
    for (auto [a, b] : list) out.push_back({a, b});
    return out;
}

// Sets the column joins directly (10 columns, 9 column pairs).
inline void SetJoins(LearnedRun& g, const std::vector<std::vector<SquarePair>>& joins) {
    g.PrepareRowBuffers(static_cast<int>(joins.size()) + 1);
    for (std::size_t c = 0; c < joins.size(); ++c) {
        g.ColumnPairJoins[c] = joins[c];
        g.EliminatedJoins[c].assign(joins[c].size(), 0);
    }
}

// Ten squares whose joins are all allowed; the last is the empty square.
inline Learned AllowAll(int n = 10) {
    Learned l;
    List all;
    for (int i = 0; i < n - 1; ++i) all.push_back(i);
    l.down.assign(static_cast<std::size_t>(n), all);
    l.right.assign(static_cast<std::size_t>(n), all);
    return l;
}

using Flags = std::vector<std::uint8_t>;

}  // namespace zorvane::row_preparation_fixtures
