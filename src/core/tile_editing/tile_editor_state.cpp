#include "tile_editing/tile_editor_state.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace zorvane {

bool AttributeGrid::AllZero() const {
    return std::all_of(Values.begin(), Values.end(), [](std::uint8_t v) { return v == 0; });
}

EditorPalette EditorPaletteOf(const Project& project) {
    EditorPalette pal;
    for (int i = 0; i < 256; ++i) {
        const std::uint8_t* e = &project.Palette[static_cast<std::size_t>(i) * 4];
        pal[static_cast<std::size_t>(i)] = Rgb{e[2], e[1], e[0]};
    }
    return pal;
}

void StorePalette(const EditorPalette& palette, Project& project) {
    for (int i = 0; i < 256; ++i) {
        std::uint8_t* e = &project.Palette[static_cast<std::size_t>(i) * 4];
        const Rgb& c = palette[static_cast<std::size_t>(i)];
        e[0] = c.B;
        e[1] = c.G;
        e[2] = c.R;
    }
}

std::optional<int> FindColour(const EditorPalette& palette, Rgb colour) {
    for (int i = 0; i < 256; ++i)
        if (palette[static_cast<std::size_t>(i)] == colour) return i;
    return std::nullopt;
}

std::optional<std::array<std::uint8_t, 256>> ColourMapping(const EditorPalette& from, const EditorPalette& to) {
    std::array<std::uint8_t, 256> map{};
    for (int i = 0; i < 256; ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (from[k] == to[k]) {
            map[k] = static_cast<std::uint8_t>(i);
            continue;
        }
        auto found = FindColour(to, from[k]);
        if (!found) return std::nullopt;
        map[k] = static_cast<std::uint8_t>(*found);
    }
    return map;
}

void MapPixels(LayerImage& image, const std::array<std::uint8_t, 256>& mapping) {
    for (auto& p : image.Px) p = mapping[p];
}

void ExchangePixelValues(LayerImage& image, std::uint8_t a, std::uint8_t b) {
    for (auto& p : image.Px) {
        if (p == a)
            p = b;
        else if (p == b)
            p = a;
    }
}

