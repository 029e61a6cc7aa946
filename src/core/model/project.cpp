#include "model/project.h"

#include <algorithm>
#include <cstring>

namespace zorvane {

MapTile::MapTile(int width, int height)
    : Sq(static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0))),
      Width(width), Height(height) {}

std::unique_ptr<MapTile> CopyTile(const MapTile& tile) {
    auto copy = std::make_unique<MapTile>(tile.Width, tile.Height);
    copy->Sq = tile.Sq;
    copy->X = tile.X;
    copy->Y = tile.Y;
    return copy;
}

namespace {
const std::array<std::uint8_t, BitmapBytes> kBlankBitmap{};
}

const std::uint8_t* Project::Bitmap(int id) const {
    if (id < 0 || id >= BitmapCount) return kBlankBitmap.data();
    return BitmapPx.data() + static_cast<std::size_t>(id) * BitmapBytes;
}

std::uint8_t* Project::MutableBitmap(int id) {
    return BitmapPx.data() + static_cast<std::size_t>(id) * BitmapBytes;
}

int Project::AddBitmap(const std::uint8_t* pixels) {
    if (BitmapCount >= MaxBitmaps) throw Error(TooManyBitmapsText);
    BitmapPixels copy;  // `pixels` may point into the table itself
    std::memcpy(copy.data(), pixels, BitmapBytes);
    BitmapPx.insert(BitmapPx.end(), copy.begin(), copy.end());
    return BitmapCount++;
}

void Project::SetBitmapCount(int count) {
    if (count < 0 || count > MaxBitmaps) throw Error(TooManyBitmapsText);
    BitmapPx.resize(static_cast<std::size_t>(count) * BitmapBytes, 0);
    BitmapCount = count;
}

void Project::TakeBitmapBytes(std::vector<std::uint8_t>&& pixels) {
    const std::size_t count = pixels.size() / BitmapBytes;
    if (count > static_cast<std::size_t>(MaxBitmaps)) throw Error(TooManyBitmapsText);
    pixels.resize(count * BitmapBytes);
    BitmapPx = std::move(pixels);
    BitmapCount = static_cast<int>(count);
}

void FlipBitmapRows(std::uint8_t* pixels) {
    for (int r = 0; r < BitmapSide / 2; ++r)
        std::swap_ranges(pixels + r * BitmapSide, pixels + (r + 1) * BitmapSide,
                         pixels + (BitmapSide - 1 - r) * BitmapSide);
}

}  // namespace zorvane
