#pragma once
// Display data derived from the project's bitmaps, rebuilt after every load
// or change of the tile set (PrepareBitmapsPx):
//  - QuadColours: for every bitmap four colours of 3 bytes (red, green,
//    blue), for its top-left, top-right, bottom-left and bottom-right 16 x 16
//    quadrant in slot row order: the rounded mean of the palette colours of
//    the quadrant's non-zero indices, or palette entry 0 when it has none;
//  - OpaqueCount: the number of non-zero indices of every bitmap, which tells
//    the renderer whether a bitmap is entirely transparent or holds any
//    transparent pixel.

#include <cstdint>
#include <functional>
#include <vector>

#include "model/project.h"

namespace zorvane::render {

struct BitmapInfo {
    int Count = 0;  // bitmaps covered, the project's BitmapCount when computed
    std::uint64_t Version = 0;  // raised by every computation: pictures made from the bitmaps before are stale
    std::vector<std::uint8_t> QuadColours;   // Count x 12 bytes
    std::vector<std::uint16_t> OpaqueCount;  // Count entries, 0..1024

    const std::uint8_t* Quad(int id, int q) const { return QuadColours.data() + id * 12 + q * 3; }
};

// Recomputes `info` for all bitmaps of the project; `progress`, when given,
// is called with every bitmap id before it is processed.
void ComputeBitmapInfo(const Project& project, BitmapInfo& info, const std::function<void(int)>& progress = {});

// Non-zero indices of one bitmap, from `info` when it covers the id, else
// counted from the project (ids at or above BitmapCount have none).
int OpaquePixels(const Project& project, const BitmapInfo& info, int id);

}  // namespace zorvane::render
