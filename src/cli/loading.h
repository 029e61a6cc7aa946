#pragma once
// What every sub-command that reads project files shares: telling the
// formats apart, loading any of them into a project, and reporting failures.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "console_ui.h"
#include "document/document.h"
#include "model/file_kinds.h"
#include "model/project.h"

namespace zorvane::cli {

// The variant a --variant option names ("zme" or "zmpe"): nullopt for no
// option; throws Error for any other name.
std::optional<TileSetVariant> ParseVariant(const std::optional<std::string>& name);

// Loads a tile set, map project or layered project file, of the kind that
// KindOfFile found from its first bytes (each command asks once), into
// the document through the editor's own open operations, reading it once. A
// tile set given with --zp (`zp`) is read in place of the one a map project
// names, whether that exists or not; it must exist, and it applies to map
// projects only (throws Error otherwise).
bool Load(Document& document, ConsoleUi& ui, const std::string& in, ProjectFileKind kind,
          const std::optional<std::string>& zp);

// The squares a map shows, row by row: a map project's own, or the topmost
// of a layered project's tiles on every square.
struct MapSquares {
    std::vector<MapSquare> Squares;
    int Width = 0;
    int Height = 0;
};
// Reads them from the bytes of a map project or a layered project; nullopt
// for a file of another kind. Throws Error for a damaged file.
std::optional<MapSquares> ReadMapSquares(const std::vector<std::uint8_t>& bytes);

// Reports a failure on standard error and returns the exit status 1: the
// error boxes the operation showed, or its status text when it showed none.
int Fail(const char* command, const ConsoleUi& ui);
int Fail(const char* command, const std::string& text);

}  // namespace zorvane::cli
