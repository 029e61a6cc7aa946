// Map statistics against plain references: runs counted from their first
// squares, regions found by relaxing labels until nothing changes, square
// counts tallied one by one, and distances worked by hand.

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "analysis/map_statistics.h"

using namespace zorvane;
using namespace zorvane::analysis;

namespace {

SquareGrid RandomGrid(std::mt19937& rng) {
    SquareGrid g;
    g.Width = std::uniform_int_distribution(1, 9)(rng);
    g.Height = std::uniform_int_distribution(1, 9)(rng);
    // Few attributes, so that regions grow and wind; few bitmaps, so that
    // squares repeat and one pair of bitmaps may come with two attributes.
    const int classes = std::uniform_int_distribution(1, 3)(rng);
    for (int i = 0; i < g.Width * g.Height; ++i)
        g.Squares.push_back(MapSquare{static_cast<std::uint16_t>(std::uniform_int_distribution(0, 4)(rng)),
                                std::uniform_int_distribution(0, 1)(rng) ? NoBitmap : std::uint16_t{7},
                                static_cast<std::uint8_t>(std::uniform_int_distribution(0, classes - 1)(rng) * 5)});
    return g;
}

// What a plain reading of one grid gives for one class.
struct Reference {
    std::int64_t squares = 0, horizontalRuns = 0, verticalRuns = 0;
    std::vector<std::int64_t> regionSizes;
};

std::map<std::uint8_t, Reference> ReferenceOf(const SquareGrid& g) {
    const auto atr = [&](int x, int y) { return g.Squares[static_cast<std::size_t>(y * g.Width + x)].Atr; };
    std::map<std::uint8_t, Reference> out;
    // A run begins where the square before it is of another class or missing.
    for (int y = 0; y < g.Height; ++y)
        for (int x = 0; x < g.Width; ++x) {
            Reference& r = out[atr(x, y)];
            ++r.squares;
            if (x == 0 || atr(x - 1, y) != atr(x, y)) ++r.horizontalRuns;
            if (y == 0 || atr(x, y - 1) != atr(x, y)) ++r.verticalRuns;
        }
    // Every square takes the smallest label among itself and its neighbours
    // of its class, until no label changes: then one label is one region.
    std::vector<int> label(g.Squares.size());
    for (std::size_t i = 0; i < label.size(); ++i) label[i] = static_cast<int>(i);
    for (bool changed = true; changed;) {
        changed = false;
        for (int y = 0; y < g.Height; ++y)
            for (int x = 0; x < g.Width; ++x)
                for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= g.Width || ny >= g.Height || atr(nx, ny) != atr(x, y)) continue;
                    int& mine = label[static_cast<std::size_t>(y * g.Width + x)];
                    const int theirs = label[static_cast<std::size_t>(ny * g.Width + nx)];
                    if (theirs < mine) {
                        mine = theirs;
                        changed = true;
                    }
                }
    }
    std::map<int, std::int64_t> sizes;
    for (int l : label) ++sizes[l];
    for (const auto& [l, size] : sizes) out[g.Squares[static_cast<std::size_t>(l)].Atr].regionSizes.push_back(size);
    return out;
}

int ReferenceBucket(std::int64_t size) {
    int bucket = 0;
    while ((std::int64_t{2} << bucket) <= size) ++bucket;
    return bucket;
}

void ExpectMatchesReference(const MapStatistics& s, const std::map<std::uint8_t, Reference>& ref) {
    ASSERT_EQ(s.ByClass.size(), ref.size());
    for (const auto& [atr, r] : ref) {
        SCOPED_TRACE(int{atr});
        const ClassTotals& c = s.ByClass.at(atr);
        EXPECT_EQ(c.Squares, r.squares);
        EXPECT_EQ(c.Horizontal.Runs, r.horizontalRuns);
        EXPECT_EQ(c.Vertical.Runs, r.verticalRuns);
        EXPECT_EQ(c.Horizontal.Squares, r.squares);
        EXPECT_DOUBLE_EQ(c.Horizontal.Mean(), static_cast<double>(r.squares) / r.horizontalRuns);
        EXPECT_DOUBLE_EQ(c.Vertical.Mean(), static_cast<double>(r.squares) / r.verticalRuns);
        EXPECT_EQ(c.Regions.Count, static_cast<std::int64_t>(r.regionSizes.size()));
        EXPECT_EQ(c.Regions.Squares, r.squares);
        std::vector<std::int64_t> buckets;
        for (std::int64_t size : r.regionSizes) {
            const auto b = static_cast<std::size_t>(ReferenceBucket(size));
            if (buckets.size() <= b) buckets.resize(b + 1, 0);
            ++buckets[b];
        }
        EXPECT_EQ(c.Regions.Buckets, buckets);
    }
}

}  // namespace

