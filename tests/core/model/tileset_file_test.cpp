#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "builders.h"
#include "model/bytes.h"
#include "model/tileset_file.h"
#include "zp_fixtures.h"

using namespace zorvane;
using namespace zorvane::testing;

// --- Default header blocks --------------------------------------------------

TEST(TileSetHeaders, DefaultInfoHeaderBytes) {
    auto h = DefaultInfoHeader(true);
    EXPECT_EQ(std::vector<std::uint8_t>(h.begin(), h.end()), InfoHeaderBytes(32));
    EXPECT_EQ(0, std::memcmp(h.data(), "BMIF", 4));
    auto d = DefaultInfoHeader(false);
    EXPECT_EQ(std::vector<std::uint8_t>(d.begin() + 12, d.begin() + 16), (std::vector<std::uint8_t>{0xE0, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(std::vector<std::uint8_t>(d.begin(), d.end()), InfoHeaderBytes(-32));
}

TEST(TileSetHeaders, DefaultFileHeaderBytes) {
    auto h = DefaultFileHeader();
    ByteWriter w;
    w.text("BM");
    w.u32(1078);
    w.u16(0);
    w.u16(0);
    w.u32(1078);
    auto info = InfoHeaderBytes(32);
    w.bytes(info.data() + 4, 40);
    EXPECT_EQ(std::vector<std::uint8_t>(h.begin(), h.end()), w.data());
}

// --- Reading hand-built files -------------------------------------------------

TEST(ParseZP, ReadsHandBuiltZmpe) {
    for (bool bottomUp : {true, false}) {
        SCOPED_TRACE(bottomUp);
        TileSet set = ParseZP(ZmpeFixture(bottomUp));
        EXPECT_FALSE(set.Zme);
        EXPECT_EQ(set.BottomUpRows, bottomUp);
        auto info = InfoHeaderBytes(bottomUp ? 32 : -32);
        EXPECT_EQ(std::vector<std::uint8_t>(set.InfoHeader.begin(), set.InfoHeader.end()), info);
        EXPECT_EQ(set.FileHeader, DefaultFileHeader());
        EXPECT_EQ(set.Palette[5], FixturePalette(5));
        EXPECT_EQ(set.Palette[1023], FixturePalette(1023));
        ASSERT_EQ(set.BitmapCount, 2);
        EXPECT_EQ(0, std::memcmp(set.Pixels.data(), FixtureBitmap(0).data(), BitmapBytes));
        EXPECT_EQ(0, std::memcmp(set.Pixels.data() + BitmapBytes, FixtureBitmap(1).data(), BitmapBytes));
        ExpectFixtureTiles(set.Tiles);
    }
}

TEST(ParseZP, ReadsHandBuiltZme) {
    TileSet set = ParseZP(ZmeFixture("C:\\maps\\desert.zp"));
    EXPECT_TRUE(set.Zme);
    EXPECT_TRUE(set.BottomUpRows);
    EXPECT_EQ(set.InfoHeader, DefaultInfoHeader(true));
    // Header block and palette come from the first bitmap only.
    EXPECT_EQ(std::vector<std::uint8_t>(set.FileHeader.begin(), set.FileHeader.end()), FixtureFileHeader());
    EXPECT_EQ(set.Palette[7], FixturePalette(7));
    ASSERT_EQ(set.BitmapCount, 2);
    EXPECT_EQ(0, std::memcmp(set.Pixels.data(), FixtureBitmap(0).data(), BitmapBytes));
    EXPECT_EQ(0, std::memcmp(set.Pixels.data() + BitmapBytes, FixtureBitmap(1).data(), BitmapBytes));
    ExpectFixtureTiles(set.Tiles);
}

TEST(ParseZP, IgnoresChunkIdsAndTrailingBytes) {
    auto zmpe = ZmpeFixture(true);
    std::memcpy(zmpe.data() + 1084, "XXXX", 4);
    zmpe.push_back(0xAB);
    EXPECT_EQ(ParseZP(zmpe).Tiles.size(), 2u);
    auto zme = ZmeFixture("abc");
    const std::size_t firstTile = 4 + 1 + 3 + 2 + 2 * 2102 + 2;
    ASSERT_EQ(0, std::memcmp(zme.data() + firstTile, "TIL1", 4));
    std::memcpy(zme.data() + firstTile, "til?", 4);
    EXPECT_EQ(ParseZP(zme).Tiles.size(), 2u);
}

TEST(ParseZP, RefusesForeignAndDamagedFiles) {
    auto foreign = ZmpeFixture(true);
    std::memcpy(foreign.data(), "ZTP1", 4);
    EXPECT_THROW(ParseZP(foreign), Error);
    EXPECT_THROW(ParseZP(std::vector<std::uint8_t>{}), Error);

    auto noBmif = ZmpeFixture(true);
    noBmif[16] = 'X';
    EXPECT_THROW(ParseZP(noBmif), Error);

    auto zeroWidth = ZmpeFixture(true);
    zeroWidth[1088 + 2 * BitmapBytes + 4] = 0;
    EXPECT_THROW(ParseZP(zeroWidth), Error);
}

TEST(ParseZP, RefusesEveryTruncation) {
    for (const auto& file : {ZmpeFixture(true), ZmeFixture("abc")}) {
        for (std::size_t len = 0; len < file.size(); ++len) {
            std::vector<std::uint8_t> cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(len));
            EXPECT_THROW(ParseZP(cut), Error) << "length " << len;
        }
    }
}

TEST(ParseZP, RefusesHugeDeclaredCounts) {
    auto setU32 = [](std::vector<std::uint8_t>& f, std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) f[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    auto manyBitmaps = ZmpeFixture(true);
    setU32(manyBitmaps, 8, 65535);
    EXPECT_THROW(ParseZP(manyBitmaps), Error);
    setU32(manyBitmaps, 8, 0xFFFFFFFF);
    EXPECT_THROW(ParseZP(manyBitmaps), Error);
    auto manyTiles = ZmpeFixture(true);
    setU32(manyTiles, 12, 0xFFFFFFFF);
    EXPECT_THROW(ParseZP(manyTiles), Error);

    auto zme = ZmeFixture("abc");
    zme[8] = 0xFF;  // bitmap count 65535 after a 3-byte path
    zme[9] = 0xFF;
    EXPECT_THROW(ParseZP(zme), Error);
}

TEST(ParseZP, FuzzSeedsAreValidTileSets) {
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(ZORVANE_FUZZ_CORPUS) + "/zp")) {
        SCOPED_TRACE(entry.path().string());
        TileSet set = ParseZP(ReadWholeFile(entry.path().string()));
        EXPECT_EQ(set.BitmapCount, 2);
        EXPECT_EQ(set.Tiles.size(), 2u);
        ++seeds;
    }
    EXPECT_GE(seeds, 3);
}

// --- Writing -------------------------------------------------------------------

TEST(EncodeZP, ZmpeBytesFollowTheLayout) {
    Project p = SmallProject(/*bottomUp=*/true);
    auto bytes = EncodeZP(p, TileSetVariant::Zmpe);
    ASSERT_EQ(bytes.size(), 1088u + 2 * BitmapBytes + 13 + 8 + 3 * 5);
    ByteReader r(bytes);
    EXPECT_EQ(r.text(4, ""), "ZTP0");
    EXPECT_EQ(r.u32(""), 2u);
    EXPECT_EQ(r.u32(""), 2u);
    EXPECT_EQ(r.u32(""), 2u);
    auto info = r.bytes(44, "");
    EXPECT_EQ(std::vector<std::uint8_t>(info.begin(), info.end()), InfoHeaderBytes(32));
    EXPECT_EQ(r.u8(""), p.Palette[0]);
    r.seek(1084, "");
    EXPECT_EQ(r.text(4, ""), "BITS");
    EXPECT_EQ(0, std::memcmp(bytes.data() + 1088, p.Bitmap(0), 2 * BitmapBytes));
    // The 1 x 1 tile: 13 bytes.
    const std::size_t tile = 1088 + 2 * BitmapBytes;
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + tile, bytes.begin() + tile + 13),
              (std::vector<std::uint8_t>{'T', 'I', 'L', '1', 1, 1, 3, 0, 1, 0, 0xFF, 0xFF, 7}));
    // The 3 x 1 tile, column by column within its one row.
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + tile + 13 + 4, bytes.begin() + tile + 13 + 8),
              (std::vector<std::uint8_t>{3, 1, 3, 0}));
    EXPECT_EQ(bytes[tile + 13 + 8], 0);
    EXPECT_EQ(bytes[tile + 13 + 10], 1);
}

