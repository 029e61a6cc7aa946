#pragma once
// The File menu's commands as the user meets them: the guard questions,
// the refusals of empty commands and the dialogs, around the operations of
// the file modules. The editor's menu calls these; so do tests.

#include <optional>
#include <string>
#include <string_view>

#include "model/project.h"
#include "ui/ui.h"

namespace zorvane {

inline const char* const CloseQuestionText = "This operation will close current project and erease map generator data!";

// Asks the close question when something would be lost (used tiles, learned
// generator data, an open project); true when the command may go on.
bool CloseQuestion(const Project& project, UserInterface& ui, bool generatorHasData);

// Whether forcing the extension `ext` (".zp") onto a file name chosen or
// named leads to another file that exists, one the save dialog has not
// asked about.
bool ForcedExtensionMeetsOtherFile(const std::string& fileName, std::string_view ext);
// Whether a file chosen in a save dialog may be written once its extension
// is forced to `ext`; asks "File Exists!" when that leads to another file
// that exists.
bool ConfirmOverwriteWithExtension(UserInterface& ui, const std::string& fileName, std::string_view ext);

// "Nothing to save." when there are no used tiles or no project.
bool HasSomethingToSave(const Project& project, UserInterface& ui);

// "Make *.zp (zme)" / "Make *.zp (zmpe)".
bool MakeZpCommand(Project& project, UserInterface& ui, TileSetVariant variant);
// "Merge *.zp data".
bool MergeZpCommand(Project& project, UserInterface& ui);
// "Save to *.zl"; the file written, nullopt when cancelled or failed.
std::optional<std::string> SaveZlCommand(Project& project, UserInterface& ui);
// "Export to *.zm (zme)" / "Export to *.zm (zmpe)"; the map file written.
std::optional<std::string> ExportCommand(Project& project, UserInterface& ui, TileSetVariant variant);
// "Reset Project".
bool ResetProjectCommand(Project& project, UserInterface& ui, bool generatorHasData);

}  // namespace zorvane
