// The sample tile set (bitmaps, palette, reusable tiles and a description of
// every bitmap) and the files of the sample content.

#include "samples/samples.h"

#include <algorithm>
#include <filesystem>

#include "model/creatures.h"
#include "model/map_file.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"
#include "platform/file_names.h"
#include "platform/safe_save.h"
#include "samples/sample_art.h"
#include "ui/ui.h"

namespace zorvane::samples {

namespace {

constexpr std::uint8_t kPureAtr[TerrainCount] = {10, 8, 0, 0, 3};
// The attribute of a square whose two terrains hold two corners each.
constexpr std::uint8_t kEvenAtr[TerrainCount - 1] = {9, 8, 0, 3};
constexpr std::uint8_t kRoadAtr = 6;
constexpr std::uint8_t kTreeAtr = 4;
constexpr std::uint8_t kObjectAtr = 3;

std::uint8_t TransitionAtr(Terrain lower, int upperCorners) {
    const int l = static_cast<int>(lower);
    if (upperCorners >= 3) return kPureAtr[l + 1];
    if (upperCorners <= 1) return kPureAtr[l];
    return kEvenAtr[l];
}

Corners AllCorners(Terrain t) { return {t, t, t, t}; }

class TileSetBuilder {
public:
    explicit TileSetBuilder(SampleTileSet& set) : set_(set) {}

    std::uint16_t Add(const BitmapPixels& px, const BitmapInfo& info) {
        set_.Info.push_back(info);
        return static_cast<std::uint16_t>(set_.Tiles.AddBitmap(px.data()));
    }

    void AddTerrains() {
        for (int t = 0; t < TerrainCount; ++t) {
            const Terrain terrain = static_cast<Terrain>(t);
            for (int v = 0; v < TerrainVariantCount(terrain); ++v) {
                BitmapInfo info;
                info.Corner = AllCorners(terrain);
                info.Variant = v;
                info.Atr = kPureAtr[t];
                Add(DrawPureTerrain(terrain, v), info);
            }
        }
        // Corner bit k set: corner k shows the upper terrain of the pair.
        for (int lower = 0; lower + 1 < TerrainCount; ++lower) {
            for (int mask = 1; mask < 15; ++mask) {
                BitmapInfo info;
                int upperCorners = 0;
                for (int k = 0; k < 4; ++k) {
                    const bool up = (mask >> k) & 1;
                    upperCorners += up;
                    info.Corner[k] = static_cast<Terrain>(lower + (up ? 1 : 0));
                }
                info.Atr = TransitionAtr(static_cast<Terrain>(lower), upperCorners);
                Add(DrawTransition(info.Corner), info);
            }
        }
    }

    void AddRoadsAndTrees() {
        for (int mask = 1; mask < 16; ++mask) {
            BitmapInfo info;
            info.Kind = BitmapKind::Road;
            info.Corner = AllCorners(Terrain::Grass);
            info.RoadMask = static_cast<std::uint8_t>(mask);
            info.Atr = kRoadAtr;
            Add(DrawRoad(static_cast<std::uint8_t>(mask)), info);
        }
        for (int kind = 0; kind < TreeKindCount; ++kind) {
            BitmapInfo info;
            info.Kind = BitmapKind::Tree;
            info.Corner = AllCorners(Terrain::Grass);
            info.Variant = kind;
            info.Atr = kTreeAtr;
            Add(DrawTree(kind), info);
        }
    }

    void AddObject(const char* name, const BigPicture& picture) {
        SampleObject obj;
        obj.Name = name;
        obj.Width = picture.Width;
        obj.Height = picture.Height;
        obj.Atr = kObjectAtr;
        const auto bitmaps = picture.Cut();
        for (std::size_t i = 0; i < bitmaps.size(); ++i) {
            BitmapInfo info;
            info.Kind = BitmapKind::Object;
            info.Corner = AllCorners(Terrain::Grass);
            info.Object = static_cast<int>(set_.Objects.size());
            info.Column = static_cast<int>(i) % picture.Width;
            info.Row = static_cast<int>(i) / picture.Width;
            info.Atr = kObjectAtr;
            obj.Bitmaps.push_back(Add(bitmaps[i], info));
        }
        set_.Objects.push_back(std::move(obj));
    }

