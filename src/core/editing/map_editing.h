#pragma once
// The map edit commands: the selection, the depth order of the selected
// tiles, the click rules, dragging, placing a tile from the tiles list,
// cloning, splitting and deleting.
//
// A MapEditing binds the project, the editing state and the user interface
// that the commands work on; it holds nothing itself, so the main window may
// keep one for its whole life. Each command returns where it changed the
// map's look (see MapChange); texts for the status line go through the
// interface.
//
// The selection (Project::Selection) lists the selected used tiles in the
// order in which they were selected. Its rules, kept by every command:
// no two entries refer to the same tile; a tile's Selected flag is set
// exactly when an entry refers to it, except for the tile being placed from
// the tiles list, which is listed but drawn without the flag; every command
// that moves tiles inside UsedTiles keeps each entry referring to its tile.

#include <unordered_set>

#include "editing/map_change.h"
#include "editing/edit_state.h"
#include "editing/tile_order.h"
#include "model/project.h"
#include "ui/ui.h"

namespace zorvane {

class MapEditing {
public:
    MapEditing(Project& project, EditState& state, UserInterface& ui) : p_(project), s_(state), ui_(ui) {}

    // Picking with the state's depth limit (see the free TileFromSq).
    int TileFromSq(int x, int y, bool anySquare, bool skipSelected, bool skipUnselected) const {
        return zorvane::TileFromSq(p_, s_.Depth.DepthLimit, x, y, anySquare, skipSelected, skipUnselected);
    }

    // --- Selection -------------------------------------------------------
    // Adds the tile (an index outside the list is ignored); with redraw the
    // tile's rectangle is drawn again when its highlight appeared.
    MapChange SelectTile(int index, bool redraw);
    // Removes a selected tile from the selection; others are ignored.
    MapChange DeselectTile(int index);
    // Every used tile, in index order; full view redraw.
    MapChange SelectAll();
    // Empties the selection; draws nothing (callers redraw).
    void DeselectAll() { ClearSelection(p_); }

    // --- Clicks on map squares (from the input controller) ---------------
    MapChange LeftClickOn(int x, int y, Modifiers keys);
    MapChange RightClickOn(int x, int y, Modifiers keys);

    // --- Depth order -----------------------------------------------------
    // One depth step; with SkipNearest the selection jumps as one block over
    // the tiles that do not overlap it. Panel 0 tells the new indices.
    MapChange SelectionStepUp(bool redraw);
    MapChange SelectionStepDown(bool redraw);
    // The selected tiles, in selection order, to the top (bottom) of the
    // stack; the others keep their order.
    MapChange SelectionToTop();
    MapChange SelectionToBottom();
    // The depth range takes the number of used tiles (TileCountChanged is
    // set; Everywhere when asked).
    MapChange UpdateSBDepth(bool redraw);

    // --- Dragging and placing -------------------------------------------
    MapChange SelDragStart(int x, int y);
    // Moves the dragged or placed tiles to follow the mouse square; draws
    // nothing when no tile moved.
    MapChange SelDragOver(int x, int y);
    MapChange SelDragDrop();
    MapChange SelDragCancel();
    // Starts placing a copy of NewTiles[index] at the view origin (scrollX,
    // scrollY); an index outside the tiles list is ignored.
    MapChange StoreNew(int index, int scrollX, int scrollY);
    // Removes the tile being placed (nothing when no placement runs).
    MapChange CancelNew();
    // The input controller was enabled or disabled: the drag ends where the
    // tiles are, without moving them back and without new origins.
    void AbandonDrag();

    // --- Cloning, splitting, deleting ------------------------------------
    // Copies the selection on top of the stack and starts dragging the
    // copies from the mouse square (mouseX, mouseY).
    MapChange CloneSelected(int mouseX, int mouseY);
    // Replaces every selected multi-square tile by single-square tiles.
    MapChange SplitSelected();
    MapChange DeleteSelected(bool redraw);

private:
    MapChange DepthChanged();
    void EndDrag();
    std::unordered_set<const MapTile*> PlacedSet() const;
    void ReportStep(const char* text);

    Project& p_;
    EditState& s_;
    UserInterface& ui_;
};

}  // namespace zorvane
