// zorvane render: the whole map drawn by the editor's renderer, as a PNG.

#include <QImage>

#include "commands.h"
#include "loading.h"
#include "outputs.h"
#include "platform/file_io.h"
#include "render/picture_file.h"
#include "render/render_whole_map.h"

namespace zorvane::cli {

int Render(const RenderCommandOptions& o) {
    ConsoleUi ui;
    ui.verbose = o.verbose;
    try {
        const std::string in = AbsolutePath(o.in);
        const ProjectFileKind kind = KindOfFile(in);
        if (kind != ProjectFileKind::Map && kind != ProjectFileKind::Layered)
            return Fail("render", o.in + " is not a map project (*.zm) or layered project (*.zl).");
        OutputRules rules{.inputs = {in}};
        if (o.zp) rules.inputs.push_back(*o.zp);
        const std::string out = CheckOutputs({{.path = o.out, .extension = ".png", .option = "OUT"}}, rules).front();
        Project project;
        if (!Load(project, ui, in, kind, o.zp)) return Fail("render", ui);
        editor::RenderOptions options;
        options.ShowAtr = o.attributes;
        options.ShowGrid = o.grid;
        options.ShowId = o.ids;
        options.ShowBorder = !o.noBorders;
        options.ShowTop = !o.noTop;
        editor::EnsureGuiApplication();
        QImage image = editor::RenderWholeMap(project, options);
        if (image.isNull()) return Fail("render", "The map has no squares.");
        editor::SavePicture(image, out, "PNG", {.compression = o.compression});
        ReportWritten(out);
        return 0;
    } catch (const Error& e) {
        return Fail("render", e.what());
    }
}

}  // namespace zorvane::cli
