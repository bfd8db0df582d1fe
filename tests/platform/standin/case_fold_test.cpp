#include "platform/standin/case_fold.h"

#include <gtest/gtest.h>

namespace {

using platform::standin::SameText1252;

TEST(CaseFold1252Test, FoldsAccentedLettersLikeTheWindowsLocale) {
    EXPECT_TRUE(SameText1252("Jos\xe9", "JOS\xc9"));    // é / É
    EXPECT_TRUE(SameText1252("\x9a\x9c\x9e\xff", "\x8a\x8c\x8e\x9f"));
    EXPECT_FALSE(SameText1252("\xf7", "\xd7"));  // division and multiplication signs differ
    EXPECT_FALSE(SameText1252("\xdf", "\xff"));
    EXPECT_FALSE(SameText1252("ab", "abc"));
}

}  // namespace
