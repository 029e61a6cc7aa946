#include "commands/lifecycle.h"

#include "commands/file_dialogs.h"
#include "commands/open_commands.h"
#include "model/creatures.h"
#include "model/map_file.h"
#include "model/merge.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"

namespace zorvane {

namespace {

void ReportOpenError(UserInterface& ui, const std::string& path, const std::string& reason) {
    ui.setStatus("error opening " + path + "!");
    ui.error("Error", "Could not open " + path + "\r" + reason);
}

// The map was made anew (its size, its tiles) and, when `list` says so, the
// tiles list with it.
enum class WithList { No, Yes };
void TellMapRemade(const Project& project, UserInterface& ui, WithList list) {
    ChangeNotice notice{Changed::MapSize | Changed::UsedTiles, 0, static_cast<int>(project.NewTiles.size()) - 1};
    if (list == WithList::Yes) notice.What = notice.What | Changed::TilesList;
    ui.changed(notice);
}

bool UserMapSizeAccepted(UserInterface& ui, int sizeX, int sizeY) {
    auto inRange = [](int v) { return v >= MinUserMapSize && v <= MaxUserMapSize; };
    if (inRange(sizeX) && inRange(sizeY)) return true;
    ui.error("Error", "Size X and Size Y (without borders) must be between " + std::to_string(MinUserMapSize) +
                          " and " + std::to_string(MaxUserMapSize) + ".");
    return false;
}

// One 1 x 1 used tile per square in row order: `bitmap` inside, nothing and
// impassable in the border.
void FillWithBitmap(Project& project, std::uint16_t bitmap) {
    const int w = project.MapWidth;
    const int h = project.MapHeight;
    project.UsedTiles.clear();
    project.UsedTiles.reserve(static_cast<std::size_t>(w) * h);
    for (int i = 0; i < w * h; ++i) {
        auto tile = std::make_unique<MapTile>(1, 1);
        tile->X = i % w;
        tile->Y = i / w;
        bool border = IsBorderSquare(tile->X, tile->Y, w, h);
        tile->Sq[0] = MapSquare{border ? NoBitmap : bitmap, NoBitmap, border ? AtrImpassable : std::uint8_t{0}};
        project.UsedTiles.push_back(std::move(tile));
    }
}

// Copies of tiles list entry `tileNr` side by side from (2, 2) until the
// inner map is covered; the last row and column may reach past it. They
// take the place of every used tile. A number beyond the list fills nothing.
void FillWithTile(Project& project, int tileNr) {
    if (tileNr < 0 || tileNr >= static_cast<int>(project.NewTiles.size())) return;
    const MapTile& tile = *project.NewTiles[static_cast<std::size_t>(tileNr)];
    if (tile.Width <= 0 || tile.Height <= 0) return;
    auto ceilDiv = [](int a, int b) { return a <= 0 ? 0 : (a + b - 1) / b; };
    const int cols = ceilDiv(project.MapWidth - 2 * BorderWidth, tile.Width);
    const int rows = ceilDiv(project.MapHeight - 2 * BorderWidth, tile.Height);
    TileList copies;
    copies.reserve(static_cast<std::size_t>(cols) * rows);
    for (int i = 0; i < cols * rows; ++i) {
        auto copy = CopyTile(tile);
        copy->X = (i % cols) * tile.Width + BorderWidth;
        copy->Y = (i / cols) * tile.Height + BorderWidth;
        copies.push_back(std::move(copy));
    }
    project.UsedTiles = std::move(copies);
}

}  // namespace

void ResetProject(Project& project, UserInterface& ui, ResetSides sides, ResetRedraw redraw) {
    const bool tileSide = sides != ResetSides::Map;
    const bool mapSide = sides != ResetSides::TileSet;
    project.NoProject = true;
    project.Selection.clear();
    for (auto& t : project.UsedTiles) t->Selected = false;
    if (mapSide) {
        project.MapWidth = 0;
        project.MapHeight = 0;
    }
    if (tileSide) {
        project.SetBitmapCount(0);
        project.Multiplayer = 0;
        project.ZpPath.clear();
        project.Creatures.clear();
        project.NewTiles.clear();
        project.NotifyTileSetReset();
    }
    if (mapSide) project.UsedTiles.clear();
    project.FlatSquares.clear();
    project.Selection.clear();
    ui.changed(NewProjectStarted());
    if (redraw == ResetRedraw::Yes) TellMapRemade(project, ui, WithList::Yes);
}

void FailOpen(Project& project, UserInterface& ui, const std::string& path, const std::string& reason) {
    ResetProject(project, ui, ResetSides::Both, ResetRedraw::No);
    ReportOpenError(ui, path, reason);
}

void FailSave(UserInterface& ui, const std::string& path, const std::string& reason) {
    ui.setStatus("error saving " + path + "!");
    ui.error("Error", "Could not save " + path + "\r" + reason);
}

bool CreateMap(Project& project, UserInterface& ui, const MapCreation& map) {
    ui.setStatus("Creating new map...");
    ProgressScope progress(ui);
    if (map.TileSetPath) project.ZpPath = *map.TileSetPath;
    project.Multiplayer = map.Multiplayer ? 1 : 0;
    project.MapWidth = map.Width;
    project.MapHeight = map.Height;
    if (map.FillBitmap) {
        bool valid = *map.FillBitmap >= 0 && *map.FillBitmap <= NoBitmap;
        FillWithBitmap(project, valid ? static_cast<std::uint16_t>(*map.FillBitmap) : NoBitmap);
    }
    if (map.TileSetPath && !OpenZP(project, ui)) {
        // The reader has reset the project; the windows show it empty.
        TellMapRemade(project, ui, WithList::Yes);
        return false;
    }
    if (map.FillTile) FillWithTile(project, *map.FillTile);
    TellMapRemade(project, ui, map.TileSetPath.has_value() ? WithList::Yes : WithList::No);
    ResetCreatures(project, ui);
    SetLvlInfo(project, project.Multiplayer == 1);
    project.NoProject = false;
    ui.setStatus("New map created!");
    return true;
}

bool CreateNewMap(Project& project, UserInterface& ui, const NewMapSettings& settings) {
    if (!UserMapSizeAccepted(ui, settings.SizeX, settings.SizeY)) return false;
    if (!FileExists(settings.ZpPath)) {
        ui.error("Error", "Could not find \"" + settings.ZpPath + "\"");
        return false;
    }
    bool open = !project.UsedTiles.empty() || !project.NoProject;
    if (open && !ui.confirm("Warning", "This operation will close current project!")) return false;
    ResetProject(project, ui, ResetSides::Both, ResetRedraw::No);
    MapCreation map{settings.SizeX + 2 * BorderWidth, settings.SizeY + 2 * BorderWidth, settings.Multiplayer,
                    AbsolutePath(settings.ZpPath), std::nullopt, std::nullopt};
    if (settings.FillWithBitmap) map.FillBitmap = settings.BitmapNr;
    if (settings.FillWithTile) map.FillTile = settings.TileNr;
    return CreateMap(project, ui, map);
}

// --- Project properties ---------------------------------------------------

std::string CreaturesLabel(const Project& project) {
    int n = CreaturesCount(project);
    return "Creatures count = " + std::to_string(n) + (n == 1 ? " (level info)" : "");
}

std::string BitmapsLabel(const Project& project) {
    return "Number of bitmaps = " + std::to_string(project.BitmapCount) + "\r" +
           "Number of tiles in the list = " + std::to_string(project.NewTiles.size()) + "\r" +
           "Number of tiles in the map = " + std::to_string(project.UsedTiles.size());
}

bool ResetCreaturesCommand(Project& project, UserInterface& ui) {
    if (project.UsedTiles.empty()) {
        ui.inform("Information", "Nothing to erease.");
        return false;
    }
    if (!ui.confirm("Warning", "All creatures data will be ereased!\rThis operation cannot be undone!")) return false;
    ResetCreatures(project, ui);
    SetLvlInfo(project, project.Multiplayer == 1);
    return true;
}

bool ImportCreatures(Project& project, UserInterface& ui) {
    auto file = ui.chooseFile(OpenMapDialog());
    if (!file) return false;
    bool keepCurrent = true;
    if (!project.Creatures.empty()) {
        Answer a = ui.message("Importing Creatures",
                              "Merge imported creatures with current project?\r(may cause errors in zme/zmpe editor)",
                              Icon::Question, Buttons::YesNoCancel, Answer::No);
        if (a == Answer::Cancel) return false;
        keepCurrent = a == Answer::Yes;
    }
    ui.setStatus("opening " + *file + "...");
    MapFile map;
    try {
        map = ParseZM(ReadWholeFile(*file));
    } catch (const std::exception& e) {
        ReportOpenError(ui, *file, e.what());
        return false;
    }
    if (!keepCurrent) project.Creatures.clear();
    project.Creatures.insert(project.Creatures.end(), map.Creatures.begin(), map.Creatures.end());
    SetLvlInfo(project, project.Multiplayer == 1);
    ui.setStatus(*file + " - creatures imported");
    ui.inform("Importing Creatures", "Creatures Imported!");
    return true;
}

bool RemoveUnusedBitmapsCommand(Project& project, UserInterface& ui) {
    if (project.BitmapCount == 0) {
        ui.inform("Information", "Nothing to erease.");
        return false;
    }
    if (!ui.confirm("Warning", "Are you sure?\rThis operation cannot be undone!")) return false;
    RemoveUnusedBitmaps(project, ui);
    return true;
}

bool ApplyProperties(Project& project, UserInterface& ui, const PropertiesChange& change) {
    if (!UserMapSizeAccepted(ui, change.SizeX, change.SizeY)) return false;
    if (change.NewZpPath) {
        if (!ui.confirm("Warning", "Are you sure that selected *.zp is compatible with this project?")) return false;
        // The chosen file is read and checked before anything changes: a
        // damaged one is refused and the project stays as it was.
        const std::string path = AbsolutePath(*change.NewZpPath);
        ui.setStatus("opening " + path + "...");
        ProgressScope progress(ui);
        TileSet set;
        try {
            set = ReadZP(path);
        } catch (const std::exception& e) {
            ReportOpenError(ui, path, e.what());
            return false;
        }
        // The used tiles keep their bitmap ids.
        project.ZpPath = path;
        project.Creatures.clear();
        TakeTileSet(project, ui, std::move(set), path);
    }
    project.MapWidth = change.SizeX + 2 * BorderWidth;
    project.MapHeight = change.SizeY + 2 * BorderWidth;
    project.Multiplayer = change.Multiplayer ? 1 : 0;
    SetLvlInfo(project, project.Multiplayer == 1);
    if (change.MoveCreatures) MoveCreatures(project, change.MoveX, change.MoveY);
    TellMapRemade(project, ui, WithList::Yes);
    return true;
}

}  // namespace zorvane
