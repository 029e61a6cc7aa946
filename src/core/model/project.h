#pragma once
// The project: one map of placed tiles, one tile set (bitmaps, palette,
// reusable tiles), the creature and level block, and the flags that say
// which file variant the project came from.

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/error.h"

namespace zorvane {

// Bitmap ids are unsigned 16-bit; 65535 means "no bitmap".
inline constexpr std::uint16_t NoBitmap = 65535;
inline constexpr int MaxBitmaps = 65535;
inline constexpr int BitmapSide = 32;
inline constexpr int BitmapBytes = BitmapSide * BitmapSide;
inline constexpr std::uint8_t AtrImpassable = 3;
inline constexpr int AttributeCount = 36;  // 0..35
inline constexpr int BorderWidth = 2;      // squares on every side of the map
inline constexpr int MinUserMapSize = 10;
inline constexpr int MaxUserMapSize = 202;
inline constexpr std::size_t MaxStoredPath = 255;  // one length byte in every file

using BitmapPixels = std::array<std::uint8_t, BitmapBytes>;

// A refused limit: too many bitmaps, a path too long for its field, ...
inline const char* const TooManyBitmapsText = "Critical Error! Too many bitmaps!";

// One square of a tile or of the flattened map.
struct MapSquare {
    std::uint16_t Gnd = NoBitmap;
    std::uint16_t Top = NoBitmap;
    std::uint8_t Atr = 0;
    friend bool operator==(const MapSquare&, const MapSquare&) = default;
};

// What of a tile covers a point: its whole rectangle, or only the squares
// that show a bitmap (ground or top).
enum class TileArea { Rectangle, Bitmaps };

// A rectangular block of squares placed at (X, Y) on the map. The "map"
// accessors take map coordinates, the "...At" ones column and row inside the
// tile; none checks bounds (call Contains or Overlaps first).
class MapTile {
public:
    MapTile(int width, int height);

    std::vector<MapSquare> Sq;  // column-major: square (c, r) is Sq[c * Height + r]
    bool Selected = false;
    int Width = 0;
    int Height = 0;
    int X = 0;
    int Y = 0;

    bool Contains(int x, int y, TileArea area) const {
        if (x < X || x > X + Width - 1 || y < Y || y > Y + Height - 1) return false;
        if (area == TileArea::Rectangle) return true;
        const MapSquare& s = SqAt(x - X, y - Y);
        return s.Gnd != NoBitmap || s.Top != NoBitmap;
    }
    bool Overlaps(int x1, int x2, int y1, int y2) const {
        return X <= x2 && X + Width - 1 >= x1 && Y <= y2 && Y + Height - 1 >= y1;
    }

    MapSquare& SqAt(int c, int r) { return Sq[static_cast<std::size_t>(c) * Height + r]; }
    const MapSquare& SqAt(int c, int r) const { return Sq[static_cast<std::size_t>(c) * Height + r]; }

    std::uint16_t GndAt(int c, int r) const { return SqAt(c, r).Gnd; }
    std::uint16_t TopAt(int c, int r) const { return SqAt(c, r).Top; }
    std::uint8_t AtrAt(int c, int r) const { return SqAt(c, r).Atr; }
    void SetGndAt(int c, int r, std::uint16_t v) { SqAt(c, r).Gnd = v; }
    void SetTopAt(int c, int r, std::uint16_t v) { SqAt(c, r).Top = v; }
    void SetAtrAt(int c, int r, std::uint8_t v) { SqAt(c, r).Atr = v; }

    std::uint16_t GetGnd(int x, int y) const { return GndAt(x - X, y - Y); }
    std::uint16_t GetTop(int x, int y) const { return TopAt(x - X, y - Y); }
    std::uint8_t GetAtr(int x, int y) const { return AtrAt(x - X, y - Y); }
    void SetGnd(int x, int y, std::uint16_t v) { SetGndAt(x - X, y - Y, v); }
    void SetTop(int x, int y, std::uint16_t v) { SetTopAt(x - X, y - Y, v); }
    void SetAtr(int x, int y, std::uint8_t v) { SetAtrAt(x - X, y - Y, v); }

