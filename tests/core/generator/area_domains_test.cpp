// The joined-up cells of an area, against a brute-force check of what
// "joined up" means, through random narrowing and undoing.

#include "generator/area/area_domains.h"

#include <gtest/gtest.h>

#include <random>

#include "row_preparation_fixtures.h"

namespace zorvane::testing {
namespace {

using row_preparation_fixtures::List;

std::vector<std::vector<std::uint64_t>> Snapshot(const AreaDomains& d, int words) {
    std::vector<std::vector<std::uint64_t>> cells;
    for (int r = 0; r < d.Height(); ++r)
        for (int c = 0; c < d.Width(); ++c) cells.emplace_back(d.Cell(c, r), d.Cell(c, r) + words);
    return cells;
}

// Every square of every cell has a partner in each neighbouring cell.
void ExpectJoinedUp(const AreaDomains& d, const MapGenerator& gen) {
    const int n = gen.SquareCount();
    auto names = [](const List& list, std::int32_t s) { return std::find(list.begin(), list.end(), s) != list.end(); };
    for (int r = 0; r < d.Height(); ++r)
        for (int c = 0; c < d.Width(); ++c)
            for (std::int32_t s = 0; s < n; ++s) {
                if (!HasSquare(d.Cell(c, r), s)) continue;
                auto partner = [&](int c2, int r2, auto joins) {
                    for (std::int32_t t = 0; t < n; ++t)
                        if (HasSquare(d.Cell(c2, r2), t) && joins(t)) return true;
                    return false;
                };
                const bool right = c + 1 == d.Width() ||
                                   partner(c + 1, r, [&](std::int32_t t) { return names(gen.Sq(s).Right, t); });
                const bool left = c == 0 || partner(c - 1, r, [&](std::int32_t t) { return names(gen.Sq(t).Right, s); });
                const bool below = r + 1 == d.Height() ||
                                   partner(c, r + 1, [&](std::int32_t t) { return names(gen.Sq(s).Down, t); });
                const bool above = r == 0 || partner(c, r - 1, [&](std::int32_t t) { return names(gen.Sq(t).Down, s); });
                EXPECT_TRUE(right && left && below && above) << "square " << s << " at " << c << "," << r;
            }
}

TEST(AreaDomains, RandomNarrowingStaysJoinedUpAndUndoesExactly) {
    std::mt19937 rng(7);
    int undone = 0;
    for (int round = 0; round < 20; ++round) {
        const int n = 10;
        row_preparation_fixtures::Learned l;
        for (int s = 0; s < n; ++s) {
            l.down.emplace_back();
            l.right.emplace_back();
            for (int t = 0; t < n; ++t) {
                if (rng() % 3 == 0) l.down.back().push_back(t);
                if (rng() % 3 == 0) l.right.back().push_back(t);
            }
        }
        l.down.emplace_back();
        l.right.emplace_back();
        auto gen = row_preparation_fixtures::MakeGenerator(l);
        const JoinSets joins(*gen, false);
        AreaDomains d(joins, 5, 4);
        const std::vector<int> all{0, 1, 2, 3};
        if (!d.Propagate(0, all)) continue;
        ExpectJoinedUp(d, *gen);
        for (int step = 0; step < 10; ++step) {
            const auto before = Snapshot(d, joins.Words());
            const std::size_t mark = d.Mark();
            const int c = static_cast<int>(rng() % 5), r = static_cast<int>(rng() % 4);
            std::vector<std::int32_t> members;
            ForEachSquare(d.Cell(c, r), joins.Words(), [&](std::int32_t s) { members.push_back(s); });
            d.Fix(c, r, members[rng() % members.size()]);
            const int touched[] = {r};
            if (d.Propagate(0, touched)) {
                ExpectJoinedUp(d, *gen);
                if (rng() % 2) continue;  // kept: later marks nest inside it
            }
            d.UndoTo(mark);
            EXPECT_EQ(Snapshot(d, joins.Words()), before);
            ++undone;
        }
    }
    EXPECT_GT(undone, 40);
}

}  // namespace
}  // namespace zorvane::testing
