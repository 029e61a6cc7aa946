#include "model/layered_file.h"

#include <gtest/gtest.h>

#include "builders.h"
#include "byte_fixtures.h"
#include "model/tileset_file.h"
#include "zl_fixtures.h"

using namespace zorvane;
using namespace zorvane::testing;

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

// Streamed into a save, a layered project has the bytes EncodeZL makes,
// handed on in several pieces when it is large.
TEST(WriteZL, StreamsTheBytesEncodeZLMakes) {
    struct Collecting final : SaveSink {
        std::vector<std::uint8_t> bytes;
        int pieces = 0;
        void write(std::span<const std::uint8_t> piece) override {
            bytes.insert(bytes.end(), piece.begin(), piece.end());
            ++pieces;
        }
    };
    Project p = ParseZL(ZlFile({}));
    for (int round = 0; round < 2; ++round) {
        Collecting sink;
        WriteZL(p, sink);
        EXPECT_TRUE(sink.bytes == EncodeZL(p)) << round;
        EXPECT_GE(sink.pieces, round == 0 ? 1 : 3);
        AddPatternBitmaps(p, 1500);
        for (int i = 0; i < 40000; ++i) p.UsedTiles.push_back(MakeTile(1 + i % 3, 1 + i % 2, i % 50, i % 70, 3, 4, 5));
    }
}
