#include "tile_editor/layer_bmp.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/error.h"
#include "platform/file_names.h"
#include "render/picture_file.h"

namespace zorvane::editor {

using render::SavePicture;

namespace {

std::uint32_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return U16(b, at) | (U16(b, at + 2) << 16);
}

// What the headers of an 8-bit file declare.
struct Declared {
    int BitCount = 0;
    long long Width = 0;
    long long Height = 0;  // rows, always positive
    bool TopDown = false;
    std::size_t Colours = 256;
    std::uint32_t Compression = 0;
    std::uint32_t PixelOffset = 0;
};

[[noreturn]] void Damaged(const std::string& path, const std::string& why) {
    throw Error("The bitmap file " + path + " is damaged: " + why + ".");
}

Declared ReadHeaders(const std::vector<std::uint8_t>& b, const std::string& path) {
    if (b.size() < 26 || b[0] != 'B' || b[1] != 'M') Damaged(path, "it is not a bitmap file");
    Declared d;
    d.PixelOffset = U32(b, 10);
    const std::uint32_t headerSize = U32(b, 14);
    if (headerSize < 12 || 14ull + headerSize > b.size()) Damaged(path, "its header is cut short");
    if (headerSize == 12) {
        d.Width = U16(b, 18);
        d.Height = U16(b, 20);
        d.BitCount = static_cast<int>(U16(b, 24));
    } else {
        if (headerSize < 16) Damaged(path, "its header is too small");
        d.Width = static_cast<std::int32_t>(U32(b, 18));
        d.Height = static_cast<std::int32_t>(U32(b, 22));
        d.BitCount = static_cast<int>(U16(b, 28));
        d.Compression = headerSize >= 20 ? U32(b, 30) : 0;
        if (d.Height < 0) {
            d.Height = -d.Height;
            d.TopDown = true;
        }
    }
    if (d.BitCount != 8) return d;
    if (d.Width <= 0 || d.Height <= 0) Damaged(path, "its size is not positive");
    if (d.Width * d.Height > (1ll << 28)) Damaged(path, "its size is beyond any tile");
    const std::size_t entry = headerSize == 12 ? 3 : 4;
    std::size_t& colours = d.Colours;
    if (headerSize >= 36 && U32(b, 46) != 0) colours = U32(b, 46);
    if (colours > 256) Damaged(path, "its palette is larger than 256 colours");
    if (d.PixelOffset < 14 + headerSize) Damaged(path, "its pixel data overlaps its header");
    // A palette without a stated size ends where the pixel data begins.
    const std::size_t room = (d.PixelOffset - 14 - headerSize) / entry;
    if (colours > room && (headerSize < 36 || U32(b, 46) == 0)) colours = room;
    // Qt reads an old-style (12-byte header) palette as 256 entries whatever
    // room the file gives it, and then the pixel data from the wrong place.
    if (headerSize == 12 && colours < 256) Damaged(path, "its old-style palette is shorter than 256 colours");
    if (14ull + headerSize + colours * entry > b.size() || d.PixelOffset > b.size())
        Damaged(path, "its palette is cut short");
    return d;
}

// The pixel data that the headers declare must lie in the file.
// Returns, for run-length data, which pixels the codes write (top row
// first): Qt leaves the others as they were allocated.
std::vector<bool> CheckPixelData(const std::vector<std::uint8_t>& b, const Declared& d, const std::string& path) {
    if (d.Compression == 0) {
        const unsigned long long stride = ((static_cast<unsigned long long>(d.Width) * 8 + 31) / 32) * 4;
        if (d.PixelOffset + stride * static_cast<unsigned long long>(d.Height) > b.size())
            Damaged(path, "its pixel data is cut short");
        return {};
    }
    if (d.Compression != 1) Damaged(path, "its compression is not supported");
    if (d.TopDown) Damaged(path, "its compressed rows run top-down");
    // Run-length data: walk the codes to the end-of-bitmap mark, in the file
    // and inside the picture.
    long long x = 0, y = 0;
    std::size_t at = d.PixelOffset;
    std::vector<bool> written(static_cast<std::size_t>(d.Width * d.Height), false);
    auto write = [&](long long n) {
        for (long long i = 0; i < n && x + i < d.Width && y < d.Height; ++i)
            written[static_cast<std::size_t>((d.Height - 1 - y) * d.Width + x + i)] = true;
    };
    for (;;) {
        if (at + 2 > b.size()) Damaged(path, "its compressed pixel data is cut short");
        const std::uint8_t count = b[at], code = b[at + 1];
        at += 2;
        if (count > 0) {
            write(count);
            x += count;
        } else if (code == 0) {
            x = 0;
            ++y;
        } else if (code == 1) {
            return written;
        } else if (code == 2) {
            if (at + 2 > b.size()) Damaged(path, "its compressed pixel data is cut short");
            x += b[at];
            y += b[at + 1];
            at += 2;
        } else {
            at += code + (code & 1u);
            if (at > b.size()) Damaged(path, "its compressed pixel data is cut short");
            write(code);
            x += code;
        }
        if (x > d.Width || y > d.Height || (y == d.Height && x > 0))
            Damaged(path, "its compressed pixel data leaves the picture");
    }
}

std::vector<std::uint8_t> ReadBmpBytes(const std::string& path) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    if (!in) throw Error("Cannot open the file " + path + ".");
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) throw Error("Cannot read the file " + path + ".");
    return bytes;
}

