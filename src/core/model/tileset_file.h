#pragma once
// Tile set file (*.zp), magic "ZTP0", in two variants.
//
// Variant "zmpe" (all numbers little-endian):
//   0     4       "ZTP0"
//   4     u32     2 when the pixel rows are stored bottom-up, else 0
//   8     u32     bitmap count B
//   12    u32     tile count T
//   16    44      InfoHeader: "BMIF" + 40-byte bitmap information header
//   60    1024    palette: 256 x (blue, green, red, reserved)
//   1084  4       "BITS"
//   1088  B*1024  pixels of bitmaps 0..B-1, 32 rows of 32 palette indices,
//                 in the row order the InfoHeader states (height +32 = bottom-up)
//   ...           T tile records
//
// Variant "zme":
//   0     4       "ZTP0"
//   4     u8      length L (3 or more) of the stored path
//   5     L       full path of the file as written (skipped by the reader)
//   5+L   u16     bitmap count B
//   7+L   B*2102  complete 8-bit bitmap file images: 54 bytes FileHeader,
//                 1024 bytes palette, 1024 pixel bytes bottom-up
//   ...   u16     tile count T
//   ...           T tile records
//
// Tile record (both variants): "TIL1", u8 width w, u8 height h, the bytes 3
// and 0, then w*h u16 ground ids, w*h u16 top ids, w*h u8 attributes; element
// i of each array is column i mod w, row i div w.
//
// The byte at offset 4 tells the variants apart: 3 or more means "zme".

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/project.h"
#include "platform/safe_save.h"
#include "ui/ui.h"

namespace zorvane {

// A tile set as a file holds it, apart from any project.
struct TileSet {
    bool Zme = false;
    bool BottomUpRows = false;
    std::array<std::uint8_t, 44> InfoHeader{};
    std::array<std::uint8_t, 54> FileHeader{};
    std::array<std::uint8_t, 1024> Palette{};
    int BitmapCount = 0;
    std::vector<std::uint8_t> Pixels;  // BitmapCount x 1024 bytes, rows as BottomUpRows says
    std::string StoredPath;            // "zme" only: the path the file was written to
    TileList Tiles;
};

// The default header blocks.
std::array<std::uint8_t, 44> DefaultInfoHeader(bool bottomUp);
std::array<std::uint8_t, 54> DefaultFileHeader();
void SetDefaultInfoHeader(Project& project, bool bottomUp);  // InfoHeader
void SetDefaultFileHeader(Project& project);               // FileHeader

// Parses a whole tile set file; throws Error with the reason for a short,
// foreign or damaged file. Never allocates beyond what the bytes can hold.
TileSet ParseZP(std::span<const std::uint8_t> bytes);
// Reads a tile set file as ParseZP parses its bytes, with the same result
// and the same reasons, holding no more of the file than a small part at a
// time beside the tile set read.
TileSet ReadZP(const std::string& path);
// What the start of a tile set file tells, for a summary.
struct TileSetSummary {
    bool Zme = false;
    bool BottomUpRows = false;
    int BitmapCount = 0;
    std::uint32_t TileCount = 0;
    std::string StoredPath;  // "zme" only
};
// Reads the summary of a tile set file from its start and its tile records,
// leaving out the bitmaps (all but a few kilobytes of a large file); throws
// Error where ParseZP would, with the same reason.
TileSetSummary ReadZPSummary(const std::string& path);
// Encodes the project's tile set in the chosen variant; throws Error when a
// value does not fit (a path over 255 bytes, more than 65535 tiles for "zme").
std::vector<std::uint8_t> EncodeZP(const Project& project, TileSetVariant variant);
// Encodes as EncodeZP does, the same bytes, into a file being saved, in
// pieces as they are made (SaveFileAtomically with FileContents).
void WriteZP(const Project& project, TileSetVariant variant, SaveSink& sink);

// Keeps the pixel rows in memory agreeing with what the stored variant and
// header imply (a layered project infers the row order from them): a "zme"
// project holds its rows bottom-up, a "zmpe" project's InfoHeader states the
// row order its pixels have. Pictures never change.
void MakeRowOrderConsistent(Project& project);

}  // namespace zorvane
