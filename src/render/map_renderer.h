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
//
// Zoom: a square covers ViewSquare() view pixels (32 at 100 %), and the
// picture has DeviceRatio() picture pixels per view pixel (2 on a HiDPI
// screen), so a square is SquarePixels() picture pixels wide. Larger squares
// repeat bitmap pixels (nearest); smaller ones come from averaged pictures
// cached per bitmap (ReducedPictures), and leave out the pictograms and the
// grid below 8 picture pixels and the ids below 100 %. With 32 picture
// pixels per square every pixel is what the unzoomed view draws.

#include <QImage>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "model/project.h"
#include "render/bitmap_info.h"
#include "render/id_labels.h"
#include "render/reduced_pictures.h"
#include "render/view_options.h"

namespace zorvane::render {

inline constexpr std::uint32_t GridColour = 0xFFA0A0A0;  // (160, 160, 160)
inline constexpr int OutlineWidth = 2;  // the selection frame, pixels
inline constexpr int OutlineDash = 4;   // its dash length, pixels

class MapRenderer {
public:
    MapRenderer(const Project& project, const BitmapInfo& info);

    // Makes a new, black picture for a view of width x height view pixels.
    void Resize(int width, int height);
    const QImage& Picture() const { return picture_; }
    int Width() const { return width_; }    // view pixels
    int Height() const { return height_; }
    int ViewCols() const { return (picture_.width() + square_ - 1) / square_; }  // Ceil(W / square)
    int ViewRows() const { return (picture_.height() + square_ - 1) / square_; }

    // View pixels per square (4 .. 128; 32 is 100 %) and picture pixels per
    // view pixel. Both leave the picture to be drawn again (FullRedraw);
    // SetDeviceRatio makes a new picture when the ratio changed, and says so.
    void SetViewSquare(int viewPixels);
    bool SetDeviceRatio(double ratio);
    int ViewSquare() const { return viewSquare_; }
    double DeviceRatio() const { return ratio_; }
    int SquarePixels() const { return square_; }
    // The map column and row under view pixel (x, y), scrolling included.
    int ColumnAt(int x) const;
    int RowAt(int y) const;
    // Averaged pictures made since the cache was last emptied.
    std::size_t ReducedPicturesMade() const { return reduced_.Made(); }

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
    // One square at any zoom. `id` names the picture to the caches of
    // averaged pictures: a bitmap id for bitmaps, an attribute for
    // pictograms (`colours` tells which), -1 for none (reduced each time).
    void DrawSquare(const std::uint8_t* pixels, int id, int x, int y, const Colours& colours, bool highlighted,
                    bool allZero, bool flip);
    void DrawEnlarged(const std::uint8_t* pixels, int x, int y, const Colours& colours, bool highlighted,
                      bool allZero, bool flip);
    void DrawReduced(const std::uint32_t* reduced, int x, int y, const Colours& colours, bool highlighted,
                     bool allZero);
    void PrepareReduced(const Colours& colours, bool flip);
    void FillBlack(int left, int top, int right, int bottom);
    void Shift(int dxPixels, int dyPixels);
    void CollectVisibleTiles();
    void BuildStacks(const Range& range);
    bool TileInvisible(const MapTile& tile) const;
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
    int width_ = 0, height_ = 0;  // view pixels
    int viewSquare_ = 32;
    double ratio_ = 1.0;
    int square_ = 32;  // picture pixels per square
    std::vector<int> sourceOffset_;  // bitmap pixel of every picture pixel of an enlarged square
    ReducedPictures reduced_;       // bitmaps
    ReducedPictures reducedIcons_;  // attribute pictograms
    std::vector<std::uint32_t> reducedOnce_;
    std::uint32_t* base_ = nullptr;
    qsizetype stride_ = 0;

    Colours bitmapColours_{};
    Colours iconColours_{};
    double coloursBrightness_ = -1;
    std::array<std::uint8_t, 1024> coloursPalette_{};

    std::unique_ptr<LabelFont> font_;
    double fontPpi_ = 0;
    double fontRatio_ = 0;

    // Scratch of one Render: the used tiles that overlap the view, and for
    // every square of the drawn range the tiles covering it, bottom to top.
    std::vector<int> visible_;
    std::vector<int> stackStart_;
    std::vector<int> stackTiles_;
};

}  // namespace zorvane::render
