// Map view rendering: exact pixels of small projects.

#include <random>

#include "render/atr_icons.h"
#include "render/id_labels.h"
#include "render/render_whole_map.h"
#include "render_fixture.h"

namespace zorvane::testing {
namespace {

using render::AtrIcons;

TEST_F(RenderTest, GroundBitmapIsDrawnThroughThePalette) {
    auto px = PatternBitmap(3);
    AddTile(1, 1, 1, 2, static_cast<std::uint16_t>(AddBitmap(px)));
    const QImage& img = Draw();
    for (int r = 0; r < 32; ++r)
        for (int c = 0; c < 32; ++c) ASSERT_EQ(PixelAt(img, 32 + c, 64 + r), PaletteRgb(project, px[r * 32 + c]));
    EXPECT_EQ(PixelAt(img, 31, 64), 0u) << "no tile left of it: black";
    EXPECT_EQ(PixelAt(img, 64, 95), 0u);
}

TEST_F(RenderTest, IndexZeroIsTransparentAndTopCoversGround) {
    auto top = FilledBitmap(0);
    top[5 * 32 + 7] = 9;  // one opaque pixel
    int g = AddBitmap(FilledBitmap(4)), t = AddBitmap(top);
    AddTile(1, 1, 0, 0, static_cast<std::uint16_t>(g), static_cast<std::uint16_t>(t));
    const QImage& img = Draw();
    EXPECT_EQ(PixelAt(img, 7, 5), PaletteRgb(project, 9));
    EXPECT_EQ(PixelAt(img, 8, 5), PaletteRgb(project, 4));

    renderer.Options.ShowTop = false;
    EXPECT_EQ(PixelAt(Draw(), 7, 5), PaletteRgb(project, 4));
    renderer.Options.ShowTop = true;
    renderer.Options.ShowGnd = false;
    const QImage& topOnly = Draw();
    EXPECT_EQ(PixelAt(topOnly, 7, 5), PaletteRgb(project, 9));
    EXPECT_EQ(PixelAt(topOnly, 8, 5), 0u);
}

TEST_F(RenderTest, HigherTileCoversLowerExceptWhereItsPixelsAreZero) {
    auto upper = FilledBitmap(20);
    upper[0] = 0;
    int low = AddBitmap(FilledBitmap(10)), up = AddBitmap(upper);
    AddTile(2, 1, 0, 0, static_cast<std::uint16_t>(low));
    AddTile(1, 1, 1, 0, static_cast<std::uint16_t>(up));
    const QImage& img = Draw();
    EXPECT_EQ(PixelAt(img, 32, 0), PaletteRgb(project, 10));
    EXPECT_EQ(PixelAt(img, 33, 0), PaletteRgb(project, 20));
    EXPECT_EQ(PixelAt(img, 5, 5), PaletteRgb(project, 10));
}

TEST_F(RenderTest, IdsOutOfRangeDrawNothing) {
    AddBitmap(FilledBitmap(10));
    AddTile(1, 1, 0, 0, 1, 5000);
    EXPECT_EQ(PixelAt(Draw(), 10, 10), 0u);
}

TEST_F(RenderTest, BottomUpRowsFlipBitmapsButNeverPictograms) {
    auto px = FilledBitmap(0);
    px[0] = 7;  // slot row 0
    AddTile(1, 1, 0, 0, static_cast<std::uint16_t>(AddBitmap(px)), NoBitmap, 3);
    project.BottomUpRows = true;
    renderer.Options.ShowAtr = true;
    const QImage& img = Draw();
    EXPECT_EQ(PixelAt(img, 0, 31), PaletteRgb(project, 7)) << "slot row 0 is the bottom row";
    const auto& icon = AtrIcons()[3];
    for (int r = 0; r < 32; ++r)
        for (int c = 0; c < 32; ++c)
            if (icon[r * 32 + c] == 2) {
                ASSERT_EQ(PixelAt(img, c, r), RgbOf(255, 255, 0));
            }
}

TEST_F(RenderTest, ShowIdDimsEveryPictureRoundingHalvesToEven) {
    SetPaletteEntry(project, 9, 255, 25, 45);  // x 0.7 = 178.5, 17.5, 31.49..
    AddTile(1, 1, 0, 0, static_cast<std::uint16_t>(AddBitmap(FilledBitmap(9))));
    renderer.Options.ShowId = true;
    EXPECT_EQ(PixelAt(Draw(), 30, 30), RgbOf(178, 18, 31));
}

TEST_F(RenderTest, SelectedTileHasStripesAppliedAfterDimming) {
    SetPaletteEntry(project, 9, 100, 240, 10);
    auto& t = AddTile(1, 1, 0, 0, static_cast<std::uint16_t>(AddBitmap(FilledBitmap(9))));
    t.Selected = true;
    const QImage& img = Draw();  // inside the frame along the tile's edge
    EXPECT_EQ(PixelAt(img, 5, 5), RgbOf(84, 224, 0)) << "(r - c) mod 16 = 0: darkened";
    EXPECT_EQ(PixelAt(img, 5, 6), RgbOf(84, 224, 0)) << "mod 16 = 1";
    EXPECT_EQ(PixelAt(img, 5, 7), RgbOf(132, 255, 42)) << "mod 16 = 2: brightened";
    EXPECT_EQ(PixelAt(img, 7, 5), RgbOf(132, 255, 42)) << "mod 16 = 14";
    EXPECT_EQ(PixelAt(img, 13, 29), RgbOf(84, 224, 0)) << "r - c = 16";
    EXPECT_EQ(PixelAt(img, 12, 29), RgbOf(84, 224, 0)) << "r - c = 17";
    EXPECT_EQ(PixelAt(img, 11, 29), RgbOf(132, 255, 42)) << "r - c = 18";
}

// A selected tile is framed by black and white dashes inside its edge, over
// any ground and over the tiles above it; the inside and the other tiles
// are drawn as without the frame.
TEST_F(RenderTest, SelectedTileIsFramedByBlackAndWhiteDashes) {
    std::mt19937 random(3);
    for (int i = 0; i < 6; ++i) {
        auto px = PatternBitmap(i);
        for (auto& v : px) v = static_cast<std::uint8_t>(random() % 200 + 1);
        AddBitmap(px);
    }
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) AddTile(1, 1, x, y, static_cast<std::uint16_t>((x + 2 * y) % 6));
    auto& selected = AddTile(3, 2, 1, 1, 2);
    AddTile(1, 1, 3, 2, 4);  // above the selected tile's corner
    const QImage before = Draw().copy();
    selected.Selected = true;
    const QImage& img = Draw();
    const QRect frame(32, 32, 96, 64);
    const QRect inside = frame.adjusted(render::OutlineWidth, render::OutlineWidth, -render::OutlineWidth,
                                        -render::OutlineWidth);
    int black = 0, white = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const std::uint32_t got = PixelAt(img, x, y);
            if (!frame.contains(x, y)) {
                ASSERT_EQ(got, PixelAt(before, x, y)) << x << "," << y;
            } else if (!inside.contains(x, y)) {
                ASSERT_EQ(got, (x + y) / render::OutlineDash % 2 ? 0xFFFFFFu : 0u) << x << "," << y;
                ++(got ? white : black);
            } else if (x >= 96 && y >= 64) {
                ASSERT_EQ(got, PixelAt(before, x, y)) << "the tile above is not striped";
            }
        }
    EXPECT_EQ(black + white, 2 * (96 + 64) * render::OutlineWidth - 4 * render::OutlineWidth * render::OutlineWidth);
    EXPECT_NEAR(black, white, 2 * render::OutlineDash * render::OutlineWidth);
}

