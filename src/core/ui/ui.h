#pragma once
// The one way core code talks to the user.
//
// Core operations never open a window. Whenever an operation needs the user
// (a question, a file to choose) or wants to tell something (a message box,
// the status line), it calls this interface. The same object reports the
// progress of long operations (progress.h) and takes the notices of what
// changed in the project (changes.h), each through its own narrow interface.
// The editor implements it with Qt; tests implement it with a scripted fake
// that records every caption and text; the command-line tool implements it on
// the console.
//
// Texts use "\r" for a line break inside a message, as the program's messages
// are written; a window implementation shows it as a new line.

#include <optional>
#include <string>
#include <string_view>

#include "ui/changes.h"
#include "ui/progress.h"

namespace zorvane {

enum class Icon { None, Information, Warning, Error, Question };
// The buttons of a message box. The last two name what they do: "Save",
// "Discard" and "Cancel" (the question before closing over unsaved changes),
// and "Open", "Keep for later" and "Discard" (the offer of a recovery copy).
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, SaveDiscardCancel, OpenKeepDiscard };
enum class Answer { Ok, Cancel, Yes, No, Save, Discard, Open, Keep };

// The button preselected in a box of `buttons` when the caller asks for
// `defaultAnswer`: Ok, as the caller's default, stands for the first
// button (Yes, Save, Open).
Answer PreselectedAnswer(Buttons buttons, Answer defaultAnswer);
// What closing a box without pressing a button (Esc) answers: Cancel where
// there is one, else No, else Keep for later.
Answer ClosedBoxAnswer(Buttons buttons);

// An open or save dialog. `name` is the dialog's component name ("ODzp",
// "SDzm", ...) so that a window can keep one dialog per name (remembering its
// folder) and a test can tell which dialog was asked for. Callers name the
// options they set: FileDialog{.name = "ODbmp", .filter = ..., .fileMustExist = true}.
struct FileDialog {
    std::string name;
    std::string filter;        // "tile set file|*.zp" (caption|pattern pairs)
    std::string initialPath;   // file name the dialog starts with, may be empty
    bool save = false;         // save dialog, else open dialog
    bool overwritePrompt = false;
    bool pathMustExist = false;
    bool fileMustExist = false;
};

class UserInterface : public Progress, public ChangeObserver {
public:
    virtual ~UserInterface() = default;

    // A modal message box; returns the button pressed. `defaultAnswer` is
    // the preselected button.
    virtual Answer message(std::string_view caption, std::string_view text, Icon icon,
                           Buttons buttons = Buttons::Ok, Answer defaultAnswer = Answer::Ok) = 0;

    // An open or save dialog; nullopt when the user cancels.
    virtual std::optional<std::string> chooseFile(const FileDialog& dialog) = 0;

    // The status line: the text of the moment, what the last command did.
    virtual void setStatus(std::string_view text) = 0;
    virtual std::string status() const = 0;

    // What changed in the project; an interface without windows ignores it.
    void changed(const ChangeNotice&) override {}

    // Shorthands for the common boxes.
    void inform(std::string_view caption, std::string_view text) {
        message(caption, text, Icon::Information);
    }
    void error(std::string_view caption, std::string_view text) {
        message(caption, text, Icon::Error);
    }
    bool confirm(std::string_view caption, std::string_view text, Icon icon = Icon::Warning) {
        return message(caption, text, icon, Buttons::OkCancel) == Answer::Ok;
    }
    bool askYesNo(std::string_view caption, std::string_view text, Icon icon = Icon::Question) {
        return message(caption, text, icon, Buttons::YesNo) == Answer::Yes;
    }
};

// An interface for batch use: no window, every question answered with its
// preselected button, every dialog cancelled, nothing shown.
class SilentUi : public UserInterface {
public:
    Answer message(std::string_view, std::string_view, Icon, Buttons buttons, Answer defaultAnswer) override {
        return PreselectedAnswer(buttons, defaultAnswer);
    }
    std::optional<std::string> chooseFile(const FileDialog&) override { return std::nullopt; }
    void setStatus(std::string_view text) override { status_ = text; }
    std::string status() const override { return status_; }
    void showProgress(bool) override {}
    void hideProgress(bool) override {}
    void setProgressPosition(int) override {}
    void setBusy(bool) override {}
    void processEvents() override {}

private:
    std::string status_;
};

}  // namespace zorvane
