#include "model/tile_records.h"

#include <cstdlib>
#include <vector>

namespace zorvane {

namespace {
constexpr std::size_t kTileRecordHead = 10;  // width, height, X, Y
constexpr std::size_t kSquareBytes = 5;

std::uint8_t SideByte(int value, const char* what) {
    if (value < 1 || value > 255)
        throw Error("A tile " + std::string(what) + " of " + std::to_string(value) +
                    " squares cannot be stored (1 to 255).");
    return static_cast<std::uint8_t>(value);
}
}  // namespace

void ReadTileRecords(ByteReader& r, TileList& tiles, const char* what) {
    std::uint32_t count = r.u32(what);
    r.needItems(count, kTileRecordHead, what);
    tiles.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        int w = r.u8("tile width");
        int h = r.u8("tile height");
        if (w == 0 || h == 0)
            throw Error("The file is damaged: a tile of " + std::to_string(w) + " x " + std::to_string(h) +
                        " squares at byte " + std::to_string(r.offset() - 2) + ".");
        auto tile = std::make_unique<MapTile>(w, h);
        tile->X = r.i32("tile position");
        tile->Y = r.i32("tile position");
        if (std::abs(static_cast<std::int64_t>(tile->X)) > MaxTileDistance ||
            std::abs(static_cast<std::int64_t>(tile->Y)) > MaxTileDistance)
            throw Error("The file is damaged: a tile at " + std::to_string(tile->X) + ", " + std::to_string(tile->Y) +
                        " lies too far from the map (more than " + std::to_string(MaxTileDistance) + " squares).");
        r.needItems(static_cast<std::uint64_t>(w) * h, kSquareBytes, "tile squares");
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                MapSquare& sq = tile->SqAt(x, y);
                sq.Gnd = r.u16("ground id");
                sq.Top = r.u16("top id");
                sq.Atr = r.u8("attribute");
            }
        }
        tiles.push_back(std::move(tile));
    }
}

std::size_t TileRecordsSize(const TileList& tiles) {
    std::size_t n = 4;
    for (const auto& t : tiles) n += kTileRecordHead + t->Sq.size() * kSquareBytes;
    return n;
}

void WriteTileRecords(ByteWriter& out, const TileList& tiles) {
    out.u32(static_cast<std::uint32_t>(tiles.size()));
    // Each record is put together whole and handed over at once: a generated
    // map is tens of thousands of one-square tiles, and byte by byte through
    // the writer this was most of the time of saving it.
    std::vector<std::uint8_t> record;
    const auto put16 = [](std::uint8_t* at, std::uint32_t v) {
        at[0] = static_cast<std::uint8_t>(v & 0xFF);
        at[1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    };
    for (const auto& tile : tiles) {
        const auto squares = static_cast<std::size_t>(tile->Width) * static_cast<std::size_t>(tile->Height);
        record.resize(kTileRecordHead + squares * kSquareBytes);
        std::uint8_t* at = record.data();
        at[0] = SideByte(tile->Width, "width");
        at[1] = SideByte(tile->Height, "height");
        for (const std::int32_t position : {tile->X, tile->Y}) {
            const auto v = static_cast<std::uint32_t>(position);
            put16(at + 2, v & 0xFFFF);
            put16(at + 4, v >> 16);
            at += 4;
        }
        at = record.data() + kTileRecordHead;
        for (int y = 0; y < tile->Height; ++y) {
            for (int x = 0; x < tile->Width; ++x) {
                const MapSquare& sq = tile->SqAt(x, y);
                put16(at, sq.Gnd);
                put16(at + 2, sq.Top);
                at[4] = sq.Atr;
                at += kSquareBytes;
            }
        }
        out.bytes(record);
    }
}

}  // namespace zorvane
