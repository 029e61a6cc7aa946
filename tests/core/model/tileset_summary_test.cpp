// The summary of a tile set file, read without its bitmaps, and the reader
// of the file in parts, against the reader of the whole file in memory; the
// writer that streams into a save against the one that encodes in memory.

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "builders.h"
#include "model/bytes.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"
#include "platform/safe_save.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

void WritePlain(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Project RandomSummaryTileSet(std::mt19937& random) {
    Project p;
    p.BottomUpRows = random() % 2 == 0;
    FillTestPalette(p);
    AddPatternBitmaps(p, static_cast<int>(random() % 3), static_cast<int>(random() % 100));
    const int tiles = static_cast<int>(random() % 4);
    for (int i = 0; i < tiles; ++i)
        p.NewTiles.push_back(MakeTile(1 + static_cast<int>(random() % 3), 1 + static_cast<int>(random() % 3), 0, 0,
                                      static_cast<std::uint16_t>(random() % 3)));
    p.ZpPath = "/maps/" + std::string(random() % 40, 'x') + ".zp";
    return p;
}

void ExpectSameSummaryTileSet(const TileSet& a, const TileSet& b) {
    EXPECT_EQ(a.Zme, b.Zme);
    EXPECT_EQ(a.BottomUpRows, b.BottomUpRows);
    EXPECT_EQ(a.InfoHeader, b.InfoHeader);
    EXPECT_EQ(a.FileHeader, b.FileHeader);
    EXPECT_EQ(a.Palette, b.Palette);
    EXPECT_EQ(a.BitmapCount, b.BitmapCount);
    EXPECT_TRUE(a.Pixels == b.Pixels);
    EXPECT_EQ(a.StoredPath, b.StoredPath);
    ASSERT_EQ(a.Tiles.size(), b.Tiles.size());
    for (std::size_t i = 0; i < a.Tiles.size(); ++i) {
        EXPECT_EQ(a.Tiles[i]->Width, b.Tiles[i]->Width);
        EXPECT_EQ(a.Tiles[i]->Height, b.Tiles[i]->Height);
        EXPECT_TRUE(a.Tiles[i]->Sq == b.Tiles[i]->Sq);
    }
}

// Collects what a streaming writer hands on, piece by piece.
struct CollectingSink final : SaveSink {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> pieces;
    void write(std::span<const std::uint8_t> piece) override {
        bytes.insert(bytes.end(), piece.begin(), piece.end());
        pieces.push_back(piece.size());
    }
};

// The reason a reader gives, or "" when it reads the file.
template <class Read>
std::string Refusal(Read read) {
    try {
        read();
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

}  // namespace

// For random tile sets of both variants, whole, cut at every length and with
// bytes changed: the summary agrees with the whole file's reader, and refuses
// exactly what it refuses, for the same reason.
TEST(TileSetSummary, AgreesWithTheWholeFileReaderOnEveryCutAndDamage) {
    std::mt19937 random(5);
    TempDir dir;
    const std::string path = dir.file("set.zp");
    int refused = 0;
    for (int round = 0; round < 12; ++round) {
        const Project p = RandomSummaryTileSet(random);
        const auto variant = round % 2 ? TileSetVariant::Zme : TileSetVariant::Zmpe;
        const std::vector<std::uint8_t> bytes = EncodeZP(p, variant);
        SCOPED_TRACE(::testing::Message() << "round " << round << ", " << bytes.size() << " bytes");

        WritePlain(path, bytes);
        const TileSet whole = ParseZP(bytes);
        const TileSetSummary summary = ReadZPSummary(path);
        EXPECT_EQ(summary.Zme, whole.Zme);
        EXPECT_EQ(summary.BottomUpRows, whole.BottomUpRows);
        EXPECT_EQ(summary.BitmapCount, p.BitmapCount);
        EXPECT_EQ(summary.TileCount, p.NewTiles.size());
        EXPECT_EQ(summary.StoredPath, whole.StoredPath);

        // Cut at every length in the numbers, headers and tile records, now
        // and then in the palette and the bitmaps.
        std::vector<std::vector<std::uint8_t>> damaged;
        for (std::size_t length = 0; length < bytes.size(); ++length)
            if (length < 64 || (length >= 1080 && length < 1100) || length + 200 > bytes.size() || length % 97 == 0)
                damaged.emplace_back(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
        for (int i = 0; i < 150; ++i) {
            auto changed = bytes;
            // Mostly the counts, the header and the tile records; anywhere now and then.
            const std::size_t at = random() % 4 == 0 ? random() % bytes.size()
                                   : random() % 2    ? random() % std::min<std::size_t>(bytes.size(), 70)
                                                     : bytes.size() - 1 - random() % std::min<std::size_t>(bytes.size(), 60);
            changed[at] = static_cast<std::uint8_t>(random() % 4 == 0 ? 0 : random());
            damaged.push_back(std::move(changed));
        }
        for (const auto& file : damaged) {
            WritePlain(path, file);
            const std::string expected = Refusal([&] { ParseZP(file); });
            ASSERT_EQ(Refusal([&] { ReadZPSummary(path); }), expected) << file.size() << " bytes";
            refused += !expected.empty();
        }
    }
    EXPECT_GT(refused, 1000);  // the damage was mostly of the kind readers notice
    EXPECT_THROW(ReadZPSummary(dir.file("missing.zp")), Error);
}

// The reader in parts gives what the whole file's reader gives, field by
// field, and refuses exactly what it refuses, for the same reason: random
// tile sets, cut at every length near their ends and with bytes changed,
// and large ones whose "zme" bitmaps span several of its batches.
TEST(ReadZP, AgreesWithTheWholeFileReaderOnEveryCutAndDamage) {
    std::mt19937 random(7);
    TempDir dir;
    const std::string path = dir.file("set.zp");
    int refused = 0;
    for (int round = 0; round < 14; ++round) {
        Project p = RandomSummaryTileSet(random);
        if (round >= 12) AddPatternBitmaps(p, 1100, round);
        const auto variant = round % 2 ? TileSetVariant::Zme : TileSetVariant::Zmpe;
        const std::vector<std::uint8_t> bytes = EncodeZP(p, variant);
        SCOPED_TRACE(::testing::Message() << "round " << round << ", " << bytes.size() << " bytes");
        WritePlain(path, bytes);
        ExpectSameSummaryTileSet(ReadZP(path), ParseZP(bytes));

        const bool large = bytes.size() > 100000;
        const std::size_t tail = large ? 24 : 200, every = large ? 99991 : 997;
        std::vector<std::vector<std::uint8_t>> damaged;
        for (std::size_t length = 0; length < bytes.size(); ++length)
            if (length < 64 || (length >= 1080 && length < 1100) || length + tail > bytes.size() || length % every == 0)
                damaged.emplace_back(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
        for (int i = 0; i < (large ? 20 : 100); ++i) {
            auto changed = bytes;
            const std::size_t at = random() % 3 == 0 ? random() % bytes.size()
                                   : random() % 2    ? random() % std::min<std::size_t>(bytes.size(), 70)
                                                     : bytes.size() - 1 - random() % std::min<std::size_t>(bytes.size(), 60);
            changed[at] = static_cast<std::uint8_t>(random() % 4 == 0 ? 0 : random());
            damaged.push_back(std::move(changed));
        }
        for (const auto& file : damaged) {
            WritePlain(path, file);
            const std::string expected = Refusal([&] { ParseZP(file); });
            ASSERT_EQ(Refusal([&] { ReadZP(path); }), expected) << file.size() << " bytes";
            if (expected.empty()) ExpectSameSummaryTileSet(ReadZP(path), ParseZP(file));
            refused += !expected.empty();
        }
    }
    EXPECT_GT(refused, 1000);
    EXPECT_THROW(ReadZP(dir.file("missing.zp")), Error);
}

// Streamed into a save, a tile set has the very bytes it has encoded in
// memory, in both variants, handed on in pieces below two of the writer's
// pieces unless a single block (the "zmpe" pixels) goes on whole; a file
// saved that way reads back.
TEST(WriteZP, StreamsTheBytesEncodeZPMakes) {
    std::mt19937 random(3);
    TempDir dir;
    for (int round = 0; round < 6; ++round) {
        Project p = RandomSummaryTileSet(random);
        if (round >= 2) AddPatternBitmaps(p, round >= 4 ? 2100 : 1, round);
        for (const auto variant : {TileSetVariant::Zme, TileSetVariant::Zmpe}) {
            const std::vector<std::uint8_t> encoded = EncodeZP(p, variant);
            CollectingSink sink;
            WriteZP(p, variant, sink);
            ASSERT_TRUE(sink.bytes == encoded) << round;
            const std::size_t pixels = static_cast<std::size_t>(p.BitmapCount) * BitmapBytes;
            for (std::size_t piece : sink.pieces)
                EXPECT_TRUE(piece < 2 * ByteWriter::kPieceBytes || piece == pixels) << piece;
            if (encoded.size() > 3 * ByteWriter::kPieceBytes) {
                EXPECT_GE(sink.pieces.size(), 3u);
            }

            const std::string path = dir.file("streamed.zp");
            SaveFileAtomically(path, [&](SaveSink& s) { WriteZP(p, variant, s); });
            EXPECT_TRUE(ReadWholeFile(path) == encoded);
        }
    }
}
