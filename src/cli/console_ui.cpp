#include "console_ui.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace zorvane::cli {

namespace {

[[noreturn]] void InternalError(std::string_view command, const std::string& what) {
    std::cout.flush();
    PrintError(command, "internal error: " + what + "\rThe command line answers no questions; nothing more was done.");
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

void PrintError(std::string_view command, std::string_view text) {
    const std::string lines = ConsoleText(text);
    std::size_t start = 0;
    do {
        const std::size_t end = std::min(lines.find('\n', start), lines.size());
        std::cerr << "zorvane " << command << ": " << std::string_view(lines).substr(start, end - start) << "\n";
        start = end + 1;
    } while (start < lines.size());
}

Answer ConsoleUi::message(std::string_view caption, std::string_view text, Icon icon, Buttons buttons,
                          Answer /*defaultAnswer*/) {
    // A box's caption that only says what kind of box it is adds nothing
    // to a line of its kind.
    const bool plainCaption = caption.empty() || caption == "Error" || caption == "Warning" || caption == "Information";
    const std::string line = plainCaption ? std::string(text) : std::string(caption) + ": " + std::string(text);
    if (buttons != Buttons::Ok) InternalError(command_, "a question was asked: " + line);
    if (icon == Icon::Error || icon == Icon::Warning) problems.push_back(line);
    else if (verbose) std::cerr << ConsoleText(line) << "\n";
    return Answer::Ok;
}

std::optional<std::string> ConsoleUi::chooseFile(const FileDialog& dialog) {
    InternalError(command_, "the file dialog " + dialog.name + " (" + dialog.filter + ") was opened.");
}

void ConsoleUi::setProgressPosition(int position) {
    const int tenth = std::clamp(position, 0, 100) / 10 * 10;
    if (!verbose) return;
    // A step that starts again from the beginning: the one before ended.
    if (tenth < shownPercent_) hideProgress(false);
    if (tenth <= shownPercent_) return;
    shownPercent_ = tenth;
    std::cerr << "  " << tenth << " %\n";
}

void ConsoleUi::hideProgress(bool) {
    if (shownPercent_ >= 0 && shownPercent_ < 100 && problems.empty()) setProgressPosition(100);
    shownPercent_ = -1;
}

void ConsoleUi::setStatus(std::string_view text) {
    status_ = text;
    if (verbose) std::cerr << text << "\n";
}

}  // namespace zorvane::cli
