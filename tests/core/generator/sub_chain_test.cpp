#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

#include "generator/search/row_preparation.h"
#include "row_preparation_fixtures.h"
#include "learned_run.h"

using namespace zorvane;
using namespace zorvane::row_preparation_fixtures;

// --- Sub-chains -------------------------------------------------------------------

namespace {

// Column joins with the given number of pairs (i, i) per column pair.
void SetPairCounts(LearnedRun& g, const std::vector<int>& counts) {
    std::vector<std::vector<SquarePair>> joins;
    for (int n : counts) {
        std::vector<SquarePair> pairs;
        for (int i = 0; i < n; ++i) pairs.push_back({i % 8, i % 8});
        joins.push_back(pairs);
    }
    SetJoins(g, joins);
}

}  // namespace

TEST(SubChains, TheNarrowestMapIsOneSubChainOfTenColumns) {
    auto g = MakeGenerator(AllowAll());
    RowPreparer prep(*g, *g, Settings(14));
    SetPairCounts(*g, {3, 4, 5, 6, 7, 8, 9, 10, 2});
    g->EliminatedJoins[1][0] = 1;  // eliminated pairs are not handed on
    prep.SplitIntoSubChains();
    ASSERT_EQ(g->SubChainCount, 1);
    EXPECT_EQ(g->SubChainBorders, (List{0, 8}));
    const SubChainRecord& sc = g->SubChains[0];
    EXPECT_EQ(sc.start, 0);
    EXPECT_EQ(sc.Len, 10);
    EXPECT_EQ(sc.PairCounts, (List{3, 3, 5, 6, 7, 8, 9, 10, 2}));
    EXPECT_EQ(sc.Pairs[1].size(), 3u);
    EXPECT_EQ(sc.Pairs[4], g->ColumnPairJoins[4]);
    EXPECT_EQ(sc.MaxVariants, 6);
    ASSERT_EQ(sc.Variants.size(), 1u);  // the variant being built
    EXPECT_EQ(sc.Variants[0], List(10, 0));
    EXPECT_GE(sc.Variants.capacity(), 7u);
    EXPECT_EQ(sc.LookAhead[0].size(), 100u);
    EXPECT_EQ(sc.Cursor, List(9, 0));
    EXPECT_EQ(sc.Below.size(), 10u);
    EXPECT_FALSE(sc.Busy || sc.Done || sc.Exhausted || sc.Frozen || sc.Restricted);
    EXPECT_EQ(sc.Owner, -1);
    EXPECT_EQ(sc.VariantCount, 0);
    EXPECT_EQ(g->SubChains[1].Len, 0);
}

TEST(SubChains, BordersLieAtTheFewestPairsAroundEveryTenth) {
    auto g = MakeGenerator(AllowAll());
    RowPreparer prep(*g, *g, Settings(34));  // 29 column pairs, 3 sub-chains
    std::vector<int> counts(29, 5);
    counts[6] = 1;   // outside the first window (7..13)
    counts[9] = 2;   // the first of two fewest
    counts[12] = 2;
    counts[20] = 1;  // second window 16..22
    counts[28] = 400;
    counts[0] = 400;
    SetPairCounts(*g, counts);
    prep.SplitIntoSubChains();
    ASSERT_EQ(g->SubChainCount, 3);
    EXPECT_EQ(g->SubChainBorders, (List{0, 9, 20, 28}));
    EXPECT_EQ(g->SubChains[0].Len, 11);
    EXPECT_EQ(g->SubChains[1].start, 9);
    EXPECT_EQ(g->SubChains[1].Len, 13);
    EXPECT_EQ(g->SubChains[2].Len, 10);
    EXPECT_EQ(g->SubChains[0].MaxVariants, 800);
    EXPECT_EQ(g->SubChains[1].MaxVariants, 2);
    EXPECT_EQ(g->SubChains[2].MaxVariants, 400);
    EXPECT_EQ(g->SubChains[1].Pairs.front(), g->SubChains[0].Pairs.back()) << "neighbours share a column pair";

    std::fill(counts.begin() + 16, counts.begin() + 23, 400);
    SetPairCounts(*g, counts);
    prep.SplitIntoSubChains();
    EXPECT_EQ(g->SubChainBorders, (List{0, 9, 16, 28}));
    EXPECT_EQ(g->SubChains[1].MaxVariants, 800);
    EXPECT_EQ(g->SubChains[2].MaxVariants, 100000) << "at most 100000 variants";
}

