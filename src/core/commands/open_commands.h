#pragma once
// Opening the project files as the user meets it: the dialogs, the question
// about a missing tile set, the status line and the error boxes around the
// readers of the formats.

#include <optional>
#include <string>

#include "model/project.h"
#include "model/tileset_file.h"
#include "ui/ui.h"

namespace zorvane {

// Asks "Missing *.zp file" and, on Yes, for a replacement with the open
// dialog ODzp; nullopt when the user declines or cancels.
std::optional<std::string> AskForMissingZP(UserInterface& ui, const std::string& path);

// Makes `set`, read from the file `source`, the project's tile set (variant,
// headers, palette, bitmaps, tiles list) and clears ZpModified; tells the
// windows and the generator, and shows source + " opened.". ZpPath, the
// creature block and the map side stay as they are.
void TakeTileSet(Project& project, UserInterface& ui, TileSet&& set, const std::string& source);

// Reads the tile set named by ZpPath into the project, whose tile set side
// the caller has emptied. Asks for a replacement when the file is missing
// (the project keeps naming the missing path). On failure the whole project
// is reset and false is returned.
bool OpenZP(Project& project, UserInterface& ui);

// "Open *.zm": the open dialog ODzm, then OpenZMFile.
bool OpenZM(Project& project, UserInterface& ui);

// Loads a map project and its tile set as the new project (one 1 x 1 used
// tile per square). On any failure the project is left reset and empty.
bool OpenZMFile(Project& project, UserInterface& ui, const std::string& path);

// "Open *.zl": the open dialog ODzl, then OpenZLFile.
bool OpenZL(Project& project, UserInterface& ui);

bool OpenZLFile(Project& project, UserInterface& ui, const std::string& path);

}  // namespace zorvane
