#pragma once
// Layered project file (*.zl), magic "ZLP1" (read and written) or "ZLP0"
// (read only); all numbers little-endian:
//   4       magic
//   u8      MapWidth
//   u8      MapHeight
//   1024    Palette
//   u32     BitmapCount B, then B*1024 pixel bytes as held in memory
//   u32     used tiles U, then U tile records in depth order
//   u32     tiles list entries N, then N tile records
//   u8      length L of ZpPath, then L bytes (UTF-8; one converted from an
//           older map in the Windows code page reads as in a map project)
//   u32     Multiplayer
//   u32     length C of Creatures, then C bytes
//   44      InfoHeader
//   54      FileHeader ("ZLP1" only)
//   u8      ZmeVariant, 1 = "zme" ("ZLP1" only)
// Tile record: u8 width w, u8 height h, i32 X, i32 Y, then w*h squares row by
// row: u16 Gnd, u16 Top, u8 Atr.
//
// The row order of the pixels is not stored: it is "bottom-up" for a "zme"
// project or when the InfoHeader's height is +32.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/project.h"
#include "platform/safe_save.h"
#include "ui/ui.h"

namespace zorvane {

// Thrown by ParseZL when the bytes do not begin with "ZLP0" or "ZLP1"; its
// text is "Improper file format!".
class ImproperFormatError : public Error {
public:
    ImproperFormatError() : Error("Improper file format!") {}
};

// Parses a whole layered project file into a fresh project (NoProject
// cleared); throws Error for a short, foreign or damaged file.
Project ParseZL(std::span<const std::uint8_t> bytes);
// Encodes the project as "ZLP1"; throws Error when a value does not fit.
std::vector<std::uint8_t> EncodeZL(const Project& project);
// Encodes as EncodeZL does, the same bytes, into a file being saved, in
// pieces as they are made.
void WriteZL(const Project& project, SaveSink& sink);

}  // namespace zorvane
