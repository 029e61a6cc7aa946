#pragma once
// The editing state that lives beside the project: the drag in progress,
// the tile being placed from the tiles list, the "Skip to The Nearest Layer"
// option and the depth bar. The main window owns one.

#include <vector>

namespace zorvane {

class MapTile;

// DragState values.
inline constexpr int DragIdle = 0;     // nothing follows the mouse
inline constexpr int DragMoving = 1;   // the selection follows the mouse
inline constexpr int DragPlacing = 2;  // a copy of a tiles list entry follows the mouse

// The depth scroll bar SBDepth: minimum 0, Maximum = Max(used tiles - 1, 0);
// only used tiles with index <= DepthLimit (= Maximum - Position) are drawn
// and picked. Position 0 (thumb at the top) shows every tile.
struct DepthBar {
    int Maximum = 0;
    int Position = 0;
    int DepthLimit = 0;
    friend bool operator==(const DepthBar&, const DepthBar&) = default;
};

struct EditState {
    int DragState = DragIdle;
    int DragStartX = 0;  // map square at which the drag began
    int DragStartY = 0;
    // The used tiles being placed while DragState is DragPlacing: the copy of
    // the tiles list entry, or its single squares once it has been split.
    // Only ever compared with the tiles of the map, never followed: cleared
    // whenever the editing operations destroy those tiles.
    std::vector<const MapTile*> PlacedTiles;
    bool SkipNearest = true;  // "Skip to The Nearest Layer"
    DepthBar Depth;
};

// Modifier keys held during a click.
struct Modifiers {
    bool Ctrl = false;
    bool Shift = false;
    bool Alt = false;
};

}  // namespace zorvane
