#include "console_ui.h"

#include <iostream>

namespace zorvane::cli {

std::string ConsoleText(std::string_view text) {
    std::string out(text);
    for (auto& c : out)
        if (c == '\r') c = '\n';
    return out;
}

Answer ConsoleUi::message(std::string_view caption, std::string_view text, Icon icon, Buttons buttons,
                          Answer defaultAnswer) {
    std::string line = std::string(caption) + ": " + ConsoleText(text);
    if (icon == Icon::Error || icon == Icon::Warning) problems.push_back(line);
    else if (verbose) std::cerr << line << "\n";
    if (buttons == Buttons::Ok) return Answer::Ok;
    auto it = answers.find(std::string(caption));
    if (it != answers.end()) return it->second;
    if ((buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel) && defaultAnswer == Answer::Ok)
        return Answer::Yes;
    return defaultAnswer;
}

std::optional<std::string> ConsoleUi::chooseFile(const FileDialog& dialog) {
    auto it = files.find(dialog.name);
    if (it == files.end()) {
        unansweredDialogs.push_back(dialog.name);
        return std::nullopt;
    }
    return it->second;
}

void ConsoleUi::setStatus(std::string_view text) {
    status_ = text;
    if (verbose) std::cerr << text << "\n";
}

}  // namespace zorvane::cli
