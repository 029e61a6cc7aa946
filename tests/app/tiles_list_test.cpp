// Pictures and texts of the tiles list.

#include <gtest/gtest.h>

#include "builders.h"
#include "editor/tiles_list.h"
#include "render_fixture.h"

namespace zorvane::testing {
namespace {

class TilePictureTest : public ::testing::Test {
protected:
    TilePictureTest() {
        FillTestPalette(p);
        p.AddBitmap(FilledBitmap(7).data());
    }
    // Opaque extent of the picture: the last opaque column and row + 1.
    QSize Extent(const QImage& img) const {
        int w = 0, h = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qAlpha(img.pixel(x, y)) != 0) {
                    w = std::max(w, x + 1);
                    h = std::max(h, y + 1);
                }
        return {w, h};
    }
    Project p;
};

TEST_F(TilePictureTest, SmallTilesAreDrawnAtFullSize) {
    auto tile = MakeTile(2, 3, 0, 0, 0);
    QImage img = editor::TilePicture(p, *tile);
    EXPECT_EQ(img.size(), QSize(128, 128));
    EXPECT_EQ(Extent(img), QSize(64, 96));
    EXPECT_EQ(img.pixel(10, 10) & 0xFFFFFF, PaletteRgb(p, 7));
    EXPECT_EQ(editor::TileItemText(4, *tile), QStringLiteral("4 (2,3):"));
}

TEST_F(TilePictureTest, LargeTilesAreShrunkInProportion) {
    auto tile = MakeTile(10, 5, 0, 0, 0);
    EXPECT_EQ(Extent(editor::TilePicture(p, *tile)), QSize(128, 64)) << "s = 2.5";
}

TEST_F(TilePictureTest, TopWithoutGroundShowsOnlyItsOpaquePixels) {
    auto top = FilledBitmap(0);
    top[0] = 9;
    int t = p.AddBitmap(top.data());
    auto tile = MakeTile(1, 1, 0, 0, NoBitmap, static_cast<std::uint16_t>(t));
    QImage img = editor::TilePicture(p, *tile);
    EXPECT_EQ(Extent(img), QSize(1, 1));
    EXPECT_EQ(img.pixel(0, 0) & 0xFFFFFF, PaletteRgb(p, 9));
}

}  // namespace
}  // namespace zorvane::testing
