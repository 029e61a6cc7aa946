#pragma once
// Finds a tile of the same size and squares among the tiles of a list
// through a hash of their content; the tiles stay owned by their list.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include <xxhash.h>

#include "model/project.h"

namespace zorvane {

class TileCatalogue {
public:
    explicit TileCatalogue(const TileList& tiles) {
        byHash_.reserve(tiles.size());
        for (const auto& t : tiles) Add(*t);
    }
    bool Contains(const MapTile& tile) {
        auto [first, last] = byHash_.equal_range(Hash(tile));
        for (auto it = first; it != last; ++it)
            if (it->second->SameContent(tile)) return true;
        return false;
    }
    // The tile must outlive the catalogue.
    void Add(const MapTile& tile) { byHash_.emplace(Hash(tile), &tile); }

private:
    std::uint64_t Hash(const MapTile& tile) {
        buffer_.clear();
        auto put16 = [&](std::uint16_t v) {
            buffer_.push_back(static_cast<std::uint8_t>(v & 0xFF));
            buffer_.push_back(static_cast<std::uint8_t>(v >> 8));
        };
        put16(static_cast<std::uint16_t>(tile.Width));
        put16(static_cast<std::uint16_t>(tile.Height));
        for (const MapSquare& s : tile.Sq) {
            put16(s.Gnd);
            put16(s.Top);
            buffer_.push_back(s.Atr);
        }
        return XXH3_64bits(buffer_.data(), buffer_.size());
    }

    std::unordered_multimap<std::uint64_t, const MapTile*> byHash_;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace zorvane
