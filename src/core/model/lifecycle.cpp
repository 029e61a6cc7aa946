#include "lifecycle.h"

namespace zorvane {

void ResetProject(Project& project, UserInterface& ui, bool tileSide, bool mapSide, bool redraw) {
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
    ui.projectReset(redraw);
    if (redraw) {
        int last = static_cast<int>(project.NewTiles.size()) - 1;
        ui.refreshInterface({0, last, true, true, true, true});
    }
}

void FailOpen(Project& project, UserInterface& ui, const std::string& path, const std::string& reason) {
    ResetProject(project, ui, true, true, false);
    ui.setStatus("error opening " + path + "!");
    ui.error("Error", "Could not open " + path + "\r" + reason);
}

void FailSave(UserInterface& ui, const std::string& path, const std::string& reason) {
    ui.setStatus("error saving " + path + "!");
    ui.error("Error", "Could not save " + path + "\r" + reason);
}

}  // namespace zorvane