TEST_F(RenderTest, InvisibleSelectedTileShowsPaletteEntryZeroWithStripes) {
    SetPaletteEntry(project, 0, 50, 60, 70);
    AddBitmap(FilledBitmap(0));  // an all-zero bitmap
    auto& invisible = AddTile(2, 1, 0, 0, NoBitmap);
    auto& zeroBitmap = AddTile(1, 1, 3, 0, 0);
    const QImage& plain = Draw();
    EXPECT_EQ(PixelAt(plain, 5, 5), 0u) << "unselected: nothing";
    EXPECT_EQ(PixelAt(plain, 100, 5), 0u);

    invisible.Selected = true;
    zeroBitmap.Selected = true;
    const QImage& img = Draw();
    for (int x : {0, 32, 96}) {  // inside the selection frame
        EXPECT_EQ(PixelAt(img, x + 5, 5), RgbOf(34, 44, 54)) << x;
        EXPECT_EQ(PixelAt(img, x + 7, 5), RgbOf(82, 92, 102)) << x;
    }
}

TEST_F(RenderTest, SelectedTileWithAVisibleSquareDoesNotPaintItsEmptySquares) {
    int b = AddBitmap(FilledBitmap(5));
    auto& t = AddTile(2, 1, 0, 0, NoBitmap);
    t.SetGndAt(0, 0, static_cast<std::uint16_t>(b));
    t.Selected = true;
    EXPECT_EQ(PixelAt(Draw(), 40, 5), 0u);
}

