#pragma once
// What one step did to a list of tiles (the used tiles or the tiles list),
// worked out by comparing the list with its image: the image remembers, for
// every tile as it stood after the last step, the tile's address (who it is)
// and its value. A tile that kept its address and its squares but stands
// elsewhere is a move; the tiles that kept their relative order stay put;
// every other tile is removed at its old index or added at its new one. So
// a step costs what it changed: a drag of 2,000 tiles keeps 2,000 indices.

#include <cstddef>
#include <vector>

#include "model/project.h"

namespace zorvane {

struct TileValue {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    std::vector<MapSquare> Sq;
    bool SameContent(const MapTile& t) const { return Width == t.Width && Height == t.Height && Sq == t.Sq; }
};

struct TileImage {
    const MapTile* Address = nullptr;  // only compared, never followed
    TileValue Value;
};
using ListImage = std::vector<TileImage>;

struct PlacedTile {
    int Index = 0;
    TileValue Value;
};

// Tiles moved by the same offset; indices in the list after the step.
struct MoveGroup {
    int Dx = 0;
    int Dy = 0;
    std::vector<int> Indices;
};

struct ListChange {
    std::vector<PlacedTile> Removed;  // indices before the step, ascending
    std::vector<PlacedTile> Added;    // indices after the step, ascending
    std::vector<MoveGroup> Moves;
    bool Empty() const { return Removed.empty() && Added.empty() && Moves.empty(); }
    std::size_t Bytes() const;
};

ListImage ImageOf(const TileList& list);
// The change from `image` to `list`; the image then shows the list.
ListChange DiffList(const TileList& list, ListImage& image);
// Does (Redo) or takes back (Undo) a change on the list and its image.
// Tiles put back come without the Selected flag.
enum class Direction { Undo, Redo };
void ApplyListChange(const ListChange& change, Direction direction, TileList& list, ListImage& image);

}  // namespace zorvane
