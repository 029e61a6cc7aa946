// Layer pictures from *.bmp files: the public BMP test suite's good 8-bit
// files read exactly as a plain reader of the documented layout reads them,
// its bad files are refused (a read error, or "not 8-bit" for the editor's
// format message) except pixels past a short colour table, which are black,
// files cut short are refused, and an exported layer reads back with its
// pixels and palette.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include <unistd.h>

#include "platform/error.h"
#include "tile_editor/layer_bmp.h"

namespace zorvane::editor {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
std::uint32_t Le(const std::vector<std::uint8_t>& b, std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | b.at(at + static_cast<std::size_t>(i));
    return v;
}

// The documented layout, read plainly: file header, core (12-byte) or info
// header, palette, rows bottom-up unless the height is negative, 8-bit
// uncompressed or RLE8 (pixels that no code writes stay 0).
LoadedPicture PlainRead8(const std::vector<std::uint8_t>& b) {
    const std::uint32_t off = Le(b, 10, 4), hs = Le(b, 14, 4);
    LoadedPicture pic;
    int w, h, comp = 0;
    std::size_t colours = 256, entry = 4;
    if (hs == 12) {
        w = static_cast<int>(Le(b, 18, 2));
        h = static_cast<int>(Le(b, 20, 2));
        entry = 3;
    } else {
        w = static_cast<std::int32_t>(Le(b, 18, 4));
        h = static_cast<std::int32_t>(Le(b, 22, 4));
        comp = static_cast<int>(Le(b, 30, 4));
        if (hs >= 36 && Le(b, 46, 4)) colours = Le(b, 46, 4);
    }
    const bool topDown = h < 0;
    h = std::abs(h);
    for (std::size_t i = 0; i < colours; ++i) {
        const std::size_t at = 14 + hs + i * entry;
        pic.Palette[i] = Rgb{b[at + 2], b[at + 1], b[at]};
    }
    pic.Indexed8 = true;
    pic.Image.Reset(w, h);
    auto put = [&](int x, int row, std::uint8_t v) {
        if (x < w && row < h) pic.Image.At(x, topDown ? row : h - 1 - row) = v;
    };
    if (comp == 0) {
        const std::size_t stride = (static_cast<std::size_t>(w) + 3) / 4 * 4;
        for (int row = 0; row < h; ++row)
            for (int x = 0; x < w; ++x) put(x, row, b[off + row * stride + static_cast<std::size_t>(x)]);
        return pic;
    }
    std::size_t at = off;
    int x = 0, row = 0;
    for (;;) {
        const std::uint8_t n = b[at], c = b[at + 1];
        at += 2;
        if (n) {
            for (int i = 0; i < n; ++i) put(x++, row, c);
        } else if (c == 0) {
            x = 0, ++row;
        } else if (c == 1) {
            break;
        } else if (c == 2) {
            x += b[at], row += b[at + 1];
            at += 2;
        } else {
            for (int i = 0; i < c; ++i) put(x++, row, b[at + static_cast<std::size_t>(i)]);
            at += c + (c & 1);
        }
    }
    return pic;
}

fs::path Corpus() { return fs::path(ZORVANE_SHARED_TESTDATA) / "bmp"; }

TEST(LayerBmpTest, GoodEightBitFilesReadAsThePlainLayoutSays) {
    if (!fs::is_directory(Corpus())) GTEST_SKIP() << "no BMP corpus";
    int eightBit = 0;
    for (const auto& f : fs::directory_iterator(Corpus() / "g")) {
        const auto bytes = Bytes(f.path());
        const LoadedPicture got = ReadLayerBmp(f.path().string());
        if (Le(bytes, 14, 4) == 12 ? Le(bytes, 24, 2) != 8 : Le(bytes, 28, 2) != 8) {
            EXPECT_FALSE(got.Indexed8) << f.path();
            continue;
        }
        ++eightBit;
        const LoadedPicture want = PlainRead8(bytes);
        ASSERT_TRUE(got.Indexed8) << f.path();
        EXPECT_EQ(got.Image.Width, want.Image.Width) << f.path();
        EXPECT_EQ(got.Image.Height, want.Image.Height) << f.path();
        EXPECT_TRUE(got.Image.Px == want.Image.Px) << f.path();
        EXPECT_TRUE(got.Palette == want.Palette) << f.path();
    }
    EXPECT_GE(eightBit, 10);
}

// Bad files: a clear error or "not 8-bit", never a picture; questionable
// ones may load but must not crash.
TEST(LayerBmpTest, BadFilesAreRefusedAndQuestionableOnesDoNotCrash) {
    if (!fs::is_directory(Corpus())) GTEST_SKIP() << "no BMP corpus";
    for (const auto& f : fs::directory_iterator(Corpus() / "b")) {
        if (f.path().filename() == "pal8badindex.bmp") {  // pixels past its short table: those are black
            const LoadedPicture got = ReadLayerBmp(f.path().string()), want = PlainRead8(Bytes(f.path()));
            EXPECT_TRUE(got.Image.Px == want.Image.Px && got.Palette == want.Palette);
            continue;
        }
        try {
            EXPECT_FALSE(ReadLayerBmp(f.path().string()).Indexed8) << f.path();
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(f.path().string()), std::string::npos);
        }
    }
    for (const auto& f : fs::directory_iterator(Corpus() / "q")) {
        try {
            const LoadedPicture pic = ReadLayerBmp(f.path().string());
            if (pic.Indexed8) {
                EXPECT_EQ(pic.Image.Px.size(), static_cast<std::size_t>(pic.Image.Width) * pic.Image.Height);
            }
        } catch (const Error&) {
        }
    }
}

