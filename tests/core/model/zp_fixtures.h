#pragma once
// Tile set files built byte by byte from the documented layouts, and small
// projects, for the tile set reader, writer and merge tests.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "builders.h"
#include "model/bytes.h"
#include "model/project.h"

namespace zorvane::testing {

// "BMIF" and the 40-byte information header of a 32 x 32, 8-bit picture.
inline std::vector<std::uint8_t> InfoHeaderBytes(std::int32_t height) {
    ByteWriter w;
    w.text("BMIF");
    w.u32(40);
    w.i32(32);
    w.i32(height);
    w.u16(1);
    w.u16(8);
    for (int i = 0; i < 4; ++i) w.u32(0);
    w.u32(256);
    w.u32(0);
    return w.take();
}

inline std::uint8_t FixturePalette(int i) { return static_cast<std::uint8_t>(i * 7 + 3); }

inline BitmapPixels FixtureBitmap(int k) {
    BitmapPixels px{};
    for (int p = 0; p < BitmapBytes; ++p)
        px[p] = static_cast<std::uint8_t>(k == 0 ? p % 13 + p / 32 : (p * 5) % 256);
    return px;
}

// A header block unlike the default, so that a test sees where it came from.
inline std::vector<std::uint8_t> FixtureFileHeader() {
    ByteWriter w;
    w.text("BM");
    w.u32(2102);
    w.u32(0);
    w.u32(1078);
    auto info = InfoHeaderBytes(32);
    w.bytes(info.data() + 4, 40);
    return w.take();
}

// Two tiles: 3 x 2 with ground 10+i, top 20+i, attribute i for element i
// (column i mod 3, row i div 3), and 1 x 1 with ground 1, no top, attribute 7.
inline void WriteFixtureTiles(ByteWriter& w) {
    w.text("TIL1");
    w.u8(3);
    w.u8(2);
    w.u8(3);
    w.u8(0);
    for (int i = 0; i < 6; ++i) w.u16(static_cast<std::uint16_t>(10 + i));
    for (int i = 0; i < 6; ++i) w.u16(static_cast<std::uint16_t>(20 + i));
    for (int i = 0; i < 6; ++i) w.u8(static_cast<std::uint8_t>(i));
    w.text("TIL1");
    w.u8(1);
    w.u8(1);
    w.u8(3);
    w.u8(0);
    w.u16(1);
    w.u16(0xFFFF);
    w.u8(7);
}

inline void ExpectFixtureTiles(const TileList& tiles) {
    ASSERT_EQ(tiles.size(), 2u);
    const MapTile& a = *tiles[0];
    ASSERT_EQ(a.Width, 3);
    ASSERT_EQ(a.Height, 2);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(a.GndAt(i % 3, i / 3), 10 + i);
        EXPECT_EQ(a.TopAt(i % 3, i / 3), 20 + i);
        EXPECT_EQ(a.AtrAt(i % 3, i / 3), i);
    }
    const MapTile& b = *tiles[1];
    ASSERT_EQ(b.Width, 1);
    ASSERT_EQ(b.Height, 1);
    EXPECT_EQ(b.Sq[0], (MapSquare{1, NoBitmap, 7}));
}

inline std::vector<std::uint8_t> ZmpeFixture(bool bottomUp) {
    ByteWriter w;
    w.text("ZTP0");
    w.u32(bottomUp ? 2 : 0);
    w.u32(2);
    w.u32(2);
    w.bytes(InfoHeaderBytes(bottomUp ? 32 : -32));
    for (int i = 0; i < 1024; ++i) w.u8(FixturePalette(i));
    w.text("BITS");
    for (int k = 0; k < 2; ++k) w.bytes(FixtureBitmap(k));
    WriteFixtureTiles(w);
    return w.take();
}

inline std::vector<std::uint8_t> ZmeFixture(const std::string& path) {
    ByteWriter w;
    w.text("ZTP0");
    w.u8(static_cast<std::uint8_t>(path.size()));
    w.text(path);
    w.u16(2);
    w.bytes(FixtureFileHeader());
    for (int i = 0; i < 1024; ++i) w.u8(FixturePalette(i));
    w.bytes(FixtureBitmap(0));
    for (int i = 0; i < 1078; ++i) w.u8(0xEE);  // the second copy of header and palette is not read
    w.bytes(FixtureBitmap(1));
    w.u16(2);
    WriteFixtureTiles(w);
    return w.take();
}

// A picture with row 0 at the top, whatever order the memory holds.
inline BitmapPixels TopDown(const std::uint8_t* pixels, bool bottomUp) {
    BitmapPixels px{};
    std::memcpy(px.data(), pixels, BitmapBytes);
    if (bottomUp) FlipBitmapRows(px.data());
    return px;
}
inline BitmapPixels TopDown(const Project& p, int id) { return TopDown(p.Bitmap(id), p.BottomUpRows); }

// Two bitmaps, a test palette, a 1 x 1 tile (ground 1, attribute 7) and a
// 3 x 1 tile (ground = column, attribute = column + 1); headers all zero.
inline Project SmallProject(bool bottomUp) {
    Project p;
    p.BottomUpRows = bottomUp;
    FillTestPalette(p);
    for (int k = 0; k < 2; ++k) p.AddBitmap(FixtureBitmap(k).data());
    p.NewTiles.push_back(MakeTile(1, 1, 0, 0, 1, NoBitmap, 7));
    auto row = MakeTile(3, 1);
    for (int c = 0; c < 3; ++c) row->Sq[c] = MapSquare{static_cast<std::uint16_t>(c), NoBitmap, static_cast<std::uint8_t>(c + 1)};
    p.NewTiles.push_back(std::move(row));
    return p;
}

}  // namespace zorvane::testing
