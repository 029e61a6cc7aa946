#pragma once
// What the tile editor needs of the window it belongs to (the main window
// implements it): the project it edits and the user interface it asks
// through, the tiles list's selection (kept across Apply), the redraw of
// what Apply changed, the commands that run Apply as a step, and the input
// controller that takes the keys pressed in the editor. The owner outlives the editor.

#include <functional>

#include "commands/edit_commands.h"
#include "model/project.h"
#include "ui/ui.h"

class QWidget;

namespace zorvane::editor {

class TileEditorHost {
public:
    virtual ~TileEditorHost() = default;
    // The editor's parent, where it opens and where the keys go.
    virtual QWidget& Widget() = 0;
    virtual Project& project() = 0;
    virtual UserInterface& ui() = 0;
    // Runs a command; an exception becomes an error box.
    virtual void Guarded(const std::function<void()>& command) = 0;
    // Whether the input controller takes keys now.
    virtual bool TakesKeys() const = 0;

    // The selected entry of the tiles list, -1 for none.
    virtual int SelectedTile() const = 0;
    virtual void SelectTile(int index) = 0;
    // Entries first..last of the tiles list changed: the list and the map
    // show them again, with the progress bar.
    virtual void ShowChangedTiles(int first, int last) = 0;
    // New bitmaps or another palette: their quadrant colours again.
    virtual void PrepareBitmapsPx() = 0;
    virtual void FullRedraw() = 0;
    // The editor's commands, which run Apply as an undo step.
    virtual EditCommands& commands() = 0;
    // Apply ended (the crash recovery follows it).
    virtual void LongOperationEnded() = 0;
};

}  // namespace zorvane::editor
