#include "commands/document_commands.h"

#include <optional>

#include "commands/file_commands.h"
#include "commands/file_dialogs.h"
#include "commands/lifecycle.h"

namespace zorvane {
namespace {

bool ReadFile(Project& project, UserInterface& ui, const std::string& path, ProjectFileKind kind,
              const OpenOptions& options) {
    switch (kind) {
    case ProjectFileKind::Map: return OpenZMFile(project, ui, path, options);
    case ProjectFileKind::Layered: return OpenZLFile(project, ui, path);
    case ProjectFileKind::TileSet:
        project.ZpPath = path;
        return OpenZP(project, ui, options);
    case ProjectFileKind::GeneratorData:
    case ProjectFileKind::Unknown: break;
    }
    return false;
}

FileCommandResult Saved(Document& document, const std::optional<std::string>& file) {
    if (!file) {
        document.SaveEnded();
        return {FileCommandEnd::Failed, {}};
    }
    document.Saved(*file);
    return {FileCommandEnd::Done, *file};
}

}  // namespace

FileCommandResult OpenDocumentFile(Document& document, UserInterface& ui, const std::string& path,
                                   ProjectFileKind kind, AfterFailedOpen afterFailure, const OpenOptions& options) {
    const auto read = [&](Project& project, UserInterface& readUi) {
        return ReadFile(project, readUi, path, kind, options);
    };
    if (document.Open(ui, read, path)) return {FileCommandEnd::Done, path};
    if (afterFailure == AfterFailedOpen::CloseProject) {
        ResetProject(document.project(), ui, ResetSides::Both, ResetRedraw::No);
        document.Opened(std::string());
    }
    return {FileCommandEnd::Failed, {}};
}

FileCommandResult OpenDocumentCommand(Document& document, UserInterface& ui, ProjectFileKind kind,
                                      AfterFailedOpen afterFailure) {
    const auto chosen = ui.chooseFile(OpenDialog(kind));
    if (!chosen) return {};
    return OpenDocumentFile(document, ui, *chosen, kind, afterFailure);
}

FileCommandResult SaveDocumentCommand(Document& document, UserInterface& ui) {
    return Saved(document, SaveZlCommand(document.project(), ui));
}

FileCommandResult ExportDocumentCommand(Document& document, UserInterface& ui, TileSetVariant variant) {
    return Saved(document, ExportCommand(document.project(), ui, variant));
}

bool ResetDocumentCommand(Document& document, UserInterface& ui, bool generatorHasData) {
    if (!ResetProjectCommand(document.project(), ui, generatorHasData)) return false;
    document.Opened(std::string());
    return true;
}

}  // namespace zorvane
