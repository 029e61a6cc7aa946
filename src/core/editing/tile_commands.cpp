// Dragging the selection, placing a tile from the tiles list, cloning,
// splitting and deleting.

#include <algorithm>
#include <optional>
#include <string>
#include <unordered_set>

#include "editing/map_editing.h"

namespace zorvane {

namespace {

// n / 2 rounded to the nearest integer, halves to the even neighbour (n >= 0).
int HalfRoundedToEven(int n) {
    int h = n / 2;
    if (n % 2 != 0 && h % 2 != 0) ++h;
    return h;
}

// The single-square tiles that replace a multi-square tile: one per square
// with a bitmap or an attribute, row by row.
TileList SquaresOf(const MapTile& t) {
    TileList parts;
    for (int r = 0; r < t.Height; ++r)
        for (int c = 0; c < t.Width; ++c) {
            const MapSquare& s = t.SqAt(c, r);
            if (s.Gnd == NoBitmap && s.Top == NoBitmap && s.Atr == 0) continue;
            auto part = std::make_unique<MapTile>(1, 1);
            part->Sq[0] = s;
            part->X = t.X + c;
            part->Y = t.Y + r;
            parts.push_back(std::move(part));
        }
    return parts;
}

}  // namespace

std::unordered_set<const MapTile*> MapEditing::PlacedSet() const {
    return {s_.PlacedTiles.begin(), s_.PlacedTiles.end()};
}

// Ends a drag or a placement. Placed tiles that are still listed get their
// Selected flag back, since they are no longer being placed.
void MapEditing::EndDrag() {
    if (s_.DragState == DragPlacing) {
        const auto placed = PlacedSet();
        for (const auto& e : p_.Selection)
            if (placed.count(p_.UsedTiles[e.Index].get())) p_.UsedTiles[e.Index]->Selected = true;
    }
    s_.DragState = DragIdle;
    s_.PlacedTiles.clear();
}

void MapEditing::AbandonDrag() { EndDrag(); }

MapChange MapEditing::SelDragStart(int x, int y) {
    EndDrag();
    s_.DragState = DragMoving;
    s_.DragStartX = x;
    s_.DragStartY = y;
    MapChange r;
    r.Add(SelectionBounds(p_));
    return r;
}

MapChange MapEditing::SelDragOver(int x, int y) {
    MapChange r;
    if (s_.DragState == DragIdle || p_.Selection.empty()) return r;
    const SquareRect before = SelectionBounds(p_);
    bool moved = false;
    for (const auto& e : p_.Selection) {
        MapTile& t = *p_.UsedTiles[e.Index];
        const int nx = e.OrigX + x - s_.DragStartX, ny = e.OrigY + y - s_.DragStartY;
        moved = moved || nx != t.X || ny != t.Y;
        t.X = nx;
        t.Y = ny;
    }
    if (moved) r.Add(before.United(SelectionBounds(p_)));
    return r;
}

MapChange MapEditing::SelDragDrop() {
    for (auto& e : p_.Selection) {
        e.OrigX = p_.UsedTiles[e.Index]->X;
        e.OrigY = p_.UsedTiles[e.Index]->Y;
    }
    if (s_.DragState == DragPlacing) ClearSelection(p_);  // the placed tile ends unselected
    EndDrag();
    MapChange r = DepthChanged();
    r.Add(SelectionBounds(p_));
    ui_.setStatus("tile dropped.");
    return r;
}

MapChange MapEditing::SelDragCancel() {
    const SquareRect before = SelectionBounds(p_);
    for (const auto& e : p_.Selection) {
        p_.UsedTiles[e.Index]->X = e.OrigX;
        p_.UsedTiles[e.Index]->Y = e.OrigY;
    }
    EndDrag();
    const SquareRect after = SelectionBounds(p_);
    MapChange r;
    if (before.Meets(after)) {
        r.Add(before.United(after));
    } else {
        r.Add(before);
        r.Add(after);
    }
    return r;
}

MapChange MapEditing::StoreNew(int index, int scrollX, int scrollY) {
    MapChange r;
    if (index < 0 || index >= static_cast<int>(p_.NewTiles.size())) return r;
    if (s_.DragState == DragMoving) r.Merge(SelDragCancel());
    if (s_.DragState == DragPlacing) r.Merge(CancelNew());
    if (!p_.Selection.empty()) r.Add(SelectionBounds(p_));  // their highlight goes
    ClearSelection(p_);

    auto tile = CopyTile(*p_.NewTiles[index]);
    tile->X = scrollX;
    tile->Y = scrollY;
    MapTile& placed = *tile;
    p_.UsedTiles.push_back(std::move(tile));
    p_.Selection.push_back({static_cast<int>(p_.UsedTiles.size()) - 1, scrollX, scrollY});
    placed.Selected = false;  // moves with the selection but is drawn plainly

    s_.DragState = DragPlacing;
    s_.PlacedTiles = {&placed};
    // On the first mouse movement the tile's middle square jumps under the mouse.
    s_.DragStartX = HalfRoundedToEven(placed.Width) + scrollX;
    s_.DragStartY = HalfRoundedToEven(placed.Height) + scrollY;
    r.Merge(DepthChanged());
    r.Add(SquareRect::Around(placed));
    return r;
}

MapChange MapEditing::CancelNew() {
    MapChange r;
    if (s_.DragState != DragPlacing) return r;
    // Other listed tiles (a selection made during the placement) lose their highlight.
    const bool othersHighlighted = std::any_of(p_.Selection.begin(), p_.Selection.end(), [&](const SelectionEntry& e) {
        return p_.UsedTiles[e.Index]->Selected;
    });
    if (othersHighlighted) r.Add(SelectionBounds(p_));
    ClearSelection(p_);
    // The placed tile, or all its squares when it was split.
    const auto placed = PlacedSet();
    std::optional<SquareRect> where;
    for (const auto& t : p_.UsedTiles)
        if (placed.count(t.get())) where = where ? where->United(SquareRect::Around(*t)) : SquareRect::Around(*t);
    if (where) r.Add(*where);
    std::erase_if(p_.UsedTiles, [&](const auto& t) { return placed.count(t.get()) != 0; });
    EndDrag();
    r.Merge(DepthChanged());
    return r;
}

MapChange MapEditing::CloneSelected(int mouseX, int mouseY) {
    MapChange r;
    r.Add(SelectionBounds(p_));
    auto& sel = p_.Selection;
    std::sort(sel.begin(), sel.end(), [](const auto& a, const auto& b) { return a.Index < b.Index; });
    const int base = static_cast<int>(p_.UsedTiles.size());
    for (int k = 0; k < static_cast<int>(sel.size()); ++k) {
        MapTile& source = *p_.UsedTiles[sel[k].Index];
        auto copy = CopyTile(source);
        copy->Selected = true;
        source.Selected = false;
        // The copies start exactly over their sources, also when the sources
        // were being dragged: a right click puts them back there.
        sel[k] = {base + k, source.X, source.Y};
        p_.UsedTiles.push_back(std::move(copy));
    }
    r.Merge(SelDragStart(mouseX, mouseY));
    r.Merge(DepthChanged());
    ui_.processEvents();
    ui_.setStatus(std::to_string(sel.size()) + " tiles cloned");
    return r;
}

MapChange MapEditing::SplitSelected() {
    MapChange r;
    if (p_.Selection.empty()) return r;
    // Every square whose highlight changes lies in a formerly selected tile.
    r.Add(SelectionBounds(p_));

    struct Split {
        int index;       // the source's index before the split
        int dx, dy;      // how far the source stands from its drag origin
        TileList parts;
        int first = 0;   // index of the first part afterwards
    };
    std::vector<Split> splits;
    std::vector<int> splitOf(p_.UsedTiles.size(), -1);
    for (const auto& e : p_.Selection) {
        const MapTile& t = *p_.UsedTiles[e.Index];
        if (t.Width <= 1 && t.Height <= 1) continue;
        TileList parts = SquaresOf(t);
        if (parts.empty()) continue;
        splitOf[e.Index] = static_cast<int>(splits.size());
        splits.push_back({e.Index, t.X - e.OrigX, t.Y - e.OrigY, std::move(parts)});
    }
    ClearSelection(p_);
    if (splits.empty()) return r;

    // Each split tile is replaced, at its own depth, by its parts. The parts
    // of a placed tile are placed in its stead: they go on following the
    // mouse, and a right click removes them all.
    const auto placed = PlacedSet();
    TileList arranged;
    for (int k = 0; k < static_cast<int>(p_.UsedTiles.size()); ++k) {
        if (splitOf[k] < 0) {
            arranged.push_back(std::move(p_.UsedTiles[k]));
            continue;
        }
        Split& s = splits[splitOf[k]];
        if (placed.count(p_.UsedTiles[k].get())) {
            std::erase(s_.PlacedTiles, p_.UsedTiles[k].get());
            for (const auto& part : s.parts) s_.PlacedTiles.push_back(part.get());
        }
        s.first = static_cast<int>(arranged.size());
        for (auto& part : s.parts) arranged.push_back(std::move(part));
    }
    p_.UsedTiles = std::move(arranged);

    // The new single-square tiles, and only they, are selected, in creation order.
    for (const auto& s : splits)
        for (int j = 0; j < static_cast<int>(s.parts.size()); ++j) {
            MapTile& part = *p_.UsedTiles[s.first + j];
            part.Selected = true;
            p_.Selection.push_back({s.first + j, part.X - s.dx, part.Y - s.dy});
        }
    r.Merge(DepthChanged());
    return r;
}

MapChange MapEditing::DeleteSelected(bool redraw) {
    MapChange r;
    if (p_.Selection.empty()) return r;
    const SquareRect bounds = SelectionBounds(p_);
    const auto listed = ListedFlags(p_);
    std::size_t kept = 0;
    for (std::size_t k = 0; k < listed.size(); ++k)
        if (!listed[k]) p_.UsedTiles[kept++] = std::move(p_.UsedTiles[k]);
    p_.UsedTiles.resize(kept);
    p_.Selection.clear();
    s_.DragState = DragIdle;
    s_.PlacedTiles.clear();
    r.Merge(DepthChanged());
    if (redraw) r.Add(bounds);
    ui_.setStatus("selection deleted.");
    return r;
}

}  // namespace zorvane
