#include "render/bitmap_info.h"

#include <cmath>

namespace zorvane::render {
namespace {

// One palette colour packed for summing: red, green and blue in 16-bit
// fields and a count of 1 in the top field. 256 pixels never overflow a
// field (256 x 255 < 65536).
std::uint64_t Packed(const Project& p, int v) {
    if (v == 0) return 0;
    std::uint64_t b = p.Palette[v * 4], g = p.Palette[v * 4 + 1], r = p.Palette[v * 4 + 2];
    return r | (g << 16) | (b << 32) | (std::uint64_t{1} << 48);
}

std::uint8_t Mean(std::uint64_t sum, std::uint64_t count) {
    return static_cast<std::uint8_t>(std::nearbyint(static_cast<double>(sum) / static_cast<double>(count)));
}

}  // namespace

void ComputeBitmapInfo(const Project& project, BitmapInfo& info, const std::function<void(int)>& progress) {
    const int n = project.BitmapCount;
    info.Count = n;
    ++info.Version;
    info.QuadColours.assign(static_cast<std::size_t>(n) * 12, 0);
    info.OpaqueCount.assign(static_cast<std::size_t>(n), 0);

    std::uint64_t lut[256];
    for (int v = 0; v < 256; ++v) lut[v] = Packed(project, v);
    const std::uint8_t entry0[3] = {project.Palette[2], project.Palette[1], project.Palette[0]};

    for (int id = 0; id < n; ++id) {
        if (progress) progress(id);
        const std::uint8_t* px = project.Bitmap(id);
        std::uint64_t sums[4] = {0, 0, 0, 0};
        for (int r = 0; r < 32; ++r) {
            const std::uint8_t* row = px + r * 32;
            std::uint64_t left = 0, right = 0;
            for (int c = 0; c < 16; ++c) left += lut[row[c]];
            for (int c = 16; c < 32; ++c) right += lut[row[c]];
            sums[(r / 16) * 2] += left;
            sums[(r / 16) * 2 + 1] += right;
        }
        int opaque = 0;
        std::uint8_t* out = info.QuadColours.data() + static_cast<std::size_t>(id) * 12;
        for (int q = 0; q < 4; ++q) {
            std::uint64_t count = sums[q] >> 48;
            opaque += static_cast<int>(count);
            if (count == 0) {
                out[q * 3] = entry0[0];
                out[q * 3 + 1] = entry0[1];
                out[q * 3 + 2] = entry0[2];
            } else {
                out[q * 3] = Mean(sums[q] & 0xFFFF, count);
                out[q * 3 + 1] = Mean((sums[q] >> 16) & 0xFFFF, count);
                out[q * 3 + 2] = Mean((sums[q] >> 32) & 0xFFFF, count);
            }
        }
        info.OpaqueCount[id] = static_cast<std::uint16_t>(opaque);
    }
}

int OpaquePixels(const Project& project, const BitmapInfo& info, int id) {
    if (id < 0 || id >= project.BitmapCount) return 0;
    if (id < info.Count) return info.OpaqueCount[id];
    const std::uint8_t* px = project.Bitmap(id);
    int n = 0;
    for (int i = 0; i < BitmapBytes; ++i) n += px[i] != 0;
    return n;
}

}  // namespace zorvane::render
