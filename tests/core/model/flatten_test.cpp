#include "model/flatten.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "builders.h"
#include "fake_ui.h"

namespace zorvane {
namespace {

using testing::AddPatternBitmaps;
using testing::FakeUi;
using testing::FilledBitmap;
using testing::MakeTile;
using testing::PatternBitmap;

// The flattening rules written out plainly: every square scans every used
// tile, and a composite is compared with the bitmaps from id 0 upwards.
class ReferenceFlattening {
public:
    static std::uint16_t Composite(Project& p, int x, int y, bool top) {
        BitmapPixels scratch{};
        bool copied = false;
        for (const auto& t : p.UsedTiles) {
            if (!t->Contains(x, y, TileArea::Bitmaps)) continue;
            const std::uint8_t* px = p.Bitmap(top ? t->GetTop(x, y) : t->GetGnd(x, y));
            for (int i = 0; i < BitmapBytes; ++i)
                if (px[i] != 0) {
                    scratch[i] = px[i];
                    copied = true;
                }
        }
        if (!copied) return NoBitmap;
        for (int j = 0; j < p.BitmapCount; ++j)
            if (std::memcmp(p.Bitmap(j), scratch.data(), BitmapBytes) == 0) return static_cast<std::uint16_t>(j);
        return static_cast<std::uint16_t>(p.AddBitmap(scratch.data()));
    }

    static std::uint8_t Atr(const Project& p, int x, int y) {
        for (auto it = p.UsedTiles.rbegin(); it != p.UsedTiles.rend(); ++it) {
            const MapTile& t = **it;
            if (t.Contains(x, y, TileArea::Rectangle) && (t.GetAtr(x, y) != 0 || t.GetGnd(x, y) != NoBitmap)) return t.GetAtr(x, y);
        }
        return AtrImpassable;
    }

