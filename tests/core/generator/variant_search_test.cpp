// The work of the generator's threads on hand-made rows: validation with
// look-ahead, search bursts, and linking passes.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>

#include "generator/search/row_preparation.h"
#include "generator/search/variant_search.h"
#include "search_fixtures.h"

using namespace zorvane;
using namespace zorvane::testing;

// --- Validation --------------------------------------------------------------

TEST(ValidateVariant, SquaresWithoutSquaresBelowOrUnjoinableBelowAreRejected) {
    // 0-1 may stand side by side; below 0 stands 2, below 1 stands 3 or 4;
    // 2 may have 3 to its right, nothing else.
    auto g = Learned({{2}, {3, 4}, {}, {}, {}, {}}, {{1}, {}, {3}, {}, {}, {}});
    const SearchTables t(*g);
    List la(2 * LookAheadRows);
    EXPECT_TRUE(ValidateVariant(t, 20, 10, List{0, 1}, la));
    EXPECT_EQ(la[0], 2);              // forced below 0
    EXPECT_EQ(la[LookAheadRows], 3);  // forced right of it
    // 2 has nothing below it.
    EXPECT_FALSE(ValidateVariant(t, 20, 10, List{2, 3}, la));
    // The last inner row has no row below inside the map: anything goes.
    EXPECT_TRUE(ValidateVariant(t, 20, 17, List{2, 3}, la));
    EXPECT_EQ(la, List(2 * LookAheadRows, UnknownSquare));
}

TEST(ValidateVariant, TheForcedSquaresOfTheRowsBelowMustAgree) {
    // Below 0 only 2, below 1 only 5; 2 names only 3 to its right, so 5
    // cannot stand there: rejected. With 1 below which 3 stands, accepted.
    auto g = Learned({{2}, {5}, {}, {}, {}, {}, {3}, {}}, {{1, 6}, {}, {3}, {}, {}, {3}, {}, {}});
    const SearchTables t(*g);
    List la(2 * LookAheadRows);
    EXPECT_FALSE(ValidateVariant(t, 30, 10, List{0, 1}, la));
    EXPECT_TRUE(ValidateVariant(t, 30, 10, List{0, 6}, la));
    EXPECT_EQ(la[0], 2);
    EXPECT_EQ(la[LookAheadRows], 3);
}

TEST(ValidateVariant, ForcedSquaresReachAsFarAsTenRowsAndStopAtTheMap) {
    // A column of 0s forces 0 below forever; the neighbour is free.
    auto g = Learned({{0}, {0, 1}, {}}, {{0, 1}, {0, 1}, {}});
    const SearchTables t(*g);
    List la(2 * LookAheadRows);
    ASSERT_TRUE(ValidateVariant(t, 100, 10, List{0, 1}, la));
    for (int l = 0; l < LookAheadRows; ++l) EXPECT_EQ(la[static_cast<std::size_t>(l)], 0) << l;
    EXPECT_EQ(la[LookAheadRows], UnknownSquare);
    // Row 10 of a map 16 high: min(9, 3) + 1 = 4 rows.
    ASSERT_TRUE(ValidateVariant(t, 16, 10, List{0, 1}, la));
    EXPECT_EQ(la[3], 0);
    EXPECT_EQ(la[4], UnknownSquare);
    EXPECT_EQ(LookAheadDepth(16, 10), 4);
    EXPECT_EQ(LookAheadDepth(16, 13), 1);
}

TEST(ValidateVariant, AnUnknownSquareLeftOfAForcedOneIsForcedByTheOnlySquareNamingIt) {
    // 4 stands right of 3 only (3 -> 4); below 1 only 4, below 0 anything.
    auto g = Learned({{2, 3}, {4}, {}, {}, {}, {}}, {{1}, {}, {}, {4}, {}, {}});
    const SearchTables t(*g);
    List la(2 * LookAheadRows);
    ASSERT_TRUE(ValidateVariant(t, 20, 10, List{0, 1}, la));
    EXPECT_EQ(la[0], 3);
    // 2 cannot stand left of 4: with 2 forced below 0 the variant fails.
    auto h = Learned({{2}, {4}, {}, {}, {}, {}}, {{1}, {}, {}, {4}, {}, {}});
    const SearchTables u(*h);
    EXPECT_FALSE(ValidateVariant(u, 20, 10, List{0, 1}, la));
}