TEST_F(RenderTest, DepthLimitHidesTheTopOfTheStack) {
    int a = AddBitmap(FilledBitmap(10)), b = AddBitmap(FilledBitmap(20));
    AddTile(1, 1, 0, 0, static_cast<std::uint16_t>(a), NoBitmap, 5);
    AddTile(1, 1, 0, 0, static_cast<std::uint16_t>(b), NoBitmap, 7);
    renderer.Options.ShowAtr = true;
    renderer.DepthLimit = 0;
    const QImage& img = Draw();
    EXPECT_EQ(PixelAt(img, 0, 31), PaletteRgb(project, 10));
    int fill = 0;
    for (int i = 0; i < 1024; ++i)
        if (AtrIcons()[5][i] == 2 && PixelAt(img, i % 32, i / 32) == RgbOf(255, 255, 0)) ++fill;
    EXPECT_GT(fill, 0) << "the attribute of the lower tile";
}

TEST_F(RenderTest, AttributePassTakesTheTopmostTileWithAttributeOrGround) {
    renderer.Options.ShowGnd = false;
    renderer.Options.ShowAtr = true;
    AddBitmap(FilledBitmap(1));
    AddTile(3, 1, 0, 0, NoBitmap, NoBitmap, 10);  // deep water below everything
    AddTile(1, 1, 0, 0, 0, NoBitmap, 0);          // open ground with a bitmap hides it
    AddTile(1, 1, 1, 0, NoBitmap, NoBitmap, 0);   // neither: looked through
    AddTile(1, 1, 2, 0, NoBitmap, NoBitmap, 40);  // tile editor's own value: nothing
    const QImage& img = Draw();
    auto matches = [&](int x0, int atr) {
        for (int i = 0; i < 1024; ++i) {
            std::uint8_t v = AtrIcons()[atr][i];
            std::uint32_t want = v == 0 ? 0u : v == 1 ? RgbOf(0, 0, 1) : RgbOf(255, 255, 0);
            if (PixelAt(img, x0 + i % 32, i / 32) != want) return false;
        }
        return true;
    };
    EXPECT_TRUE(matches(0, 0));
    EXPECT_TRUE(matches(32, 10));
    EXPECT_TRUE(matches(64, 0));
}

