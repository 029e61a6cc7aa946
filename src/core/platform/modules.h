#pragma once
// Parts of the program kept in libraries of their own and loaded only when
// a command needs them (the render command's Qt renderer, so that the other
// commands start without Qt), and the running program's own file, beside
// which they lie: a library is looked for there, never in the current folder
// or on the system's library path.

#include <filesystem>

namespace zorvane {

// The running program's file, links resolved (so that a link to the program
// elsewhere still finds its libraries). Throws Error when the system cannot
// tell.
std::filesystem::path ExecutablePath();

// A loaded library. It stays loaded until the program ends: what it made
// may outlive the call into it (Qt's application object does).
using ModuleHandle = void*;

// Loads the library at `path`; throws Error with the system's reason (a
// library it needs missing, not a library at all, ...).
ModuleHandle LoadModule(const std::filesystem::path& path);

// The address of the function the library exports under `name` (with C
// linkage), or nullptr when it has none.
void* ModuleSymbol(ModuleHandle module, const char* name);

template <class Function>
Function ModuleFunction(ModuleHandle module, const char* name) {
    return reinterpret_cast<Function>(ModuleSymbol(module, name));
}

}  // namespace zorvane
