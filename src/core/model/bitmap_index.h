#pragma once
// Finds the lowest bitmap id whose pixels equal a given picture, in
// constant time: a content hash (xxHash) leads to the ids holding that hash,
// and the pixels are compared byte for byte, so the answer is exactly that of
// a scan from id 0. Every "first equal bitmap" search goes through it.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "model/project.h"

namespace zorvane {

class BitmapIndex {
public:
    // Indexes the project's bitmaps 0..BitmapCount-1.
    explicit BitmapIndex(const Project& project);

    // Lowest id with the same 1024 bytes, or -1.
    int Find(const std::uint8_t* pixels) const;
    // Takes in bitmap `id` of the project (added after construction, ids
    // ascending); a picture already indexed under a lower id is not added.
    void Add(int id);
    // Lowest id whose pixels equal those of bitmap `id` (id itself when it
    // has no lower twin); `id` must be indexed.
    int Canonical(int id) const { return Find(project_.Bitmap(id)); }

    static std::uint64_t Hash(const std::uint8_t* pixels);

private:
    const Project& project_;
    std::unordered_map<std::uint64_t, int> head_;  // hash -> lowest id with that hash
    std::vector<int> next_;                        // next id with the same hash, -1 at the end
};

}  // namespace zorvane
