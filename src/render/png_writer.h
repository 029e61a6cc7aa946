#pragma once
// Our own PNG encoder for the pictures the program writes. Qt's writer goes
// through libpng, whose adaptive row filtering tries every filter on every
// row and cost most of the time of writing a whole map (6592 x 6592 pixels
// for the largest). This one writes 8-bit truecolour (RGB, or RGBA when the
// picture has an alpha channel), not interlaced, every row unfiltered (the
// map repeats its 32-pixel squares, which deflate finds best in the plain
// bytes), deflated by zlib. A large picture is cut into horizontal
// strips deflated on several threads, each strip a deflate stream of its
// own ended on a byte boundary, so that the strips joined are one zlib
// stream; its Adler-32 is combined from the strips'.

#include <cstdint>
#include <vector>

class QImage;

namespace zorvane::render {

struct PngOptions {
    // zlib's level: 0 (stored, not compressed) to 9 (smallest, slowest);
    // -1 is zlib's default (6).
    int compression = -1;
    // Threads for the strips: 0 lets the encoder choose (one per core, and
    // one alone for a small picture).
    int threads = 0;
};

// The whole PNG file of `image`. Throws Error for a null or empty picture
// or a level outside -1..9.
std::vector<std::uint8_t> EncodePng(const QImage& image, const PngOptions& options = {});

}  // namespace zorvane::render
