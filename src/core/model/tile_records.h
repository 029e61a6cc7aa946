#pragma once
// Placed tile records, as the layered project file and the generator data
// file store them: u32 count, then per tile u8 width w, u8 height h, i32 X,
// i32 Y and w*h squares row by row (u16 Gnd, u16 Top, u8 Atr).

#include "model/bytes.h"
#include "model/project.h"

namespace zorvane {

// How far from the map a stored tile may lie. No edit puts a tile further
// out, and within it every sum of a position, a tile side and a map side
// fits an int.
inline constexpr int MaxTileDistance = 1 << 24;

// Reads `count` and the records; refuses a tile of 0 squares, one further
// than MaxTileDistance from the map and counts the bytes cannot hold.
void ReadTileRecords(ByteReader& r, TileList& tiles, const char* what);
// Bytes WriteTileRecords will write (for reserving).
std::size_t TileRecordsSize(const TileList& tiles);
// Refuses tiles whose sides do not fit one byte.
void WriteTileRecords(ByteWriter& out, const TileList& tiles);

}  // namespace zorvane
