#pragma once
// Small helpers that build projects, bitmaps and temporary folders for tests.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "model/project.h"
#include "platform/file_io.h"

namespace zorvane::testing {

// A bitmap whose pixels follow from `seed` (pixel p = (seed * 31 + p * 7) %
// 251 + 1, never 0), so different seeds give different, opaque pictures.
inline BitmapPixels PatternBitmap(int seed) {
    BitmapPixels px{};
    for (int p = 0; p < BitmapBytes; ++p) px[p] = static_cast<std::uint8_t>((seed * 31 + p * 7) % 251 + 1);
    return px;
}

inline BitmapPixels FilledBitmap(std::uint8_t value) {
    BitmapPixels px{};
    px.fill(value);
    return px;
}

// A palette with entry i = (i, 255 - i, i / 2, 0).
inline void FillTestPalette(Project& p) {
    for (int i = 0; i < 256; ++i) {
        p.Palette[i * 4] = static_cast<std::uint8_t>(i);
        p.Palette[i * 4 + 1] = static_cast<std::uint8_t>(255 - i);
        p.Palette[i * 4 + 2] = static_cast<std::uint8_t>(i / 2);
        p.Palette[i * 4 + 3] = 0;
    }
}

inline void AddPatternBitmaps(Project& p, int count, int firstSeed = 0) {
    for (int i = 0; i < count; ++i) {
        auto px = PatternBitmap(firstSeed + i);
        p.AddBitmap(px.data());
    }
}

inline std::unique_ptr<MapTile> MakeTile(int w, int h, int x = 0, int y = 0, std::uint16_t gnd = NoBitmap,
                                       std::uint16_t top = NoBitmap, std::uint8_t atr = 0) {
    auto t = std::make_unique<MapTile>(w, h);
    t->X = x;
    t->Y = y;
    for (auto& s : t->Sq) s = MapSquare{gnd, top, atr};
    return t;
}

// A temporary folder removed with the object.
class TempDir {
public:
    TempDir() {
        auto base = std::filesystem::temp_directory_path();
        for (int i = 0;; ++i) {
            path_ = base / ("zorvane-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter()++) + "-" +
                            std::to_string(i));
            if (std::filesystem::create_directory(path_)) break;
        }
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

private:
    static int& counter() {
        static int c = 0;
        return c;
    }
    std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    SaveFileAtomically(path, bytes);
}

}  // namespace zorvane::testing
