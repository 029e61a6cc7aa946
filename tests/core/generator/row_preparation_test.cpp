#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <map>
#include <memory>

#include "generator/search/row_preparation.h"
#include "row_preparation_fixtures.h"
#include "learned_run.h"

using namespace zorvane;
using namespace zorvane::row_preparation_fixtures;

// --- Object size probabilities ------------------------------------------------

TEST(ObjectSizeProbabilities, FollowTheChartBetweenItsPoints) {
    ObjectSizeChart flat;
    flat.ResetPoints(4, 2);
    EXPECT_EQ(ObjectSizeProbabilities(flat, 4), (std::vector<double>{1, 1, 1, 1, 1}));
    EXPECT_FALSE(ObjectFilterInForce(ObjectSizeProbabilities(flat, 4)));

    ObjectSizeChart falling;
    falling.ResetPoints(4, 2);
    falling.SetStoredPoints({{0, 100}, {4, 0}});
    // Size 0 takes the first point's value; sizes 1..3 lie on the line.
    EXPECT_EQ(ObjectSizeProbabilities(falling, 4), (std::vector<double>{1, 0.75, 0.5, 0.25, 0}));

    ObjectSizeChart bent;
    bent.ResetPoints(4, 2);
    bent.SetStoredPoints({{0, 100}, {2, 20}, {4, 60}});
    const auto p = ObjectSizeProbabilities(bent, 4);
    ASSERT_EQ(p.size(), 5u);
    EXPECT_DOUBLE_EQ(p[0], 1.0);
    EXPECT_DOUBLE_EQ(p[1], 0.6);
    EXPECT_DOUBLE_EQ(p[2], 0.2);  // on a point: that point's value
    EXPECT_DOUBLE_EQ(p[3], 0.4);
    EXPECT_DOUBLE_EQ(p[4], 0.6);
    EXPECT_TRUE(ObjectFilterInForce(p));
}

TEST(ObjectSizeProbabilities, OnlySizesBelowTheLargestPutTheFilterInForce) {
    EXPECT_FALSE(ObjectFilterInForce({1, 1, 0}));
    EXPECT_TRUE(ObjectFilterInForce({1, 0.99, 1}));
    EXPECT_FALSE(ObjectFilterInForce({0.5}));  // no objects at all: nothing below N = 0
    ObjectSizeChart chart;
    chart.ResetPoints(0, 2);
    chart.SetStoredPoints({{0, 100}, {0, 30}});
    EXPECT_EQ(ObjectSizeProbabilities(chart, 0), (std::vector<double>{0.3}));
}

namespace {

// P[s] by a plain scan: the first point beyond s (the last one when none
// is), the line from the point before it, per size.
std::vector<double> PlainProbabilities(const ObjectSizeChart& chart, int largest) {
    const int n = std::max(largest, 0), count = chart.GetPointsCount();
    std::vector<double> p(static_cast<std::size_t>(n) + 1, 1.0);
    if (count == 0) return p;
    const double scale = chart.Scale() > 0 ? chart.Scale() : (n < 1 ? 1000.0 : 200.0 / n);
    for (int s = 0; s < n; ++s) {
        int w = count - 1;
        for (int i = count - 1; i >= 0; --i)
            if (s < chart.GetPointData(i).first) w = i;
        const auto [x0, y0] = chart.GetPointData(std::max(w - 1, 0));
        const auto [x1, y1] = chart.GetPointData(w);
        const auto u = static_cast<std::int64_t>(std::nearbyint(static_cast<double>(std::int64_t{x1} - x0) * scale));
        if (w > 0 && u > 0 && s > 0)
            p[static_cast<std::size_t>(s)] = (static_cast<double>(std::int64_t{s} - x0) *
                                                  (static_cast<double>(std::int64_t{y1} - y0) / static_cast<double>(u)) *
                                                  scale + y0) / 100.0;
        else
            p[static_cast<std::size_t>(s)] = y0 / 100.0;
    }
    p[static_cast<std::size_t>(n)] = chart.GetPointData(count - 1).second / 100.0;
    return p;
}

}  // namespace

