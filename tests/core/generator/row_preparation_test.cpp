#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

#include "row_preparation.h"

using namespace zorvane;

namespace {

using List = std::vector<std::int32_t>;

// Learned data made by hand: square i has ground i; the last square given
// is the empty square (no bitmaps).
struct Learned {
    std::vector<List> down, right;
    List objSize;  // empty: every square its own object of size 1
    List starts;
};

std::unique_ptr<TMapGenerator> MakeGenerator(const Learned& l) {
    auto g = std::make_unique<TMapGenerator>();
    std::vector<TSqMatch> squares(l.down.size());
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

RowSettings Settings(int width, std::vector<double> p = {1.0}) {
    RowSettings s;
    s.MapWidth = width;
    s.P = std::move(p);
    return s;
}

// Every column takes its candidates from `above`, padded with -1 (the empty
// square) to the row's width.
List Above(int columns, List first) {
    first.resize(static_cast<std::size_t>(columns), -1);
    return first;
}

std::vector<SqPair> Pairs(std::initializer_list<std::pair<int, int>> list) {
    std::vector<SqPair> out;
    for (auto [a, b] : list) out.push_back({a, b});
    return out;
}

// Sets the column joins directly (10 columns, 9 column pairs).
void SetJoins(TMapGenerator& g, const std::vector<std::vector<SqPair>>& joins) {
    g.PrepareRowBuffers(static_cast<int>(joins.size()) + 1);
    for (std::size_t c = 0; c < joins.size(); ++c) {
        g.ColJoins[c] = joins[c];
        g.ColJoinOff[c].assign(joins[c].size(), 0);
    }
}

// Ten squares whose joins are all allowed; the last is the empty square.
Learned AllowAll(int n = 10) {
    Learned l;
    List all;
    for (int i = 0; i < n - 1; ++i) all.push_back(i);
    l.down.assign(static_cast<std::size_t>(n), all);
    l.right.assign(static_cast<std::size_t>(n), all);
    return l;
}

using Flags = std::vector<std::uint8_t>;

}  // namespace

// --- Object size probabilities ------------------------------------------------

TEST(ObjectSizeProbabilities, FollowTheChartBetweenItsPoints) {
    TEqChart flat;
    flat.ResetPoints(4, 2);
    EXPECT_EQ(ObjectSizeProbabilities(flat, 4), (std::vector<double>{1, 1, 1, 1, 1}));
    EXPECT_FALSE(ObjectFilterInForce(ObjectSizeProbabilities(flat, 4)));

    TEqChart falling;
    falling.ResetPoints(4, 2);
    falling.SetStoredPoints({{0, 100}, {4, 0}});
    // Size 0 takes the first point's value; sizes 1..3 lie on the line.
    EXPECT_EQ(ObjectSizeProbabilities(falling, 4), (std::vector<double>{1, 0.75, 0.5, 0.25, 0}));

    TEqChart bent;
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
    TEqChart chart;
    chart.ResetPoints(0, 2);
    chart.SetStoredPoints({{0, 100}, {0, 30}});
    EXPECT_EQ(ObjectSizeProbabilities(chart, 0), (std::vector<double>{0.3}));
}

// --- Column candidates --------------------------------------------------------

TEST(ColumnCandidates, CopyTheDownListOfTheSquareAboveOrOfTheEmptySquare) {
    Learned l;
    l.down = {{0, 0, 1}, {2}, {0, 2}, {0, 0, 1, 2, 2}};
    l.right = {{0}, {0}, {0}, {0}};
    auto g = MakeGenerator(l);
    RowPreparer prep(*g, Settings(14));
    GeneratorRng rng(1);
    prep.BuildColumnCandidates(Above(10, {0, 1, -1, 2, 7}), rng);
    EXPECT_EQ(g->ColCands[0], (List{0, 0, 1}));
    EXPECT_EQ(g->ColCands[1], (List{2}));
    EXPECT_EQ(g->ColCands[2], (List{0, 0, 1, 2, 2}));  // not learned: the empty square
    EXPECT_EQ(g->ColCands[3], (List{0, 2}));
    EXPECT_EQ(g->ColCands[4], (List{0, 0, 1, 2, 2}));  // no such square: the empty square

    RowSettings twins = Settings(14);
    twins.TwinsDisallowed = true;
    RowPreparer noTwins(*g, twins);
    noTwins.BuildColumnCandidates(Above(10, {0, 1, -1, 2}), rng);
    EXPECT_EQ(g->ColCands[0], (List{1}));
    EXPECT_EQ(g->ColCands[3], (List{0}));
}

TEST(ColumnCandidates, RefuseARowOfAnotherWidth) {
    auto g = MakeGenerator(AllowAll());
    RowPreparer prep(*g, Settings(14));
    GeneratorRng rng(1);
    EXPECT_THROW(prep.BuildColumnCandidates(List(11, -1), rng), Error);
    EXPECT_THROW(RowPreparer(*g, Settings(13)), Error);
    EXPECT_THROW(RowPreparer(*g, Settings(207)), Error);
    TMapGenerator unlearned;
    EXPECT_THROW(RowPreparer(unlearned, Settings(14)), Error);
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
    RowPreparer prep(*g, Settings(14, {0.5, 1, 0, 1}));
    ASSERT_TRUE(prep.FilterInForce());
    GeneratorRng rng(3);
    // Columns: G above gives {G, O}; X gives {O, O}; Y gives {P}; the 5 above
    // column 7 gives {Q}.
    prep.BuildColumnCandidates(Above(10, {G, G, X, G, G, Y, G, 5, G, G}), rng);
    EXPECT_EQ(g->ColCands[0], (List{G})) << "first column: no left neighbour to ask";
    EXPECT_EQ(g->ColCands[1], (List{G}));
    EXPECT_EQ(g->ColCands[2], (List{O, O})) << "a column of O alone keeps it";
    EXPECT_EQ(g->ColCands[4], (List{G, O})) << "only O reaches the P to its right";
    EXPECT_EQ(g->ColCands[7], (List{5}));
    EXPECT_EQ(g->ColCands[8], (List{G, O})) << "Q to the left wants O";
    EXPECT_EQ(g->ColCands[9], (List{G})) << "last column: no right neighbour to ask";
}

TEST(ObjectFilter, OnAListRemovesBySizeAlone) {
    auto g = MakeGenerator(ObjectWorld());
    RowPreparer prep(*g, Settings(14, {0.5, 1, 0, 1}));
    GeneratorRng rng(5);
    List cands{O, G, 2, O, G};
    prep.FilterByObjectSize(cands, rng);
    EXPECT_EQ(cands, (List{G, G}));
    RowPreparer off(*g, Settings(14, {1, 1, 0}));  // only the largest size below 1: off
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
    RowPreparer prep(*g, Settings(14));
    GeneratorRng rng(1);
    prep.BuildColumnCandidates(Above(10, {3, 4}), rng);
    prep.BuildJoinLists();
    EXPECT_EQ(g->ColJoins[0], Pairs({{0, 1}, {0, 2}, {0, 2}, {0, 1}, {0, 1}, {0, 2}, {0, 2}, {0, 1}, {1, 2}, {1, 2}}));
    EXPECT_EQ(g->ColJoinOff[0], Flags(10, 0));
    EXPECT_TRUE(g->ColJoins[1].empty());

    // Column 1 also holding A: (A, A) only while twins are allowed.
    g = MakeGenerator([&] { Learned t = l; t.down[4] = {0}; return t; }());
    RowPreparer twins(*g, Settings(14));
    twins.BuildColumnCandidates(Above(10, {3, 4}), rng);
    twins.BuildJoinLists();
    EXPECT_EQ(g->ColJoins[0], Pairs({{0, 0}, {0, 0}}));
    RowSettings s = Settings(14);
    s.TwinsDisallowed = true;
    RowPreparer noTwins(*g, s);
    noTwins.BuildColumnCandidates(Above(10, {3, 4}), rng);
    noTwins.BuildJoinLists();
    EXPECT_TRUE(g->ColJoins[0].empty());
}

TEST(ColumnJoins, AColumnPairHoldsAtMostTheCapacity) {
    Learned l;  // A 0 may be followed by B 1 256 times; 2 and 3 give the columns
    l.down = {{}, {}, List(256, 0), {1}, {}};
    l.right = {List(256, 1), {}, {}, {}, {}};
    auto g = MakeGenerator(l);
    RowPreparer prep(*g, Settings(14));
    GeneratorRng rng(1);
    prep.BuildColumnCandidates(Above(10, {2, 3}), rng);
    prep.BuildJoinLists();
    EXPECT_EQ(g->ColJoinCount(0), MaxListEntries);
    l.down[3] = {1, 1};
    g = MakeGenerator(l);
    RowPreparer over(*g, Settings(14));
    over.BuildColumnCandidates(Above(10, {2, 3}), rng);
    EXPECT_THROW(over.BuildJoinLists(), ListFullError);
}

// --- Elimination -------------------------------------------------------------------

namespace {

// Nine column pairs of live (1, 1) chains, with dead ends: (2, 3) in pair 0
// and (1, 2) in pair 4 lead nowhere; (5, 1) in pair 5 and (4, 1) in pair 8
// come from nowhere.
std::vector<std::vector<SqPair>> DeadEnds() {
    std::vector<std::vector<SqPair>> j(9, Pairs({{1, 1}}));
    j[0] = Pairs({{1, 1}, {2, 3}});
    j[4] = Pairs({{1, 2}, {1, 1}});
    j[5] = Pairs({{5, 1}, {1, 1}});
    j[8] = Pairs({{1, 1}, {4, 1}});
    return j;
}

}  // namespace

TEST(Elimination, RemovesPairsWithoutContinuationBackwardsAndForwards) {
    auto g = MakeGenerator(AllowAll());
    RowPreparer prep(*g, Settings(14));
    SetJoins(*g, DeadEnds());
    prep.Eliminate();
    EXPECT_EQ(g->ColJoinOff[0], (Flags{0, 1}));
    EXPECT_EQ(g->ColJoinOff[4], (Flags{1, 0}));
    EXPECT_EQ(g->ColJoinOff[5], (Flags{1, 0}));
    EXPECT_EQ(g->ColJoinOff[8], (Flags{0, 1}));
    EXPECT_EQ(prep.SmallestPairCount(), 1);
    EXPECT_EQ(g->Run.FailingColumn, -1);
    prep.RemoveEliminated();
    EXPECT_EQ(g->ColJoins[4], Pairs({{1, 1}}));
    EXPECT_EQ(g->ColJoinOff[4], (Flags{0}));
}

TEST(Elimination, ADeadColumnPairKillsTheRowAndTheFirstEmptyPairFails) {
    auto g = MakeGenerator(AllowAll());
    RowPreparer prep(*g, Settings(14));
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
    RowPreparer prep(*g, s);
    auto joins = DeadEnds();
    joins[6] = Pairs({{1, 2}});
    SetJoins(*g, joins);
    prep.Eliminate();
    EXPECT_EQ(g->Run.FailingColumn, 6);
    for (int c = 0; c < 9; ++c) EXPECT_EQ(g->ColJoinCount(c), 0) << c;
    EXPECT_EQ(prep.SmallestPairCount(), 0);

    // With a failing column known the rule is off: everything dies but the
    // lists keep their pairs, marked.
    SetJoins(*g, joins);
    g->Run.FailingColumn = 3;
    prep.Eliminate();
    EXPECT_EQ(g->ColJoinCount(6), 1);
    EXPECT_EQ(g->ColJoinOff[6], (Flags{1}));
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
    RowPreparer prep(*g, s);
    GeneratorRng rng(1);
    const List above = Above(10, {2, 3, 4, 4, 4, 4, 4, 4, 4, 4});
    prep.BuildColumnCandidates(above, rng);
    prep.BuildColumnJoins(6, rng);
    EXPECT_EQ(g->ColJoinCount(0), 2) << "(0, 1) stays although 1 leads nowhere";
    prep.BuildColumnCandidates(above, rng);
    prep.BuildColumnJoins(7, rng);
    EXPECT_EQ(g->ColJoins[0], Pairs({{0, 0}}));
    EXPECT_EQ(g->Run.FailingColumn, -1);
}

TEST(ColumnJoins, AreShuffledAndWithAPreferenceOrderedByWeight) {
    Learned l = AllowAll(6);  // squares 0..4, 5 empty; 0 and 1 are connector squares
    l.objSize = {0, 0, 1, 1, 1, 0};
    auto g = MakeGenerator(l);
    RowSettings s = Settings(14);
    s.Choice = {1.0, true};
    RowPreparer prep(*g, s);
    GeneratorRng rng(11);
    prep.BuildColumnCandidates(List(10, -1), rng);
    prep.BuildColumnJoins(3, rng);
    for (int c = 0; c < 9; ++c) {
        const auto& pairs = g->ColJoins[static_cast<std::size_t>(c)];
        ASSERT_EQ(pairs.size(), 25u);
        for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(prep.PairWeight(pairs[i]), 1) << "connector pairs first";
        for (std::size_t i = 4; i < pairs.size(); ++i) EXPECT_EQ(prep.PairWeight(pairs[i]), 0);
    }
    s.Choice = {0.5, true};
    RowPreparer neutral(*g, s);
    neutral.BuildColumnCandidates(List(10, -1), rng);
    neutral.BuildColumnJoins(3, rng);
    auto sorted = g->ColJoins[0];
    std::sort(sorted.begin(), sorted.end(), [](SqPair a, SqPair b) { return std::pair(a.Left, a.Right) < std::pair(b.Left, b.Right); });
    EXPECT_NE(sorted, g->ColJoins[0]) << "shuffled";
    neutral.BuildJoinLists();
    auto built = g->ColJoins[0];
    std::sort(built.begin(), built.end(), [](SqPair a, SqPair b) { return std::pair(a.Left, a.Right) < std::pair(b.Left, b.Right); });
    EXPECT_EQ(sorted, built) << "the same pairs";
}

// --- Sub-chains -------------------------------------------------------------------

namespace {

// Column joins with the given number of pairs (i, i) per column pair.
void SetPairCounts(TMapGenerator& g, const std::vector<int>& counts) {
    std::vector<std::vector<SqPair>> joins;
    for (int n : counts) {
        std::vector<SqPair> pairs;
        for (int i = 0; i < n; ++i) pairs.push_back({i % 8, i % 8});
        joins.push_back(pairs);
    }
    SetJoins(g, joins);
}

}  // namespace

TEST(SubChains, TheNarrowestMapIsOneSubChainOfTenColumns) {
    auto g = MakeGenerator(AllowAll());
    RowPreparer prep(*g, Settings(14));
    SetPairCounts(*g, {3, 4, 5, 6, 7, 8, 9, 10, 2});
    g->ColJoinOff[1][0] = 1;  // eliminated pairs are not handed on
    prep.SplitIntoSubChains();
    ASSERT_EQ(g->SCCount, 1);
    EXPECT_EQ(g->SCBorders, (List{0, 8}));
    const TSubChain& sc = g->SC[0];
    EXPECT_EQ(sc.start, 0);
    EXPECT_EQ(sc.Len, 10);
    EXPECT_EQ(sc.PairCounts, (List{3, 3, 5, 6, 7, 8, 9, 10, 2}));
    EXPECT_EQ(sc.Pairs[1].size(), 3u);
    EXPECT_EQ(sc.Pairs[4], g->ColJoins[4]);
    EXPECT_EQ(sc.MaxVariants, 6);
    ASSERT_EQ(sc.sqlines.size(), 1u);  // the variant being built
    EXPECT_EQ(sc.sqlines[0], List(10, 0));
    EXPECT_GE(sc.sqlines.capacity(), 7u);
    EXPECT_EQ(sc.LookAhead[0].size(), 100u);
    EXPECT_EQ(sc.Cursor, List(9, 0));
    EXPECT_EQ(sc.Below.size(), 10u);
    EXPECT_FALSE(sc.Busy || sc.Done || sc.Exhausted || sc.Frozen || sc.Restricted);
    EXPECT_EQ(sc.Owner, -1);
    EXPECT_EQ(sc.VariantCount, 0);
    EXPECT_EQ(g->SC[1].Len, 0);
}

TEST(SubChains, BordersLieAtTheFewestPairsAroundEveryTenth) {
    auto g = MakeGenerator(AllowAll());
    RowPreparer prep(*g, Settings(34));  // 29 column pairs, 3 sub-chains
    std::vector<int> counts(29, 5);
    counts[6] = 1;   // outside the first window (7..13)
    counts[9] = 2;   // the first of two fewest
    counts[12] = 2;
    counts[20] = 1;  // second window 16..22
    counts[28] = 400;
    counts[0] = 400;
    SetPairCounts(*g, counts);
    prep.SplitIntoSubChains();
    ASSERT_EQ(g->SCCount, 3);
    EXPECT_EQ(g->SCBorders, (List{0, 9, 20, 28}));
    EXPECT_EQ(g->SC[0].Len, 11);
    EXPECT_EQ(g->SC[1].start, 9);
    EXPECT_EQ(g->SC[1].Len, 13);
    EXPECT_EQ(g->SC[2].Len, 10);
    EXPECT_EQ(g->SC[0].MaxVariants, 800);
    EXPECT_EQ(g->SC[1].MaxVariants, 2);
    EXPECT_EQ(g->SC[2].MaxVariants, 400);
    EXPECT_EQ(g->SC[1].Pairs.front(), g->SC[0].Pairs.back()) << "neighbours share a column pair";

    std::fill(counts.begin() + 16, counts.begin() + 23, 400);
    SetPairCounts(*g, counts);
    prep.SplitIntoSubChains();
    EXPECT_EQ(g->SCBorders, (List{0, 9, 16, 28}));
    EXPECT_EQ(g->SC[1].MaxVariants, 800);
    EXPECT_EQ(g->SC[2].MaxVariants, 100000) << "at most 100000 variants";
}

TEST(SubChains, TheWidestMapHasTwentyOneSubChains) {
    auto g = MakeGenerator(AllowAll());
    RowPreparer prep(*g, Settings(206));
    SetPairCounts(*g, std::vector<int>(201, 1));
    prep.SplitIntoSubChains();
    ASSERT_EQ(g->SCCount, MaxSubChains);
    EXPECT_EQ(g->SCBorders.front(), 0);
    EXPECT_EQ(g->SCBorders.back(), 200);
    for (int i = 0; i < g->SCCount; ++i) {
        const TSubChain& sc = g->SC[static_cast<std::size_t>(i)];
        EXPECT_EQ(sc.start + sc.Len - 2, g->SCBorders[static_cast<std::size_t>(i) + 1]);
        EXPECT_GE(sc.Len, 3);
    }
}

namespace {

std::vector<SqPair> SortedPairs(std::vector<SqPair> v) {
    std::sort(v.begin(), v.end(), [](SqPair a, SqPair b) { return std::pair(a.Left, a.Right) < std::pair(b.Left, b.Right); });
    return v;
}

}  // namespace

TEST(Repreparation, SpendsFreezePointsResetsUnfinishedSubChainsAndKeepsVariants) {
    auto g = MakeGenerator(AllowAll());
    RowPreparer prep(*g, Settings(44));  // 39 column pairs, 4 sub-chains
    std::vector<std::vector<SqPair>> joins(39);
    for (auto& j : joins)
        for (int a = 0; a < 6; ++a) j.push_back({a, (a + 1) % 6});
    SetJoins(*g, joins);
    prep.SplitIntoSubChains();
    ASSERT_EQ(g->SCCount, 4);
    auto& sc = g->SC;
    sc[0].Frozen = true;
    sc[0].hp = 3;
    sc[0].Done = true;
    sc[0].VariantCount = sc[0].MaxVariants;  // finished: left alone
    sc[0].Cursor[2] = 4;
    sc[1].Done = true;
    sc[1].VariantCount = 2;
    sc[1].sqlines.push_back(List(static_cast<std::size_t>(sc[1].Len), 7));
    sc[1].Cursor[0] = 5;
    sc[1].Exhausted = true;
    sc[1].Owner = 2;
    sc[1].Busy = true;
    sc[1].Tries = 99;
    sc[1].Focus = {2, 4};
    sc[1].Restricted = true;
    const SqPair focused2 = sc[1].Pairs[0][2], focused4 = sc[1].Pairs[0][4];
    const auto before = sc[1].Pairs;
    sc[2].Frozen = true;
    sc[2].hp = 1;
    sc[3].Frozen = true;
    sc[3].hp = 5;

    GeneratorRng rng(9);
    prep.Reprepare(rng);
    EXPECT_TRUE(sc[0].Frozen);
    EXPECT_EQ(sc[0].hp, 2) << "one thawed neighbour";
    EXPECT_EQ(sc[0].Cursor[2], 4);
    EXPECT_FALSE(sc[2].Frozen) << "its one point spent";
    EXPECT_EQ(sc[2].hp, 0);
    EXPECT_TRUE(sc[3].Frozen);
    EXPECT_EQ(sc[3].hp, 5) << "its only neighbour was frozen";
    EXPECT_TRUE(sc[3].Done) << "frozen sub-chains are done";
    EXPECT_FALSE(sc[2].Done);

    EXPECT_FALSE(sc[1].Done || sc[1].Exhausted || sc[1].Busy);
    EXPECT_EQ(sc[1].Owner, -1);
    EXPECT_EQ(sc[1].Tries, 0);
    EXPECT_EQ(sc[1].Cursor, List(sc[1].Cursor.size(), 0));
    EXPECT_EQ(sc[1].VariantCount, 2);
    EXPECT_EQ(sc[1].sqlines[1], List(static_cast<std::size_t>(sc[1].Len), 7)) << "variants kept";
    ASSERT_EQ(sc[1].Pairs.size(), before.size());
    bool moved = false;
    for (std::size_t k = 0; k < before.size(); ++k) {
        EXPECT_EQ(SortedPairs(sc[1].Pairs[k]), SortedPairs(before[k]));
        moved = moved || sc[1].Pairs[k] != before[k];
    }
    EXPECT_TRUE(moved) << "lists shuffled";
    EXPECT_TRUE(sc[1].Restricted);
    EXPECT_EQ(sc[1].Pairs[0][static_cast<std::size_t>(sc[1].Focus[0])], focused2) << "focus follows its pairs";
    EXPECT_EQ(sc[1].Pairs[0][static_cast<std::size_t>(sc[1].Focus[1])], focused4);
}

// --- Choice of squares ----------------------------------------------------------

TEST(ChoiceOfSquares, NeutralDrawsByCopiesAndAPreferenceTakesTheHeaviest) {
    Learned l = AllowAll(4);  // 0 and 1 are connector squares, 2 is not
    l.objSize = {0, 0, 1, 0};
    l.down[2] = {0, 1, 2, 2, 2};  // weight 5 + 3 in the combinations way
    auto g = MakeGenerator(l);
    GeneratorRng rng(17);
    RowPreparer neutral(*g, Settings(14));
    const List cands{2, 2, 2, 0};
    int twos = 0;
    for (int i = 0; i < 20000; ++i) twos += neutral.ChooseSquare(cands, rng) == 2;
    EXPECT_NEAR(twos / 20000.0, 0.75, 0.02);

    RowSettings s = Settings(14);
    s.Choice = {1.0, true};
    RowPreparer connectors(*g, s);
    s.Choice = {0.0, true};
    RowPreparer avoidConnectors(*g, s);
    s.Choice = {1.0, false};
    RowPreparer combinations(*g, s);
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(connectors.ChooseSquare(cands, rng), 0);
        EXPECT_EQ(avoidConnectors.ChooseSquare(cands, rng), 2);
        EXPECT_EQ(combinations.ChooseSquare(List{0, 1, 2, 1}, rng), 2);
    }
    EXPECT_THROW(neutral.ChooseSquare(List{}, rng), Error);

