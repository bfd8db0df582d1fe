#include "platform/standin/case_fold.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::standin::FoldCase;
using platform::standin::SameText;

struct FoldCase_ {
    const char* a;
    const char* b;
    bool same;
};

// Every pair both ways, and each text against its own folded form.
TEST(CaseFoldTest, ComparesNamesIgnoringCaseCharacterByCharacter) {
    const FoldCase_ cases[] = {
        {"Software\\Classes", "SOFTWARE\\classes", true},
        {"ab", "abc", false},
        {"", "", true},
        {"a", "", false},
        {"\xC5\x81ukasz", "\xC5\x81UKASZ", true},                        // Łukasz / ŁUKASZ
        {"\xC5\x82ukasz", "\xC5\x81UKASZ", true},                        // łukasz / ŁUKASZ
        {"\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7",                     // Ελένη
         "\xCE\x95\xCE\x9B\xCE\x88\xCE\x9D\xCE\x97", true},              // ΕΛΈΝΗ
        {"\xE6\x9D\xB1\xE4\xBA\xAC", "\xE6\x9D\xB1\xE4\xBA\xAC", true},  // 東京, no case
        {"\xE6\x9D\xB1\xE4\xBA\xAC", "\xE6\x9D\xB1\xE4\xBA\xAD", false},
        {"Jos\xC3\xA9", "JOS\xC3\x89", true},  // José / JOSÉ
        {"\xC3\xB7", "\xC3\x97", false},       // ÷ and × are no pair
        {"stra\xC3\x9F"
         "e",
         "STRASSE", false},                      // ß stays one character
        {"abc\xC3\xA9", "ABC\xC3\x89x", false},  // the longer differs
        {"\xFF\xFE", "\xFF\xFE", true},          // not UTF-8: as it is
        {"a\xE9", "A\xE9", true},
        {"a\xE9", "A\xC9", false},  // no 1252 folding of stray bytes
        {"\xC3", "\xC3", true},     // cut short
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        EXPECT_EQ(SameText(c.a, c.b), c.same);
        EXPECT_EQ(SameText(c.b, c.a), c.same);
        EXPECT_EQ(FoldCase(c.a) == FoldCase(c.b), c.same);
        EXPECT_TRUE(SameText(c.a, FoldCase(c.a)));
    }
}

TEST(CaseFoldTest, FoldsToUpperCaseAndKeepsBytesThatAreNotUtf8) {
    EXPECT_EQ(FoldCase("hkey_Current_user"), "HKEY_CURRENT_USER");
    EXPECT_EQ(FoldCase("\xC5\x82ukasz"), "\xC5\x81UKASZ");
    EXPECT_EQ(FoldCase("x\xE9y\xC3"), "X\xE9Y\xC3");
    EXPECT_EQ(FoldCase(std::string("a\0b", 3)), std::string("A\0B", 3));
}

}  // namespace
