// The generator's data model: learned squares, joins, candidates.

#include <gtest/gtest.h>

#include <random>

#include "learned_run.h"

using namespace zorvane;

namespace {

// A plain count of the entries that name a square with the neighbour's
// bitmaps, as the joins are defined.
int PlainCount(const LearnedRun& g, const std::vector<std::int32_t>& list, int neighbour) {
    int n = 0;
    for (std::int32_t e : list)
        if (g.Sq(e).Gnd == g.Sq(neighbour).Gnd && g.Sq(e).Top == g.Sq(neighbour).Top) ++n;
    return n;
}

// CandidatesFromBoth as defined: per run of CandidatesFromLeft, min(run, first run in CandidatesFromAbove).
std::vector<std::int32_t> PlainIntersection(const std::vector<std::int32_t>& above,
                                            const std::vector<std::int32_t>& left) {
    std::vector<std::int32_t> out;
    for (std::size_t i = 0; i < left.size();) {
        std::size_t j = i;
        while (j < left.size() && left[j] == left[i]) ++j;
        std::size_t k = 0;
        for (std::size_t a = 0; a < above.size(); ++a) {
            if (above[a] != left[i]) continue;
            while (a + k < above.size() && above[a + k] == left[i]) ++k;
            break;
        }
        out.insert(out.end(), std::min(j - i, k), left[i]);
        i = j;
    }
    return out;
}

}  // namespace

TEST(GeneratorSquares, SameBitmapsAreOneSquareWithTheFirstAttribute) {
    LearnedRun g;
    EXPECT_EQ(g.FindOrAddSq(4, 9, 7), 0);
    EXPECT_EQ(g.FindOrAddSq(5, NoBitmap, 1), 1);
    EXPECT_EQ(g.FindOrAddSq(4, 9, 2), 0);
    EXPECT_EQ(g.Sq(0).Atr, 7);
    EXPECT_EQ(g.FindSq(5, NoBitmap), 1);
    EXPECT_EQ(g.FindSq(9, 4), -1);
    EXPECT_EQ(g.SquareCount(), 2);
}

TEST(GeneratorSquares, JoinWeightsKeepTheLargestNotTheSum) {
    LearnedRun g;
    const int a = g.FindOrAddSq(1, 1, 0), b = g.FindOrAddSq(2, 2, 0), c = g.FindOrAddSq(3, 3, 0);
    EXPECT_EQ(g.AddJoinDown(a, b, 3), 3);
    EXPECT_EQ(g.AddJoinDown(a, b, 5), 2);
    EXPECT_EQ(g.Sq(a).Down, std::vector<std::int32_t>(5, b));
    EXPECT_EQ(g.AddJoinRight(a, c, 5), 5);
    EXPECT_EQ(g.AddJoinRight(a, c, 3), 0);
    EXPECT_EQ(g.Sq(a).Right.size(), 5u);
    EXPECT_EQ(g.JoinsCount, 10);
    // A later neighbour makes a second run; the count still sees both runs.
    g.AddJoinDown(a, c, 1);
    g.AddJoinDown(a, b, 7);
    EXPECT_EQ(g.Sq(a).Down, (std::vector<std::int32_t>{b, b, b, b, b, c, b, b}));
    EXPECT_EQ(g.CountInList(a, JoinDir::Down, b), 7);
}

TEST(GeneratorSquares, HashedCountsMatchAPlainCountOverRandomJoins) {
    std::mt19937 rng(7);
    LearnedRun g;
    for (int i = 0; i < 40; ++i) g.FindOrAddSq(static_cast<std::uint16_t>(i % 13), static_cast<std::uint16_t>(i / 13), 0);
    for (int step = 0; step < 4000; ++step) {
        const int s = static_cast<int>(rng() % 40), nb = static_cast<int>(rng() % 40), w = static_cast<int>(rng() % 6 + 1);
        const JoinDir dir = rng() % 2 ? JoinDir::Down : JoinDir::Right;
        const int before = PlainCount(g, g.List(s, dir), nb);
        const int added = g.AddJoin(s, dir, nb, w);
        ASSERT_EQ(added, std::max(0, w - before));
        ASSERT_EQ(g.CountInList(s, dir, nb), PlainCount(g, g.List(s, dir), nb));
    }
}

TEST(GeneratorSquares, TakenOverSquaresCountTheirEntriesAndKeepTheFirstOfTwins) {
    LearnedRun g;
    std::vector<LearnedSquare> squares(3);
    squares[0] = {1, 2, 0, {1, 1, 2}, {0}};
    squares[1] = {1, 2, 5, {}, {2, 2}};  // same bitmaps as square 0
    squares[2] = {NoBitmap, NoBitmap, 3, {0}, {}};
    g.SetSquares(squares);
    EXPECT_EQ(g.JoinsCount, 7);
    EXPECT_EQ(g.FindSq(1, 2), 0);
    // Counting compares bitmaps: entries 1 and 0 name the same square.
    EXPECT_EQ(g.CountInList(0, JoinDir::Down, 0), 2);

    squares[2].Down = {3};
    EXPECT_THROW(g.SetSquares(squares), Error);
}