    s.Choice = {0.75, true};  // a leaning: connector squares more often, not always
    RowPreparer leaning(*g, s);
    int zeros = 0;
    for (int i = 0; i < 20000; ++i) zeros += leaning.ChooseSquare(cands, rng) == 0;
    EXPECT_GT(zeros / 20000.0, 0.35);
    EXPECT_LT(zeros / 20000.0, 0.95);
}

// --- Checks against plain references on random data ---------------------------------

namespace {

// The ordering exactly as described: entries moved by list insertion.
std::vector<std::int32_t> ReferenceOrder(const std::vector<std::int64_t>& w, double j, GeneratorRng& rng) {
    std::vector<std::int32_t> list;
    for (std::size_t i = 0; i < w.size(); ++i) list.push_back(static_cast<std::int32_t>(i));
    if (j == 0.5) return list;
    for (std::size_t u = 1; u < list.size(); ++u) {
        if (j != 0.0 && j != 1.0 && std::pow(UniformUnit(rng), 0.6) >= std::abs(j - 0.5) * 2) continue;
        const std::int32_t entry = list[u];
        for (std::size_t p = 0; p < u; ++p) {
            const bool before = j > 0.5 ? w[list[p]] < w[entry] : w[list[p]] > w[entry];
            if (!before) continue;
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(u));
            list.insert(list.begin() + static_cast<std::ptrdiff_t>(p), entry);
            break;
        }
    }
    return list;
}

}  // namespace

