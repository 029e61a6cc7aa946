#include "render/map_renderer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "render/atr_icons.h"
#include "render/scaling.h"

namespace zorvane::render {
namespace {

constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;

std::uint32_t Rgb(int r, int g, int b) {
    return 0xFF000000u | (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) |
           static_cast<std::uint32_t>(b);
}

std::uint32_t Brightened(std::uint32_t c) {
    return Rgb(std::min(255, static_cast<int>((c >> 16) & 0xFF) + 32), std::min(255, static_cast<int>((c >> 8) & 0xFF) + 32),
               std::min(255, static_cast<int>(c & 0xFF) + 32));
}

std::uint32_t Darkened(std::uint32_t c) {
    return Rgb(std::max(0, static_cast<int>((c >> 16) & 0xFF) - 16), std::max(0, static_cast<int>((c >> 8) & 0xFF) - 16),
               std::max(0, static_cast<int>(c & 0xFF) - 16));
}

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Channel scaled by the brightness, halves to even.
int Scaled(int channel, double brightness) {
    if (brightness == 1.0) return channel;
    return static_cast<int>(std::nearbyint(channel * brightness));
}

}  // namespace

MapRenderer::MapRenderer(const Project& project, const BitmapInfo& info) : project_(project), info_(info) {
    SetViewSquare(32);
}

void MapRenderer::Resize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    picture_ = QImage(static_cast<int>(std::ceil(width_ * ratio_)), static_cast<int>(std::ceil(height_ * ratio_)),
                      QImage::Format_RGB32);
    picture_.setDevicePixelRatio(ratio_);
    picture_.fill(kBlack);
    Attach();
}

void MapRenderer::SetViewSquare(int viewPixels) {
    viewSquare_ = std::clamp(viewPixels, 1, 1024);
    square_ = std::max(1, static_cast<int>(std::lround(viewSquare_ * ratio_)));
    sourceOffset_.resize(square_);
    for (int i = 0; i < square_; ++i) sourceOffset_[i] = i * 32 / square_;
}

bool MapRenderer::SetDeviceRatio(double ratio) {
    if (ratio <= 0 || ratio == ratio_) return false;
    ratio_ = ratio;
    SetViewSquare(viewSquare_);
    Resize(width_, height_);
    return true;
}

int MapRenderer::ColumnAt(int x) const { return FloorDiv(static_cast<int>(std::floor(x * ratio_)), square_) + ScrollX; }
int MapRenderer::RowAt(int y) const { return FloorDiv(static_cast<int>(std::floor(y * ratio_)), square_) + ScrollY; }

// Takes the picture's rows for writing (a copy made by a caller is left as it was).
void MapRenderer::Attach() {
    base_ = picture_.isNull() ? nullptr : reinterpret_cast<std::uint32_t*>(picture_.bits());
    stride_ = picture_.bytesPerLine() / 4;
}

void MapRenderer::PrepareColours(double brightness) {
    if (brightness == coloursBrightness_ && std::memcmp(coloursPalette_.data(), project_.Palette.data(), 1024) == 0)
        return;
    coloursBrightness_ = brightness;
    coloursPalette_ = project_.Palette;
    auto fill = [brightness](Colours& out, int v, int b, int g, int r) {
        b = Scaled(b, brightness);
        g = Scaled(g, brightness);
        r = Scaled(r, brightness);
        out.plain[v] = Rgb(r, g, b);
        out.plus[v] = Rgb(std::min(255, r + 32), std::min(255, g + 32), std::min(255, b + 32));
        out.minus[v] = Rgb(std::max(0, r - 16), std::max(0, g - 16), std::max(0, b - 16));
    };
    const auto& pal = project_.Palette;
    for (int v = 0; v < 256; ++v) fill(bitmapColours_, v, pal[v * 4], pal[v * 4 + 1], pal[v * 4 + 2]);
    for (int v = 0; v < 256; ++v) {
        const std::uint8_t* e = v < 3 ? AtrIconPalette[v] : AtrIconPalette[0];
        fill(iconColours_, v, e[0], e[1], e[2]);
    }
}