TEST(MapStatistics, RunsRegionsAndSquareCountsOfRandomGridsMatchAPlainReading) {
    std::mt19937 rng(20261208);
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE(round);
        const SquareGrid g = RandomGrid(rng);
        MapStatistics s;
        s.Add(g);
        EXPECT_EQ(s.Maps, 1);
        EXPECT_EQ(s.Squares, g.Width * g.Height);
        ExpectMatchesReference(s, ReferenceOf(g));
        // Squares by their bitmaps alone, named by the first attribute met.
        std::map<SquareKey, SquareTotals> counts;
        for (const MapSquare& q : g.Squares) {
            auto [it, added] = counts.try_emplace(SquareKey{q.Gnd, q.Top}, SquareTotals{0, q.Atr});
            ++it->second.Count;
        }
        ASSERT_EQ(s.BySquare.size(), counts.size());
        for (const auto& [key, totals] : counts) {
            EXPECT_EQ(s.BySquare.at(key).Count, totals.Count);
            EXPECT_EQ(s.BySquare.at(key).Attribute, totals.Attribute);
        }
    }
}

TEST(MapStatistics, MapsArePooledWithoutRunsOrRegionsCrossingFromOneToTheNext) {
    std::mt19937 rng(7);
    for (int round = 0; round < 100; ++round) {
        SCOPED_TRACE(round);
        const SquareGrid a = RandomGrid(rng), b = RandomGrid(rng);
        MapStatistics s;
        s.Add(a);
        s.Add(b);
        EXPECT_EQ(s.Maps, 2);
        std::map<std::uint8_t, Reference> ref = ReferenceOf(a);
        for (const auto& [atr, r] : ReferenceOf(b)) {
            Reference& sum = ref[atr];
            sum.squares += r.squares;
            sum.horizontalRuns += r.horizontalRuns;
            sum.verticalRuns += r.verticalRuns;
            sum.regionSizes.insert(sum.regionSizes.end(), r.regionSizes.begin(), r.regionSizes.end());
        }
        ExpectMatchesReference(s, ref);
    }
}

TEST(MapStatistics, ShapesWorkedByHand) {
    // 0 0 1 0
    // 1 0 1 0
    // 1 1 1 0   class 1 is one winding region of 6, class 0 two of 3.
    const std::uint8_t atrs[] = {0, 0, 1, 0, 1, 0, 1, 0, 1, 1, 1, 0};
    SquareGrid g{4, 3, {}};
    for (std::uint8_t a : atrs) g.Squares.push_back(MapSquare{1, NoBitmap, a});
    MapStatistics s;
    s.Add(g);
    const ClassTotals& one = s.ByClass.at(1);
    EXPECT_EQ(one.Regions.Count, 1);
    EXPECT_EQ(one.Regions.Buckets, (std::vector<std::int64_t>{0, 0, 1}));  // 6 is in 4-7
    EXPECT_DOUBLE_EQ(one.Horizontal.Mean(), 6.0 / 4.0);                    // 1 | 1 | 1 | 1 1 1
    EXPECT_DOUBLE_EQ(one.Vertical.Mean(), 6.0 / 3.0);                      // 1 1 | 1 | 1 1 1
    const ClassTotals& zero = s.ByClass.at(0);
    EXPECT_EQ(zero.Regions.Buckets, (std::vector<std::int64_t>{0, 2}));  // both in 2-3
    EXPECT_DOUBLE_EQ(zero.Regions.Mean(), 3.0);
    EXPECT_DOUBLE_EQ(zero.Horizontal.Mean(), 6.0 / 5.0);  // 0 0 | 0 | 0 | 0 | 0
    EXPECT_DOUBLE_EQ(zero.Vertical.Mean(), 6.0 / 3.0);    // 0 | 0 0 | 0 0 0
}

