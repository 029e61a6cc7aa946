#pragma once
// Taking over a second tile set (MergeZP) and dropping bitmaps that no tile
// uses (RemoveUnusedBitmaps). Both keep every tile's ids consistent and leave
// a tile set that matches no file: ZpModified set, ZpPath emptied.

#include <string>

#include "model/project.h"
#include "ui/ui.h"

namespace zorvane {

bool CompareBitmaps(const Project& project, int a, int b);

struct MergeCounts {
    int ChangedIds = 0;
    int AddedBitmaps = 0;
    int AddedTiles = 0;
};

// Merges the tile set file at `path` into the project and shows the summary
// box. Returns false (after telling the user) when the file cannot be read or
// the bitmap limit is reached; bitmaps added up to then stay.
bool MergeZP(Project& project, UserInterface& ui, const std::string& path, MergeCounts* counts = nullptr);

// Removes every bitmap that no square of NewTiles or UsedTiles names and
// renumbers the squares; returns the number removed.
int RemoveUnusedBitmaps(Project& project, UserInterface& ui);

}  // namespace zorvane