    // Same size and the same squares (position and selection aside).
    bool SameContent(const MapTile& other) const {
        return Width == other.Width && Height == other.Height && Sq == other.Sq;
    }
};

using TileList = std::vector<std::unique_ptr<MapTile>>;

std::unique_ptr<MapTile> CopyTile(const MapTile& tile);

// One entry of the map selection: the used tile's index and where it stood
// when a drag started.
struct SelectionEntry {
    int Index = 0;
    int OrigX = 0;
    int OrigY = 0;
};

// The generator keeps learned data that belongs to the project's tile set;
// it is told when that tile set is read anew or reset.
class TileSetObserver {
public:
    virtual ~TileSetObserver() = default;
    virtual void tileSetRead() = 0;   // clear the learned flag
    virtual void tileSetReset() = 0;  // clear the learned flag and the learned data
};

// The project's state other than its tiles and bitmaps, kept as one whole so
// that whatever copies or compares the project's fields (the undo history)
// cannot miss one: a new field added here is covered at once. The flattened
// map (FlatSquares) and the selection are not part of it: the first is a
// buffer of the exports, the second belongs to the editing of the moment.
struct ProjectFields {
    int MapWidth = 0;   // squares, borders included
    int MapHeight = 0;
    std::array<std::uint8_t, 1024> Palette{};  // blue, green, red, reserved
    bool BottomUpRows = false;
    bool ZmeVariant = false;
    std::array<std::uint8_t, 44> InfoHeader{};
    std::array<std::uint8_t, 54> FileHeader{};
    std::string ZpPath;
    bool ZpModified = false;
    std::uint32_t Multiplayer = 0;
    std::vector<std::uint8_t> Creatures;
    bool NoProject = true;
    friend bool operator==(const ProjectFields&, const ProjectFields&) = default;
};

// The fields are the project's one base part, so that they read as members
// of the project (project.MapWidth) and copy as one (project.Fields()).
struct Project : ProjectFields {
    int BitmapCount = 0;
    TileList UsedTiles;
    TileList NewTiles;
    std::vector<MapSquare> FlatSquares;
    std::vector<SelectionEntry> Selection;

    ProjectFields& Fields() { return *this; }
    const ProjectFields& Fields() const { return *this; }

    TileSetObserver* Generator = nullptr;  // not owned; may be null

    // Bitmaps. Ids at or above BitmapCount, 65535 among them, read as a
    // fully transparent (all 0) bitmap.
    const std::uint8_t* Bitmap(int id) const;
    std::uint8_t* MutableBitmap(int id);  // 0 <= id < BitmapCount
    // Appends a bitmap; throws Error(TooManyBitmapsText) at the limit.
    int AddBitmap(const std::uint8_t* pixels);
    // Grows (with blank bitmaps) or shrinks the bitmap table.
    void SetBitmapCount(int count);
    // Takes `pixels` (a whole number of bitmaps) as the whole table, without
    // a copy; throws Error(TooManyBitmapsText) beyond the limit.
    void TakeBitmapBytes(std::vector<std::uint8_t>&& pixels);
    std::span<const std::uint8_t> AllBitmapBytes() const { return {BitmapPx.data(), BitmapPx.size()}; }
    std::span<std::uint8_t> AllBitmapBytes() { return {BitmapPx.data(), BitmapPx.size()}; }

    void NotifyTileSetRead() { if (Generator) Generator->tileSetRead(); }
    void NotifyTileSetReset() { if (Generator) Generator->tileSetReset(); }

private:
    std::vector<std::uint8_t> BitmapPx;  // BitmapCount x 1024 bytes
};

// The two variants of the game's tile set and map project files.
enum class TileSetVariant { Zme, Zmpe };
// The variant a stored "zme" flag (Project::ZmeVariant) stands for.
inline TileSetVariant VariantOf(bool zme) { return zme ? TileSetVariant::Zme : TileSetVariant::Zmpe; }

// Whether (x, y) lies in the two-square border of a map of w x h squares.
inline bool IsBorderSquare(int x, int y, int w, int h) {
    return x < BorderWidth || x >= w - BorderWidth || y < BorderWidth || y >= h - BorderWidth;
}

// Turns a bitmap upside down (row r takes row 31 - r).
void FlipBitmapRows(std::uint8_t* pixels);

}  // namespace zorvane
