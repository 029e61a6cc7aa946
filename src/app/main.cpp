// zorvane-editor: the Zorvane Terrain Editor. `zorvane-editor MAP.zm` or
// `zorvane-editor PROJECT.zl` opens that file at start.

#include <QApplication>

#include "editor/main_window.h"
#include "editor/recovery_guard.h"
#include "editor/start_arguments.h"
#include "platform/process.h"
#include "platform/signals.h"

int main(int argc, char** argv) {
    zorvane::IgnoreFileSizeLimitSignal();
    if (const auto status = zorvane::editor::AnswerOnConsole(zorvane::Utf8Arguments(argc, argv), ZORVANE_VERSION))
        return *status;
    QApplication app(argc, argv);
    // The names under which the settings store keeps the recent files and
    // the dialogs' folders.
    QApplication::setOrganizationName(QStringLiteral("Zorvane"));
    QApplication::setApplicationName(QStringLiteral("Zorvane Terrain Editor"));
    zorvane::editor::MainWindow window;
    window.showMaximized();
    // A recovery copy first; a file named on the command line opens only
    // when the user opened none.
    zorvane::editor::RecoveryGuard recovery(window);
    recovery.OfferAtStart();
    if (window.project().NoProject && window.project().UsedTiles.empty())
        zorvane::editor::OpenStartFiles(window,
                                        zorvane::editor::StartFiles(zorvane::Utf8Arguments(argc, argv), argc));
    const int status = QApplication::exec();
    // The window closes only after the user saved or discarded the changes.
    recovery.CleanExit();
    return status;
}
