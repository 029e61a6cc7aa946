#pragma once
// The map view's renderer. It draws the part of the map that starts at the
// view origin (ScrollX, ScrollY) into an off-screen picture of the view's
// size, composing every square at drawing time from the used tiles that
// cover it, bottom to top. Every request names a rectangle of squares (a
// dirty rectangle) and, for scrolling, a shift of the picture already drawn
// by whole squares; only the asked squares are drawn again.
//
// The picture is a QImage in Format_RGB32 (8 bits each of red, green, blue),
// written straight into its rows. Bitmap colours come from tables made once
// per palette and brightness; id labels from glyphs rendered once.
//
// A selected tile is drawn striped and framed: a dashed black and white
// outline, OutlineWidth pixels wide inside the tile's edge, which shows on
// any ground. Each square's frame part depends on the square alone, so a
// partial redraw draws the same pixels as a full one.

#include <QImage>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "model/project.h"
#include "render/bitmap_info.h"
#include "render/id_labels.h"
#include "render/view_options.h"

namespace zorvane::editor {

inline constexpr std::uint32_t GridColour = 0xFFA0A0A0;  // (160, 160, 160)
inline constexpr int OutlineWidth = 2;  // the selection frame, pixels
inline constexpr int OutlineDash = 4;   // its dash length, pixels

class MapRenderer {
public:
    MapRenderer(const Project& project, const BitmapInfo& info);

    // Makes a new, black picture of width x height pixels.
    void Resize(int width, int height);
    const QImage& Picture() const { return picture_; }
    int Width() const { return picture_.width(); }
    int Height() const { return picture_.height(); }
    int ViewCols() const { return (Width() + 31) / 32; }  // Ceil(W / 32)
    int ViewRows() const { return (Height() + 31) / 32; }

    ViewOptions Options;
    int ScrollX = 0;
    int ScrollY = 0;
    int PrevScrollX = 0;
    int PrevScrollY = 0;
    int DepthLimit = 0;  // only used tiles with index <= DepthLimit are drawn
    bool RenderingDisabled = false;
    double Ppi = 96.0;   // screen pixels per inch, for the label font
    std::function<void()> OnRendered;  // after every Render: show the picture, ask the mini map

    // Redraws squares x0..x1, y0..y1 (inclusive) after shifting the picture
    // by (dx, dy) squares.
    void Render(int x0, int x1, int y0, int y1, int dx, int dy);
    // Render of the whole view at the current origin.
    void FullRedraw();
    // The scroll bars moved: shift the picture and draw the exposed strip.
    void HorizontalScroll(int position);
    void VerticalScroll(int position);

    // Draws one 32 x 32 picture with its top-left at view pixel (x, y):
    // index 0 is transparent (unless a highlighted picture is all 0),
    // channels scaled by `brightness`, highlight stripes, and either the
    // project palette or the pictogram palette.
    void DrawBitmap(const std::uint8_t* pixels, int x, int y, double brightness, bool highlighted,
                    bool pictogramPalette);

private:
    struct Colours {
        std::uint32_t plain[256];
        std::uint32_t plus[256];   // highlighted, brightened
        std::uint32_t minus[256];  // highlighted, darkened stripe
    };
    struct Range {
        int cx0, cx1, ry0, ry1;
        int Cols() const { return cx1 - cx0 + 1; }
        bool Empty() const { return cx1 < cx0 || ry1 < ry0; }
    };

    void Attach();
    void PrepareColours(double brightness);
    void Draw(const std::uint8_t* pixels, int x, int y, const Colours& colours, bool highlighted, bool allZero,
              bool flip);
    void FillBlack(int left, int top, int right, int bottom);
    void Shift(int dxPixels, int dyPixels);
    void CollectVisibleTiles();
    void BuildStacks(const Range& range);
    bool TileInvisible(const TTile& tile) const;
    int Opaque(int id) const { return OpaquePixels(project_, info_, id); }
    void TilePass(const Range& range);
    void AttributePass(const Range& range);
    void OutlinePass(const Range& range);
    void GridPass();
    void BorderPass();
    void LabelPass(const Range& range);
    const LabelFont& Font();

    const Project& project_;
    const BitmapInfo& info_;
    QImage picture_;
    std::uint32_t* base_ = nullptr;
    qsizetype stride_ = 0;

    Colours bitmapColours_{};
    Colours iconColours_{};
    double coloursBrightness_ = -1;
    std::array<std::uint8_t, 1024> coloursPalette_{};

    std::unique_ptr<LabelFont> font_;
    double fontPpi_ = 0;

    // Scratch of one Render: the used tiles that overlap the view, and for
    // every square of the drawn range the tiles covering it, bottom to top.
    std::vector<int> visible_;
    std::vector<int> stackStart_;
    std::vector<int> stackTiles_;
};

}  // namespace zorvane::editor
