#pragma once
// The drawing side of the sample content: a seeded random source with its
// own portable distributions, the palette, and the pictures of every kind of
// sample bitmap (top-down rows of palette indices).

#include <cstdint>
#include <random>
#include <vector>

#include "model/project.h"
#include "samples/samples.h"

namespace zorvane::samples {

// std::mt19937 gives the same sequence everywhere; the distributions are
// written out here because the standard library's are not portable.
class SampleRng {
public:
    explicit SampleRng(std::uint32_t seed) : gen_(seed) {}
    // Uniform in 0..n-1 (n >= 1).
    std::uint32_t Below(std::uint32_t n) {
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(gen_()) * n) >> 32);
    }
    // Uniform in [0, 1).
    double Unit() { return static_cast<double>(gen_()) / 4294967296.0; }
    std::uint32_t Next() { return gen_(); }

private:
    std::mt19937 gen_;
};

// A hash of a position and a salt, for per-pixel detail that does not depend
// on the order of drawing.
std::uint32_t PixelHash(int x, int y, std::uint32_t salt);

// Smooth noise in [0, 1] over the plane that repeats every `period` pixels
// (a multiple of `cell`), so that squares drawn with it meet seamlessly.
double TileNoise(int x, int y, int cell, int period, std::uint32_t salt);

// Palette ramps of 16 shades each; the palette index is ramp x 16 + shade
// (shade 1..15; index 0 is the transparent colour).
enum Ramp : int {
    RampShadow, RampGrass, RampLeaves, RampSand, RampShallow, RampDeep, RampRock, RampDirt,
    RampWood, RampPlaster, RampRoof, RampFoam, RampYellow, RampPurple, RampPine, RampGlass,
};
std::uint8_t Shade(Ramp ramp, int level);  // level clamped to 1..15

void FillSamplePalette(std::array<std::uint8_t, 1024>& palette);

// The texture of a terrain at pixel (x, y) of a square (0..31, may run over
// for bigger pictures), in one of its variants.
std::uint8_t TerrainTexel(Terrain t, int variant, int x, int y);
int TerrainVariantCount(Terrain t);

// A square whose corners show two neighbouring terrains.
BitmapPixels DrawTransition(const Corners& corners);
BitmapPixels DrawPureTerrain(Terrain t, int variant);
// Grass with a dirt road reaching the edges of `mask`.
BitmapPixels DrawRoad(std::uint8_t mask);
// A tree on a transparent background (a top bitmap), kinds 0..TreeKindCount-1.
inline constexpr int TreeKindCount = 3;
BitmapPixels DrawTree(int kind);

// A picture of w x h squares, row by row, cut into bitmaps row by row.
struct BigPicture {
    int Width = 0;   // squares
    int Height = 0;
    std::vector<std::uint8_t> Px;  // (Width x 32) x (Height x 32), top-down
    std::uint8_t& At(int x, int y) { return Px[static_cast<std::size_t>(y) * Width * BitmapSide + x]; }
    std::vector<BitmapPixels> Cut() const;
};
BigPicture DrawBoulder();   // 2 x 2 squares on grass
BigPicture DrawHouse();     // 3 x 2 squares on grass
BigPicture DrawObelisk();   // 1 x 2 squares on grass

}  // namespace zorvane::samples