TEST_F(RenderTest, GridCoversTheWholePicture) {
    renderer.Options.ShowGrid = true;
    const QImage& img = Draw();
    EXPECT_EQ(PixelAt(img, 0, 0), 0xA0A0A0u);
    EXPECT_EQ(PixelAt(img, 192, 149), 0xA0A0A0u) << "column 6 x 32 on the last row";
    EXPECT_EQ(PixelAt(img, 199, 128), 0xA0A0A0u) << "row 4 x 32 to the last column";
    EXPECT_EQ(PixelAt(img, 33, 33), 0u);
}

TEST_F(RenderTest, BordersFollowTheScrollPosition) {
    renderer.Options.ShowBorder = true;
    const QImage& img = Draw();
    EXPECT_EQ(PixelAt(img, 64, 64), 0xA0A0A0u);
    EXPECT_EQ(PixelAt(img, 64, 149), 0xA0A0A0u);
    EXPECT_EQ(PixelAt(img, 63, 64), 0u);
    EXPECT_EQ(PixelAt(img, 64, 63), 0u) << "above the top line";
    EXPECT_EQ(PixelAt(img, 199, 64), 0xA0A0A0u) << "the top line runs to the right edge";

    renderer.ScrollX = 3;
    renderer.ScrollY = 9;  // bottom line at (14 - 2 - 9) x 32 = 96, right line at (12 - 3) x 32 = 288: outside
    const QImage& scrolled = Draw();
    EXPECT_EQ(PixelAt(scrolled, 5, 96), 0xA0A0A0u);
    EXPECT_EQ(PixelAt(scrolled, 5, 97), 0u);
    for (int y = 0; y < 96; ++y) ASSERT_EQ(PixelAt(scrolled, 0, y), 0u) << "left line gone once ScrollX > 2";
}

TEST_F(RenderTest, FullRedrawBlacksOutWhatNoTileCovers) {
    AddTile(1, 1, 0, 0, static_cast<std::uint16_t>(AddBitmap(FilledBitmap(3))));
    Draw();
    project.UsedTiles.clear();
    EXPECT_EQ(PixelAt(Draw(), 3, 3), 0u);
}

TEST_F(RenderTest, DirtyRectangleRedrawsOnlyItsSquares) {
    int a = AddBitmap(FilledBitmap(3)), b = AddBitmap(FilledBitmap(6));
    auto& left = AddTile(1, 1, 0, 0, static_cast<std::uint16_t>(a));
    auto& right = AddTile(1, 1, 4, 0, static_cast<std::uint16_t>(a));
    Draw();
    left.SetGndAt(0, 0, static_cast<std::uint16_t>(b));
    right.SetGndAt(0, 0, static_cast<std::uint16_t>(b));
    renderer.Render(3, 5, 0, 1, 0, 0);
    const QImage& img = renderer.Picture();
    EXPECT_EQ(PixelAt(img, 1, 1), PaletteRgb(project, 3)) << "outside the rectangle: as it was";
    EXPECT_EQ(PixelAt(img, 129, 1), PaletteRgb(project, 6));
}

TEST_F(RenderTest, WithoutFastRenderEveryRequestRedrawsTheWholeMap) {
    int a = AddBitmap(FilledBitmap(3)), b = AddBitmap(FilledBitmap(6));
    auto& t = AddTile(1, 1, 0, 0, static_cast<std::uint16_t>(a));
    Draw();
    t.SetGndAt(0, 0, static_cast<std::uint16_t>(b));
    renderer.Options.FastRender = false;
    renderer.Render(5, 6, 5, 6, 0, 0);
    EXPECT_EQ(PixelAt(renderer.Picture(), 1, 1), PaletteRgb(project, 6));
}

TEST_F(RenderTest, TilesBeyondTheMapAreDrawn) {
    AddTile(2, 1, 13, 0, static_cast<std::uint16_t>(AddBitmap(FilledBitmap(3))));
    renderer.ScrollX = 10;
    EXPECT_EQ(PixelAt(Draw(), 4 * 32 + 1, 1), PaletteRgb(project, 3)) << "map column 14";
}

