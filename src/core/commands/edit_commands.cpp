#include "commands/edit_commands.h"

#include <optional>

#include "editing/tile_list_commands.h"
#include "editing/tile_order.h"

namespace zorvane {
namespace {

struct CommandStep {
    const char* name;
    Parts parts;
    bool leavesNoFile;  // the step makes a map of no file yet
};

CommandStep StepOf(ProjectCommand which) {
    switch (which) {
    case ProjectCommand::ApplyTile: return {"Apply tile", Parts::All, false};
    case ProjectCommand::Learning: return {"Learning", Parts::All, false};
    case ProjectCommand::NewMap: return {"New map", Parts::All, true};
    case ProjectCommand::MakeTileSet: return {"Make tile set", Parts::All, false};
    case ProjectCommand::Merge: return {"Merge", Parts::All, false};
    case ProjectCommand::ProjectProperties: return {"Project properties", Parts::All, false};
    case ProjectCommand::GenerateMap: return {"Generate map", Parts::All, true};
    case ProjectCommand::GenerateInSelection: return {"Generate in selection", Parts::UsedTiles, false};
    }
    return {"Change", Parts::All, false};
}

// Runs `command` and then `record`, also when the command throws.
template <class Command, class Record>
auto RecordAfter(Command&& command, Record&& record) {
    try {
        auto result = command();
        record(result);
        return result;
    } catch (...) {
        record(std::nullopt);
        throw;
    }
}

}  // namespace

EditCommands::EditCommands(Document& document, EditState& state, UserInterface& ui)
    : document_(document), state_(state), ui_(ui), editing_(document.project(), state, ui) {
    document_.PauseRecordingWhile([this] { return state_.DragState != DragIdle; });
}

void EditCommands::Run(ProjectCommand which, const std::function<void()>& command) {
    const CommandStep step = StepOf(which);
    const auto record = [&] {
        if (document_.Record(step.name, step.parts) && step.leavesNoFile) document_.StartUnnamed();
    };
    document_.RecordPending();
    try {
        command();
    } catch (...) {
        record();
        throw;
    }
    record();
}

// A click puts down what was dragged or placed (the drag's one step),
// starts a drag, or takes the selection one step in depth.
MapChange EditCommands::LeftClickOn(int x, int y, Modifiers keys) {
    const int before = state_.DragState;
    MapChange r = editing_.LeftClickOn(x, y, keys);
    RecordClick(before, "Selection Step Up");
    return r;
}

MapChange EditCommands::RightClickOn(int x, int y, Modifiers keys) {
    const int before = state_.DragState;
    MapChange r = editing_.RightClickOn(x, y, keys);
    RecordClick(before, "Selection Step Down");
    return r;
}

void EditCommands::RecordClick(int dragStateBefore, const char* clickName) {
    if (dragStateBefore == DragIdle && state_.DragState == DragMoving) dragStep_ = "Drag";
    document_.Record(dragStateBefore == DragIdle ? clickName : dragStep_, Parts::UsedTiles);
}

void EditCommands::AbandonDrag() {
    const bool dragging = state_.DragState != DragIdle;
    editing_.AbandonDrag();
    if (dragging) document_.Record(dragStep_, Parts::UsedTiles);
}

MapChange EditCommands::StoreNew(int index, int scrollX, int scrollY) {
    document_.Record(dragStep_, Parts::UsedTiles);  // a drag going on ends where it is
    MapChange r = editing_.StoreNew(index, scrollX, scrollY);
    if (state_.DragState == DragPlacing) dragStep_ = "Place tile";
    return r;
}

MapChange EditCommands::CancelDrag() {
    MapChange r;
    if (state_.DragState == DragMoving) r.Merge(editing_.SelDragCancel());
    if (state_.DragState == DragPlacing) r.Merge(editing_.CancelNew());
    return r;
}

MapChange EditCommands::Recorded(const char* name, MapChange redraw) {
    document_.Record(name, Parts::UsedTiles);
    return redraw;
}

// The copies follow the mouse from the square under it; when the drag
// started, its step is named for the cloning.
MapChange EditCommands::CloneSelected(int mouseX, int mouseY) {
    MapChange r = editing_.CloneSelected(mouseX, mouseY);
    if (state_.DragState == DragMoving) dragStep_ = "Clone";
    return Recorded("Clone", std::move(r));
}

MapChange EditCommands::SelectionStepUp() { return Recorded("Selection Step Up", editing_.SelectionStepUp(true)); }
MapChange EditCommands::SelectionStepDown() {
    return Recorded("Selection Step Down", editing_.SelectionStepDown(true));
}
MapChange EditCommands::SelectionToTop() { return Recorded("Selection to Top", editing_.SelectionToTop()); }
MapChange EditCommands::SelectionToBottom() { return Recorded("Selection to Bottom", editing_.SelectionToBottom()); }
MapChange EditCommands::SplitSelected() { return Recorded("Split", editing_.SplitSelected()); }
MapChange EditCommands::DeleteSelected() { return Recorded("Delete", editing_.DeleteSelected(true)); }

MapChange EditCommands::SwapSelected() {
    Project& p = document_.project();
    if (p.Selection.size() != 2) return {};
    const int a = p.Selection[0].Index, b = p.Selection[1].Index;
    SwapTiles(p, a, b, true);
    MapChange r;
    r.Add(SquareRect::Around(*p.UsedTiles[a]).United(SquareRect::Around(*p.UsedTiles[b])));
    ui_.setStatus("tiles swapped.");
    return Recorded("Swap", std::move(r));
}

int EditCommands::MoveTile(int entry, int to) {
    return RecordAfter([&] { return MoveNewTile(document_.project(), ui_, entry, to); },
                       [&](std::optional<int> now) {
                           document_.RecordBesideGesture("Move tile", Parts::TilesList | Parts::Fields,
                                                         {entry, now.value_or(entry)});
                       });
}

int EditCommands::DeleteTile(int entry) {
    return RecordAfter([&] { return DeleteNewTile(document_.project(), ui_, entry); },
                       [&](std::optional<int> now) {
                           document_.RecordBesideGesture("Delete tile", Parts::TilesList | Parts::Fields,
                                                         {entry, now.value_or(entry)});
                       });
}

int EditCommands::PickTile(int placed, int selected) {
    const std::size_t entries = document_.project().NewTiles.size();
    return RecordAfter([&] { return PickUsedTile(document_.project(), ui_, placed); }, [&](std::optional<int> picked) {
        if (document_.project().NewTiles.size() != entries)
            document_.RecordBesideGesture("Pick tile", Parts::TilesList | Parts::Fields,
                                          {selected, picked.value_or(-1)});
    });
}

void EditCommands::TileDragEnded(int from, int to) {
    document_.RecordBesideGesture("Move tile", Parts::TilesList | Parts::Fields, {from, to});
}

}  // namespace zorvane
