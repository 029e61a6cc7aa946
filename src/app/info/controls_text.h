#pragma once
// Help texts of the editor: the "Controls" box and the donation box.

#include <string>

namespace zorvane::info {

// The controls list, lines joined by "\r".
std::string ControlsText();

std::string DonateCaption();
std::string DonateText();
std::string DonateAddress();

}  // namespace zorvane::info
