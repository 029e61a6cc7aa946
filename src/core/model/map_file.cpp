#include "model/map_file.h"

#include <cctype>
#include <cstring>
#include <filesystem>

#include "model/bytes.h"
#include "model/creatures.h"
#include "model/flatten.h"
#include "model/tileset_file.h"
#include "platform/file_names.h"

namespace zorvane {

namespace {

constexpr std::size_t kSquareBytes = 5;

void CheckMapSide(int size, const char* what) {
    if (size < 1 || size > 255)
        throw Error("The map " + std::string(what) + " " + std::to_string(size) +
                    " cannot be stored in a map project file (1 to 255 squares).");
}

}  // namespace

MapFile ParseZM(std::span<const std::uint8_t> bytes) {
    ByteReader r(bytes);
    if (!r.peekTag("ZLF5")) throw Error("This is not a map project file: it does not begin with \"ZLF5\".");
    r.skip(4, "magic");
    MapFile map;
    std::uint8_t pathLength = r.u8("tile set path length");
    map.ZpPath = Utf8FromStoredPath(r.text(pathLength, "tile set path"));
    map.Multiplayer = r.u32("multiplayer flag");
    r.skip(4, "map chunk id");
    map.Width = r.u8("map width");
    map.Height = r.u8("map height");
    if (map.Width == 0 || map.Height == 0)
        throw Error("The file is damaged: the map size " + std::to_string(map.Width) + " x " +
                    std::to_string(map.Height) + " is empty.");
    std::uint64_t count = static_cast<std::uint64_t>(map.Width) * static_cast<std::uint64_t>(map.Height);
    r.needItems(count, kSquareBytes, "map squares");
    map.Squares.resize(count);
    for (auto& sq : map.Squares) {
        sq.Gnd = r.u16("ground id");
        sq.Top = r.u16("top id");
        sq.Atr = r.u8("attribute");
    }
    if (r.remaining() > 0 && !r.peekTag("CST0"))
        throw Error("The file is damaged: the creature block at byte " + std::to_string(r.offset()) +
                    " does not begin with \"CST0\".");
    auto rest = r.bytes(r.remaining(), "creature block");
    map.Creatures.assign(rest.begin(), rest.end());
    return map;
}

std::vector<std::uint8_t> EncodeZM(const Project& project, TileSetVariant variant) {
    const int w = project.MapWidth;
    const int h = project.MapHeight;
    CheckMapSide(w, "width");
    CheckMapSide(h, "height");
    if (project.FlatSquares.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h))
        throw Error("The map has not been flattened: " + std::to_string(project.FlatSquares.size()) +
                    " squares for a map of " + std::to_string(w) + " x " + std::to_string(h) + ".");
    auto creatures = CreatureBlockForFile(project.Creatures, variant);
    ByteWriter out;
    out.reserve(32 + project.ZpPath.size() + project.FlatSquares.size() * kSquareBytes + creatures.size());
    out.text("ZLF5");
    WriteShortString(out, StoredPathFromUtf8(project.ZpPath), "tile set path");
    out.u32(project.Multiplayer);
    out.text("MAP0");
    out.u8(static_cast<std::uint8_t>(w));
    out.u8(static_cast<std::uint8_t>(h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const MapSquare& sq = project.FlatSquares[static_cast<std::size_t>(y) * w + x];
            out.u16(sq.Gnd);
            out.u16(sq.Top);
            out.u8(IsBorderSquare(x, y, w, h) ? AtrImpassable : sq.Atr);
        }
    }
    out.text("CST0");
    out.bytes(creatures);
    return out.take();
}

}  // namespace zorvane
