// How generation shapes the learned likelihoods: the powers on the joins,
// the running correction toward the learned shares and the tally of placed
// rows that feeds it; and the keys and sort of the weighted order against
// the plain library functions.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "generator/search/frequency_weights.h"
#include "row_preparation_fixtures.h"

using namespace zorvane;
using namespace zorvane::row_preparation_fixtures;

namespace {

// Squares 0, 1, 2 and the empty square 3, counted 6 : 3 : 1 with a few joins.
LearnedData CountedSquares() {
    LearnedData d;
    std::vector<LearnedSquare> squares(4);
    for (int i = 0; i < 4; ++i) squares[static_cast<std::size_t>(i)].Gnd = static_cast<std::uint16_t>(i);
    squares[3].Gnd = NoBitmap;
    d.SetSquares(squares);
    d.Counts.Squares = {6, 3, 1, 0};
    d.Counts.AddJoin(JoinDir::Down, 0, 0, 4);
    d.Counts.AddJoin(JoinDir::Down, 0, 1, 2);
    d.Counts.AddJoin(JoinDir::Down, 1, 2, 3);
    d.Counts.AddJoin(JoinDir::Right, 0, 1, 3);
    d.Counts.AddJoin(JoinDir::Right, 0, 2, 1);
    d.Counts.AddJoin(JoinDir::Right, 2, 2, 5);
    return d;
}

double Distance(const std::vector<double>& a, const std::vector<double>& b) {
    double d = 0;
    for (std::size_t i = 0; i < a.size(); ++i) d += std::abs(a[i] - b[i]);
    return d / 2;
}

}  // namespace

TEST(FrequencyShaping, PowersApplyToTheWholeLikelihoodAndToEachJoinsLift) {
    const LearnedData d = CountedSquares();
    const FrequencyWeights plain(d);
    const FrequencyShaping shaping{1.5, 1.3, 0.8, 0};
    const FrequencyWeights shaped(d, shaping);
    auto lift = [&](double conditional, std::int32_t s, double power) {
        return std::pow(conditional / plain.Square(s), power * shaping.Sharpness);
    };
    for (std::int32_t upA : {-1, 0, 1, 3})
        for (std::int32_t upB : {0, 1, 2})
            for (std::int32_t a = 0; a < 4; ++a)
                for (std::int32_t b = 0; b < 4; ++b) {
                    const double want = std::pow(plain.Square(a), 1.5) * lift(plain.Below(upA, a), a, 0.8) *
                                        std::pow(plain.Square(b), 1.5) * lift(plain.RightOf(a, b), b, 1.3) *
                                        lift(plain.Below(upB, b), b, 0.8);
                    EXPECT_NEAR(shaped.Pair(upA, upB, {a, b}) / want, 1.0, 1e-12) << upA << upB << a << b;
                    EXPECT_NEAR(shaped.ForColumns(upA, upB)({a, b}) / want, 1.0, 1e-12);
                }
    // The probabilities themselves stay plain, and the plain likelihood is
    // the product of the joins.
    EXPECT_DOUBLE_EQ(shaped.Below(0, 1), plain.Below(0, 1));
    EXPECT_DOUBLE_EQ(shaped.Square(2), plain.Square(2));
    EXPECT_NEAR(shaped.Single(1, 2, 2) /
                    (std::pow(plain.Square(2), 1.5) * lift(plain.Below(1, 2), 2, 0.8) * lift(plain.RightOf(2, 2), 2, 1.3)),
                1.0, 1e-12);
}

