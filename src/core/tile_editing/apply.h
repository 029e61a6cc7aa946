#pragma once
// Applying the tile editor's layers to the project: the transparent and fog
// colours move to palette indices 0 and 1, the editor palette is settled
// against the project palette, and the layers are cut into 32 x 32 blocks
// that become bitmap ids, each the lowest id of an identical bitmap of the
// project or a new bitmap appended to it.

#include "tile_editing/tile_editor_state.h"

namespace zorvane {

enum class ApplyResult {
    NothingToApply,  // no layer: nothing changed
    Applied,         // the tile is in NewTiles at ApplyOutcome::TileIndex
    BitmapLimit,     // stopped at 65,535 bitmaps; the tiles list is untouched
};

struct ApplyOutcome {
    ApplyResult Result = ApplyResult::NothingToApply;
    int TileIndex = -1;
    bool PaletteChanged = false;   // the map needs a full redraw
    bool PaletteReplaced = false;  // the project palette became the editor palette
    int FirstNewBitmap = 0;        // bitmaps from here on were appended
};

inline const char* const BitmapLimitCaption = "Adding tile error";
inline const char* const BitmapLimitText = "Maximum amount of bitmaps (65535) reached! Process Stopped!";

// Builds the tile from `state` and puts it into NewTiles (appended for a new
// tile, in place of the edited one otherwise); marks the tile set modified
// and gives an empty map its 10 x 10 size. The layers of `state` are changed
// by the colour exchanges and the palette settlement. At the bitmap limit the
// message is shown, the tiles list keeps what it had and `state` is left as
// it was (layers and editor palette); the bitmaps appended before the stop
// and the changes to the project palette stay. The window's own refresh is
// left to the caller.
ApplyOutcome ApplyTileChanges(TileEditorState& state, Project& project, UserInterface& ui);

}  // namespace zorvane
