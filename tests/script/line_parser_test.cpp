#include "script/line_parser.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using script::CommandKind;
using script::ParseLine;

TEST(LineParserTest, LinesShorterThanFiveCharactersAreSkipped) {
    EXPECT_EQ(ParseLine("").kind, CommandKind::kTooShort);
    EXPECT_EQ(ParseLine("VC:\\").kind, CommandKind::kTooShort);
    EXPECT_EQ(ParseLine("zzzz").kind, CommandKind::kTooShort);
    const auto five = ParseLine("VC:\\X");
    EXPECT_EQ(five.kind, CommandKind::kMakeDirectory);
    EXPECT_EQ(five.rest, "C:\\X");
    EXPECT_EQ(ParseLine("     ").kind, CommandKind::kUnknown);
}

// A line and the parts it is cut into.
struct Parts {
    const char* line;
    long long eq;
    const char* destination;
    const char* value;
    const char* rest;
};

void ExpectParts(const std::vector<Parts>& cases) {
    for (const Parts& c : cases) {
        const auto parsed = ParseLine(c.line);
        EXPECT_EQ(parsed.eq, c.eq) << c.line;
        EXPECT_EQ(parsed.destination, c.destination) << c.line;
        EXPECT_EQ(parsed.value, c.value) << c.line;
        EXPECT_EQ(parsed.rest, c.rest) << c.line;
    }
}

TEST(LineParserTest, CutsDestinationValueAndRestAtTheFirstEqualsSign) {
    ExpectParts({
        {"CD:\\TARGET.TXT=C:\\SOURCE\\FILE.TXT", 15, "D:\\TARGET.TXT", "C:\\SOURCE\\FILE.TXT",
         "D:\\TARGET.TXT=C:\\SOURCE\\FILE.TXT"},
        // Blanks belong to the arguments; later "=" belong to the value.
        {"D X: = \\\\SRV\\A=B ", 6, " X: ", " \\\\SRV\\A=B ", " X: = \\\\SRV\\A=B "},
        {"U=Sabc", 2, "", "Sabc", "=Sabc"},
        {"USoft.X=", 8, "Soft.X", "", "Soft.X="},
    });
}

TEST(LineParserTest, LineWithoutEqualsHasEmptyDestinationAndTheWholeLineAsValue) {
    ExpectParts({
        {"CC:\\SOURCE.TXT", 0, "", "CC:\\SOURCE.TXT", "C:\\SOURCE.TXT"},
        {"LC:\\USERS\\NTUSER.DAT", 0, "", "LC:\\USERS\\NTUSER.DAT", "C:\\USERS\\NTUSER.DAT"},
    });
}

TEST(LineParserTest, ValueAndRestKeepAtMost999CharactersAndDestinationIsNotCut) {
    const std::string longText(1200, 'x');
    const auto line = ParseLine("DX:=" + longText);
    EXPECT_EQ(line.value, longText.substr(0, 999));
    EXPECT_EQ(line.rest.size(), 999u);
    EXPECT_EQ(line.rest.substr(0, 3), "X:=");

    const auto withoutEquals = ParseLine("V" + longText);
    EXPECT_EQ(withoutEquals.rest, longText.substr(0, 999));
    EXPECT_EQ(withoutEquals.value, ("V" + longText).substr(0, 999));

    const std::string longDestination(1500, 'd');
    EXPECT_EQ(ParseLine("C" + longDestination + "=S").destination, longDestination);
}

TEST(LineParserTest, IniLineNamesFileSectionAndKey) {
    const auto line = ParseLine("I[C:\\APP\\APP.INI]Options.Last.Used=1");
    EXPECT_TRUE(line.iniFormValid);
    EXPECT_EQ(line.file, "C:\\APP\\APP.INI");
    EXPECT_EQ(line.sectionAndKey, "Options.Last.Used");
    EXPECT_EQ(line.target.section, "Options");
    EXPECT_EQ(line.target.key, "Last.Used");
    EXPECT_EQ(line.value, "1");

    const auto noSection = ParseLine("I[C:\\APP\\APP.INI]NoSection=1");
    EXPECT_TRUE(noSection.iniFormValid);
    EXPECT_EQ(noSection.target.section, "");
    EXPECT_EQ(noSection.target.key, "NoSection");

    const auto leadingDot = ParseLine("I[F.INI].Key=1");
    EXPECT_EQ(leadingDot.target.section, "");
    EXPECT_EQ(leadingDot.target.key, "Key");

    const auto empty = ParseLine("I[]=value");
    EXPECT_TRUE(empty.iniFormValid);
    EXPECT_EQ(empty.file, "");
    EXPECT_EQ(empty.sectionAndKey, "");

    const auto blanks = ParseLine("I[ F.INI ] Sec . Key = v");
    EXPECT_EQ(blanks.file, " F.INI ");
    EXPECT_EQ(blanks.target.section, " Sec ");
    EXPECT_EQ(blanks.target.key, " Key ");
    EXPECT_EQ(blanks.value, " v");
}

TEST(LineParserTest, SectionAndKeySplitLimitsTheKeyAfterTheDot) {
    const std::string longKey(1200, 'k');
    EXPECT_EQ(script::SplitSectionAndKey("S." + longKey).key, longKey.substr(0, 999));
    EXPECT_EQ(script::SplitSectionAndKey(longKey).key, longKey);  // no dot: the whole text
    EXPECT_EQ(script::SplitSectionAndKey("S.").key, "");
    EXPECT_EQ(script::SplitSectionAndKey("S.").section, "S");
}

TEST(LineParserTest, MalformedIniLinesNameNoFile) {
    struct Case {
        const char* line;
        const char* file;
        const char* sectionAndKey;
        const char* value;
    };
    const Case cases[] = {
        {"I [F.INI]S.K=1", "", "S.K", "1"},                 // "[" not second
        {"IF.INI]S.K=1", "", "S.K", "1"},                   // no "["
        {"I[F.INI S.K=1", "", "I[F.INI S.K", "1"},          // no "]"
        {"I[A=B.INI]S.K=1", "A=B.INI", "", "B.INI]S.K=1"},  // "=" inside the brackets
        {"I]x[F.INI]S.K=1", "", "x[F.INI]S.K", "1"},        // "]" before "["
        {"I[F.INI]S.K", "F.INI", "", "I[F.INI]S.K"},        // no "="
    };
    for (const Case& c : cases) {
        const auto parsed = ParseLine(c.line);
        EXPECT_FALSE(parsed.iniFormValid) << c.line;
        EXPECT_EQ(parsed.file, c.file) << c.line;
        EXPECT_EQ(parsed.sectionAndKey, c.sectionAndKey) << c.line;
        EXPECT_EQ(parsed.value, c.value) << c.line;
    }
}

}  // namespace
