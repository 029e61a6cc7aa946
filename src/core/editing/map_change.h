#pragma once
// What an editing operation changed on the map, as the operation reports it
// to the windows (which decide what to draw again).
//
// Every change of the map's tiles reports the squares whose look may have
// changed, as rectangles of map squares (first and last column, first and
// last row, both ends inclusive), or that it may have changed anywhere. An
// edited tile's rectangle is grown by RedrawMargin squares on every side,
// for what is drawn over its neighbours.

#include <algorithm>
#include <vector>

#include "model/project.h"

namespace zorvane {

inline constexpr int RedrawMargin = 3;

struct SquareRect {
    int X0 = 0;  // first column
    int X1 = 0;  // last column
    int Y0 = 0;  // first row
    int Y1 = 0;  // last row

    // The tile's rectangle grown by RedrawMargin: columns X - 3 .. X + Width + 3.
    static SquareRect Around(const MapTile& t) {
        return {t.X - RedrawMargin, t.X + t.Width + RedrawMargin, t.Y - RedrawMargin, t.Y + t.Height + RedrawMargin};
    }
    // Columns 0 .. MapWidth, rows 0 .. MapHeight.
    static SquareRect WholeMap(const Project& p) { return {0, p.MapWidth, 0, p.MapHeight}; }

    SquareRect United(const SquareRect& o) const {
        return {std::min(X0, o.X0), std::max(X1, o.X1), std::min(Y0, o.Y0), std::max(Y1, o.Y1)};
    }
    bool Meets(const SquareRect& o) const { return X0 <= o.X1 && o.X0 <= X1 && Y0 <= o.Y1 && o.Y0 <= Y1; }
    friend bool operator==(const SquareRect&, const SquareRect&) = default;
};

// The outcome of one operation: where the map's look changed, and whether
// the number of used tiles changed (the depth range with it).
struct MapChange {
    bool Everywhere = false;          // anywhere on the map
    std::vector<SquareRect> Areas;    // else in these rectangles (none: nowhere)
    bool TileCountChanged = false;    // EditState::Depth took the new count

    void Add(const SquareRect& r) { Areas.push_back(r); }
    void Merge(const MapChange& o) {
        Everywhere = Everywhere || o.Everywhere;
        TileCountChanged = TileCountChanged || o.TileCountChanged;
        Areas.insert(Areas.end(), o.Areas.begin(), o.Areas.end());
    }
    bool Nothing() const { return !Everywhere && Areas.empty(); }
};

}  // namespace zorvane