// A dirty rectangle anywhere, also wholly beside, above or below the view,
// changes exactly its own squares: it blacks out columns x0..x1-1 of rows
// y0..y1-1 and draws every tile square of x0..x1, y0..y1 over that. Checked
// against two full redraws, of the map before and after a change.
class DirtyRectTest : public RenderTest {
protected:
    static constexpr int Sx = 4, Sy = 5;  // the view shows columns 4..10 and rows 5..9
    DirtyRectTest() {
        before = static_cast<std::uint16_t>(AddBitmap(FilledBitmap(3)));
        after = static_cast<std::uint16_t>(AddBitmap(FilledBitmap(9)));
        render::ComputeBitmapInfo(project, info);
        renderer.ScrollX = renderer.PrevScrollX = Sx;
        renderer.ScrollY = renderer.PrevScrollY = Sy;
    }
    // Before: every square covered. After: some squares covered by another bitmap, the rest bare.
    void SetMap(bool changed) {
        project.UsedTiles.clear();
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 14; ++x)
                if (!changed) AddTile(1, 1, x, y, before);
                else if ((x + 2 * y) % 3 != 0) AddTile(1, 1, x, y, after);
    }
    QImage FullPicture(bool changed) {
        SetMap(changed);
        renderer.FullRedraw();
        return renderer.Picture().copy();
    }
    void ExpectOnlyItsSquaresChanged(int x0, int x1, int y0, int y1) {
        const QImage old = FullPicture(false), now = FullPicture(true);
        FullPicture(false);
        SetMap(true);
        renderer.Render(x0, x1, y0, y1, 0, 0);
        const QImage& got = renderer.Picture();
        for (int py = 0; py < got.height(); ++py)
            for (int px = 0; px < got.width(); ++px) {
                const int j = px / 32 + Sx, i = py / 32 + Sy;
                const bool cleared = j >= x0 && j < x1 && i >= y0 && i < y1;
                const bool drawn = j >= x0 && j <= x1 && i >= y0 && i <= y1 && PixelAt(now, px, py) != 0;
                const std::uint32_t want = cleared || drawn ? PixelAt(now, px, py) : PixelAt(old, px, py);
                ASSERT_EQ(PixelAt(got, px, py), want) << "pixel " << px << "," << py << " for columns " << x0
                                                      << ".." << x1 << ", rows " << y0 << ".." << y1;
            }
    }
    std::uint16_t before = 0, after = 0;
};

TEST_F(DirtyRectTest, RectanglesBesideTheViewChangeNothingAndStraddlingOnesOnlyTheirSquares) {
    const int rects[][4] = {
        {0, 2, 6, 8},   {-3, 3, 5, 9},  {-9, -4, 0, 13},  // left of the view, on its rows
        {12, 15, 6, 8}, {11, 13, 0, 13}, {40, 90, 5, 9},  // right of it
        {5, 8, 0, 3},   {5, 8, -3, 4},                    // above
        {5, 8, 11, 13}, {5, 8, 10, 14},                   // below
        {0, 3, 0, 4},   {12, 20, 11, 20},                 // beside a corner
        {2, 6, 6, 8},   {8, 12, 6, 8},  {5, 8, 3, 6}, {5, 8, 8, 12},  // straddling one edge
        {-1, 20, -1, 20}, {5, 7, 6, 7}, {4, 4, 5, 5}, {7, 6, 6, 7},   // all, inside, one square, empty
    };
    for (const auto& r : rects) ExpectOnlyItsSquaresChanged(r[0], r[1], r[2], r[3]);
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> at(-6, 20);
    for (int k = 0; k < 60; ++k) {
        const int x0 = at(rng), y0 = at(rng);
        ExpectOnlyItsSquaresChanged(x0, x0 + at(rng) / 3, y0, y0 + at(rng) / 3);
    }
}

