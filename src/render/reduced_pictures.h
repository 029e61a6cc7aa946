#pragma once
// Pictures of 32 x 32 bitmaps reduced to `side` x `side` pixels for a
// zoomed-out map view. Each reduced pixel is the rounded mean of the colours
// of the non-zero indices in the box of bitmap pixels it covers, so a field
// of grass keeps its colour and does not shimmer as it scrolls; a pixel whose
// box is mostly index 0 stays transparent (its top byte is 0, else 0xFF).
//
// The cache makes a bitmap's picture when first asked and keeps it until its
// key changes: the side, the colour table (palette and brightness), the row
// order, or the version of the bitmaps (BitmapInfo::Version, raised on every
// change of the tile set, undo and redo included). Callers call Prepare with
// the current key before any Get of a drawing.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zorvane::render {

// Writes the reduced picture of `pixels` (32 x 32 indices, rows flipped when
// `flip`) into `out` (side x side pixels), colours from `colours`.
void ReducePicture(const std::uint8_t* pixels, const std::uint32_t* colours, bool flip, int side,
                   std::uint32_t* out);

class ReducedPictures {
public:
    struct Key {
        int Side = 0;
        int Count = 0;  // pictures the cache may hold
        std::uint64_t Version = 0;
        bool Flip = false;
        std::array<std::uint32_t, 256> Colours{};
        bool operator==(const Key&) const = default;
    };

    void Prepare(const Key& key);
    // The reduced picture of picture `id` (0 <= id < Count) whose indices are
    // `pixels`; valid until the next Get.
    const std::uint32_t* Get(int id, const std::uint8_t* pixels);
    // Pictures made since the cache was last emptied.
    std::size_t Made() const { return made_; }

private:
    Key key_;
    std::vector<std::uint32_t> pixels_;  // the pictures made, one after the other
    std::vector<std::int32_t> slot_;     // for every id its place in pixels_, -1 before it is made
    std::size_t made_ = 0;
};

}  // namespace zorvane::render
