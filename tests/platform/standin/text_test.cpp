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

}  // namespace
