#include "editing/tile_list_commands.h"

#include <algorithm>
#include <utility>

namespace zorvane {

namespace {

int Count(const Project& p) { return static_cast<int>(p.NewTiles.size()); }
bool ValidItem(const Project& p, int i) { return i >= 0 && i < Count(p); }

// The tile set no longer matches the file it was read from.
void TileSetChanged(Project& p) {
    p.ZpModified = true;
    p.ZpPath.clear();
}

}  // namespace

void OverwriteNewTile(Project& project, int dest, int src) {
    if (!ValidItem(project, dest) || !ValidItem(project, src) || dest == src) return;
    auto copy = CopyTile(*project.NewTiles[src]);
    copy->Selected = project.NewTiles[src]->Selected;
    project.NewTiles[dest] = std::move(copy);
}

void SwapNewTiles(Project& project, UserInterface& ui, int a, int b) {
    if (!ValidItem(project, a) || !ValidItem(project, b) || a == b) return;
    MapTile& ta = *project.NewTiles[a];
    MapTile& tb = *project.NewTiles[b];
    std::swap(ta.Width, tb.Width);
    std::swap(ta.Height, tb.Height);
    std::swap(ta.Sq, tb.Sq);
    ui.changed(TilesListChanged(std::min(a, b), std::max(a, b), ChangeSource::Gesture));
    ui.setStatus("Tile moved.");
}

void ShiftNewTileToId(Project& project, UserInterface& ui, int start, int end) {
    if (!ValidItem(project, start) || !ValidItem(project, end) || start == end) return;
    auto first = project.NewTiles.begin();
    if (start < end)
        std::rotate(first + start, first + start + 1, first + end + 1);
    else
        std::rotate(first + end, first + start, first + start + 1);
    ui.setStatus("Tile moved.");
}

TilesListCommandState AvailableTilesListCommands(const Project& project, const TilesListContext& context) {
    const bool item = ValidItem(project, context.SelectedItem);
    const bool editor = context.TileEditorAvailable;
    return {editor, editor && !project.Selection.empty(), editor && item, item, item};
}

int DragNewTileToward(Project& project, UserInterface& ui, int selected, int under) {
    if (!ValidItem(project, selected) || !ValidItem(project, under) || under == selected) return selected;
    const int d = under > selected ? selected + 1 : selected - 1;
    SwapNewTiles(project, ui, selected, d);
    TileSetChanged(project);
    return d;
}

int MoveNewTile(Project& project, UserInterface& ui, int selected, int to) {
    if (!ValidItem(project, selected) || !ValidItem(project, to) || to == selected) return selected;
    ShiftNewTileToId(project, ui, selected, to);
    ui.changed(TilesListChanged(std::min(selected, to), std::max(selected, to), ChangeSource::Command));
    return to;
}

int DeleteNewTile(Project& project, UserInterface& ui, int selected) {
    if (!ValidItem(project, selected)) return selected;
    if (!ui.askYesNo("Deleting Tile", "Delete tile from list?")) return selected;
    project.NewTiles.erase(project.NewTiles.begin() + selected);
    TileSetChanged(project);
    ui.changed(TilesListChanged(selected, Count(project) - 1, ChangeSource::Command));
    ui.setStatus("Tile deleted from the list.");
    return std::min(selected, Count(project) - 1);
}

int PickUsedTile(Project& project, UserInterface& ui, int usedTile) {
    if (usedTile < 0 || usedTile >= static_cast<int>(project.UsedTiles.size())) return -1;
    const MapTile& placed = *project.UsedTiles[usedTile];
    for (int i = 0; i < Count(project); ++i)
        if (project.NewTiles[i]->SameContent(placed)) return i;
    auto copy = CopyTile(placed);
    copy->Selected = false;
    copy->X = copy->Y = 0;
    project.NewTiles.push_back(std::move(copy));
    TileSetChanged(project);
    ui.changed(TilesListChanged(Count(project) - 1, Count(project) - 1, ChangeSource::Gesture));
    return Count(project) - 1;
}

}  // namespace zorvane
