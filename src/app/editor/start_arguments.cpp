#include "editor/start_arguments.h"

#include <QtGlobal>

#include <algorithm>
#include <iostream>

#include "editor/main_window.h"
#include "platform/file_io.h"

namespace zorvane::editor {

std::vector<std::string> StartFiles(const std::vector<std::string>& arguments, int remaining) {
    const std::size_t count =
        std::min(arguments.size() > 0 ? arguments.size() - 1 : 0, static_cast<std::size_t>(std::max(remaining - 1, 0)));
    return std::vector<std::string>(arguments.end() - static_cast<std::ptrdiff_t>(count), arguments.end());
}

namespace {

// Whether Qt will find no screen: a desktop platform (the default one on
// X11 or Wayland) with neither display named. Windows always has one.
bool NoDisplay() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    const bool desktopPlatform =
        platform.isEmpty() || platform.startsWith(QLatin1String("xcb")) || platform.startsWith(QLatin1String("wayland"));
    return desktopPlatform && qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return false;
#endif
}

}  // namespace

std::optional<int> AnswerOnConsole(const std::vector<std::string>& arguments, std::string_view version) {
    const auto given = [&](std::initializer_list<std::string_view> names) {
        return std::any_of(arguments.begin() + (arguments.empty() ? 0 : 1), arguments.end(), [&](const std::string& a) {
            return std::find(names.begin(), names.end(), a) != names.end();
        });
    };
    if (given({"--help", "-h"})) {
        std::cout << "Usage: zorvane-editor [MAP.zm | PROJECT.zl]\n"
                     "The Zorvane Terrain Editor. The file given opens at start.\n\n"
                     "  -h, --help     Show this help and exit\n"
                     "  --version      Show the version and exit\n\n"
                     "Qt's own options (-platform, -style, ...) are taken too. The command-line tool for\n"
                     "work without a window is zorvane (zorvane help).\n";
        return 0;
    }
    if (given({"--version"})) {
        std::cout << "zorvane-editor " << version << "\n";
        return 0;
    }
    if (NoDisplay()) {
        std::cerr << "zorvane-editor: there is no display to show the editor on (DISPLAY and WAYLAND_DISPLAY are "
                     "not set).\n"
                     "zorvane-editor: start it in a desktop session, or in a virtual display: xvfb-run "
                     "zorvane-editor\n";
        return 1;
    }
    return std::nullopt;
}

void OpenStartFiles(MainWindow& window, const std::vector<std::string>& files) {
    if (files.empty()) return;
    if (files.size() > 1) {
        window.ui().error("Error", "The editor opens one file at start:\rzorvane-editor MAP.zm or zorvane-editor "
                                   "PROJECT.zl");
        return;
    }
    window.OpenFile(AbsolutePath(files.front()));
}

}  // namespace zorvane::editor