void MapRenderer::DrawBitmap(const std::uint8_t* pixels, int x, int y, double brightness, bool highlighted,
                             bool pictogramPalette) {
    if (picture_.isNull()) return;
    Attach();
    PrepareColours(brightness);
    bool allZero = highlighted && std::all_of(pixels, pixels + BitmapBytes, [](std::uint8_t v) { return v == 0; });
    Draw(pixels, x, y, pictogramPalette ? iconColours_ : bitmapColours_, highlighted, allZero,
         project_.BottomUpRows && !pictogramPalette);
}

void MapRenderer::Draw(const std::uint8_t* pixels, int x, int y, const Colours& colours, bool highlighted,
                       bool allZero, bool flip) {
    const int rows = std::min(32, picture_.height() - y), cols = std::min(32, picture_.width() - x);
    const int r0 = std::max(0, -y), c0 = std::max(0, -x);
    for (int r = r0; r < rows; ++r) {
        const std::uint8_t* src = pixels + (flip ? 31 - r : r) * 32;
        std::uint32_t* dst = base_ + (y + r) * stride_ + x;
        if (!highlighted) {
            for (int c = c0; c < cols; ++c)
                if (std::uint8_t v = src[c]) dst[c] = colours.plain[v];
            continue;
        }
        // Stripes: darkened where (r - c) mod 16 is 0 or 1, brightened elsewhere.
        for (int c = c0; c < cols; ++c) {
            std::uint8_t v = src[c];
            if (v == 0 && !allZero) continue;
            dst[c] = ((r - c) & 15) < 2 ? colours.minus[v] : colours.plus[v];
        }
    }
}

void MapRenderer::DrawSquare(const std::uint8_t* pixels, int id, int x, int y, const Colours& colours,
                             bool highlighted, bool allZero, bool flip) {
    if (square_ == 32) {
        Draw(pixels, x, y, colours, highlighted, allZero, flip);
    } else if (square_ > 32) {
        DrawEnlarged(pixels, x, y, colours, highlighted, allZero, flip);
    } else if (allZero) {
        DrawReduced(nullptr, x, y, colours, highlighted, true);
    } else if (id >= 0 && &colours == &bitmapColours_ && flip == project_.BottomUpRows) {
        DrawReduced(reduced_.Get(id, pixels), x, y, colours, highlighted, false);
    } else if (id >= 0 && &colours == &iconColours_ && !flip) {
        DrawReduced(reducedIcons_.Get(id, pixels), x, y, colours, highlighted, false);
    } else {
        reducedOnce_.resize(static_cast<std::size_t>(square_) * square_);
        ReducePicture(pixels, colours.plain, flip, square_, reducedOnce_.data());
        DrawReduced(reducedOnce_.data(), x, y, colours, highlighted, false);
    }
}

// Each picture pixel shows the bitmap pixel it falls on; the stripes of a
// highlighted square grow with it.
void MapRenderer::DrawEnlarged(const std::uint8_t* pixels, int x, int y, const Colours& colours, bool highlighted,
                               bool allZero, bool flip) {
    const int rows = std::min(square_, picture_.height() - y), cols = std::min(square_, picture_.width() - x);
    const int r0 = std::max(0, -y), c0 = std::max(0, -x);
    for (int r = r0; r < rows; ++r) {
        const int sr = sourceOffset_[r];
        const std::uint8_t* src = pixels + (flip ? 31 - sr : sr) * 32;
        std::uint32_t* dst = base_ + (y + r) * stride_ + x;
        for (int c = c0; c < cols; ++c) {
            const int sc = sourceOffset_[c];
            const std::uint8_t v = src[sc];
            if (v == 0 && !(highlighted && allZero)) continue;
            if (!highlighted)
                dst[c] = colours.plain[v];
            else
                dst[c] = ((sr - sc) & 15) < 2 ? colours.minus[v] : colours.plus[v];
        }
    }
}

