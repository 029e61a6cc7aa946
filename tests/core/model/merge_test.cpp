#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "fake_ui.h"
#include "model/merge.h"
#include "model/tileset_file.h"
#include "zp_fixtures.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

std::string WriteTileSet(const TempDir& dir, const std::string& name, const Project& set, bool zme = false) {
    Project copy;
    copy.BottomUpRows = set.BottomUpRows;
    copy.Palette = set.Palette;
    copy.SetBitmapCount(set.BitmapCount);
    std::memcpy(copy.AllBitmapBytes().data(), set.AllBitmapBytes().data(), set.AllBitmapBytes().size());
    for (const auto& t : set.NewTiles) copy.NewTiles.push_back(CopyTile(*t));
    copy.ZpPath = dir.file(name);
    SaveFileAtomically(copy.ZpPath, EncodeZP(copy, VariantOf(zme)));
    return copy.ZpPath;
}

std::unique_ptr<MapTile> OneSquare(std::uint16_t gnd, std::uint16_t top, std::uint8_t atr) {
    return MakeTile(1, 1, 0, 0, gnd, top, atr);
}

// The merge as first described: linear scans over the bitmaps and the tiles
// list, a list of (file id, project id) pairs, first matching pair wins.
MergeCounts LinearMerge(Project& p, const TileSet& set) {
    MergeCounts c;
    std::vector<std::pair<int, int>> pairs;
    for (int i = 0; i < set.BitmapCount; ++i) {
        const std::uint8_t* px = set.Pixels.data() + static_cast<std::size_t>(i) * BitmapBytes;
        const int count = p.BitmapCount;
        int found = -1;
        for (int j = 0; j < count && found < 0; ++j)
            if (std::memcmp(p.Bitmap(j), px, BitmapBytes) == 0) found = j;
        if (found >= 0) {
            if (found != i) {
                pairs.emplace_back(i, found);
                ++c.ChangedIds;
            }
        } else {
            pairs.emplace_back(i, p.AddBitmap(px));
            ++c.AddedBitmaps;
        }
    }
    auto map = [&](std::uint16_t v) {
        for (auto [from, to] : pairs)
            if (v == from) return static_cast<std::uint16_t>(to);
        return v;
    };
    for (const auto& t : set.Tiles) {
        auto tile = CopyTile(*t);
        for (MapSquare& s : tile->Sq) {
            s.Gnd = map(s.Gnd);
            s.Top = map(s.Top);
        }
        bool known = false;
        for (const auto& n : p.NewTiles) known = known || n->SameContent(*tile);
        if (!known) {
            p.NewTiles.push_back(std::move(tile));
            ++c.AddedTiles;
        }
    }
    return c;
}

// A tile set drawn from a small alphabet of pictures and squares, so that
// twins and equal tiles are common.
Project RandomTileSet(std::mt19937& rng, int bitmaps, int tiles) {
    Project p;
    for (int i = 0; i < bitmaps; ++i) p.AddBitmap(PatternBitmap(static_cast<int>(rng() % 12)).data());
    for (int i = 0; i < tiles; ++i) {
        auto t = MakeTile(1 + static_cast<int>(rng() % 2), 1 + static_cast<int>(rng() % 2));
        for (MapSquare& s : t->Sq) {
            s.Gnd = rng() % 5 == 0 ? NoBitmap : static_cast<std::uint16_t>(rng() % (bitmaps + 2));
            s.Top = rng() % 2 == 0 ? NoBitmap : static_cast<std::uint16_t>(rng() % (bitmaps + 2));
            s.Atr = static_cast<std::uint8_t>(rng() % 2);
        }
        p.NewTiles.push_back(std::move(t));
    }
    return p;
}

void ExpectSameTileSet(const Project& a, const Project& b) {
    ASSERT_EQ(a.BitmapCount, b.BitmapCount);
    EXPECT_EQ(0, std::memcmp(a.AllBitmapBytes().data(), b.AllBitmapBytes().data(), a.AllBitmapBytes().size()));
    ASSERT_EQ(a.NewTiles.size(), b.NewTiles.size());
    for (std::size_t i = 0; i < a.NewTiles.size(); ++i) EXPECT_TRUE(a.NewTiles[i]->SameContent(*b.NewTiles[i])) << i;
}

}  // namespace

