// The sub-chain freezer on hand-made rows: the column mask after failed and
// completed rows, freezing on the map row, thinning, and wearing off.

#include <gtest/gtest.h>

#include <memory>

#include "generator/driver/freezer.h"
#include "generator/search/row_preparation.h"
#include "learned_run.h"

using namespace zorvane;

namespace {

// Nine squares that may stand anywhere (square i has ground i) and the
// empty square; a row of 14 squares (10 columns) cut into sub-chains of 4
// columns from columns 0, 2, 4 and 6.
struct Row {
    LearnedRun gen;
    std::vector<MapSquare> map;
    Row(int chains = 4) {
        std::vector<std::int32_t> all{0, 1, 2, 3, 4, 5, 6, 7, 8};
        std::vector<LearnedSquare> squares(10);
        for (int i = 0; i < 10; ++i) {
            squares[static_cast<std::size_t>(i)].Gnd = i == 9 ? NoBitmap : static_cast<std::uint16_t>(i);
            squares[static_cast<std::size_t>(i)].Down = all;
            squares[static_cast<std::size_t>(i)].Right = all;
        }
        gen.SetSquares(std::move(squares));
        gen.ObjSize.assign(10, 1);
        gen.Learned = true;
        const int columns = 2 * chains + 2;
        gen.PrepareRowBuffers(columns);
        for (auto& c : gen.ColumnCandidates) c = all;
        for (int i = 0; i < chains; ++i) {
            SubChainRecord& sc = gen.SubChains[static_cast<std::size_t>(i)];
            sc.Clear();
            sc.start = 2 * i;
            sc.Len = 4;
            sc.MaxVariants = 10;
            sc.Pairs.assign(3, {{0, 0}});
            sc.Cursor.assign(3, 0);
            sc.Variants.emplace_back(4, 0);
            sc.LookAhead.emplace_back(4 * LookAheadRows, 0);
        }
        gen.SubChainCount = chains;
        map.assign(static_cast<std::size_t>(columns) + 4, MapSquare{NoBitmap, NoBitmap, AtrImpassable});
        for (int c = 0; c < columns; ++c) map[static_cast<std::size_t>(c) + 2] = MapSquare{static_cast<std::uint16_t>(c % 9), NoBitmap, 0};
    }
    bool Frozen(int i) const { return gen.SubChains[static_cast<std::size_t>(i)].Frozen.load(); }
};

}  // namespace

TEST(Freezer, AFailedRowFlagsTheColumnsOfSubChainsThatAreNotExhausted) {
    Row r;
    SubChainFreezer f;
    r.gen.SubChains[1].Exhausted = true;
    f.RowFailed(r.gen);
    EXPECT_TRUE(f.Told());
    // Sub-chain 1 covers columns 2..5; sub-chain 2 (columns 4..7) sets 4
    // and 5 again.
    const bool expected[] = {1, 1, 0, 0, 1, 1, 1, 1, 1, 1};
    for (int c = 0; c < 10; ++c) EXPECT_EQ(f.Mask()[static_cast<std::size_t>(c)], expected[c]) << c;
    f.Reset();
    EXPECT_FALSE(f.Told());
    for (bool b : f.Mask()) EXPECT_FALSE(b);
}

TEST(Freezer, StillValidSquaresFreezeTheirSubChainsWithTheSquaresAsOnlyVariant) {
    Row r;
    SubChainFreezer f;
    f.RowFailed(r.gen);
    f.Place(r.gen, r.gen, r.map, 3);
    EXPECT_FALSE(f.Told());
    for (int i = 0; i < 4; ++i) {
        const SubChainRecord& sc = r.gen.SubChains[static_cast<std::size_t>(i)];
        EXPECT_TRUE(sc.Frozen.load());
        EXPECT_EQ(sc.FreezePoints.load(), 3);
        EXPECT_TRUE(sc.Done.load());
        EXPECT_EQ(sc.VariantCount.load(), 1);
        const std::vector<std::int32_t> squares{2 * i, 2 * i + 1, 2 * i + 2, (2 * i + 3) % 9};  // the map row
        EXPECT_EQ(sc.Variants[0], squares);
        EXPECT_EQ(sc.LookAhead[0], std::vector<std::int32_t>(4 * LookAheadRows, UnknownSquare));
    }
    f.RowDone(r.gen);
    for (int c = 0; c < 10; ++c) EXPECT_TRUE(f.Mask()[static_cast<std::size_t>(c)]);
}