TEST(EncodeZP, ZmeBytesFollowTheLayoutWithRowsBottomUp) {
    Project p = SmallProject(/*bottomUp=*/false);
    p.ZpPath = "C:\\x.zp";
    auto bytes = EncodeZP(p, TileSetVariant::Zme);
    const std::size_t L = p.ZpPath.size();
    ASSERT_EQ(bytes.size(), 4 + 1 + L + 2 + 2 * 2102 + 2 + 13 + 8 + 3 * 5);
    EXPECT_EQ(bytes[4], L);
    EXPECT_EQ(std::string(bytes.begin() + 5, bytes.begin() + 5 + static_cast<std::ptrdiff_t>(L)), p.ZpPath);
    const std::size_t first = 5 + L + 2;
    EXPECT_EQ(bytes[5 + L], 2);
    for (int b = 0; b < 2; ++b) {
        const std::size_t at = first + static_cast<std::size_t>(b) * 2102;
        auto header = DefaultFileHeader();  // the project's block is all zero
        EXPECT_EQ(0, std::memcmp(bytes.data() + at, header.data(), 54));
        EXPECT_EQ(0, std::memcmp(bytes.data() + at + 54, p.Palette.data(), 1024));
        // Top-down rows in memory are stored reversed.
        for (int row = 0; row < 32; ++row)
            EXPECT_EQ(0, std::memcmp(bytes.data() + at + 1078 + row * 32, p.Bitmap(b) + (31 - row) * 32, 32));
    }
    EXPECT_EQ(bytes[first + 2 * 2102], 2);
    EXPECT_EQ(bytes[first + 2 * 2102 + 1], 0);
}

