#include "script/commands.h"

#include <gtest/gtest.h>

#include <climits>

#include "script/line_parser.h"

namespace {

using script::CommandKind;
using script::ParseLine;

// The table's rows are in the order of CommandKind, so the letters in row
// order pin which letter selects which kind. Upper and lower case differ;
// every other first character, a blank, a digit and a zero byte among
// them, selects no command.
TEST(CommandsTest, EachLetterSelectsItsRowAndNoOtherCharacterSelectsAny) {
    std::string letters;
    for (const script::Command& row : script::Commands()) {
        if (row.letter != 0) {
            letters += row.letter;
            EXPECT_EQ(ParseLine(std::string(1, row.letter) + "ABCD=1").kind, row.kind)
                << row.letter;
        }
    }
    EXPECT_EQ(letters, ";CcDPILMRUV");
    for (int c = CHAR_MIN; c <= CHAR_MAX; ++c) {
        const char first = static_cast<char>(c);
        if (letters.find(first) == std::string::npos) {
            EXPECT_EQ(ParseLine(std::string(1, first) + "ABCD=1").kind, CommandKind::kUnknown) << c;
        }
    }
}

}  // namespace
