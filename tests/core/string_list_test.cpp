#include "core/string_list.h"

#include <gtest/gtest.h>

#include "core/exceptions.h"
#include "support/test_platform.h"

namespace {

using core::TStringList;

std::vector<std::string> Lines(std::string_view text) {
    TStringList list;
    list.SetText(text);
    return list.Lines();
}

using V = std::vector<std::string>;

TEST(StringListTextTest, CutsAtEveryKindOfLineBreak) {
    EXPECT_EQ(Lines("a\r\nb\nc\rd"), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(Lines("a\n"), (V{"a"}));          // a final break adds no line
    EXPECT_EQ(Lines("a\r\n\r\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(Lines("a\n\r\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(Lines("a\r\rb"), (V{"a", "", "b"}));
    EXPECT_EQ(Lines("a\n\rb"), (V{"a", "", "b"}));  // LF then a lone CR: two breaks
    EXPECT_EQ(Lines("\n"), (V{""}));
    EXPECT_EQ(Lines(""), V{});
    EXPECT_EQ(Lines("  x  \r\n\t"), (V{"  x  ", "\t"}));  // blanks are kept
}

TEST(StringListTextTest, NulEndsTheText) {
    EXPECT_EQ(Lines(std::string("a\nb\0c\nd", 7)), (V{"a", "b"}));
    EXPECT_EQ(Lines(std::string("\0a", 2)), V{});
}

TEST(StringListTest, EditsByIndex) {
    TStringList list;
    list.Add("b");
    list.Insert(0, "a");
    list.Insert(2, "c");
    list.Put(1, "B");
    EXPECT_EQ(list.Lines(), (V{"a", "B", "c"}));
    EXPECT_THROW(list.Get(3), core::EStringListError);
    EXPECT_THROW(list.Insert(5, "x"), core::EStringListError);

    TStringList other;
    other.Assign(list);
    other.AddStrings(other);
    EXPECT_EQ(other.Count(), 6);
    list.Assign(list);
    EXPECT_EQ(list.Count(), 3);
}

class StringListLookupTest : public testsupport::PlatformTest {};

TEST_F(StringListLookupTest, NamesAndValuesSplitAtTheFirstEquals) {
    TStringList list;
    list.SetText("plain line\nMachine =spaced\nUser=a=b\n=empty name\nuser=second");
    EXPECT_EQ(list.NameAt(0), "");
    EXPECT_EQ(list.NameAt(1), "Machine ");
    EXPECT_EQ(list.NameAt(2), "User");
    EXPECT_EQ(list.NameAt(3), "");
    EXPECT_EQ(list.ValueOf("USER", services().system()), "a=b");  // first match, ignoring case
    EXPECT_EQ(list.ValueOf("Machine", services().system()), "");  // the blank belongs to the name
    EXPECT_EQ(list.ValueOf("Machine ", services().system()), "spaced");
    EXPECT_EQ(list.ValueOf("", services().system()), "empty name");  // lines without "=" never match
    EXPECT_EQ(list.ValueOf("missing", services().system()), "");
}

TEST_F(StringListLookupTest, LoadsAFileAndReportsOneThatCannotBeOpened) {
    WriteFile(At("list.txt"), "one\r\ntwo\rthree\n");
    TStringList list;
    list.Add("old");
    list.LoadFromFile(services().files(), At("list.txt"));
    EXPECT_EQ(list.Lines(), (V{"one", "two", "three"}));

    const std::string missing = At("missing.txt");
    try {
        list.LoadFromFile(services().files(), missing);
        FAIL() << "no failure";
    } catch (const core::EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file " + missing);
    }
    // A directory cannot be opened as a file either.
    EXPECT_THROW(list.LoadFromFile(services().files(), Scratch()), core::EFOpenError);
}

}  // namespace