TEST(ObjectSizeProbabilities, EqualThePlainScanOnRandomCharts) {
    // Charts as a data file may hold them: points in any order, off the
    // range, the range apart from the largest object.
    std::mt19937 rng(12);
    auto draw = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 400; ++round) {
        const int n = draw(-2, 260), largest = draw(0, 260);
        std::vector<std::pair<int, int>> points(static_cast<std::size_t>(draw(1, 30)));
        const bool ordered = round % 2 == 0;
        for (auto& [x, y] : points) {
            x = draw(-5, std::max(n, 0) + 5);
            y = draw(0, 100);
        }
        if (ordered) std::sort(points.begin(), points.end());
        ObjectSizeChart chart;
        chart.ResetPoints(n, 2);
        chart.SetStoredPoints(points);
        const auto expected = PlainProbabilities(chart, largest);
        const auto p = ObjectSizeProbabilities(chart, largest);
        ASSERT_EQ(p.size(), expected.size()) << round;
        for (std::size_t s = 0; s < p.size(); ++s) ASSERT_DOUBLE_EQ(p[s], expected[s]) << round << " size " << s;
    }
}

TEST(ObjectSizeProbabilities, AChartOfManyPointsOverManySizesTakesOnePass) {
    // 300,000 points over 100,000 sizes: a scan of the points per size
    // takes minutes.
    std::vector<std::pair<int, int>> points;
    for (int i = 0; i < 300000; ++i) points.emplace_back(i / 3, i % 101);
    ObjectSizeChart chart;
    chart.ResetPoints(100000, 2);
    chart.SetStoredPoints(points);
    const auto start = std::chrono::steady_clock::now();
    const auto p = ObjectSizeProbabilities(chart, 100000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    ASSERT_EQ(p.size(), 100001u);
    EXPECT_DOUBLE_EQ(p[100000], (299999 % 101) / 100.0);
}

// --- Column candidates --------------------------------------------------------

TEST(ColumnCandidates, CopyTheDownListOfTheSquareAboveOrOfTheEmptySquare) {
    Learned l;
    l.down = {{0, 0, 1}, {2}, {0, 2}, {0, 0, 1, 2, 2}};
    l.right = {{0}, {0}, {0}, {0}};
    auto g = MakeGenerator(l);
    RowPreparer prep(*g, *g, Settings(14));
    GeneratorRng rng(1);
    prep.BuildColumnCandidates(Above(10, {0, 1, -1, 2, 7}), rng);
    EXPECT_EQ(g->ColumnCandidates[0], (List{0, 0, 1}));
    EXPECT_EQ(g->ColumnCandidates[1], (List{2}));
    EXPECT_EQ(g->ColumnCandidates[2], (List{0, 0, 1, 2, 2}));  // not learned: the empty square
    EXPECT_EQ(g->ColumnCandidates[3], (List{0, 2}));
    EXPECT_EQ(g->ColumnCandidates[4], (List{0, 0, 1, 2, 2}));  // no such square: the empty square

    RowSettings twins = Settings(14);
    twins.TwinsDisallowed = true;
    RowPreparer noTwins(*g, *g, twins);
    noTwins.BuildColumnCandidates(Above(10, {0, 1, -1, 2}), rng);
    EXPECT_EQ(g->ColumnCandidates[0], (List{1}));
    EXPECT_EQ(g->ColumnCandidates[3], (List{0}));
}

TEST(ColumnCandidates, RefuseARowOfAnotherWidth) {
    auto g = MakeGenerator(AllowAll());
    RowPreparer prep(*g, *g, Settings(14));
    GeneratorRng rng(1);
    EXPECT_THROW(prep.BuildColumnCandidates(List(11, -1), rng), Error);
    EXPECT_THROW(RowPreparer(*g, *g, Settings(13)), Error);
    EXPECT_THROW(RowPreparer(*g, *g, Settings(207)), Error);
    LearnedRun unlearned;
    EXPECT_THROW(RowPreparer(unlearned, unlearned, Settings(14)), Error);
}

namespace {

// G (0) grass; O (1) starts a two-square object with P (2); X (3) and Y (4)
// have one-valued Down lists; Q (5) may only be followed by O. 6 is empty.
// P = {0.5, 1, 0, 1}: objects of two squares never stay where they may go.
Learned ObjectWorld() {
    Learned l;
    l.down = {{0, 1}, {0}, {0}, {1, 1}, {2}, {1}, {0, 1}};
    l.right = {{0, 1}, {2}, {0}, {0}, {0}, {1}, {0, 1, 2}};
    l.objSize = {1, 2, 2, 1, 1, 1, 0};
    l.starts = {0, 1, 3, 4, 5};
    return l;
}

// Q's Down list: a column below Q holds {O}.
constexpr std::int32_t G = 0, O = 1, X = 3, Y = 4;

}  // namespace

TEST(ObjectFilter, ThinsObjectStartsOnlyWhereTheRowCanDoWithoutThem) {
    Learned l = ObjectWorld();
    l.down[5] = {5};  // a square below which Q stands: Q only wants O to its right
    auto g = MakeGenerator(l);
    RowPreparer prep(*g, *g, Settings(14, {0.5, 1, 0, 1}));
    ASSERT_TRUE(prep.FilterInForce());
    GeneratorRng rng(3);
    // Columns: G above gives {G, O}; X gives {O, O}; Y gives {P}; the 5 above
    // column 7 gives {Q}.
    prep.BuildColumnCandidates(Above(10, {G, G, X, G, G, Y, G, 5, G, G}), rng);
    EXPECT_EQ(g->ColumnCandidates[0], (List{G})) << "first column: no left neighbour to ask";
    EXPECT_EQ(g->ColumnCandidates[1], (List{G}));
    EXPECT_EQ(g->ColumnCandidates[2], (List{O, O})) << "a column of O alone keeps it";
    EXPECT_EQ(g->ColumnCandidates[4], (List{G, O})) << "only O reaches the P to its right";
    EXPECT_EQ(g->ColumnCandidates[7], (List{5}));
    EXPECT_EQ(g->ColumnCandidates[8], (List{G, O})) << "Q to the left wants O";
    EXPECT_EQ(g->ColumnCandidates[9], (List{G})) << "last column: no right neighbour to ask";
}

// The start row's list: only object starts are thinned (P, the second
// square of O's object, is none), and never the list's last square.
TEST(ObjectFilter, OnAListThinsObjectStartsAndNeverTheLastSquare) {
    auto g = MakeGenerator(ObjectWorld());
    RowPreparer prep(*g, *g, Settings(14, {0.5, 1, 0, 1}));
    GeneratorRng rng(5);
    List cands{O, G, 2, O, G};
    prep.FilterByObjectSize(cands, rng);
    EXPECT_EQ(cands, (List{G, 2, G}));
    cands = {O, O};
    prep.FilterByObjectSize(cands, rng);
    EXPECT_EQ(cands, (List{O, O}));
    RowPreparer off(*g, *g, Settings(14, {1, 1, 0}));  // only the largest size below 1: off
    cands = {O, G};
    off.FilterByObjectSize(cands, rng);
    EXPECT_EQ(cands, (List{O, G}));
}

// --- Column joins -----------------------------------------------------------------

TEST(ColumnJoins, PairEveryCopyOfEveryCompatibleCandidate) {
    Learned l;  // A 0, B 1, C 2; 3 above column 0, 4 above column 1, 5 empty
    l.down = {{}, {}, {}, {0, 0, 1}, {1, 2, 2}, {}};
    l.right = {{1, 2, 1, 0}, {2}, {}, {}, {}, {}};
    auto g = MakeGenerator(l);
    RowPreparer prep(*g, *g, Settings(14));
    GeneratorRng rng(1);
    prep.BuildColumnCandidates(Above(10, {3, 4}), rng);
    prep.BuildJoinLists();
    EXPECT_EQ(g->ColumnPairJoins[0],
              Pairs({{0, 1}, {0, 2}, {0, 2}, {0, 1}, {0, 1}, {0, 2}, {0, 2}, {0, 1}, {1, 2}, {1, 2}}));
    EXPECT_EQ(g->EliminatedJoins[0], Flags(10, 0));
    EXPECT_TRUE(g->ColumnPairJoins[1].empty());

    // Column 1 also holding A: (A, A) only while twins are allowed.
    g = MakeGenerator([&] { Learned t = l; t.down[4] = {0}; return t; }());
    RowPreparer twins(*g, *g, Settings(14));
    twins.BuildColumnCandidates(Above(10, {3, 4}), rng);
    twins.BuildJoinLists();
    EXPECT_EQ(g->ColumnPairJoins[0], Pairs({{0, 0}, {0, 0}}));
    RowSettings s = Settings(14);
    s.TwinsDisallowed = true;
    RowPreparer noTwins(*g, *g, s);
    noTwins.BuildColumnCandidates(Above(10, {3, 4}), rng);
    noTwins.BuildJoinLists();
    EXPECT_TRUE(g->ColumnPairJoins[0].empty());
}

TEST(ColumnJoins, AColumnPairHoldsAtMostTheCapacity) {
    Learned l;  // A 0 may be followed by B 1 256 times; 2 and 3 give the columns
    l.down = {{}, {}, List(256, 0), {1}, {}};
    l.right = {List(256, 1), {}, {}, {}, {}};
    auto g = MakeGenerator(l);
    RowPreparer prep(*g, *g, Settings(14));
    GeneratorRng rng(1);
    prep.BuildColumnCandidates(Above(10, {2, 3}), rng);
    prep.BuildJoinLists();
    EXPECT_EQ(g->ColumnPairJoinCount(0), MaxListEntries);
    l.down[3] = {1, 1};
    g = MakeGenerator(l);
    RowPreparer over(*g, *g, Settings(14));
    over.BuildColumnCandidates(Above(10, {2, 3}), rng);
    EXPECT_THROW(over.BuildJoinLists(), ListFullError);
}

// --- Elimination -------------------------------------------------------------------

namespace {

// Nine column pairs of live (1, 1) chains, with dead ends: (2, 3) in pair 0
// and (1, 2) in pair 4 lead nowhere; (5, 1) in pair 5 and (4, 1) in pair 8
// come from nowhere.
std::vector<std::vector<SquarePair>> DeadEnds() {
    std::vector<std::vector<SquarePair>> j(9, Pairs({{1, 1}}));
    j[0] = Pairs({{1, 1}, {2, 3}});
    j[4] = Pairs({{1, 2}, {1, 1}});
    j[5] = Pairs({{5, 1}, {1, 1}});
    j[8] = Pairs({{1, 1}, {4, 1}});
    return j;
}

}  // namespace

TEST(Elimination, RemovesPairsWithoutContinuationBackwardsAndForwards) {
    auto g = MakeGenerator(AllowAll());
    RowPreparer prep(*g, *g, Settings(14));
    SetJoins(*g, DeadEnds());
    prep.Eliminate();
    EXPECT_EQ(g->EliminatedJoins[0], (Flags{0, 1}));
    EXPECT_EQ(g->EliminatedJoins[4], (Flags{1, 0}));
    EXPECT_EQ(g->EliminatedJoins[5], (Flags{1, 0}));
    EXPECT_EQ(g->EliminatedJoins[8], (Flags{0, 1}));
    EXPECT_EQ(prep.SmallestPairCount(), 1);
    EXPECT_EQ(g->Run.FailingColumn, -1);
    prep.RemoveEliminated();
    EXPECT_EQ(g->ColumnPairJoins[4], Pairs({{1, 1}}));
    EXPECT_EQ(g->EliminatedJoins[4], (Flags{0}));
}

TEST(Elimination, ADeadColumnPairKillsTheRowAndTheFirstEmptyPairFails) {
    auto g = MakeGenerator(AllowAll());
    RowPreparer prep(*g, *g, Settings(14));
    auto joins = DeadEnds();
    joins[6] = Pairs({{1, 2}});  // nothing in pair 7 starts with 2
    SetJoins(*g, joins);
    GeneratorRng rng(1);
    prep.Eliminate();
    prep.RemoveEliminated();
    for (int c = 0; c < 9; ++c) EXPECT_EQ(prep.PairCount(c), 0) << c;
    EXPECT_EQ(prep.SmallestPairCount(), 0);
    EXPECT_EQ(g->Run.FailingColumn, 0);
    g->Run.FailingColumn = 5;
    prep.SmallestPairCount();
    EXPECT_EQ(g->Run.FailingColumn, 5) << "a known failing column stays";
}

TEST(Elimination, SimplifiedFirstLineNamesTheFailingColumnAndEmptiesTheRow) {
    auto g = MakeGenerator(AllowAll());
    RowSettings s = Settings(14);
    s.Simplified = true;
    s.StartRow = 2;
    RowPreparer prep(*g, *g, s);
    auto joins = DeadEnds();
    joins[6] = Pairs({{1, 2}});
    SetJoins(*g, joins);
    prep.Eliminate();
    EXPECT_EQ(g->Run.FailingColumn, 6);
    for (int c = 0; c < 9; ++c) EXPECT_EQ(g->ColumnPairJoinCount(c), 0) << c;
    EXPECT_EQ(prep.SmallestPairCount(), 0);

    // With a failing column known the rule is off: everything dies but the
    // lists keep their pairs, marked.
    SetJoins(*g, joins);
    g->Run.FailingColumn = 3;
    prep.Eliminate();
    EXPECT_EQ(g->ColumnPairJoinCount(6), 1);
    EXPECT_EQ(g->EliminatedJoins[6], (Flags{1}));
    EXPECT_EQ(prep.PairCount(0), 0);
}

TEST(Elimination, SkippedForTheRowBelowASimplifiedStartRow) {
    // Column 1 holds {0, 1}, but nothing may follow 1: pair 0's (0, 1) is a dead end.
    Learned l;
    l.down = {{}, {}, {0}, {0, 1}, {0}, {}};
    l.right = {{0, 1}, {}, {}, {}, {}, {0}};
    auto g = MakeGenerator(l);
    RowSettings s = Settings(14);
    s.Simplified = true;
    s.StartRow = 5;
    RowPreparer prep(*g, *g, s);
    GeneratorRng rng(1);
    const List above = Above(10, {2, 3, 4, 4, 4, 4, 4, 4, 4, 4});
    prep.BuildColumnCandidates(above, rng);
    prep.BuildColumnJoins(6, rng);
    EXPECT_EQ(g->ColumnPairJoinCount(0), 2) << "(0, 1) stays although 1 leads nowhere";
    prep.BuildColumnCandidates(above, rng);
    prep.BuildColumnJoins(7, rng);
    EXPECT_EQ(g->ColumnPairJoins[0], Pairs({{0, 0}}));
    EXPECT_EQ(g->Run.FailingColumn, -1);
}

TEST(ColumnJoins, AreShuffledAndWithAPreferenceOrderedByWeight) {
    Learned l = AllowAll(6);  // squares 0..4, 5 empty; 0 and 1 are connector squares
    l.objSize = {0, 0, 1, 1, 1, 0};
    auto g = MakeGenerator(l);
    RowSettings s = Settings(14);
    s.Choice = {1.0, true};
    RowPreparer prep(*g, *g, s);
    GeneratorRng rng(11);
    prep.BuildColumnCandidates(List(10, -1), rng);
    prep.BuildColumnJoins(3, rng);
    for (int c = 0; c < 9; ++c) {
        const auto& pairs = g->ColumnPairJoins[static_cast<std::size_t>(c)];
        ASSERT_EQ(pairs.size(), 25u);
        for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(prep.PairWeight(pairs[i]), 1) << "connector pairs first";
        for (std::size_t i = 4; i < pairs.size(); ++i) EXPECT_EQ(prep.PairWeight(pairs[i]), 0);
    }
    s.Choice = {0.5, true};
    RowPreparer neutral(*g, *g, s);
    neutral.BuildColumnCandidates(List(10, -1), rng);
    neutral.BuildColumnJoins(3, rng);
    auto sorted = g->ColumnPairJoins[0];
    std::sort(sorted.begin(), sorted.end(),
              [](SquarePair a, SquarePair b) { return std::pair(a.Left, a.Right) < std::pair(b.Left, b.Right); });
    EXPECT_NE(sorted, g->ColumnPairJoins[0]) << "shuffled";
    neutral.BuildJoinLists();
    auto built = g->ColumnPairJoins[0];
    std::sort(built.begin(), built.end(),
              [](SquarePair a, SquarePair b) { return std::pair(a.Left, a.Right) < std::pair(b.Left, b.Right); });
    EXPECT_EQ(sorted, built) << "the same pairs";
}
