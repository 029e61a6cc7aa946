#include "editing/tile_order.h"

#include <algorithm>

namespace zorvane {

namespace {

bool ValidIndex(const Project& p, int i) { return i >= 0 && i < static_cast<int>(p.UsedTiles.size()); }

}  // namespace

int TileFromSq(const Project& project, int depthLimit, int x, int y, bool anySquare, bool skipSelected,
               bool skipUnselected) {
    const int top = std::min(static_cast<int>(project.UsedTiles.size()) - 1, depthLimit);
    for (int k = top; k >= 0; --k) {
        const MapTile& t = *project.UsedTiles[k];
        if (t.Selected ? skipSelected : skipUnselected) continue;
        if (t.Contains(x, y, anySquare ? TileArea::Rectangle : TileArea::Bitmaps)) return k;
    }
    return -1;
}

void OverwriteUsedTile(Project& project, int dest, int src) {
    if (!ValidIndex(project, dest) || !ValidIndex(project, src) || dest == src) return;
    auto copy = CopyTile(*project.UsedTiles[src]);
    copy->Selected = project.UsedTiles[src]->Selected;
    project.UsedTiles[dest] = std::move(copy);
}

void SwapTiles(Project& project, int a, int b, bool updateSelection) {
    if (!ValidIndex(project, a) || !ValidIndex(project, b) || a == b) return;
    std::swap(project.UsedTiles[a], project.UsedTiles[b]);
    if (!updateSelection) return;
    for (auto& e : project.Selection) {
        if (e.Index == a)
            e.Index = b;
        else if (e.Index == b)
            e.Index = a;
    }
}

void ShiftTileToId(Project& project, int start, int end) {
    if (!ValidIndex(project, start) || !ValidIndex(project, end) || start == end) return;
    auto first = project.UsedTiles.begin();
    if (start < end)
        std::rotate(first + start, first + start + 1, first + end + 1);
    else
        std::rotate(first + end, first + start, first + start + 1);
    for (auto& e : project.Selection) {
        if (e.Index == start)
            e.Index = end;
        else if (start < end && e.Index > start && e.Index <= end)
            --e.Index;
        else if (start > end && e.Index >= end && e.Index < start)
            ++e.Index;
    }
}

DepthBar UpdateSBDepth(const Project& project, EditState& state) {
    state.Depth.Maximum = std::max(static_cast<int>(project.UsedTiles.size()) - 1, 0);
    return SetDepthPosition(state, state.Depth.Position);
}

DepthBar SetDepthPosition(EditState& state, int position) {
    DepthBar& d = state.Depth;
    d.Position = std::clamp(position, 0, d.Maximum);
    d.DepthLimit = d.Maximum - d.Position;
    return d;
}

std::vector<char> ListedFlags(const Project& project) {
    std::vector<char> listed(project.UsedTiles.size(), 0);
    for (const auto& e : project.Selection) listed[e.Index] = 1;
    return listed;
}

void ApplyOrder(Project& project, std::span<const int> order) {
    const std::size_t n = project.UsedTiles.size();
    TileList arranged;
    arranged.reserve(n);
    std::vector<int> newIndex(n);
    for (std::size_t k = 0; k < n; ++k) {
        newIndex[order[k]] = static_cast<int>(k);
        arranged.push_back(std::move(project.UsedTiles[order[k]]));
    }
    project.UsedTiles = std::move(arranged);
    for (auto& e : project.Selection) e.Index = newIndex[e.Index];
}

SquareRect SelectionBounds(const Project& project) {
    if (project.Selection.empty()) return SquareRect::WholeMap(project);
    SquareRect r = SquareRect::Around(*project.UsedTiles[project.Selection.front().Index]);
    for (const auto& e : project.Selection) r = r.United(SquareRect::Around(*project.UsedTiles[e.Index]));
    return r;
}

void ClearSelection(Project& project) {
    for (const auto& e : project.Selection) project.UsedTiles[e.Index]->Selected = false;
    project.Selection.clear();
}

}  // namespace zorvane