    static void Flatten(Project& p) {
        p.FlatSquares.assign(static_cast<std::size_t>(p.MapWidth) * p.MapHeight, MapSquare{});
        for (int i = 0; i < p.MapWidth * p.MapHeight; ++i) {
            int x = i % p.MapWidth, y = i / p.MapWidth;
            MapSquare& sq = p.FlatSquares[static_cast<std::size_t>(i)];
            sq.Gnd = Composite(p, x, y, false);
            sq.Top = Composite(p, x, y, true);
            sq.Atr = Atr(p, x, y);
        }
    }
};

BitmapPixels Masked(int seed, int maskKind) {
    BitmapPixels px = PatternBitmap(seed);
    for (int i = 0; i < BitmapBytes; ++i) {
        int col = i % BitmapSide;
        bool clear = (maskKind == 0 && col < 16) || (maskKind == 1 && col >= 16) || (maskKind == 2 && (i * 7) % 5 == 0);
        if (clear) px[i] = 0;
    }
    return px;
}

// A tile set with opaque, partly transparent, blank and twin bitmaps:
//   0 opaque A, 1 A's right half, 2 A's left half (1 over 2 is A again),
//   3 twin of 1, 4 blank, 5 opaque B, 6 B with holes, 7 twin of 5, 8 twin of 6.
void AddMixedBitmaps(Project& p) {
    std::vector<BitmapPixels> bitmaps = {PatternBitmap(1), Masked(1, 0),      Masked(1, 1),
                                         Masked(1, 0),     FilledBitmap(0),  PatternBitmap(2),
                                         Masked(2, 2),     PatternBitmap(2), Masked(2, 2)};
    for (auto& b : bitmaps) p.AddBitmap(b.data());
}

// A random stack of tiles over a small map, some partly or wholly off the
// map, with ids that include blanks, twins, 65535 and ids past the count.
Project RandomProject(unsigned seed) {
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Project p;
    AddMixedBitmaps(p);
    p.MapWidth = pick(5, 16);
    p.MapHeight = pick(5, 16);
    const std::uint16_t ids[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, NoBitmap};
    auto randomId = [&]() { return pick(0, 2) == 0 ? NoBitmap : ids[pick(0, 11)]; };
    int tiles = pick(0, 40);
    for (int i = 0; i < tiles; ++i) {
        int w = pick(1, 6), h = pick(1, 6);
        auto t = MakeTile(w, h, pick(-7, p.MapWidth + 1), pick(-7, p.MapHeight + 1));
        for (auto& s : t->Sq) s = MapSquare{randomId(), randomId(), static_cast<std::uint8_t>(pick(0, 3) == 0 ? pick(1, 35) : 0)};
        p.UsedTiles.push_back(std::move(t));
    }
    return p;
}

TEST(FlattenAgainstReference, RandomStacksGiveTheSameSquaresAndBitmaps) {
    int withComposites = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        Project fast = RandomProject(seed);
        Project plain = RandomProject(seed);
        FakeUi ui;
        bool added = FlatMap(fast, ui);
        ReferenceFlattening::Flatten(plain);
        ASSERT_EQ(fast.FlatSquares, plain.FlatSquares) << "seed " << seed;
        ASSERT_EQ(fast.BitmapCount, plain.BitmapCount) << "seed " << seed;
        ASSERT_TRUE(std::equal(fast.AllBitmapBytes().begin(), fast.AllBitmapBytes().end(),
                               plain.AllBitmapBytes().begin(), plain.AllBitmapBytes().end()))
            << "seed " << seed;
        EXPECT_EQ(added, fast.BitmapCount != 9) << "seed " << seed;
        withComposites += added;
    }
    EXPECT_GT(withComposites, 100);  // the stacks do make new pictures
}

TEST(FlattenAgainstReference, SquareByItselfMatchesInAnyOrder) {
    // The per-square operations are answers of their own, not only parts of
    // a row-order pass: asked bottom-right first they still agree.
    Project fast = RandomProject(77);
    Project plain = RandomProject(77);
    Flattener flattener(fast);
    for (int y = fast.MapHeight - 1; y >= 0; --y)
        for (int x = fast.MapWidth - 1; x >= 0; --x) {
            ASSERT_EQ(flattener.FlatTopToBitmap(x, y), ReferenceFlattening::Composite(plain, x, y, true));
            ASSERT_EQ(flattener.FlatGndToBitmap(x, y), ReferenceFlattening::Composite(plain, x, y, false));
            ASSERT_EQ(flattener.FlatAtrOfSq(x, y), ReferenceFlattening::Atr(plain, x, y));
        }
    EXPECT_EQ(fast.BitmapCount, plain.BitmapCount);
}

class FlattenTest : public ::testing::Test {
protected:
    Project p;
    FakeUi ui;
};

TEST_F(FlattenTest, OneSquareTilesWithoutTwinsKeepTheirIds) {
    AddPatternBitmaps(p, 4);
    p.MapWidth = 3;
    p.MapHeight = 2;
    for (int i = 0; i < 6; ++i) p.UsedTiles.push_back(MakeTile(1, 1, i % 3, i / 3, i % 4, (i + 1) % 4, i));
    EXPECT_FALSE(FlatMap(p, ui));
    ASSERT_EQ(p.FlatSquares.size(), 6u);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(p.FlatSquares[i], (MapSquare{static_cast<std::uint16_t>(i % 4), static_cast<std::uint16_t>((i + 1) % 4),
                                         static_cast<std::uint8_t>(i)}));
    EXPECT_EQ(p.BitmapCount, 4);
    EXPECT_EQ(ui.statuses, (std::vector<std::string>{"flattening map...", "flattening complete."}));
    EXPECT_EQ(ui.progressShown, 1);
    EXPECT_EQ(ui.progressHidden, 1);
    EXPECT_EQ(ui.bitmapsChangedCount, 0);
}

TEST_F(FlattenTest, StackedTransparentGroundMakesOneCompositeReusedByEqualStacks) {
    AddPatternBitmaps(p, 1);  // 0 opaque
    BitmapPixels holes = Masked(5, 2);
    p.AddBitmap(holes.data());  // 1 with holes
    p.MapWidth = 2;
    p.MapHeight = 1;
    p.UsedTiles.push_back(MakeTile(2, 1, 0, 0, 0));
    p.UsedTiles.push_back(MakeTile(2, 1, 0, 0, 1));
    EXPECT_TRUE(FlatMap(p, ui));
    ASSERT_EQ(p.BitmapCount, 3);
    EXPECT_EQ(p.FlatSquares[0].Gnd, 2);
    EXPECT_EQ(p.FlatSquares[1].Gnd, 2);
    BitmapPixels expected = PatternBitmap(0);
    for (int i = 0; i < BitmapBytes; ++i)
        if (holes[i] != 0) expected[i] = holes[i];
    EXPECT_EQ(std::memcmp(p.Bitmap(2), expected.data(), BitmapBytes), 0);
    EXPECT_EQ(ui.bitmapsChangedCount, 1);

    // A second flattening finds the composite among the bitmaps.
    EXPECT_FALSE(FlatMap(p, ui));
    EXPECT_EQ(p.FlatSquares[0].Gnd, 2);
}

TEST_F(FlattenTest, UncoveredSquaresAndEmptyTileSquaresAreImpassable) {
    AddPatternBitmaps(p, 2);
    p.MapWidth = 3;
    p.MapHeight = 1;
    p.UsedTiles.push_back(MakeTile(1, 1, 1, 0, NoBitmap, 1, 0));  // only a top bitmap, attribute 0
    p.UsedTiles.push_back(MakeTile(1, 1, 2, 0, 0, NoBitmap, 9));
    p.UsedTiles.push_back(MakeTile(1, 1, 2, 0, NoBitmap, 1, 0));  // over it: the attribute below stays
    FlatMap(p, ui);
    EXPECT_EQ(p.FlatSquares[0], (MapSquare{NoBitmap, NoBitmap, AtrImpassable}));
    EXPECT_EQ(p.FlatSquares[1], (MapSquare{NoBitmap, 1, AtrImpassable}));
    EXPECT_EQ(p.FlatSquares[2], (MapSquare{0, 1, 9}));
}

TEST_F(FlattenTest, TopAttributeOfZeroCountsWhenItsGroundIsSet) {
    AddPatternBitmaps(p, 1);
    p.MapWidth = 1;
    p.MapHeight = 1;
    p.UsedTiles.push_back(MakeTile(1, 1, 0, 0, 0, NoBitmap, 8));
    p.UsedTiles.push_back(MakeTile(1, 1, 0, 0, 0, NoBitmap, 0));
    FlatMap(p, ui);
    EXPECT_EQ(p.FlatSquares[0].Atr, 0);
}

TEST_F(FlattenTest, InvisibleSquareStillGivesItsAttribute) {
    // The attribute rule looks at the rectangle, not at visible content.
    p.MapWidth = 1;
    p.MapHeight = 1;
    p.UsedTiles.push_back(MakeTile(1, 1, 0, 0, NoBitmap, NoBitmap, 7));
    FlatMap(p, ui);
    EXPECT_EQ(p.FlatSquares[0], (MapSquare{NoBitmap, NoBitmap, 7}));
}

TEST_F(FlattenTest, TwinsBlanksAndIdsPastTheCountFlattenToTheirCanonicalId) {
    AddMixedBitmaps(p);
    p.MapWidth = 4;
    p.MapHeight = 1;
    p.UsedTiles.push_back(MakeTile(1, 1, 0, 0, 7, 8));         // twins of 5 and 6
    p.UsedTiles.push_back(MakeTile(1, 1, 1, 0, 4, 4));         // blank
    p.UsedTiles.push_back(MakeTile(1, 1, 2, 0, 40, NoBitmap)); // past the count
    p.UsedTiles.push_back(MakeTile(1, 1, 3, 0, 2));            // A's left half ...
    p.UsedTiles.push_back(MakeTile(1, 1, 3, 0, 3));            // ... under the twin of its right half
    EXPECT_FALSE(FlatMap(p, ui));
    EXPECT_EQ(p.FlatSquares[0].Gnd, 5);
    EXPECT_EQ(p.FlatSquares[0].Top, 6);
    EXPECT_EQ(p.FlatSquares[1].Gnd, NoBitmap);
    EXPECT_EQ(p.FlatSquares[1].Top, NoBitmap);
    EXPECT_EQ(p.FlatSquares[2].Gnd, NoBitmap);
    EXPECT_EQ(p.FlatSquares[3].Gnd, 0);  // the halves make A again
}

TEST_F(FlattenTest, UpperGroundDoesNotHideLowerTop) {
    AddPatternBitmaps(p, 2);
    p.MapWidth = 1;
    p.MapHeight = 1;
    p.UsedTiles.push_back(MakeTile(1, 1, 0, 0, 0, 1));
    p.UsedTiles.push_back(MakeTile(1, 1, 0, 0, 1, NoBitmap));
    FlatMap(p, ui);
    EXPECT_EQ(p.FlatSquares[0].Gnd, 1);
    EXPECT_EQ(p.FlatSquares[0].Top, 1);
}

TEST_F(FlattenTest, TilesReachingPastTheMapAreClipped) {
    AddPatternBitmaps(p, 3);
    p.MapWidth = 2;
    p.MapHeight = 2;
    p.UsedTiles.push_back(MakeTile(5, 5, -2, -2, 0));  // covers the whole map
    p.UsedTiles.push_back(MakeTile(2, 2, -1, 1, 1));    // covers (0, 1) only
    p.UsedTiles.push_back(MakeTile(3, 3, 2, 0, 2));     // right of the map
    p.UsedTiles.push_back(MakeTile(1, 1, -2147483647, 2147483600, 2));
    FlatMap(p, ui);
    EXPECT_EQ(p.FlatSquares[0].Gnd, 0);
    EXPECT_EQ(p.FlatSquares[1].Gnd, 0);
    EXPECT_EQ(p.FlatSquares[2].Gnd, 1);
    EXPECT_EQ(p.FlatSquares[3].Gnd, 0);
    Flattener f(p);
    EXPECT_EQ(f.FlatGndToBitmap(2, 0), NoBitmap);  // off the map
    EXPECT_EQ(f.FlatAtrOfSq(-1, 0), AtrImpassable);
}

TEST_F(FlattenTest, ProgressMovesEvery1000Squares) {
    p.MapWidth = 50;
    p.MapHeight = 50;
    FlatMap(p, ui);
    EXPECT_EQ(ui.progressPositions, (std::vector<int>{0, 40, 80}));
    EXPECT_EQ(p.FlatSquares.size(), 2500u);
}

TEST_F(FlattenTest, EmptyMapFlattensToNothing) {
    EXPECT_FALSE(FlatMap(p, ui));
    EXPECT_TRUE(p.FlatSquares.empty());
}

TEST_F(FlattenTest, CompositesPastTheLimitAreRefusedAndRolledBack) {
    // Two free ids, three different composites needed.
    p.SetBitmapCount(MaxBitmaps - 2);
    for (int i = 0; i < 4; ++i) {
        BitmapPixels b = Masked(10 + i, i == 0 ? 0 : 1);  // a right half under left halves
        std::memcpy(p.MutableBitmap(i), b.data(), BitmapBytes);
    }
    p.MapWidth = 3;
    p.MapHeight = 1;
    for (int x = 0; x < 3; ++x) {
        p.UsedTiles.push_back(MakeTile(1, 1, x, 0, 0));
        p.UsedTiles.push_back(MakeTile(1, 1, x, 0, static_cast<std::uint16_t>(x + 1)));
    }
    p.FlatSquares.assign(3, MapSquare{1, 1, 1});
    try {
        FlatMap(p, ui);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), TooManyBitmapsText);
    }
    EXPECT_EQ(p.BitmapCount, MaxBitmaps - 2);
    EXPECT_TRUE(p.FlatSquares.empty());
    EXPECT_FALSE(ui.progressVisible);
    EXPECT_FALSE(ui.sawStatus("flattening complete."));
}

}  // namespace
}  // namespace zorvane
