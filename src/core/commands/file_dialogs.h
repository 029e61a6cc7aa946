#pragma once
// The open and save dialogs of the project files, one definition each, with
// the dialog names and filters the windows show.

#include <string>

#include "ui/ui.h"

namespace zorvane {

// An open dialog: path and file must exist.
inline FileDialog OpenDialog(std::string name, std::string filter, std::string initialPath = {}) {
    return FileDialog{std::move(name), std::move(filter), std::move(initialPath), false, false, true, true};
}
// A save dialog: asks before overwriting; the path must exist.
inline FileDialog SaveDialog(std::string name, std::string filter) {
    return FileDialog{std::move(name), std::move(filter), {}, true, true, true, false};
}

inline FileDialog OpenTileSetDialog(std::string initialPath = {}) {
    return OpenDialog("ODzp", "ZP files|*.zp", std::move(initialPath));
}
inline FileDialog SaveTileSetDialog() { return SaveDialog("SDzp", "tile set file|*.zp"); }
inline FileDialog OpenMapDialog(std::string initialPath = {}) {
    return OpenDialog("ODzm", "zme/zmpe project|*.zm", std::move(initialPath));
}
inline FileDialog SaveMapDialog() { return SaveDialog("SDzm", "zme/zmpe project|*.zm"); }
inline FileDialog OpenLayeredDialog() { return OpenDialog("ODzl", "layered project|*.zl"); }
inline FileDialog SaveLayeredDialog() { return SaveDialog("SDzl", "layered project|*.zl"); }

}  // namespace zorvane