namespace {

bool HasVisiblePixels(const Project& p, std::uint16_t id) {
    if (id == NoBitmap) return false;
    const std::uint8_t* px = p.Bitmap(id);
    return std::any_of(px, px + BitmapBytes, [](std::uint8_t v) { return v != 0; });
}

// Picture row y of a stored bitmap.
const std::uint8_t* BitmapRow(const Project& p, std::uint16_t id, int y) {
    const int slotRow = p.BottomUpRows ? BitmapSide - 1 - y : y;
    return p.Bitmap(id) + slotRow * BitmapSide;
}

enum class Paint { Copy, NonZeroOnly };

// Writes bitmap `id` into `image` at square (c, r); Copy writes every pixel,
// NonZeroOnly leaves what is below a zero pixel and calls `onPixel` for each
// written one.
template <typename OnPixel>
void PaintBitmap(const Project& p, std::uint16_t id, LayerImage& image, int c, int r, Paint mode, OnPixel onPixel) {
    for (int y = 0; y < BitmapSide; ++y) {
        const std::uint8_t* row = BitmapRow(p, id, y);
        for (int x = 0; x < BitmapSide; ++x) {
            if (mode == Paint::NonZeroOnly && row[x] == 0) continue;
            image.At(c * BitmapSide + x, r * BitmapSide + y) = row[x];
            onPixel(c * BitmapSide + x, r * BitmapSide + y);
        }
    }
}

void LoadTile(TileEditorState& s, const Project& p, const MapTile& t) {
    bool anyGnd = false, anyTop = false;
    for (const MapSquare& q : t.Sq) {
        anyGnd = anyGnd || HasVisiblePixels(p, q.Gnd);
        anyTop = anyTop || HasVisiblePixels(p, q.Top);
    }
    auto load = [&](LayerImage& image, bool ground) {
        image.Reset(t.Width * BitmapSide, t.Height * BitmapSide);
        for (int c = 0; c < t.Width; ++c)
            for (int r = 0; r < t.Height; ++r) {
                const std::uint16_t id = ground ? t.GndAt(c, r) : t.TopAt(c, r);
                if (id != NoBitmap) PaintBitmap(p, id, image, c, r, Paint::Copy, [](int, int) {});
            }
    };
    if (anyGnd) load(s.Ground, true);
    if (anyTop) load(s.Top, false);
    s.Atr.Reset(t.Width, t.Height);
    s.InternalAtr.Reset(t.Width, t.Height);
    for (int c = 0; c < t.Width; ++c)
        for (int r = 0; r < t.Height; ++r) s.Atr.At(c, r) = t.AtrAt(c, r);
}

void LoadSelection(TileEditorState& s, const Project& p) {
    std::vector<const MapTile*> tiles;  // bottom to top
    {
        std::vector<int> ids;
        for (const auto& e : p.Selection) ids.push_back(e.Index);
        std::sort(ids.begin(), ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
        for (int i : ids) tiles.push_back(p.UsedTiles[static_cast<std::size_t>(i)].get());
    }
    if (tiles.empty()) return;
    int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
    bool anyGnd = false, anyTop = false;
    for (const MapTile* t : tiles) {
        x0 = std::min(x0, t->X);
        y0 = std::min(y0, t->Y);
        x1 = std::max(x1, t->X + t->Width - 1);
        y1 = std::max(y1, t->Y + t->Height - 1);
        for (const MapSquare& q : t->Sq) {
            anyGnd = anyGnd || HasVisiblePixels(p, q.Gnd);
            anyTop = anyTop || HasVisiblePixels(p, q.Top);
        }
    }
    const int bw = x1 - x0 + 1, bh = y1 - y0 + 1;
    if (anyGnd) s.Ground.Reset(bw * BitmapSide, bh * BitmapSide);
    if (anyTop) s.Top.Reset(bw * BitmapSide, bh * BitmapSide);
    for (const MapTile* t : tiles)
        for (int c = 0; c < t->Width; ++c)
            for (int r = 0; r < t->Height; ++r) {
                const int bc = t->X - x0 + c, br = t->Y - y0 + r;
                const MapSquare& q = t->SqAt(c, r);
                if (q.Gnd != NoBitmap && s.Ground.Present())
                    PaintBitmap(p, q.Gnd, s.Ground, bc, br, Paint::NonZeroOnly, [&](int x, int y) {
                        if (s.Top.Present()) s.Top.At(x, y) = 0;  // a higher ground hides lower tops
                    });
                if (q.Top != NoBitmap && s.Top.Present())
                    PaintBitmap(p, q.Top, s.Top, bc, br, Paint::NonZeroOnly, [](int, int) {});
            }
    s.Atr.Reset(bw, bh);
    s.InternalAtr.Reset(bw, bh);
    for (int bc = 0; bc < bw; ++bc)
        for (int br = 0; br < bh; ++br) {
            const int x = x0 + bc, y = y0 + br;
            for (auto it = tiles.rbegin(); it != tiles.rend(); ++it) {
                const MapTile& t = **it;
                if (!t.Contains(x, y, TileArea::Rectangle)) continue;
                if (s.Atr.At(bc, br) != 0) break;
                s.Atr.At(bc, br) = t.GetAtr(x, y);
                if (t.GetGnd(x, y) != NoBitmap) break;
            }
        }
}

}  // namespace

void OpenTileEditorState(TileEditorState& state, const Project& project, TileEditMode mode, int editedTile) {
    CloseTileEditorState(state);
    state.Mode = mode;
    state.Palette = EditorPaletteOf(project);
    if (mode == TileEditMode::New) return;
    state.TranspId = 0;
    state.FogId = 1;
    if (mode == TileEditMode::Edit) {
        state.EditedTile = editedTile;
        LoadTile(state, project, *project.NewTiles[static_cast<std::size_t>(editedTile)]);
    } else {
        LoadSelection(state, project);
    }
}

void CloseTileEditorState(TileEditorState& state) {
    state.Ground.Clear();
    state.Top.Clear();
    state.Atr.Reset(0, 0);
    state.InternalAtr.Reset(0, 0);
    state.EditedTile = -1;
}

AddLayerResult AddLayer(TileEditorState& state, LayerKind kind, LoadedPicture picture, const Project& project,
                        UserInterface& ui) {
    const LayerImage& other = state.Layer(kind == LayerKind::Ground ? LayerKind::Top : LayerKind::Ground);
    LayerImage& image = picture.Image;
    const bool fits = picture.Indexed8 && image.Width % BitmapSide == 0 && image.Height % BitmapSide == 0 &&
                      image.Width > 0 && image.Height > 0 &&
                      (!other.Present() || (image.Width == other.Width && image.Height == other.Height));
    if (!fits) {
        ui.message(ImproperBitmapCaption, ImproperBitmapText, Icon::Warning);
        return AddLayerResult::Refused;
    }
    const int columns = image.Width / BitmapSide, rows = image.Height / BitmapSide;
    const bool atrEmpty = state.Atr.AllZero();
    bool resizeAtr = atrEmpty && !other.Present();
    if (!atrEmpty && (state.Atr.Columns != columns || state.Atr.Rows != rows)) {
        if (!ui.confirm("Importing Bitmap", "Tile dimensions has changed. Attributes array will be ereased."))
            return AddLayerResult::Cancelled;
        resizeAtr = true;
    }
    if (resizeAtr) {
        state.Atr.Reset(columns, rows);
        state.InternalAtr.Reset(columns, rows);
    }
    if (project.BitmapCount < 1 && !other.Present()) {
        state.Palette = picture.Palette;
    } else if (picture.Palette != state.Palette) {
        if (auto mapping = ColourMapping(picture.Palette, state.Palette)) {
            MapPixels(image, *mapping);
            state.TranspId = (*mapping)[static_cast<std::size_t>(state.TranspId)];
            state.FogId = (*mapping)[static_cast<std::size_t>(state.FogId)];
        } else if (ui.message("Palettes conflict",
                              "The color palette of chosen bitmap is different from the project palette.\r"
                              "Do you want to change the project palette? (not recommended)",
                              Icon::Question, Buttons::YesNo, Answer::No /* the recommended answer */) == Answer::Yes) {
            state.Palette = picture.Palette;
        }
    }
    state.Layer(kind) = std::move(image);
    return AddLayerResult::Added;
}

void RemoveLayer(TileEditorState& state, LayerKind kind) {
    state.Layer(kind).Clear();
    const LayerImage& other = state.Layer(kind == LayerKind::Ground ? LayerKind::Top : LayerKind::Ground);
    if (!other.Present() && state.Atr.AllZero()) {
        state.Atr.Reset(0, 0);
        state.InternalAtr.Reset(0, 0);
    }
}

bool BlackCaptionOn(Rgb c) { return c.R + c.G + c.B > 219; }

}  // namespace zorvane
