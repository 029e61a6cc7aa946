#include "model/tileset_file.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <string>

#include "model/bytes.h"
#include "platform/file_io.h"
#include "platform/file_names.h"

namespace zorvane {

namespace {

constexpr std::string_view kMagic = "ZTP0";
constexpr std::string_view kInfoMagic = "BMIF";
constexpr std::size_t kHeightField = 12;          // offset of the height inside InfoHeader
constexpr std::size_t kZmeBitmapBytes = 54 + 1024 + BitmapBytes;  // header, palette, pixels
constexpr std::size_t kZmpePixelsAt = 1088;       // magic, three numbers, InfoHeader, palette, "BITS"
constexpr std::size_t kMinTileRecord = 8 + 5;     // chunk id, sizes, one square
constexpr std::size_t kMinZmePath = 3;            // a shorter length byte reads as "zmpe"
constexpr int kMaxZmeTiles = 65535;

void PutU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void PutU32(std::uint8_t* p, std::uint32_t v) {
    PutU16(p, static_cast<std::uint16_t>(v & 0xFFFF));
    PutU16(p + 2, static_cast<std::uint16_t>(v >> 16));
}

// The 40-byte bitmap information header of a 32 x 32, 8-bit picture.
void PutBitmapInfo(std::uint8_t* p, bool bottomUp) {
    PutU32(p, 40);
    PutU32(p + 4, 32);
    PutU32(p + 8, static_cast<std::uint32_t>(bottomUp ? 32 : -32));
    PutU16(p + 12, 1);   // planes
    PutU16(p + 14, 8);   // bits per pixel
    PutU32(p + 16, 0);   // compression
    PutU32(p + 20, 0);   // image size
    PutU32(p + 24, 0);   // horizontal resolution
    PutU32(p + 28, 0);   // vertical resolution
    PutU32(p + 32, 256); // colours used
    PutU32(p + 36, 0);   // important colours
}

template <std::size_t N>
bool AllZero(const std::array<std::uint8_t, N>& block) {
    return std::all_of(block.begin(), block.end(), [](std::uint8_t b) { return b == 0; });
}

// The InfoHeader to store for pixels in the given row order: the default
// when the block is empty or foreign, else the block with its height
// corrected when it states the other order.
std::array<std::uint8_t, 44> InfoHeaderStating(const std::array<std::uint8_t, 44>& header, bool bottomUp) {
    if (AllZero(header) || std::memcmp(header.data(), kInfoMagic.data(), kInfoMagic.size()) != 0)
        return DefaultInfoHeader(bottomUp);
    auto out = header;
    if ((out[kHeightField] == 32) != bottomUp)
        PutU32(out.data() + kHeightField, static_cast<std::uint32_t>(bottomUp ? 32 : -32));
    return out;
}

[[noreturn]] void Damaged(const std::string& reason) { throw Error("The tile set file is damaged: " + reason); }

// The head of tile record `index`: its width and height, with room for its
// squares after them.
std::pair<int, int> ReadTileHead(ByteReader& r, std::size_t index) {
    r.skip(4, "tile chunk id");
    const int w = r.u8("tile width");
    const int h = r.u8("tile height");
    r.skip(2, "tile layer bytes");
    if (w == 0 || h == 0) Damaged("tile " + std::to_string(index) + " has no squares.");
    r.need(static_cast<std::size_t>(w) * h * 5, "tile squares");
    return {w, h};
}

std::unique_ptr<MapTile> ReadTile(ByteReader& r, std::size_t index) {
    const auto [w, h] = ReadTileHead(r, index);
    const std::size_t n = static_cast<std::size_t>(w) * h;
    auto tile = std::make_unique<MapTile>(w, h);
    auto at = [&](std::size_t i) -> MapSquare& { return tile->SqAt(static_cast<int>(i % w), static_cast<int>(i / w)); };
    for (std::size_t i = 0; i < n; ++i) at(i).Gnd = r.u16("ground id");
    for (std::size_t i = 0; i < n; ++i) at(i).Top = r.u16("top id");
    for (std::size_t i = 0; i < n; ++i) at(i).Atr = r.u8("attribute");
    return tile;
}

void ReadTiles(ByteReader& r, std::uint64_t count, TileSet& set) {
    r.needItems(count, kMinTileRecord, "tiles");
    set.Tiles.reserve(static_cast<std::size_t>(count));
    for (std::uint64_t i = 0; i < count; ++i) set.Tiles.push_back(ReadTile(r, static_cast<std::size_t>(i)));
}

// Checks the tile records as ReadTiles reads them, keeping none.
void SkipTiles(ByteReader& r, std::uint64_t count) {
    r.needItems(count, kMinTileRecord, "tiles");
    for (std::uint64_t i = 0; i < count; ++i) {
        const auto [w, h] = ReadTileHead(r, static_cast<std::size_t>(i));
        r.skip(static_cast<std::size_t>(w) * h * 5, "tile squares");
    }
}

void CheckMagic(const ByteReader& r) {
    if (!r.peekTag(kMagic)) throw Error("This is not a tile set file: it does not begin with \"ZTP0\".");
}

// Whether the file, read past its magic, is "zme": its path length byte is 3 or more.
bool IsZme(const ByteReader& r) { return r.peekU8("variant byte") >= kMinZmePath; }

// The fields of a "zme" file before its bitmaps; returns the bitmap count.
int ReadZmeStart(ByteReader& r, TileSet& set) {
    set.Zme = true;
    set.BottomUpRows = true;
    set.InfoHeader = DefaultInfoHeader(true);
    const std::size_t pathLength = r.u8("path length");
    set.StoredPath = r.text(pathLength, "stored path");
    return r.u16("bitmap count");
}

struct ZmpeCounts {
    std::uint32_t bitmaps = 0;
    std::uint32_t tiles = 0;
};

// The fields of a "zmpe" file before its pixels.
ZmpeCounts ReadZmpeStart(ByteReader& r, TileSet& set) {
    set.Zme = false;
    set.FileHeader = DefaultFileHeader();
    r.u32("row order");  // the InfoHeader is what tells the row order
    ZmpeCounts counts;
    counts.bitmaps = r.u32("bitmap count");
    counts.tiles = r.u32("tile count");
    r.read(set.InfoHeader, "picture header");
    if (std::memcmp(set.InfoHeader.data(), kInfoMagic.data(), kInfoMagic.size()) != 0)
        Damaged("the picture header does not begin with \"BMIF\".");
    if (counts.bitmaps > static_cast<std::uint32_t>(MaxBitmaps))
        Damaged("it declares " + std::to_string(counts.bitmaps) + " bitmaps, more than 65535.");
    set.BottomUpRows = set.InfoHeader[kHeightField] == 32;
    r.read(set.Palette, "palette");
    r.skip(4, "pixel chunk id");
    return counts;
}

void ParseZme(ByteReader& r, TileSet& set) {
    const int count = ReadZmeStart(r, set);
    r.needItems(static_cast<std::uint64_t>(count), kZmeBitmapBytes, "bitmaps");
    set.BitmapCount = count;
    set.Pixels.resize(static_cast<std::size_t>(count) * BitmapBytes);
    for (int i = 0; i < count; ++i) {
        if (i == 0) {
            r.read(set.FileHeader, "bitmap file header");
            r.read(set.Palette, "palette");
        } else {
            r.skip(set.FileHeader.size() + set.Palette.size(), "bitmap header and palette");
        }
        auto px = r.bytes(BitmapBytes, "bitmap pixels");
        std::memcpy(set.Pixels.data() + static_cast<std::size_t>(i) * BitmapBytes, px.data(), BitmapBytes);
    }
    ReadTiles(r, r.u16("tile count"), set);
}

void ParseZmpe(ByteReader& r, TileSet& set) {
    const ZmpeCounts counts = ReadZmpeStart(r, set);
    r.needItems(counts.bitmaps, BitmapBytes, "bitmaps");
    auto px = r.bytes(static_cast<std::size_t>(counts.bitmaps) * BitmapBytes, "bitmap pixels");
    set.BitmapCount = static_cast<int>(counts.bitmaps);
    set.Pixels.assign(px.begin(), px.end());
    ReadTiles(r, counts.tiles, set);
}

// Where the parts of a tile set file lie, read from its start.
struct ZPStart {
    std::uint64_t bitmaps = 0;
    std::uint64_t tiles = 0;  // "zmpe" only; "zme" stores the count after the bitmaps
    std::uint64_t pixelsAt = 0;
    std::uint64_t tilesAt = 0;
};

// Reads the fields before the bitmaps into `set` and checks that the file
// has room for the bitmaps, with the reasons ParseZP gives.
ZPStart ReadZPStart(FileReader& file, TileSet& set) {
    const std::vector<std::uint8_t> head = file.readUpTo(kZmpePixelsAt);  // longer than any "zme" start
    ByteReader r(head);
    CheckMagic(r);
    r.skip(kMagic.size(), "magic");
    ZPStart start;
    std::uint64_t bitmapBytes = BitmapBytes;
    if (IsZme(r)) {
        start.bitmaps = static_cast<std::uint64_t>(ReadZmeStart(r, set));
        bitmapBytes = kZmeBitmapBytes;
    } else {
        const ZmpeCounts counts = ReadZmpeStart(r, set);
        start.bitmaps = counts.bitmaps;
        start.tiles = counts.tiles;
    }
    start.pixelsAt = r.offset();
    NeedRoom(start.bitmaps, bitmapBytes, file.size() > start.pixelsAt ? file.size() - start.pixelsAt : 0, "bitmaps");
    start.tilesAt = start.pixelsAt + start.bitmaps * bitmapBytes;
    return start;
}

// The pixels of a "zme" file's bitmap file images, read a batch of images at
// a time; the first image's header and palette stand for all.
void ReadZmeBitmaps(FileReader& file, TileSet& set) {
    constexpr int kBatch = 512;
    std::vector<std::uint8_t> batch;
    for (int first = 0; first < set.BitmapCount; first += kBatch) {
        const int count = std::min(kBatch, set.BitmapCount - first);
        batch.resize(static_cast<std::size_t>(count) * kZmeBitmapBytes);
        file.read(batch);
        if (first == 0) {
            std::memcpy(set.FileHeader.data(), batch.data(), set.FileHeader.size());
            std::memcpy(set.Palette.data(), batch.data() + set.FileHeader.size(), set.Palette.size());
        }
        for (int i = 0; i < count; ++i)
            std::memcpy(set.Pixels.data() + static_cast<std::size_t>(first + i) * BitmapBytes,
                        batch.data() + static_cast<std::size_t>(i) * kZmeBitmapBytes + kZmeBitmapBytes - BitmapBytes,
                        BitmapBytes);
    }
}

// The exact length of the encoded file, so that its buffer is allocated once.
std::size_t EncodedSize(const Project& project, TileSetVariant variant) {
    const auto bitmaps = static_cast<std::size_t>(project.BitmapCount);
    std::size_t size = kMagic.size();
    if (variant == TileSetVariant::Zme)
        size += 1 + StoredPathFromUtf8(project.ZpPath).size() + 2 + bitmaps * kZmeBitmapBytes + 2;
    else
        size += kZmpePixelsAt - kMagic.size() + bitmaps * BitmapBytes;
    for (const auto& tile : project.NewTiles) size += 8 + static_cast<std::size_t>(tile->Width) * tile->Height * 5;
    return size;
}

void WriteTile(ByteWriter& w, const MapTile& tile) {
    w.text("TIL1");
    w.u8(static_cast<std::uint8_t>(tile.Width));
    w.u8(static_cast<std::uint8_t>(tile.Height));
    w.u8(3);
    w.u8(0);
    for (int r = 0; r < tile.Height; ++r)
        for (int c = 0; c < tile.Width; ++c) w.u16(tile.GndAt(c, r));
    for (int r = 0; r < tile.Height; ++r)
        for (int c = 0; c < tile.Width; ++c) w.u16(tile.TopAt(c, r));
    for (int r = 0; r < tile.Height; ++r)
        for (int c = 0; c < tile.Width; ++c) w.u8(tile.AtrAt(c, r));
}

void CheckTileSizes(const Project& project) {
    for (std::size_t i = 0; i < project.NewTiles.size(); ++i) {
        const MapTile& t = *project.NewTiles[i];
        if (t.Width < 1 || t.Width > 255 || t.Height < 1 || t.Height > 255)
            throw Error("Tile " + std::to_string(i) + " measures " + std::to_string(t.Width) + " x " +
                        std::to_string(t.Height) + " squares; a tile set file holds tiles of 1 to 255 squares a side.");
    }
}

void EncodeZme(const Project& project, ByteWriter& w) {
    const std::string storedPath = StoredPathFromUtf8(project.ZpPath);
    if (storedPath.size() < kMinZmePath)
        throw Error("The tile set path \"" + project.ZpPath +
                    "\" is shorter than 3 bytes and cannot be stored in a zme tile set file.");
    if (project.NewTiles.size() > static_cast<std::size_t>(kMaxZmeTiles))
        throw Error("A zme tile set file holds at most 65535 tiles; this tile set has " +
                    std::to_string(project.NewTiles.size()) + ". Write it as zmpe instead.");
    WriteShortString(w, storedPath, "tile set path");
    const auto header = AllZero(project.FileHeader) ? DefaultFileHeader() : project.FileHeader;
    w.u16(static_cast<std::uint16_t>(project.BitmapCount));
    for (int id = 0; id < project.BitmapCount; ++id) {
        w.bytes(header);
        w.bytes(project.Palette);
        const std::uint8_t* px = project.Bitmap(id);
        for (int row = 0; row < BitmapSide; ++row) {
            const int src = project.BottomUpRows ? row : BitmapSide - 1 - row;
            w.bytes(px + src * BitmapSide, BitmapSide);
        }
    }
    w.u16(static_cast<std::uint16_t>(project.NewTiles.size()));
}

void EncodeZmpe(const Project& project, ByteWriter& w) {
    w.u32(project.BottomUpRows ? 2 : 0);
    w.u32(static_cast<std::uint32_t>(project.BitmapCount));
    w.u32(static_cast<std::uint32_t>(project.NewTiles.size()));
    w.bytes(InfoHeaderStating(project.InfoHeader, project.BottomUpRows));
    w.bytes(project.Palette);
    w.text("BITS");
    w.bytes(project.AllBitmapBytes().first(static_cast<std::size_t>(project.BitmapCount) * BitmapBytes));
}

void EncodeInto(const Project& project, TileSetVariant variant, ByteWriter& w) {
    CheckTileSizes(project);
    w.text(kMagic);
    if (variant == TileSetVariant::Zme)
        EncodeZme(project, w);
    else
        EncodeZmpe(project, w);
    for (const auto& tile : project.NewTiles) WriteTile(w, *tile);
}

}  // namespace

std::array<std::uint8_t, 44> DefaultInfoHeader(bool bottomUp) {
    std::array<std::uint8_t, 44> h{};
    std::memcpy(h.data(), kInfoMagic.data(), kInfoMagic.size());
    PutBitmapInfo(h.data() + 4, bottomUp);
    return h;
}

std::array<std::uint8_t, 54> DefaultFileHeader() {
    std::array<std::uint8_t, 54> h{};
    h[0] = 'B';
    h[1] = 'M';
    PutU32(h.data() + 2, 1078);  // file size as the format has always stored it
    PutU32(h.data() + 10, 1078); // pixel data offset; bytes 6..9 are reserved zeros
    PutBitmapInfo(h.data() + 14, true);
    return h;
}

void SetDefaultInfoHeader(Project& project, bool bottomUp) { project.InfoHeader = DefaultInfoHeader(bottomUp); }

void SetDefaultFileHeader(Project& project) { project.FileHeader = DefaultFileHeader(); }

TileSet ParseZP(std::span<const std::uint8_t> bytes) {
    ByteReader r(bytes);
    CheckMagic(r);
    r.skip(kMagic.size(), "magic");
    TileSet set;
    if (IsZme(r))
        ParseZme(r, set);
    else
        ParseZmpe(r, set);
    return set;
}

TileSetSummary ReadZPSummary(const std::string& path) {
    FileReader file(path);
    TileSet set;
    const ZPStart start = ReadZPStart(file, set);
    file.seek(start.tilesAt);
    const std::vector<std::uint8_t> rest = file.readUpTo(file.size() - start.tilesAt);
    ByteReader t(rest, start.tilesAt);
    const std::uint64_t tiles = set.Zme ? t.u16("tile count") : start.tiles;
    SkipTiles(t, tiles);
    return {set.Zme, set.BottomUpRows, static_cast<int>(start.bitmaps), static_cast<std::uint32_t>(tiles),
            set.StoredPath};
}

TileSet ReadZP(const std::string& path) {
    FileReader file(path);
    TileSet set;
    const ZPStart start = ReadZPStart(file, set);
    file.seek(start.pixelsAt);
    set.BitmapCount = static_cast<int>(start.bitmaps);
    set.Pixels.resize(static_cast<std::size_t>(start.bitmaps) * BitmapBytes);
    if (set.Zme)
        ReadZmeBitmaps(file, set);
    else
        file.read(set.Pixels);
    const std::vector<std::uint8_t> rest = file.readUpTo(file.size() - start.tilesAt);
    ByteReader t(rest, start.tilesAt);
    ReadTiles(t, set.Zme ? t.u16("tile count") : start.tiles, set);
    return set;
}

std::vector<std::uint8_t> EncodeZP(const Project& project, TileSetVariant variant) {
    ByteWriter w;
    w.reserve(EncodedSize(project, variant));
    EncodeInto(project, variant, w);
    return w.take();
}

void WriteZP(const Project& project, TileSetVariant variant, SaveSink& sink) {
    ByteWriter w(sink);
    EncodeInto(project, variant, w);
    w.finish();
}

void MakeRowOrderConsistent(Project& project) {
    if (!project.ZmeVariant) {
        project.InfoHeader = InfoHeaderStating(project.InfoHeader, project.BottomUpRows);
        return;
    }
    if (project.BottomUpRows) return;
    for (int id = 0; id < project.BitmapCount; ++id) FlipBitmapRows(project.MutableBitmap(id));
    project.BottomUpRows = true;
}

}  // namespace zorvane
