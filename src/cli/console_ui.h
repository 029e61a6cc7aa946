#pragma once
// The user, as the command-line tool plays it: errors and warnings go to
// standard error. Nobody is there to answer: the commands pass explicit
// options to the operations instead, so a question or a file dialog that
// reaches this user is a fault of the program. It is reported as an
// internal error and the program ends at once with InternalErrorStatus,
// before anything is done on a made-up answer.

#include <string>
#include <vector>

#include "ui/ui.h"

namespace zorvane::cli {

// The exit status after an internal error (EX_SOFTWARE).
inline constexpr int InternalErrorStatus = 70;

class ConsoleUi : public UserInterface {
public:
    // `command` names the command in its messages ("zorvane COMMAND: ...").
    explicit ConsoleUi(std::string command) : command_(std::move(command)) {}

    bool verbose = false;
    // Error and warning boxes, in order, for the command to report.
    std::vector<std::string> problems;

    Answer message(std::string_view caption, std::string_view text, Icon icon, Buttons buttons,
                   Answer defaultAnswer) override;
    std::optional<std::string> chooseFile(const FileDialog& dialog) override;
    void setStatus(std::string_view text) override;
    std::string status() const override { return status_; }
    // With `verbose`, a progress bar's position as a line "  N %" at
    // every tenth, and "  100 %" when a step ends (the bar closes or starts
    // again from 0) after it ran to its end unreported: steps report every
    // so many items only.
    void showProgress(bool) override { shownPercent_ = -1; }
    void hideProgress(bool) override;
    void setProgressPosition(int position) override;
    void setBusy(bool) override {}
    void processEvents() override {}

private:
    std::string command_;
    std::string status_;
    int shownPercent_ = -1;  // the last "N %" line, -1 for none
};

// "\r" line breaks of the program's messages as terminal lines.
std::string ConsoleText(std::string_view text);

// Writes `text` to standard error, every line of it (its "\r" breaks
// too) begun with "zorvane COMMAND: ".
void PrintError(std::string_view command, std::string_view text);

}  // namespace zorvane::cli
