#pragma once
// Change notices: what a command, one step of a gesture, an undo or a redo
// changed in the project, told to the windows that show it. A notice says
// what changed, never what to redraw: each window decides that for itself.
//
// Whoever changes the project tells its observer once the change is made,
// one notice per change in the order they happened. A notice names every
// part that changed; when it names the tiles list, every entry whose tile
// or picture changed lies in First..Last, and the list's length may have
// changed too (entries past its new end are gone).

namespace zorvane {

enum class Changed : unsigned {
    Nothing = 0,
    TilesList = 1,      // entries First..Last of the tiles list, the list's length
    UsedTiles = 2,      // the tiles placed on the map
    MapSize = 4,        // the map's width and height
    Bitmaps = 8,        // the bitmap table: pixels, count, order of the rows
    Palette = 16,       // the colours the bitmaps are drawn in
    Fields = 32,        // the project's other fields (paths, headers, creatures)
    TileSet = 64,       // tiles and bitmaps taken in from another tile set
    LearnedData = 128,  // the generator's learned data
    NewProject = 256,   // the project was replaced by an empty one
};
constexpr Changed operator|(Changed a, Changed b) { return Changed(unsigned(a) | unsigned(b)); }

// Who made the change: a command, one step of a gesture still going on (a
// drag through the tiles list), or a step of the history taken back or done
// again.
enum class ChangeSource { Command, Gesture, History };

struct ChangeNotice {
    Changed What = Changed::Nothing;
    int First = 0;  // tiles list entries, when What names the tiles list
    int Last = -1;
    ChangeSource Source = ChangeSource::Command;

    bool Has(Changed part) const { return (unsigned(What) & unsigned(part)) != 0; }
    bool Only(Changed part) const { return What == part; }
};

// The notices most commands give.
inline ChangeNotice TilesListChanged(int first, int last, ChangeSource source = ChangeSource::Command) {
    return {Changed::TilesList, first, last, source};
}
inline ChangeNotice BitmapsChanged() { return {Changed::Bitmaps}; }
inline ChangeNotice NewProjectStarted() { return {Changed::NewProject}; }

class ChangeObserver {
public:
    virtual ~ChangeObserver() = default;
    virtual void changed(const ChangeNotice& notice) = 0;
};

}  // namespace zorvane
