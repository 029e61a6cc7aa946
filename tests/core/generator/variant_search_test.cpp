// The work of the generator's threads on hand-made rows: validation with
// look-ahead, search bursts, and linking passes.

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "row_preparation.h"
#include "variant_search.h"

using namespace zorvane;

namespace {

using List = std::vector<std::int32_t>;

// Learned squares made by hand: square i has ground i; the last square is
// the empty square.
std::unique_ptr<TMapGenerator> Learned(const std::vector<List>& down, const std::vector<List>& right) {
    auto g = std::make_unique<TMapGenerator>();
    std::vector<TSqMatch> squares(down.size());
    for (std::size_t i = 0; i < squares.size(); ++i) {
        squares[i].Gnd = i + 1 == squares.size() ? NoBitmap : static_cast<std::uint16_t>(i);
        squares[i].Down = down[i];
        squares[i].Right = right[i];
    }
    g->SetSquares(std::move(squares));
    g->Learned = true;
    return g;
}

// Sub-chain i from `start` with these pairs per column pair, nothing found.
void SetUpChain(TMapGenerator& g, int i, int start, const std::vector<std::vector<SqPair>>& pairs) {
    TSubChain& sc = g.SC[static_cast<std::size_t>(i)];
    sc.Clear();
    sc.start = start;
    sc.Len = static_cast<int>(pairs.size()) + 1;
    sc.Pairs = pairs;
    for (const auto& p : pairs) sc.PairCounts.push_back(static_cast<std::int32_t>(p.size()));
    sc.MaxVariants = std::min<std::int32_t>(100000, sc.PairCounts.front() * sc.PairCounts.back());
    sc.sqlines.reserve(static_cast<std::size_t>(sc.MaxVariants) + 1);
    sc.sqlines.emplace_back(static_cast<std::size_t>(sc.Len), 0);
    sc.LookAhead.reserve(static_cast<std::size_t>(sc.MaxVariants) + 1);
    sc.LookAhead.emplace_back(static_cast<std::size_t>(sc.Len) * LookAheadRows, 0);
    sc.Cursor.assign(pairs.size(), 0);
    g.SCCount = std::max(g.SCCount, i + 1);
}

// Sub-chain i holding these variants, done or not; look-ahead unknown
// unless given.
void SetVariants(TMapGenerator& g, int i, int start, const std::vector<List>& variants, bool done,
                 const std::vector<List>& lookAhead = {}) {
    TSubChain& sc = g.SC[static_cast<std::size_t>(i)];
    sc.Clear();
    sc.start = start;
    sc.Len = static_cast<int>(variants.front().size());
    sc.MaxVariants = 1000;
    sc.Pairs.assign(static_cast<std::size_t>(sc.Len) - 1, {});
    sc.sqlines = variants;
    for (std::size_t k = 0; k < variants.size(); ++k) {
        List la(static_cast<std::size_t>(sc.Len) * LookAheadRows, UnknownSquare);
        if (k < lookAhead.size())
            for (std::size_t c = 0; c < lookAhead[k].size(); ++c) la[c * LookAheadRows] = lookAhead[k][c];
        sc.LookAhead.push_back(la);
    }
    sc.VariantCount = static_cast<std::int32_t>(variants.size());
    sc.Done = done;
    g.SCCount = std::max(g.SCCount, i + 1);
}

std::vector<List> Variants(const TSubChain& sc) {
    return {sc.sqlines.begin(), sc.sqlines.begin() + sc.VariantCount.load()};
}

struct Burster {
    TMapGenerator& g;
    RowFlags flags;
    RowJob job;
    SearchTables tables;
    SubChainScratch scratch;
    std::atomic<bool> cancel{false};
    explicit Burster(TMapGenerator& gen, int row = 20) : g(gen), tables(gen) {
        job.MapHeight = 24;  // row 20 is the last inner row: no validation
        job.Row = row;
        job.Tables = &tables;
    }
    void Burst(int s = 0) { RunBurst(g, s, g.ThrFields[0], flags, job, scratch, cancel); }
    void UntilDone(int s = 0) {
        for (int i = 0; i < 100 && !g.SC[static_cast<std::size_t>(s)].Done.load(); ++i) Burst(s);
    }
};

// Ten squares that may stand anywhere, the last the empty square.
std::unique_ptr<TMapGenerator> Anything(int n = 10) {
    List all;
    for (int i = 0; i + 1 < n; ++i) all.push_back(i);
    return Learned(std::vector<List>(static_cast<std::size_t>(n), all), std::vector<List>(static_cast<std::size_t>(n), all));
}

}  // namespace

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

