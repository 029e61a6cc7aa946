#pragma once
// Saving and exporting the project files: the save dialogs, the new tile set
// an export may need, the status line and the error boxes around the
// writers of the formats.

#include <optional>
#include <string>

#include "model/project.h"
#include "ui/ui.h"

namespace zorvane {

// Writes the project's tile set to ZpPath in the chosen variant through a
// temporary file, then makes the project's variant (ZmeVariant) the one
// written and keeps its row order consistent with it. On failure tells the
// user and returns false, leaving any old file and the project as they were.
bool MakeNewZP(Project& project, UserInterface& ui, TileSetVariant variant);

// Writes the map from FlatSquares (the caller has flattened the map).
bool SaveZmAs(Project& project, UserInterface& ui, const std::string& path, TileSetVariant variant);

// How an export comes by the new tile set file it may need (new composite
// bitmaps, another variant, a changed tile set or none stored).
struct ExportOptions {
    enum class NewTileSet {
        Ask,      // "Create new *.zp", then the save dialog SDzp (the editor)
        WriteTo,  // write it to `newTileSetPath` as if chosen in the dialog
        Refuse,   // stop before anything is written
    };
    NewTileSet newTileSet = NewTileSet::Ask;
    std::string newTileSetPath;

    static ExportOptions WritingTileSetTo(std::string path) { return {NewTileSet::WriteTo, std::move(path)}; }
    static ExportOptions RefusingNewTileSet() { return {NewTileSet::Refuse, {}}; }
};

enum class ExportResult {
    Exported,
    Failed,           // the user was told why (or stopped it)
    NeedsNewTileSet,  // refused as the options asked; nothing was written or shown
};

// "Export to *.zm": asks for the target with SDzm, then ExportToZmZpFile.
// Returns the map file written; nullopt when cancelled or failed.
std::optional<std::string> ExportToZmZp(Project& project, UserInterface& ui, TileSetVariant variant);

// Flattens the map, writes a new tile set file when one is needed (found as
// `options` say) and writes the map project file.
ExportResult ExportToZmZpFile(Project& project, UserInterface& ui, const std::string& path, TileSetVariant variant,
                              const ExportOptions& options = {});

// "Save to *.zl": asks for the file (SDzl, overwrite question, extension
// ".zl"), then SaveZLFile. Returns the file written; nullopt when cancelled
// or failed.
std::optional<std::string> SaveZL(Project& project, UserInterface& ui);
// Writes the project as a layered project file to `path`.
bool SaveZLFile(Project& project, UserInterface& ui, const std::string& path);

}  // namespace zorvane
