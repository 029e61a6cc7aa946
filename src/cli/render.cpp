// zorvane render: the whole map drawn by the editor's renderer, as a PNG.
// The renderer needs Qt: it lives in the render module, loaded here, so
// that no other command loads Qt.

#include <filesystem>

#include "commands.h"
#include "loading.h"
#include "outputs.h"
#include "platform/file_io.h"
#include "platform/file_names.h"
#include "platform/modules.h"
#include "render_module.h"

namespace zorvane::cli {

namespace {

// The module beside this program's own file; throws Error saying what is
// wrong with it.
RenderMapFunction LoadRenderModule() {
    const std::filesystem::path folder = ExecutablePath().parent_path();
    const std::filesystem::path file = folder / ZORVANE_RENDER_MODULE;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        throw Error("The render module " ZORVANE_RENDER_MODULE " was not found next to zorvane (in " +
                    Utf8FromPath(folder) + ").");
    ModuleHandle module = nullptr;
    try {
        module = LoadModule(file);
    } catch (const Error& e) {
        throw Error("The render module " + Utf8FromPath(file) + " could not be loaded: " + e.what());
    }
    const auto renderMap = ModuleFunction<RenderMapFunction>(module, kRenderMapFunction);
    if (renderMap == nullptr)
        throw Error("The render module " + Utf8FromPath(file) + " has no function " + kRenderMapFunction + ".");
    return renderMap;
}

void KeepReason(void* context, const char* reason) { *static_cast<std::string*>(context) = reason; }

}  // namespace

int Render(const RenderCommandOptions& o) {
    ConsoleUi ui("render");
    ui.verbose = o.verbose;
    try {
        const RenderMapFunction renderMap = LoadRenderModule();
        const std::string in = AbsolutePath(o.in);
        const ProjectFileKind kind = KindOfFile(in);
        if (kind != ProjectFileKind::Map && kind != ProjectFileKind::Layered)
            return Fail("render", o.in + " is not a map project (*.zm) or layered project (*.zl).");
        OutputRules rules{.inputs = {in}};
        if (o.zp) rules.inputs.push_back(*o.zp);
        const std::string out = CheckOutputs({{.path = o.out, .extension = ".png", .option = "OUT"}}, rules).front();
        Document document;
        if (!Load(document, ui, in, kind, o.zp)) return Fail("render", ui);
        Project& project = document.project();
        std::string reason;
        const RenderJob job{.project = &project,
                            .out = out.c_str(),
                            .compression = o.compression,
                            .attributes = o.attributes,
                            .grid = o.grid,
                            .ids = o.ids,
                            .top = !o.noTop,
                            .borders = !o.noBorders,
                            .fail = KeepReason,
                            .context = &reason};
        if (renderMap(&job) != 0) return Fail("render", reason);
        ReportWritten(out);
        return 0;
    } catch (const Error& e) {
        return Fail("render", e.what());
    }
}

}  // namespace zorvane::cli
