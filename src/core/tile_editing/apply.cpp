#include "tile_editing/apply.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "model/bitmap_index.h"

namespace zorvane {

namespace {

void ExchangeInLayers(TileEditorState& s, std::uint8_t a, std::uint8_t b, const Project& p) {
    ExchangePixelValues(s.Ground, a, b);
    ExchangePixelValues(s.Top, a, b);
    if (p.BitmapCount == 0) std::swap(s.Palette[a], s.Palette[b]);
}

// The 32 x 32 block of square (c, r) of `image`, top row first.
void CutBlock(const LayerImage& image, int c, int r, BitmapPixels& block) {
    for (int y = 0; y < BitmapSide; ++y)
        std::memcpy(block.data() + y * BitmapSide, &image.Px[static_cast<std::size_t>(r * BitmapSide + y) * image.Width + c * BitmapSide],
                    BitmapSide);
}

// Gives every square of `tile` the bitmap id of its block of `image`
// (Gnd or Top through `field`); false when a new bitmap was needed at the limit.
bool CutLayer(const LayerImage& image, MapTile& tile, std::uint16_t MapSquare::*field, Project& p, BitmapIndex& index) {
    if (!image.Present()) return true;
    BitmapPixels block;
    for (int r = 0; r < tile.Height; ++r)
        for (int c = 0; c < tile.Width; ++c) {
            CutBlock(image, c, r, block);
            if (std::all_of(block.begin(), block.end(), [](std::uint8_t v) { return v == 0; })) continue;
            if (p.BottomUpRows) FlipBitmapRows(block.data());  // as stored
            int id = index.Find(block.data());
            if (id < 0) {
                if (p.BitmapCount >= MaxBitmaps) return false;
                id = p.AddBitmap(block.data());
                index.Add(id);
            }
            tile.SqAt(c, r).*field = static_cast<std::uint16_t>(id);
        }
    return true;
}

}  // namespace

ApplyOutcome ApplyTileChanges(TileEditorState& state, Project& p, UserInterface& ui) {
    ApplyOutcome out;
    out.FirstNewBitmap = p.BitmapCount;
    if (!state.Ground.Present() && !state.Top.Present()) return out;
    // The exchanges and the conversion below work on a copy that becomes the
    // editor's state only once the tile is built: a stop leaves the layers
    // as they were, so that Apply again exchanges the colours once, not twice.
    TileEditorState s = state;

    // Colour exchanges: the transparent colour to 0, then the fog colour to 1.
    const int t = s.TranspId, f = s.FogId;
    if (t != 0) ExchangeInLayers(s, static_cast<std::uint8_t>(t), 0, p);
    if (f != 1) ExchangeInLayers(s, static_cast<std::uint8_t>(f), 1, p);

    // Palette settlement.
    const EditorPalette projectPalette = EditorPaletteOf(p);
    if (s.Palette != projectPalette) {
        out.PaletteChanged = true;
        if (auto mapping = ColourMapping(s.Palette, projectPalette)) {
            MapPixels(s.Ground, *mapping);
            MapPixels(s.Top, *mapping);
            s.Palette = projectPalette;
        } else {
            StorePalette(s.Palette, p);
            out.PaletteReplaced = true;
        }
    }

    // The tile, built aside so that a stop leaves NewTiles as it was.
    const int columns = s.PixelWidth() / BitmapSide, rows = s.PixelHeight() / BitmapSide;
    auto tile = std::make_unique<MapTile>(columns, rows);
    BitmapIndex index(p);
    if (!CutLayer(s.Ground, *tile, &MapSquare::Gnd, p, index) || !CutLayer(s.Top, *tile, &MapSquare::Top, p, index)) {
        ui.message(BitmapLimitCaption, BitmapLimitText, Icon::Error);
        out.Result = ApplyResult::BitmapLimit;
        return out;
    }
    for (int c = 0; c < std::min(columns, s.Atr.Columns); ++c)
        for (int r = 0; r < std::min(rows, s.Atr.Rows); ++r) tile->SetAtrAt(c, r, s.Atr.At(c, r));

    if (s.EditedTile < 0) {
        p.NewTiles.push_back(std::move(tile));
        s.EditedTile = static_cast<int>(p.NewTiles.size()) - 1;
    } else {
        p.NewTiles[static_cast<std::size_t>(s.EditedTile)] = std::move(tile);
    }
    if (p.MapWidth == 0) p.MapWidth = 10;
    if (p.MapHeight == 0) p.MapHeight = 10;
    p.ZpModified = true;
    p.ZpPath.clear();
    out.Result = ApplyResult::Applied;
    out.TileIndex = s.EditedTile;
    state = std::move(s);
    return out;
}

}  // namespace zorvane