TEST(SubChains, TheWidestMapHasTwentyOneSubChains) {
    auto g = MakeGenerator(AllowAll());
    RowPreparer prep(*g, *g, Settings(206));
    SetPairCounts(*g, std::vector<int>(201, 1));
    prep.SplitIntoSubChains();
    ASSERT_EQ(g->SubChainCount, MaxSubChains);
    EXPECT_EQ(g->SubChainBorders.front(), 0);
    EXPECT_EQ(g->SubChainBorders.back(), 200);
    for (int i = 0; i < g->SubChainCount; ++i) {
        const SubChainRecord& sc = g->SubChains[static_cast<std::size_t>(i)];
        EXPECT_EQ(sc.start + sc.Len - 2, g->SubChainBorders[static_cast<std::size_t>(i) + 1]);
        EXPECT_GE(sc.Len, 3);
    }
}

namespace {

std::vector<SquarePair> SortedPairs(std::vector<SquarePair> v) {
    std::sort(v.begin(), v.end(),
              [](SquarePair a, SquarePair b) { return std::pair(a.Left, a.Right) < std::pair(b.Left, b.Right); });
    return v;
}

}  // namespace

TEST(Repreparation, SpendsFreezePointsResetsUnfinishedSubChainsAndKeepsVariants) {
    auto g = MakeGenerator(AllowAll());
    RowPreparer prep(*g, *g, Settings(44));  // 39 column pairs, 4 sub-chains
    std::vector<std::vector<SquarePair>> joins(39);
    for (auto& j : joins)
        for (int a = 0; a < 6; ++a) j.push_back({a, (a + 1) % 6});
    SetJoins(*g, joins);
    prep.SplitIntoSubChains();
    ASSERT_EQ(g->SubChainCount, 4);
    auto& sc = g->SubChains;
    sc[0].Frozen = true;
    sc[0].FreezePoints = 3;
    sc[0].Done = true;
    sc[0].VariantCount = sc[0].MaxVariants;  // finished: left alone
    sc[0].Cursor[2] = 4;
    sc[1].Done = true;
    sc[1].VariantCount = 2;
    sc[1].Variants.push_back(List(static_cast<std::size_t>(sc[1].Len), 7));
    sc[1].Cursor[0] = 5;
    sc[1].Exhausted = true;
    sc[1].Owner = 2;
    sc[1].Busy = true;
    sc[1].Tries = 99;
    sc[1].Focus = {2, 4};
    sc[1].Restricted = true;
    const SquarePair focused2 = sc[1].Pairs[0][2], focused4 = sc[1].Pairs[0][4];
    const auto before = sc[1].Pairs;
    sc[2].Frozen = true;
    sc[2].FreezePoints = 1;
    sc[3].Frozen = true;
    sc[3].FreezePoints = 5;

    GeneratorRng rng(9);
    prep.Reprepare(rng);
    EXPECT_TRUE(sc[0].Frozen);
    EXPECT_EQ(sc[0].FreezePoints, 2) << "one thawed neighbour";
    EXPECT_EQ(sc[0].Cursor[2], 4);
    EXPECT_FALSE(sc[2].Frozen) << "its one point spent";
    EXPECT_EQ(sc[2].FreezePoints, 0);
    EXPECT_TRUE(sc[3].Frozen);
    EXPECT_EQ(sc[3].FreezePoints, 5) << "its only neighbour was frozen";
    EXPECT_TRUE(sc[3].Done) << "frozen sub-chains are done";
    EXPECT_FALSE(sc[2].Done);

    EXPECT_FALSE(sc[1].Done || sc[1].Exhausted || sc[1].Busy);
    EXPECT_EQ(sc[1].Owner, -1);
    EXPECT_EQ(sc[1].Tries, 0);
    EXPECT_EQ(sc[1].Cursor, List(sc[1].Cursor.size(), 0));
    EXPECT_EQ(sc[1].VariantCount, 2);
    EXPECT_EQ(sc[1].Variants[1], List(static_cast<std::size_t>(sc[1].Len), 7)) << "variants kept";
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
    RowPreparer neutral(*g, *g, Settings(14));
    const List cands{2, 2, 2, 0};
    int twos = 0;
    for (int i = 0; i < 20000; ++i) twos += neutral.ChooseSquare(cands, rng) == 2;
    EXPECT_NEAR(twos / 20000.0, 0.75, 0.02);

    RowSettings s = Settings(14);
    s.Choice = {1.0, true};
    RowPreparer connectors(*g, *g, s);
    s.Choice = {0.0, true};
    RowPreparer avoidConnectors(*g, *g, s);
    s.Choice = {1.0, false};
    RowPreparer combinations(*g, *g, s);
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(connectors.ChooseSquare(cands, rng), 0);
        EXPECT_EQ(avoidConnectors.ChooseSquare(cands, rng), 2);
        EXPECT_EQ(combinations.ChooseSquare(List{0, 1, 2, 1}, rng), 2);
    }
    EXPECT_THROW(neutral.ChooseSquare(List{}, rng), Error);

    s.Choice = {0.75, true};  // a leaning: connector squares more often, not always
    RowPreparer leaning(*g, *g, s);
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

