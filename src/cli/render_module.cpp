// The render module's one function: the editor's renderer draws the whole
// map and the picture is written as a PNG. Nothing thrown leaves the module.

#include <QImage>
#include <QtGlobal>

#include <cstdio>
#include <exception>
#include <type_traits>

#include "render/picture_file.h"
#include "render/render_whole_map.h"
#include "render_module.h"

#ifdef _WIN32
#define ZORVANE_MODULE_EXPORT __declspec(dllexport)
#else
#define ZORVANE_MODULE_EXPORT __attribute__((visibility("default")))
#endif

namespace {

// Qt's own notes (a missing XDG_RUNTIME_DIR, font lookups) are not the
// user's business; its critical errors are shown as the command's.
void QtMessagesAsTheCommands(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtCriticalMsg && type != QtFatalMsg) return;
    std::fprintf(stderr, "zorvane render: %s\n", message.toLocal8Bit().constData());
}

}  // namespace

extern "C" ZORVANE_MODULE_EXPORT int zorvane_render_map(const zorvane::cli::RenderJob* job) {
    using namespace zorvane;
    try {
        render::RenderOptions options;
        options.ShowAtr = job->attributes;
        options.ShowGrid = job->grid;
        options.ShowId = job->ids;
        options.ShowBorder = job->borders;
        options.ShowTop = job->top;
        qInstallMessageHandler(QtMessagesAsTheCommands);
        render::EnsureGuiApplication();
        QImage image = render::RenderWholeMap(*job->project, options);
        if (image.isNull()) {
            job->fail(job->context, "The map has no squares.");
            return 1;
        }
        render::SavePicture(image, job->out, "PNG", {.compression = job->compression});
        return 0;
    } catch (const std::exception& e) {
        job->fail(job->context, e.what());
    } catch (...) {
        job->fail(job->context, "The picture could not be made.");
    }
    return 1;
}

static_assert(std::is_same_v<decltype(&zorvane_render_map), zorvane::cli::RenderMapFunction>);
