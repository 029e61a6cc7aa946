#pragma once
// File names as the program keeps them (UTF-8 text) and as the system takes
// them: on Windows the wide-character names, so that a folder named in any
// language opens; elsewhere the bytes as they are.
//
// Paths stored in the game's files (the tile set a map names, the path a
// "zme" tile set keeps) are bytes in the ANSI code page of the Windows
// machine that wrote them. We assume Windows-1252, the code page of Western
// European Windows, and convert here, where a stored path is read and where
// one is written. Plain ASCII is the same in both.

#include <filesystem>
#include <string>
#include <string_view>

namespace zorvane {

std::filesystem::path PathFromUtf8(const std::string& text);
std::string Utf8FromPath(const std::filesystem::path& path);

// A stored path as the program uses it: kept when it is valid UTF-8 (as
// written on this system before), else every byte read as Windows-1252,
// the five bytes the code page leaves undefined as the control characters
// of the same number, as Windows reads them, so that every path written
// back gives the same bytes.
std::string Utf8FromStoredPath(std::string_view stored);
// The bytes to store for a path: each character as its Windows-1252 byte.
// Throws Error naming a character the code page cannot hold, rather than
// storing another. A path that is not valid UTF-8 is taken as bytes already
// in the code page and stored as it is.
std::string StoredPathFromUtf8(std::string_view path);

}  // namespace zorvane
