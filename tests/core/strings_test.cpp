#include "core/strings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using core::Copy;
using core::Pos;

TEST(CopyTest, FollowsTheOneBasedSubStringRule) {
    EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Copy("abcdef", 0, 2), "ab");  // a start below 1 counts as 1
    EXPECT_EQ(Copy("abcdef", -5, 2), "ab");
    EXPECT_EQ(Copy("abcdef", 7, 1), "");  // past the end
    EXPECT_EQ(Copy("abcdef", 6, 1), "f");
    EXPECT_EQ(Copy("abcdef", 2, 0), "");  // no length
    EXPECT_EQ(Copy("abcdef", 2, -1), "");
    EXPECT_EQ(Copy("abcdef", 4, 999), "def");  // cut at the end
    EXPECT_EQ(Copy("", 1, 5), "");
}

TEST(PosTest, GivesTheFirstOccurrenceOrZero) {
    EXPECT_EQ(Pos("=", "a=b=c"), 2);
    EXPECT_EQ(Pos("=", "abc"), 0);
    EXPECT_EQ(Pos("%A%", "x%A%%A%"), 2);
    EXPECT_EQ(Pos("", "abc"), 0);
}

// Positions and lengths count characters of UTF-8 text, never its bytes:
// "Ł" and "東" are one character each, as one byte of the code page was.
TEST(CharacterCountingTest, PositionsAndLengthsCountCharacters) {
    const std::string line = "U\xC5\x81ukasz.\xE6\x9D\xB1\xE4\xBA\xAC=S\xF0\x9F\x98\x80!";
    EXPECT_EQ(core::CharacterCount(line), 14u);
    EXPECT_EQ(Pos(".", line), 8);
    EXPECT_EQ(Pos("=", line), 11);
    EXPECT_EQ(Copy(line, 2, 6), "\xC5\x81ukasz");
    EXPECT_EQ(Copy(line, 9, 2), "\xE6\x9D\xB1\xE4\xBA\xAC");
    EXPECT_EQ(Copy(line, 13, 999), "\xF0\x9F\x98\x80!");
    EXPECT_EQ(Copy(line, 15, 1), "");
    EXPECT_EQ(core::FirstCharacters(line, 3), "U\xC5\x81u");
    EXPECT_EQ(core::FirstCharacters("\xE6\x9D\xB1", 0), "");
    // A stray continuation byte goes with the character before it.
    const std::string stray = std::string("a\x80\x80") + 'b';
    EXPECT_EQ(core::CharacterCount(stray), 2u);
    EXPECT_EQ(Copy(stray, 2, 1), "b");
}

TEST(CaseMappingTest, ChangesOnlyTheAsciiLetters) {
    EXPECT_EQ(core::UpperAZ("jSmith-9_\xe9"), "JSMITH-9_\xe9");
    EXPECT_EQ(core::LowerAZ("JSmith\xc9"), "jsmith\xc9");
}

}  // namespace
