#pragma once
// Flattening: one ground id, one top id and one attribute per square from
// the whole stack of used tiles, making composite bitmaps where layered
// pictures have no equal among the bitmaps.
//
// The tiles are indexed by the squares they cover, and composites are found
// through the bitmap index, so the cost is proportional to the covered area
// rather than squares x tiles.

#include <cstdint>
#include <span>
#include <vector>

#include "model/bitmap_index.h"
#include "model/project.h"
#include "ui/ui.h"

namespace zorvane {

class Flattener {
public:
    // Indexes the used tiles of the map as they stand; the tiles must not
    // change while the flattener is in use (new bitmaps may be added).
    explicit Flattener(Project& project);

    // Composite of the ground (top) layers of square (x, y): the lowest equal
    // bitmap id, a new bitmap, or 65535 when the composite is all 0. Throws
    // Error(TooManyBitmapsText) when a new bitmap would pass the limit.
    // Squares off the map have no tiles.
    std::uint16_t FlatGndToBitmap(int x, int y);
    std::uint16_t FlatTopToBitmap(int x, int y);
    // Attribute of the highest tile square that has an attribute or a ground
    // bitmap; 3 (impassable) when there is none.
    std::uint8_t FlatAtrOfSq(int x, int y) const;

private:
    // What is known of one bitmap id: the id a lone picture of it flattens
    // to (its lowest twin, or 65535 when it is all 0) and whether it has no
    // transparent pixel (so that nothing below it shows).
    struct BitmapFacts {
        bool known = false;
        bool opaque = false;
        std::uint16_t alone = NoBitmap;
    };

    std::uint16_t Composite(int x, int y, bool top);
    const BitmapFacts& Facts(int id);
    // Used tile indices covering (x, y), bottom first.
    std::span<const int> TilesAt(int x, int y) const;
    void IndexTiles();

    Project& project_;
    BitmapIndex index_;
    std::vector<int> cellStart_;  // CSR: tiles of square i are cellTiles_[cellStart_[i] .. cellStart_[i+1])
    std::vector<int> cellTiles_;
    std::vector<BitmapFacts> facts_;
    std::vector<std::uint16_t> layers_;  // visible ids of one square, top first
    BitmapPixels scratch_{};
};

// Fills FlatSquares and returns whether bitmaps were added. When the
// composites would pass 65535 bitmaps it throws Error(TooManyBitmapsText)
// and leaves the bitmaps and FlatSquares as they were.
bool FlatMap(Project& project, UserInterface& ui);

}  // namespace zorvane
