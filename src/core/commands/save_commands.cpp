#include "commands/save_commands.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>

#include "commands/file_commands.h"
#include "commands/file_dialogs.h"
#include "commands/lifecycle.h"
#include "model/creatures.h"
#include "model/file_kinds.h"
#include "model/flatten.h"
#include "model/layered_file.h"
#include "model/map_file.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"
#include "platform/file_names.h"

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
    return PathFromUtf8(path).is_absolute();
}

// A tile set path the user names now is stored in full, as the game's tools
// store it.
void MakeZpPathAbsolute(Project& project) {
    if (!project.ZpPath.empty() && !IsAbsoluteAnywhere(project.ZpPath)) project.ZpPath = AbsolutePath(project.ZpPath);
}

// The file name for the new tile set an export needs, as `options` say:
// asked for, or the one named; nullopt when the export is to stop (the user
// has been told).
std::optional<std::string> NewTileSetPath(UserInterface& ui, const ExportOptions& options) {
    const std::string ext(KindEntry(ProjectFileKind::TileSet).extension);
    if (options.newTileSet == ExportOptions::NewTileSet::WriteTo) {
        // Named, not chosen in a dialog: a file the forced extension leads
        // to is not replaced unasked.
        if (!ForcedExtensionMeetsOtherFile(options.newTileSetPath, ext)) return options.newTileSetPath;
        ui.error("Error", "Exporting stopped: \"" + ChangeFileExt(options.newTileSetPath, ext) +
                              "\" already exists and is not the file named.");
        return std::nullopt;
    }
    ui.inform("Create new *.zp",
              "It's necessary to create a new *.zp file.\rTo continue exporting map, select the path and name for "
              "new file.");
    auto chosen = ui.chooseFile(SaveTileSetDialog());
    if (chosen && !ConfirmOverwriteWithExtension(ui, *chosen, ext)) chosen.reset();
    if (!chosen) ui.error("Error", "Exporting stopped by user!");
    return chosen;
}

// What writing the tile set changes in the project: it is the file's now.
void TakeWrittenTileSet(Project& project, UserInterface& ui, TileSetVariant variant) {
    const bool zme = variant == TileSetVariant::Zme;
    project.ZpModified = false;
    project.ZmeVariant = zme;
    if (zme && std::all_of(project.FileHeader.begin(), project.FileHeader.end(), [](std::uint8_t b) { return b == 0; }))
        SetDefaultFileHeader(project);
    const bool rowsWereBottomUp = project.BottomUpRows;
    MakeRowOrderConsistent(project);
    if (rowsWereBottomUp != project.BottomUpRows) ui.changed(BitmapsChanged());
}

// Gives a map without creatures the default block before it is written.
void EnsureCreatures(Project& project, UserInterface& ui) {
    if (!project.Creatures.empty()) return;
    ResetCreatures(project, ui);
    SetLvlInfo(project, project.Multiplayer == 1);
}

// Writes the map and the new tile set it names together: both complete or
// neither replaced. False when the export is to stop (the user was told).
bool SaveZmWithNewTileSet(Project& project, UserInterface& ui, const std::string& path, TileSetVariant variant,
                          const ExportOptions& options) {
    auto chosen = NewTileSetPath(ui, options);
    if (!chosen) return false;
    std::string oldPath = project.ZpPath;
    project.ZpPath = ChangeFileExt(*chosen, KindEntry(ProjectFileKind::TileSet).extension);
    MakeZpPathAbsolute(project);
    const std::string tileSetPath = project.ZpPath;
    if (tileSetPath.size() > MaxStoredPath) {
        // The map could not name it: refuse before anything is written.
        project.ZpPath = std::move(oldPath);
        FailSave(ui, tileSetPath, "The tile set path is longer than 255 bytes and cannot be stored in the map.");
        return false;
    }
    ui.setStatus("saving " + path + " and " + tileSetPath + "...");
    ProgressScope progress(ui);
    try {
        EnsureCreatures(project, ui);
        const std::vector<std::uint8_t> tileSet = EncodeZP(project, variant);
        const std::vector<std::uint8_t> map = EncodeZM(project, variant);
        SaveFilesTogether(std::vector<FileToSave>{{tileSetPath, tileSet}, {path, map}});
    } catch (const std::exception& e) {
        project.ZpPath = std::move(oldPath);  // the project still belongs to the old tile set
        FailSave(ui, path, e.what());
        return false;
    }
    TakeWrittenTileSet(project, ui, variant);
    ui.setStatus(tileSetPath + " saved!");
    ui.setStatus(path + " saved!");
    return true;
}

}  // namespace

