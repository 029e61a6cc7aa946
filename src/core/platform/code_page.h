#pragma once
// Text encodings at the program's edge: UTF-8, in which the program keeps
// every text, and Windows-1252, the ANSI code page of Western European
// Windows, in which the game's Windows tools store paths.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zorvane {

// Whether `text` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing beyond U+10FFFF).
bool IsValidUtf8(std::string_view text);
// The length of the well-formed UTF-8 sequence at `at`, 0 when there is none.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t at);
// The code point of the well-formed sequence of `length` bytes at `at`.
char32_t Utf8CodePointAt(std::string_view text, std::size_t at, std::size_t length);
void AppendUtf8(std::string& out, char32_t c);

// The character a Windows-1252 byte stands for; none for the five bytes the
// code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
std::optional<char32_t> Windows1252Char(std::uint8_t byte);
// The Windows-1252 byte of a character; none for one the code page lacks.
std::optional<std::uint8_t> Windows1252Byte(char32_t c);

}  // namespace zorvane
