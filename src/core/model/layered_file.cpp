#include "model/layered_file.h"

#include <cstring>

#include "model/bytes.h"
#include "model/tile_records.h"
#include "model/tileset_file.h"
#include "platform/file_names.h"

namespace zorvane {

namespace {

void ReadBitmaps(ByteReader& r, Project& project) {
    std::uint32_t count = r.u32("bitmap count");
    if (count > static_cast<std::uint32_t>(MaxBitmaps))
        throw Error("The file is damaged: it declares " + std::to_string(count) + " bitmaps, more than " +
                    std::to_string(MaxBitmaps) + ".");
    r.needItems(count, BitmapBytes, "bitmaps");
    project.SetBitmapCount(static_cast<int>(count));
    auto pixels = r.bytes(static_cast<std::size_t>(count) * BitmapBytes, "bitmap pixels");
    if (!pixels.empty()) std::memcpy(project.AllBitmapBytes().data(), pixels.data(), pixels.size());
}

std::uint8_t SizeByte(int value, const std::string& what) {
    if (value < 0 || value > 255)
        throw Error("The " + what + " " + std::to_string(value) + " does not fit the layered project file (0 to 255).");
    return static_cast<std::uint8_t>(value);
}

}  // namespace

Project ParseZL(std::span<const std::uint8_t> bytes) {
    ByteReader r(bytes);
    bool current = r.peekTag("ZLP1");
    if (!current && !r.peekTag("ZLP0")) throw ImproperFormatError();
    r.skip(4, "magic");
    Project project;
    if (!current) {
        project.BottomUpRows = false;
        project.ZmeVariant = false;
        SetDefaultFileHeader(project);
    }
    project.MapWidth = r.u8("map width");
    project.MapHeight = r.u8("map height");
    r.read(project.Palette, "palette");
    ReadBitmaps(r, project);
    ReadTileRecords(r, project.UsedTiles, "used tiles");
    ReadTileRecords(r, project.NewTiles, "tiles list entries");
    std::uint8_t pathLength = r.u8("tile set path length");
    project.ZpPath = Utf8FromStoredPath(r.text(pathLength, "tile set path"));
    project.Multiplayer = r.u32("multiplayer flag");
    std::uint32_t creatures = r.u32("creature block length");
    auto block = r.bytes(creatures, "creature block");
    project.Creatures.assign(block.begin(), block.end());
    r.read(project.InfoHeader, "bitmap information header");
    if (current) {
        r.read(project.FileHeader, "bitmap file header");
        project.ZmeVariant = r.u8("variant") == 1;
        project.BottomUpRows = project.ZmeVariant || project.InfoHeader[12] == 32;
    }
    project.NoProject = false;
    return project;
}

namespace {

void EncodeInto(const Project& project, ByteWriter& out) {
    auto pixels = project.AllBitmapBytes();
    out.text("ZLP1");
    out.u8(SizeByte(project.MapWidth, "map width"));
    out.u8(SizeByte(project.MapHeight, "map height"));
    out.bytes(project.Palette);
    out.u32(static_cast<std::uint32_t>(project.BitmapCount));
    out.bytes(pixels.data(), static_cast<std::size_t>(project.BitmapCount) * BitmapBytes);
    WriteTileRecords(out, project.UsedTiles);
    WriteTileRecords(out, project.NewTiles);
    WriteShortString(out, project.ZpPath, "tile set path");
    out.u32(project.Multiplayer);
    out.u32(static_cast<std::uint32_t>(project.Creatures.size()));
    out.bytes(project.Creatures);
    out.bytes(project.InfoHeader);
    out.bytes(project.FileHeader);
    out.u8(project.ZmeVariant ? 1 : 0);
}

}  // namespace

std::vector<std::uint8_t> EncodeZL(const Project& project) {
    ByteWriter out;
    out.reserve(1200 + project.AllBitmapBytes().size() + TileRecordsSize(project.UsedTiles) +
                TileRecordsSize(project.NewTiles) + project.Creatures.size());
    EncodeInto(project, out);
    return out.take();
}

void WriteZL(const Project& project, SaveSink& sink) {
    ByteWriter out(sink);
    EncodeInto(project, out);
    out.finish();
}

}  // namespace zorvane
