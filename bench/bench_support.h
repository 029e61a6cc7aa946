#pragma once
// Projects of the sizes the benchmarks measure.

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include "model/project.h"

namespace zorvane::bench {

// `count` different, fully opaque bitmaps.
inline void AddDistinctBitmaps(Project& p, int count, std::uint32_t seed) {
    std::mt19937 rng(seed);
    BitmapPixels px;
    for (int i = 0; i < count; ++i) {
        for (auto& b : px) b = static_cast<std::uint8_t>(rng() % 255 + 1);
        p.AddBitmap(px.data());
    }
}

inline std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("zorvane-bench-" + name)).string();
}

}  // namespace zorvane::bench