// `reduced`: an averaged picture (top byte 0 where transparent); null with
// `allZero` for a highlighted picture that is all index 0.
void MapRenderer::DrawReduced(const std::uint32_t* reduced, int x, int y, const Colours& colours, bool highlighted,
                              bool allZero) {
    const int rows = std::min(square_, picture_.height() - y), cols = std::min(square_, picture_.width() - x);
    const int r0 = std::max(0, -y), c0 = std::max(0, -x);
    for (int r = r0; r < rows; ++r) {
        std::uint32_t* dst = base_ + (y + r) * stride_ + x;
        if (allZero) {
            for (int c = c0; c < cols; ++c) dst[c] = ((r - c) & 15) < 2 ? colours.minus[0] : colours.plus[0];
            continue;
        }
        const std::uint32_t* src = reduced + r * square_;
        for (int c = c0; c < cols; ++c) {
            const std::uint32_t v = src[c];
            if ((v >> 24) == 0) continue;
            if (!highlighted)
                dst[c] = v;
            else
                dst[c] = ((r - c) & 15) < 2 ? Darkened(v) : Brightened(v);
        }
    }
}

void MapRenderer::PrepareReduced(const Colours& colours, bool flip) {
    ReducedPictures::Key key;
    key.Side = square_;
    key.Count = project_.BitmapCount;
    key.Version = info_.Version;
    key.Flip = flip;
    std::copy(std::begin(colours.plain), std::end(colours.plain), key.Colours.begin());
    reduced_.Prepare(key);
    // The pictograms do not change; their colours follow the brightness.
    key.Count = AttributeCount;
    key.Version = 0;
    key.Flip = false;
    std::copy(std::begin(iconColours_.plain), std::end(iconColours_.plain), key.Colours.begin());
    reducedIcons_.Prepare(key);
}

// Right and bottom are exclusive. Every edge is clipped to the picture, so a
// rectangle lying wholly beside or beyond the view fills nothing.
void MapRenderer::FillBlack(int left, int top, int right, int bottom) {
    left = std::clamp(left, 0, picture_.width());
    right = std::clamp(right, 0, picture_.width());
    top = std::clamp(top, 0, picture_.height());
    bottom = std::clamp(bottom, 0, picture_.height());
    if (left >= right) return;
    for (int y = top; y < bottom; ++y) std::fill(base_ + y * stride_ + left, base_ + y * stride_ + right, kBlack);
}

// Moves the picture by (dx, dy) pixels and blacks out what the move exposed.
void MapRenderer::Shift(int dx, int dy) {
    const int w = picture_.width(), h = picture_.height();
    if (std::abs(dx) >= w || std::abs(dy) >= h) {
        FillBlack(0, 0, w, h);
        return;
    }
    auto moveRow = [&](int dstRow, int srcRow) {
        std::uint32_t* d = base_ + dstRow * stride_;
        const std::uint32_t* s = base_ + srcRow * stride_;
        if (dx >= 0)
            std::memmove(d + dx, s, static_cast<std::size_t>(w - dx) * 4);
        else
            std::memmove(d, s - dx, static_cast<std::size_t>(w + dx) * 4);
    };
    if (dy > 0)
        for (int r = h - 1; r >= dy; --r) moveRow(r, r - dy);
    else
        for (int r = 0; r < h + dy; ++r) moveRow(r, r - dy);
    if (dx > 0) FillBlack(0, 0, dx, h);
    if (dx < 0) FillBlack(w + dx, 0, w, h);
    if (dy > 0) FillBlack(0, 0, w, dy);
    if (dy < 0) FillBlack(0, h + dy, w, h);
}

void MapRenderer::Render(int x0, int x1, int y0, int y1, int dx, int dy) {
    if (RenderingDisabled || picture_.isNull()) return;
    Attach();
    if (!Options.FastRender) {
        x0 = 0;
        x1 = project_.MapWidth;
        y0 = 0;
        y1 = project_.MapHeight;
    }
    PrepareColours(Options.ShowId ? 0.7 : 1.0);
    if (square_ < 32) PrepareReduced(bitmapColours_, project_.BottomUpRows);
    const int sq = square_;
    if (dx == 0 && dy == 0)
        FillBlack(std::max(0, x0 - ScrollX) * sq, std::max(0, y0 - ScrollY) * sq, (x1 - ScrollX) * sq,
                  (y1 - ScrollY) * sq);
    else
        Shift(dx * sq, dy * sq);

    const Range range{std::max(ScrollX, x0), std::min(ScrollX + ViewCols(), x1), std::max(ScrollY, y0),
                      std::min(ScrollY + ViewRows(), y1)};
    CollectVisibleTiles();
    if (!range.Empty()) {
        TilePass(range);
        if (Options.ShowAtr || Options.ShowId) BuildStacks(range);
        if (Options.ShowAtr && square_ >= 8) AttributePass(range);
        OutlinePass(range);
    }
    if (Options.ShowGrid && square_ >= 8) GridPass();
    if (Options.ShowBorder) BorderPass();
    if (Options.ShowId && viewSquare_ >= 32 && !range.Empty()) LabelPass(range);
    if (OnRendered) OnRendered();
}

