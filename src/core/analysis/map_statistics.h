#pragma once
// Statistics of finished maps, to tell how far generated maps resemble the
// maps they were learned from: how often each square stands, and per
// attribute class (the one-byte terrain attribute of a square) how long its
// straight runs are and how large its connected regions grow.
//
// Squares are told apart by their ground and top bitmaps, as learning tells
// them apart; the attribute of a square's first occurrence names it. Maps
// are added one by one and the totals are pooled: a mean is the squares of
// all maps over the runs (or regions) of all maps.

#include <compare>
#include <cstdint>
#include <map>
#include <span>
#include <vector>

#include "model/project.h"

namespace zorvane::analysis {

// A map's squares row by row, width x height.
struct SquareGrid {
    int Width = 0;
    int Height = 0;
    std::vector<MapSquare> Squares;
};

// The squares inside the border of BorderWidth squares on every side (the
// part of a map the generator fills); empty when the map has none.
// `squares` row by row, width x height.
SquareGrid InnerSquares(std::span<const MapSquare> squares, int width, int height);

struct SquareKey {
    std::uint16_t Gnd = NoBitmap;
    std::uint16_t Top = NoBitmap;
    friend auto operator<=>(const SquareKey&, const SquareKey&) = default;
};

struct SquareTotals {
    std::int64_t Count = 0;
    std::uint8_t Attribute = 0;  // of the square's first occurrence
};

// Maximal straight runs of one class along rows (or columns).
struct RunTotals {
    std::int64_t Runs = 0;
    std::int64_t Squares = 0;
    double Mean() const;  // 0 without runs
};

// Region sizes in buckets of doubling width: bucket k holds the regions of
// 2^k to 2^(k+1) - 1 squares (1, 2-3, 4-7, 8-15, ...).
struct RegionTotals {
    std::int64_t Count = 0;
    std::int64_t Squares = 0;
    std::vector<std::int64_t> Buckets;  // as long as the largest bucket used
    double Mean() const;                // 0 without regions
};

// The bucket of a region of `size` squares (size >= 1) and its bounds.
int SizeBucket(std::int64_t size);
std::int64_t BucketFrom(int bucket);
std::int64_t BucketTo(int bucket);

struct ClassTotals {
    std::int64_t Squares = 0;
    RunTotals Horizontal;
    RunTotals Vertical;
    RegionTotals Regions;  // 4-connected squares of the class
};

struct MapStatistics {
    int Maps = 0;
    std::int64_t Squares = 0;
    std::map<SquareKey, SquareTotals> BySquare;
    std::map<std::uint8_t, ClassTotals> ByClass;

    // Adds every square of the grid; a run or region ends at the grid's edge.
    void Add(const SquareGrid& grid);
};

// The total-variation distance between the square frequencies of two sets
// of maps: half the sum over all squares of the difference of their shares,
// from 0 (the same frequencies) to 1 (no square in common). A side without
// squares has nothing in common with one that has them; two such are the same.
double SquareFrequencyDistance(const MapStatistics& a, const MapStatistics& b);

}  // namespace zorvane::analysis
