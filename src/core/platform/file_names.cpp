#include "platform/file_names.h"

#include <cstdint>
#include <cstdio>

#include "platform/code_page.h"
#include "platform/error.h"

namespace zorvane {

namespace fs = std::filesystem;

std::filesystem::path PathFromUtf8(const std::string& text) {
#ifdef _WIN32
    return fs::path(std::u8string(text.begin(), text.end()));
#else
    return fs::path(text);
#endif
}

std::string Utf8FromPath(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
#else
    return path.string();
#endif
}

std::string Utf8FromStoredPath(std::string_view stored) {
    if (IsValidUtf8(stored)) return std::string(stored);
    std::string out;
    out.reserve(stored.size() * 2);
    for (char ch : stored) {
        const auto byte = static_cast<std::uint8_t>(ch);
        AppendUtf8(out, Windows1252Char(byte).value_or(char32_t{byte}));
    }
    return out;
}

std::string StoredPathFromUtf8(std::string_view path) {
    if (!IsValidUtf8(path)) return std::string(path);
    std::string out;
    out.reserve(path.size());
    for (std::size_t at = 0; at < path.size();) {
        const std::size_t length = Utf8SequenceAt(path, at);
        const char32_t c = Utf8CodePointAt(path, at, length);
        std::optional<std::uint8_t> byte = Windows1252Byte(c);
        if (!byte && (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D))
            byte = static_cast<std::uint8_t>(c);  // an undefined byte read back
        if (!byte) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
            throw Error("The path " + std::string(path) + " has the character " + std::string(path.substr(at, length)) +
                        " (" + code +
                        "), which the game's files cannot store: they keep paths in the Windows-1252 code page. "
                        "Use a folder and file name without it.");
        }
        out.push_back(static_cast<char>(*byte));
        at += length;
    }
    return out;
}

}  // namespace zorvane
