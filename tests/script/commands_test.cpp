#include "script/commands.h"

#include <gtest/gtest.h>

#include <climits>

#include "script/line_parser.h"

namespace {

using script::CommandKind;
using script::ParseLine;

// What each first character selects, written out here rather than read
// from the table, so a wrong or missing row in the table shows. Upper and
// lower case differ (c is the copy that keeps an existing file, the other
// lower-case letters select nothing); every other first character, a
// blank, a digit and a zero byte among them, selects no command.
TEST(CommandsTest, EachLetterSelectsItsCommandAndNoOtherCharacterSelectsAny) {
    const std::pair<char, CommandKind> letters[] = {
        {';', CommandKind::kComment},
        {'C', CommandKind::kCopyReplacing},
        {'c', CommandKind::kCopyIfMissing},
        {'D', CommandKind::kConnectDrive},
        {'P', CommandKind::kConnectPrinter},
        {'I', CommandKind::kWriteIni},
        {'L', CommandKind::kAttachHive},
        {'M', CommandKind::kRegistryLocalMachine},
        {'R', CommandKind::kRegistryClassesRoot},
        {'U', CommandKind::kRegistryCurrentUser},
        {'V', CommandKind::kMakeDirectory},
    };
    std::string selecting;
    for (const auto& [letter, kind] : letters) {
        selecting += letter;
        EXPECT_EQ(ParseLine(std::string(1, letter) + "ABCD=1").kind, kind) << letter;
    }
    for (int c = CHAR_MIN; c <= CHAR_MAX; ++c) {
        const char first = static_cast<char>(c);
        if (selecting.find(first) == std::string::npos) {
            EXPECT_EQ(ParseLine(std::string(1, first) + "ABCD=1").kind, CommandKind::kUnknown) << c;
        }
    }
    // M, R and U write under their own roots.
    EXPECT_EQ(script::CommandFor(CommandKind::kRegistryLocalMachine).root,
              platform::kHkeyLocalMachine);
    EXPECT_EQ(script::CommandFor(CommandKind::kRegistryClassesRoot).root,
              platform::kHkeyClassesRoot);
    EXPECT_EQ(script::CommandFor(CommandKind::kRegistryCurrentUser).root,
              platform::kHkeyCurrentUser);
}

}  // namespace