TEST(FrequencyShaping, TheRunningCorrectionPullsASkewedSequenceTowardTheLearnedShares) {
    const LearnedData d = CountedSquares();
    std::vector<double> target(3);
    for (std::int32_t s = 0; s < 3; ++s) target[static_cast<std::size_t>(s)] = FrequencyWeights(d).Square(s);
    const double norm = std::accumulate(target.begin(), target.end(), 0.0);
    for (double& t : target) t /= norm;

    // A sequence that starts with 3000 squares of the rarest kind, then
    // draws in proportion to the weights, correcting every 100 squares.
    auto run = [&](double feedback) {
        FrequencyWeights f(d, {1, 1, 1, feedback});
        std::vector<std::int64_t> placed{0, 0, 3000, 0};
        GeneratorRng rng(3);
        for (int step = 0; step < 60000; ++step) {
            if (step % 100 == 0) f.Correct(placed);
            double sum = 0;
            for (std::int32_t s = 0; s < 3; ++s) sum += f.Single(-1, -1, s);
            double r = UniformUnit(rng) * sum;
            std::int32_t s = 0;
            while (s < 2 && (r -= f.Single(-1, -1, s)) >= 0) ++s;
            ++placed[static_cast<std::size_t>(s)];
        }
        std::vector<double> share(3);
        const double total = static_cast<double>(placed[0] + placed[1] + placed[2]);
        for (std::size_t s = 0; s < 3; ++s) share[s] = static_cast<double>(placed[s]) / total;
        return std::pair{Distance(share, target), f};
    };
    const auto [uncorrected, plain] = run(0);
    const auto [corrected, f] = run(2);
    EXPECT_GT(uncorrected, 0.03);
    EXPECT_LT(corrected, uncorrected / 4);
    EXPECT_DOUBLE_EQ(plain.Correction(2), 1.0);

    // A square placed too often is held back, one missing brought forward,
    // never beyond the largest correction.
    FrequencyWeights g(d, {1, 1, 1, 2});
    g.Correct(std::vector<std::int64_t>{0, 5000, 5000, 0});
    EXPECT_GT(g.Correction(0), 1.0);
    EXPECT_LT(g.Correction(2), 1.0);
    EXPECT_GE(g.Correction(2), 1.0 / 8);
    EXPECT_DOUBLE_EQ(g.Single(-1, -1, 0), g.Square(0) * g.Correction(0));
    g.Correct(std::vector<std::int64_t>{0, 0, 0, 0});  // nothing placed: no correction
    for (std::int32_t s = 0; s < 4; ++s) EXPECT_NEAR(g.Correction(s), 1.0, 1e-12);
}

TEST(FrequencyShaping, PlacedSquaresAreTheRowsAboveWithRowsGoneBackOverTakenOut) {
    auto g = MakeGenerator(AllowAll());
    g->Counts.Squares.assign(10, 1);
    RowPreparer prep(*g, *g, Settings(14));
    ASSERT_TRUE(prep.FavoursFrequent());
    GeneratorRng rng(4);
    auto prepare = [&](int row, List above) {
        prep.BuildColumnCandidates(Above(10, std::move(above)), rng);
        prep.BuildColumnJoins(row, rng);
    };
    auto placed = [&](std::int32_t s) { return prep.Placed()[static_cast<std::size_t>(s)]; };
    prepare(3, {0, 0, 1, 1, 1, 1, 1, 1, 1, 1});  // the start row above row 3
    prepare(4, {2, 2, 2, 2, 2, 2, 2, 2, 2, 2});
    prepare(5, {3, 3, 3, 3, 3, 3, 3, 3, 3, 3});
    EXPECT_EQ(placed(0), 2);
    EXPECT_EQ(placed(2), 10);
    EXPECT_EQ(placed(3), 10);
    // Row 4 again (the run went back): row 3 is written anew, row 4 is gone.
    prepare(4, {4, 4, 4, 4, 4, 4, 4, 4, 4, 4});
    EXPECT_EQ(placed(2), 0);
    EXPECT_EQ(placed(3), 0);
    EXPECT_EQ(placed(4), 10);
    prepare(4, {5, 5, 5, 5, 5, 5, 5, 5, 5, -1});  // another attempt; the empty square never counts
    EXPECT_EQ(placed(4), 0);
    EXPECT_EQ(placed(5), 9);
    EXPECT_EQ(placed(9), 0);
    EXPECT_EQ(std::accumulate(prep.Placed().begin(), prep.Placed().end(), std::int64_t{0}), 19);
}

TEST(FrequencyShaping, KeysAreExponentialAndTheSortIsTheLibrarySort) {
    // The keys against the library logarithm over the whole range of bits.
    GeneratorRng rng(6);
    for (int i = 0; i < 20000; ++i) {
        const auto bits = static_cast<std::uint32_t>(i < 3 ? std::vector<std::uint32_t>{0, 1, 0xFFFFFFFFu}[i] : rng());
        const double u = (static_cast<double>(bits) + 0.5) * 0x1.0p-32;
        const double want = -std::log(u);
        ASSERT_NEAR(WeightedKey(1, bits), want, 1e-8 * std::max(1.0, want)) << bits;
        ASSERT_NEAR(WeightedKey(4, bits), want / 4, 1e-8 * std::max(1.0, want));
    }
    EXPECT_TRUE(std::isfinite(WeightedKey(0, 0)));  // the smallest weight

    // Lists short and long, with many equal keys, sort as std::sort does.
    std::vector<std::uint64_t> scratch;
    for (std::size_t n : {0, 1, 5, 63, 64, 200, 5000}) {
        std::vector<std::uint64_t> keys(n);
        for (std::size_t i = 0; i < n; ++i)
            keys[i] = (static_cast<std::uint64_t>(rng() % (i % 3 == 0 ? 4 : 1u << 31)) << 32) | i;
        std::vector<std::uint64_t> want = keys;
        std::sort(want.begin(), want.end());
        SortPackedKeys(keys, scratch);
        EXPECT_EQ(keys, want) << n;
    }
}
