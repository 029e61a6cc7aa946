// The search bursts against the search written out plainly: every pair of
// a column pair examined one by one, the next pair with the same left
// square found by a scan, nothing passed over. Both run burst by burst on
// random sub-chains and must agree after every burst.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "generator/search/row_preparation.h"
#include "generator/search/variant_search.h"
#include "search_fixtures.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

// One sub-chain's search as plain loops, state kept between bursts.
struct PlainSearch {
    std::vector<std::vector<SquarePair>> pairs;
    std::size_t maxVariants = 0;
    std::function<bool(const List&)> valid = [](const List&) { return true; };
    std::int64_t limit = -1;  // tries per first pair; -1: none
    List focus;
    bool restricted = false;

    std::vector<int> cur;
    std::int64_t tries = 0;
    std::int64_t steps = 0;  // of the last burst
    std::vector<List> variants;
    bool done = false;
    bool exhausted = false;

    PlainSearch(std::vector<std::vector<SquarePair>> p, std::size_t max) : pairs(std::move(p)), maxVariants(max) {
        cur.assign(pairs.size(), 0);
    }
    int Size(int l) const { return static_cast<int>(pairs[static_cast<std::size_t>(l)].size()); }
    SquarePair At(int l, int i) const { return pairs[static_cast<std::size_t>(l)][static_cast<std::size_t>(i)]; }
    std::size_t Level(int l) const { return static_cast<std::size_t>(l); }

    bool KnownKey(std::int32_t first, std::int32_t link) const {
        for (const List& v : variants)
            if (v.front() == first && v[v.size() - 2] == link) return true;
        return false;
    }

    // Keeps the first pair when it is in the focus, else takes the next one
    // that is; with none left the sub-chain is exhausted and done.
    bool Realign() {
        int next = -1;
        for (std::int32_t f : focus) {
            if (f == cur[0]) return true;
            if (f > cur[0] && (next < 0 || f < next)) next = f;
        }
        if (next < 0 || next >= Size(0)) {
            exhausted = done = true;
            return false;
        }
        cur[0] = next;
        std::fill(cur.begin() + 1, cur.end(), 0);
        tries = 0;
        return true;
    }

    void Burst() {
        steps = 0;
        if (restricted && !Realign()) return;
        const int last = static_cast<int>(pairs.size()) - 1;
        List v(pairs.size() + 1);
        int depth = 0;
        while (!done) {
            if (cur[Level(depth)] < Size(depth)) {
                const SquarePair k = At(depth, cur[Level(depth)]);
                if (depth == 0) v[0] = k.Left;
                const int l = depth + 1;
                for (int& c = cur[Level(l)]; c < Size(l); ++c) {
                    ++steps;
                    ++tries;
                    const SquarePair p = At(l, c);
                    if (p.Left != k.Right) continue;
                    v[Level(l)] = p.Left;
                    if (l < last) {
                        ++depth;
                        break;
                    }
                    v[Level(l) + 1] = p.Right;
                    if (!KnownKey(v[0], v[Level(l)]) && valid(v)) variants.push_back(v);
                    if (variants.size() >= maxVariants) {
                        ++c;
                        break;
                    }
                }
            }
            if (variants.size() >= maxVariants) break;
            if (limit >= 0 && tries > limit) {
                ++cur[0];
                std::fill(cur.begin() + 1, cur.end(), 0);
                tries = 0;
                depth = 0;
                if (restricted && !Realign()) break;
            }
            for (int m = last; m >= 1; --m) {
                if (cur[Level(m)] < Size(m)) continue;
                cur[Level(m)] = 0;
                depth = std::max(m - 2, 0);
                int& before = cur[Level(m - 1)];
                if (before < Size(m - 1)) {
                    const std::int32_t left = At(m - 1, before).Left;
                    for (++before; before < Size(m - 1) && At(m - 1, before).Left != left; ++before) {
                    }
                }
                if (m == 1) tries = 0;
            }
            if (cur[0] >= Size(0)) depth = -1;
            const std::int64_t budget = variants.empty() ? 50000 : 10000;
            if (depth < 0 || variants.size() >= maxVariants || steps >= budget) break;
        }
        if (done) return;
        if (depth < 0) {
            exhausted = variants.empty();
            done = true;
        } else if (variants.size() >= maxVariants) {
            done = true;
        }
    }
};

std::vector<std::vector<SquarePair>> RandomPairs(GeneratorRng& rng, int levels, int maxPairs, int squares) {
    std::vector<std::vector<SquarePair>> pairs(static_cast<std::size_t>(levels));
    for (auto& level : pairs) {
        const int n = 1 + static_cast<int>(UniformBelow(rng, static_cast<std::uint64_t>(maxPairs)));
        for (int i = 0; i < n; ++i)
            level.push_back({static_cast<std::int32_t>(UniformBelow(rng, static_cast<std::uint64_t>(squares))),
                             static_cast<std::int32_t>(UniformBelow(rng, static_cast<std::uint64_t>(squares)))});
    }
    return pairs;
}

}  // namespace

