#include "console_ui.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace zorvane::cli {

namespace {

[[noreturn]] void InternalError(const std::string& what) {
    std::cout.flush();
    std::cerr << "zorvane: internal error: " << what << "\n"
              << "The command line answers no questions; nothing more was done.\n";
    std::cerr.flush();
    std::_Exit(InternalErrorStatus);
}

}  // namespace

std::string ConsoleText(std::string_view text) {
    std::string out(text);
    for (auto& c : out)
        if (c == '\r') c = '\n';
    return out;
}

Answer ConsoleUi::message(std::string_view caption, std::string_view text, Icon icon, Buttons buttons,
                          Answer /*defaultAnswer*/) {
    std::string line = std::string(caption) + ": " + ConsoleText(text);
    if (buttons != Buttons::Ok) InternalError("a question was asked: " + line);
    if (icon == Icon::Error || icon == Icon::Warning) problems.push_back(line);
    else if (verbose) std::cerr << line << "\n";
    return Answer::Ok;
}

std::optional<std::string> ConsoleUi::chooseFile(const FileDialog& dialog) {
    InternalError("the file dialog " + dialog.name + " (" + dialog.filter + ") was opened.");
}

void ConsoleUi::setStatus(std::string_view text) {
    status_ = text;
    if (verbose) std::cerr << text << "\n";
}

}  // namespace zorvane::cli
