#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>

#include "builders.h"
#include "commands/open_commands.h"
#include "fake_ui.h"
#include "model/map_file.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"
#include "samples/samples.h"

using namespace zorvane;
using namespace zorvane::samples;
using namespace zorvane::testing;

namespace {

const std::string kDir = "/sample/out";

struct ReadBack {
    std::string path;
    MapFile map;
};

// The content of one seed, read back through the file readers.
struct SampleContent {
    SampleTileSet catalogue = BuildSampleTileSet();
    std::vector<SampleFile> files;
    std::vector<ReadBack> maps;
    std::vector<TileSet> tileSets;

    explicit SampleContent(std::uint32_t seed) : files(BuildSampleFiles(kDir, seed)) {
        for (const SampleFile& f : files) {
            if (ExtractFileExt(f.Path) == ".zm")
                maps.push_back({f.Path, ParseZM(f.Bytes)});
            else
                tileSets.push_back(ParseZP(f.Bytes));
        }
    }
    const BitmapInfo& Info(std::uint16_t id) const { return catalogue.Info.at(id); }
};

const SampleContent& Content() {
    static const SampleContent content(7);
    return content;
}

const MapSquare& At(const MapFile& m, int x, int y) { return m.Squares[static_cast<std::size_t>(y) * m.Width + x]; }

std::string Where(const ReadBack& r, int x, int y) {
    return r.path + " at " + std::to_string(x) + "," + std::to_string(y);
}

}  // namespace

TEST(SampleContent, SameSeedGivesTheSameBytesAndAnotherSeedOtherMaps) {
    const auto a = BuildSampleFiles(kDir, 7);
    const auto b = BuildSampleFiles(kDir, 7);
    const auto c = BuildSampleFiles(kDir, 8);
    ASSERT_EQ(a.size(), b.size());
    ASSERT_EQ(a.size(), c.size());
    int differing = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].Path, b[i].Path);
        EXPECT_TRUE(a[i].Bytes == b[i].Bytes) << a[i].Path;
        if (ExtractFileExt(a[i].Path) == ".zp")
            EXPECT_TRUE(a[i].Bytes == c[i].Bytes) << "the tile set does not depend on the seed";
        else if (a[i].Bytes != c[i].Bytes)
            ++differing;
    }
    EXPECT_GE(differing, 12) << "every terrain map changes with the seed";
}

TEST(SampleContent, BothVariantsHoldATileSetAndMapsNamingItByAbsolutePath) {
    const SampleContent& s = Content();
    ASSERT_EQ(s.tileSets.size(), 2u);
    EXPECT_TRUE(s.tileSets[0].Zme);
    EXPECT_FALSE(s.tileSets[1].Zme);
    EXPECT_EQ(s.tileSets[0].StoredPath, AbsolutePath(kDir + "/zme/samples.zp"));
    ASSERT_EQ(s.maps.size(), 14u);
    int connectors = 0;
    for (const ReadBack& r : s.maps) {
        const std::string folder = std::filesystem::path(r.path).parent_path().string();
        EXPECT_EQ(r.map.ZpPath, AbsolutePath(folder + "/samples.zp")) << r.path;
        EXPECT_TRUE(folder == AbsolutePath(kDir + "/zme") || folder == AbsolutePath(kDir + "/zmpe")) << r.path;
        EXPECT_EQ(r.map.Creatures.at(4) == 'M', std::filesystem::path(folder).filename() == "zme")
            << "creature block of the folder's variant";
        if (r.path.find("connector") != std::string::npos) {
            ++connectors;
            continue;
        }
        EXPECT_GE(r.map.Width - 4, 30);
        EXPECT_GE(r.map.Height - 4, 30);
        EXPECT_LE(r.map.Width - 4, 120);
        EXPECT_LE(r.map.Height - 4, 120);
    }
    EXPECT_EQ(connectors, 2);
    const auto biggest = std::max_element(s.maps.begin(), s.maps.end(), [](const ReadBack& a, const ReadBack& b) {
        return a.map.Width * a.map.Height < b.map.Width * b.map.Height;
    });
    EXPECT_EQ(biggest->map.Width, 124);
}