// --- Search bursts ----------------------------------------------------------------

TEST(SearchBurst, FindsEveryFirstAndLinkSquareOnceInSearchOrder) {
    auto g = Anything();
    SetUpChain(*g, 0, 0,
               {{{0, 1}, {0, 2}}, {{1, 3}, {2, 3}, {1, 4}}, {{3, 5}, {4, 5}, {3, 6}}});
    Burster b(*g);
    b.UntilDone();
    const TSubChain& sc = g->SC[0];
    EXPECT_EQ(Variants(sc), (std::vector<List>{{0, 1, 3, 5}, {0, 1, 4, 5}}));
    EXPECT_TRUE(sc.Done.load());
    EXPECT_FALSE(sc.Exhausted.load());
}

TEST(SearchBurst, TheFirstPairMovesOnOnlyToPairsWithTheSameLeftSquareUnlessTheLimitMovesIt) {
    auto g = Anything();
    const std::vector<std::vector<SqPair>> pairs{{{0, 1}, {7, 1}, {0, 2}}, {{1, 3}, {2, 3}}, {{3, 5}}};
    SetUpChain(*g, 0, 0, pairs);
    Burster b(*g);
    b.UntilDone();
    EXPECT_EQ(Variants(g->SC[0]), (std::vector<List>{{0, 1, 3, 5}}));
    // With a limit of one try per first pair every first pair gets its turn.
    SetUpChain(*g, 0, 0, pairs);
    b.scratch.Clear();
    b.job.SearchLimit = 1;
    b.UntilDone();
    EXPECT_EQ(Variants(g->SC[0]), (std::vector<List>{{0, 1, 3, 5}, {7, 1, 3, 5}}));
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
    EXPECT_EQ(Variants(g->SC[0]), (std::vector<List>{{0, 1, 3, 5}, {0, 1, 4, 5}}));
    // Each first pair: level 1 scanned to its first match and on to the
    // second (1 + 1), level 2 to its end after each match (2 + 2).
    EXPECT_EQ(g->ThrFields[0].Steps.load(), 12);
    EXPECT_TRUE(g->SC[0].Done.load());
}

namespace {

// The search as a plain loop: every pair of a column pair examined one by
// one (one step each), the next pair with the same left square found by a
// plain scan, duplicates of first and link square dropped.
struct PlainSearch {
    std::vector<List> variants;
    std::int64_t steps = 0;
};
PlainSearch SearchPlainly(const std::vector<std::vector<SqPair>>& pairs, std::size_t maxVariants) {
    PlainSearch r;
    const int last = static_cast<int>(pairs.size()) - 1;
    auto size = [&](int l) { return static_cast<int>(pairs[static_cast<std::size_t>(l)].size()); };
    auto at = [&](int l, int i) { return pairs[static_cast<std::size_t>(l)][static_cast<std::size_t>(i)]; };
    std::vector<int> cur(pairs.size(), 0);
    List v(pairs.size() + 1);
    std::set<std::pair<int, int>> keys;
    int depth = 0;
    for (;;) {
        bool deeper = false;
        if (cur[depth] < size(depth)) {
            const SqPair k = at(depth, cur[depth]);
            if (depth == 0) v[0] = k.Left;
            const int l = depth + 1;
            for (; cur[l] < size(l); ++cur[l]) {
                ++r.steps;
                const SqPair p = at(l, cur[l]);
                if (p.Left != k.Right) continue;
                v[l] = p.Left;
                if (l < last) {
                    ++depth;
                    deeper = true;
                    break;
                }
                v[l + 1] = p.Right;
                if (keys.insert({v[0], v[l]}).second) r.variants.push_back(v);
                if (r.variants.size() >= maxVariants) return r;
            }
        }
        if (deeper) continue;
        for (int m = last; m >= 1; --m) {
            if (cur[m] < size(m)) continue;
            cur[m] = 0;
            depth = std::max(m - 2, 0);
            const int left = cur[m - 1] < size(m - 1) ? at(m - 1, cur[m - 1]).Left : -1;
            if (cur[m - 1] < size(m - 1))
                for (++cur[m - 1]; cur[m - 1] < size(m - 1) && at(m - 1, cur[m - 1]).Left != left; ++cur[m - 1]) {
                }
        }
        if (cur[0] >= size(0)) return r;
    }
}

}  // namespace

