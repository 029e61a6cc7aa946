#pragma once
// The user, as the command-line tool plays it: errors and warnings go to
// standard error, questions get the answers the command line gave, file
// dialogs return the files the command line named.

#include <map>
#include <string>
#include <vector>

#include "ui/ui.h"

namespace zorvane::cli {

class ConsoleUi : public UserInterface {
public:
    bool verbose = false;
    // Answers by message box caption; others get their preselected button.
    std::map<std::string, Answer> answers;
    // Files by dialog name ("ODzp", "SDzp"); others are cancelled.
    std::map<std::string, std::string> files;
    // Dialog names that were asked for but had no file.
    std::vector<std::string> unansweredDialogs;
    // Error and warning boxes, in order, for the command to report.
    std::vector<std::string> problems;

    Answer message(std::string_view caption, std::string_view text, Icon icon, Buttons buttons,
                   Answer defaultAnswer) override;
    std::optional<std::string> chooseFile(const FileDialog& dialog) override;
    void setStatus(std::string_view text) override;
    std::string status() const override { return status_; }
    void showProgress(bool) override {}
    void hideProgress(bool) override {}
    void setProgressPosition(int) override {}
    void setBusy(bool) override {}
    void processEvents() override {}

private:
    std::string status_;
};

// "\r" line breaks of the program's messages as terminal lines.
std::string ConsoleText(std::string_view text);

}  // namespace zorvane::cli
