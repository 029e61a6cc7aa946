#pragma once
// The attribute pictograms: one 32 x 32 picture per attribute 0..35, in the
// layout of a bitmap slot (32 rows of 32 indices, row 0 at the top), drawn
// with three indices only: 0 transparent, 1 outline, 2 fill. Pictogram 0
// (open ground) is empty. They have their own three-entry palette.

#include <array>
#include <cstdint>

#include "model/project.h"

namespace zorvane::render {

using AtrIconTable = std::array<BitmapPixels, AttributeCount>;

// The pictogram palette, entries as blue, green, red.
inline constexpr std::uint8_t AtrIconPalette[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 255, 255}};

// The 36 pictograms, built once (PrepareAttributes).
const AtrIconTable& AtrIcons();

}  // namespace zorvane::render