// A project of many tiles for comparing partial and full redraws.
class ScrollTest : public RenderTest {
protected:
    ScrollTest() {
        project.MapWidth = project.MapHeight = 40;
        for (int i = 0; i < 12; ++i) {
            auto px = PatternBitmap(i);
            for (int p = 0; p < 1024; p += 3 + i) px[p] = 0;
            AddBitmap(px);
        }
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                AddTile(1, 1, x, y, static_cast<std::uint16_t>((x * 7 + y) % 12), NoBitmap, static_cast<std::uint8_t>((x + y) % 36));
        AddTile(3, 2, 6, 5, 1, 2, 8).Selected = true;
        AddTile(2, 4, 12, 3, NoBitmap, 4, 0);
        renderer.Resize(203, 141);
        renderer.Options = render::ViewOptions{};
        renderer.Options.ShowAtr = true;
        renderer.Options.ShowId = true;
        renderer.Options.ShowGrid = true;
        render::ComputeBitmapInfo(project, info);
    }
    QImage Reference(int sx, int sy) {
        render::MapRenderer other(project, info);
        other.Options = renderer.Options;
        other.DepthLimit = INT_MAX;
        other.Resize(renderer.Width(), renderer.Height());
        other.ScrollX = other.PrevScrollX = sx;
        other.ScrollY = other.PrevScrollY = sy;
        other.FullRedraw();
        return other.Picture();
    }
    void ExpectSamePicture(const QImage& got, const QImage& want, int sx, int sy) {
        int diffs = 0;
        for (int y = 0; y < want.height(); ++y)
            for (int x = 0; x < want.width(); ++x) {
                if (skipGridLines && (x % 32 == 0 || y % 32 == 0)) continue;
                if (want.pixel(x, y) != got.pixel(x, y) && diffs++ < 5)
                    ADD_FAILURE() << "pixel " << x << "," << y << " at scroll " << sx << "," << sy << std::hex
                                  << " got " << got.pixel(x, y) << " want " << want.pixel(x, y);
            }
        ASSERT_EQ(diffs, 0);
    }
    void Walk();
    bool skipGridLines = false;
};

TEST_F(ScrollTest, ScrollingDrawsTheSameAsAFullRedraw) {
    renderer.Options.ShowGrid = false;
    renderer.Options.ShowBorder = false;
    Walk();
}

// The grid and the borders are drawn over the whole picture but labels only
// over the redrawn squares: label pixels on a grid or border line outside the
// exposed strip turn grey.
TEST_F(ScrollTest, WithTheGridScrollingDrawsTheSameAsAFullRedrawOffTheGridLines) {
    skipGridLines = true;
    Walk();
}

void ScrollTest::Walk() {
    renderer.FullRedraw();
    const std::pair<int, int> steps[] = {{1, 0}, {3, 0}, {3, 1}, {3, 4}, {2, 4}, {0, 4}, {0, 2}, {5, 0}, {5, 9}, {4, 9}};
    for (auto [sx, sy] : steps) {
        if (sx != renderer.ScrollX) renderer.HorizontalScroll(sx);
        if (sy != renderer.ScrollY) renderer.VerticalScroll(sy);
        ExpectSamePicture(renderer.Picture(), Reference(sx, sy), sx, sy);
    }
}

TEST_F(ScrollTest, ScrollingFurtherThanTheViewRedrawsEverything) {
    renderer.FullRedraw();
    renderer.HorizontalScroll(30);
    renderer.VerticalScroll(25);
    EXPECT_TRUE(renderer.Picture() == Reference(30, 25));
}

TEST_F(ScrollTest, RenderingDisabledLeavesThePicture) {
    renderer.FullRedraw();
    QImage before = renderer.Picture();
    renderer.RenderingDisabled = true;
    project.UsedTiles.clear();
    renderer.FullRedraw();
    EXPECT_TRUE(renderer.Picture() == before);
}