TEST(Freezer, ARowNeverGeneratedFreezesNothing) {
    Row r;
    for (std::size_t x = 2; x < r.map.size() - 2; ++x) r.map[x] = MapSquare{NoBitmap, NoBitmap, 0};
    SubChainFreezer f;
    f.RowFailed(r.gen);
    f.Place(r.gen, r.gen, r.map, 3);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(r.Frozen(i));
    for (bool b : f.Mask()) EXPECT_FALSE(b);
    EXPECT_EQ(r.gen.SubChains[0].VariantCount.load(), 0);
}

TEST(Freezer, ASquareThatIsNoLongerACandidateUnfreezesItsSubChain) {
    Row r;
    SubChainFreezer f;
    f.RowFailed(r.gen);
    r.gen.ColumnCandidates[6] = {0, 1};  // the map shows 6 there
    f.Place(r.gen, r.gen, r.map, 2);
    // Column 6 is an own column of sub-chain 3 only; thinning unfreezes
    // the two sub-chains on either side.
    EXPECT_FALSE(r.Frozen(3));
    EXPECT_FALSE(r.Frozen(1));
    EXPECT_FALSE(r.Frozen(2));
    EXPECT_TRUE(r.Frozen(0));
    EXPECT_FALSE(f.Mask()[6]);
    EXPECT_FALSE(f.Mask()[7]);
    // Later sub-chains overwrite the columns they share.
    f.RowDone(r.gen);
    EXPECT_TRUE(f.Mask()[0] && f.Mask()[1]);
    EXPECT_FALSE(f.Mask()[2] || f.Mask()[3] || f.Mask()[4]);
}

TEST(Freezer, AFrozenSubChainBetweenTwoUnfrozenOnesIsThawedAtOnce) {
    Row r(6);
    SubChainFreezer f;
    f.RowFailed(r.gen);
    // Sub-chains 0 and 2 lose a column each.
    f.SetMask(0, false);
    f.SetMask(4, false);
    f.Place(r.gen, r.gen, r.map, 3);
    EXPECT_FALSE(r.Frozen(0));
    EXPECT_FALSE(r.Frozen(1));
    EXPECT_FALSE(r.Frozen(2));
    // The thawed sub-chain 0 thaws 1 and 2; those are then passed over, so
    // 3 to 5 stay frozen.
    EXPECT_TRUE(r.Frozen(3));
    EXPECT_TRUE(r.Frozen(4));
    EXPECT_TRUE(r.Frozen(5));
}

TEST(Freezer, WithThreePointsAndOneThawedNeighbourASubChainIsSearchedAgainAtTheThirdRetry) {
    Row r(3);
    r.gen.SubChains[0].Frozen = true;
    r.gen.SubChains[0].FreezePoints = 3;
    r.gen.SubChains[0].Done = true;
    r.gen.SubChains[0].VariantCount = 1;
    r.gen.SubChains[1].Frozen = true;
    r.gen.SubChains[1].FreezePoints = 100;
    r.gen.SubChains[1].Done = true;
    r.gen.SubChains[1].VariantCount = 1;
    RowSettings settings;
    settings.MapWidth = 14;
    settings.P = {1.0, 1.0};
    RowPreparer prep(r.gen, r.gen, settings);
    GeneratorRng rng(1);
    // Sub-chain 0 has one neighbour (1), frozen; sub-chain 1 has 0 and 2,
    // of which 2 is not frozen.
    prep.Reprepare(rng);
    prep.Reprepare(rng);
    EXPECT_TRUE(r.Frozen(0));
    EXPECT_EQ(r.gen.SubChains[1].FreezePoints.load(), 98);
    EXPECT_TRUE(r.gen.SubChains[1].Done.load());
    r.gen.SubChains[1].Frozen = false;  // 1 thaws: 0 now has a thawed neighbour
    prep.Reprepare(rng);
    EXPECT_TRUE(r.Frozen(0));
    EXPECT_EQ(r.gen.SubChains[0].FreezePoints.load(), 2);
    prep.Reprepare(rng);
    prep.Reprepare(rng);
    EXPECT_FALSE(r.Frozen(0));
    EXPECT_FALSE(r.gen.SubChains[0].Done.load());
}
