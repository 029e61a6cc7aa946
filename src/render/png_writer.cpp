#include "render/png_writer.h"

#include <zlib.h>

#include <QImage>

#include <algorithm>
#include <atomic>
#include <exception>
#include <string>
#include <system_error>
#include <thread>

#include "platform/error.h"

namespace zorvane::render {
namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Rows are stored unfiltered: the map's pictures repeat their 32-pixel
// squares exactly, and deflate finds those repeats in the plain bytes (a 206
// x 206 map: 7.4 MB at level 1 against 8.2 MB with "sub" and 8.4 MB with
// "up", and faster).
constexpr std::uint8_t kFilterNone = 0;
// Rows are converted and deflated this many bytes at a time.
constexpr std::size_t kBlockBytes = 256 * 1024;
// A strip of the picture deflated on its own; a picture under two of them
// is deflated whole on the calling thread.
constexpr std::size_t kStripBytes = 4 * 1024 * 1024;
// The compressed data is cut into IDAT chunks of at most this many bytes.
constexpr std::size_t kMaxChunkData = 1024 * 1024;

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t v) {
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
                                   static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
    out.insert(out.end(), bytes, bytes + 4);
}

// Appends chunks to a PNG file: length, type, data, then the CRC of type
// and data. Data may come in pieces; Cut ends a chunk and starts another of
// the same type, so that long data can be spread over several chunks.
class ChunkWriter {
public:
    explicit ChunkWriter(std::vector<std::uint8_t>& file) : file_(file) {}

    void Begin(const char* type) {
        start_ = file_.size();
        PutBigEndian(file_, 0);
        file_.insert(file_.end(), type, type + 4);
    }
    std::size_t DataSize() const { return file_.size() - start_ - 8; }
    void Append(const std::uint8_t* data, std::size_t size) { file_.insert(file_.end(), data, data + size); }
    void End() {
        const std::uint32_t size = static_cast<std::uint32_t>(DataSize());
        for (int i = 0; i < 4; ++i) file_[start_ + i] = static_cast<std::uint8_t>(size >> (24 - 8 * i));
        const uLong crc = crc32(0, file_.data() + start_ + 4, static_cast<uInt>(size + 4));
        PutBigEndian(file_, static_cast<std::uint32_t>(crc));
    }
    void Cut() {
        const char type[4] = {char(file_[start_ + 4]), char(file_[start_ + 5]), char(file_[start_ + 6]),
                              char(file_[start_ + 7])};
        End();
        Begin(type);
    }

private:
    std::vector<std::uint8_t>& file_;
    std::size_t start_ = 0;
};

// Appends `size` bytes to the open IDAT chunk, starting a new one whenever
// it holds kMaxChunkData bytes.
void AppendIdat(ChunkWriter& chunks, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        if (chunks.DataSize() == kMaxChunkData) chunks.Cut();
        const std::size_t n = std::min(size, kMaxChunkData - chunks.DataSize());
        chunks.Append(data, n);
        data += n;
        size -= n;
    }
}

// The rows of one picture as the PNG stores them: each row a filter byte,
// then its pixels' channels R, G, B (and A).
struct Rows {
    const QImage& image;  // Format_RGB32 or Format_ARGB32
    int channels;         // 3 or 4

    std::size_t RowBytes() const { return 1 + static_cast<std::size_t>(image.width()) * channels; }

    // Writes row `y` at `out`.
    void Write(int y, std::uint8_t* out) const {
        const auto* pixels = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        *out++ = kFilterNone;
        if (channels == 3)
            WritePixels<3>(pixels, image.width(), out);
        else
            WritePixels<4>(pixels, image.width(), out);
    }

    template <int Channels>
    static void WritePixels(const std::uint32_t* pixels, int w, std::uint8_t* out) {
        for (int x = 0; x < w; ++x, out += Channels) {
            const std::uint32_t c = pixels[x];  // 0xAARRGGBB
            out[0] = static_cast<std::uint8_t>(c >> 16);
            out[1] = static_cast<std::uint8_t>(c >> 8);
            out[2] = static_cast<std::uint8_t>(c);
            if constexpr (Channels == 4) out[3] = static_cast<std::uint8_t>(c >> 24);
        }
    }
};

// Rows y0..y1 (exclusive) deflated as a raw deflate stream that ends on a
// byte boundary (final block only when `last`), with the Adler-32 and length
// of the bytes deflated.
struct Strip {
    int y0 = 0, y1 = 0;
    bool last = false;
    std::vector<std::uint8_t> deflated;
    uLong adler = 1;
    std::size_t length = 0;
    std::exception_ptr failure;
};

