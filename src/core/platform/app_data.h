#pragma once
// The folder in which the program keeps its own data for the user (the
// editor's crash recovery, ...): on Windows "Zorvane" in the roaming
// application data folder, elsewhere "zorvane" in $XDG_DATA_HOME or, without
// it, in ~/.local/share.

#include <string>

namespace zorvane {

enum class AppDataFolderUse {
    Find,    // only name it
    Create,  // and make it (with the folders above it) when it is not there
};

// The folder as a UTF-8 path; throws Error when the system names no place
// for it or, with Create, when it cannot be made.
std::string AppDataFolder(AppDataFolderUse use = AppDataFolderUse::Find);

}  // namespace zorvane
