#pragma once
// Texts kept in project files (tile set paths, the learning list, the
// generator's backup path) as UTF-8 for showing them.
//
// The files keep texts as bytes: the game and the editors that write its
// files are Windows programs, which store a path in the ANSI code page of
// the machine they ran on. A folder named with letters beyond ASCII ("Karten
// für Übungen") therefore arrives as bytes that are not UTF-8. We read such
// bytes as Windows-1252, the ANSI code page of Western European Windows; a
// text that is already valid UTF-8 (anything written on this system, plain
// ASCII) is kept as it is. The bytes in the project never change: this is
// for display only; the tile set path a map names is converted for use where
// it is read and written (platform/file_names.h).

#include <string>
#include <string_view>

#include "platform/code_page.h"  // IsValidUtf8

namespace zorvane {

// A stored text as UTF-8: itself when it is valid UTF-8, else every byte
// read as Windows-1252. The five bytes that code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become U+FFFD.
std::string StoredTextAsUtf8(std::string_view stored);

// A text of unknown encoding (a name given on the command line) as UTF-8:
// valid sequences kept, every other byte replaced by U+FFFD.
std::string ReplacingInvalidUtf8(std::string_view text);

}  // namespace zorvane