TEST(CompareBitmaps, ComparesAllBytes) {
    Project p;
    AddPatternBitmaps(p, 2);
    p.AddBitmap(PatternBitmap(0).data());
    EXPECT_TRUE(CompareBitmaps(p, 0, 2));
    EXPECT_FALSE(CompareBitmaps(p, 0, 1));
    p.MutableBitmap(2)[1023] ^= 1;
    EXPECT_FALSE(CompareBitmaps(p, 0, 2));
    EXPECT_TRUE(CompareBitmaps(p, 5, NoBitmap));  // both beyond the count: blank
}

TEST(MergeZP, IntoItselfChangesNothing) {
    TempDir dir;
    Project p = SmallProject(true);
    const std::string path = WriteTileSet(dir, "self.zp", p);
    p.ZpPath = path;
    FakeUi ui;
    MergeCounts counts;
    ASSERT_TRUE(MergeZP(p, ui, path, &counts));
    EXPECT_EQ(counts.ChangedIds, 0);
    EXPECT_EQ(counts.AddedBitmaps, 0);
    EXPECT_EQ(counts.AddedTiles, 0);
    EXPECT_EQ(p.BitmapCount, 2);
    EXPECT_EQ(p.NewTiles.size(), 2u);
    EXPECT_TRUE(p.ZpPath.empty());
    EXPECT_TRUE(p.ZpModified);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Merging *.zp data");
    EXPECT_EQ(ui.messages[0].text, "*.zp data imported!\rchangedIds: 0\raddedBmps: 0\raddedTiles: 0");
    EXPECT_EQ(ui.messages[0].icon, Icon::Information);
    EXPECT_EQ(ui.progressShown, 1);
    EXPECT_FALSE(ui.progressVisible);
}

TEST(MergeZP, MapsIdsAndAddsOnlyWhatIsNew) {
    TempDir dir;
    Project p;
    AddPatternBitmaps(p, 3);                     // A B C
    p.NewTiles.push_back(OneSquare(1, NoBitmap, 0));
    Project file;
    for (int seed : {1, 1, 2, 9, 9}) file.AddBitmap(PatternBitmap(seed).data());  // B B C X X
    file.NewTiles.push_back(OneSquare(0, NoBitmap, 0));  // B: equal to the existing tile
    file.NewTiles.push_back(OneSquare(1, NoBitmap, 1));  // B with another attribute
    file.NewTiles.push_back(OneSquare(4, 3, 0));         // X over X
    file.NewTiles.push_back(OneSquare(3, 4, 0));         // the same after renumbering
    file.NewTiles.push_back(OneSquare(2, 200, 0));       // C; 200 names no file bitmap
    const std::string path = WriteTileSet(dir, "other.zp", file);
    FakeUi ui;
    MergeCounts counts;
    ASSERT_TRUE(MergeZP(p, ui, path, &counts));
    // File id 0 -> 1 (changed); 1 -> 1 and 2 -> 2 keep their ids; 3 -> new
    // id 3; 4 -> 3 (changed).
    EXPECT_EQ(counts.ChangedIds, 2);
    EXPECT_EQ(counts.AddedBitmaps, 1);
    EXPECT_EQ(counts.AddedTiles, 3);
    ASSERT_EQ(p.BitmapCount, 4);
    EXPECT_EQ(0, std::memcmp(p.Bitmap(3), PatternBitmap(9).data(), BitmapBytes));
    ASSERT_EQ(p.NewTiles.size(), 4u);
    EXPECT_EQ(p.NewTiles[1]->Sq[0], (MapSquare{1, NoBitmap, 1}));
    EXPECT_EQ(p.NewTiles[2]->Sq[0], (MapSquare{3, 3, 0}));
    EXPECT_EQ(p.NewTiles[3]->Sq[0], (MapSquare{2, 200, 0}));
    EXPECT_EQ(ui.messages.back().text, "*.zp data imported!\rchangedIds: 2\raddedBmps: 1\raddedTiles: 3");
}

