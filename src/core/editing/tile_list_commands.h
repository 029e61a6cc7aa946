#pragma once
// The tiles list (Project::NewTiles) as a list the user rearranges: the
// primitives that reorder it, shaped like those of the used tiles
// (tile_order.h), and the commands behind the list's menu and its dragging.
//
// The list's selected item belongs to the window; the commands take it and
// return the item to select afterwards (-1: none). Every change of the list
// asks the window, through the interface, to rebuild the items it touched.
// Tiles on the map are copies: nothing here touches the used tiles.

#include "model/project.h"
#include "ui/ui.h"

namespace zorvane {

// --- Primitives ---------------------------------------------------------------

// The tile at `dest` becomes a copy of the tile at `src` (size, squares,
// Selected, X, Y); the source stays. Indices outside the list are ignored.
void OverwriteNewTile(Project& project, int dest, int src);

// Exchanges the size and squares of the two tiles (each slot keeps its X, Y
// and Selected), tells that entries a .. b changed (a step of a drag), and
// reports "Tile moved.".
void SwapNewTiles(Project& project, UserInterface& ui, int a, int b);

// Moves the tile at `start` to `end`; the tiles in between move one place
// towards `start`. Reports "Tile moved."; the caller rebuilds the items.
void ShiftNewTileToId(Project& project, UserInterface& ui, int start, int end);

// --- Commands -------------------------------------------------------------------

// Which tiles list commands can run: the three that open the tile editor
// only while it exists (Create Tile from Selection also needs a map
// selection); Edit, Move and Delete need a selected item within the list.
struct TilesListCommandState {
    bool AddNew = false;
    bool CreateFromSelection = false;
    bool Edit = false;
    bool Move = false;
    bool Delete = false;
};
struct TilesListContext {
    int SelectedItem = -1;
    bool TileEditorAvailable = false;
};
TilesListCommandState AvailableTilesListCommands(const Project& project, const TilesListContext& context);

// Reordering by dragging: the selected tile takes one step towards the item
// under the mouse (`under`, -1 for none), swapping places with its
// neighbour. The tile set then differs from its file: ZpModified is set and
// ZpPath emptied. Returns the item now selected.
int DragNewTileToward(Project& project, UserInterface& ui, int selected, int under);

// "Move Selected Tile" once the position was chosen (`to` = -1: cancelled):
// the selected tile moves to `to`, the items in between are rebuilt with
// progress, and item `to` is selected. The tile set file is not marked
// modified. Returns the item now selected.
int MoveNewTile(Project& project, UserInterface& ui, int selected, int to);

// "Delete Selected Tile": asks, and on Yes removes the tile from the list
// (ZpModified set, ZpPath emptied), rebuilds the items from it on with
// progress and reports "Tile deleted from the list.". The same item stays
// selected, or the one before when the last was deleted (-1 when the list
// is empty). Returns the item now selected.
int DeleteNewTile(Project& project, UserInterface& ui, int selected);

// Picking a placed tile from the map: the first tiles list entry with the
// same squares as used tile `usedTile`, or, when the list has none, a copy
// of it appended to the list (ZpModified set, ZpPath emptied, its item
// built). Returns the entry, -1 for no such used tile.
int PickUsedTile(Project& project, UserInterface& ui, int usedTile);

}  // namespace zorvane
