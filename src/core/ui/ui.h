#pragma once
// The one way core code talks to the user.
//
// Core operations never open a window. Whenever an operation needs the user
// (a question, a file to choose), wants to tell something (a message box, the
// text of status panel 0, progress) or must keep the program responsive
// (letting pending window messages run), it calls this interface. The editor
// implements it with Qt; tests implement it with a scripted fake that records
// every caption and text; the command-line tool implements it on the console.
//
// Texts use "\r" for a line break inside a message, as the program's messages
// are written; a window implementation shows it as a new line.

#include <optional>
#include <string>
#include <string_view>

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
// folder) and a test can tell which dialog was asked for.
struct FileDialog {
    std::string name;
    std::string filter;        // "tile set file|*.zp" (caption|pattern pairs)
    std::string initialPath;   // file name the dialog starts with, may be empty
    bool save = false;         // save dialog, else open dialog
    bool overwritePrompt = false;
    bool pathMustExist = false;
    bool fileMustExist = false;
};

// What the main window rebuilds after the map size, the tile set or the
// tiles list changed (see the editor's interface refresh).
struct RefreshRequest {
    int first = 0;             // first tiles list entry to rebuild
    int last = -1;             // last entry to rebuild (inclusive)
    bool withProgress = true;
    bool redraw = true;
    bool resetScrolling = true;
    bool rebuildList = true;
};

class UserInterface {
public:
    virtual ~UserInterface() = default;

    // A modal message box; returns the button pressed. `defaultAnswer` is
    // the preselected button.
    virtual Answer message(std::string_view caption, std::string_view text, Icon icon,
                           Buttons buttons = Buttons::Ok, Answer defaultAnswer = Answer::Ok) = 0;

    // An open or save dialog; nullopt when the user cancels.
    virtual std::optional<std::string> chooseFile(const FileDialog& dialog) = 0;

    // Status panel 0 of the main window.
    virtual void setStatus(std::string_view text) = 0;
    virtual std::string status() const = 0;

    // The status label of the generator settings window.
    virtual void setGeneratorStatus(std::string_view /*text*/) {}

    // Progress bars (0..100) and the hourglass cursor.
    virtual void showProgress(bool busy) = 0;
    virtual void hideProgress(bool busy) = 0;
    virtual void setProgressPosition(int position) = 0;
    virtual void setBusy(bool busy) = 0;

    // Lets pending window messages run during a long loop.
    virtual void processEvents() = 0;

    // Notifications for the windows that show the project.
    virtual void bitmapsChanged() {}                         // recompute bitmap quadrant colours
    virtual void refreshInterface(const RefreshRequest&) {}  // scroll bars, depth bar, tiles list, view
    virtual void projectReset(bool /*redraw*/) {}            // view back to origin, default view options

    // Progress scale shared by every long operation: prepareProgress(first,
    // last) maps first..last onto 0..100; updateProgress(i, step) moves the
    // bar only when i is a multiple of step.
    void prepareProgress(int first, int last);
    void updateProgress(int i, int step);

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

private:
    double progressStep_ = 100.0;
    int progressBase_ = 0;
};

// Shows the progress bar for the lifetime of the object.
class ProgressScope {
public:
    ProgressScope(UserInterface& ui, bool busy = false) : ui_(ui), busy_(busy) { ui_.showProgress(busy_); }
    ~ProgressScope() { ui_.hideProgress(busy_); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    UserInterface& ui_;
    bool busy_;
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