TEST(SampleContent, VariantsCarryTheSamePicturesPaletteAndTiles) {
    const SampleContent& s = Content();
    const TileSet& zme = s.tileSets[0];
    const TileSet& zmpe = s.tileSets[1];
    ASSERT_EQ(zme.BitmapCount, static_cast<int>(s.catalogue.Info.size()));
    ASSERT_EQ(zmpe.BitmapCount, zme.BitmapCount);
    EXPECT_EQ(zme.Palette, zmpe.Palette);
    for (int id = 0; id < zme.BitmapCount; ++id) {
        for (int row = 0; row < BitmapSide; ++row) {
            // Rows as the pictures show them, top first.
            auto top = [&](const TileSet& t) {
                const int r = t.BottomUpRows ? BitmapSide - 1 - row : row;
                return t.Pixels.data() + static_cast<std::size_t>(id) * BitmapBytes + r * BitmapSide;
            };
            const std::uint8_t* want = s.catalogue.Tiles.Bitmap(id) + row * BitmapSide;
            ASSERT_EQ(std::memcmp(top(zme), want, BitmapSide), 0) << "bitmap " << id << " row " << row;
            ASSERT_EQ(std::memcmp(top(zmpe), want, BitmapSide), 0) << "bitmap " << id << " row " << row;
        }
    }
    ASSERT_EQ(zme.Tiles.size(), zmpe.Tiles.size());
    ASSERT_GE(zme.Tiles.size(), 10u);
    for (std::size_t i = 0; i < zme.Tiles.size(); ++i) EXPECT_TRUE(zme.Tiles[i]->SameContent(*zmpe.Tiles[i]));
}

TEST(SampleContent, GroundsAreOpaqueAndTreeTopsTransparentAroundTheTree) {
    const SampleTileSet& t = Content().catalogue;
    for (std::size_t id = 0; id < t.Info.size(); ++id) {
        const std::uint8_t* px = t.Tiles.Bitmap(static_cast<int>(id));
        const int transparent = static_cast<int>(std::count(px, px + BitmapBytes, 0));
        if (t.Info[id].Kind == BitmapKind::Tree) {
            EXPECT_GT(transparent, 100) << id;
            EXPECT_LT(transparent, BitmapBytes - 100) << id;
        } else {
            EXPECT_EQ(transparent, 0) << "ground bitmap " << id << " uses the transparent colour";
        }
    }
}

TEST(SampleContent, EverySquareShowsExistingBitmapsWithTheirAttribute) {
    const SampleContent& s = Content();
    const int count = s.tileSets[0].BitmapCount;
    for (const ReadBack& r : s.maps) {
        for (int y = 0; y < r.map.Height; ++y) {
            for (int x = 0; x < r.map.Width; ++x) {
                const MapSquare& q = At(r.map, x, y);
                ASSERT_LT(q.Gnd, count) << Where(r, x, y);
                ASSERT_TRUE(q.Top == NoBitmap || q.Top < count) << Where(r, x, y);
                ASSERT_NE(s.Info(q.Gnd).Kind, BitmapKind::Tree) << Where(r, x, y);
                if (q.Top != NoBitmap) {
                    ASSERT_EQ(s.Info(q.Top).Kind, BitmapKind::Tree) << Where(r, x, y);
                    ASSERT_EQ(s.Info(q.Gnd).Kind, BitmapKind::Terrain) << "a tree stands on plain ground";
                    ASSERT_EQ(s.Info(q.Gnd).Corner[0], Terrain::Grass) << Where(r, x, y);
                }
                const bool border = IsBorderSquare(x, y, r.map.Width, r.map.Height);
                const std::uint8_t want = border ? AtrImpassable : s.Info(q.Top != NoBitmap ? q.Top : q.Gnd).Atr;
                ASSERT_EQ(q.Atr, want) << Where(r, x, y);
                if (border) {
                    ASSERT_EQ(s.Info(q.Gnd).Kind, BitmapKind::Terrain) << "only terrain in the border";
                }
            }
        }
    }
}

