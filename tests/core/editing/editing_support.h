#pragma once
// Stacks of used tiles for the editing tests, and a check of the selection
// rules that every editing command must keep.

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <set>
#include <sstream>
#include <string>

#include "builders.h"
#include "editing/map_editing.h"
#include "fake_ui.h"

namespace zorvane {
inline void PrintTo(const SquareRect& r, std::ostream* os) {
    *os << "{" << r.X0 << ".." << r.X1 << ", " << r.Y0 << ".." << r.Y1 << "}";
}
}  // namespace zorvane

namespace zorvane::testing {

using Ints = std::vector<int>;
using Rects = std::vector<SquareRect>;

inline bool HasRect(const MapChange& r, const SquareRect& rect) {
    return std::find(r.Areas.begin(), r.Areas.end(), rect) != r.Areas.end();
}

// A project, its editing state and a scripted interface, bound together.
struct EditBench {
    Project p;
    EditState s;
    FakeUi ui;
    MapEditing ed{p, s, ui};

    EditBench() {
        p.MapWidth = p.MapHeight = 20;
        p.NoProject = false;
    }
    // Appends a tile whose squares all carry ground id `gnd` (so that the
    // tile can be told by its id) and returns its index.
    int Add(int w, int h, int x, int y, std::uint16_t gnd) {
        p.UsedTiles.push_back(MakeTile(w, h, x, y, gnd));
        zorvane::UpdateSBDepth(p, s);
        return static_cast<int>(p.UsedTiles.size()) - 1;
    }
    // The ground id of the first square of every used tile, bottom first.
    std::vector<int> Ids() const {
        std::vector<int> ids;
        for (const auto& t : p.UsedTiles) ids.push_back(t->Sq[0].Gnd);
        return ids;
    }
    std::vector<int> SelectedIndices() const {
        std::vector<int> v;
        for (const auto& e : p.Selection) v.push_back(e.Index);
        return v;
    }
};

// Everything wrong with the selection, or "" when it keeps its rules:
// valid unique entries, Selected set exactly for listed tiles (the tile being
// placed excepted), the placed tiles known only while placing and all on the
// map, and the depth bar in step with the number of used tiles.
inline std::string SelectionFaults(const Project& p, const EditState& s) {
    std::ostringstream out;
    const int n = static_cast<int>(p.UsedTiles.size());
    std::vector<int> listed(n, 0);
    for (const auto& e : p.Selection) {
        if (e.Index < 0 || e.Index >= n) {
            out << "entry index " << e.Index << " outside 0.." << n - 1 << "; ";
            continue;
        }
        if (listed[e.Index]++) out << "tile " << e.Index << " listed twice; ";
    }
    const std::set<const MapTile*> placedTiles(s.PlacedTiles.begin(), s.PlacedTiles.end());
    std::size_t placedOnMap = 0;
    for (int k = 0; k < n; ++k) {
        const MapTile* t = p.UsedTiles[k].get();
        const bool placed = s.DragState == DragPlacing && placedTiles.count(t);
        placedOnMap += placedTiles.count(t);
        if (t->Selected && !listed[k]) out << "tile " << k << " selected but not listed; ";
        if (!t->Selected && listed[k] && !placed) out << "tile " << k << " listed but not selected; ";
    }
    if (!s.PlacedTiles.empty() && s.DragState != DragPlacing) out << "placed tiles kept outside a placement; ";
    if (placedOnMap != s.PlacedTiles.size()) out << "a placed tile is not on the map; ";
    if (s.Depth.Maximum != std::max(n - 1, 0)) out << "depth bar maximum " << s.Depth.Maximum << " for " << n << " tiles; ";
    if (s.Depth.DepthLimit != s.Depth.Maximum - s.Depth.Position) out << "depth limit out of step; ";
    return out.str();
}

}  // namespace zorvane::testing