// A written layer reads back the same; the same file cut anywhere inside
// its pixel data is refused.
TEST(LayerBmpTest, ExportReadsBackAndCutFilesAreRefused) {
    const fs::path dir = fs::temp_directory_path() / ("zorvane-layer-bmp-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::mt19937 rng(1);
    LayerImage img;
    img.Reset(96, 64);
    for (auto& v : img.Px) v = static_cast<std::uint8_t>(rng());
    EditorPalette pal;
    for (auto& c : pal) c = Rgb{static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng())};
    const std::string path = (dir / "layer.bmp").string();
    WriteLayerBmp(img, pal, path);
    const LoadedPicture back = ReadLayerBmp(path);
    ASSERT_TRUE(back.Indexed8);
    EXPECT_EQ(back.Image.Width, 96);
    EXPECT_TRUE(back.Image.Px == img.Px);
    EXPECT_TRUE(back.Palette == pal);
    EXPECT_EQ(Le(Bytes(path), 28, 2), 8u);  // stored as 8 bits per pixel

    const auto whole = Bytes(path);
    for (std::size_t cut : {whole.size() - 1, whole.size() - 96 * 10, std::size_t{1078 + 5}, std::size_t{60}, std::size_t{10}}) {
        const std::string shortPath = (dir / "short.bmp").string();
        std::ofstream(shortPath, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(whole.data()), static_cast<std::streamsize>(cut));
        EXPECT_THROW(ReadLayerBmp(shortPath), Error) << cut;
    }
    EXPECT_THROW(ReadLayerBmp((dir / "missing.bmp").string()), Error);
    fs::remove_all(dir);
}

// An 8-bit file whose colour table is shorter than the entries its pixels
// use: it reads, the missing entries black, as a layer and as a mask.
TEST(LayerBmpTest, PixelsPastAShortColourTableAreBlack) {
    const fs::path dir = fs::temp_directory_path() / ("zorvane-short-table-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    for (std::uint32_t colours : {1u, 5u, 200u}) {
        const int side = 32;
        std::vector<std::uint8_t> b(54 + colours * 4 + side * side);
        auto put = [&](std::size_t at, std::uint32_t v, int n) {
            for (int i = 0; i < n; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
        };
        b[0] = 'B', b[1] = 'M';
        put(2, static_cast<std::uint32_t>(b.size()), 4);
        put(10, 54 + colours * 4, 4);
        put(14, 40, 4), put(18, side, 4), put(22, side, 4), put(26, 1, 2), put(28, 8, 2), put(46, colours, 4);
        for (std::uint32_t i = 0; i < colours; ++i) put(54 + i * 4, 0x102030u + i * 0x010101u, 3);
        for (int i = 0; i < side * side; ++i)
            b[54 + colours * 4 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 7);
        const std::string path = (dir / "short.bmp").string();
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
        SCOPED_TRACE(colours);
        const LoadedPicture want = PlainRead8(b);
        const LoadedPicture got = ReadLayerBmp(path);
        ASSERT_TRUE(got.Indexed8);
        EXPECT_TRUE(got.Image.Px == want.Image.Px);
        EXPECT_TRUE(got.Palette == want.Palette);
        EXPECT_EQ(got.Palette[colours - 1].R, 0x10 + colours - 1) << "the table's own entries kept";
        EXPECT_EQ(got.Palette[255], Rgb{});
        const RgbPicture mask = ReadMaskBmp(path);
        ASSERT_EQ(mask.Px.size(), got.Image.Px.size());
        for (std::size_t i = 0; i < mask.Px.size(); ++i) ASSERT_EQ(mask.Px[i], want.Palette[got.Image.Px[i]]) << i;
    }
    fs::remove_all(dir);
}

}  // namespace
}  // namespace zorvane::editor
