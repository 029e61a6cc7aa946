#pragma once
// The file named on the editor's command line: `zorvane-editor MAP.zm` or
// `zorvane-editor PROJECT.zl` opens it at start as the File menu's Open of
// its kind does.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvane::editor {

class MainWindow;

// The files among the program's arguments. `arguments` are all of them as
// UTF-8 (Utf8Arguments), the program's name first; `remaining` is the argc
// QApplication has left after taking its own options (-style, ...) out of
// argv: the files are the last remaining - 1 arguments (on Windows the UTF-8
// list still holds Qt's options, in front of the files).
std::vector<std::string> StartFiles(const std::vector<std::string>& arguments, int remaining);

// What the editor answers on the console before it opens a window: its
// usage for --help (-h), its version for --version, and how to start it
// when there is no display to show it on (which Qt would answer with an
// abort). Returns the exit status then, nullopt to start the editor.
// `arguments` as for StartFiles.
std::optional<int> AnswerOnConsole(const std::vector<std::string>& arguments, std::string_view version);

// Opens the one file given, relative to the working folder, through
// MainWindow::OpenFile; more than one is refused with a message.
void OpenStartFiles(MainWindow& window, const std::vector<std::string>& files);

}  // namespace zorvane::editor
