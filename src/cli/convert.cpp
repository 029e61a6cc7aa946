// zorvane convert and zorvane export: load a project file into a project
// and write it in another format or variant, through the same operations
// the editor's File menu uses.

#include <iostream>

#include "commands.h"
#include "commands/save_commands.h"
#include "console_ui.h"
#include "loading.h"
#include "model/layered_file.h"
#include "model/map_file.h"
#include "model/tileset_file.h"
#include "platform/file_io.h"

namespace zorvane::cli {

int Convert(const ConvertOptions& o) {
    ConsoleUi ui;
    ui.verbose = o.verbose;
    std::string in = AbsolutePath(o.in), out = AbsolutePath(o.out);
    try {
        ProjectFileKind from = KindOfFile(in);
        ProjectFileKind to = KindOfName(out);
        const std::optional<TileSetVariant> variant = ParseVariant(o.variant);
        Project project;
        if (from == ProjectFileKind::TileSet && to == ProjectFileKind::TileSet) {
            if (!Load(project, ui, in, std::nullopt)) return Fail("convert", ui);
            const TileSetVariant written = variant.value_or(VariantOf(project.ZmeVariant));
            project.ZpPath = out;
            return MakeNewZP(project, ui, written) ? 0 : Fail("convert", ui);
        }
        if ((from == ProjectFileKind::Map || from == ProjectFileKind::Layered) && to == ProjectFileKind::Layered) {
            if (variant) return Fail("convert", "--variant applies to tile set files only.");
            if (!Load(project, ui, in, o.zp)) return Fail("convert", ui);
            return SaveZLFile(project, ui, out) ? 0 : Fail("convert", ui);
        }
        return Fail("convert", "Cannot convert " + o.in + " to " + o.out +
                                   ": tile sets convert to *.zp, map and layered projects to *.zl "
                                   "(use export for *.zm).");
    } catch (const Error& e) {
        return Fail("convert", e.what());
    }
}

int Export(const ExportCommandOptions& o) {
    ConsoleUi ui;
    ui.verbose = o.verbose;
    std::string in = AbsolutePath(o.in), out = AbsolutePath(o.out);
    try {
        const TileSetVariant variant = *ParseVariant(o.variant);
        if (KindOfName(out) != ProjectFileKind::Map) return Fail("export", "The target must be a *.zm file.");
        Project project;
        if (KindOfFile(in) != ProjectFileKind::Layered) return Fail("export", o.in + " is not a layered project (*.zl).");
        if (!Load(project, ui, in, std::nullopt)) return Fail("export", ui);
        const ExportOptions options =
            o.zp ? ExportOptions::WritingTileSetTo(AbsolutePath(*o.zp)) : ExportOptions::RefusingNewTileSet();
        switch (ExportToZmZpFile(project, ui, out, variant, options)) {
        case ExportResult::Exported: return 0;
        case ExportResult::NeedsNewTileSet:
            return Fail("export", "This export needs a new tile set file: name it with --zp NEW.zp. Nothing was written.");
        case ExportResult::Failed: break;
        }
        return Fail("export", ui);
    } catch (const Error& e) {
        return Fail("export", e.what());
    }
}

}  // namespace zorvane::cli
