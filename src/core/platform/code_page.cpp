#include "platform/code_page.h"

#include <array>

namespace zorvane {

namespace {

constexpr char32_t kUndefined = 0;

// Windows-1252 bytes 0x80..0x9F; 0xA0..0xFF are the Latin-1 code points.
constexpr std::array<char32_t, 32> kWindows1252High{
    0x20AC, kUndefined, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, kUndefined, 0x017D, kUndefined,  // 88..8F
    kUndefined, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, kUndefined, 0x017E, 0x0178,  // 98..9F
};

}  // namespace

std::size_t Utf8SequenceAt(std::string_view s, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
    const std::uint8_t lead = byte(at);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    std::uint8_t low = 0x80, high = 0xBF;  // the range of the second byte (RFC 3629, section 4)
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (at + length > s.size()) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
    return length;
}

char32_t Utf8CodePointAt(std::string_view s, std::size_t at, std::size_t length) {
    const auto lead = static_cast<std::uint8_t>(s[at]);
    if (length == 1) return lead;
    char32_t c = lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) c = (c << 6) | (static_cast<std::uint8_t>(s[at + i]) & 0x3Fu);
    return c;
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t n = Utf8SequenceAt(text, at);
        if (n == 0) return false;
        at += n;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t c) {
    auto put = [&out](char32_t v) { out.push_back(static_cast<char>(v)); };
    if (c < 0x80) {
        put(c);
    } else if (c < 0x800) {
        put(0xC0 | (c >> 6));
        put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        put(0xE0 | (c >> 12));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
    } else {
        put(0xF0 | (c >> 18));
        put(0x80 | ((c >> 12) & 0x3F));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
    }
}

std::optional<char32_t> Windows1252Char(std::uint8_t byte) {
    if (byte < 0x80 || byte >= 0xA0) return char32_t{byte};
    const char32_t c = kWindows1252High[byte - 0x80];
    if (c == kUndefined) return std::nullopt;
    return c;
}

std::optional<std::uint8_t> Windows1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<std::uint8_t>(c);
    for (std::size_t i = 0; i < kWindows1252High.size(); ++i)
        if (kWindows1252High[i] == c && c != kUndefined) return static_cast<std::uint8_t>(0x80 + i);
    return std::nullopt;
}

}  // namespace zorvane