TEST(ValidateVariant, OnlyAListOfExactlyOneEntryForcesASquare) {
    // Below 0 only 2, right of 2 only 3, below 2 only 4, below 3 only 5,
    // and 5 may not stand right of 4: 0 forces a column of squares that
    // cannot stand beside what 3 forces. Learned with weight 2 every list
    // holds each entry twice and forces nothing, so the variant passes.
    const std::vector<List> down{{2}, {3, 8}, {4}, {5}, {}, {}, {}, {}, {}, {}};
    const std::vector<List> right{{1}, {}, {3}, {}, {6}, {}, {}, {}, {}, {}};
    auto twice = [](std::vector<List> lists) {
        for (auto& l : lists) l.insert(l.end(), l.begin(), l.end());
        return lists;
    };
    List la(2 * LookAheadRows);
    auto g = Learned(down, right);
    EXPECT_FALSE(ValidateVariant(SearchTables(*g), 30, 10, List{0, 1}, la));
    auto g2 = Learned(twice(down), twice(right));
    EXPECT_TRUE(ValidateVariant(SearchTables(*g2), 30, 10, List{0, 1}, la));
    EXPECT_EQ(la, List(2 * LookAheadRows, UnknownSquare));

    // Random learned data with every list doubled: nothing is ever forced,
    // and the verdict is that of the squares directly below alone.
    GeneratorRng rng(5);
    for (int round = 0; round < 300; ++round) {
        const int n = 3 + static_cast<int>(UniformBelow(rng, 6));
        std::vector<List> d(static_cast<std::size_t>(n)), r(static_cast<std::size_t>(n));
        for (int s = 0; s + 1 < n; ++s) {
            for (int k = static_cast<int>(UniformBelow(rng, 3)); k > 0; --k)
                d[static_cast<std::size_t>(s)].push_back(static_cast<std::int32_t>(UniformBelow(rng, n - 1)));
            for (int k = static_cast<int>(UniformBelow(rng, 3)); k > 0; --k)
                r[static_cast<std::size_t>(s)].push_back(static_cast<std::int32_t>(UniformBelow(rng, n - 1)));
        }
        auto h = Learned(twice(d), twice(r));
        const SearchTables t(*h);
        // A variant is a chain of learned joins.
        List v{static_cast<std::int32_t>(UniformBelow(rng, n - 1))};
        for (std::size_t len = 2 + UniformBelow(rng, 4); v.size() < len;) {
            const List& next = r[static_cast<std::size_t>(v.back())];
            if (next.empty()) break;
            v.push_back(next[UniformBelow(rng, next.size())]);
        }
        if (v.size() < 2) continue;
        auto has = [](const List& l, std::int32_t x) { return std::find(l.begin(), l.end(), x) != l.end(); };
        bool expected = true;
        for (std::size_t c = 0; c < v.size(); ++c) {
            expected = expected && !d[static_cast<std::size_t>(v[c])].empty();
            if (c + 1 == v.size()) continue;
            bool joinable = false;
            for (std::int32_t x : d[static_cast<std::size_t>(v[c])])
                for (std::int32_t y : d[static_cast<std::size_t>(v[c + 1])])
                    joinable = joinable || has(r[static_cast<std::size_t>(x)], y);
            expected = expected && joinable;
        }
        List table(v.size() * LookAheadRows);
        ASSERT_EQ(ValidateVariant(t, 30, 10, v, table), expected) << "round " << round;
        ASSERT_EQ(table, List(table.size(), UnknownSquare)) << "round " << round;
    }
}

// --- Search bursts ----------------------------------------------------------------

