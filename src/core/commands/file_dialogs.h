#pragma once
// The open and save dialogs of the project files, one definition each, with
// the dialog names and filters of the table of file kinds.

#include <string>

#include "model/file_kinds.h"
#include "ui/ui.h"

namespace zorvane {

// An open dialog: path and file must exist.
inline FileDialog OpenDialog(std::string name, std::string filter, std::string initialPath = {}) {
    return FileDialog{.name = std::move(name),
                      .filter = std::move(filter),
                      .initialPath = std::move(initialPath),
                      .pathMustExist = true,
                      .fileMustExist = true};
}
// A save dialog: asks before overwriting; the path must exist.
inline FileDialog SaveDialog(std::string name, std::string filter) {
    return FileDialog{.name = std::move(name),
                      .filter = std::move(filter),
                      .save = true,
                      .overwritePrompt = true,
                      .pathMustExist = true};
}

// The open and save dialogs of a kind of file.
inline FileDialog OpenDialog(ProjectFileKind kind, std::string initialPath = {}) {
    const FileKindEntry& entry = KindEntry(kind);
    return OpenDialog(std::string(entry.openDialog), std::string(entry.openFilter), std::move(initialPath));
}
inline FileDialog SaveDialog(ProjectFileKind kind) {
    const FileKindEntry& entry = KindEntry(kind);
    return SaveDialog(std::string(entry.saveDialog), std::string(entry.saveFilter));
}

inline FileDialog OpenTileSetDialog(std::string initialPath = {}) {
    return OpenDialog(ProjectFileKind::TileSet, std::move(initialPath));
}
inline FileDialog SaveTileSetDialog() { return SaveDialog(ProjectFileKind::TileSet); }
inline FileDialog OpenMapDialog(std::string initialPath = {}) {
    return OpenDialog(ProjectFileKind::Map, std::move(initialPath));
}
inline FileDialog SaveMapDialog() { return SaveDialog(ProjectFileKind::Map); }
inline FileDialog OpenLayeredDialog() { return OpenDialog(ProjectFileKind::Layered); }
inline FileDialog SaveLayeredDialog() { return SaveDialog(ProjectFileKind::Layered); }

}  // namespace zorvane
