#pragma once
// Layered project files built byte by byte from the documented layout, and
// what the layered file reader tests and the open and save command tests
// check them with.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "builders.h"
#include "byte_fixtures.h"
#include "model/project.h"

namespace zorvane::testing {

struct FixtureTile {
    int w, h, x, y;
    std::uint16_t seed;
};

// Square (c, r) of a fixture tile.
inline MapSquare TileSquare(const FixtureTile& t, int c, int r) {
    return MapSquare{static_cast<std::uint16_t>(t.seed + r * 16 + c), static_cast<std::uint16_t>(t.seed + 1000 + c),
               static_cast<std::uint8_t>((t.seed + r) % 36)};
}

inline void PutTiles(Bytes& b, const std::vector<FixtureTile>& tiles) {
    Put32(b, static_cast<std::uint32_t>(tiles.size()));
    for (auto& t : tiles) {
        b.push_back(static_cast<std::uint8_t>(t.w));
        b.push_back(static_cast<std::uint8_t>(t.h));
        Put32(b, static_cast<std::uint32_t>(t.x));
        Put32(b, static_cast<std::uint32_t>(t.y));
        for (int r = 0; r < t.h; ++r)
            for (int c = 0; c < t.w; ++c) {
                MapSquare s = TileSquare(t, c, r);
                Put16(b, s.Gnd);
                Put16(b, s.Top);
                b.push_back(s.Atr);
            }
    }
}

inline const std::vector<FixtureTile> kUsed = {{2, 1, -3, 5, 10}, {1, 2, 300, -7, 20}, {3, 2, 4, 4, 30}};
inline const std::vector<FixtureTile> kList = {{1, 1, 0, 0, 40}, {2, 3, 9, 9, 50}};
inline const Bytes kCreatures = {'C', 'S', 'T', '0', 1, 0, 'M', 'C', 'R', '0', 4};

struct ZlFixture {
    std::string magic = "ZLP1";
    int bitmaps = 2;
    std::vector<FixtureTile> used = kUsed;
    std::vector<FixtureTile> list = kList;
    std::uint8_t infoHeight = 0xE0;  // byte 12 of the InfoHeader: -32, top-down rows
    std::uint8_t variant = 0;
};

inline std::uint8_t PixelOf(int bitmap, int i) { return static_cast<std::uint8_t>((bitmap * 7 + i) % 256); }

// A layered project file built field by field from the format's layout.
inline Bytes ZlFile(const ZlFixture& f) {
    Bytes b;
    PutText(b, f.magic);
    b.push_back(20);
    b.push_back(18);
    for (int i = 0; i < 1024; ++i) b.push_back(static_cast<std::uint8_t>(255 - i % 256));
    Put32(b, static_cast<std::uint32_t>(f.bitmaps));
    for (int k = 0; k < f.bitmaps; ++k)
        for (int i = 0; i < 1024; ++i) b.push_back(PixelOf(k, i));
    PutTiles(b, f.used);
    PutTiles(b, f.list);
    b.push_back(6);
    PutText(b, "set.zp");
    Put32(b, 1);
    Put32(b, static_cast<std::uint32_t>(kCreatures.size()));
    b.insert(b.end(), kCreatures.begin(), kCreatures.end());
    PutText(b, "BMIF");
    for (int i = 4; i < 44; ++i) b.push_back(i == 12 ? f.infoHeight : static_cast<std::uint8_t>(i + 1));
    if (f.magic == "ZLP1") {
        for (int i = 0; i < 54; ++i) b.push_back(static_cast<std::uint8_t>(200 - i));
        b.push_back(f.variant);
    }
    return b;
}

inline void ExpectTiles(const TileList& got, const std::vector<FixtureTile>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        const MapTile& t = *got[i];
        const FixtureTile& f = want[i];
        EXPECT_EQ(t.Width, f.w);
        EXPECT_EQ(t.Height, f.h);
        EXPECT_EQ(t.X, f.x);
        EXPECT_EQ(t.Y, f.y);
        EXPECT_FALSE(t.Selected);
        for (int r = 0; r < f.h; ++r)
            for (int c = 0; c < f.w; ++c) EXPECT_EQ(t.SqAt(c, r), TileSquare(f, c, r)) << i << " " << c << "," << r;
    }
}

// A picture as seen on the screen: row 0 is the top row whatever the order in memory.
inline BitmapPixels Picture(const Project& p, int id) {
    BitmapPixels px;
    std::memcpy(px.data(), p.Bitmap(id), BitmapBytes);
    if (p.BottomUpRows) FlipBitmapRows(px.data());
    return px;
}

class RecordingGenerator : public TileSetObserver {
public:
    void tileSetRead() override { ++reads; }
    void tileSetReset() override { ++resets; }
    int reads = 0;
    int resets = 0;
};

}  // namespace zorvane::testing
