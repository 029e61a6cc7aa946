#include "commands/save_commands.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>

#include "commands/file_commands.h"
#include "commands/file_dialogs.h"
#include "commands/lifecycle.h"
#include "model/creatures.h"
#include "model/flatten.h"
#include "model/layered_file.h"
#include "model/map_file.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"

namespace zorvane {

namespace {

// Empties FlatSquares when the export or write ends, however it ends.
struct FlatSquaresRelease {
    Project& project;
    ~FlatSquaresRelease() {
        project.FlatSquares.clear();
        project.FlatSquares.shrink_to_fit();
    }
};

// Absolute by the rules of either platform: a map file may come from a
// system whose paths begin with a drive letter.
bool IsAbsoluteAnywhere(const std::string& path) {
    if (path.empty()) return false;
    if (path[0] == '/' || path[0] == '\\') return true;
    if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') return true;
    return std::filesystem::path(path).is_absolute();
}

// A tile set path the user names now is stored in full, as the game's tools
// store it.
void MakeZpPathAbsolute(Project& project) {
    if (!project.ZpPath.empty() && !IsAbsoluteAnywhere(project.ZpPath)) project.ZpPath = AbsolutePath(project.ZpPath);
}

int LastTileIndex(const Project& project) { return static_cast<int>(project.NewTiles.size()) - 1; }

// Asks for the new tile set file and writes it; false when the export is to stop.
bool WriteNewTileSet(Project& project, UserInterface& ui, bool zme) {
    ui.inform("Create new *.zp",
              "It's necessary to create a new *.zp file.\rTo continue exporting map, select the path and name for "
              "new file.");
    FileDialog dialog = SaveTileSetDialog();
    auto chosen = ui.chooseFile(dialog);
    if (chosen && !OverwritePrompt2(ui, *chosen, ".zp")) chosen.reset();
    if (!chosen) {
        ui.error("Error", "Exporting stopped by user!");
        return false;
    }
    std::string oldPath = project.ZpPath;
    project.ZpPath = ChangeFileExt(*chosen, ".zp");
    MakeZpPathAbsolute(project);
    if (project.ZpPath.size() > MaxStoredPath) {
        // The map could not name it: refuse before anything is written.
        FailSave(ui, project.ZpPath, "The tile set path is longer than 255 bytes and cannot be stored in the map.");
    } else if (MakeNewZP(project, ui, zme)) {
        return true;
    }
    project.ZpPath = std::move(oldPath);  // the project still belongs to the old tile set
    return false;
}

}  // namespace

bool MakeNewZP(Project& project, UserInterface& ui, bool zme) {
    const std::string path = project.ZpPath;
    ui.setStatus("writing " + path + "...");
    ProgressScope progress(ui);
    try {
        SaveFileAtomically(path, EncodeZP(project, zme));
    } catch (const std::exception& e) {
        FailSave(ui, path, e.what());
        return false;
    }
    project.ZpModified = false;
    project.ZmeVariant = zme;
    if (zme && std::all_of(project.FileHeader.begin(), project.FileHeader.end(), [](std::uint8_t b) { return b == 0; })) SetDefsZPgora_o(project);
    const bool rowsWereBottomUp = project.BottomUpRows;
    MakeRowOrderConsistent(project);
    if (rowsWereBottomUp != project.BottomUpRows) ui.bitmapsChanged();
    ui.setStatus(path + " saved!");
    return true;
}

bool SaveZmAs(Project& project, UserInterface& ui, const std::string& path, bool zme) {
    FlatSquaresRelease release{project};
    ui.setStatus("saving " + path + "...");
    ProgressScope progress(ui);
    if (project.Creatures.empty()) {
        ResetCreatures(project, ui);
        SetLvlInfo(project, project.Multiplayer == 1);
    }
    try {
        SaveFileAtomically(path, EncodeZM(project, zme));
    } catch (const Error& e) {
        FailSave(ui, path, e.what());
        return false;
    }
    ui.setStatus(path + " saved!");
    return true;
}

bool ExportToZmZp(Project& project, UserInterface& ui, bool zme) {
    FileDialog dialog = SaveMapDialog();
    auto chosen = ui.chooseFile(dialog);
    if (!chosen) return false;
    if (!OverwritePrompt2(ui, *chosen, ".zm")) return false;
    return ExportToZmZpFile(project, ui, ChangeFileExt(*chosen, ".zm"), zme);
}

bool ExportToZmZpFile(Project& project, UserInterface& ui, const std::string& path, bool zme) {
    FlatSquaresRelease release{project};
    bool bitmapsAdded = false;
    try {
        bitmapsAdded = FlatMap(project, ui);
    } catch (const Error& e) {
        ui.error("Error", e.what());
        return false;
    }
    bool needNewTileSet = bitmapsAdded || project.ZpModified || project.ZpPath.empty() || project.ZmeVariant != zme;
    // A path the map was read with is written back as it was, relative or not.
    if (needNewTileSet && !WriteNewTileSet(project, ui, zme)) return false;
    bool saved = SaveZmAs(project, ui, path, zme);
    ui.refreshInterface({0, LastTileIndex(project), true, false, false, false});
    return saved;
}

bool SaveZL(Project& project, UserInterface& ui, bool toPath, const std::string& path) {
    std::string target = path;
    if (!toPath) {
        FileDialog dialog = SaveLayeredDialog();
        auto chosen = ui.chooseFile(dialog);
        if (!chosen) return false;
        if (!OverwritePrompt2(ui, *chosen, ".zl")) return false;
        target = ChangeFileExt(*chosen, ".zl");
    }
    ui.setStatus("saving " + target + "...");
    ProgressScope progress(ui);
    try {
        MakeRowOrderConsistent(project);
        SaveFileAtomically(target, EncodeZL(project));
    } catch (const Error& e) {
        FailSave(ui, target, e.what());
        return false;
    }
    ui.setStatus(target + " saved.");
    return true;
}

}  // namespace zorvane
