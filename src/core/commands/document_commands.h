#pragma once
// The File menu's open and save commands on the document: each reads or
// writes through the file modules and then tells the document what became
// of its file (opened, saved, none), and returns what it did, so that a
// window only shows the outcome (the title, the recent files).

#include <string>

#include "commands/open_commands.h"
#include "document/document.h"
#include "model/file_kinds.h"
#include "ui/ui.h"

namespace zorvane {

// How a file command ended: done, given up before anything was read or
// written (a dialog cancelled, a question declined, nothing to save), or
// failed (the user was told why).
enum class FileCommandEnd { Done, Cancelled, Failed };

struct FileCommandResult {
    FileCommandEnd End = FileCommandEnd::Cancelled;
    std::string File;  // the project file opened or written (when done)
    bool Done() const { return End == FileCommandEnd::Done; }
};

// What becomes of the project when an open fails: it stays as it was
// (the document's own promise), or it is closed, as the editor's Open
// commands leave it (a new history at an empty project).
enum class AfterFailedOpen { KeepProject, CloseProject };

// Opens a map project (*.zm), layered project (*.zl) or tile set (*.zp)
// file named `path`, of the kind given, into the document as a new project.
// `options` say what to read when a map's tile set is missing.
FileCommandResult OpenDocumentFile(Document& document, UserInterface& ui, const std::string& path,
                                   ProjectFileKind kind, AfterFailedOpen afterFailure,
                                   const OpenOptions& options = {});
// "Open *.zm" / "Open *.zl": the open dialog of the kind, then the above.
FileCommandResult OpenDocumentCommand(Document& document, UserInterface& ui, ProjectFileKind kind,
                                      AfterFailedOpen afterFailure);

// "Save to *.zl": the document is saved to the file written.
FileCommandResult SaveDocumentCommand(Document& document, UserInterface& ui);
// "Export to *.zm (zme)" / "(zmpe)": the document is saved to the map file written.
FileCommandResult ExportDocumentCommand(Document& document, UserInterface& ui, TileSetVariant variant);

// "Reset Project": the close question, then an empty project of no file.
bool ResetDocumentCommand(Document& document, UserInterface& ui, bool generatorHasData);

}  // namespace zorvane
