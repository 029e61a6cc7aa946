#pragma once
// The tile editor's working copies: two 8-bit layer pictures, the editor
// palette they index into, the attribute arrays, the transparent and fog
// colour indices, and which tile is being edited. Nothing here touches the
// project until the changes are applied (tile_editing/apply.h).

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "model/project.h"
#include "ui/ui.h"

namespace zorvane {

struct Rgb {
    std::uint8_t R = 0;
    std::uint8_t G = 0;
    std::uint8_t B = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
using EditorPalette = std::array<Rgb, 256>;

// An 8-bit picture: Width x Height palette indices, top row first. 0 x 0
// when the layer is absent.
struct LayerImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Px;

    bool Present() const { return Width > 0 && Height > 0; }
    std::uint8_t At(int x, int y) const { return Px[static_cast<std::size_t>(y) * Width + x]; }
    std::uint8_t& At(int x, int y) { return Px[static_cast<std::size_t>(y) * Width + x]; }
    void Reset(int width, int height) {
        Width = width;
        Height = height;
        Px.assign(static_cast<std::size_t>(width) * height, 0);
    }
    void Clear() { Reset(0, 0); }
};

// A picture as read from a file, before the editor's checks.
struct LoadedPicture {
    bool Indexed8 = false;  // 8-bit palette format
    LayerImage Image;
    EditorPalette Palette{};  // entries the file does not have are black
};

// One byte per square of the tile, indexed by column then row.
struct AttributeGrid {
    int Columns = 0;
    int Rows = 0;
    std::vector<std::uint8_t> Values;

    std::uint8_t At(int c, int r) const { return Values[static_cast<std::size_t>(c) * Rows + r]; }
    std::uint8_t& At(int c, int r) { return Values[static_cast<std::size_t>(c) * Rows + r]; }
    void Reset(int columns, int rows) {
        Columns = columns;
        Rows = rows;
        Values.assign(static_cast<std::size_t>(columns) * rows, 0);
    }
    bool AllZero() const;
};

enum class TileEditMode { New, Edit, FromSelection };
enum class LayerKind { Ground, Top };

struct TileEditorState {
    LayerImage Ground;
    LayerImage Top;
    EditorPalette Palette{};
    AttributeGrid Atr;
    AttributeGrid InternalAtr;  // the attribute layer's internal attributes
    bool InternalMode = false;  // the attribute layer shows the internal array
    int SelectedAtr = -1;       // attribute or internal value painted, -1 for none
    bool SaveInternalChanges = false;  // the answer for the next exit from internal mode
    int EditedTile = -1;        // index in NewTiles, -1 for a new tile
    TileEditMode Mode = TileEditMode::New;
    int TranspId = 0;  // kept between openings
    int FogId = 1;

    LayerImage& Layer(LayerKind k) { return k == LayerKind::Ground ? Ground : Top; }
    const LayerImage& Layer(LayerKind k) const { return k == LayerKind::Ground ? Ground : Top; }
    // Pixel size of whichever layer is present (0 x 0 without layers).
    int PixelWidth() const { return Ground.Present() ? Ground.Width : Top.Width; }
    int PixelHeight() const { return Ground.Present() ? Ground.Height : Top.Height; }
};

// The project palette (blue, green, red, reserved) as editor colours, and back.
EditorPalette EditorPaletteOf(const Project& project);
void StorePalette(const EditorPalette& palette, Project& project);

// Lowest palette index holding `colour`.
std::optional<int> FindColour(const EditorPalette& palette, Rgb colour);
// For every index of `from`, an index of `to` with the same colour (the same
// index when it holds it, else the lowest), or nullopt when some colour of
// `from` is missing from `to`.
std::optional<std::array<std::uint8_t, 256>> ColourMapping(const EditorPalette& from, const EditorPalette& to);
void MapPixels(LayerImage& image, const std::array<std::uint8_t, 256>& mapping);
// Every pixel value a becomes b and every b becomes a.
void ExchangePixelValues(LayerImage& image, std::uint8_t a, std::uint8_t b);

// Fills the state for an opening of the editor: the editor palette from the
// project, then the layers and attributes of the edited tile (mode Edit) or
// of the selected used tiles (mode FromSelection). Mode New loads nothing and
// keeps the colour indices.
void OpenTileEditorState(TileEditorState& state, const Project& project, TileEditMode mode, int editedTile);
// Empties the layers, the attribute arrays and the edited tile index; the
// colour indices, the attribute selection and internal mode stay for the
// next opening.
void CloseTileEditorState(TileEditorState& state);

enum class AddLayerResult { Added, Refused, Cancelled };

inline const char* const ImproperBitmapCaption = "Improper bitmap format";
inline const char* const ImproperBitmapText =
    "Bitmap file must satisfy the following conditions:\r- 8bit palette format\r- dimensions divisible by "
    "32px\r- dimensions greater than 0\r- dimensions of Top and Ground bitmaps must be equal";

// Makes `picture` the given layer after the format and size checks, the
// attribute size question and the palette settlement (which may ask whether
// the editor palette should become the picture's). Refused or cancelled
// leaves the state unchanged.
AddLayerResult AddLayer(TileEditorState& state, LayerKind kind, LoadedPicture picture, const Project& project,
                        UserInterface& ui);
// The layer becomes absent; without layers and attributes the attribute
// arrays become empty too.
void RemoveLayer(TileEditorState& state, LayerKind kind);

// Whether a caption drawn on `colour` should be black (else white).
bool BlackCaptionOn(Rgb colour);

}  // namespace zorvane
