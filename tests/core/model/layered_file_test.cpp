#include "model/layered_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "builders.h"
#include "byte_fixtures.h"
#include "commands/open_commands.h"
#include "commands/save_commands.h"
#include "fake_ui.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

struct FixtureTile {
    int w, h, x, y;
    std::uint16_t seed;
};

// Square (c, r) of a fixture tile.
TSq TileSquare(const FixtureTile& t, int c, int r) {
    return TSq{static_cast<std::uint16_t>(t.seed + r * 16 + c), static_cast<std::uint16_t>(t.seed + 1000 + c),
               static_cast<std::uint8_t>((t.seed + r) % 36)};
}

void PutTiles(Bytes& b, const std::vector<FixtureTile>& tiles) {
    Put32(b, static_cast<std::uint32_t>(tiles.size()));
    for (auto& t : tiles) {
        b.push_back(static_cast<std::uint8_t>(t.w));
        b.push_back(static_cast<std::uint8_t>(t.h));
        Put32(b, static_cast<std::uint32_t>(t.x));
        Put32(b, static_cast<std::uint32_t>(t.y));
        for (int r = 0; r < t.h; ++r)
            for (int c = 0; c < t.w; ++c) {
                TSq s = TileSquare(t, c, r);
                Put16(b, s.Gnd);
                Put16(b, s.Top);
                b.push_back(s.Atr);
            }
    }
}

const std::vector<FixtureTile> kUsed = {{2, 1, -3, 5, 10}, {1, 2, 300, -7, 20}, {3, 2, 4, 4, 30}};
const std::vector<FixtureTile> kList = {{1, 1, 0, 0, 40}, {2, 3, 9, 9, 50}};
const Bytes kCreatures = {'C', 'S', 'T', '0', 1, 0, 'M', 'C', 'R', '0', 4};

struct ZlFixture {
    std::string magic = "ZLP1";
    int bitmaps = 2;
    std::vector<FixtureTile> used = kUsed;
    std::vector<FixtureTile> list = kList;
    std::uint8_t infoHeight = 0xE0;  // byte 12 of the InfoHeader: -32, top-down rows
    std::uint8_t variant = 0;
};

std::uint8_t PixelOf(int bitmap, int i) { return static_cast<std::uint8_t>((bitmap * 7 + i) % 256); }

