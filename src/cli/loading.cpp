#include "loading.h"

#include <iostream>

#include "commands/document_commands.h"
#include "generator/map_check.h"
#include "model/layered_file.h"
#include "model/map_file.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"

namespace zorvane::cli {

std::optional<TileSetVariant> ParseVariant(const std::optional<std::string>& name) {
    if (!name) return std::nullopt;
    if (*name == "zme") return TileSetVariant::Zme;
    if (*name == "zmpe") return TileSetVariant::Zmpe;
    throw Error("--variant takes zme or zmpe.");
}

bool Load(Document& document, ConsoleUi& ui, const std::string& in, ProjectFileKind kind,
          const std::optional<std::string>& zp) {
    if (zp && kind != ProjectFileKind::Map)
        throw Error("--zp applies to a map project (*.zm); " + in + " holds its own tile set.");
    if (zp && !FileExists(AbsolutePath(*zp))) throw Error("The tile set " + *zp + " given with --zp does not exist.");
    const OpenOptions options = zp ? OpenOptions::ReadingAlways(AbsolutePath(*zp)) : OpenOptions::FailingWhenMissing();
    const auto open = [&] {
        return OpenDocumentFile(document, ui, in, kind, AfterFailedOpen::KeepProject, options).Done();
    };
    switch (kind) {
    case ProjectFileKind::TileSet: return open();
    case ProjectFileKind::Map: {
        if (open()) return true;
        // The usual reason: the map names a tile set that is not there.
        const std::string status = ui.status(), prefix = "error opening ";
        if (!zp && ui.problems.empty() && status.starts_with(prefix) && status.ends_with("!")) {
            const std::string missing = status.substr(prefix.size(), status.size() - prefix.size() - 1);
            if (!FileExists(missing)) {
                ui.problems.push_back(status);
                ui.problems.push_back("The map names the tile set " + missing +
                                      ", which does not exist; give the one to use with --zp.");
            }
        }
        return false;
    }
    case ProjectFileKind::Layered: return open();
    case ProjectFileKind::GeneratorData:
    case ProjectFileKind::Unknown: break;
    }
    throw Error(in + " is not a tile set (*.zp), map project (*.zm) or layered project (*.zl) file.");
}

int Fail(const char* command, const ConsoleUi& ui) {
    if (ui.problems.empty()) PrintError(command, ui.status());
    for (auto& p : ui.problems) PrintError(command, p);
    return 1;
}

int Fail(const char* command, const std::string& text) {
    PrintError(command, text);
    return 1;
}

std::optional<MapSquares> ReadMapSquares(const std::vector<std::uint8_t>& bytes) {
    switch (KindOfBytes(bytes)) {
    case ProjectFileKind::Layered: {
        const Project p = ParseZL(bytes);
        return MapSquares{VisibleSquares(p), p.MapWidth, p.MapHeight};
    }
    case ProjectFileKind::Map: {
        MapFile m = ParseZM(bytes);
        return MapSquares{std::move(m.Squares), m.Width, m.Height};
    }
    default: return std::nullopt;
    }
}

}  // namespace zorvane::cli
