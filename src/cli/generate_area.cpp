// zorvane generate DATA.zg --into MAP --area X,Y,W,H -o OUT.zl: new squares
// for one area of an existing map, joined to the squares around it, the
// rest of the map as it was. The map's squares are matched with the data
// file's learned squares by their bitmap ids, as `check` does.

#include <iostream>

#include "commands.h"
#include "commands/save_commands.h"
#include "generate_ui.h"
#include "generator/area/area_generation.h"
#include "generator/session.h"
#include "generator/zg_file.h"
#include "loading.h"
#include "outputs.h"
#include "model/file_kinds.h"
#include "platform/file_io.h"

namespace zorvane::cli {

int GenerateInto(const GenerateCommandOptions& o) {
    InterruptCounter interrupts;
    GenerationRequests requests;
    GenerateUi ui(requests, interrupts);
    ui.verbose = o.verbose;
    try {
        if (!o.into || !o.area) return Fail("generate", "--into and --area go together: the map and its area.");
        const std::pair<bool, const char*> wholeMapOnly[] = {
            {o.zm.has_value(), "--zm"}, {o.size.has_value(), "--size"}, {o.zp.has_value(), "--zp"},
            {o.variant.has_value(), "--variant"}};
        for (const auto& [given, name] : wholeMapOnly)
            if (given) return Fail("generate", std::string(name) + " applies to a whole new map, not to --into.");
        const std::optional<MapArea> area = ParseMapArea(*o.area);
        if (!area) return Fail("generate", "--area takes X,Y,W,H: four whole numbers, not " + *o.area + ".");
        const std::string out = CheckOutputs(
            {{.path = o.out, .extension = KindEntry(ProjectFileKind::Layered).extension, .option = "-o"}},
            {.inputs = {o.data, *o.into}, .force = o.force})[0];
        // The learned data and its settings, read beside the map.
        Project dataProject;
        GeneratorSession session;
        MapGenerator& gen = session.generator();
        dataProject.Generator = &gen;
        GeneratorSettings& settings = session.settings();
        if (!LoadZGFile(dataProject, ui, gen, settings, AbsolutePath(o.data))) return Fail("generate", ui);
        const ProjectFileKind kind = KindOfFile(AbsolutePath(*o.into));
        if (kind != ProjectFileKind::Map && kind != ProjectFileKind::Layered)
            return Fail("generate", *o.into + " is not a map project (*.zm) or layered project (*.zl).");
        Document document;
        if (!Load(document, ui, *o.into, kind, std::nullopt)) return Fail("generate", ui);
        Project& map = document.project();
        AreaOptions options;
        options.Seed = o.seed;
        options.TwinsDisallowed = settings.NoIdenticalNeighbours;
        if (o.timeout)
            options.TimeLimit = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                std::chrono::duration<double>(*o.timeout));
        GenerationReport report;
        switch (GenerateInArea(map, ui, gen, *area, options, requests, report)) {
        case AreaOutcome::Completed: break;
        case AreaOutcome::Stopped: return Fail("generate", "Stopped by Ctrl+C; nothing was written.");
        case AreaOutcome::Refused:
        case AreaOutcome::TimedOut: return Fail("generate", ui);
        }
        std::cout << ui.status() << "\n";
        if (!SaveZLFile(map, ui, out)) return Fail("generate", ui);
        ReportWritten(out);
        return 0;
    } catch (const Error& e) {
        return Fail("generate", e.what());
    }
}

}  // namespace zorvane::cli
