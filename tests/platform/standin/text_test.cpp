#include "platform/standin/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace platform::standin;

TEST(StandinTextTest, TrimDropsTheGivenBlanksAtEitherEnd) {
    const struct {
        std::string_view text, blanks, left, right, both;
    } cases[] = {
        {" \ta b\t ", kBlanks, "a b\t ", " \ta b", "a b"},
        {"\r\n x \r", " \r", "\n x \r", "\r\n x", "\n x"},
        {" \t ", kBlanks, "", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TrimLeft(c.text, c.blanks), c.left) << c.text;
        EXPECT_EQ(TrimRight(c.text, c.blanks), c.right) << c.text;
        EXPECT_EQ(Trim(c.text, c.blanks), c.both) << c.text;
    }
}

TEST(StandinTextTest, HexNumbersOfOneToEightDigits) {
    const std::pair<std::string_view, std::optional<uint32_t>> numbers[] = {
        {"0", 0u},
        {"9aF", 0x9AFu},
        {"DeadBeef", 0xDEADBEEFu},
        {"ffffffff", 0xFFFFFFFFu},
        {"", {}},
        {"123456789", {}},
        {"1g", {}},
        {"G", {}},
        {"/", {}},
        {":", {}},
        {"@", {}},
        {"`", {}},
        {"+1", {}},
        {" 1", {}},
        {std::string_view("1\0", 2), {}},
    };
    for (const auto& [text, value] : numbers) {
        EXPECT_EQ(ParseHex(text), value) << text;
    }
}

TEST(StandinTextTest, LinesAndTheirNamesAndValues) {
    using Split = std::optional<std::pair<std::string_view, std::string_view>>;
    const std::pair<std::string_view, Split> lines[] = {
        {"  User = j smith\t", {{"User", "j smith"}}},
        {"a==b", {{"a", "=b"}}},
        {"=v", {{"", "v"}}},
        {"no equals", {}},
    };
    for (const auto& [line, expected] : lines) {
        const auto split = SplitNameValue(line);
        EXPECT_EQ(split ? Split({split->name, split->value}) : Split(), expected) << line;
    }
    std::vector<std::string_view> found;
    ForEachLine("a\r\n\nb\r\r\nc", [&](std::string_view line) { found.push_back(line); });
    ForEachLine("x\n", [&](std::string_view line) { found.push_back(line); });
    ForEachLine("", [&](std::string_view line) { found.push_back(line); });
    EXPECT_EQ(found, (std::vector<std::string_view>{"a", "", "b\r", "c", "x"}));
}

// Only the shortest form of a character from U+0000 to U+10FFFF, not a
// surrogate, is UTF-8; anything else is shown as U+FFFD byte by byte.
TEST(StandinTextTest, Utf8IsReadOnlyInItsValidForms) {
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
        EXPECT_EQ(IsValidUtf8(c.text), c.valid) << c.text;
        if (!c.text.empty() && c.text[0] != '\0') {
            EXPECT_EQ(ValidUtf8(c.text), c.shown) << c.text;
        }
    }
    std::string written;
    for (const char32_t code : {U'A', U'\u00E9', U'\u6771', U'\U0001F600'}) {
        AppendUtf8(written, code);
    }
    EXPECT_EQ(written, "A\xC3\xA9\xE6\x9D\xB1\xF0\x9F\x98\x80");
    EXPECT_EQ(ReadUtf8(written, 3).code, U'\u6771');
    EXPECT_EQ(ReadUtf8(written, 3).length, 3u);
}

}  // namespace
