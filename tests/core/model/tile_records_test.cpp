#include "model/tile_records.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "builders.h"
#include "model/layered_file.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

// A tile stored anywhere an i32 reaches: near the map it loads as it was
// (tiles outside a map made smaller are kept), far out it is refused before
// any position is summed with a size (a tile at INT_MAX overflowed the map
// check's visible squares).
TEST(TileRecords, PositionsNearTheMapLoadAndFarOnesAreRefused) {
    const int far = MaxTileDistance;
    const std::pair<int, int> kept[] = {{-3, 400}, {far, -far}, {-far, 0}};
    const std::pair<int, int> refused[] = {{INT_MAX, 0}, {0, INT_MIN}, {far + 1, 5}, {7, -far - 1}};
    auto layered = [](int x, int y) {
        Project p;
        p.MapWidth = p.MapHeight = 20;
        p.UsedTiles.push_back(MakeTile(3, 2, x, y, 0));
        return EncodeZL(p);
    };
    for (auto [x, y] : kept) {
        Project read = ParseZL(layered(x, y));
        ASSERT_EQ(read.UsedTiles.size(), 1u);
        EXPECT_EQ(read.UsedTiles[0]->X, x);
        EXPECT_EQ(read.UsedTiles[0]->Y, y);
    }
    for (auto [x, y] : refused) {
        try {
            ParseZL(layered(x, y));
            ADD_FAILURE() << "a tile at " << x << ", " << y << " was read";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(std::to_string(x)), std::string::npos) << e.what();
        }
    }
}

// Random tiles of every shape and placement, with random squares, written
// as the file stores them (a plain byte-by-byte reference) and read back.
TEST(TileRecords, RandomTilesAreWrittenAsStoredAndReadBack) {
    std::mt19937 rng(29);
    TileList tiles;
    ByteWriter reference;
    reference.u32(300);
    for (int i = 0; i < 300; ++i) {
        const int w = 1 + static_cast<int>(rng() % (i % 3 == 0 ? 255 : 4)), h = 1 + static_cast<int>(rng() % 5);
        auto tile = MakeTile(w, h, static_cast<int>(rng() % 2001) - 1000, static_cast<int>(rng() % 2001) - 1000);
        reference.u8(static_cast<std::uint8_t>(w)), reference.u8(static_cast<std::uint8_t>(h));
        reference.i32(tile->X), reference.i32(tile->Y);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                MapSquare& sq = tile->SqAt(x, y);
                sq = {static_cast<std::uint16_t>(rng()), static_cast<std::uint16_t>(rng()), static_cast<std::uint8_t>(rng())};
                reference.u16(sq.Gnd), reference.u16(sq.Top), reference.u8(sq.Atr);
            }
        tiles.push_back(std::move(tile));
    }
    ByteWriter written;
    WriteTileRecords(written, tiles);
    ASSERT_EQ(written.data(), reference.data());
    ByteReader r(written.data());
    TileList read;
    ReadTileRecords(r, read, "tiles");
    ByteWriter again;
    WriteTileRecords(again, read);
    EXPECT_EQ(again.data(), reference.data());
}

}  // namespace