TEST(ReferenceChecks, OrderingByWeightMatchesListInsertion) {
    GeneratorRng data(2024);
    for (int round = 0; round < 3000; ++round) {
        const std::size_t n = UniformBelow(data, 70);
        const std::int64_t range = round % 3 == 0 ? 2 : round % 3 == 1 ? 6 : 100000;
        std::vector<std::int64_t> w(n);
        for (auto& x : w) x = static_cast<std::int64_t>(UniformBelow(data, static_cast<std::uint64_t>(range)));
        static constexpr double kJ[] = {0.0, 0.1, 0.3, 0.5, 0.7, 0.95, 1.0};
        const double j = kJ[round % 7];
        GeneratorRng a(static_cast<std::uint64_t>(round)), b(static_cast<std::uint64_t>(round));
        ASSERT_EQ(OrderByWeight(w, j, a), ReferenceOrder(w, j, b)) << "round " << round << " J " << j;
        ASSERT_EQ(a(), b()) << "the same random numbers drawn";
    }
}

namespace {

Learned RandomLearned(GeneratorRng& rng, int n) {
    Learned l;
    l.down.resize(static_cast<std::size_t>(n));
    l.right.resize(static_cast<std::size_t>(n));
    l.objSize.resize(static_cast<std::size_t>(n));
    for (int s = 0; s < n; ++s) {
        for (auto* list : {&l.down[s], &l.right[s]}) {
            const auto runs = UniformBelow(rng, 5);
            for (std::uint64_t r = 0; r < runs; ++r)
                list->insert(list->end(), 1 + UniformBelow(rng, 3), static_cast<std::int32_t>(UniformBelow(rng, n - 1)));
        }
        l.objSize[s] = static_cast<std::int32_t>(UniformBelow(rng, 4));
        if (UniformBelow(rng, 2) == 0) l.starts.push_back(s);
    }
    l.objSize.back() = 0;
    return l;
}

bool Contains(const List& list, std::int32_t v) { return std::find(list.begin(), list.end(), v) != list.end(); }

// The object filter on column candidates as described, looking everything up
// in the lists themselves.
void ReferenceThin(const TMapGenerator& g, std::vector<List>& cols, const std::vector<double>& p, GeneratorRng& rng) {
    const int n = g.SquareCount();
    for (std::size_t c = 0; c < cols.size(); ++c) {
        List& col = cols[c];
        std::vector<bool> gone(col.size());
        for (std::size_t i = col.size(); i-- > 0;) {
            const std::int32_t v = col[i];
            if (!Contains(g.ObjStarts, v)) continue;
            bool other = false;
            for (std::size_t k = 0; k < col.size(); ++k) other = other || (!gone[k] && col[k] != v);
            if (!other) continue;
            if (c > 0) {
                bool ok = false;
                for (std::int32_t a : cols[c - 1])
                    for (std::int32_t e : g.Sq(a).Right) ok = ok || e != v;
                if (!ok) continue;
            }
            if (c + 1 < cols.size()) {
                bool ok = false;
                for (int s = 0; s < n - 1; ++s)
                    if (s != v)
                        for (std::int32_t r : cols[c + 1]) ok = ok || Contains(g.Sq(s).Right, r);
                if (!ok) continue;
            }
            const double pv = p[std::min<std::size_t>(static_cast<std::size_t>(g.ObjSize[v]), p.size() - 1)];
            if (pv > 0 && UniformUnit(rng) <= pv) continue;
            gone[i] = true;
        }
        List kept;
        for (std::size_t k = 0; k < col.size(); ++k)
            if (!gone[k]) kept.push_back(col[k]);
        col = kept;
    }
}

std::vector<std::vector<SqPair>> ReferenceJoins(const TMapGenerator& g, const std::vector<List>& cols, bool noTwins) {
    std::vector<std::vector<SqPair>> joins(cols.size() - 1);
    for (std::size_t c = 0; c + 1 < cols.size(); ++c)
        for (std::int32_t a : cols[c])
            for (std::int32_t b : g.Sq(a).Right)
                if (!(noTwins && a == b))
                    for (std::int32_t r : cols[c + 1])
                        if (r == b) joins[c].push_back({a, b});
    return joins;
}

std::vector<Flags> ReferenceEliminate(const std::vector<std::vector<SqPair>>& joins) {
    std::vector<Flags> off;
    for (const auto& j : joins) off.emplace_back(j.size(), 0);
    auto liveWith = [&](std::size_t c, auto pred) {
        for (std::size_t i = 0; i < joins[c].size(); ++i)
            if (!off[c][i] && pred(joins[c][i])) return true;
        return false;
    };
    for (std::size_t c = joins.size() - 1; c-- > 0;)
        for (std::size_t i = 0; i < joins[c].size(); ++i)
            if (!off[c][i] && !liveWith(c + 1, [&](SqPair q) { return q.Left == joins[c][i].Right; })) off[c][i] = 1;
    for (std::size_t c = 0; c + 1 < joins.size(); ++c)
        for (std::size_t i = 0; i < joins[c + 1].size(); ++i)
            if (!off[c + 1][i] && !liveWith(c, [&](SqPair q) { return q.Right == joins[c + 1][i].Left; }))
                off[c + 1][i] = 1;
    return off;
}

}  // namespace