TEST(EncodeZP, RefusesValuesThatDoNotFit) {
    Project p = SmallProject(true);
    p.ZpPath = std::string(256, 'a');
    EXPECT_THROW(EncodeZP(p, TileSetVariant::Zme), Error);
    p.ZpPath = std::string(255, 'a');
    EXPECT_NO_THROW(EncodeZP(p, TileSetVariant::Zme));
    p.ZpPath = "ab";
    EXPECT_THROW(EncodeZP(p, TileSetVariant::Zme), Error);
    EXPECT_NO_THROW(EncodeZP(p, TileSetVariant::Zmpe));  // "zmpe" does not store the path

    p.ZpPath = "abc";
    p.NewTiles.push_back(MakeTile(256, 1));
    EXPECT_THROW(EncodeZP(p, TileSetVariant::Zmpe), Error);
    p.NewTiles.back() = MakeTile(0, 1);
    EXPECT_THROW(EncodeZP(p, TileSetVariant::Zmpe), Error);
}

TEST(EncodeZP, ZmeRefusesMoreThan65535Tiles) {
    Project p = SmallProject(true);
    p.ZpPath = "abc";
    p.NewTiles.clear();
    for (int i = 0; i < 65536; ++i) p.NewTiles.push_back(MakeTile(1, 1));
    EXPECT_THROW(EncodeZP(p, TileSetVariant::Zme), Error);
    EXPECT_EQ(ParseZP(EncodeZP(p, TileSetVariant::Zmpe)).Tiles.size(), 65536u);
    p.NewTiles.pop_back();
    EXPECT_EQ(ParseZP(EncodeZP(p, TileSetVariant::Zme)).Tiles.size(), 65535u);
}

