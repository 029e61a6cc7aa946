#pragma once
// Map project file (*.zm), magic "ZLF5" (all numbers little-endian):
//   0       4      "ZLF5"
//   4       u8     length L of the tile set path
//   5       L      ZpPath, the full path of the tile set file, in the Windows
//                  code page (converted to and from UTF-8 by ParseZM and EncodeZM)
//   5+L     u32    Multiplayer (1 multiplayer, 0 singleplayer)
//   9+L     4      "MAP0"
//   13+L    u8     map width W, borders included
//   14+L    u8     map height H, borders included
//   15+L    W*H*5  squares row by row: u16 Gnd, u16 Top, u8 Atr
//   ...            creature block from "CST0" to the end of the file

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/project.h"
#include "ui/ui.h"

namespace zorvane {

struct MapFile {
    std::string ZpPath;
    std::uint32_t Multiplayer = 0;
    int Width = 0;
    int Height = 0;
    std::vector<MapSquare> Squares;             // row by row
    std::vector<std::uint8_t> Creatures;  // from "CST0" to the end, as Project::Creatures holds it
};

// Parses a whole map project file; throws Error for a short, foreign or
// damaged file.
MapFile ParseZM(std::span<const std::uint8_t> bytes);
// Encodes the project's flattened map (FlatSquares) with border squares
// written as impassable and the creature block in the asked variant.
std::vector<std::uint8_t> EncodeZM(const Project& project, TileSetVariant variant);

}  // namespace zorvane
