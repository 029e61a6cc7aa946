#pragma once
// How a project comes and goes: reset, new map, and the operations of the
// project properties window.

#include <optional>
#include <string>

#include "model/project.h"
#include "ui/ui.h"

namespace zorvane {

// The sides of the project a reset empties; the selection goes always.
enum class ResetSides { TileSet, Map, Both };
// Whether a reset tells the windows that the map and the tiles list were
// made anew (after the new empty project), or leaves that to the command
// that goes on and fills the project.
enum class ResetRedraw { No, Yes };

void ResetProject(Project& project, UserInterface& ui, ResetSides sides, ResetRedraw redraw);

// A failed open: the project reset to empty (NoProject set), "error opening "
// + path + "!" in status panel 0, and an error box with the reason.
void FailOpen(Project& project, UserInterface& ui, const std::string& path, const std::string& reason);
// A failed write: "error saving " + path + "!" and an error box with the reason.
void FailSave(UserInterface& ui, const std::string& path, const std::string& reason);

// What CreateMap makes.
struct MapCreation {
    int Width = 0;  // squares, borders included
    int Height = 0;
    bool Multiplayer = true;
    std::optional<std::string> TileSetPath;  // read as the project's tile set; none keeps the one there is
    std::optional<int> FillBitmap;           // one 1 x 1 tile per square showing this bitmap inside the border
    std::optional<int> FillTile;             // copies of this tiles list entry over the inner map
};
// Creates a map. When the tile set to read cannot be read the project is
// left reset (NoProject set) and false is returned.
bool CreateMap(Project& project, UserInterface& ui, const MapCreation& map);

// What the "New map" window holds when "Create" is pressed.
struct NewMapSettings {
    int SizeX = 100;  // without borders
    int SizeY = 100;
    bool Multiplayer = true;
    bool FillWithBitmap = false;
    int BitmapNr = 0;
    bool FillWithTile = false;
    int TileNr = 0;
    std::string ZpPath;
};
// "Create": checks the sizes and the tile set path, asks before closing an
// open project, resets and creates. Returns false when the window is to stay
// open (also when the tile set could not be read: the project is then empty).
bool CreateNewMap(Project& project, UserInterface& ui, const NewMapSettings& settings);

// --- Project properties ---------------------------------------------------

std::string CreaturesLabel(const Project& project);  // "Creatures count = " ...
std::string BitmapsLabel(const Project& project);    // "Number of bitmaps = " ...

// "Reset Creatures", "Import Creatures", "Remove Unused Bitmaps": each asks
// what the window asks and returns whether the project changed.
bool ResetCreaturesCommand(Project& project, UserInterface& ui);
bool ImportCreatures(Project& project, UserInterface& ui);
bool RemoveUnusedBitmapsCommand(Project& project, UserInterface& ui);

struct PropertiesChange {
    std::optional<std::string> NewZpPath;  // a tile set chosen with "Change *.zp path"
    int SizeX = 0;                          // without borders
    int SizeY = 0;
    bool Multiplayer = true;
    bool MoveCreatures = false;
    int MoveX = 0;
    int MoveY = 0;
};
// "Apply". Returns false, with nothing applied and the window to stay open,
// when a size is out of range, the user cancelled, or the newly chosen tile
// set could not be read (the error is shown; the project stays as it was).
bool ApplyProperties(Project& project, UserInterface& ui, const PropertiesChange& change);

}  // namespace zorvane
