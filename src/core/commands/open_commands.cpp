#include "commands/open_commands.h"

#include <exception>
#include <memory>

#include "commands/file_dialogs.h"
#include "commands/lifecycle.h"
#include "model/layered_file.h"
#include "model/map_file.h"
#include "platform/file_io.h"

namespace zorvane {

namespace {

// Turns each square into a 1 x 1 used tile in row order.
void FillUsedTiles(Project& project, const std::vector<MapSquare>& squares, int width) {
    project.UsedTiles.clear();
    project.UsedTiles.reserve(squares.size());
    for (std::size_t i = 0; i < squares.size(); ++i) {
        auto tile = std::make_unique<MapTile>(1, 1);
        tile->X = static_cast<int>(i % static_cast<std::size_t>(width));
        tile->Y = static_cast<int>(i / static_cast<std::size_t>(width));
        tile->Sq[0] = squares[i];
        project.UsedTiles.push_back(std::move(tile));
    }
}

int LastTileIndex(const Project& project) { return static_cast<int>(project.NewTiles.size()) - 1; }

std::optional<std::string> AskForMissingZP(UserInterface& ui, const std::string& path) {
    if (!ui.askYesNo("Missing *.zp file", "Could not find " + path + "\r" + "Do you want to select it manually?"))
        return std::nullopt;
    return ui.chooseFile(OpenTileSetDialog(path));
}

}  // namespace

std::optional<std::string> ReplacementForMissingZP(UserInterface& ui, const std::string& path,
                                                   const OpenOptions& options) {
    switch (options.missingTileSet) {
    case OpenOptions::MissingTileSet::Ask: return AskForMissingZP(ui, path);
    case OpenOptions::MissingTileSet::ReadInstead: return options.replacement;
    case OpenOptions::MissingTileSet::Fail: break;
    }
    return std::nullopt;
}

void TakeTileSet(Project& project, UserInterface& ui, TileSet&& set, const std::string& source) {
    project.ZmeVariant = set.Zme;
    project.BottomUpRows = set.BottomUpRows;
    project.InfoHeader = set.InfoHeader;
    project.FileHeader = set.FileHeader;
    project.Palette = set.Palette;
    project.TakeBitmapBytes(std::move(set.Pixels));  // a tile set's own bitmaps: no second copy
    project.NewTiles = std::move(set.Tiles);
    project.ZpModified = false;
    ui.changed(BitmapsChanged());
    project.NotifyTileSetRead();
    ui.setStatus(source + " opened.");
}

bool OpenZP(Project& project, UserInterface& ui, const OpenOptions& options) {
    const std::string storedPath = project.ZpPath;
    std::string source = storedPath;
    const bool replacedOutright = options.missingTileSet == OpenOptions::MissingTileSet::ReadInstead &&
                                  options.replacementUse == OpenOptions::Replacement::Always;
    if (replacedOutright) {
        source = options.replacement;
    } else if (!FileExists(storedPath)) {
        auto chosen = ReplacementForMissingZP(ui, storedPath, options);
        if (!chosen) {
            ResetProject(project, ui, ResetSides::Both, ResetRedraw::No);
            ui.setStatus("error opening " + storedPath + "!");
            return false;
        }
        source = *chosen;  // read from there; the project keeps naming the stored path
    }
    ui.setStatus("opening " + source + "...");
    ProgressScope progress(ui);
    TileSet set;
    try {
        set = ReadZP(source);
    } catch (const std::exception& e) {
        FailOpen(project, ui, source, e.what());
        return false;
    }
    TakeTileSet(project, ui, std::move(set), source);
    return true;
}

bool OpenZM(Project& project, UserInterface& ui) {
    FileDialog dialog = OpenMapDialog();
    auto chosen = ui.chooseFile(dialog);
    if (!chosen) return false;
    return OpenZMFile(project, ui, *chosen);
}

bool OpenZMFile(Project& project, UserInterface& ui, const std::string& path, const OpenOptions& options) {
    ui.setStatus("opening " + path + "...");
    ProgressScope progress(ui);
    MapFile map;
    try {
        map = ParseZM(ReadWholeFile(path));
    } catch (const Error& e) {
        FailOpen(project, ui, path, e.what());
        return false;
    }
    ResetProject(project, ui, ResetSides::Both, ResetRedraw::No);
    project.ZpPath = std::move(map.ZpPath);
    project.Multiplayer = map.Multiplayer;
    project.MapWidth = map.Width;
    project.MapHeight = map.Height;
    FillUsedTiles(project, map.Squares, map.Width);
    project.Creatures = std::move(map.Creatures);
    ui.setStatus(path + " opened");
    if (!OpenZP(project, ui, options)) {
        // The tile set reader has reset the project; make sure nothing of
        // the map is left behind a project marked as closed.
        if (!project.UsedTiles.empty()) ResetProject(project, ui, ResetSides::Both, ResetRedraw::No);
        return false;
    }
    ui.changed({Changed::MapSize | Changed::UsedTiles | Changed::TilesList, 0, LastTileIndex(project)});
    project.NoProject = false;
    ui.setStatus(path + " opened");
    return true;
}

bool OpenZL(Project& project, UserInterface& ui) {
    FileDialog dialog = OpenLayeredDialog();
    auto chosen = ui.chooseFile(dialog);
    if (!chosen) return false;
    return OpenZLFile(project, ui, *chosen);
}

bool OpenZLFile(Project& project, UserInterface& ui, const std::string& path) {
    ui.setStatus("opening " + path + "...");
    Project read;
    try {
        read = ParseZL(ReadWholeFile(path));
    } catch (const ImproperFormatError& e) {
        ui.message("Error", e.what(), Icon::Warning);
        ResetProject(project, ui, ResetSides::Both, ResetRedraw::No);
        ui.setStatus("error opening " + path + "!");
        return false;
    } catch (const Error& e) {
        FailOpen(project, ui, path, e.what());
        return false;
    }
    TakeReadProject(project, ui, std::move(read), path + " opened.");
    return true;
}

void TakeReadProject(Project& project, UserInterface& ui, Project&& read, const std::string& status) {
    ResetProject(project, ui, ResetSides::Both, ResetRedraw::No);
    TileSetObserver* generator = project.Generator;
    project = std::move(read);
    project.Generator = generator;
    ui.changed(BitmapsChanged());
    ui.setStatus(status);
    ui.changed({Changed::MapSize | Changed::UsedTiles | Changed::TilesList, 0, LastTileIndex(project)});
    project.NoProject = false;
}

}  // namespace zorvane