TEST(MergeZP, AgreesWithLinearDefinitionOnRandomSets) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        TempDir dir;
        Project base = RandomTileSet(rng, static_cast<int>(rng() % 20), 30);
        Project file = RandomTileSet(rng, 1 + static_cast<int>(rng() % 40), 80);
        const std::string path = WriteTileSet(dir, "r.zp", file);

        Project expected;
        expected.SetBitmapCount(base.BitmapCount);
        std::memcpy(expected.AllBitmapBytes().data(), base.AllBitmapBytes().data(), base.AllBitmapBytes().size());
        for (const auto& t : base.NewTiles) expected.NewTiles.push_back(CopyTile(*t));
        const MergeCounts want = LinearMerge(expected, ParseZP(ReadWholeFile(path)));

        FakeUi ui;
        MergeCounts got;
        ASSERT_TRUE(MergeZP(base, ui, path, &got));
        EXPECT_EQ(got.ChangedIds, want.ChangedIds);
        EXPECT_EQ(got.AddedBitmaps, want.AddedBitmaps);
        EXPECT_EQ(got.AddedTiles, want.AddedTiles);
        ExpectSameTileSet(base, expected);
    }
}

TEST(MergeZP, EmptyProjectTakesEveryBitmap) {
    TempDir dir;
    Project file;
    for (int seed : {4, 5, 4}) file.AddBitmap(PatternBitmap(seed).data());
    file.NewTiles.push_back(OneSquare(2, 1, 0));
    const std::string path = WriteTileSet(dir, "first.zp", file);
    Project p;
    p.NoProject = false;
    FakeUi ui;
    MergeCounts counts;
    ASSERT_TRUE(MergeZP(p, ui, path, &counts));
    EXPECT_EQ(counts.AddedBitmaps, 2);
    EXPECT_EQ(counts.ChangedIds, 1);
    ASSERT_EQ(p.BitmapCount, 2);
    ASSERT_EQ(p.NewTiles.size(), 1u);
    EXPECT_EQ(p.NewTiles[0]->Sq[0], (MapSquare{0, 1, 0}));
    EXPECT_EQ(TopDown(p, 1), TopDown(PatternBitmap(5).data(), false));
}

TEST(MergeZP, TurnsFileRowsToTheProjectOrder) {
    TempDir dir;
    Project p;  // top-down rows
    AddPatternBitmaps(p, 2);
    Project file;  // the same pictures, written by a "zme" file bottom-up
    AddPatternBitmaps(file, 3);
    const std::string path = WriteTileSet(dir, "zme.zp", file, /*zme=*/true);
    FakeUi ui;
    MergeCounts counts;
    ASSERT_TRUE(MergeZP(p, ui, path, &counts));
    EXPECT_EQ(counts.AddedBitmaps, 1);
    EXPECT_EQ(counts.ChangedIds, 0);
    EXPECT_FALSE(p.BottomUpRows);
    EXPECT_EQ(0, std::memcmp(p.Bitmap(2), PatternBitmap(2).data(), BitmapBytes));
}

TEST(MergeZP, ReportsProgressEveryFiftyItems) {
    TempDir dir;
    Project file;
    AddPatternBitmaps(file, 101);
    for (int i = 0; i < 51; ++i) file.NewTiles.push_back(OneSquare(static_cast<std::uint16_t>(i), NoBitmap, 0));
    const std::string path = WriteTileSet(dir, "many.zp", file);
    Project p;
    FakeUi ui;
    ASSERT_TRUE(MergeZP(p, ui, path));
    EXPECT_EQ(ui.statuses, (std::vector<std::string>{"Comparing bitmaps... 0", "Comparing bitmaps... 50",
                                                     "Comparing bitmaps... 100", "Gathering tile sets... 0",
                                                     "Gathering tile sets... 50"}));
    EXPECT_EQ(ui.eventsProcessed, 5);
}

