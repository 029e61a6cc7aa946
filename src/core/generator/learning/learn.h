#pragma once
// Learning from maps: turns the maps of the learning list into the
// generator's knowledge (learned squares, weighted neighbour lists, rigid
// objects, interchangeable connector squares) and makes the project's tile
// set the union of the maps' tile sets.
//
// Progress goes to the settings window's status label (setActivity),
// the status bar and the progress bar. Questions: a missing map file ("Could
// not find *.zm file", then the ODzm dialog; Cancel ends learning silently),
// a missing tile set file (as the open options say; by default "Missing
// *.zp file", then ODzp). An error (the
// bitmap limit, a damaged map or tile set file, a neighbour list beyond its
// capacity) is shown in an error box captioned "Error" and ends learning with
// the learned data cleared and `Learned` false. Learned data from which a
// new map's rows could outgrow the generator's lists is refused before the
// objects and the empty square are made, naming the multipliers as the cause.

#include <string>

#include "commands/open_commands.h"
#include "generator/learned_data.h"
#include "generator/settings.h"
#include "model/project.h"
#include "ui/ui.h"

namespace zorvane {

struct LearnOutcome {
    bool Completed = false;
    int ChangedIds = 0;
    int AddedBitmaps = 0;
    int AddedTiles = 0;
    // The closing line: joins + " joins of " + bitmaps + " bitmaps; " ...
    std::string Summary;
};

// Learns from settings.LearnList with the options CBselectZp (every map
// uses the project's ZpPath as its tile set) and CBgatherTS (the maps' tiles
// lists are merged into the project's). A missing map replaced through the
// dialog replaces its entry in the list. The chart's size range becomes
// 0..largest object.
LearnOutcome Learn(Project& project, UserInterface& ui, LearnedData& learned, GeneratorSettings& settings,
                   const OpenOptions& options = {});

// The settings window's "Learn": asks "This operation may affect the
// current project!" when a project is open (Cancel stops), refuses with
// "Select *.zp file first!" or "Add *.zm files first!", resets the tile set
// side of the project and learns. True when learning completed.
bool LearnCommand(Project& project, UserInterface& ui, LearnedData& learned, GeneratorSettings& settings);

}  // namespace zorvane