void MapRenderer::FullRedraw() { Render(ScrollX, ScrollX + ViewCols(), ScrollY, ScrollY + ViewRows(), 0, 0); }

void MapRenderer::HorizontalScroll(int position) {
    ScrollX = position;
    const int d = ScrollX - PrevScrollX;
    if (d > 0)
        Render(PrevScrollX + picture_.width() / square_, ScrollX + ViewCols(), ScrollY, ScrollY + ViewRows(), -d, 0);
    else if (d < 0)
        Render(0, PrevScrollX, ScrollY, ScrollY + ViewRows(), -d, 0);
    PrevScrollX = ScrollX;
}

void MapRenderer::VerticalScroll(int position) {
    ScrollY = position;
    const int d = ScrollY - PrevScrollY;
    if (d > 0)
        Render(ScrollX, ScrollX + ViewCols(), PrevScrollY + picture_.height() / square_ - 2, ScrollY + ViewRows(), 0,
               -d);
    else if (d < 0)
        Render(ScrollX, ScrollX + ViewCols(), ScrollY, PrevScrollY + 2, 0, -d);
    PrevScrollY = ScrollY;
}

void MapRenderer::CollectVisibleTiles() {
    visible_.clear();
    const int last = std::min(static_cast<int>(project_.UsedTiles.size()) - 1, DepthLimit);
    const int vx0 = ScrollX, vx1 = ScrollX + ViewCols(), vy0 = ScrollY, vy1 = ScrollY + ViewRows();
    for (int k = 0; k <= last; ++k)
        if (project_.UsedTiles[k]->Overlaps(vx0, vx1, vy0, vy1)) visible_.push_back(k);
}

void MapRenderer::BuildStacks(const Range& range) {
    const int cols = range.Cols();
    const std::size_t squares = static_cast<std::size_t>(cols) * (range.ry1 - range.ry0 + 1);
    stackStart_.assign(squares + 1, 0);
    auto forEachSquare = [&](auto&& fn) {
        for (int k : visible_) {
            const MapTile& t = *project_.UsedTiles[k];
            const int ix0 = std::max(range.cx0, t.X), ix1 = std::min(range.cx1, t.X + t.Width - 1);
            const int iy0 = std::max(range.ry0, t.Y), iy1 = std::min(range.ry1, t.Y + t.Height - 1);
            for (int i = iy0; i <= iy1; ++i)
                for (int j = ix0; j <= ix1; ++j) fn((i - range.ry0) * cols + (j - range.cx0), k);
        }
    };
    forEachSquare([&](int s, int) { ++stackStart_[s + 1]; });
    for (std::size_t s = 0; s < squares; ++s) stackStart_[s + 1] += stackStart_[s];
    stackTiles_.resize(stackStart_[squares]);
    std::vector<int> cursor(stackStart_.begin(), stackStart_.end() - 1);
    forEachSquare([&](int s, int k) { stackTiles_[cursor[s]++] = k; });
}

bool MapRenderer::TileInvisible(const MapTile& tile) const {
    for (const MapSquare& s : tile.Sq) {
        if (s.Gnd < project_.BitmapCount && Opaque(s.Gnd) > 0) return false;
        if (s.Top < project_.BitmapCount && Opaque(s.Top) > 0) return false;
    }
    return true;
}

