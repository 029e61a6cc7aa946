#pragma once
// The console user of a generation run (zorvane generate): the window
// messages the driver lets run are the Ctrl+C presses, each one an Esc.

#include "console_ui.h"
#include "generator/driver/generation.h"
#include "platform/signals.h"

namespace zorvane::cli {

class GenerateUi : public ConsoleUi {
public:
    GenerateUi(GenerationRequests& requests, const InterruptCounter& interrupts)
        : ConsoleUi("generate"), requests_(requests), interrupts_(interrupts) {}
    void processEvents() override {
        for (const int pressed = interrupts_.Presses(); seen_ < pressed; ++seen_) requests_.PressEsc();
    }

private:
    GenerationRequests& requests_;
    const InterruptCounter& interrupts_;
    int seen_ = 0;
};

}  // namespace zorvane::cli