    // The tiles list: every pure terrain, a tree on grass, two straight
    // roads and every object as one tile.
    void AddTiles() {
        auto single = [&](std::uint16_t gnd, std::uint16_t top, std::uint8_t atr) {
            auto tile = std::make_unique<MapTile>(1, 1);
            tile->Sq[0] = MapSquare{gnd, top, atr};
            set_.Tiles.NewTiles.push_back(std::move(tile));
        };
        for (int t = 0; t < TerrainCount; ++t)
            for (int v = 0; v < TerrainVariantCount(static_cast<Terrain>(t)); ++v)
                single(set_.TerrainBitmap(AllCorners(static_cast<Terrain>(t)), v), NoBitmap, kPureAtr[t]);
        const std::uint16_t grass = set_.TerrainBitmap(AllCorners(Terrain::Grass));
        for (int kind = 0; kind < set_.TreeKinds(); ++kind) single(grass, set_.TreeBitmap(kind), kTreeAtr);
        single(set_.RoadBitmap(RoadEast | RoadWest), NoBitmap, kRoadAtr);
        single(set_.RoadBitmap(RoadNorth | RoadSouth), NoBitmap, kRoadAtr);
        for (const SampleObject& obj : set_.Objects) {
            auto tile = std::make_unique<MapTile>(obj.Width, obj.Height);
            for (int r = 0; r < obj.Height; ++r)
                for (int c = 0; c < obj.Width; ++c)
                    tile->SqAt(c, r) = MapSquare{obj.Bitmaps[static_cast<std::size_t>(r) * obj.Width + c], NoBitmap, obj.Atr};
            set_.Tiles.NewTiles.push_back(std::move(tile));
        }
    }

private:
    SampleTileSet& set_;
};

}  // namespace

std::uint16_t SampleTileSet::TerrainBitmap(const Corners& corners, int variant) const {
    const bool pure = std::all_of(corners.begin(), corners.end(), [&](Terrain t) { return t == corners[0]; });
    const int wanted = pure ? variant % TerrainVariants(corners[0]) : 0;
    for (std::size_t id = 0; id < Info.size(); ++id)
        if (Info[id].Kind == BitmapKind::Terrain && Info[id].Corner == corners && Info[id].Variant == wanted)
            return static_cast<std::uint16_t>(id);
    return NoBitmap;
}

int SampleTileSet::TerrainVariants(Terrain t) const {
    int count = 0;
    for (const BitmapInfo& info : Info)
        if (info.Kind == BitmapKind::Terrain && info.Corner == AllCorners(t)) ++count;
    return std::max(count, 1);
}

std::uint16_t SampleTileSet::RoadBitmap(std::uint8_t mask) const {
    for (std::size_t id = 0; id < Info.size(); ++id)
        if (Info[id].Kind == BitmapKind::Road && Info[id].RoadMask == mask) return static_cast<std::uint16_t>(id);
    return NoBitmap;
}

std::uint16_t SampleTileSet::TreeBitmap(int kind) const {
    for (std::size_t id = 0; id < Info.size(); ++id)
        if (Info[id].Kind == BitmapKind::Tree && Info[id].Variant == kind) return static_cast<std::uint16_t>(id);
    return NoBitmap;
}

int SampleTileSet::TreeKinds() const {
    return static_cast<int>(
        std::count_if(Info.begin(), Info.end(), [](const BitmapInfo& i) { return i.Kind == BitmapKind::Tree; }));
}

SampleTileSet BuildSampleTileSet() {
    SampleTileSet set;
    Project& p = set.Tiles;
    FillSamplePalette(p.Palette);
    p.BottomUpRows = false;
    SetDefaultInfoHeader(p, false);
    SetDefaultFileHeader(p);
    p.Multiplayer = 1;
    p.NoProject = false;
    TileSetBuilder builder(set);
    builder.AddTerrains();
    builder.AddRoadsAndTrees();
    builder.AddObject("boulder", DrawBoulder());
    builder.AddObject("house", DrawHouse());
    builder.AddObject("obelisk", DrawObelisk());
    builder.AddTiles();
    return set;
}

namespace {

std::string Join(const std::filesystem::path& dir, const std::string& name) {
    return Utf8FromPath(dir / PathFromUtf8(name));
}

}  // namespace

std::vector<SampleFile> BuildSampleFiles(const std::string& outDir, std::uint32_t seed) {
    // An empty folder name is the current folder; stored paths are absolute either way.
    const std::filesystem::path root = PathFromUtf8(AbsolutePath(outDir.empty() ? std::string(".") : outDir));
    SampleTileSet tiles = BuildSampleTileSet();
    const std::vector<SampleMap> maps = ComposeSampleMaps(tiles, seed);
    Project& p = tiles.Tiles;
    SilentUi ui;
    std::vector<SampleFile> files;
    for (bool zme : {true, false}) {
        const std::filesystem::path dir = root / (zme ? "zme" : "zmpe");
        p.ZpPath = Join(dir, "samples.zp");
        p.ZmeVariant = zme;
        files.push_back({p.ZpPath, EncodeZP(p, VariantOf(zme))});
        for (const SampleMap& map : maps) {
            p.MapWidth = map.Width;
            p.MapHeight = map.Height;
            p.FlatSquares = map.Squares;
            ResetCreatures(p, ui);
            SetLvlInfo(p, p.Multiplayer == 1);
            files.push_back({Join(dir, map.Name + ".zm"), EncodeZM(p, VariantOf(zme))});
        }
    }
    p.FlatSquares.clear();
    return files;
}

void WriteSampleFiles(const std::vector<SampleFile>& files) {
    // Folders made here go again when the files cannot all be written, so
    // that a failed run leaves what was there before and nothing else.
    std::vector<std::filesystem::path> made;
    auto removeMade = [&made] {
        std::error_code ignored;
        for (auto it = made.rbegin(); it != made.rend(); ++it) std::filesystem::remove(*it, ignored);
    };
    std::vector<FileToSave> together;
    try {
        for (const SampleFile& f : files) {
            std::vector<std::filesystem::path> missing;
            std::error_code absent;
            for (auto dir = PathFromUtf8(f.Path).parent_path();
                 !dir.empty() && !std::filesystem::exists(dir, absent); dir = dir.parent_path())
                missing.push_back(dir);
            for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
                std::error_code ec;
                std::filesystem::create_directory(*it, ec);
                if (ec) throw Error("Could not create the folder " + Utf8FromPath(*it) + ": " + ec.message());
                made.push_back(*it);
            }
            together.push_back({f.Path, f.Bytes});
        }
        SaveFilesTogether(together);
    } catch (const Error&) {
        removeMade();
        throw;
    }
}

}  // namespace zorvane::samples