// A layered project file built field by field from the format's layout.
Bytes ZlFile(const ZlFixture& f) {
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

void ExpectTiles(const TileList& got, const std::vector<FixtureTile>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        const TTile& t = *got[i];
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
BitmapPixels Picture(const Project& p, int id) {
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

}  // namespace

// --- Reading -----------------------------------------------------------------

TEST(ParseZL, ReadsEveryFieldOfACurrentFile) {
    Project p = ParseZL(ZlFile({}));
    EXPECT_FALSE(p.NoProject);
    EXPECT_EQ(p.MapWidth, 20);
    EXPECT_EQ(p.MapHeight, 18);
    EXPECT_EQ(p.Palette[0], 255);
    EXPECT_EQ(p.Palette[1023], 0);
    ASSERT_EQ(p.BitmapCount, 2);
    EXPECT_EQ(p.Bitmap(1)[5], PixelOf(1, 5));
    ExpectTiles(p.UsedTiles, kUsed);
    ExpectTiles(p.NewTiles, kList);
    EXPECT_EQ(p.ZpPath, "set.zp");
    EXPECT_EQ(p.Multiplayer, 1u);
    EXPECT_EQ(p.Creatures, kCreatures);
    EXPECT_EQ(p.InfoHeader[0], 'B');
    EXPECT_EQ(p.InfoHeader[4], 5);
    EXPECT_EQ(p.InfoHeader[12], 0xE0);
    EXPECT_EQ(p.FileHeader[0], 200);
    EXPECT_FALSE(p.ZmeVariant);
    EXPECT_FALSE(p.BottomUpRows);
}

TEST(ParseZL, RowOrderFollowsVariantOrInfoHeader) {
    ZlFixture zme;
    zme.variant = 1;
    Project a = ParseZL(ZlFile(zme));
    EXPECT_TRUE(a.ZmeVariant);
    EXPECT_TRUE(a.BottomUpRows);

    ZlFixture upright;
    upright.infoHeight = 32;
    Project b = ParseZL(ZlFile(upright));
    EXPECT_FALSE(b.ZmeVariant);
    EXPECT_TRUE(b.BottomUpRows);
}

TEST(ParseZL, OldVersionGetsTheDefaultFileHeaderAndTopDownRows) {
    ZlFixture old;
    old.magic = "ZLP0";
    old.infoHeight = 32;  // ignored by this version
    Project p = ParseZL(ZlFile(old));
    EXPECT_FALSE(p.BottomUpRows);
    EXPECT_FALSE(p.ZmeVariant);
    EXPECT_EQ(p.FileHeader, DefaultFileHeader());
    EXPECT_EQ(p.InfoHeader[12], 32);
    ExpectTiles(p.UsedTiles, kUsed);
    EXPECT_EQ(p.Creatures, kCreatures);
}

TEST(ParseZL, ForeignMagicIsAnImproperFormat) {
    for (std::string magic : {"ZLP2", "ZLF5", "zlp1"}) {
        ZlFixture f;
        f.magic = magic;
        EXPECT_THROW(ParseZL(ZlFile(f)), ImproperFormatError) << magic;
    }
    EXPECT_THROW(ParseZL(Bytes{}), ImproperFormatError);
}

TEST(ParseZL, EveryTruncationIsRefused) {
    for (std::string magic : {"ZLP0", "ZLP1"}) {
        ZlFixture f;
        f.magic = magic;
        f.bitmaps = 1;
        Bytes file = ZlFile(f);
        for (std::size_t n = 0; n < file.size(); ++n)
            EXPECT_THROW(ParseZL(std::span<const std::uint8_t>(file.data(), n)), Error) << magic << " " << n;
        EXPECT_NO_THROW(ParseZL(file));
    }
}

TEST(ParseZL, HugeAndEmptyDeclarationsAreRefused) {
    ZlFixture none;
    none.bitmaps = 0;
    none.used = {};
    none.list = {};
    const Bytes file = ZlFile(none);
    auto patched = [&](std::size_t offset, std::uint32_t value) {
        Bytes b = file;
        for (int i = 0; i < 4; ++i) b[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
        return b;
    };
    const std::size_t bitmapCount = 4 + 2 + 1024;
    EXPECT_THROW(ParseZL(patched(bitmapCount, 0xFFFFFFFF)), Error);
    EXPECT_THROW(ParseZL(patched(bitmapCount, 65536)), Error);
    EXPECT_THROW(ParseZL(patched(bitmapCount, 3)), Error);
    EXPECT_THROW(ParseZL(patched(bitmapCount + 4, 0xFFFFFFFF)), Error);      // used tiles
    EXPECT_THROW(ParseZL(patched(bitmapCount + 8, 0x7FFFFFFF)), Error);      // tiles list
    EXPECT_THROW(ParseZL(patched(bitmapCount + 12 + 7 + 4, 0xFFFFFF00)), Error);  // creature length

    ZlFixture zeroWide;
    zeroWide.used = {{0, 3, 0, 0, 1}};
    EXPECT_THROW(ParseZL(ZlFile(zeroWide)), Error);
    ZlFixture zeroHigh;
    zeroHigh.list = {{3, 0, 0, 0, 1}};
    EXPECT_THROW(ParseZL(ZlFile(zeroHigh)), Error);
}

// --- Writing -----------------------------------------------------------------

TEST(EncodeZL, ReproducesACurrentFileByteForByte) {
    for (std::uint8_t variant : {0, 1}) {
        ZlFixture f;
        f.variant = variant;
        Bytes file = ZlFile(f);
        EXPECT_EQ(EncodeZL(ParseZL(file)), file);
    }
}

TEST(EncodeZL, AnEmptyTilesListIsACountOfZero) {
    ZlFixture f;
    f.list = {};
    Bytes file = ZlFile(f);
    Project p = ParseZL(file);
    EXPECT_TRUE(p.NewTiles.empty());
    EXPECT_EQ(EncodeZL(p), file);
}

TEST(EncodeZL, RefusesValuesThatDoNotFit) {
    Project base = ParseZL(ZlFile({}));
    base.ZpPath = std::string(255, 'a');
    EXPECT_NO_THROW(EncodeZL(base));
    base.ZpPath = std::string(256, 'a');
    EXPECT_THROW(EncodeZL(base), Error);

    Project wide = ParseZL(ZlFile({}));
    wide.MapWidth = 256;
    EXPECT_THROW(EncodeZL(wide), Error);

    Project bigTile = ParseZL(ZlFile({}));
    bigTile.NewTiles.push_back(MakeTile(256, 1));
    EXPECT_THROW(EncodeZL(bigTile), Error);
}

// --- Opening and saving ------------------------------------------------------

TEST(OpenZLFile, ReplacesTheProjectAndKeepsTheGenerator) {
    TempDir dir;
    std::string path = dir.file("p.zl");
    WriteBytes(path, ZlFile({}));
    RecordingGenerator generator;
    Project p;
    p.Generator = &generator;
    p.UsedTiles.push_back(MakeTile(1, 1));
    p.Selection.push_back({0, 0, 0});
    FakeUi ui;
    ASSERT_TRUE(OpenZLFile(p, ui, path));
    EXPECT_EQ(p.Generator, &generator);
    EXPECT_EQ(generator.resets, 1);
    EXPECT_FALSE(p.NoProject);
    EXPECT_TRUE(p.Selection.empty());
    ExpectTiles(p.UsedTiles, kUsed);
    EXPECT_EQ(p.BitmapCount, 2);
    EXPECT_TRUE(ui.sawStatus("opening " + path + "..."));
    EXPECT_EQ(ui.status(), path + " opened.");
    EXPECT_EQ(ui.bitmapsChangedCount, 1);
    ASSERT_FALSE(ui.refreshes.empty());
    const RefreshRequest& r = ui.refreshes.back();
    EXPECT_EQ(r.first, 0);
    EXPECT_EQ(r.last, 1);
    EXPECT_TRUE(r.withProgress && r.redraw && r.resetScrolling && r.rebuildList);
}

TEST(OpenZLFile, AForeignFileIsAnImproperFormatAndLeavesNoProject) {
    TempDir dir;
    std::string path = dir.file("p.zl");
    ZlFixture f;
    f.magic = "ZTP0";
    WriteBytes(path, ZlFile(f));
    Project p = ParseZL(ZlFile({}));
    FakeUi ui;
    EXPECT_FALSE(OpenZLFile(p, ui, path));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Error");
    EXPECT_EQ(ui.messages[0].text, "Improper file format!");
    EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
    EXPECT_TRUE(p.NoProject);
    EXPECT_TRUE(p.UsedTiles.empty());
    EXPECT_EQ(p.BitmapCount, 0);
    EXPECT_EQ(ui.status(), "error opening " + path + "!");
}

TEST(OpenZLFile, ATruncatedFileLeavesNoProject) {
    TempDir dir;
    std::string path = dir.file("p.zl");
    Bytes file = ZlFile({});
    file.resize(file.size() - 60);
    WriteBytes(path, file);
    Project p = ParseZL(ZlFile({}));
    FakeUi ui;
    EXPECT_FALSE(OpenZLFile(p, ui, path));
    EXPECT_TRUE(p.NoProject);
    EXPECT_TRUE(p.UsedTiles.empty());
    EXPECT_TRUE(p.NewTiles.empty());
    EXPECT_EQ(p.BitmapCount, 0);
    EXPECT_EQ(ui.status(), "error opening " + path + "!");
}

TEST(OpenZL, CancellingTheDialogChangesNothing) {
    Project p = ParseZL(ZlFile({}));
    FakeUi ui;
    EXPECT_FALSE(OpenZL(p, ui));
    EXPECT_FALSE(p.NoProject);
    EXPECT_EQ(p.UsedTiles.size(), kUsed.size());
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].name, "ODzl");
    EXPECT_EQ(ui.dialogs[0].filter, "layered project|*.zl");
}

TEST(SaveZL, SavedProjectReopensWithTheSameContentAndPictures) {
    TempDir dir;
    Project p = ParseZL(ZlFile({}));
    // A "zme" project whose rows are still top-down in memory.
    p.ZmeVariant = true;
    p.BottomUpRows = false;
    BitmapPixels before = Picture(p, 1);
    FakeUi ui;
    ui.files.push_back(dir.file("saved"));
    ASSERT_TRUE(SaveZL(p, ui));
    std::string path = dir.file("saved.zl");
    EXPECT_EQ(ui.dialogs[0].name, "SDzl");
    EXPECT_EQ(ui.dialogs[0].filter, "layered project|*.zl");
    EXPECT_TRUE(ui.dialogs[0].save);
    EXPECT_TRUE(ui.sawStatus("saving " + path + "..."));
    EXPECT_EQ(ui.status(), path + " saved.");

    Project q;
    ASSERT_TRUE(OpenZLFile(q, ui, path));
    EXPECT_EQ(Picture(q, 1), before);
    EXPECT_TRUE(q.ZmeVariant);
    ExpectTiles(q.UsedTiles, kUsed);
    ExpectTiles(q.NewTiles, kList);
    EXPECT_EQ(q.Creatures, kCreatures);
    EXPECT_EQ(q.Palette, p.Palette);
}

TEST(SaveZL, WritesToAGivenPathWithoutAsking) {
    TempDir dir;
    Project p = ParseZL(ZlFile({}));
    FakeUi ui;
    std::string path = dir.file("backup.zl");
    ASSERT_TRUE(SaveZLFile(p, ui, path));
    EXPECT_TRUE(ui.dialogs.empty());
    EXPECT_EQ(ReadWholeFile(path), ZlFile({}));
}

TEST(SaveZL, FailuresAndRefusalsKeepTheOldFile) {
    TempDir dir;
    const std::string path = dir.file("old.zl");
    const Bytes old = {'k', 'e', 'e', 'p'};
    WriteBytes(path, old);

    Project p = ParseZL(ZlFile({}));
    p.ZpPath = std::string(256, 'z');
    FakeUi ui;
    EXPECT_FALSE(SaveZLFile(p, ui, path));
    EXPECT_EQ(ReadWholeFile(path), old);
    EXPECT_EQ(ui.status(), "error saving " + path + "!");

    // The name without extension becomes "old.zl", which exists: answered No.
    Project q = ParseZL(ZlFile({}));
    FakeUi asked;
    asked.files.push_back(dir.file("old"));
    asked.answers.push_back(Answer::No);
    EXPECT_FALSE(SaveZL(q, asked));
    ASSERT_EQ(asked.messages.size(), 1u);
    EXPECT_EQ(asked.messages[0].caption, "File Exists!");
    EXPECT_EQ(ReadWholeFile(path), old);
}
