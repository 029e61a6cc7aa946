#pragma once
// The used tiles as a stack (index 0 at the bottom, drawn first): picking a
// tile under a square, the list primitives that every reordering uses, the
// depth bar, and the helpers the editing commands share.
//
// Selection entries always follow their tiles: an operation that moves tiles
// inside UsedTiles rewrites the entries' indices so that each entry still
// refers to the same tile.

#include <span>
#include <vector>

#include "editing/map_change.h"
#include "editing/edit_state.h"
#include "model/project.h"

namespace zorvane {

// Index of the topmost used tile, from Min(count - 1, depthLimit) down to 0,
// that is not skipped (skipSelected: tiles with Selected set; skipUnselected:
// tiles without) and contains square (x, y) with the given any-square flag;
// -1 when there is none.
int TileFromSq(const Project& project, int depthLimit, int x, int y, bool anySquare, bool skipSelected,
               bool skipUnselected);

// Destroys the tile at `dest` and puts there a copy of the tile at `src`
// (size, squares, Selected, X, Y); the source stays. Selection entries are
// left as they are. Indices outside the list are ignored.
void OverwriteUsedTile(Project& project, int dest, int src);

// Exchanges the two tiles completely, which swaps their depth and nothing
// else. With updateSelection, entries that referred to a refer to b and the
// other way round; without it, the entries keep their indices (for callers
// that set the entries themselves).
void SwapTiles(Project& project, int a, int b, bool updateSelection);

// Moves the tile at `start` to `end`; the tiles in between move by one place
// towards `start`. Selection entries follow their tiles.
void ShiftTileToId(Project& project, int start, int end);

// The depth bar after the number of used tiles changed: Maximum = Max(count -
// 1, 0), the position kept within 0 .. Maximum, DepthLimit = Maximum -
// Position. Stored in the state and returned for the window to apply.
DepthBar UpdateSBDepth(const Project& project, EditState& state);
// The user moved the depth bar's thumb.
DepthBar SetDepthPosition(EditState& state, int position);

// --- Shared by the editing commands ---------------------------------------

// Per used tile: whether a selection entry refers to it.
std::vector<char> ListedFlags(const Project& project);

// Rearranges UsedTiles so that new index k holds the tile that stood at
// order[k] (order is a permutation of 0 .. count - 1); entries follow.
void ApplyOrder(Project& project, std::span<const int> order);

// The bounding rectangle of the selection: every selected tile grown by
// RedrawMargin; the whole map for an empty selection.
SquareRect SelectionBounds(const Project& project);

// Clears Selected of every listed tile and empties the selection.
void ClearSelection(Project& project);

}  // namespace zorvane
