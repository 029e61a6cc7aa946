#pragma once
// How the main window answers a change notice: which of its parts it brings
// up to date (the view's origin and options, the bitmaps' quadrant colours,
// the view, the scroll and depth bars, the tiles list). Kept apart from the
// window so that what a notice redraws can be checked without one; the
// window does the plan's parts in the order they are declared.

#include <optional>

#include "ui/changes.h"

namespace zorvane::editor {

// The main window's interface refresh: the depth bar and the status bar
// always, and what the options name.
struct InterfaceRefresh {
    int first = 0;  // tiles list entries to rebuild, first..last
    int last = -1;
    bool showProgress = false;    // the progress bar while the list is rebuilt
    bool redrawView = false;      // the whole map view
    bool resetScrolling = false;  // the scroll bars back to the origin, over the map's size
    bool rebuildList = false;     // the list takes the project's length, entries first..last drawn anew
};

struct RedrawPlan {
    bool resetView = false;        // origin and default options of a new project
    bool bitmapColours = false;    // the quadrant colours of every bitmap
    bool viewAndDepthBar = false;  // only the view and the depth bar
    std::optional<InterfaceRefresh> refresh;
};

inline RedrawPlan PlanRedraw(const ChangeNotice& notice) {
    RedrawPlan plan;
    plan.resetView = notice.Has(Changed::NewProject);
    plan.bitmapColours = notice.Has(Changed::Bitmaps) || notice.Has(Changed::Palette);
    if (notice.Only(Changed::UsedTiles)) {
        plan.viewAndDepthBar = true;
        return plan;
    }
    const Changed shownByInterface = Changed::TilesList | Changed::UsedTiles | Changed::MapSize | Changed::Fields |
                                     Changed::TileSet | Changed::LearnedData;
    if (!notice.Has(shownByInterface)) return plan;
    // Undo and redo show the whole view again; a command only when the map
    // or what it is drawn from changed.
    const bool history = notice.Source == ChangeSource::History;
    plan.refresh = InterfaceRefresh{
        .first = notice.First,
        .last = notice.Last,
        .showProgress = notice.Source == ChangeSource::Command,
        .redrawView = history || notice.Has(Changed::UsedTiles | Changed::MapSize | Changed::TileSet |
                                            Changed::LearnedData),
        .resetScrolling = notice.Has(Changed::MapSize),
        .rebuildList = notice.Has(Changed::TilesList),
    };
    return plan;
}

}  // namespace zorvane::editor
