// Cutting a prepared row into sub-chains, and preparing them again for
// another local attempt at the same row.

#include <algorithm>
#include <numeric>

#include "generator/search/row_preparation.h"

namespace zorvane {

namespace {

constexpr std::int32_t kMaxVariantsCap = 100000;

// round(num / den), halves to the even neighbour (den > 0).
int RoundQuotient(int num, int den) {
    const int q = num / den, r = num % den;
    if (2 * r > den || (2 * r == den && q % 2 != 0)) return q + 1;
    return q;
}

int CeilQuotient(int num, int den) { return (num + den - 1) / den; }

// A sub-chain of `len` columns from column `start`, with the live pairs of
// its column pairs, nothing searched yet. The variant lists hold the variant
// being built (slot 0) and have room reserved for every variant wanted, so
// that adding one never moves those already found.
void SetUpSubChain(RunBuffers& buffers, SubChainRecord& sc, int start, int len) {
    sc.start = start;
    sc.Len = len;
    sc.Pairs.resize(static_cast<std::size_t>(len) - 1);
    sc.PairCounts.resize(static_cast<std::size_t>(len) - 1);
    for (int k = 0; k + 1 < len; ++k) {
        const auto& pairs = buffers.ColumnPairJoins[static_cast<std::size_t>(start + k)];
        const auto& off = buffers.EliminatedJoins[static_cast<std::size_t>(start + k)];
        auto& mine = sc.Pairs[static_cast<std::size_t>(k)];
        if (std::find(off.begin(), off.end(), std::uint8_t{1}) == off.end()) {
            mine.assign(pairs.begin(), pairs.end());
        } else {
            mine.clear();
            for (std::size_t i = 0; i < pairs.size(); ++i)
                if (!off[i]) mine.push_back(pairs[i]);
        }
        sc.PairCounts[static_cast<std::size_t>(k)] = static_cast<std::int32_t>(mine.size());
    }
    const std::int64_t wanted = static_cast<std::int64_t>(sc.PairCounts.front()) * sc.PairCounts.back();
    sc.MaxVariants = static_cast<std::int32_t>(std::min<std::int64_t>(kMaxVariantsCap, wanted));
    sc.Variants.clear();
    sc.Variants.reserve(static_cast<std::size_t>(sc.MaxVariants) + 1);
    sc.Variants.emplace_back(static_cast<std::size_t>(len), 0);
    sc.LookAhead.clear();
    sc.LookAhead.reserve(static_cast<std::size_t>(sc.MaxVariants) + 1);
    sc.LookAhead.emplace_back(static_cast<std::size_t>(len) * LookAheadRows, 0);
    sc.Cursor.assign(static_cast<std::size_t>(len) - 1, 0);
    sc.Below.resize(static_cast<std::size_t>(len));
    for (auto& b : sc.Below) b.clear();
    sc.Focus.clear();
    sc.Restricted = false;
    sc.Busy = false;
    sc.Owner = -1;
    sc.VariantCount = 0;
    sc.Tries = 0;
    sc.Done = false;
    sc.Exhausted = false;
    sc.Frozen = false;
    sc.FreezePoints = 0;
}

// Shuffles the first column pair's list and moves the focus entries, which
// name positions in it, along with their pairs.
void ShuffleFirstPairs(const RowPreparer& prep, SubChainRecord& sc, GeneratorRng& rng) {
    auto& pairs = sc.Pairs.front();
    if (sc.Focus.empty()) {
        prep.ShufflePairs(pairs, sc.start, rng);
        return;
    }
    std::vector<std::int32_t> from(pairs.size());
    std::iota(from.begin(), from.end(), 0);
    prep.ShufflePairPositions(from, pairs, sc.start, rng);
    std::vector<SquarePair> shuffled(pairs.size());
    std::vector<std::int32_t> to(pairs.size());
    for (std::size_t i = 0; i < from.size(); ++i) {
        shuffled[i] = pairs[static_cast<std::size_t>(from[i])];
        to[static_cast<std::size_t>(from[i])] = static_cast<std::int32_t>(i);
    }
    pairs.swap(shuffled);
    for (auto& f : sc.Focus)
        if (f >= 0 && static_cast<std::size_t>(f) < to.size()) f = to[static_cast<std::size_t>(f)];
}

}  // namespace

void RowPreparer::SplitIntoSubChains() {
    const int v = ColumnPairs();
    if (static_cast<int>(buffers_.ColumnPairJoins.size()) != v)
        throw Error("The column joins of the row have not been built.");
    const int s = CeilQuotient(v, 10);
    // Border i (0 < i < s) is the column pair with the fewest pairs around
    // round(v / s x i), within ceil(v / s x 0.3) either side.
    const int half = CeilQuotient(3 * v, 10 * s);
    std::vector<std::int32_t> borders{0};
    for (int i = 1; i < s; ++i) {
        const int centre = RoundQuotient(v * i, s);
        const int lo = std::max(0, centre - half), hi = std::min(v - 1, centre + half);
        int best = lo, bestCount = PairCount(lo);
        for (int c = lo + 1; c <= hi; ++c) {
            const int count = PairCount(c);
            if (count < bestCount) {
                best = c;
                bestCount = count;
            }
        }
        if (best > borders.back()) borders.push_back(best);  // equal borders merge
    }
    if (v - 1 > borders.back() || borders.size() == 1) borders.push_back(v - 1);
    const int count = static_cast<int>(borders.size()) - 1;
    if (count > MaxSubChains)
        throw Error("The row would need " + std::to_string(count) + " sub-chains; the generator holds " +
                    std::to_string(MaxSubChains) + ".");
    for (int i = 0; i < MaxSubChains; ++i) {
        SubChainRecord& sc = buffers_.SubChains[static_cast<std::size_t>(i)];
        if (i < count)
            SetUpSubChain(buffers_, sc, borders[i], borders[i + 1] - borders[i] + 2);
        else
            sc.Clear();
    }
    buffers_.SubChainCount = count;
    buffers_.SubChainBorders = std::move(borders);
}

void RowPreparer::Reprepare(GeneratorRng& rng) {
    const int n = buffers_.SubChainCount;
    std::vector<bool> frozen(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) frozen[i] = buffers_.SubChains[static_cast<std::size_t>(i)].Frozen;
    // Freeze points are spent against the neighbours as they stood before.
    for (int i = 0; i < n; ++i) {
        if (!frozen[i]) continue;
        SubChainRecord& sc = buffers_.SubChains[static_cast<std::size_t>(i)];
        const int thawed = (i > 0 && !frozen[i - 1]) + (i + 1 < n && !frozen[i + 1]);
        sc.FreezePoints = std::max(0, sc.FreezePoints - thawed);
        if (sc.FreezePoints == 0) sc.Frozen = false;
    }
    for (int i = 0; i < n; ++i) {
        SubChainRecord& sc = buffers_.SubChains[static_cast<std::size_t>(i)];
        if (sc.Done && sc.VariantCount >= sc.MaxVariants) continue;
        sc.Busy = false;
        sc.Owner = -1;
        std::fill(sc.Cursor.begin(), sc.Cursor.end(), 0);
        sc.Tries = 0;
        sc.Done = sc.Frozen.load();
        sc.Exhausted = false;
        if (sc.Pairs.empty()) continue;
        ShuffleFirstPairs(*this, sc, rng);
        for (std::size_t k = 1; k < sc.Pairs.size(); ++k)
            ShufflePairs(sc.Pairs[k], sc.start + static_cast<int>(k), rng);
    }
}

}  // namespace zorvane