TEST(SearchBurst, FindsWhatAPlainSearchFindsAndCountsItsStepsAlike) {
    GeneratorRng rng(17);
    int compared = 0;
    for (int round = 0; round < 400; ++round) {
        const int levels = 2 + static_cast<int>(UniformBelow(rng, 4));
        std::vector<std::vector<SqPair>> pairs(static_cast<std::size_t>(levels));
        for (auto& level : pairs) {
            const int n = 1 + static_cast<int>(UniformBelow(rng, 7));
            for (int i = 0; i < n; ++i)
                level.push_back({static_cast<std::int32_t>(UniformBelow(rng, 4)),
                                 static_cast<std::int32_t>(UniformBelow(rng, 4))});
        }
        auto g = Anything();
        SetUpChain(*g, 0, 0, pairs);
        const PlainSearch plain = SearchPlainly(pairs, static_cast<std::size_t>(g->SC[0].MaxVariants));
        if (plain.steps > 9000) continue;  // one burst holds it all
        Burster b(*g);
        b.Burst();
        ASSERT_EQ(Variants(g->SC[0]), plain.variants) << "round " << round;
        ASSERT_EQ(g->ThrFields[0].Steps.load(), plain.steps) << "round " << round;
        EXPECT_TRUE(g->SC[0].Done.load());
        ++compared;
    }
    EXPECT_GT(compared, 300);
}

TEST(SearchBurst, ASubChainWithoutACompleteChainEndsExhaustedWithoutVariant) {
    auto g = Anything();
    SetUpChain(*g, 0, 0, {{{0, 1}}, {{2, 3}}, {{3, 4}}});
    Burster b(*g);
    b.Burst();
    EXPECT_TRUE(g->SC[0].Done.load());
    EXPECT_TRUE(g->SC[0].Exhausted.load());
    EXPECT_EQ(g->SC[0].VariantCount.load(), 0);
}

