#pragma once
// Texts of the core as a window shows them: the core breaks lines with "\r"
// (and "\r\n"), a Qt label or box with "\n". Every window may use this; it
// uses nothing of the editor.

#include <QString>
#include <string_view>

namespace zorvane::app {

// A message text with "\r" line breaks as shown: "\r\n" and "\r" become "\n".
QString ShownText(std::string_view text);

}  // namespace zorvane::app
