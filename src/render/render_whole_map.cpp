#include "render/render_whole_map.h"

#include <QGuiApplication>
#include <climits>

#include "render/bitmap_info.h"
#include "render/map_renderer.h"

namespace zorvane::render {

QImage RenderWholeMap(const zorvane::Project& project, const RenderOptions& options) {
    if (project.MapWidth <= 0 || project.MapHeight <= 0) return {};
    BitmapInfo info;
    ComputeBitmapInfo(project, info);
    MapRenderer renderer(project, info);
    renderer.Options = options;
    renderer.Options.FastRender = true;
    renderer.DepthLimit = INT_MAX;
    renderer.Resize(project.MapWidth * 32, project.MapHeight * 32);
    renderer.FullRedraw();
    return renderer.Picture();
}

void EnsureGuiApplication() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "zorvane";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

}  // namespace zorvane::render
