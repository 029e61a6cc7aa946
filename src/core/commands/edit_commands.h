#pragma once
// The editor's commands on the document's map and tiles list, as the user
// gives them: each runs its editing operation (editing/) and has the
// document record what it changed as one undo step, under the name the
// Undo and Redo commands show. The window only draws what a command reports.
//
// A drag of tiles (the selection, fresh clones, a tile being placed from the
// tiles list) is one step, recorded when the tiles are put down and named
// for what started it ("Drag", "Clone", "Place tile"); while it goes on the
// document records nothing (Document::PauseRecordingWhile). A drag through
// the tiles list is one step recorded when it ends.
//
// Commands that run in a window of their own or as a long run (the tile
// editor's Apply, a new map, learning, the generator's runs, ...) run
// through Run with the ProjectCommand they are, which names their step.
// Whatever changed the project before a command without being recorded is
// recorded first as a step of its own ("Change"), so that no step takes in
// another's change.

#include <functional>

#include "document/document.h"
#include "editing/map_change.h"
#include "editing/edit_state.h"
#include "editing/map_editing.h"
#include "ui/ui.h"

namespace zorvane {

// The commands that change the project outside the map and list commands
// below, each recorded as one step of its own.
enum class ProjectCommand {
    ApplyTile,            // "Apply tile": the tile editor's Apply
    Learning,             // the generator settings window's learning
    NewMap,               // a new empty map of no file
    MakeTileSet,          // "Make tile set"
    Merge,                // merging a tile set into the project
    ProjectProperties,    // the project properties window
    GenerateMap,          // a generated map of no file
    GenerateInSelection,  // new squares inside the selected rectangle
};

class EditCommands {
public:
    // Binds the document, the editing state and the interface; the three
    // outlive the commands.
    EditCommands(Document& document, EditState& state, UserInterface& ui);

    // The editing operations themselves, for what records nothing (the
    // selection, drawing the depth bar).
    MapEditing& editing() { return editing_; }

    // Runs `command`, then records what it changed as the command's step
    // (also when it threw: the exception goes on to the caller). A new map
    // or a generated one leaves the document without a file, undoably.
    void Run(ProjectCommand which, const std::function<void()>& command);

    // --- The map: clicks, drags, placing ---------------------------------
    MapChange LeftClickOn(int x, int y, Modifiers keys);
    MapChange RightClickOn(int x, int y, Modifiers keys);
    MapChange DragOver(int x, int y) { return editing_.SelDragOver(x, y); }
    // The drag ends where the tiles are (the controller was disabled).
    void AbandonDrag();
    // Starts placing tiles list entry `index` at the view origin.
    MapChange StoreNew(int index, int scrollX, int scrollY);
    // A drag or a placing in progress ends, taking nothing along.
    MapChange CancelDrag();

    // --- The Edit menu ----------------------------------------------------
    MapChange CloneSelected(int mouseX, int mouseY);
    MapChange SelectionStepUp();
    MapChange SelectionStepDown();
    MapChange SelectionToTop();
    MapChange SelectionToBottom();
    // Only with exactly two tiles selected (else nothing to draw): the two
    // change places in depth, the selection entries following them.
    MapChange SwapSelected();
    MapChange SplitSelected();
    MapChange DeleteSelected();

    // --- The tiles list ---------------------------------------------------
    // Each returns the entry to select afterwards; each is its own step, also
    // during a drag on the map (which takes its own changes to its end).
    int MoveTile(int entry, int to);
    int DeleteTile(int entry);
    // The tiles list entry of used tile `placed`, added to the list when it
    // was not there; -1 when there is none. `selected` is the entry selected
    // before.
    int PickTile(int placed, int selected);
    // A drag through the tiles list (DragNewTileToward, step by step)
    // ended, taking entry `from` to `to`.
    void TileDragEnded(int from, int to);

private:
    void RecordClick(int dragStateBefore, const char* clickName);
    MapChange Recorded(const char* name, MapChange redraw);

    Document& document_;
    EditState& state_;
    UserInterface& ui_;
    MapEditing editing_;
    const char* dragStep_ = "Drag";  // what the drag in progress will be called
};

}  // namespace zorvane
