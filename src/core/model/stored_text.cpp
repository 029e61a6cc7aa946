#include "model/stored_text.h"

#include <cstdint>

#include "platform/code_page.h"

namespace zorvane {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

std::string StoredTextAsUtf8(std::string_view stored) {
    if (IsValidUtf8(stored)) return std::string(stored);
    std::string out;
    out.reserve(stored.size() * 2);
    for (char ch : stored) {
        const auto b = static_cast<std::uint8_t>(ch);
        AppendUtf8(out, Windows1252Char(b).value_or(kReplacement));
    }
    return out;
}

std::string ReplacingInvalidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t n = Utf8SequenceAt(text, at);
        if (n == 0) {
            AppendUtf8(out, kReplacement);
            ++at;
        } else {
            out.append(text.substr(at, n));
            at += n;
        }
    }
    return out;
}

}  // namespace zorvane
