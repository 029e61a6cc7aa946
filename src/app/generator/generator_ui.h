#pragma once
// The user interface the generator settings window hands to learning and to
// the data file commands: the main window's, with the status label of the
// settings window for what the generator reports there.

#include <functional>
#include <utility>

#include "ui/forwarding_ui.h"

namespace zorvane::generator_ui {

class GeneratorUi : public ForwardingUi {
public:
    GeneratorUi(UserInterface& main, std::function<void(std::string_view)> showStatus)
        : ForwardingUi(main), showStatus_(std::move(showStatus)) {}

    void setActivity(std::string_view text) override { showStatus_(text); }

private:
    std::function<void(std::string_view)> showStatus_;
};

}  // namespace zorvane::generator_ui