bool MakeNewZP(Project& project, UserInterface& ui, TileSetVariant variant) {
    const std::string path = project.ZpPath;
    ui.setStatus("writing " + path + "...");
    ProgressScope progress(ui);
    try {
        SaveFileAtomically(path, [&](SaveSink& sink) { WriteZP(project, variant, sink); });
    } catch (const std::exception& e) {
        FailSave(ui, path, e.what());
        return false;
    }
    TakeWrittenTileSet(project, ui, variant);
    ui.setStatus(path + " saved!");
    return true;
}

bool SaveZmAs(Project& project, UserInterface& ui, const std::string& path, TileSetVariant variant) {
    FlatSquaresRelease release{project};
    ui.setStatus("saving " + path + "...");
    ProgressScope progress(ui);
    EnsureCreatures(project, ui);
    try {
        SaveFileAtomically(path, EncodeZM(project, variant));
    } catch (const Error& e) {
        FailSave(ui, path, e.what());
        return false;
    }
    ui.setStatus(path + " saved!");
    return true;
}

std::optional<std::string> ExportToZmZp(Project& project, UserInterface& ui, TileSetVariant variant) {
    auto chosen = ui.chooseFile(SaveMapDialog());
    const std::string ext(KindEntry(ProjectFileKind::Map).extension);
    if (!chosen) return std::nullopt;
    if (!ConfirmOverwriteWithExtension(ui, *chosen, ext)) return std::nullopt;
    const std::string target = ChangeFileExt(*chosen, ext);
    if (ExportToZmZpFile(project, ui, target, variant) != ExportResult::Exported) return std::nullopt;
    return target;
}

ExportResult ExportToZmZpFile(Project& project, UserInterface& ui, const std::string& path, TileSetVariant variant,
                              const ExportOptions& options) {
    FlatSquaresRelease release{project};
    bool bitmapsAdded = false;
    try {
        bitmapsAdded = FlatMap(project, ui);
    } catch (const Error& e) {
        ui.error("Error", e.what());
        return ExportResult::Failed;
    }
    bool needNewTileSet =
        bitmapsAdded || project.ZpModified || project.ZpPath.empty() || VariantOf(project.ZmeVariant) != variant;
    if (needNewTileSet && options.newTileSet == ExportOptions::NewTileSet::Refuse) return ExportResult::NeedsNewTileSet;
    // A path the map was read with is written back as it was, relative or not.
    const bool saved =
        needNewTileSet ? SaveZmWithNewTileSet(project, ui, path, variant, options) : SaveZmAs(project, ui, path, variant);
    ui.changed({Changed::Fields});
    return saved ? ExportResult::Exported : ExportResult::Failed;
}

std::optional<std::string> SaveZL(Project& project, UserInterface& ui) {
    auto chosen = ui.chooseFile(SaveLayeredDialog());
    const std::string ext(KindEntry(ProjectFileKind::Layered).extension);
    if (!chosen) return std::nullopt;
    if (!ConfirmOverwriteWithExtension(ui, *chosen, ext)) return std::nullopt;
    const std::string target = ChangeFileExt(*chosen, ext);
    if (!SaveZLFile(project, ui, target)) return std::nullopt;
    return target;
}

bool SaveZLFile(Project& project, UserInterface& ui, const std::string& target) {
    ui.setStatus("saving " + target + "...");
    ProgressScope progress(ui);
    try {
        MakeRowOrderConsistent(project);
        SaveFileAtomically(target, [&](SaveSink& sink) { WriteZL(project, sink); });
    } catch (const Error& e) {
        FailSave(ui, target, e.what());
        return false;
    }
    ui.setStatus(target + " saved.");
    return true;
}

}  // namespace zorvane
