// The summary of a tile set file, read without its bitmaps, against the
// reader of the whole file.

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "builders.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"

using namespace zorvane;
using namespace zorvane::testing;

namespace {

void WritePlain(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Project RandomTileSet(std::mt19937& random) {
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
        const Project p = RandomTileSet(random);
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