// Id labels: written over a transparent bitmap so that only the text shows.
class LabelTest : public RenderTest {
protected:
    LabelTest() {
        renderer.Options.ShowId = true;
        auto px = FilledBitmap(0);
        px[31 * 32 + 31] = 1;  // not fully opaque, not empty
        AddBitmap(px);
        AddBitmap(FilledBitmap(2));  // fully opaque
    }
    // The label area of square (0, 0) as the renderer wrote it, against the
    // expected texts written by the same font on black.
    void ExpectLabels(const char* gnd, const char* top, const char* atr) {
        const QImage& img = Draw();
        QImage want(200, 150, QImage::Format_RGB32);
        want.fill(0xFF000000);
        render::LabelFont font(9);
        if (gnd) font.Write(want, 0, 0, gnd, 0xFFFFFFFF);
        if (top) font.Write(want, 0, 9, top, 0xFFFFFFFF);
        if (atr) font.Write(want, 0, 18, atr, 0xFFFFFFFF);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 31; ++x)
                ASSERT_EQ(PixelAt(img, x, y) == 0xFFFFFF, PixelAt(want, x, y) == 0xFFFFFF) << x << "," << y;
    }
};

TEST_F(LabelTest, TileWithoutBitmapShows65535) {
    AddTile(1, 1, 0, 0, NoBitmap, NoBitmap);
    ExpectLabels("65535", "65535", nullptr);
}

TEST_F(LabelTest, TransparentUpperGroundOverALowerGroundGetsAPlus) {
    AddTile(1, 1, 0, 0, 1, NoBitmap);
    AddTile(1, 1, 0, 0, 0, NoBitmap);
    ExpectLabels("0+", "65535", nullptr);
}

TEST_F(LabelTest, OpaqueUpperGroundResolvesTheSquare) {
    AddTile(1, 1, 0, 0, 0, NoBitmap);
    AddTile(1, 1, 0, 0, 1, NoBitmap);
    renderer.Options.ShowTop = false;
    ExpectLabels("1", nullptr, nullptr);
}

TEST_F(LabelTest, TopPlusWhenAnotherTopLiesUnderATransparentOne) {
    AddTile(1, 1, 0, 0, NoBitmap, 1);
    AddTile(1, 1, 0, 0, NoBitmap, 0);
    ExpectLabels("65535", "0+", nullptr);
}

TEST_F(LabelTest, GroundLabelsDecideResolutionEvenWithGroundHidden) {
    AddTile(1, 1, 0, 0, NoBitmap, 0);
    AddTile(1, 1, 0, 0, 1, NoBitmap);  // opaque ground on top: nothing below counts
    renderer.Options.ShowGnd = false;
    ExpectLabels(nullptr, "65535", nullptr);
}

TEST_F(LabelTest, AttributeLabelComesFromTheTileThatGivesTheGroundLabel) {
    renderer.Options.ShowAtr = true;
    renderer.Options.ShowTop = false;
    AddTile(1, 1, 0, 0, NoBitmap, NoBitmap, 0);
    ExpectLabels("65535", nullptr, "0");
}

TEST(RenderWholeMapTest, DrawsEveryUsedTileAtMapSize) {
    Project p;
    FillTestPalette(p);
    p.MapWidth = 3;
    p.MapHeight = 2;
    auto px = FilledBitmap(8);
    p.AddBitmap(px.data());
    p.UsedTiles.push_back(MakeTile(1, 1, 2, 1, 0));
    render::RenderOptions options;
    options.ShowBorder = false;
    QImage img = render::RenderWholeMap(p, options);
    ASSERT_EQ(img.size(), QSize(96, 64));
    EXPECT_EQ(PixelAt(img, 70, 40), PaletteRgb(p, 8));
    EXPECT_EQ(PixelAt(img, 10, 10), 0u);
    EXPECT_TRUE(render::RenderWholeMap(Project{}, options).isNull());
}

}  // namespace
}  // namespace zorvane::testing
