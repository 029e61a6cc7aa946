#pragma once
// An easy set of learned squares for the benchmarks of generation: sixteen
// squares named by the terrain (0 or 1) at their four corners, where a
// square may stand right of (below) another when they agree on the corners
// of the edge they share. Every row can be completed. Optionally with
// occurrence counts taken from an example of blobs of terrain.

#include <cstdint>
#include <random>
#include <vector>

#include "generator/generator.h"
#include "generator/settings.h"

namespace zorvane::bench {

// Bits of a corner square: top left, top right, bottom left, bottom right.
inline int CornerOf(int square, int bit) { return (square >> bit) & 1; }

inline void UseCornerSquares(MapGenerator& gen, GeneratorSettings& settings) {
    std::vector<LearnedSquare> squares(17);
    for (int a = 0; a < 16; ++a) {
        LearnedSquare& q = squares[static_cast<std::size_t>(a)];
        q.Gnd = static_cast<std::uint16_t>(a);
        for (int b = 0; b < 16; ++b) {
            if (CornerOf(b, 0) == CornerOf(a, 1) && CornerOf(b, 2) == CornerOf(a, 3)) q.Right.push_back(b);
            if (CornerOf(b, 0) == CornerOf(a, 2) && CornerOf(b, 1) == CornerOf(a, 3)) q.Down.push_back(b);
        }
    }
    LearnedSquare& empty = squares.back();
    empty.Gnd = NoBitmap;
    for (int b = 0; b < 16; ++b) {
        empty.Right.push_back(b);
        empty.Down.push_back(b);
    }
    gen.SetSquares(std::move(squares));
    gen.ObjSize.assign(17, 1);
    gen.ObjSize.back() = 0;
    gen.ObjStarts.clear();
    gen.LargestObject = 1;
    gen.TallestObject = 1;
    settings.ObjectChart.ResetPoints(1, 2);
}

// Occurrence counts of the corner squares in an example of `size` x `size`
// squares: terrain corners of smoothed random noise, so that open runs of
// each terrain and their edges occur as in a drawn map.
inline OccurrenceCounts CornerExampleCounts(int size, std::uint32_t seed) {
    const int n = size + 1;
    std::mt19937 rng(seed);
    std::vector<double> noise(static_cast<std::size_t>(n) * n);
    for (double& v : noise) v = static_cast<double>(rng() % 1000) / 1000.0;
    auto at = [&](const std::vector<double>& f, int x, int y) {
        x = x < 0 ? 0 : x >= n ? n - 1 : x;
        y = y < 0 ? 0 : y >= n ? n - 1 : y;
        return f[static_cast<std::size_t>(y) * n + x];
    };
    for (int pass = 0; pass < 4; ++pass) {  // box blur: blobs a few squares wide
        std::vector<double> smooth(noise.size());
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                double sum = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) sum += at(noise, x + dx, y + dy);
                smooth[static_cast<std::size_t>(y) * n + x] = sum / 9;
            }
        noise.swap(smooth);
    }
    auto corner = [&](int x, int y) { return at(noise, x, y) > 0.5 ? 1 : 0; };
    auto square = [&](int x, int y) {
        return corner(x, y) | corner(x + 1, y) << 1 | corner(x, y + 1) << 2 | corner(x + 1, y + 1) << 3;
    };
    OccurrenceCounts counts;
    counts.Squares.assign(17, 0);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int s = square(x, y);
            counts.AddSquare(s, 1);
            if (x + 1 < size) counts.AddJoin(JoinDir::Right, s, square(x + 1, y), 1);
            if (y + 1 < size) counts.AddJoin(JoinDir::Down, s, square(x, y + 1), 1);
        }
    return counts;
}

}  // namespace zorvane::bench