TEST(EncodeZP, RoundTripsInBothVariantsAndRowOrders) {
    for (bool zme : {false, true})
        for (bool bottomUp : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "zme " << zme << " bottomUp " << bottomUp);
            Project p = SmallProject(bottomUp);
            p.ZpPath = "/tmp/t.zp";
            TileSet set = ParseZP(EncodeZP(p, VariantOf(zme)));
            EXPECT_EQ(set.Zme, zme);
            EXPECT_EQ(set.BottomUpRows, zme ? true : bottomUp);
            EXPECT_EQ(set.Palette, p.Palette);
            ASSERT_EQ(set.BitmapCount, p.BitmapCount);
            for (int id = 0; id < p.BitmapCount; ++id)
                EXPECT_EQ(TopDown(set.Pixels.data() + id * BitmapBytes, set.BottomUpRows), TopDown(p, id));
            ASSERT_EQ(set.Tiles.size(), p.NewTiles.size());
            for (std::size_t i = 0; i < set.Tiles.size(); ++i) EXPECT_TRUE(set.Tiles[i]->SameContent(*p.NewTiles[i]));
        }
}

TEST(EncodeZP, ZmpeHeightStatesTheRealRowOrder) {
    // A project whose header block claims the other row order still reads
    // back with the same pictures.
    for (bool bottomUp : {false, true}) {
        Project p = SmallProject(bottomUp);
        p.InfoHeader = DefaultInfoHeader(!bottomUp);
        TileSet set = ParseZP(EncodeZP(p, TileSetVariant::Zmpe));
        EXPECT_EQ(set.BottomUpRows, bottomUp);
        EXPECT_EQ(set.InfoHeader, DefaultInfoHeader(bottomUp));
        EXPECT_EQ(TopDown(set.Pixels.data(), set.BottomUpRows), TopDown(p, 0));
    }
    // A header that agrees is written as it stands.
    Project q = SmallProject(true);
    q.InfoHeader = DefaultInfoHeader(true);
    q.InfoHeader[40] = 9;
    auto bytes = EncodeZP(q, TileSetVariant::Zmpe);
    EXPECT_EQ(0, std::memcmp(bytes.data() + 16, q.InfoHeader.data(), 44));
}

TEST(MakeRowOrderConsistent, ZmpeHeaderStatesTheRowOrder) {
    for (bool bottomUp : {false, true}) {
        Project p = SmallProject(bottomUp);
        const auto before = TopDown(p, 0);
        MakeRowOrderConsistent(p);  // all-zero header becomes the default
        EXPECT_EQ(p.InfoHeader, DefaultInfoHeader(bottomUp));
        p.InfoHeader = DefaultInfoHeader(!bottomUp);
        p.InfoHeader[40] = 9;
        MakeRowOrderConsistent(p);
        auto expected = DefaultInfoHeader(bottomUp);
        expected[40] = 9;
        EXPECT_EQ(p.InfoHeader, expected);
        EXPECT_EQ(p.BottomUpRows, bottomUp);
        EXPECT_EQ(TopDown(p, 0), before);
    }
}

// The encoder knows the file's length beforehand: its buffer is allocated once,
// at that length (a buffer grown at the end doubles a large tile set's memory).
TEST(EncodeZP, BufferIsAllocatedOnceAtTheFilesLength) {
    for (bool zme : {false, true})
        for (int bitmaps : {0, 1, 3, 300}) {
            SCOPED_TRACE(::testing::Message() << "zme " << zme << ", " << bitmaps << " bitmaps");
            Project p = SmallProject(true);
            AddPatternBitmaps(p, bitmaps);
            p.NewTiles.push_back(MakeTile(5, 7));
            p.ZpPath = "/maps/a folder/t.zp";
            const std::vector<std::uint8_t> bytes = EncodeZP(p, VariantOf(zme));
            EXPECT_EQ(bytes.capacity(), bytes.size());
            EXPECT_EQ(ParseZP(bytes).Tiles.size(), 3u);
        }
}
