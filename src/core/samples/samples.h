#pragma once
// Sample content drawn by code: a tile set of textured terrain, corner-based
// transition squares, roads, trees and multi-square objects with one
// 256-colour palette, and map projects composed from it, so that the editor
// and the generator have material to open and to learn from.
//
// Every square of the terrain has a terrain at each of its four corners.
// Terrains are levels (deep water, shallow water, sand, grass, rock) and only
// neighbouring levels may meet inside one square, so a square shows one
// terrain or one of the pairs deep-shallow, shallow-sand, sand-grass and
// grass-rock. Neighbouring squares share two corners, which keeps shores and
// edges continuous. Roads, trees and objects stand on squares of pure grass.
//
// Everything is deterministic for a seed.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/project.h"

namespace zorvane::samples {

enum class Terrain : std::uint8_t { Deep, Shallow, Sand, Grass, Rock };
inline constexpr int TerrainCount = 5;

// Corner order of a square: top-left, top-right, bottom-left, bottom-right.
using Corners = std::array<Terrain, 4>;
enum CornerIndex { TopLeft = 0, TopRight = 1, BottomLeft = 2, BottomRight = 3 };

// Road arms of a road square, one bit per edge it reaches.
enum RoadEdge : std::uint8_t { RoadNorth = 1, RoadEast = 2, RoadSouth = 4, RoadWest = 8 };

enum class BitmapKind : std::uint8_t { Terrain, Road, Tree, Object };

// What a bitmap of the sample tile set shows.
struct BitmapInfo {
    BitmapKind Kind = BitmapKind::Terrain;
    Corners Corner{};          // terrain at each corner (grass under roads and objects)
    int Variant = 0;           // texture variant of a pure terrain square, or the tree's kind
    std::uint8_t RoadMask = 0; // roads: the edges the road reaches
    int Object = -1;           // objects: index into SampleTileSet::Objects
    int Column = 0;            // objects: the square's place inside the object
    int Row = 0;
    std::uint8_t Atr = 0;      // the attribute a square of this bitmap gets
};

// A multi-square object: its squares always stand together, row by row.
struct SampleObject {
    std::string Name;
    int Width = 0;
    int Height = 0;
    std::vector<std::uint16_t> Bitmaps;  // Width x Height ground ids, row by row
    std::uint8_t Atr = 0;
};

// The tile set as a project (bitmaps top-down, palette, reusable tiles) with
// a description of every bitmap.
struct SampleTileSet {
    Project Tiles;
    std::vector<BitmapInfo> Info;  // one per bitmap id
    std::vector<SampleObject> Objects;

    // The ground bitmap of a square with these corners (a pure terrain takes
    // its texture variant, modulo the number of variants); 65535 when no
    // bitmap shows these corners.
    std::uint16_t TerrainBitmap(const Corners& corners, int variant = 0) const;
    int TerrainVariants(Terrain t) const;
    std::uint16_t RoadBitmap(std::uint8_t mask) const;  // mask 1..15
    std::uint16_t TreeBitmap(int kind) const;           // top bitmap, kind 0..TreeKinds()-1
    int TreeKinds() const;
};

// Builds the tile set (the same for every seed); the tile set path is left
// empty.
SampleTileSet BuildSampleTileSet();

// One composed map, squares row by row, borders included.
struct SampleMap {
    std::string Name;
    int Width = 0;   // borders included
    int Height = 0;
    bool Connector = false;  // only interchangeable single-square fillers inside
    std::vector<MapSquare> Squares;
};

// The sample maps: six terrain maps of inner sizes 30 x 30 to 120 x 120 and
// one connector map of grass variants.
std::vector<SampleMap> ComposeSampleMaps(const SampleTileSet& tiles, std::uint32_t seed);

// A terrain map of any inner size (10..202 per axis) composed like the
// sample maps, with open landforms, roads, objects and trees.
SampleMap ComposeTerrainMap(const SampleTileSet& tiles, std::uint32_t seed, int innerWidth, int innerHeight);

struct SampleFile {
    std::string Path;
    std::vector<std::uint8_t> Bytes;
};

// Every file of the sample content under `outDir` (made absolute here): for
// each variant a folder "zme" and "zmpe" with the tile set "samples.zp" and
// one map project per sample map naming that tile set by its absolute path.
// Throws Error when a path does not fit its field.
std::vector<SampleFile> BuildSampleFiles(const std::string& outDir, std::uint32_t seed);

// Creates the folders and writes the files together, all or none (a
// failure leaves the old files and no new folder); throws Error.
void WriteSampleFiles(const std::vector<SampleFile>& files);

}  // namespace zorvane::samples
