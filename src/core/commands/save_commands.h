#pragma once
// Saving and exporting the project files: the save dialogs, the new tile set
// an export may need, the status line and the error boxes around the
// writers of the formats.

#include <string>

#include "model/project.h"
#include "ui/ui.h"

namespace zorvane {

// Writes the project's tile set to ZpPath in the chosen variant through a
// temporary file, then makes the project's variant (ZmeVariant) the one
// written and keeps its row order consistent with it. On failure tells the
// user and returns false, leaving any old file and the project as they were.
bool MakeNewZP(Project& project, UserInterface& ui, bool zme);

// Writes the map from FlatSquares (the caller has flattened the map).
bool SaveZmAs(Project& project, UserInterface& ui, const std::string& path, bool zme);

// "Export to *.zm": asks for the target with SDzm, then ExportToZmZpFile.
bool ExportToZmZp(Project& project, UserInterface& ui, bool zme);

// Flattens the map, writes a new tile set file when one is needed (asking
// for it with SDzp) and writes the map project file.
bool ExportToZmZpFile(Project& project, UserInterface& ui, const std::string& path, bool zme);

// "Save to *.zl": with toPath false asks for the file (SDzl, overwrite
// question, extension ".zl"); with toPath true writes to `path`.
bool SaveZL(Project& project, UserInterface& ui, bool toPath, const std::string& path = {});

}  // namespace zorvane
