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
#include "outputs.h"
#include "platform/file_io.h"

namespace zorvane::cli {

namespace {

// Why convert does not read a file of this kind.
std::string NotConvertedText(const std::string& name, ProjectFileKind kind) {
    if (kind == ProjectFileKind::GeneratorData)
        return name + " is a generator data file (*.zg); convert reads tile sets (*.zp), map projects (*.zm) and "
                      "layered projects (*.zl).";
    return name + " is not a tile set (*.zp), map project (*.zm) or layered project (*.zl), the kinds convert "
                  "reads: its first bytes are none of theirs.";
}

}  // namespace

int Convert(const ConvertOptions& o) {
    ConsoleUi ui("convert");
    ui.verbose = o.verbose;
    const std::string in = AbsolutePath(o.in);
    try {
        const ProjectFileKind from = KindOfFile(in);
        const bool tileSet = from == ProjectFileKind::TileSet;
        if (!tileSet && from != ProjectFileKind::Map && from != ProjectFileKind::Layered)
            return Fail("convert", NotConvertedText(o.in, from));
        const std::optional<TileSetVariant> variant = ParseVariant(o.variant);
        if (variant && !tileSet) return Fail("convert", "--variant applies to tile set files only.");
        if (!tileSet && KindOfName(o.out) == ProjectFileKind::Map)
            return Fail("convert", "A map or layered project converts to *.zl; use export for a map project (*.zm).");
        const ProjectFileKind to = tileSet ? ProjectFileKind::TileSet : ProjectFileKind::Layered;
        OutputRules rules{.inputs = {in}, .force = o.force};
        if (o.zp) rules.inputs.push_back(*o.zp);
        const std::string out = CheckOutputs({{.path = o.out,
                                               .extension = KindEntry(to).extension,
                                               .option = "OUT",
                                               .existing = tileSet ? OutputFile::Existing::NeedsForce
                                                                   : OutputFile::Existing::Replace}},
                                             rules)
                                    .front();
        Document document;
        if (!Load(document, ui, in, from, o.zp)) return Fail("convert", ui);
        Project& project = document.project();
        if (tileSet) {
            project.ZpPath = out;
            if (!MakeNewZP(project, ui, variant.value_or(VariantOf(project.ZmeVariant)))) return Fail("convert", ui);
        } else if (!SaveZLFile(project, ui, out)) {
            return Fail("convert", ui);
        }
        ReportWritten(out);
        return 0;
    } catch (const Error& e) {
        return Fail("convert", e.what());
    }
}

int Export(const ExportCommandOptions& o) {
    ConsoleUi ui("export");
    ui.verbose = o.verbose;
    const std::string in = AbsolutePath(o.in);
    try {
        const TileSetVariant variant = *ParseVariant(o.variant);
        const ProjectFileKind kind = KindOfFile(in);
        if (kind != ProjectFileKind::Layered) return Fail("export", o.in + " is not a layered project (*.zl).");
        // Whether the tile set is written shows only in the export: an
        // existing one is refused then, without --force.
        std::vector<OutputFile> outputs{
            {.path = o.out, .extension = KindEntry(ProjectFileKind::Map).extension, .option = "OUT"}};
        if (o.zp)
            outputs.push_back(
                {.path = *o.zp, .extension = KindEntry(ProjectFileKind::TileSet).extension, .option = "--zp"});
        const std::vector<std::string> targets = CheckOutputs(outputs, {.inputs = {in}, .force = o.force});
        const std::string& out = targets[0];
        const std::string tileSet = o.zp ? targets[1] : std::string();
        Document document;
        if (!Load(document, ui, in, kind, std::nullopt)) return Fail("export", ui);
        Project& project = document.project();
        const bool inTheWay = o.zp && FileExists(tileSet) && !o.force;
        const ExportOptions options = o.zp && !inTheWay ? ExportOptions::WritingTileSetTo(tileSet)
                                                        : ExportOptions::RefusingNewTileSet();
        const FileStamp tileSetBefore(tileSet);
        switch (ExportToZmZpFile(project, ui, out, variant, options)) {
        case ExportResult::Exported:
            ReportWritten(out);
            if (o.zp && tileSetBefore.Replaced()) ReportWritten(tileSet);
            return 0;
        case ExportResult::NeedsNewTileSet:
            if (inTheWay)
                return Fail("export", "This export needs a new tile set file. " + ExistingTileSetText(tileSet) +
                                          " Nothing was written.");
            return Fail("export",
                        "This export needs a new tile set file: name it with --zp NEW.zp. Nothing was written.");
        case ExportResult::Failed: break;
        }
        return Fail("export", ui);
    } catch (const Error& e) {
        return Fail("export", e.what());
    }
}

}  // namespace zorvane::cli