TEST(SearchBurst, FindsWhatAPlainSearchFindsAndCountsItsStepsAlike) {
    GeneratorRng rng(17);
    int compared = 0;
    for (int round = 0; round < 400; ++round) {
        const auto pairs = RandomPairs(rng, 2 + static_cast<int>(UniformBelow(rng, 4)), 7, 4);
        auto g = Anything();
        SetUpChain(*g, 0, 0, pairs);
        PlainSearch plain(pairs, static_cast<std::size_t>(g->SubChains[0].MaxVariants));
        plain.Burst();
        if (!plain.done || plain.steps > 9000) continue;  // one burst holds it all
        Burster b(*g);
        b.Burst();
        ASSERT_EQ(Variants(g->SubChains[0]), plain.variants) << "round " << round;
        ASSERT_EQ(g->WorkerExchanges[0].Steps.load(), plain.steps) << "round " << round;
        EXPECT_TRUE(g->SubChains[0].Done.load());
        ++compared;
    }
    EXPECT_GT(compared, 300);
}

TEST(SearchBurst, BurstByBurstFindsWhatAPlainSearchFindsWithSearchLimitsFocusAndValidation) {
    // Squares 0..8 may stand anywhere, but nothing below 5: where a row
    // below is validated, variants with a 5 are rejected.
    List all{0, 1, 2, 3, 4, 5, 6, 7, 8};
    std::vector<List> down(10, all), right(10, all);
    down[5].clear();
    auto g = Learned(down, right);
    GeneratorRng rng(29);
    int severalBursts = 0, limitedSeveral = 0, restricted = 0;
    for (int round = 0; round < 1500; ++round) {
        // Small sub-chains take one burst, big ones up to many.
        const bool big = UniformBelow(rng, 2) == 0;
        const auto pairs = RandomPairs(rng, (big ? 5 : 2) + static_cast<int>(UniformBelow(rng, big ? 8 : 5)),
                                       big ? 30 : 8, 3 + static_cast<int>(UniformBelow(rng, big ? 2 : 4)));
        SetUpChain(*g, 0, 0, pairs);
        const bool validated = UniformBelow(rng, 2) == 0;
        Burster b(*g, validated ? 10 : 20);
        const std::int64_t limits[] = {-1, -1, static_cast<std::int64_t>(UniformBelow(rng, 40)),
                                       static_cast<std::int64_t>(UniformBelow(rng, 4000)), 1000, 6000};
        b.job.SearchLimit = limits[UniformBelow(rng, 6)];
        PlainSearch plain(pairs, static_cast<std::size_t>(g->SubChains[0].MaxVariants));
        plain.limit = b.job.SearchLimit;
        List la(static_cast<std::size_t>(g->SubChains[0].Len) * LookAheadRows);
        plain.valid = [&](const List& v) { return ValidateVariant(b.tables, b.job.MapHeight, b.job.Row, v, la); };
        if (UniformBelow(rng, 4) == 0) {
            for (int i = 0; i < plain.Size(0); ++i)
                if (UniformBelow(rng, 3) == 0) plain.focus.push_back(i);
            plain.restricted = true;
            g->SubChains[0].Focus = plain.focus;
            g->SubChains[0].Restricted = true;
            ++restricted;
        }
        SubChainRecord& sc = g->SubChains[0];
        int bursts = 0;
        for (; bursts < 12 && !plain.done; ++bursts) {
            const std::string at = "round " + std::to_string(round) + ", burst " + std::to_string(bursts) +
                                   ", limit " + std::to_string(plain.limit);
            g->WorkerExchanges[0].Steps = 0;  // as the manager hands the sub-chain out
            b.Burst();
            plain.Burst();
            ASSERT_EQ(Variants(sc), plain.variants) << at;
            ASSERT_EQ(sc.Tries.load(), plain.tries) << at;
            ASSERT_EQ(g->WorkerExchanges[0].Steps.load(), plain.steps) << at;
            ASSERT_EQ(sc.Done.load(), plain.done) << at;
            ASSERT_EQ(sc.Exhausted.load(), plain.exhausted) << at;
            if (!plain.done) {
                ASSERT_EQ(sc.Cursor, List(plain.cur.begin(), plain.cur.end())) << at;
            }
        }
        if (bursts > 1) {
            ++severalBursts;
            limitedSeveral += plain.limit >= 0 ? 1 : 0;
        }
    }
    // The draws reach what they are meant to.
    EXPECT_GT(severalBursts, 250);
    EXPECT_GT(limitedSeveral, 120);
    EXPECT_GT(restricted, 300);
}
