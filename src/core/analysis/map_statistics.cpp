#include "analysis/map_statistics.h"

#include <bit>
#include <cmath>
#include <cstdlib>

namespace zorvane::analysis {

namespace {

std::size_t Index(const SquareGrid& g, int x, int y) { return static_cast<std::size_t>(y) * g.Width + x; }

// Counts the runs along one direction: `lines` lines of `length` squares,
// square i of line l at at(l, i).
template <typename At>
void CountRuns(MapStatistics& s, int lines, int length, At at, RunTotals ClassTotals::*runs) {
    for (int l = 0; l < lines; ++l)
        for (int i = 0; i < length;) {
            const std::uint8_t atr = at(l, i);
            int end = i + 1;
            while (end < length && at(l, end) == atr) ++end;
            RunTotals& r = s.ByClass[atr].*runs;
            ++r.Runs;
            r.Squares += end - i;
            i = end;
        }
}

void AddRegion(RegionTotals& r, std::int64_t size) {
    const auto bucket = static_cast<std::size_t>(SizeBucket(size));
    if (r.Buckets.size() <= bucket) r.Buckets.resize(bucket + 1, 0);
    ++r.Buckets[bucket];
    ++r.Count;
    r.Squares += size;
}

// Every 4-connected region of equal attributes, found by a flood from its
// first square in row order.
void CountRegions(MapStatistics& s, const SquareGrid& g) {
    std::vector<bool> seen(g.Squares.size(), false);
    std::vector<std::size_t> pending;
    for (std::size_t start = 0; start < g.Squares.size(); ++start) {
        if (seen[start]) continue;
        const std::uint8_t atr = g.Squares[start].Atr;
        std::int64_t size = 0;
        seen[start] = true;
        pending.push_back(start);
        while (!pending.empty()) {
            const std::size_t i = pending.back();
            pending.pop_back();
            ++size;
            const int x = static_cast<int>(i % static_cast<std::size_t>(g.Width));
            const int y = static_cast<int>(i / static_cast<std::size_t>(g.Width));
            const auto visit = [&](int nx, int ny) {
                if (nx < 0 || ny < 0 || nx >= g.Width || ny >= g.Height) return;
                const std::size_t n = Index(g, nx, ny);
                if (seen[n] || g.Squares[n].Atr != atr) return;
                seen[n] = true;
                pending.push_back(n);
            };
            visit(x - 1, y);
            visit(x + 1, y);
            visit(x, y - 1);
            visit(x, y + 1);
        }
        AddRegion(s.ByClass[atr].Regions, size);
    }
}

}  // namespace

SquareGrid InnerSquares(std::span<const MapSquare> squares, int width, int height) {
    SquareGrid inner;
    if (width <= 2 * BorderWidth || height <= 2 * BorderWidth ||
        squares.size() != static_cast<std::size_t>(width) * height)
        return inner;
    inner.Width = width - 2 * BorderWidth;
    inner.Height = height - 2 * BorderWidth;
    inner.Squares.reserve(static_cast<std::size_t>(inner.Width) * inner.Height);
    for (int y = BorderWidth; y < height - BorderWidth; ++y) {
        const auto row = squares.subspan(static_cast<std::size_t>(y) * width + BorderWidth,
                                         static_cast<std::size_t>(inner.Width));
        inner.Squares.insert(inner.Squares.end(), row.begin(), row.end());
    }
    return inner;
}

double RunTotals::Mean() const { return Runs == 0 ? 0.0 : static_cast<double>(Squares) / static_cast<double>(Runs); }

double RegionTotals::Mean() const {
    return Count == 0 ? 0.0 : static_cast<double>(Squares) / static_cast<double>(Count);
}

int SizeBucket(std::int64_t size) {
    return static_cast<int>(std::bit_width(static_cast<std::uint64_t>(size < 1 ? 1 : size))) - 1;
}

std::int64_t BucketFrom(int bucket) { return std::int64_t{1} << bucket; }

std::int64_t BucketTo(int bucket) { return (std::int64_t{1} << (bucket + 1)) - 1; }

void MapStatistics::Add(const SquareGrid& g) {
    ++Maps;
    if (g.Width <= 0 || g.Height <= 0 || g.Squares.size() != static_cast<std::size_t>(g.Width) * g.Height) return;
    Squares += static_cast<std::int64_t>(g.Squares.size());
    for (const MapSquare& q : g.Squares) {
        auto [it, added] = BySquare.try_emplace(SquareKey{q.Gnd, q.Top});
        if (added) it->second.Attribute = q.Atr;
        ++it->second.Count;
        ++ByClass[q.Atr].Squares;
    }
    CountRuns(
        *this, g.Height, g.Width, [&](int y, int x) { return g.Squares[Index(g, x, y)].Atr; },
        &ClassTotals::Horizontal);
    CountRuns(
        *this, g.Width, g.Height, [&](int x, int y) { return g.Squares[Index(g, x, y)].Atr; },
        &ClassTotals::Vertical);
    CountRegions(*this, g);
}

double SquareFrequencyDistance(const MapStatistics& a, const MapStatistics& b) {
    if (a.Squares == 0 || b.Squares == 0) return a.Squares == b.Squares ? 0.0 : 1.0;
    const double na = static_cast<double>(a.Squares), nb = static_cast<double>(b.Squares);
    double sum = 0.0;
    // Squares of a (whether or not b has them), then those only b has.
    for (const auto& [key, totals] : a.BySquare) {
        const auto other = b.BySquare.find(key);
        const double share = other == b.BySquare.end() ? 0.0 : static_cast<double>(other->second.Count) / nb;
        sum += std::abs(static_cast<double>(totals.Count) / na - share);
    }
    for (const auto& [key, totals] : b.BySquare)
        if (!a.BySquare.contains(key)) sum += static_cast<double>(totals.Count) / nb;
    return sum / 2.0;
}

}  // namespace zorvane::analysis