void MapRenderer::TilePass(const Range& range) {
    static const BitmapPixels kEmpty{};
    const bool flip = project_.BottomUpRows;
    const int count = project_.BitmapCount;
    for (int k : visible_) {
        const MapTile& t = *project_.UsedTiles[k];
        const int ix0 = std::max(range.cx0, t.X), ix1 = std::min(range.cx1, t.X + t.Width - 1);
        const int iy0 = std::max(range.ry0, t.Y), iy1 = std::min(range.ry1, t.Y + t.Height - 1);
        int invisible = -1;  // worked out once, when first needed
        for (int i = iy0; i <= iy1; ++i) {
            for (int j = ix0; j <= ix1; ++j) {
                const MapSquare& sq = t.SqAt(j - t.X, i - t.Y);
                const int px = (j - ScrollX) * square_, py = (i - ScrollY) * square_;
                if (Options.ShowGnd) {
                    if (sq.Gnd < count) {
                        DrawSquare(project_.Bitmap(sq.Gnd), sq.Gnd, px, py, bitmapColours_, t.Selected,
                                   t.Selected && Opaque(sq.Gnd) == 0, flip);
                    } else if (t.Selected && sq.Top >= count) {
                        if (invisible < 0) invisible = TileInvisible(t) ? 1 : 0;
                        if (invisible) DrawSquare(kEmpty.data(), -1, px, py, bitmapColours_, true, true, flip);
                    }
                }
                if (Options.ShowTop && sq.Top < count)
                    DrawSquare(project_.Bitmap(sq.Top), sq.Top, px, py, bitmapColours_, t.Selected,
                               t.Selected && Opaque(sq.Top) == 0, flip);
            }
        }
    }
}

void MapRenderer::AttributePass(const Range& range) {
    const auto& icons = AtrIcons();
    const int cols = range.Cols();
    for (int i = range.ry0; i <= range.ry1; ++i) {
        for (int j = range.cx0; j <= range.cx1; ++j) {
            const int s = (i - range.ry0) * cols + (j - range.cx0);
            for (int e = stackStart_[s + 1] - 1; e >= stackStart_[s]; --e) {
                const MapTile& t = *project_.UsedTiles[stackTiles_[e]];
                const MapSquare& sq = t.SqAt(j - t.X, i - t.Y);
                if (sq.Atr == 0 && sq.Gnd == NoBitmap) continue;
                if (sq.Atr != 0 && sq.Atr < AttributeCount)
                    DrawSquare(icons[sq.Atr].data(), sq.Atr, (j - ScrollX) * square_, (i - ScrollY) * square_,
                               iconColours_, false, false, false);
                break;
            }
        }
    }
}

// The selection frame over everything drawn for the squares of `range`:
// black and white dashes along the map's diagonals, so that they meet
// across squares and tiles the same wherever a redraw starts.
void MapRenderer::OutlinePass(const Range& range) {
    const int w = picture_.width(), h = picture_.height(), sq = square_;
    const int width = std::max(1, OutlineWidth * sq / 32), dash = std::max(2, OutlineDash * sq / 32);
    for (int k : visible_) {
        const MapTile& t = *project_.UsedTiles[k];
        if (!t.Selected) continue;
        const int ix0 = std::max(range.cx0, t.X), ix1 = std::min(range.cx1, t.X + t.Width - 1);
        const int iy0 = std::max(range.ry0, t.Y), iy1 = std::min(range.ry1, t.Y + t.Height - 1);
        for (int i = iy0; i <= iy1; ++i) {
            for (int j = ix0; j <= ix1; ++j) {
                const bool left = j == t.X, right = j == t.X + t.Width - 1;
                const bool top = i == t.Y, bottom = i == t.Y + t.Height - 1;
                if (!left && !right && !top && !bottom) continue;
                const int px = (j - ScrollX) * sq, py = (i - ScrollY) * sq;
                for (int r = std::max(0, -py); r < sq && py + r < h; ++r) {
                    const bool rowInFrame = (top && r < width) || (bottom && r >= sq - width);
                    std::uint32_t* row = base_ + (py + r) * stride_ + px;
                    for (int c = std::max(0, -px); c < sq && px + c < w; ++c)
                        if (rowInFrame || (left && c < width) || (right && c >= sq - width))
                            row[c] = ((j * sq + c + i * sq + r) / dash) % 2 ? kWhite : kBlack;
                }
            }
        }
    }
}

