#include "commands/file_commands.h"

#include "commands/file_dialogs.h"
#include "commands/lifecycle.h"
#include "commands/save_commands.h"
#include "model/layered_file.h"
#include "model/map_file.h"
#include "model/merge.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"

namespace zorvane {

namespace {

// The hourglass for the length of a command.
class BusyScope {
public:
    explicit BusyScope(UserInterface& ui) : ui_(ui) { ui_.setBusy(true); }
    ~BusyScope() { ui_.setBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    UserInterface& ui_;
};

void NothingToSave(UserInterface& ui) { ui.inform("Information", "Nothing to save."); }

// The tile set open dialog under a name of its own, so that it keeps its own folder.
FileDialog MergeDialog() {
    FileDialog dialog = OpenTileSetDialog();
    dialog.name = "ODmergeZp";
    return dialog;
}

}  // namespace

bool CloseQuestion(const Project& project, UserInterface& ui, bool generatorHasData) {
    bool somethingToLose = !project.UsedTiles.empty() || generatorHasData || !project.NoProject;
    if (!somethingToLose) return true;
    return ui.confirm("Warning", CloseQuestionText, Icon::Warning);
}

bool ForcedExtensionMeetsOtherFile(const std::string& fileName, std::string_view ext) {
    std::string target = ChangeFileExt(fileName, ext);
    // The extension was already the forced one: the save dialog has asked
    // about this very file. Another extension of the same length ("map.ab"
    // becoming "map.zp") names another file, which must not be replaced
    // unasked.
    return target != fileName && FileExists(target);
}

bool ConfirmOverwriteWithExtension(UserInterface& ui, const std::string& fileName, std::string_view ext) {
    if (!ForcedExtensionMeetsOtherFile(fileName, ext)) return true;
    std::string target = ChangeFileExt(fileName, ext);
    std::string text = "\"" + target + "\" already exists.\rDo you want to replace it?";
    return ui.message("File Exists!", text, Icon::Warning, Buttons::YesNo, Answer::No) == Answer::Yes;
}

bool HasSomethingToSave(const Project& project, UserInterface& ui) {
    if (project.UsedTiles.empty() || project.NoProject) {
        NothingToSave(ui);
        return false;
    }
    return true;
}

bool MakeZpCommand(Project& project, UserInterface& ui, TileSetVariant variant) {
    if (project.BitmapCount == 0) {
        NothingToSave(ui);
        return false;
    }
    auto file = ui.chooseFile(SaveTileSetDialog());
    const std::string_view ext = KindEntry(ProjectFileKind::TileSet).extension;
    if (!file || !ConfirmOverwriteWithExtension(ui, *file, ext)) return false;
    BusyScope busy(ui);
    std::string oldPath = project.ZpPath;
    project.ZpPath = AbsolutePath(ChangeFileExt(*file, ext));
    if (MakeNewZP(project, ui, variant)) return true;
    project.ZpPath = oldPath;
    return false;
}

bool MergeZpCommand(Project& project, UserInterface& ui) {
    if (project.NoProject) {
        ui.inform("Information", "The project is empty.");
        return false;
    }
    auto file = ui.chooseFile(MergeDialog());
    if (!file) return false;
    BusyScope busy(ui);
    if (!MergeZP(project, ui, *file)) return false;
    ui.setStatus(*file + " data imported successfully.");
    ui.changed({Changed::TileSet | Changed::TilesList, 0, static_cast<int>(project.NewTiles.size()) - 1});
    return true;
}

std::optional<std::string> SaveZlCommand(Project& project, UserInterface& ui) {
    if (!HasSomethingToSave(project, ui)) return std::nullopt;
    BusyScope busy(ui);
    return SaveZL(project, ui);
}

std::optional<std::string> ExportCommand(Project& project, UserInterface& ui, TileSetVariant variant) {
    if (!HasSomethingToSave(project, ui)) return std::nullopt;
    BusyScope busy(ui);
    return ExportToZmZp(project, ui, variant);
}

bool ResetProjectCommand(Project& project, UserInterface& ui, bool generatorHasData) {
    if (!CloseQuestion(project, ui, generatorHasData)) return false;
    ResetProject(project, ui, ResetSides::Both, ResetRedraw::Yes);
    return true;
}

}  // namespace zorvane