TEST(ReferenceChecks, CandidatesJoinsAndEliminationMatchPlainLoops) {
    GeneratorRng data(77);
    for (int round = 0; round < 300; ++round) {
        const int n = 3 + static_cast<int>(UniformBelow(data, 10));
        auto g = MakeGenerator(RandomLearned(data, n));
        const bool noTwins = round % 2 == 1;
        const std::vector<double> p = round % 3 == 0 ? std::vector<double>{1, 1, 1, 1}
                                                      : std::vector<double>{0.7, 0.4, 0.0, 1.0};
        RowSettings s = Settings(14 + static_cast<int>(UniformBelow(data, 8)), p);
        s.TwinsDisallowed = noTwins;
        RowPreparer prep(*g, s);
        List above(static_cast<std::size_t>(prep.Columns()));
        for (auto& a : above) a = static_cast<std::int32_t>(UniformBelow(data, n + 1)) - 1;

        std::vector<List> cols;
        for (std::int32_t a : above) {
            const std::int32_t sq = a < 0 ? n - 1 : a;
            List c;
            for (std::int32_t e : g->Sq(sq).Down)
                if (!(noTwins && e == sq)) c.push_back(e);
            cols.push_back(c);
        }
        GeneratorRng mine(static_cast<std::uint64_t>(round)), theirs(static_cast<std::uint64_t>(round));
        if (prep.FilterInForce()) ReferenceThin(*g, cols, p, theirs);
        prep.BuildColumnCandidates(above, mine);
        ASSERT_EQ(g->ColCands, cols) << "round " << round;
        ASSERT_EQ(mine(), theirs());

        prep.BuildJoinLists();
        const auto joins = ReferenceJoins(*g, cols, noTwins);
        ASSERT_EQ(g->ColJoins, joins) << "round " << round;
        prep.Eliminate();
        ASSERT_EQ(g->ColJoinOff, ReferenceEliminate(joins)) << "round " << round;
    }
}
