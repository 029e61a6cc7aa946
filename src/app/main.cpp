// zorvane-editor: the Zorvane Terrain Editor.

#include <QApplication>

#include "editor/main_window.h"
#include "platform/signals.h"

int main(int argc, char** argv) {
    zorvane::IgnoreFileSizeLimitSignal();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorvane Terrain Editor"));
    zorvane::editor::MainWindow window;
    window.showMaximized();
    return QApplication::exec();
}
