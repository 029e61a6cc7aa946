// Attribute pictograms and bitmap quadrant colours.

#include <gtest/gtest.h>

#include <set>

#include "builders.h"
#include "render/atr_icons.h"
#include "render/bitmap_info.h"
#include "render/scaling.h"

namespace zorvane::testing {
namespace {

using render::AtrIcons;

TEST(AtrIconsTest, OpenGroundIsEmptyAndEveryOtherAttributeHasItsOwnSymbol) {
    const auto& icons = AtrIcons();
    for (auto v : icons[0]) ASSERT_EQ(v, 0);
    std::set<BitmapPixels> distinct;
    for (int a = 1; a < AttributeCount; ++a) {
        int fill = 0;
        for (auto v : icons[a]) {
            ASSERT_LE(v, 2) << a;
            fill += v == 2;
        }
        EXPECT_GE(fill, 60) << "attribute " << a << " is big enough to read";
        distinct.insert(icons[a]);
    }
    EXPECT_EQ(distinct.size(), 35u);
}

TEST(AtrIconsTest, FillIsOutlinedEverywhere) {
    for (int a = 1; a < AttributeCount; ++a) {
        const auto& px = AtrIcons()[a];
        for (int r = 0; r < 32; ++r)
            for (int c = 0; c < 32; ++c) {
                if (px[r * 32 + c] != 2) continue;
                ASSERT_TRUE(r > 0 && r < 31 && c > 0 && c < 31) << a << ": fill on the edge";
                for (int dr = -1; dr <= 1; ++dr)
                    for (int dc = -1; dc <= 1; ++dc)
                        ASSERT_NE(px[(r + dr) * 32 + c + dc], 0) << a << " at " << c << "," << r;
            }
    }
}

TEST(BitmapInfoTest, QuadrantColoursAreRoundedMeansOfNonZeroIndices) {
    Project p;
    for (int i = 0; i < 256; ++i) p.Palette[i * 4 + 3] = 0;
    auto set = [&](int v, int r, int g, int b) {
        p.Palette[v * 4] = static_cast<std::uint8_t>(b);
        p.Palette[v * 4 + 1] = static_cast<std::uint8_t>(g);
        p.Palette[v * 4 + 2] = static_cast<std::uint8_t>(r);
    };
    set(0, 7, 8, 9);
    set(1, 10, 20, 30);
    set(2, 11, 20, 40);
    set(3, 12, 0, 0);
    BitmapPixels px{};
    // Top-left: 128 pixels of 1 and 128 of 2: means 10.5 -> 10, 20, 35.
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c) px[r * 32 + c] = (r < 8) ? 1 : 2;
    // Top-right: one pixel of 3, the rest 0.
    px[5 * 32 + 20] = 3;
    // Bottom-left: all 0. Bottom-right: all 2.
    for (int r = 16; r < 32; ++r)
        for (int c = 16; c < 32; ++c) px[r * 32 + c] = 2;
    p.AddBitmap(px.data());
    p.AddBitmap(FilledBitmap(0).data());

    render::BitmapInfo info;
    render::ComputeBitmapInfo(p, info);
    ASSERT_EQ(info.Count, 2);
    const std::uint8_t want[12] = {10, 20, 35, 12, 0, 0, 7, 8, 9, 11, 20, 40};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(info.QuadColours[i], want[i]) << i;
    EXPECT_EQ(info.OpaqueCount[0], 256 + 1 + 256);
    EXPECT_EQ(info.OpaqueCount[1], 0);
    for (int i = 12; i < 24; i += 3) EXPECT_EQ(info.QuadColours[i], 7);
}

TEST(BitmapInfoTest, OpaquePixelsCountsBitmapsAddedSinceTheLastComputation) {
    Project p;
    render::BitmapInfo info;
    render::ComputeBitmapInfo(p, info);
    p.AddBitmap(FilledBitmap(4).data());
    EXPECT_EQ(render::OpaquePixels(p, info, 0), 1024);
    EXPECT_EQ(render::OpaquePixels(p, info, 1), 0);
    EXPECT_EQ(render::OpaquePixels(p, info, NoBitmap), 0);
}

TEST(ScalingTest, ScaleDimAndScalePosRoundToNearest) {
    EXPECT_EQ(render::ScaleDim(19, 96), 19);
    EXPECT_EQ(render::ScaleDim(19, 144), 28);  // 28.5 -> even
    EXPECT_EQ(render::ScaleDim(50, 120), 62);  // 62.5 -> even
    EXPECT_EQ(render::ScalePos(7, 144), 5);    // 4.67
    EXPECT_EQ(render::PixToSq(31), 0);
    EXPECT_EQ(render::PixToSq(32), 1);
    EXPECT_EQ(render::PixToSq(-1), -1);
}

}  // namespace
}  // namespace zorvane::testing
