// Rows prepared with occurrence counts: the pairs come from the candidates
// some complete row uses, the unlikely ones trimmed, against a plain
// reference (every pair built, eliminated until nothing changes, trimmed,
// eliminated again); and the full lists once a trimmed row failed.

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "generator/search/frequency_weights.h"
#include "row_preparation_fixtures.h"
#include "learned_run.h"

using namespace zorvane;
using namespace zorvane::row_preparation_fixtures;

namespace {

using Rows = std::vector<std::vector<SquarePair>>;

bool Less(const SquarePair& x, const SquarePair& y) { return std::tie(x.Left, x.Right) < std::tie(y.Left, y.Right); }

// Random lists and skewed counts over n squares (the last the empty one).
std::unique_ptr<LearnedRun> RandomCounted(GeneratorRng& rng, int n) {
    Learned l;
    l.down.resize(static_cast<std::size_t>(n));
    l.right.resize(static_cast<std::size_t>(n));
    for (int s = 0; s < n; ++s)
        for (int t = 0; t + 1 < n; ++t) {
            if (s + 1 == n || rng() % 3 != 0) l.down[static_cast<std::size_t>(s)].push_back(t);
            if (s + 1 == n || rng() % 2 != 0) l.right[static_cast<std::size_t>(s)].push_back(t);
        }
    auto g = MakeGenerator(l);
    g->Counts.Squares.assign(static_cast<std::size_t>(n), 0);
    for (int s = 0; s + 1 < n; ++s) {
        g->Counts.Squares[static_cast<std::size_t>(s)] = 1 << (rng() % 14);
        for (int t = 0; t + 1 < n; ++t) {
            g->Counts.AddJoin(JoinDir::Down, s, t, static_cast<std::int64_t>(1) << (rng() % 12));
            g->Counts.AddJoin(JoinDir::Right, s, t, static_cast<std::int64_t>(1) << (rng() % 12));
        }
    }
    return g;
}

// Drops pairs without a pair to either side that joins them until none is left.
void EliminateFully(Rows& rows) {
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t c = 0; c < rows.size(); ++c) {
            const auto n = rows[c].size();
            std::erase_if(rows[c], [&](const SquarePair& p) {
                const bool left = c == 0 || std::any_of(rows[c - 1].begin(), rows[c - 1].end(),
                                                        [&](const SquarePair& q) { return q.Right == p.Left; });
                const bool right =
                    c + 1 == rows.size() || std::any_of(rows[c + 1].begin(), rows[c + 1].end(),
                                                        [&](const SquarePair& q) { return q.Left == p.Right; });
                return !(left && right);
            });
            changed = changed || rows[c].size() != n;
        }
    }
}

Rows Sorted(Rows rows) {
    for (auto& r : rows) std::sort(r.begin(), r.end(), Less);
    return rows;
}

struct Case {
    std::unique_ptr<LearnedRun> g;
    std::unique_ptr<RowPreparer> prep;
    List above;
    GeneratorRng rng{1};

    explicit Case(std::uint64_t seed) : rng(seed) {
        g = RandomCounted(rng, 4 + static_cast<int>(rng() % 6));
        prep = std::make_unique<RowPreparer>(*g, *g, Settings(14));
        above.clear();
        for (int c = 0; c < 10; ++c) above.push_back(static_cast<std::int32_t>(rng() % g->SquareCount()) - 1);
    }
    Rows Prepare(int row) {
        prep->BuildColumnCandidates(above, rng);
        prep->BuildColumnJoins(row, rng);
        return Sorted(g->ColumnPairJoins);
    }
    // Every pair of the candidates, eliminated; then trimmed as the preparer
    // does unless that kills a column pair. Call after Prepare (the
    // running correction of the row is then in place).
    std::pair<Rows, Rows> Reference() {
        prep->BuildJoinLists();
        Rows full = g->ColumnPairJoins;
        EliminateFully(full);
        FrequencyWeights weights(*g, kGenerationShaping);
        weights.Correct(prep->Placed());
        Rows trimmed = full;
        for (std::size_t c = 0; c < trimmed.size(); ++c) {
            const auto weigh = weights.ForColumns(above[c], above[c + 1]);
            double best = 0;
            for (const SquarePair& p : trimmed[c]) best = std::max(best, weigh(p));
            std::erase_if(trimmed[c], [&](const SquarePair& p) { return weigh(p) < kGenerationShaping.Trim * best; });
        }
        EliminateFully(trimmed);
        if (std::any_of(trimmed.begin(), trimmed.end(), [](const auto& r) { return r.empty(); })) trimmed = full;
        return {Sorted(full), Sorted(trimmed)};
    }
};

}  // namespace

TEST(FrequencyTrim, RowsHoldTheLikelyPairsOfCompleteRowsAsAPlainReferenceFindsThem) {
    int trimmedRows = 0, deadRows = 0;
    for (std::uint64_t seed = 1; seed <= 400; ++seed) {
        SCOPED_TRACE(seed);
        Case k(seed);
        ASSERT_TRUE(k.prep->FavoursFrequent());
        const Rows got = k.Prepare(5);
        const auto [full, trimmed] = k.Reference();
        EXPECT_EQ(got.size(), full.size());
        for (std::size_t c = 0; c < got.size(); ++c) EXPECT_EQ(got[c], trimmed[c]) << "column pair " << c;
        trimmedRows += trimmed != full;
        deadRows += std::any_of(full.begin(), full.end(), [](const auto& r) { return r.empty(); });
    }
    // The random cases reach all three ways.
    EXPECT_GT(trimmedRows, 40);
    EXPECT_GT(deadRows, 5);
    EXPECT_LT(trimmedRows + deadRows, 390);
}

TEST(FrequencyTrim, ATrimmedRowThatFailedIsPreparedAgainWithAllItsPairsUntilTheRunPassesIt) {
    int tried = 0;
    for (std::uint64_t seed = 1; seed <= 400 && tried < 10; ++seed) {
        SCOPED_TRACE(seed);
        Case k(seed);
        Rows got = k.Prepare(5);
        auto [full, trimmed] = k.Reference();
        if (trimmed == full) continue;
        ++tried;
        ASSERT_EQ(got, trimmed);
        // Row 5 again with nothing below it in between: all its pairs.
        EXPECT_EQ(k.Prepare(5), full);
        // Back to row 4, and on to 5: still all of them.
        k.Prepare(4);
        EXPECT_EQ(k.Prepare(5), full);
        // Row 6 is past the failed row: trimmed again (the same squares above).
        got = k.Prepare(6);
        std::tie(full, trimmed) = k.Reference();
        EXPECT_EQ(got, trimmed);
        // A row 6 that is left for row 7 has not failed.
        got = k.Prepare(7);
        std::tie(full, trimmed) = k.Reference();
        EXPECT_EQ(got, trimmed);
    }
    EXPECT_EQ(tried, 10);
}
