#include "model/stored_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>

using namespace zorvane;

namespace {

// Every byte from 0x80 on as Western Windows shows it; "?" marks the five
// the code page leaves undefined.
const char* const kWindows1252[128] = {
    "€", "?", "‚", "ƒ", "„", "…", "†", "‡", "ˆ", "‰", "Š", "‹", "Œ", "?", "Ž", "?",
    "?", "‘", "’", "“", "”", "•", "–", "—", "˜", "™", "š", "›", "œ", "?", "ž", "Ÿ",
    "\u00A0", "¡", "¢", "£", "¤", "¥", "¦", "§", "¨", "©", "ª", "«", "¬", "\u00AD", "®", "¯",
    "°", "±", "²", "³", "´", "µ", "¶", "·", "¸", "¹", "º", "»", "¼", "½", "¾", "¿",
    "À", "Á", "Â", "Ã", "Ä", "Å", "Æ", "Ç", "È", "É", "Ê", "Ë", "Ì", "Í", "Î", "Ï",
    "Ð", "Ñ", "Ò", "Ó", "Ô", "Õ", "Ö", "×", "Ø", "Ù", "Ú", "Û", "Ü", "Ý", "Þ", "ß",
    "à", "á", "â", "ã", "ä", "å", "æ", "ç", "è", "é", "ê", "ë", "ì", "í", "î", "ï",
    "ð", "ñ", "ò", "ó", "ô", "õ", "ö", "÷", "ø", "ù", "ú", "û", "ü", "ý", "þ", "ÿ",
};

std::string Glyph(std::uint8_t b) {
    const std::string g = kWindows1252[b - 0x80];
    return g == "?" ? "\uFFFD" : g;
}

// Decodes by the bit patterns alone and accepts a sequence only when the code
// point encodes back to the same bytes and is a scalar value.
bool ReferenceValid(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto lead = static_cast<std::uint8_t>(s[i]);
        const int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > s.size()) return false;
        std::uint32_t cp = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const auto c = static_cast<std::uint8_t>(s[i + k]);
            if ((c >> 6) != 2) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        const int shortest = cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
        if (shortest != length || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return false;
        i += length;
    }
    return true;
}

}  // namespace

// Each byte beyond ASCII reads as its Windows-1252 character, alone, in a path
// and all of them together; valid UTF-8 and ASCII are kept as they are.
TEST(StoredText, BytesThatAreNotUtf8ReadAsWindows1252) {
    std::string all, expected;
    for (int b = 0x80; b <= 0xFF; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        const std::string one(1, static_cast<char>(byte));
        EXPECT_EQ(StoredTextAsUtf8(one), Glyph(byte)) << std::hex << b;
        EXPECT_EQ(StoredTextAsUtf8("C:\\Karten" + one + "\\a.zp"), "C:\\Karten" + Glyph(byte) + "\\a.zp") << b;
        all += one;
        expected += Glyph(byte);
    }
    EXPECT_EQ(StoredTextAsUtf8(all), expected);
    EXPECT_TRUE(IsValidUtf8(expected));

    EXPECT_EQ(StoredTextAsUtf8("C:\\Karten f\xFCr \xDC" "bungen\\set.zp"), "C:\\Karten für Übungen\\set.zp");
    for (const std::string kept : {"", "/home/a/set.zp", "/home/ä/€/😀.zp", "tab\tand\x01control"})
        EXPECT_EQ(StoredTextAsUtf8(kept), kept);
}

// Validity agrees with a decoder by bit patterns on random bytes and on
// encoded code points; both conversions always give valid UTF-8, and the
// replacing one keeps every valid sequence and replaces each other byte.
TEST(StoredText, ValidityAgreesWithAReferenceDecoderAndResultsAreAlwaysUtf8) {
    std::mt19937 random(11);
    const std::vector<std::uint8_t> interesting{0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC1,
                                                0xC2, 0xDF, 0xE0, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF};
    for (int round = 0; round < 20000; ++round) {
        std::string s;
        const int length = static_cast<int>(random() % 7);
        for (int i = 0; i < length; ++i)
            s.push_back(static_cast<char>(random() % 2 ? interesting[random() % interesting.size()] : random() % 256));
        ASSERT_EQ(IsValidUtf8(s), ReferenceValid(s)) << ::testing::PrintToString(s);
        const std::string stored = StoredTextAsUtf8(s), replaced = ReplacingInvalidUtf8(s);
        ASSERT_TRUE(ReferenceValid(stored)) << ::testing::PrintToString(s);
        ASSERT_TRUE(ReferenceValid(replaced)) << ::testing::PrintToString(s);
        if (ReferenceValid(s)) {
            EXPECT_EQ(stored, s);
            EXPECT_EQ(replaced, s);
        }
    }
    EXPECT_EQ(ReplacingInvalidUtf8("a\xE9" "b"), "a\uFFFD" "b");
    EXPECT_EQ(ReplacingInvalidUtf8("\xE2\x82" "x\xE2\x82\xAC"), "\uFFFD\uFFFD" "x€");  // a cut sequence, then a whole one
    EXPECT_EQ(ReplacingInvalidUtf8("\xED\xA0\x80"), "\uFFFD\uFFFD\uFFFD");               // a surrogate
    EXPECT_EQ(ReplacingInvalidUtf8("\xC0\xAF"), "\uFFFD\uFFFD");                        // an overlong "/"
}
