// zorvane-editor: the Zorvane Terrain Editor.

#include <QApplication>

#include "editor/main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorvane Terrain Editor"));
    zorvane::editor::MainWindow window;
    window.showMaximized();
    return QApplication::exec();
}
