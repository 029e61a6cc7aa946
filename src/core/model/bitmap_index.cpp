#include "model/bitmap_index.h"

#include <cstring>

#include <xxhash.h>

namespace zorvane {

BitmapIndex::BitmapIndex(const Project& project) : project_(project) {
    head_.reserve(static_cast<std::size_t>(project.BitmapCount));
    next_.reserve(static_cast<std::size_t>(project.BitmapCount));
    for (int id = 0; id < project.BitmapCount; ++id) Add(id);
}

std::uint64_t BitmapIndex::Hash(const std::uint8_t* pixels) { return XXH3_64bits(pixels, BitmapBytes); }

int BitmapIndex::Find(const std::uint8_t* pixels) const {
    auto it = head_.find(Hash(pixels));
    if (it == head_.end()) return -1;
    // Every picture is held once, under its lowest id, so the first id of the
    // chain whose bytes match is the answer; the chain order does not matter.
    for (int id = it->second; id >= 0; id = next_[static_cast<std::size_t>(id)])
        if (std::memcmp(project_.Bitmap(id), pixels, BitmapBytes) == 0) return id;
    return -1;
}

void BitmapIndex::Add(int id) {
    if (static_cast<std::size_t>(id) >= next_.size()) next_.resize(static_cast<std::size_t>(id) + 1, -1);
    const std::uint8_t* pixels = project_.Bitmap(id);
    auto [it, inserted] = head_.try_emplace(Hash(pixels), id);
    if (inserted) return;
    // Same hash: either a twin of a lower id (not indexed again) or a true
    // collision, chained right after the head.
    for (int other = it->second; other >= 0; other = next_[static_cast<std::size_t>(other)])
        if (std::memcmp(project_.Bitmap(other), pixels, BitmapBytes) == 0) return;
    next_[static_cast<std::size_t>(id)] = next_[static_cast<std::size_t>(it->second)];
    next_[static_cast<std::size_t>(it->second)] = id;
}

}  // namespace zorvane