void MapRenderer::GridPass() {
    const int w = picture_.width(), h = picture_.height(), sq = square_;
    for (int r = 0; r < ViewRows(); ++r) std::fill(base_ + r * sq * stride_, base_ + r * sq * stride_ + w, GridColour);
    for (int y = 0; y < h; ++y)
        for (int c = 0; c < ViewCols(); ++c) base_[y * stride_ + c * sq] = GridColour;
}

void MapRenderer::BorderPass() {
    const int w = picture_.width(), h = picture_.height(), sq = square_;
    const int mw = project_.MapWidth, mh = project_.MapHeight;
    auto vertical = [&](int x) {
        if (x < 0 || x >= w) return;
        const int top = std::max(0, (2 - ScrollY) * sq), bottom = std::min(h, (mh - 2 - ScrollY) * sq);
        for (int y = top; y < bottom; ++y) base_[y * stride_ + x] = GridColour;
    };
    auto horizontal = [&](int y) {
        if (y < 0 || y >= h) return;
        const int left = std::max(0, (2 - ScrollX) * sq), right = std::min(w, (mw - 2 - ScrollX) * sq);
        for (int x = left; x < right; ++x) base_[y * stride_ + x] = GridColour;
    };
    if (ScrollX <= 2) vertical((2 - ScrollX) * sq);
    if (ScrollX <= mw - 2) vertical((mw - 2 - ScrollX) * sq);
    if (ScrollY <= 2) horizontal((2 - ScrollY) * sq);
    if (ScrollY <= mh - 2) horizontal((mh - 2 - ScrollY) * sq);
}

const LabelFont& MapRenderer::Font() {
    if (!font_ || fontPpi_ != Ppi || fontRatio_ != ratio_) {
        // Size ScalePos(7) points on a screen of Ppi pixels per inch.
        font_ = std::make_unique<LabelFont>(
            static_cast<int>(std::nearbyint(ScalePos(7, Ppi) * Ppi / 72.0 * ratio_)));
        fontPpi_ = Ppi;
        fontRatio_ = ratio_;
    }
    return *font_;
}

void MapRenderer::LabelPass(const Range& range) {
    const LabelFont& font = Font();
    const int cols = range.Cols();
    const int line = static_cast<int>(std::lround(9 * ratio_));  // label lines, 9 view pixels apart
    char text[16];
    auto write = [&](int x, int y, int value, bool plus) {
        char* end = std::to_chars(text, text + 12, value).ptr;
        if (plus) *end++ = '+';
        font.Write(picture_, x, y, std::string_view(text, end - text), kWhite);
    };
    for (int i = range.ry0; i <= range.ry1; ++i) {
        for (int j = range.cx0; j <= range.cx1; ++j) {
            const int s = (i - range.ry0) * cols + (j - range.cx0);
            int gnd = -1, top = -1, atr = -1;
            bool gndPlus = false, topPlus = false, resolved = false;
            for (int e = stackStart_[s + 1] - 1; e >= stackStart_[s] && !resolved; --e) {
                const MapTile& t = *project_.UsedTiles[stackTiles_[e]];
                const MapSquare& sq = t.SqAt(j - t.X, i - t.Y);
                if (Options.ShowTop) {
                    if (top == -1 || top == NoBitmap)
                        top = sq.Top;
                    else if (sq.Top != NoBitmap && Opaque(top) < BitmapBytes)
                        topPlus = true;
                }
                if (gnd == -1 || gnd == NoBitmap) {
                    gnd = sq.Gnd;
                    if (Options.ShowAtr) atr = sq.Atr;
                    if (Opaque(gnd) == BitmapBytes) resolved = true;
                } else if (sq.Gnd != NoBitmap) {
                    gndPlus = true;
                    resolved = true;
                }
            }
            const int px = (j - ScrollX) * square_, py = (i - ScrollY) * square_;
            if (Options.ShowGnd && gnd >= 0) write(px, py, gnd, gndPlus);
            if (Options.ShowTop && top >= 0) write(px, py + line, top, topPlus);
            if (Options.ShowAtr && atr >= 0) write(px, py + 2 * line, atr, false);
        }
    }
}

}  // namespace zorvane::render
