#pragma once
// The user interface the generator settings window hands to learning and to
// the data file commands: the main window's, with the status label of the
// settings window for what the generator reports there.

#include <functional>
#include <utility>

#include "ui/ui.h"

namespace zorvane::generator_ui {

class GeneratorUi : public UserInterface {
public:
    GeneratorUi(UserInterface& main, std::function<void(std::string_view)> showStatus)
        : main_(main), showStatus_(std::move(showStatus)) {}

    void setGeneratorStatus(std::string_view text) override { showStatus_(text); }

    Answer message(std::string_view caption, std::string_view text, Icon icon, Buttons buttons,
                   Answer defaultAnswer) override {
        return main_.message(caption, text, icon, buttons, defaultAnswer);
    }
    std::optional<std::string> chooseFile(const FileDialog& dialog) override { return main_.chooseFile(dialog); }
    void setStatus(std::string_view text) override { main_.setStatus(text); }
    std::string status() const override { return main_.status(); }
    void showProgress(bool busy) override { main_.showProgress(busy); }
    void hideProgress(bool busy) override { main_.hideProgress(busy); }
    void setProgressPosition(int position) override { main_.setProgressPosition(position); }
    void setBusy(bool busy) override { main_.setBusy(busy); }
    void processEvents() override { main_.processEvents(); }
    void bitmapsChanged() override { main_.bitmapsChanged(); }
    void refreshInterface(const RefreshRequest& request) override { main_.refreshInterface(request); }
    void projectReset(bool redraw) override { main_.projectReset(redraw); }

private:
    UserInterface& main_;
    std::function<void(std::string_view)> showStatus_;
};

}  // namespace zorvane::generator_ui
