#pragma once
// Generator data file (*.zg), magic "ZGD1": a complete generator preset.
// All numbers little-endian; a flag is one byte, read as true only when 1;
// strings carry no terminator.
//   4      "ZGD1"
//   u8     number E of learning list entries, then per entry: u8 path
//          length L, L bytes path, u8 multiplier (1..100), flag connector
//   u8+L   ZpPath (the forced tile set path)
//   ...    the settings before the object size chart: each row of the table
//          of settings (settings_table.h) of that part, in the table's
//          order, stored as the row says (a flag, u8 or i32, u8+L or i32+L)
//   f64    chart scale, i32 chart size range N, i32 point count P, then P x
//          (i32 x in object sizes, i32 y in percent)
//   ...    the settings after the chart, the same way (the backup options)
//   1024   Palette; i32 BitmapCount B, B x 1024 pixel bytes
//   u32    tiles T, then T x (u8 w, u8 h, i32 X, i32 Y, w*h squares row by
//          row: u16 Gnd, u16 Top, u8 Atr)
//   44     InfoHeader; 54 FileHeader; flag ZmeVariant
//   i32    learned squares S (the empty square included), then per square:
//          u16 Gnd, u16 Top, u8 Atr, i32 count + entries of Down, i32 count
//          + entries of Right
//   i32    n + n x i32 object sizes; i32 n + n x i32 object starts
//   i32    tallest object
// and, only when occurrences were learned or are to be (the settings of the
// occurrence counts part), one block that readers of the layout above skip
// as bytes beyond the tallest object:
//   4      "ZGOC"; u32 length of the rest of the block (to the file's end)
//   ...    the settings of the occurrence counts part of the table
//   i32    counted squares: 0 or S, then as many i64 occurrence counts
//   i32    joins down n, then n x (i32 square, i32 neighbour, i64 count),
//          ascending by (square, neighbour), counts above 0; the same for
//          the joins right
// The learned maps, connector groups and object members are not stored; the
// largest object is recomputed when reading.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "generator/generator.h"
#include "generator/settings.h"
#include "model/project.h"
#include "ui/ui.h"

namespace zorvane {

// What a generator data file holds, apart from any project or generator.
struct GeneratorPreset {
    GeneratorSettings Settings;  // every control, the learning list and the chart
    std::string ZpPath;
    std::array<std::uint8_t, 1024> Palette{};
    int BitmapCount = 0;
    std::vector<std::uint8_t> Pixels;  // BitmapCount x 1024
    TileList Tiles;
    std::array<std::uint8_t, 44> InfoHeader{};
    std::array<std::uint8_t, 54> FileHeader{};
    bool ZmeVariant = false;
    std::vector<LearnedSquare> Squares;
    std::vector<std::int32_t> ObjSize;
    std::vector<std::int32_t> ObjStarts;
    std::int32_t TallestObject = 0;
    OccurrenceCounts Counts;  // empty without the block of occurrence counts
};

// Parses a whole generator data file; throws Error for a short, foreign or
// damaged file (counts are checked against the bytes that remain, square
// indices against the learned squares).
GeneratorPreset ParseZG(std::span<const std::uint8_t> bytes);
// Encodes the settings, the project's tile set and the learned data; throws
// Error when a value does not fit its field (a text over 255 bytes, more
// than 255 learning list entries, a tile wider than 255 squares, ...).
std::vector<std::uint8_t> EncodeZG(const Project& project, const MapGenerator& generator,
                                   const GeneratorSettings& settings);

// Makes the preset the project's tile set, the generator's learned data and
// the settings; the generator is then learned.
void ApplyPreset(GeneratorPreset&& preset, Project& project, MapGenerator& generator, GeneratorSettings& settings);

// The file's part of "Save": writes to `path` through a temporary file.
bool SaveZGFile(const Project& project, UserInterface& ui, const MapGenerator& generator,
                const GeneratorSettings& settings, const std::string& path);
// SaveZG: the save dialog SDzg, the overwrite question, the extension ".zg".
bool SaveZG(const Project& project, UserInterface& ui, const MapGenerator& generator,
            const GeneratorSettings& settings);
// The file's part of "Load": reads `path`; on any failure tells the user
// ("Error opening *.zg file.") and changes nothing. Learned data from which
// a new map's rows could outgrow the generator's lists is refused too.
bool LoadZGFile(Project& project, UserInterface& ui, MapGenerator& generator, GeneratorSettings& settings,
                const std::string& path);
// LoadZG: the open dialog ODzg, then LoadZGFile.
bool LoadZG(Project& project, UserInterface& ui, MapGenerator& generator, GeneratorSettings& settings);

// The settings window's "Save": "Nothing to save." without learned squares.
bool SaveZGCommand(const Project& project, UserInterface& ui, const MapGenerator& generator,
                   const GeneratorSettings& settings);
// The settings window's "Load": asks "This operation may affect the current
// project!" when a project is open, resets the tile set side of the project
// and the learned data, then LoadZG.
bool LoadZGCommand(Project& project, UserInterface& ui, MapGenerator& generator, GeneratorSettings& settings);

}  // namespace zorvane
