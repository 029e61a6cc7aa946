// The PNG encoder: what it writes is read back by Qt's (libpng's) reader
// with the same pixels, at every level and however it is cut into strips,
// and its chunks and zlib stream are checked on their own against zlib.

#include <gtest/gtest.h>
#include <zlib.h>

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <filesystem>
#include <random>

#include "platform/error.h"
#include "platform/file_io.h"
#include "platform/safe_save.h"
#include "render/picture_file.h"
#include "render/png_writer.h"
#include "builders.h"

namespace zorvane::render {
namespace {

QImage RandomImage(int w, int h, QImage::Format format, std::uint32_t seed) {
    QImage image(w, h, format);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.setPixel(x, y, rng() | (format == QImage::Format_RGB32 ? 0xFF000000 : 0));
    return image;
}

// A picture made of 32 x 32 squares of random pixels, each drawn from a few
// (like a map), large enough to be cut into strips.
QImage SquaresImage(int w, int h, QImage::Format format) {
    std::vector<QImage> squares;
    for (std::uint32_t s = 0; s < 5; ++s) squares.push_back(RandomImage(32, 32, format, s));
    QImage image(w, h, format);
    std::mt19937 rng(7);
    for (int y = 0; y < h; y += 32)
        for (int x = 0; x < w; x += 32) {
            const QImage& square = squares[rng() % squares.size()];
            for (int r = 0; r < 32 && y + r < h; ++r)
                for (int c = 0; c < 32 && x + c < w; ++c) image.setPixel(x + c, y + r, square.pixel(c, r));
        }
    return image;
}

QImage ReadBack(const std::vector<std::uint8_t>& png) {
    QByteArray bytes(reinterpret_cast<const char*>(png.data()), static_cast<qsizetype>(png.size()));
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "PNG");
    const QImage image = reader.read();
    EXPECT_FALSE(image.isNull()) << reader.errorString().toStdString();
    return image;
}

void ExpectSamePixels(const QImage& written, const QImage& read) {
    const QImage::Format format = written.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    ASSERT_EQ(read.size(), written.size());
    EXPECT_EQ(read.hasAlphaChannel(), written.hasAlphaChannel());
    EXPECT_TRUE(read.convertToFormat(format) == written.convertToFormat(format));
}

TEST(PngWriterTest, RandomPicturesOfOddSizesReadBackWithTheirPixelsAtEveryLevel) {
    const struct { int w, h; QImage::Format format; } cases[] = {
        {1, 1, QImage::Format_RGB32},   {7, 3, QImage::Format_RGB32},     {300, 17, QImage::Format_RGB32},
        {2053, 5, QImage::Format_RGB32}, {3, 1501, QImage::Format_ARGB32}, {45, 29, QImage::Format_RGB888},
        {33, 65, QImage::Format_ARGB32_Premultiplied},
    };
    std::uint32_t seed = 1;
    for (const auto& c : cases) {
        const QImage image = RandomImage(c.w, c.h, c.format, seed++);
        for (int level : {0, 1, 9, -1}) {
            SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h) + " level " + std::to_string(level));
            ExpectSamePixels(image, ReadBack(EncodePng(image, {.compression = level})));
        }
    }
}

TEST(PngWriterTest, LargePicturesCutIntoStripsReadBackTheSameOnOneThreadOrSeveral) {
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32}) {
        const QImage image = SquaresImage(2411, 1203, format);
        std::size_t sizes[10] = {};
        for (int level : {0, 1, 9}) {
            for (int threads : {1, 2, 3}) {
                SCOPED_TRACE("level " + std::to_string(level) + ", threads " + std::to_string(threads));
                const std::vector<std::uint8_t> png = EncodePng(image, {.compression = level, .threads = threads});
                ExpectSamePixels(image, ReadBack(png));
                sizes[level] = png.size();
            }
        }
        const std::size_t raw = image.height() * (1 + image.width() * (format == QImage::Format_ARGB32 ? 4u : 3u));
        EXPECT_GT(sizes[0], raw);  // stored
        EXPECT_LT(sizes[1], raw / 4);
        EXPECT_LT(sizes[9], sizes[1]);
    }
}

// Every chunk's CRC, and the IDAT data (stored blocks spread over several
// chunks, or compressed) as one zlib stream, its header and Adler-32 checked
// by zlib, holding the rows unfiltered.
TEST(PngWriterTest, ChunksCarryTheirCrcsAndTheStripsJoinIntoOneCheckedZlibStream) {
    const QImage image = SquaresImage(1800, 1600, QImage::Format_RGB32);
    std::vector<std::uint8_t> expected;
    for (int y = 0; y < image.height(); ++y) {
        expected.push_back(0);
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            expected.insert(expected.end(), {std::uint8_t(qRed(p)), std::uint8_t(qGreen(p)), std::uint8_t(qBlue(p))});
        }
    }
    for (int level : {0, 1}) {
        SCOPED_TRACE("level " + std::to_string(level));
        const std::vector<std::uint8_t> png = EncodePng(image, {.compression = level, .threads = 2});
        auto word = [&](std::size_t at) {
            return std::uint32_t{png[at]} << 24 | std::uint32_t{png[at + 1]} << 16 |
                   std::uint32_t{png[at + 2]} << 8 | png[at + 3];
        };
        std::string types;
        std::vector<std::uint8_t> stream;
        for (std::size_t at = 8; at < png.size();) {
            const std::uint32_t length = word(at);
            ASSERT_LE(at + 12 + length, png.size());
            EXPECT_EQ(crc32(0, png.data() + at + 4, length + 4), word(at + 8 + length));
            const std::string type(png.begin() + at + 4, png.begin() + at + 8);
            if (types.empty() || types.substr(types.size() - 4) != type) types += type;
            if (type == "IDAT") stream.insert(stream.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
            at += 12 + length;
        }
        EXPECT_EQ(types, "IHDRIDATIEND");
        std::vector<std::uint8_t> rows(expected.size() + 1);
        uLongf size = rows.size();
        ASSERT_EQ(uncompress(rows.data(), &size, stream.data(), stream.size()), Z_OK);
        rows.resize(size);
        EXPECT_TRUE(rows == expected);
    }
}

TEST(PngWriterTest, EmptyPicturesAndUnknownLevelsAreRefusedAndTheOldFileStays) {
    EXPECT_THROW(EncodePng(QImage()), Error);
    EXPECT_THROW(EncodePng(QImage(0, 5, QImage::Format_RGB32)), Error);
    EXPECT_THROW(EncodePng(QImage(1, 1, QImage::Format_RGB32), {.compression = 10}), Error);
    EXPECT_THROW(EncodePng(QImage(1, 1, QImage::Format_RGB32), {.compression = -2}), Error);

    testing::TempDir dir;
    const std::string path = dir.file("old.png");
    const std::vector<std::uint8_t> old{1, 2, 3};
    SaveFileAtomically(path, old);
    try {
        SavePicture(QImage(), path, "PNG", {.compression = 1});
        ADD_FAILURE() << "an empty picture was saved";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadWholeFile(path), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace zorvane::render
