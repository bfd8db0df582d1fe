#include "platform/text_codes.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/names.h"

namespace {

using platform::HexDigitValue;
using platform::Unused1252;
using platform::Utf8From1252;

TEST(TextCodesTest, HexDigitValues) {
    const struct {
        char c;
        int value;
    } cases[] = {{'0', 0},  {'9', 9},  {'A', 10}, {'F', 15}, {'a', 10}, {'f', 15},
                 {'G', -1}, {'g', -1}, {'/', -1}, {':', -1}, {'@', -1}, {'\0', -1}};
    for (const auto& c : cases) {
        EXPECT_EQ(HexDigitValue(c.c), c.value) << "'" << c.c << "'";
    }
}

// The two ways differ only in the bytes of no character.
TEST(TextCodesTest, Utf8From1252) {
    const struct {
        std::string text;
        std::string replaced;  // Unused1252::kReplacement
        std::string control;   // Unused1252::kControl
    } cases[] = {
        {"plain ASCII", "plain ASCII", "plain ASCII"},
        {"\x80 \x9F", "\u20AC \u0178", "\u20AC \u0178"},               // the 0x80..0x9F table
        {"\xE9\xFF", "\u00E9\u00FF", "\u00E9\u00FF"},                  // Latin-1 above it
        {"\x81\x9D", "\uFFFD\uFFFD", "\u0081\u009D"},                  // unused bytes
        {std::string("a\0b", 3), "a\uFFFDb", std::string("a\0b", 3)},  // NUL
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8From1252(c.text, Unused1252::kReplacement), c.replaced) << c.text;
        EXPECT_EQ(Utf8From1252(c.text, Unused1252::kControl), c.control) << c.text;
    }
}

// Names are as long as Windows counts them, in UTF-16 units; and a key
// path's limits hold in those units, whatever bytes UTF-8 takes.
TEST(TextCodesTest, NamesCountUtf16Units) {
    EXPECT_EQ(platform::Utf16Length("Software"), 8u);
    EXPECT_EQ(platform::Utf16Length("\xC5\x81\xE6\x9D\xB1"), 2u);
    EXPECT_EQ(platform::Utf16Length("\xF0\x9F\x98\x80"), 2u);  // beyond U+FFFF: a pair
    std::string name;
    for (int i = 0; i < 255; ++i) {
        name += "\xE6\x9D\xB1";  // 765 bytes, 255 characters
    }
    EXPECT_EQ(platform::SubKeyLengthError(name), platform::kErrorSuccess);
    EXPECT_EQ(platform::SubKeyLengthError("ab\\" + name), platform::kErrorSuccess);
    EXPECT_EQ(platform::SubKeyLengthError(name + "x"), platform::kErrorMoreData);
    EXPECT_EQ(platform::SubKeyLengthError("abcdef\\" + name), platform::kErrorMoreData);
}

// Only the shortest form of a character from U+0000 to U+10FFFF, not a
// surrogate, is UTF-8; anything else is shown as U+FFFD byte by byte.
TEST(TextCodesTest, Utf8IsReadOnlyInItsValidForms) {
    const struct {
        std::string text;
        bool valid;
        const char* shown;
    } cases[] = {
        {"a\xC3\xA9\xE6\x9D\xB1\xF0\x9F\x98\x80", true, "a\xC3\xA9\xE6\x9D\xB1\xF0\x9F\x98\x80"},
        {"\xC0\xAF", false, "\xEF\xBF\xBD\xEF\xBF\xBD"},                  // an overlong "/"
        {"\xE0\x80\xAF", false, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // overlong too
        {"\xED\xA0\x80", false, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // a surrogate
        {"\xF4\x90\x80\x80", false,                                       // beyond U+10FFFF
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"x\xE6\x9D", false, "x\xEF\xBF\xBD\xEF\xBF\xBD"},  // cut short
        {"\x80x", false, "\xEF\xBF\xBDx"},                  // a stray continuation
        {std::string("\0", 1), true, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::IsValidUtf8(c.text), c.valid) << c.text;
        if (!c.text.empty() && c.text[0] != '\0') {
            EXPECT_EQ(platform::ValidUtf8(c.text), c.shown) << c.text;
        }
    }
    std::string written;
    for (const char32_t code : {U'A', U'\u00E9', U'\u6771', U'\U0001F600'}) {
        platform::AppendUtf8(written, code);
    }
    EXPECT_EQ(written, "A\xC3\xA9\xE6\x9D\xB1\xF0\x9F\x98\x80");
    EXPECT_EQ(platform::ReadUtf8(written, 3).code, U'\u6771');
    EXPECT_EQ(platform::ReadUtf8(written, 3).length, 3u);
}

}  // namespace