// Qt decodes the very bytes whose headers were checked.
QImage DecodeBmp(const std::vector<std::uint8_t>& bytes, const std::string& path) {
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "BMP");
    QImage img;
    if (!reader.read(&img)) Damaged(path, reader.errorString().toStdString());
    return img;
}

LoadedPicture DecodeLayer(const std::vector<std::uint8_t>& bytes, const Declared& d, const std::string& path) {
    LoadedPicture pic;
    const std::vector<bool> written = CheckPixelData(bytes, d, path);
    const QImage img = DecodeBmp(bytes, path);
    if (img.format() != QImage::Format_Indexed8 || img.width() != d.Width || img.height() != d.Height)
        Damaged(path, "its pixels could not be read as 8-bit palette indices");
    pic.Indexed8 = true;
    pic.Image.Reset(img.width(), img.height());
    for (int y = 0; y < img.height(); ++y)
        std::memcpy(&pic.Image.At(0, y), img.constScanLine(y), static_cast<std::size_t>(img.width()));
    if (!written.empty())
        for (std::size_t i = 0; i < written.size(); ++i)
            if (!written[i]) pic.Image.Px[i] = 0;
    // Pixels may name entries past a short colour table: those are black.
    const QList<QRgb> table = img.colorTable();
    pic.Palette.fill(Rgb{0, 0, 0});
    for (int i = 0; i < 256 && i < table.size() && i < static_cast<int>(d.Colours); ++i)
        pic.Palette[static_cast<std::size_t>(i)] = Rgb{static_cast<std::uint8_t>(qRed(table[i])),
                                                       static_cast<std::uint8_t>(qGreen(table[i])),
                                                       static_cast<std::uint8_t>(qBlue(table[i]))};
    return pic;
}

}  // namespace

LoadedPicture ReadLayerBmp(const std::string& path) {
    const std::vector<std::uint8_t> bytes = ReadBmpBytes(path);
    const Declared d = ReadHeaders(bytes, path);
    if (d.BitCount != 8) return {};  // not 8-bit: refused by the editor's checks
    return DecodeLayer(bytes, d, path);
}

void WriteLayerBmp(const LayerImage& image, const EditorPalette& palette, const std::string& path) {
    QImage img(image.Width, image.Height, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (const Rgb& c : palette) table.push_back(qRgb(c.R, c.G, c.B));
    img.setColorTable(table);
    for (int y = 0; y < image.Height; ++y)
        std::memcpy(img.scanLine(y), &image.Px[static_cast<std::size_t>(y) * image.Width], static_cast<std::size_t>(image.Width));
    SavePicture(img, path, "BMP");
}

RgbPicture ReadMaskBmp(const std::string& path) {
    const std::vector<std::uint8_t> bytes = ReadBmpBytes(path);
    const Declared d = ReadHeaders(bytes, path);
    if (d.BitCount == 8) {
        // Palette pictures go through the layer decoding and its checks.
        const LoadedPicture pic = DecodeLayer(bytes, d, path);
        RgbPicture mask;
        mask.Width = pic.Image.Width;
        mask.Height = pic.Image.Height;
        for (std::uint8_t v : pic.Image.Px) mask.Px.push_back(pic.Palette[v]);
        return mask;
    }
    if (d.Width <= 0 || d.Height <= 0) Damaged(path, "its size is not positive");
    if (d.Width * d.Height > (1ll << 28)) Damaged(path, "its size is beyond any tile");
    if (d.BitCount != 1 && d.BitCount != 4 && d.BitCount != 16 && d.BitCount != 24 && d.BitCount != 32)
        Damaged(path, "its colour depth is not one of a bitmap's");
    if (d.Compression != 0 && d.Compression != 3) Damaged(path, "its compression is not supported");
    const unsigned long long stride = ((static_cast<unsigned long long>(d.Width) * d.BitCount + 31) / 32) * 4;
    if (d.PixelOffset > bytes.size() || d.PixelOffset + stride * static_cast<unsigned long long>(d.Height) > bytes.size())
        Damaged(path, "its pixel data is cut short");
    const QImage img = DecodeBmp(bytes, path).convertToFormat(QImage::Format_RGB888);
    RgbPicture mask;
    mask.Width = img.width();
    mask.Height = img.height();
    mask.Px.reserve(static_cast<std::size_t>(mask.Width) * static_cast<std::size_t>(mask.Height));
    for (int y = 0; y < img.height(); ++y) {
        const uchar* row = img.constScanLine(y);
        for (int x = 0; x < img.width(); ++x) mask.Px.push_back(Rgb{row[3 * x], row[3 * x + 1], row[3 * x + 2]});
    }
    return mask;
}

void WriteMaskBmp(const RgbPicture& mask, const std::string& path) {
    QImage img(mask.Width, mask.Height, QImage::Format_RGB888);
    for (int y = 0; y < mask.Height; ++y) {
        uchar* row = img.scanLine(y);
        for (int x = 0; x < mask.Width; ++x) {
            const Rgb c = mask.Px[static_cast<std::size_t>(y) * mask.Width + x];
            row[3 * x] = c.R, row[3 * x + 1] = c.G, row[3 * x + 2] = c.B;
        }
    }
    SavePicture(img, path, "BMP");
}

}  // namespace zorvane::editor