TEST(SearchBurst, BurstsEndAfterTheirStepsAndTheNextOneGoesOnWhereItStopped) {
    // 16 column pairs of squares 0 and 1 in every combination: 2^16 chains
    // with only two first-and-link pairs, so the search goes on long after
    // it found both.
    const std::vector<SqPair> any{{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    auto g = Anything();
    SetUpChain(*g, 0, 0, std::vector<std::vector<SqPair>>(16, any));
    Burster b(*g);
    b.Burst();
    const TSubChain& sc = g->SC[0];
    EXPECT_EQ(Variants(sc).size(), 2u);
    // Parts of the search that can only repeat the two are passed over with
    // their pairs counted, so a burst may end well beyond its 10000 steps.
    EXPECT_GE(g->ThrFields[0].Steps.load(), 10000);
    EXPECT_FALSE(sc.Done.load());
    const List cursor = sc.Cursor;
    b.Burst();
    EXPECT_NE(sc.Cursor, cursor);
    EXPECT_FALSE(sc.Done.load());
    // Without a variant (nothing may stand below 0 or 1) a burst takes
    // 50000 steps.
    std::vector<List> down(10), right(10, List{0, 1});
    auto h = Learned(down, right);
    SetUpChain(*h, 0, 0, std::vector<std::vector<SqPair>>(16, any));
    Burster c(*h, 10);
    c.Burst();
    EXPECT_EQ(h->SC[0].VariantCount.load(), 0);
    EXPECT_GE(h->ThrFields[0].Steps.load(), 50000);
    EXPECT_LT(h->ThrFields[0].Steps.load(), 50000 + 64);
}

TEST(SearchBurst, ARestrictedSubChainSearchesOnlyItsFocus) {
    auto g = Anything();
    SetUpChain(*g, 0, 0, {{{0, 1}, {2, 1}, {3, 1}}, {{1, 4}}, {{4, 5}}});
    g->SC[0].Focus = {2};
    g->SC[0].Restricted = true;
    Burster b(*g);
    b.UntilDone();
    EXPECT_EQ(Variants(g->SC[0]), (std::vector<List>{{3, 1, 4, 5}}));
    // An empty focus ends the search at once.
    SetUpChain(*g, 0, 0, {{{0, 1}}, {{1, 4}}, {{4, 5}}});
    g->SC[0].Restricted = true;
    b.scratch.Clear();
    b.Burst();
    EXPECT_TRUE(g->SC[0].Done.load());
    EXPECT_TRUE(g->SC[0].Exhausted.load());
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
    EXPECT_EQ(Variants(g->SC[0]), (std::vector<List>{{0, 1, 3, 5}}));
}

TEST(SearchBurst, AStopOrACancelEndsTheBurstAtOnce) {
    auto g = Anything();
    std::vector<SqPair> level1(40000, SqPair{8, 8});
    SetUpChain(*g, 0, 0, {{{0, 1}}, level1, {{3, 5}}});
    Burster b(*g);
    b.flags.StopRow = true;
    b.Burst();
    EXPECT_LE(g->ThrFields[0].Steps.load(), 256);
    EXPECT_FALSE(g->SC[0].Done.load());
    b.flags.StopRow = false;
    b.cancel = true;
    b.Burst();
    EXPECT_LE(g->ThrFields[0].Steps.load(), 256);
}

// --- Linking -----------------------------------------------------------------------

TEST(LinkingPass, ASingleSubChainIsLinkedByItsFirstVariant) {
    auto g = Anything();
    RowFlags flags;
    RowJob job;
    job.MapHeight = 30;
    SetVariants(*g, 0, 0, {{1, 2, 3}}, false);
    Linker().Pass(*g, flags, job);
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
    Linker().Pass(*g, flags, job);
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
    Linker().Pass(*g, flags, job);
    ASSERT_TRUE(flags.RowLinked.load());
    EXPECT_EQ(g->Chosen[1].load(), 1);
    // Where no look-ahead row is left (min(9, 30 - 28 - 3) + 1 = 0), it
    // does not count.
    job.LastRow = 28;
    flags.RowLinked = false;
    SetVariants(*g, 1, 2, {{4, 2, 2}}, false, {{6, UnknownSquare, UnknownSquare}});
    Linker().Pass(*g, flags, job);
    EXPECT_TRUE(flags.RowLinked.load());
}

TEST(LinkingPass, DoneNeighboursWithoutACommonSquareFailTheRow) {
    auto g = Anything();
    RowFlags flags;
    RowJob job;
    job.MapHeight = 30;
    SetVariants(*g, 0, 0, {{1, 1, 4, 1}}, true);
    SetVariants(*g, 1, 2, {{5, 2, 2}}, true);
    Linker().Pass(*g, flags, job);
    EXPECT_TRUE(flags.RowFailed.load());
    EXPECT_TRUE(g->SC[0].Exhausted.load());
    EXPECT_TRUE(g->SC[1].Exhausted.load());
    // While one of them may still find variants, the linker waits.
    flags.RowFailed = false;
    SetVariants(*g, 0, 0, {{1, 1, 4, 1}}, true);
    SetVariants(*g, 1, 2, {{5, 2, 2}}, false);
    g->SC[1].Restricted = true;
    Linker().Pass(*g, flags, job);
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
    Linker().Pass(*g, flags, job);
    EXPECT_TRUE(g->SC[1].Restricted.load());
    EXPECT_EQ(g->SC[1].Focus, (List{1, 2, 3}));
    // Nothing of the neighbour's first pairs continues: the row fails.
    RowFlags again;
    SetUpChain(*g, 1, 2, {{{5, 1}, {7, 2}}, {{1, 1}, {2, 2}}});
    Linker().Pass(*g, again, job);
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
    Linker().Pass(*g, flags, job);
    EXPECT_TRUE(flags.RowFailed.load());
    EXPECT_TRUE(g->SC[0].Exhausted.load() && g->SC[1].Exhausted.load());
    // A sub-chain without a variant once all are done fails the row too.
    RowFlags again;
    SetVariants(*g, 0, 0, {{1, 1, 4, 1}}, false);
    g->SC[1].Clear();
    g->SC[1].Len = 3;
    again.AllDone = true;
    Linker().Pass(*g, again, job);
    EXPECT_TRUE(again.RowFailed.load());
}
