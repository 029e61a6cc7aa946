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
        bool zme = false;
        if (!ParseVariant(o.variant, zme)) return Fail("convert", "--variant takes zme or zmpe.");
        Project project;
        if (from == ProjectFileKind::TileSet && to == ProjectFileKind::TileSet) {
            if (!Load(project, ui, in, std::nullopt)) return Fail("convert", ui);
            if (!o.variant) zme = project.ZmeVariant;
            project.ZpPath = out;
            return MakeNewZP(project, ui, zme) ? 0 : Fail("convert", ui);
        }
        if ((from == ProjectFileKind::Map || from == ProjectFileKind::Layered) && to == ProjectFileKind::Layered) {
            if (o.variant) return Fail("convert", "--variant applies to tile set files only.");
            if (!Load(project, ui, in, o.zp)) return Fail("convert", ui);
            return SaveZL(project, ui, true, out) ? 0 : Fail("convert", ui);
        }
        return Fail("convert", "Cannot convert " + o.in + " to " + o.out +
                                   ": tile sets convert to *.zp, map and layered projects to *.zl "
                                   "(use export for *.zm).");
    } catch (const Error& e) {
        return Fail("convert", e.what());
    }
}

int Export(const ExportOptions& o) {
    ConsoleUi ui;
    ui.verbose = o.verbose;
    std::string in = AbsolutePath(o.in), out = AbsolutePath(o.out);
    try {
        bool zme = false;
        if (!ParseVariant(o.variant, zme)) return Fail("export", "--variant takes zme or zmpe.");
        if (KindOfName(out) != ProjectFileKind::Map) return Fail("export", "The target must be a *.zm file.");
        Project project;
        if (KindOfFile(in) != ProjectFileKind::Layered) return Fail("export", o.in + " is not a layered project (*.zl).");
        if (!Load(project, ui, in, std::nullopt)) return Fail("export", ui);
        if (o.zp) ui.files["SDzp"] = AbsolutePath(*o.zp);
        if (ExportToZmZpFile(project, ui, out, zme)) return 0;
        if (!o.zp && !ui.unansweredDialogs.empty() && ui.unansweredDialogs.back() == "SDzp")
            return Fail("export", "This export needs a new tile set file: name it with --zp NEW.zp. Nothing was written.");
        return Fail("export", ui);
    } catch (const Error& e) {
        return Fail("export", e.what());
    }
}

}  // namespace zorvane::cli