TEST(SearchBurst, FindsEveryFirstAndLinkSquareOnceInSearchOrder) {
    auto g = Anything();
    SetUpChain(*g, 0, 0,
               {{{0, 1}, {0, 2}}, {{1, 3}, {2, 3}, {1, 4}}, {{3, 5}, {4, 5}, {3, 6}}});
    Burster b(*g);
    b.UntilDone();
    const SubChainRecord& sc = g->SubChains[0];
    EXPECT_EQ(Variants(sc), (std::vector<List>{{0, 1, 3, 5}, {0, 1, 4, 5}}));
    EXPECT_TRUE(sc.Done.load());
    EXPECT_FALSE(sc.Exhausted.load());
}

TEST(SearchBurst, TheFirstPairMovesOnOnlyToPairsWithTheSameLeftSquareUnlessTheLimitMovesIt) {
    auto g = Anything();
    const std::vector<std::vector<SquarePair>> pairs{{{0, 1}, {7, 1}, {0, 2}}, {{1, 3}, {2, 3}}, {{3, 5}}};
    SetUpChain(*g, 0, 0, pairs);
    Burster b(*g);
    b.UntilDone();
    EXPECT_EQ(Variants(g->SubChains[0]), (std::vector<List>{{0, 1, 3, 5}}));
    // With a limit of one try per first pair every first pair gets its turn.
    SetUpChain(*g, 0, 0, pairs);
    b.scratch.Clear();
    b.job.SearchLimit = 1;
    b.UntilDone();
    EXPECT_EQ(Variants(g->SubChains[0]), (std::vector<List>{{0, 1, 3, 5}, {7, 1, 3, 5}}));
}

TEST(SearchBurst, PartsThatCanOnlyRepeatFoundVariantsArePassedOverWithTheirStepsCounted) {
    // Level 1 continues 1 with 3 or 4, level 2 continues both with 5 only:
    // once (0, 3) and (0, 4) are found from the first pair (0, 1), the
    // second first pair (0, 1) again can only repeat them; its part of the
    // search is passed over, counted as the search would have counted it.
    auto g = Anything();
    SetUpChain(*g, 0, 0, {{{0, 1}, {0, 1}}, {{1, 3}, {1, 4}, {2, 9}}, {{3, 5}, {4, 5}}});
    Burster b(*g);
    b.UntilDone();
    EXPECT_EQ(Variants(g->SubChains[0]), (std::vector<List>{{0, 1, 3, 5}, {0, 1, 4, 5}}));
    // Each first pair: level 1 scanned to its first match and on to the
    // second (1 + 1), level 2 to its end after each match (2 + 2).
    EXPECT_EQ(g->WorkerExchanges[0].Steps.load(), 12);
    EXPECT_TRUE(g->SubChains[0].Done.load());
}

TEST(SearchBurst, ASubChainWithoutACompleteChainEndsExhaustedWithoutVariant) {
    auto g = Anything();
    SetUpChain(*g, 0, 0, {{{0, 1}}, {{2, 3}}, {{3, 4}}});
    Burster b(*g);
    b.Burst();
    EXPECT_TRUE(g->SubChains[0].Done.load());
    EXPECT_TRUE(g->SubChains[0].Exhausted.load());
    EXPECT_EQ(g->SubChains[0].VariantCount.load(), 0);
}