TEST(MapStatistics, SizeBucketsDoubleInWidth) {
    for (std::int64_t size = 1; size < 70000; ++size) {
        const int b = SizeBucket(size);
        ASSERT_EQ(b, ReferenceBucket(size)) << size;
        ASSERT_LE(BucketFrom(b), size);
        ASSERT_GE(BucketTo(b), size);
    }
    EXPECT_EQ(BucketFrom(0), 1);
    EXPECT_EQ(BucketTo(0), 1);
    EXPECT_EQ(BucketFrom(3), 8);
    EXPECT_EQ(BucketTo(3), 15);
}

TEST(MapStatistics, InnerSquaresLeaveOutTheBorder) {
    SquareGrid whole{7, 6, {}};
    for (int i = 0; i < 42; ++i) whole.Squares.push_back(MapSquare{static_cast<std::uint16_t>(i), NoBitmap, 0});
    const SquareGrid inner = InnerSquares(whole.Squares, 7, 6);
    ASSERT_EQ(inner.Width, 3);
    ASSERT_EQ(inner.Height, 2);
    std::vector<std::uint16_t> ids;
    for (const MapSquare& q : inner.Squares) ids.push_back(q.Gnd);
    EXPECT_EQ(ids, (std::vector<std::uint16_t>{16, 17, 18, 23, 24, 25}));
    // No square inside the border, or squares that do not fill the size.
    EXPECT_TRUE(InnerSquares(std::vector<MapSquare>(20), 5, 4).Squares.empty());
    EXPECT_TRUE(InnerSquares(std::vector<MapSquare>(20), 4, 5).Squares.empty());
    EXPECT_TRUE(InnerSquares(std::vector<MapSquare>(41), 7, 6).Squares.empty());
    EXPECT_EQ(InnerSquares(std::vector<MapSquare>(25), 5, 5).Squares.size(), 1u);
}

TEST(MapStatistics, SquareFrequencyDistanceWorkedByHand) {
    const auto stats = [](std::vector<std::uint16_t> grounds) {
        SquareGrid g{static_cast<int>(grounds.size()), 1, {}};
        for (std::uint16_t id : grounds) g.Squares.push_back(MapSquare{id, NoBitmap, 0});
        MapStatistics s;
        s.Add(g);
        return s;
    };
    // Shares a: 1 1/2, 2 1/2; b: 1 1/4, 3 3/4. Half of 1/4 + 1/2 + 3/4.
    const MapStatistics a = stats({1, 2, 1, 2}), b = stats({1, 3, 3, 3});
    EXPECT_DOUBLE_EQ(SquareFrequencyDistance(a, b), 0.75);
    EXPECT_DOUBLE_EQ(SquareFrequencyDistance(b, a), 0.75);
    // The same shares from maps of other sizes, in another order.
    EXPECT_DOUBLE_EQ(SquareFrequencyDistance(a, stats({2, 1})), 0.0);
    EXPECT_DOUBLE_EQ(SquareFrequencyDistance(a, stats({3, 4, 4})), 1.0);
    // Shares 0.6/0.4 against 0.5/0.5: one square is 0.1 short, the other 0.1 over.
    EXPECT_NEAR(SquareFrequencyDistance(stats({1, 1, 1, 2, 2}), a), 0.1, 1e-12);
    // The top bitmap makes another square.
    SquareGrid topped{2, 1, {MapSquare{1, NoBitmap, 0}, MapSquare{1, 5, 0}}};
    MapStatistics t;
    t.Add(topped);
    EXPECT_DOUBLE_EQ(SquareFrequencyDistance(t, stats({1, 1})), 0.5);
    const MapStatistics none;
    EXPECT_DOUBLE_EQ(SquareFrequencyDistance(none, a), 1.0);
    EXPECT_DOUBLE_EQ(SquareFrequencyDistance(none, none), 0.0);
}