namespace {

void CheckNeighbours(const SampleContent& s, const ReadBack& r) {
    for (int y = 0; y < r.map.Height; ++y) {
        for (int x = 0; x < r.map.Width; ++x) {
            const BitmapInfo& a = s.Info(At(r.map, x, y).Gnd);
            const auto level = [](Terrain t) { return static_cast<int>(t); };
            const auto [lo, hi] = std::minmax_element(a.Corner.begin(), a.Corner.end());
            ASSERT_LE(level(*hi) - level(*lo), 1) << "only neighbouring terrains meet: " << Where(r, x, y);
            const std::uint8_t armsA = a.Kind == BitmapKind::Road ? a.RoadMask : 0;
            if (x + 1 < r.map.Width) {
                const BitmapInfo& b = s.Info(At(r.map, x + 1, y).Gnd);
                ASSERT_EQ(a.Corner[TopRight], b.Corner[TopLeft]) << Where(r, x, y);
                ASSERT_EQ(a.Corner[BottomRight], b.Corner[BottomLeft]) << Where(r, x, y);
                const std::uint8_t armsB = b.Kind == BitmapKind::Road ? b.RoadMask : 0;
                ASSERT_EQ((armsA & RoadEast) != 0, (armsB & RoadWest) != 0) << Where(r, x, y);
            } else {
                ASSERT_EQ(armsA & RoadEast, 0) << Where(r, x, y);
            }
            if (y + 1 < r.map.Height) {
                const BitmapInfo& b = s.Info(At(r.map, x, y + 1).Gnd);
                ASSERT_EQ(a.Corner[BottomLeft], b.Corner[TopLeft]) << Where(r, x, y);
                ASSERT_EQ(a.Corner[BottomRight], b.Corner[TopRight]) << Where(r, x, y);
                const std::uint8_t armsB = b.Kind == BitmapKind::Road ? b.RoadMask : 0;
                ASSERT_EQ((armsA & RoadSouth) != 0, (armsB & RoadNorth) != 0) << Where(r, x, y);
            }
        }
    }
}

// Every object square stands inside the border with its whole object;
// returns the names of the objects met.
void CheckObjects(const SampleContent& s, const ReadBack& r, std::set<std::string>& seen) {
    for (int y = 0; y < r.map.Height; ++y) {
        for (int x = 0; x < r.map.Width; ++x) {
            const BitmapInfo& a = s.Info(At(r.map, x, y).Gnd);
            if (a.Kind != BitmapKind::Object) continue;
            const SampleObject& obj = s.catalogue.Objects.at(a.Object);
            seen.insert(obj.Name);
            const int ox = x - a.Column, oy = y - a.Row;
            ASSERT_TRUE(ox >= 2 && oy >= 2 && ox + obj.Width <= r.map.Width - 2 && oy + obj.Height <= r.map.Height - 2)
                << "objects stand inside the border: " << Where(r, x, y);
            for (int dy = 0; dy < obj.Height; ++dy)
                for (int dx = 0; dx < obj.Width; ++dx)
                    ASSERT_EQ(At(r.map, ox + dx, oy + dy).Gnd, obj.Bitmaps[dy * obj.Width + dx])
                        << obj.Name << " incomplete around " << Where(r, x, y);
        }
    }
}

}  // namespace

TEST(SampleContent, NeighbouringSquaresAgreeOnSharedCornersAndRoadArms) {
    const SampleContent& s = Content();
    for (const ReadBack& r : s.maps) ASSERT_NO_FATAL_FAILURE(CheckNeighbours(s, r));
}

TEST(SampleContent, MultiSquareObjectsAlwaysStandComplete) {
    const SampleContent& s = Content();
    std::set<std::string> seen;
    for (const ReadBack& r : s.maps) ASSERT_NO_FATAL_FAILURE(CheckObjects(s, r, seen));
    EXPECT_EQ(seen, (std::set<std::string>{"boulder", "house", "obelisk"}));
    for (const SampleObject& obj : s.catalogue.Objects) EXPECT_GE(obj.Width * obj.Height, 2) << obj.Name;
}