TEST(SearchBurst, BurstsEndAfterTheirStepsAndTheNextOneGoesOnWhereItStopped) {
    // 16 column pairs of squares 0 and 1 in every combination: 2^16 chains
    // with only two first-and-link pairs, so the search goes on long after
    // it found both.
    const std::vector<SquarePair> any{{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    auto g = Anything();
    SetUpChain(*g, 0, 0, std::vector<std::vector<SquarePair>>(16, any));
    Burster b(*g);
    b.Burst();
    const SubChainRecord& sc = g->SubChains[0];
    EXPECT_EQ(Variants(sc).size(), 2u);
    // Parts of the search that can only repeat the two are passed over with
    // their pairs counted, but only where the search would not have stopped
    // on the way: the burst ends within one column pair past its 10000 steps.
    EXPECT_GE(g->WorkerExchanges[0].Steps.load(), 10000);
    EXPECT_LT(g->WorkerExchanges[0].Steps.load(), 10000 + 4);
    EXPECT_FALSE(sc.Done.load());
    const List cursor = sc.Cursor;
    b.Burst();
    EXPECT_NE(sc.Cursor, cursor);
    EXPECT_FALSE(sc.Done.load());
    // Without a variant (nothing may stand below 0 or 1) a burst takes
    // 50000 steps.
    std::vector<List> down(10), right(10, List{0, 1});
    auto h = Learned(down, right);
    SetUpChain(*h, 0, 0, std::vector<std::vector<SquarePair>>(16, any));
    Burster c(*h, 10);
    c.Burst();
    EXPECT_EQ(h->SubChains[0].VariantCount.load(), 0);
    EXPECT_GE(h->WorkerExchanges[0].Steps.load(), 50000);
    EXPECT_LT(h->WorkerExchanges[0].Steps.load(), 50000 + 64);
}

TEST(SearchBurst, ARestrictedSubChainSearchesOnlyItsFocus) {
    auto g = Anything();
    SetUpChain(*g, 0, 0, {{{0, 1}, {2, 1}, {3, 1}}, {{1, 4}}, {{4, 5}}});
    g->SubChains[0].Focus = {2};
    g->SubChains[0].Restricted = true;
    Burster b(*g);
    b.UntilDone();
    EXPECT_EQ(Variants(g->SubChains[0]), (std::vector<List>{{3, 1, 4, 5}}));
    // An empty focus ends the search at once.
    SetUpChain(*g, 0, 0, {{{0, 1}}, {{1, 4}}, {{4, 5}}});
    g->SubChains[0].Restricted = true;
    b.scratch.Clear();
    b.Burst();
    EXPECT_TRUE(g->SubChains[0].Done.load());
    EXPECT_TRUE(g->SubChains[0].Exhausted.load());
    // With one try per first pair the search moves past the only focus
    // entry once it has found a variant there: nothing is left to search,
    // and the sub-chain ends exhausted although it has a variant.
    SetUpChain(*g, 0, 0, {{{0, 1}, {2, 1}}, {{1, 4}}, {{4, 5}}});
    g->SubChains[0].Focus = {0};
    g->SubChains[0].Restricted = true;
    b.scratch.Clear();
    b.job.SearchLimit = 1;
    b.Burst();
    EXPECT_EQ(Variants(g->SubChains[0]), (std::vector<List>{{0, 1, 4, 5}}));
    EXPECT_TRUE(g->SubChains[0].Done.load());
    EXPECT_TRUE(g->SubChains[0].Exhausted.load());
}

TEST(SearchBurst, VariantsFailingValidationAreLeftOut) {
    // Nothing may stand below 6.
    List all{0, 1, 2, 3, 4, 5, 6, 7, 8};
    std::vector<List> down(10, all), right(10, all);
    down[6].clear();
    auto g = Learned(down, right);
    SetUpChain(*g, 0, 0, {{{0, 1}}, {{1, 3}}, {{3, 6}, {3, 5}}});
    Burster b(*g, 10);
    b.UntilDone();
    EXPECT_EQ(Variants(g->SubChains[0]), (std::vector<List>{{0, 1, 3, 5}}));
}

TEST(SearchBurst, AStopOrACancelEndsTheBurstAtOnce) {
    auto g = Anything();
    std::vector<SquarePair> level1(40000, SquarePair{8, 8});
    SetUpChain(*g, 0, 0, {{{0, 1}}, level1, {{3, 5}}});
    Burster b(*g);
    b.flags.StopRow = true;
    b.Burst();
    EXPECT_LE(g->WorkerExchanges[0].Steps.load(), 256);
    EXPECT_FALSE(g->SubChains[0].Done.load());
    b.flags.StopRow = false;
    b.cancel = true;
    b.Burst();
    EXPECT_LE(g->WorkerExchanges[0].Steps.load(), 256);
}

// --- Linking -----------------------------------------------------------------------

TEST(LinkingPass, ASingleSubChainIsLinkedByItsFirstVariant) {
    auto g = Anything();
    RowFlags flags;
    RowJob job;
    job.MapHeight = 30;
    SetVariants(*g, 0, 0, {{1, 2, 3}}, false);
    Linker().Pass(*g, *g, flags, job);
    EXPECT_TRUE(flags.RowLinked.load());
    EXPECT_EQ(g->Chosen[0].load(), 0);
}

TEST(LinkingPass, ChoosesTheFirstVariantsThatAgreeOnTheSharedColumns) {
    auto g = Anything();
    RowFlags flags;
    RowJob job;
    job.MapHeight = 30;
    job.LastRow = 10;
    // Link squares: column 2 of sub-chain 0 = column 0 of sub-chain 1, and
    // so on.
    SetVariants(*g, 0, 0, {{1, 1, 4, 1}, {1, 1, 5, 1}, {1, 1, 6, 1}}, false);
    SetVariants(*g, 1, 2, {{6, 2, 7, 2}, {5, 2, 8, 2}, {5, 3, 7, 3}}, false);
    SetVariants(*g, 2, 4, {{7, 1, 1}}, false);
    Linker().Pass(*g, *g, flags, job);
    ASSERT_TRUE(flags.RowLinked.load());
    EXPECT_EQ(g->Chosen[0].load(), 1);
    EXPECT_EQ(g->Chosen[1].load(), 2);
    EXPECT_EQ(g->Chosen[2].load(), 0);
}

TEST(LinkingPass, LookAheadSquaresThatDisagreeKeepVariantsApart) {
    auto g = Anything();
    RowFlags flags;
    RowJob job;
    job.MapHeight = 30;
    job.LastRow = 10;
    SetVariants(*g, 0, 0, {{1, 1, 4, 1}}, false, {{UnknownSquare, UnknownSquare, 5, UnknownSquare}});
    SetVariants(*g, 1, 2, {{4, 2, 2}, {4, 3, 3}}, false, {{6, UnknownSquare, UnknownSquare}, {5, 0, 0}});
    Linker().Pass(*g, *g, flags, job);
    ASSERT_TRUE(flags.RowLinked.load());
    EXPECT_EQ(g->Chosen[1].load(), 1);
    // Where no look-ahead row is left (min(9, 30 - 28 - 3) + 1 = 0), it
    // does not count.
    job.LastRow = 28;
    flags.RowLinked = false;
    SetVariants(*g, 1, 2, {{4, 2, 2}}, false, {{6, UnknownSquare, UnknownSquare}});
    Linker().Pass(*g, *g, flags, job);
    EXPECT_TRUE(flags.RowLinked.load());
}

TEST(LinkingPass, DoneNeighboursWithoutACommonSquareFailTheRow) {
    auto g = Anything();
    RowFlags flags;
    RowJob job;
    job.MapHeight = 30;
    SetVariants(*g, 0, 0, {{1, 1, 4, 1}}, true);
    SetVariants(*g, 1, 2, {{5, 2, 2}}, true);
    Linker().Pass(*g, *g, flags, job);
    EXPECT_TRUE(flags.RowFailed.load());
    EXPECT_TRUE(g->SubChains[0].Exhausted.load());
    EXPECT_TRUE(g->SubChains[1].Exhausted.load());
    // While one of them may still find variants, the linker waits.
    flags.RowFailed = false;
    SetVariants(*g, 0, 0, {{1, 1, 4, 1}}, true);
    SetVariants(*g, 1, 2, {{5, 2, 2}}, false);
    g->SubChains[1].Restricted = true;
    Linker().Pass(*g, *g, flags, job);
    EXPECT_FALSE(flags.RowFailed.load());
    EXPECT_FALSE(flags.RowLinked.load());
}

TEST(LinkingPass, ADoneSubChainFocusesItsRightNeighbourOnItsLinkSquares) {
    auto g = Anything();
    RowFlags flags;
    RowJob job;
    job.MapHeight = 30;
    SetVariants(*g, 0, 0, {{1, 1, 4, 1}, {1, 1, 6, 1}}, true);
    SetUpChain(*g, 1, 2, {{{5, 1}, {4, 2}, {6, 1}, {4, 3}}, {{1, 1}, {2, 2}, {3, 3}}});
    Linker().Pass(*g, *g, flags, job);
    EXPECT_TRUE(g->SubChains[1].Restricted.load());
    EXPECT_EQ(g->SubChains[1].Focus, (List{1, 2, 3}));
    // Nothing of the neighbour's first pairs continues: the row fails.
    RowFlags again;
    SetUpChain(*g, 1, 2, {{{5, 1}, {7, 2}}, {{1, 1}, {2, 2}}});
    Linker().Pass(*g, *g, again, job);
    EXPECT_TRUE(again.RowFailed.load());
}

TEST(LinkingPass, WhenEverySubChainIsDoneAndNothingLinksTheRowFails) {
    auto g = Anything();
    RowFlags flags;
    RowJob job;
    job.MapHeight = 30;
    job.LastRow = 5;
    SetVariants(*g, 0, 0, {{1, 1, 4, 1}}, true, {{0, 0, 3, 0}});
    SetVariants(*g, 1, 2, {{4, 2, 2}}, true, {{2, 0, 0}});
    Linker().Pass(*g, *g, flags, job);
    EXPECT_TRUE(flags.RowFailed.load());
    EXPECT_TRUE(g->SubChains[0].Exhausted.load() && g->SubChains[1].Exhausted.load());
    // A sub-chain without a variant once all are done fails the row too.
    RowFlags again;
    SetVariants(*g, 0, 0, {{1, 1, 4, 1}}, false);
    g->SubChains[1].Clear();
    g->SubChains[1].Len = 3;
    again.AllDone = true;
    Linker().Pass(*g, *g, again, job);
    EXPECT_TRUE(again.RowFailed.load());
}

// The index's lookup of a left square, with a table (few learned squares)
// and searched (many), against a scan of the pairs; built again over other
// pairs it forgets the squares it held.
TEST(SubChainIndex, FindsTheFirstPairOfEveryLeftSquareWithOrWithoutItsTable) {
    std::mt19937 rng(5);
    for (int squares : {12, SubChainScratch::DenseSquares + 7}) {
        SubChainScratch scratch;
        for (int round = 0; round < 20; ++round) {
            SCOPED_TRACE(std::to_string(squares) + " squares, round " + std::to_string(round));
            SubChainRecord sc;
            sc.Len = 4;
            sc.Pairs.resize(3);
            for (auto& level : sc.Pairs)
                for (std::uint32_t k = rng() % 12; k-- > 0;)
                    level.push_back({static_cast<std::int32_t>(rng() % 10 * (squares / 10)),
                                     static_cast<std::int32_t>(rng() % 3)});
            scratch.BuildIndex(sc, squares);
            for (std::size_t l = 0; l < sc.Pairs.size(); ++l) {
                const auto& ix = scratch.Levels[l];
                EXPECT_EQ(ix.EntryOf.empty(), squares > SubChainScratch::DenseSquares);
                for (std::int32_t s = -1; s <= squares; ++s) {
                    const auto& pairs = sc.Pairs[l];
                    const auto first =
                        std::find_if(pairs.begin(), pairs.end(), [&](const SquarePair& p) { return p.Left == s; });
                    const int entry = ix.Find(s);
                    if (first == pairs.end()) {
                        EXPECT_EQ(entry, -1) << s;
                        continue;
                    }
                    ASSERT_GE(entry, 0) << s;
                    EXPECT_EQ(ix.First[static_cast<std::size_t>(entry)],
                              std::make_pair(s, static_cast<std::int32_t>(first - pairs.begin())));
                }
            }
        }
    }
}
