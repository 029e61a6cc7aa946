#pragma once
// What an editing operation asks the map view to draw again.
//
// Every change of the map's tiles reports the squares whose look may have
// changed, as rectangles of map squares in the form the view's Render takes
// them (first and last column, first and last row, both ends inclusive), or
// asks for a full view redraw. An edited tile's rectangle is grown by
// RedrawMargin squares on every side.

#include <algorithm>
#include <vector>

#include "model/project.h"

namespace zorvane {

inline constexpr int RedrawMargin = 3;

struct DirtyRect {
    int X0 = 0;  // first column
    int X1 = 0;  // last column
    int Y0 = 0;  // first row
    int Y1 = 0;  // last row

    // The tile's rectangle grown by RedrawMargin: columns X - 3 .. X + Width + 3.
    static DirtyRect Around(const MapTile& t) {
        return {t.X - RedrawMargin, t.X + t.Width + RedrawMargin, t.Y - RedrawMargin, t.Y + t.Height + RedrawMargin};
    }
    // Columns 0 .. MapWidth, rows 0 .. MapHeight.
    static DirtyRect WholeMap(const Project& p) { return {0, p.MapWidth, 0, p.MapHeight}; }

    DirtyRect United(const DirtyRect& o) const {
        return {std::min(X0, o.X0), std::max(X1, o.X1), std::min(Y0, o.Y0), std::max(Y1, o.Y1)};
    }
    bool Meets(const DirtyRect& o) const { return X0 <= o.X1 && o.X0 <= X1 && Y0 <= o.Y1 && o.Y0 <= Y1; }
    friend bool operator==(const DirtyRect&, const DirtyRect&) = default;
};

// The outcome of one operation for the window: which squares to draw again,
// whether the whole view is to be drawn, and whether the number of used
// tiles changed so that the depth bar must take its new range.
struct Redraw {
    bool FullView = false;
    std::vector<DirtyRect> Rects;
    bool DepthBarChanged = false;

    void Add(const DirtyRect& r) { Rects.push_back(r); }
    void Merge(const Redraw& o) {
        FullView = FullView || o.FullView;
        DepthBarChanged = DepthBarChanged || o.DepthBarChanged;
        Rects.insert(Rects.end(), o.Rects.begin(), o.Rects.end());
    }
    bool Nothing() const { return !FullView && Rects.empty(); }
};

}  // namespace zorvane
