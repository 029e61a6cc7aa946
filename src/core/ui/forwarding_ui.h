#pragma once
// An interface that passes everything on to another one, for a caller that
// changes only a few of its calls (holds some notices back, shows some text
// elsewhere): it derives from this and overrides those. The interface it
// passes to outlives it.

#include "ui/ui.h"

namespace zorvane {

class ForwardingUi : public UserInterface {
public:
    explicit ForwardingUi(UserInterface& inner) : inner_(inner) {}

    Answer message(std::string_view caption, std::string_view text, Icon icon, Buttons buttons,
                   Answer defaultAnswer) override {
        return inner_.message(caption, text, icon, buttons, defaultAnswer);
    }
    std::optional<std::string> chooseFile(const FileDialog& dialog) override { return inner_.chooseFile(dialog); }
    void setStatus(std::string_view text) override { inner_.setStatus(text); }
    std::string status() const override { return inner_.status(); }
    void setActivity(std::string_view text) override { inner_.setActivity(text); }
    void showProgress(bool busy) override { inner_.showProgress(busy); }
    void hideProgress(bool busy) override { inner_.hideProgress(busy); }
    void setProgressPosition(int position) override { inner_.setProgressPosition(position); }
    void setBusy(bool busy) override { inner_.setBusy(busy); }
    void processEvents() override { inner_.processEvents(); }
    void changed(const ChangeNotice& notice) override { inner_.changed(notice); }

protected:
    UserInterface& inner() { return inner_; }

private:
    UserInterface& inner_;
};

}  // namespace zorvane