TEST(MergeZP, StopsAtTheBitmapLimitKeepingWhatWasAdded) {
    TempDir dir;
    Project file;
    for (int seed : {1, 2, 3}) file.AddBitmap(FilledBitmap(static_cast<std::uint8_t>(seed)).data());
    file.NewTiles.push_back(OneSquare(0, NoBitmap, 0));
    const std::string path = WriteTileSet(dir, "three.zp", file);
    Project p;
    p.SetBitmapCount(MaxBitmaps - 1);
    for (int id = 0; id < p.BitmapCount; ++id) {
        p.MutableBitmap(id)[0] = static_cast<std::uint8_t>(id & 0xFF);
        p.MutableBitmap(id)[1] = static_cast<std::uint8_t>(id >> 8);
        p.MutableBitmap(id)[2] = 0xAA;  // never equal to a filled bitmap
    }
    FakeUi ui;
    MergeCounts counts;
    EXPECT_FALSE(MergeZP(p, ui, path, &counts));
    EXPECT_EQ(p.BitmapCount, MaxBitmaps);
    EXPECT_EQ(counts.AddedBitmaps, 1);
    EXPECT_TRUE(p.NewTiles.empty());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Error");
    EXPECT_EQ(ui.messages[0].text, "Critical Error! Too many bitmaps!");
    EXPECT_FALSE(ui.progressVisible);
}

TEST(MergeZP, UnreadableFileIsReported) {
    TempDir dir;
    Project p = SmallProject(true);
    p.ZpPath = "kept.zp";
    FakeUi ui;
    EXPECT_FALSE(MergeZP(p, ui, dir.file("missing.zp")));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Error");
    EXPECT_EQ(ui.messages[0].icon, Icon::Error);
    EXPECT_TRUE(p.ZpPath.empty());
    EXPECT_TRUE(p.ZpModified);
    EXPECT_EQ(p.BitmapCount, 2);
}

// --- Removing unused bitmaps -----------------------------------------------------

TEST(RemoveUnusedBitmaps, CompactsAndRenumbers) {
    Project p;
    AddPatternBitmaps(p, 5);
    p.NewTiles.push_back(OneSquare(0, 4, 1));
    p.UsedTiles.push_back(OneSquare(2, NoBitmap, 0));
    p.UsedTiles.push_back(OneSquare(NoBitmap, 7, 0));  // 7 names no bitmap: shifted like any id
    p.ZpPath = "a.zp";
    FakeUi ui;
    EXPECT_EQ(RemoveUnusedBitmaps(p, ui), 2);
    ASSERT_EQ(p.BitmapCount, 3);
    for (int id = 0; id < 3; ++id) EXPECT_EQ(0, std::memcmp(p.Bitmap(id), PatternBitmap(id * 2).data(), BitmapBytes));
    EXPECT_EQ(p.NewTiles[0]->Sq[0], (MapSquare{0, 2, 1}));
    EXPECT_EQ(p.UsedTiles[0]->Sq[0], (MapSquare{1, NoBitmap, 0}));
    EXPECT_EQ(p.UsedTiles[1]->Sq[0], (MapSquare{NoBitmap, 5, 0}));
    EXPECT_TRUE(p.ZpPath.empty());
    EXPECT_TRUE(p.ZpModified);
    EXPECT_EQ(ui.statuses, (std::vector<std::string>{"Removing unused bitmaps...", "Unused bitmaps removed."}));
    EXPECT_EQ(ui.bitmapsChangedCount, 1);
    EXPECT_FALSE(ui.progressVisible);
}

TEST(RemoveUnusedBitmaps, AllUsedChangesOnlyTheFlags) {
    Project p = SmallProject(true);
    p.NewTiles.push_back(OneSquare(0, NoBitmap, 0));
    p.ZpPath = "a.zp";
    FakeUi ui;
    EXPECT_EQ(RemoveUnusedBitmaps(p, ui), 0);
    EXPECT_EQ(p.BitmapCount, 2);
    EXPECT_EQ(0, std::memcmp(p.Bitmap(1), FixtureBitmap(1).data(), BitmapBytes));
    EXPECT_EQ(p.NewTiles[0]->Sq[0], (MapSquare{1, NoBitmap, 7}));
    EXPECT_TRUE(p.ZpPath.empty());
    EXPECT_TRUE(p.ZpModified);
}
