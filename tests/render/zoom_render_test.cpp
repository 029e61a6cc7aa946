// The map view zoomed: reduced squares against the plain mean of their
// bitmap pixels, enlarged squares against the unzoomed picture, scrolling
// against a full redraw, and the averaged pictures made anew when the
// bitmaps or the palette change.

#include <algorithm>
#include <cmath>
#include <random>

#include "render_fixture.h"

namespace zorvane::testing {
namespace {

class ZoomRenderTest : public RenderTest {
protected:
    // 24 x 24 squares of random opaque bitmaps, some with a random top.
    ZoomRenderTest() {
        project.MapWidth = project.MapHeight = 24;
        std::mt19937 rng(11);
        for (int b = 0; b < 16; ++b) {
            BitmapPixels px;
            for (auto& v : px) v = static_cast<std::uint8_t>(1 + rng() % 255);
            AddBitmap(px);
        }
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x) AddTile(1, 1, x, y, static_cast<std::uint16_t>(rng() % 16), NoBitmap, rng() % 36);
    }
    QImage DrawAt(int viewSquare, int sx = 0, int sy = 0) {
        renderer.SetViewSquare(viewSquare);
        renderer.ScrollX = renderer.PrevScrollX = sx;
        renderer.ScrollY = renderer.PrevScrollY = sy;
        return Draw();
    }
};

// The plain reference: every picture pixel of a reduced square is the
// rounded mean of the bitmap pixels under it.
TEST_F(ZoomRenderTest, ReducedSquaresShowTheMeanOfTheirBitmapPixels) {
    for (int side : {4, 8, 16}) {
        const QImage picture = DrawAt(side);
        const int k = 32 / side;
        for (int y = 0; y < std::min(picture.height(), 24 * side); ++y)
            for (int x = 0; x < std::min(picture.width(), 24 * side); ++x) {
                const MapTile& tile = *project.UsedTiles[(y / side) * 24 + x / side];
                const std::uint8_t* px = project.Bitmap(tile.Sq[0].Gnd);
                double r = 0, g = 0, b = 0;
                for (int dy = 0; dy < k; ++dy)
                    for (int dx = 0; dx < k; ++dx) {
                        const std::uint32_t c = PaletteRgb(project, px[((y % side) * k + dy) * 32 + (x % side) * k + dx]);
                        r += c >> 16 & 255, g += c >> 8 & 255, b += c & 255;
                    }
                const double n = k * k;
                const std::uint32_t want = RgbOf(static_cast<int>(std::lround(r / n)),
                                                 static_cast<int>(std::lround(g / n)),
                                                 static_cast<int>(std::lround(b / n)));
                ASSERT_EQ(PixelAt(picture, x, y), want) << "side " << side << " at " << x << "," << y;
            }
    }
}

// Zoomed in, each picture pixel is the unzoomed pixel it covers, pictograms
// included.
TEST_F(ZoomRenderTest, EnlargedSquaresRepeatTheUnzoomedPixels) {
    renderer.Options.ShowAtr = true;
    renderer.Resize(256, 192);
    const QImage plain = DrawAt(32, 3, 2);
    for (int side : {64, 96, 128}) {
        const QImage zoomed = DrawAt(side, 3, 2);
        for (int y = 0; y < zoomed.height(); ++y)
            for (int x = 0; x < zoomed.width(); ++x) {
                const int px = (x / side) * 32 + (x % side) * 32 / side, py = (y / side) * 32 + (y % side) * 32 / side;
                if (px >= plain.width() || py >= plain.height()) continue;
                ASSERT_EQ(zoomed.pixel(x, y), plain.pixel(px, py)) << "side " << side << " at " << x << "," << y;
            }
    }
}

TEST_F(ZoomRenderTest, ScrollingAtEveryZoomDrawsWhatAFullRedrawDoes) {
    project.UsedTiles[30]->Selected = true;
    AddTile(3, 2, 5, 4, 2, 3).Selected = true;
    renderer.Options.ShowAtr = true;
    renderer.Options.ShowBorder = true;
    for (int side : {4, 8, 16, 64, 128}) {
        DrawAt(side);
        const std::pair<int, int> steps[] = {{1, 0}, {3, 1}, {2, 4}, {0, 2}, {6, 7}, {5, 9}};
        for (auto [sx, sy] : steps) {
            if (sx != renderer.ScrollX) renderer.HorizontalScroll(sx);
            if (sy != renderer.ScrollY) renderer.VerticalScroll(sy);
            render::MapRenderer reference(project, info);
            reference.Options = renderer.Options;
            reference.DepthLimit = renderer.DepthLimit;
            reference.SetViewSquare(side);
            reference.Resize(renderer.Width(), renderer.Height());
            reference.ScrollX = reference.PrevScrollX = sx;
            reference.ScrollY = reference.PrevScrollY = sy;
            reference.FullRedraw();
            ASSERT_TRUE(renderer.Picture() == reference.Picture()) << "side " << side << " at " << sx << "," << sy;
        }
    }
}

TEST_F(ZoomRenderTest, AveragedPicturesAreMadeOnceAndAgainAfterAChange) {
    DrawAt(8);
    EXPECT_EQ(renderer.ReducedPicturesMade(), 16u) << "one per bitmap shown";
    renderer.HorizontalScroll(2);
    renderer.FullRedraw();
    EXPECT_EQ(renderer.ReducedPicturesMade(), 16u) << "drawing again makes none";

    // A bitmap changed in place (as an undo that gives an id other pixels).
    const int id = project.UsedTiles[0]->Sq[0].Gnd;
    std::fill(project.MutableBitmap(id), project.MutableBitmap(id) + BitmapBytes, std::uint8_t{9});
    const QImage changed = DrawAt(8);
    EXPECT_EQ(PixelAt(changed, 1, 1), PaletteRgb(project, 9));
    EXPECT_EQ(renderer.ReducedPicturesMade(), 16u) << "all made anew";

    SetPaletteEntry(project, 9, 1, 2, 3);
    renderer.FullRedraw();
    EXPECT_EQ(PixelAt(renderer.Picture(), 1, 1), RgbOf(1, 2, 3)) << "a new palette";
    renderer.Options.ShowId = true;
    renderer.FullRedraw();
    EXPECT_EQ(PixelAt(renderer.Picture(), 1, 1), RgbOf(1, 1, 2)) << "dimmed for the ids (which are left out)";
}

TEST_F(ZoomRenderTest, MouseSquaresFollowTheZoomAndTheDeviceRatio) {
    renderer.ScrollX = 5;
    for (int side : {4, 16, 32, 128}) {
        renderer.SetViewSquare(side);
        EXPECT_EQ(renderer.ColumnAt(side * 3 - 1), 7);
        EXPECT_EQ(renderer.ColumnAt(side * 3), 8);
    }
    renderer.SetDeviceRatio(2.0);
    EXPECT_EQ(renderer.Picture().width(), 2 * renderer.Width()) << "the picture at the screen's resolution";
    EXPECT_EQ(renderer.SquarePixels(), 256);
    EXPECT_EQ(renderer.ColumnAt(128 * 3), 8);
}

}  // namespace
}  // namespace zorvane::testing
