#include "editor/start_arguments.h"

#include <algorithm>

#include "editor/main_window.h"
#include "platform/file_io.h"

namespace zorvane::editor {

std::vector<std::string> StartFiles(const std::vector<std::string>& arguments, int remaining) {
    const std::size_t count =
        std::min(arguments.size() > 0 ? arguments.size() - 1 : 0, static_cast<std::size_t>(std::max(remaining - 1, 0)));
    return std::vector<std::string>(arguments.end() - static_cast<std::ptrdiff_t>(count), arguments.end());
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