TEST(GeneratorSquares, ListsRefuseToGrowBeyondTheirCapacity) {
    LearnedRun g;
    const int a = g.FindOrAddSq(1, 1, 0), b = g.FindOrAddSq(2, 2, 0), c = g.FindOrAddSq(3, 3, 0);
    g.AppendCopies(a, JoinDir::Down, b, MaxListEntries - 1);
    g.AddJoinDown(a, c, 1);
    EXPECT_THROW(g.AddJoinDown(a, c, 2), ListFullError);
    EXPECT_EQ(g.Sq(a).Down.size(), static_cast<std::size_t>(MaxListEntries));
}

TEST(GeneratorSquares, ClearingEmptiesTheDataButKeepsTheLearnedFlag) {
    LearnedRun g;
    g.AddJoinDown(g.FindOrAddSq(1, 1, 0), g.FindOrAddSq(2, 2, 0), 2);
    g.ObjSize = {1, 1};
    g.Learned = true;
    g.ClearLearned();
    EXPECT_EQ(g.SquareCount(), 0);
    EXPECT_EQ(g.JoinsCount, 0);
    EXPECT_TRUE(g.ObjSize.empty());
    EXPECT_EQ(g.FindSq(1, 1), -1);
    EXPECT_TRUE(g.Learned);
    g.tileSetReset();
    EXPECT_FALSE(g.Learned);
}

TEST(GeneratorCandidates, IntersectionTakesTheSmallerWeightPerRun) {
    LearnedRun g;
    g.CandidatesFromAbove = {4, 4, 4, 2, 9, 2, 2, 2};
    g.CandidatesFromLeft = {2, 2, 4, 7, 4, 4, 4, 4, 2};
    g.IntersectCandidates();
    // 2: run of 2 vs first run of 1 -> 1; 4: 1 vs 3 -> 1; 7 absent; 4: 4 vs 3 -> 3; 2: 1 vs 1 -> 1.
    EXPECT_EQ(g.CandidatesFromBoth, (std::vector<std::int32_t>{2, 4, 4, 4, 4, 2}));
}

TEST(GeneratorCandidates, IntersectionMatchesThePlainDefinitionOnRandomLists) {
    std::mt19937 rng(3);
    LearnedRun g;
    for (int round = 0; round < 300; ++round) {
        auto fill = [&](std::vector<std::int32_t>& v) {
            v.clear();
            const int runs = static_cast<int>(rng() % 8);
            for (int r = 0; r < runs; ++r) v.insert(v.end(), rng() % 4 + 1, static_cast<std::int32_t>(rng() % 5));
        };
        fill(g.CandidatesFromAbove);
        fill(g.CandidatesFromLeft);
        g.IntersectCandidates();
        ASSERT_EQ(g.CandidatesFromBoth, PlainIntersection(g.CandidatesFromAbove, g.CandidatesFromLeft));
    }
}

TEST(GeneratorCandidates, LoadingCopiesTheListOrDrawsAQuietSquare) {
    LearnedRun g;
    const int a = g.FindOrAddSq(1, 1, 0), b = g.FindOrAddSq(2, 2, 0);
    g.FindOrAddSq(NoBitmap, NoBitmap, AtrImpassable);
    g.AddJoinDown(a, b, 2);
    g.AddJoinRight(b, a, 1);
    g.LoadCandidatesFromAbove(g, a);
    EXPECT_EQ(g.CandidatesFromAbove, (std::vector<std::int32_t>{b, b}));
    g.LoadCandidatesFromLeft(g, b);
    EXPECT_EQ(g.CandidatesFromLeft, (std::vector<std::int32_t>{a}));
    // -1: only a has a Down list, its entry is b, and b's Down list is empty.
    g.LoadCandidatesFromAbove(g, -1);
    EXPECT_TRUE(g.CandidatesFromAbove.empty());
    // -1 for the left: b's Right names a, whose Right list is empty.
    g.LoadCandidatesFromLeft(g, -1);
    EXPECT_TRUE(g.CandidatesFromLeft.empty());
    LearnedRun none;
    none.LoadCandidatesFromAbove(none, -1);
    EXPECT_TRUE(none.CandidatesFromAbove.empty());
}

TEST(GeneratorBuffers, RowBuffersAndOldSquaresCoverTheLargestMap) {
    LearnedRun g;
    g.PrepareRowBuffers(MaxRowColumns);
    EXPECT_EQ(g.ColumnCandidates.size(), 202u);
    EXPECT_EQ(g.ColumnPairJoins.size(), 201u);
    EXPECT_EQ(g.ColumnPairJoinCount(200), 0);
    EXPECT_EQ(g.LastColumn, 201);
    EXPECT_THROW(g.PrepareRowBuffers(MaxRowColumns + 1), Error);
    EXPECT_EQ(g.OldSquare(2, 2), -1);
    g.OldSquare(203, 203) = 17;
    EXPECT_EQ(g.OldSquare(203, 203), 17);
    g.ClearOldSquares();
    EXPECT_EQ(g.OldSquare(203, 203), -1);
}

TEST(GeneratorLearnList, EntryTextShowsMultiplierAndConnector) {
    EXPECT_EQ(LearnEntryText({"/maps/a b.zm", 1, false}), "a b.zm [multi=1]");
    EXPECT_EQ(LearnEntryText({"C:\\maps\\x.zm", 40, true}), "x.zm [multi=40] [connector]");
}
