#pragma once
// Learned data, sub-chains and search bursts made by hand for the tests of
// the generator's threads.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "learned_run.h"
#include "generator/search/variant_search.h"

namespace zorvane::testing {

using List = std::vector<std::int32_t>;

// Learned squares made by hand: square i has ground i; the last square is
// the empty square.
inline std::unique_ptr<LearnedRun> Learned(const std::vector<List>& down, const std::vector<List>& right) {
    auto g = std::make_unique<LearnedRun>();
    std::vector<LearnedSquare> squares(down.size());
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
inline void SetUpChain(LearnedRun& g, int i, int start, const std::vector<std::vector<SquarePair>>& pairs) {
    SubChainRecord& sc = g.SubChains[static_cast<std::size_t>(i)];
    sc.Clear();
    sc.start = start;
    sc.Len = static_cast<int>(pairs.size()) + 1;
    sc.Pairs = pairs;
    for (const auto& p : pairs) sc.PairCounts.push_back(static_cast<std::int32_t>(p.size()));
    sc.MaxVariants = std::min<std::int32_t>(100000, sc.PairCounts.front() * sc.PairCounts.back());
    sc.Variants.reserve(static_cast<std::size_t>(sc.MaxVariants) + 1);
    sc.Variants.emplace_back(static_cast<std::size_t>(sc.Len), 0);
    sc.LookAhead.reserve(static_cast<std::size_t>(sc.MaxVariants) + 1);
    sc.LookAhead.emplace_back(static_cast<std::size_t>(sc.Len) * LookAheadRows, 0);
    sc.Cursor.assign(pairs.size(), 0);
    g.SubChainCount = std::max(g.SubChainCount, i + 1);
}

// Sub-chain i holding these variants, done or not; look-ahead unknown
// unless given.
inline void SetVariants(LearnedRun& g, int i, int start, const std::vector<List>& variants, bool done,
                 const std::vector<List>& lookAhead = {}) {
    SubChainRecord& sc = g.SubChains[static_cast<std::size_t>(i)];
    sc.Clear();
    sc.start = start;
    sc.Len = static_cast<int>(variants.front().size());
    sc.MaxVariants = 1000;
    sc.Pairs.assign(static_cast<std::size_t>(sc.Len) - 1, {});
    sc.Variants = variants;
    for (std::size_t k = 0; k < variants.size(); ++k) {
        List la(static_cast<std::size_t>(sc.Len) * LookAheadRows, UnknownSquare);
        if (k < lookAhead.size())
            for (std::size_t c = 0; c < lookAhead[k].size(); ++c) la[c * LookAheadRows] = lookAhead[k][c];
        sc.LookAhead.push_back(la);
    }
    sc.VariantCount = static_cast<std::int32_t>(variants.size());
    sc.Done = done;
    g.SubChainCount = std::max(g.SubChainCount, i + 1);
}

inline std::vector<List> Variants(const SubChainRecord& sc) {
    return {sc.Variants.begin(), sc.Variants.begin() + sc.VariantCount.load()};
}

struct Burster {
    LearnedRun& g;
    RowFlags flags;
    RowJob job;
    SearchTables tables;
    SubChainScratch scratch;
    std::atomic<bool> cancel{false};
    explicit Burster(LearnedRun& gen, int row = 20) : g(gen), tables(gen) {
        job.MapHeight = 24;  // row 20 is the last inner row: no validation
        job.Row = row;
        job.Tables = &tables;
    }
    void Burst(int s = 0) { RunBurst(g, s, g.WorkerExchanges[0], flags, job, scratch, cancel); }
    void UntilDone(int s = 0) {
        for (int i = 0; i < 100 && !g.SubChains[static_cast<std::size_t>(s)].Done.load(); ++i) Burst(s);
    }
};

// Ten squares that may stand anywhere, the last the empty square.
inline std::unique_ptr<LearnedRun> Anything(int n = 10) {
    List all;
    for (int i = 0; i + 1 < n; ++i) all.push_back(i);
    return Learned(std::vector<List>(static_cast<std::size_t>(n), all), std::vector<List>(static_cast<std::size_t>(n), all));
}

}  // namespace zorvane::testing
