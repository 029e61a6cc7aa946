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

// What opening does when the tile set a map names does not exist.
struct OpenOptions {
    enum class MissingTileSet {
        Ask,          // "Missing *.zp file", then the open dialog ODzp (the editor)
        ReadInstead,  // read `replacement` in its place
        Fail,         // fail as when the user declines
    };
    MissingTileSet missingTileSet = MissingTileSet::Ask;
    std::string replacement;
    // Whether `replacement` is read only in place of a missing tile set, or
    // always: a tile set the user named outright wins over the one the map
    // names (the project keeps naming the stored path either way).
    enum class Replacement { WhenMissing, Always };
    Replacement replacementUse = Replacement::WhenMissing;

    static OpenOptions ReadingInstead(std::string tileSet) {
        return {MissingTileSet::ReadInstead, std::move(tileSet)};
    }
    static OpenOptions ReadingAlways(std::string tileSet) {
        return {MissingTileSet::ReadInstead, std::move(tileSet), Replacement::Always};
    }
    static OpenOptions FailingWhenMissing() { return {MissingTileSet::Fail, {}}; }
};

// The file to read in place of the missing tile set `path`, as `options`
// say: asked for ("Missing *.zp file", on Yes the open dialog ODzp), the
// replacement named, or none. nullopt when there is none.
std::optional<std::string> ReplacementForMissingZP(UserInterface& ui, const std::string& path,
                                                   const OpenOptions& options);

// Makes `set`, read from the file `source`, the project's tile set (variant,
// headers, palette, bitmaps, tiles list) and clears ZpModified; tells the
// windows and the generator, and shows source + " opened.". ZpPath, the
// creature block and the map side stay as they are.
void TakeTileSet(Project& project, UserInterface& ui, TileSet&& set, const std::string& source);

// Reads the tile set named by ZpPath into the project, whose tile set side
// the caller has emptied. When the file is missing, reads a replacement as
// `options` say (the project keeps naming the missing path). On failure the
// whole project is reset and false is returned.
bool OpenZP(Project& project, UserInterface& ui, const OpenOptions& options = {});

// "Open *.zm": the open dialog ODzm, then OpenZMFile.
bool OpenZM(Project& project, UserInterface& ui);

// Loads a map project and its tile set (found as `options` say when it is
// missing) as the new project (one 1 x 1 used tile per square). On any
// failure the project is left reset and empty.
bool OpenZMFile(Project& project, UserInterface& ui, const std::string& path, const OpenOptions& options = {});

// "Open *.zl": the open dialog ODzl, then OpenZLFile.
bool OpenZL(Project& project, UserInterface& ui);

bool OpenZLFile(Project& project, UserInterface& ui, const std::string& path);

// Makes a whole project read from a file the project (the generator stays
// attached), shows `status` and refreshes the windows.
void TakeReadProject(Project& project, UserInterface& ui, Project&& read, const std::string& status);

}  // namespace zorvane
