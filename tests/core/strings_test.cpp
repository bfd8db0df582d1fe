#include "core/strings.h"

#include <gtest/gtest.h>

namespace {

using core::Copy;
using core::Pos;

TEST(CopyTest, FollowsTheOneBasedSubStringRule) {
    EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Copy("abcdef", 0, 2), "ab");    // a start below 1 counts as 1
    EXPECT_EQ(Copy("abcdef", -5, 2), "ab");
    EXPECT_EQ(Copy("abcdef", 7, 1), "");      // past the end
    EXPECT_EQ(Copy("abcdef", 6, 1), "f");
    EXPECT_EQ(Copy("abcdef", 2, 0), "");      // no length
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

TEST(CaseMappingTest, ChangesOnlyTheAsciiLetters) {
    EXPECT_EQ(core::UpperAZ("jSmith-9_\xe9"), "JSMITH-9_\xe9");
    EXPECT_EQ(core::LowerAZ("JSmith\xc9"), "jsmith\xc9");
}

}  // namespace
