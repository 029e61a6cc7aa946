#pragma once
// File names as the program keeps them (UTF-8 text) and as the system takes
// them: on Windows the wide-character names, so that a folder named in any
// language opens; elsewhere the bytes as they are.

#include <filesystem>
#include <string>

namespace zorvane {

std::filesystem::path PathFromUtf8(const std::string& text);
std::string Utf8FromPath(const std::filesystem::path& path);

}  // namespace zorvane