void DeflateStrip(const Rows& rows, int level, Strip& strip) {
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw Error("Could not start compressing the picture (out of memory).");
    struct End {
        z_stream& z;
        ~End() { deflateEnd(&z); }
    } end{z};

    const std::size_t rowBytes = rows.RowBytes();
    const int rowsPerBlock = static_cast<int>(std::max<std::size_t>(1, kBlockBytes / rowBytes));
    std::vector<std::uint8_t> block(rowBytes * static_cast<std::size_t>(rowsPerBlock));
    const std::size_t stripBytes = rowBytes * static_cast<std::size_t>(strip.y1 - strip.y0);
    std::vector<std::uint8_t>& out = strip.deflated;
    // Stored blocks take their known size; compressed, a map takes about a
    // twentieth of its bytes, and the buffer doubles when that is too little.
    out.resize(level == 0 ? deflateBound(&z, static_cast<uLong>(stripBytes))
                          : std::max<std::size_t>(stripBytes / 16, 64 * 1024));
    std::size_t used = 0;

    for (int y = strip.y0; y < strip.y1;) {
        const int n = std::min(rowsPerBlock, strip.y1 - y);
        for (int i = 0; i < n; ++i) rows.Write(y + i, block.data() + static_cast<std::size_t>(i) * rowBytes);
        y += n;
        const std::size_t size = static_cast<std::size_t>(n) * rowBytes;
        strip.adler = adler32(strip.adler, block.data(), static_cast<uInt>(size));
        strip.length += size;
        const int flush = y < strip.y1 ? Z_NO_FLUSH : strip.last ? Z_FINISH : Z_SYNC_FLUSH;
        z.next_in = block.data();
        z.avail_in = static_cast<uInt>(size);
        for (;;) {
            if (used == out.size()) out.resize(out.size() * 2);
            const std::size_t room = std::min<std::size_t>(out.size() - used, 1u << 30);
            z.next_out = out.data() + used;
            z.avail_out = static_cast<uInt>(room);
            const int result = deflate(&z, flush);
            used += room - z.avail_out;
            if (result == Z_STREAM_ERROR) throw Error("Could not compress the picture.");
            // Done with this block once its input is taken and deflate had
            // room to spare (it has then written all it holds for the flush).
            if (z.avail_in == 0 && z.avail_out > 0 && (flush != Z_FINISH || result == Z_STREAM_END)) break;
        }
    }
    out.resize(used);
}

// Runs DeflateStrip on every strip, `threads` at a time (the caller's thread
// among them); the first failure is thrown once all have stopped.
void DeflateStrips(const Rows& rows, int level, std::vector<Strip>& strips, int threads) {
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i; (i = next++) < strips.size();) {
            try {
                DeflateStrip(rows, level, strips[i]);
            } catch (...) {
                strips[i].failure = std::current_exception();
            }
        }
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // the threads that did start (and this one) do all the strips
        }
    }
    work();
    for (std::thread& t : helpers) t.join();
    for (const Strip& s : strips)
        if (s.failure) std::rethrow_exception(s.failure);
}

std::vector<Strip> CutIntoStrips(int height, std::size_t rowBytes, int threads) {
    const std::size_t total = rowBytes * static_cast<std::size_t>(height);
    std::size_t count = std::clamp<std::size_t>(total / kStripBytes, 1, static_cast<std::size_t>(threads) * 4);
    if (threads <= 1) count = 1;
    count = std::min(count, static_cast<std::size_t>(height));
    std::vector<Strip> strips(count);
    for (std::size_t i = 0; i < count; ++i) {
        strips[i].y0 = static_cast<int>(height * i / count);
        strips[i].y1 = static_cast<int>(height * (i + 1) / count);
    }
    strips.back().last = true;
    return strips;
}

// The second byte of the zlib stream's header after 0x78 (deflate with a
// 32 KiB window): the level in two bits, and check bits that make the two
// bytes a multiple of 31.
std::uint8_t ZlibFlags(int level) {
    const int speed = level == -1 ? 2 : level <= 1 ? 0 : level <= 5 ? 1 : level == 6 ? 2 : 3;
    const int flags = speed << 6;
    return static_cast<std::uint8_t>(flags + (31 - (0x78 * 256 + flags) % 31) % 31);
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const QImage& image, const PngOptions& options) {
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        throw Error("The picture is empty: there is nothing to write as PNG.");
    if (options.compression < -1 || options.compression > 9)
        throw Error("The PNG compression level " + std::to_string(options.compression) +
                    " is not one of -1 to 9.");

    const bool alpha = image.hasAlphaChannel();
    const QImage::Format format = alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    const QImage converted = image.format() == format ? image : image.convertToFormat(format);
    if (converted.isNull()) throw Error("Could not convert the picture for PNG (out of memory).");
    const Rows rows{converted, alpha ? 4 : 3};

    int threads = options.threads > 0 ? options.threads : static_cast<int>(std::thread::hardware_concurrency());
    threads = std::max(threads, 1);
    std::vector<Strip> strips = CutIntoStrips(converted.height(), rows.RowBytes(), threads);
    DeflateStrips(rows, options.compression, strips, std::min(threads, static_cast<int>(strips.size())));

    std::size_t deflated = 6;  // the zlib header and checksum
    for (const Strip& strip : strips) deflated += strip.deflated.size();
    std::vector<std::uint8_t> file(kSignature, kSignature + 8);
    file.reserve(64 + deflated + (deflated / kMaxChunkData + 1) * 12);
    ChunkWriter chunks(file);

    chunks.Begin("IHDR");
    std::vector<std::uint8_t> header;
    PutBigEndian(header, static_cast<std::uint32_t>(converted.width()));
    PutBigEndian(header, static_cast<std::uint32_t>(converted.height()));
    header.insert(header.end(), {8, static_cast<std::uint8_t>(alpha ? 6 : 2), 0, 0, 0});
    chunks.Append(header.data(), header.size());
    chunks.End();

    // The strips joined are one zlib stream.
    chunks.Begin("IDAT");
    const std::uint8_t zlibHeader[2] = {0x78, ZlibFlags(options.compression)};
    AppendIdat(chunks, zlibHeader, 2);
    uLong adler = 1;
    for (Strip& strip : strips) {
        AppendIdat(chunks, strip.deflated.data(), strip.deflated.size());
        adler = adler32_combine(adler, strip.adler, static_cast<z_off_t>(strip.length));
        std::vector<std::uint8_t>().swap(strip.deflated);
    }
    std::vector<std::uint8_t> checksum;
    PutBigEndian(checksum, static_cast<std::uint32_t>(adler));
    AppendIdat(chunks, checksum.data(), checksum.size());
    chunks.End();

    chunks.Begin("IEND");
    chunks.End();
    return file;
}

}  // namespace zorvane::render