// Per column, the squares of `cols` some complete row uses (all empty when
// none does), by reach from the first column and back from the last.
std::vector<List> ReferenceLive(const LearnedRun& g, const std::vector<List>& cols, bool noTwins) {
    auto joins = [&](std::int32_t a, std::int32_t b) { return !(noTwins && a == b) && Contains(g.Sq(a).Right, b); };
    std::vector<List> fwd(cols.size()), live(cols.size());
    for (std::size_t c = 0; c < cols.size(); ++c)
        for (std::int32_t v : cols[c]) {
            bool reached = c == 0;
            for (std::int32_t a : c > 0 ? fwd[c - 1] : List{}) reached = reached || joins(a, v);
            if (reached && !Contains(fwd[c], v)) fwd[c].push_back(v);
        }
    for (std::size_t c = cols.size(); c-- > 0;)
        for (std::int32_t v : fwd[c]) {
            bool onward = c + 1 == cols.size();
            for (std::int32_t b : c + 1 < cols.size() ? live[c + 1] : List{}) onward = onward || joins(v, b);
            if (onward) live[c].push_back(v);
        }
    for (const auto& col : live)
        if (col.empty()) return std::vector<List>(cols.size());
    return live;
}

// The object filter on column candidates as described, looking everything up
// in the lists themselves; in a row that can be completed, the last copy of
// a square some complete row uses goes only when a complete row is left.
void ReferenceThin(const LearnedRun& g, std::vector<List>& cols, const std::vector<double>& p, GeneratorRng& rng,
                   bool noTwins) {
    const int n = g.SquareCount();
    const bool completable = !ReferenceLive(g, cols, noTwins)[0].empty();
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
            int copies = 0;
            for (std::size_t k = 0; k < col.size(); ++k) copies += !gone[k] && col[k] == v;
            std::vector<List> now = cols;
            now[c].clear();
            for (std::size_t k = 0; k < col.size(); ++k)
                if (!gone[k]) now[c].push_back(col[k]);
            if (completable && copies == 1 && Contains(ReferenceLive(g, now, noTwins)[c], v)) {
                std::erase(now[c], v);
                if (ReferenceLive(g, now, noTwins)[0].empty()) continue;
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

std::vector<std::vector<SquarePair>> ReferenceJoins(const LearnedRun& g, const std::vector<List>& cols,
                                                    bool noTwins) {
    std::vector<std::vector<SquarePair>> joins(cols.size() - 1);
    for (std::size_t c = 0; c + 1 < cols.size(); ++c)
        for (std::int32_t a : cols[c])
            for (std::int32_t b : g.Sq(a).Right)
                if (!(noTwins && a == b))
                    for (std::int32_t r : cols[c + 1])
                        if (r == b) joins[c].push_back({a, b});
    return joins;
}

std::vector<Flags> ReferenceEliminate(const std::vector<std::vector<SquarePair>>& joins) {
    std::vector<Flags> off;
    for (const auto& j : joins) off.emplace_back(j.size(), 0);
    auto liveWith = [&](std::size_t c, auto pred) {
        for (std::size_t i = 0; i < joins[c].size(); ++i)
            if (!off[c][i] && pred(joins[c][i])) return true;
        return false;
    };
    for (std::size_t c = joins.size() - 1; c-- > 0;)
        for (std::size_t i = 0; i < joins[c].size(); ++i)
            if (!off[c][i] && !liveWith(c + 1, [&](SquarePair q) { return q.Left == joins[c][i].Right; }))
                off[c][i] = 1;
    for (std::size_t c = 0; c + 1 < joins.size(); ++c)
        for (std::size_t i = 0; i < joins[c + 1].size(); ++i)
            if (!off[c + 1][i] && !liveWith(c, [&](SquarePair q) { return q.Right == joins[c + 1][i].Left; }))
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
        RowPreparer prep(*g, *g, s);
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
        if (prep.FilterInForce()) ReferenceThin(*g, cols, p, theirs, noTwins);
        prep.BuildColumnCandidates(above, mine);
        ASSERT_EQ(g->ColumnCandidates, cols) << "round " << round;
        ASSERT_EQ(mine(), theirs());

        prep.BuildJoinLists();
        const auto joins = ReferenceJoins(*g, cols, noTwins);
        ASSERT_EQ(g->ColumnPairJoins, joins) << "round " << round;
        prep.Eliminate();
        ASSERT_EQ(g->EliminatedJoins, ReferenceEliminate(joins)) << "round " << round;
    }
}
