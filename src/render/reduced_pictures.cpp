#include "render/reduced_pictures.h"

namespace zorvane::render {

void ReducePicture(const std::uint8_t* pixels, const std::uint32_t* colours, bool flip, int side,
                   std::uint32_t* out) {
    for (int r = 0; r < side; ++r) {
        const int r0 = r * 32 / side, r1 = (r + 1) * 32 / side;
        for (int c = 0; c < side; ++c) {
            const int c0 = c * 32 / side, c1 = (c + 1) * 32 / side;
            unsigned red = 0, green = 0, blue = 0, n = 0;
            for (int y = r0; y < r1; ++y) {
                const std::uint8_t* row = pixels + (flip ? 31 - y : y) * 32;
                for (int x = c0; x < c1; ++x) {
                    if (const std::uint8_t v = row[x]) {
                        const std::uint32_t colour = colours[v];
                        red += (colour >> 16) & 0xFF;
                        green += (colour >> 8) & 0xFF;
                        blue += colour & 0xFF;
                        ++n;
                    }
                }
            }
            const unsigned area = static_cast<unsigned>((r1 - r0) * (c1 - c0));
            if (n == 0 || 2 * n < area) {
                out[r * side + c] = 0;
                continue;
            }
            auto mean = [n](unsigned sum) { return (sum + n / 2) / n; };
            out[r * side + c] = 0xFF000000u | (mean(red) << 16) | (mean(green) << 8) | mean(blue);
        }
    }
}

void ReducedPictures::Prepare(const Key& key) {
    if (key == key_) return;
    key_ = key;
    pixels_.clear();
    slot_.assign(static_cast<std::size_t>(key.Count), -1);
    made_ = 0;
}

const std::uint32_t* ReducedPictures::Get(int id, const std::uint8_t* pixels) {
    const std::size_t area = static_cast<std::size_t>(key_.Side) * key_.Side;
    if (slot_[id] < 0) {
        slot_[id] = static_cast<std::int32_t>(made_++);
        pixels_.resize(made_ * area);
        ReducePicture(pixels, key_.Colours.data(), key_.Flip, key_.Side, pixels_.data() + slot_[id] * area);
    }
    return pixels_.data() + slot_[id] * area;
}

}  // namespace zorvane::render