TEST(SampleContent, TerrainMapsOfAnySizeAreComposedAlike) {
    const SampleContent& s = Content();
    const SampleMap wide = ComposeTerrainMap(s.catalogue, 4, 202, 24);
    ReadBack r{"wide terrain map", MapFile{}};
    r.map.Width = wide.Width;
    r.map.Height = wide.Height;
    r.map.Squares = wide.Squares;
    EXPECT_EQ(r.map.Width, 206);
    std::set<std::string> seen;
    ASSERT_NO_FATAL_FAILURE(CheckNeighbours(s, r));
    ASSERT_NO_FATAL_FAILURE(CheckObjects(s, r, seen));
    EXPECT_FALSE(seen.empty());
    EXPECT_EQ(ComposeTerrainMap(s.catalogue, 4, 202, 24).Squares, wide.Squares);
    EXPECT_THROW(ComposeTerrainMap(s.catalogue, 4, 203, 24), Error);
    EXPECT_THROW(ComposeTerrainMap(s.catalogue, 4, 20, 9), Error);
}

TEST(SampleContent, TheConnectorMapHoldsOnlyGrassFillers) {
    const SampleContent& s = Content();
    for (const ReadBack& r : s.maps) {
        if (r.path.find("connector") == std::string::npos) continue;
        std::set<int> variants;
        for (const MapSquare& q : r.map.Squares) {
            const BitmapInfo& info = s.Info(q.Gnd);
            ASSERT_EQ(info.Kind, BitmapKind::Terrain);
            ASSERT_EQ(info.Corner, (Corners{Terrain::Grass, Terrain::Grass, Terrain::Grass, Terrain::Grass}));
            ASSERT_EQ(q.Top, NoBitmap);
            variants.insert(info.Variant);
        }
        EXPECT_EQ(variants.size(), static_cast<std::size_t>(s.catalogue.TerrainVariants(Terrain::Grass)));
    }
}

TEST(SampleContent, TerrainMapsShowEveryKindOfContent) {
    const SampleContent& s = Content();
    std::set<BitmapKind> kinds;
    std::set<Terrain> terrains;
    for (const ReadBack& r : s.maps) {
        for (const MapSquare& q : r.map.Squares) {
            kinds.insert(s.Info(q.Gnd).Kind);
            if (q.Top != NoBitmap) kinds.insert(s.Info(q.Top).Kind);
            for (Terrain t : s.Info(q.Gnd).Corner) terrains.insert(t);
        }
    }
    EXPECT_EQ(kinds.size(), 4u);
    EXPECT_EQ(terrains.size(), static_cast<std::size_t>(TerrainCount));
}

TEST(SampleContent, WrittenFilesOpenAsAProjectWithTheirTileSet) {
    TempDir dir;
    const auto files = BuildSampleFiles(dir.file("out"), 3);
    WriteSampleFiles(files);
    for (const SampleFile& f : files) EXPECT_EQ(ReadWholeFile(f.Path), f.Bytes) << f.Path;
    Project project;
    FakeUi ui;
    ASSERT_TRUE(OpenZMFile(project, ui, dir.file("out/zmpe/lakes.zm")));
    EXPECT_EQ(project.MapWidth, 44);
    EXPECT_EQ(project.BitmapCount, static_cast<int>(Content().catalogue.Info.size()));
    EXPECT_EQ(project.ZpPath, AbsolutePath(dir.file("out/zmpe/samples.zp")));
}

TEST(SampleContent, AnOutputFolderTooLongForTheStoredPathIsRefused) {
    const std::string longDir = "/" + std::string(260, 'd');
    EXPECT_THROW(BuildSampleFiles(longDir, 1), Error);
}

// An empty folder name is the current folder, and the tile set the maps name
// is stored by its absolute path as everywhere else.
TEST(SampleContent, AnEmptyFolderNameIsTheCurrentFolder) {
    const auto here = samples::BuildSampleFiles(std::filesystem::current_path().string(), 3);
    const auto empty = samples::BuildSampleFiles("", 3);
    ASSERT_EQ(empty.size(), here.size());
    for (std::size_t i = 0; i < empty.size(); ++i) {
        EXPECT_TRUE(std::filesystem::path(empty[i].Path).is_absolute()) << empty[i].Path;
        EXPECT_EQ(empty[i].Path, here[i].Path);
        EXPECT_EQ(empty[i].Bytes, here[i].Bytes) << empty[i].Path;
    }
}
