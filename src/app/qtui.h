#pragma once
// The editor's implementation of the user-interaction interface: message
// boxes, open and save dialogs, status panel 0, the progress bars, the
// hourglass cursor and the notifications, all forwarded to the main window.
//
// A DialogAnswerer, when set, answers message boxes and file dialogs instead
// of showing them (tests script the user this way); every box is recorded
// with its exact caption and text either way.

#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "info/shown_text.h"
#include "ui/ui.h"

namespace zorvane::editor {
class MainWindow;
}

namespace zorvane::app {

struct ShownMessage {
    std::string caption;
    std::string text;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    Answer defaultAnswer = Answer::Ok;
};

class DialogAnswerer {
public:
    virtual ~DialogAnswerer() = default;
    virtual Answer answer(const ShownMessage& message) = 0;
    // `qtFilter` is the filter as the Qt dialog would show it.
    virtual std::optional<std::string> chooseFile(const FileDialog& dialog, const QString& qtFilter) = 0;
};

// "caption|*.ext|caption2|*.ext2" as Qt's "caption (*.ext);;caption2 (*.ext2)".
QString QtFilter(const std::string& filter);

class QtUi : public UserInterface {
public:
    explicit QtUi(editor::MainWindow& window) : window_(window) {}

    void setAnswerer(DialogAnswerer* answerer) { answerer_ = answerer; }
    // Runs before every message box from now on (none when empty): a command
    // whose boxes all tell how it ended tidies the window behind them.
    void setBeforeMessage(std::function<void()> beforeMessage) { beforeMessage_ = std::move(beforeMessage); }

    Answer message(std::string_view caption, std::string_view text, Icon icon, Buttons buttons = Buttons::Ok,
                   Answer defaultAnswer = Answer::Ok) override;
    // Every dialog starts in the folder of the file last chosen in a dialog
    // of its name, kept in the platform's settings store from run to run,
    // unless its initial path names a folder.
    std::optional<std::string> chooseFile(const FileDialog& dialog) override;
    // The folder a dialog starts in; empty for the dialog's own default.
    static QString StartFolder(const FileDialog& dialog);
    void setStatus(std::string_view text) override;
    std::string status() const override;
    void showProgress(bool busy) override;
    void hideProgress(bool busy) override;
    void setProgressPosition(int position) override;
    void setBusy(bool busy) override;
    void processEvents() override;
    void changed(const ChangeNotice& notice) override;

private:
    Answer showMessageBox(const ShownMessage& m);
    std::optional<std::string> showFileDialog(const FileDialog& dialog, const QString& filter);

    editor::MainWindow& window_;
    DialogAnswerer* answerer_ = nullptr;
    std::function<void()> beforeMessage_;
};

}  // namespace zorvane::app
