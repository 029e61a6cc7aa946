// The selection, the click rules and the depth order of the selected tiles.
//
// Reordering commands work out the new order of the whole stack as one
// permutation and apply it once (ApplyOrder), so that their cost grows with
// the number of used tiles rather than with tiles x selected tiles; the
// result is the one the step-by-step rules give (moving one tile at a time
// with ShiftTileToId or SwapTiles).

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string>
#include <unordered_set>

#include "editing/map_editing.h"

namespace zorvane {

namespace {

std::int64_t SquareKey(int x, int y) {
    return (static_cast<std::int64_t>(x) << 32) ^ static_cast<std::uint32_t>(y);
}

bool Visible(const MapSquare& s) { return s.Gnd != NoBitmap || s.Top != NoBitmap; }

// The nearest used tile from `from` + step onwards (step +1 upwards, -1
// downwards) that has a visible square where a selected tile has one; -1
// when there is none.
int NearestOverlap(const Project& p, int from, int step) {
    std::unordered_set<std::int64_t> squares;
    int x0 = 0, x1 = -1, y0 = 0, y1 = -1;
    for (const auto& e : p.Selection) {
        const MapTile& t = *p.UsedTiles[e.Index];
        for (int c = 0; c < t.Width; ++c)
            for (int r = 0; r < t.Height; ++r) {
                if (!Visible(t.SqAt(c, r))) continue;
                const int x = t.X + c, y = t.Y + r;
                if (squares.empty()) x0 = x1 = x, y0 = y1 = y;
                squares.insert(SquareKey(x, y));
                x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
    }
    if (squares.empty()) return -1;
    const int count = static_cast<int>(p.UsedTiles.size());
    for (int k = from + step; k >= 0 && k < count; k += step) {
        const MapTile& t = *p.UsedTiles[k];
        if (!t.Overlaps(x0, x1, y0, y1)) continue;
        for (int x = std::max(x0, t.X); x <= std::min(x1, t.X + t.Width - 1); ++x)
            for (int y = std::max(y0, t.Y); y <= std::min(y1, t.Y + t.Height - 1); ++y)
                if (Visible(t.SqAt(x - t.X, y - t.Y)) && squares.count(SquareKey(x, y))) return k;
    }
    return -1;
}

// One depth step of the selection, worked out in "upward" positions: for a
// step down, position i stands for index count - 1 - i, which turns the
// downward rules into the upward ones.
void StepSelection(Project& p, bool up, bool skipNearest) {
    const int n = static_cast<int>(p.UsedTiles.size());
    const auto listed = ListedFlags(p);
    auto indexAt = [&](int i) { return up ? i : n - 1 - i; };
    std::vector<int> view(n);  // view[i]: the tile now at position i
    for (int i = 0; i < n; ++i) view[i] = indexAt(i);
    auto isListed = [&](int tile) { return listed[tile] != 0; };

    int hi = 0;  // highest selected position
    for (int i = 0; i < n; ++i)
        if (isListed(view[i])) hi = i;
    const int selected = static_cast<int>(p.Selection.size());

    bool moved = false;
    if (skipNearest) {
        // The block jumps up to the nearest tile that overlaps it and lands
        // directly under it, or packs under its highest member.
        const int k = NearestOverlap(p, indexAt(hi), up ? 1 : -1);
        const int target = k < 0 ? hi : indexAt(k);
        moved = !std::all_of(view.begin() + (target - selected + 1), view.begin() + target + 1, isListed);
        if (moved)
            std::stable_partition(view.begin(), view.begin() + target + 1, [&](int t) { return !isListed(t); });
    }
    if (!moved) {
        // Every run of selected tiles rises by one place.
        for (int a = n - 1; a >= 1; --a)
            if (isListed(view[a - 1]) && !isListed(view[a])) std::swap(view[a], view[a - 1]);
    }
    std::vector<int> order(n);
    for (int i = 0; i < n; ++i) order[indexAt(i)] = view[i];
    ApplyOrder(p, order);
}

// The selected tiles, in selection order, on top of (or under) all others.
void MoveSelectionToEnd(Project& p, bool top) {
    const auto listed = ListedFlags(p);
    std::vector<int> order;
    order.reserve(p.UsedTiles.size());
    auto addSelected = [&] {
        for (const auto& e : p.Selection) order.push_back(e.Index);
    };
    if (!top) addSelected();
    for (int k = 0; k < static_cast<int>(listed.size()); ++k)
        if (!listed[k]) order.push_back(k);
    if (top) addSelected();
    ApplyOrder(p, order);
}

}  // namespace

MapChange MapEditing::SelectTile(int index, bool redraw) {
    MapChange r;
    if (index < 0 || index >= static_cast<int>(p_.UsedTiles.size())) return r;
    MapTile& t = *p_.UsedTiles[index];
    if (t.Selected) return r;  // already listed; its look stays
    t.Selected = true;
    const bool listed = std::any_of(p_.Selection.begin(), p_.Selection.end(),
                                    [&](const SelectionEntry& e) { return e.Index == index; });
    if (!listed) p_.Selection.push_back({index, t.X, t.Y});
    if (redraw) r.Add(SquareRect::Around(t));
    return r;
}

MapChange MapEditing::DeselectTile(int index) {
    MapChange r;
    if (index < 0 || index >= static_cast<int>(p_.UsedTiles.size())) return r;
    MapTile& t = *p_.UsedTiles[index];
    if (!t.Selected) return r;
    t.Selected = false;
    std::erase_if(p_.Selection, [&](const SelectionEntry& e) { return e.Index == index; });
    r.Add(SquareRect::Around(t));
    return r;
}

MapChange MapEditing::SelectAll() {
    p_.Selection.clear();
    p_.Selection.reserve(p_.UsedTiles.size());
    for (int k = 0; k < static_cast<int>(p_.UsedTiles.size()); ++k) {
        MapTile& t = *p_.UsedTiles[k];
        t.Selected = true;
        p_.Selection.push_back({k, t.X, t.Y});
    }
    MapChange r;
    r.Everywhere = true;
    return r;
}

MapChange MapEditing::LeftClickOn(int x, int y, Modifiers keys) {
    if (s_.DragState != DragIdle) return SelDragDrop();
    MapChange r;
    if (!keys.Ctrl && !keys.Shift) r.Merge(SelectTile(TileFromSq(x, y, keys.Alt, keys.Alt, false), true));
    if (keys.Ctrl && !keys.Shift) r.Merge(SelDragStart(x, y));
    if (keys.Shift && !keys.Ctrl) r.Merge(SelectionStepUp(true));
    return r;
}

MapChange MapEditing::RightClickOn(int x, int y, Modifiers keys) {
    if (s_.DragState == DragMoving) return SelDragCancel();
    if (s_.DragState == DragPlacing) return CancelNew();
    MapChange r;
    if (!keys.Ctrl && !keys.Shift) r.Merge(DeselectTile(TileFromSq(x, y, keys.Alt, false, keys.Alt)));
    if (keys.Shift && !keys.Ctrl) r.Merge(SelectionStepDown(true));
    return r;
}

void MapEditing::ReportStep(const char* text) {
    int lo = p_.Selection.front().Index, hi = lo;
    for (const auto& e : p_.Selection) lo = std::min(lo, e.Index), hi = std::max(hi, e.Index);
    std::string status = text;
    status += " (";
    if (lo != hi) status += std::to_string(lo) + " ... ";
    status += std::to_string(hi) + ")";
    ui_.setStatus(status);
}

MapChange MapEditing::SelectionStepUp(bool redraw) {
    MapChange r;
    if (p_.Selection.empty()) return r;
    StepSelection(p_, true, s_.SkipNearest);
    ReportStep("selection moved up.");
    ui_.processEvents();
    if (redraw) r.Add(SelectionBounds(p_));
    return r;
}

MapChange MapEditing::SelectionStepDown(bool redraw) {
    MapChange r;
    if (p_.Selection.empty()) return r;
    StepSelection(p_, false, s_.SkipNearest);
    ReportStep("selection moved down.");
    ui_.processEvents();
    if (redraw) r.Add(SelectionBounds(p_));
    return r;
}

MapChange MapEditing::SelectionToTop() {
    MapChange r;
    if (p_.Selection.empty()) return r;
    MoveSelectionToEnd(p_, true);
    r.Add(SelectionBounds(p_));
    ui_.setStatus("selection moved to top.");
    return r;
}

MapChange MapEditing::SelectionToBottom() {
    MapChange r;
    if (p_.Selection.empty()) return r;
    MoveSelectionToEnd(p_, false);
    r.Add(SelectionBounds(p_));
    ui_.setStatus("selection moved to bottom.");
    return r;
}

MapChange MapEditing::UpdateSBDepth(bool redraw) {
    MapChange r = DepthChanged();
    r.Everywhere = redraw;
    return r;
}

MapChange MapEditing::DepthChanged() {
    zorvane::UpdateSBDepth(p_, s_);
    MapChange r;
    r.TileCountChanged = true;
    return r;
}

}  // namespace zorvane
