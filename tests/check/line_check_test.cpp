#include "check/line_check.h"

#include <gtest/gtest.h>

#include "script/commands.h"
#include "script/interpreter.h"
#include "script/registry_commands.h"
#include "support/test_platform.h"

namespace {

using check::CheckLine;
using check::LineContext;
using check::LineVerdict;

LineVerdict Check(const std::string& line, const LineContext& context = {"jsmith", ""}) {
    return CheckLine(line, line, context);
}

std::vector<std::string> Kinds(const LineVerdict& verdict) {
    std::vector<std::string> kinds;
    for (const auto& flag : verdict.flags) {
        kinds.push_back(flag.kind);
    }
    return kinds;
}

using Kinds_ = std::vector<std::string>;

TEST(LineCheckTest, TellsWhatEachCommandDoes) {
    struct Case {
        const char* line;
        const char* command;
        const char* action;
    };
    const Case cases[] = {
        {"VC:\\", "too-short", "ignored: shorter than 5 characters"},
        {"; a remark", "comment", "nothing: a comment"},
        {"CD:\\T.TXT=C:\\S.TXT", "copy", "copy C:\\S.TXT to D:\\T.TXT (replacing it)"},
        {"cD:\\T.TXT=C:\\S.TXT", "copy-if-missing",
         "copy C:\\S.TXT to D:\\T.TXT (only when it does not exist yet)"},
        {"DF:=\\\\SRV\\HOME\\jsmith", "drive", "map drive F: to \\\\SRV\\HOME\\jsmith"},
        {"PLPT1=\\\\PRINT01\\LASER", "printer", "map printer LPT1 to \\\\PRINT01\\LASER"},
        {"I[C:\\APP.INI]Options.Last.Used=1", "ini",
         "write Last.Used=1 in section [Options] of C:\\APP.INI"},
        {"I[C:\\APP.INI]NoSection=1", "ini",
         "write NoSection=1 outside any section of C:\\APP.INI"},
        {"LC:\\H.DAT", "hive",
         "attach the hive C:\\H.DAT as HKEY_USERS\\jsmith; once it loads, U lines and the run "
         "record go into it"},
        {"VC:\\A\\B", "folder", "make the folder C:\\A\\B and any missing folders above it"},
        // Blanks belong to the arguments, so they are shown.
        {"V C:\\A ", "folder", "make the folder \" C:\\A \" and any missing folders above it"},
    };
    for (const Case& c : cases) {
        const LineVerdict verdict = Check(c.line);
        EXPECT_EQ(verdict.command, c.command) << c.line;
        EXPECT_EQ(verdict.action, c.action) << c.line;
        EXPECT_TRUE(verdict.flags.empty()) << c.line;
    }
}

// Every kind of the command table is told, under the table's word.
TEST(LineCheckTest, TellsEveryKindOfTheCommandTable) {
    for (const script::Command& row : script::Commands()) {
        std::string line = std::string(1, row.letter) + "Software\\X.V=S1";
        if (row.kind == script::CommandKind::kTooShort) {
            line = "VC:\\";
        } else if (row.kind == script::CommandKind::kUnknown) {
            line = "XBadLine";
        }
        const LineVerdict verdict = Check(line);
        EXPECT_EQ(verdict.kind, row.kind) << line;
        EXPECT_EQ(verdict.command, row.word) << line;
        EXPECT_FALSE(verdict.action.empty()) << line;
    }
}

TEST(LineCheckTest, TellsRegistryWritesWithTheConvertedData) {
    struct Case {
        const char* line;
        const char* action;
    };
    const Case cases[] = {
        {"USoftware\\X.Logons=D$10",
         "write REG_DWORD 16 to HKEY_CURRENT_USER\\Software\\X\\Logons"},
        {"MSoftware\\X.V=d -1",
         "write REG_DWORD -1 ($FFFFFFFF) to HKEY_LOCAL_MACHINE\\Software\\X\\V"},
        {"RSoftware\\X.V=D$FFFFFFFF",
         "write REG_DWORD -1 ($FFFFFFFF) to HKEY_CLASSES_ROOT\\Software\\X\\V"},
        {"USoftware\\X.C=B01 ff,7a",
         "write REG_BINARY 01 FF 7A to HKEY_CURRENT_USER\\Software\\X\\C"},
        {"USoftware\\X.C=Bzz", "write an empty REG_BINARY to HKEY_CURRENT_USER\\Software\\X\\C"},
        {"USoftware\\X.S=s two words ",
         "write REG_SZ \" two words \" to HKEY_CURRENT_USER\\Software\\X\\S"},
        {"USoftware\\X.Old=-", "delete HKEY_CURRENT_USER\\Software\\X\\Old"},
        {"U\\Software\\X.=Sd",
         "write REG_SZ \"d\" to the default value of "
         "HKEY_CURRENT_USER\\Software\\X"},
        {"U.Top=S1", "write REG_SZ \"1\" to HKEY_CURRENT_USER\\Top"},
        {"USoftware\\X.a.b=S1", "write REG_SZ \"1\" to HKEY_CURRENT_USER\\Software\\X\\a.b"},
    };
    for (const Case& c : cases) {
        const LineVerdict verdict = Check(c.line);
        EXPECT_EQ(verdict.command, "registry") << c.line;
        EXPECT_EQ(verdict.action, c.action) << c.line;
        EXPECT_TRUE(verdict.flags.empty()) << c.line;
    }
}

TEST(LineCheckTest, CurrentUserWritesAfterAHiveLineNameTheHiveToo) {
    const LineVerdict verdict = Check("USoftware\\X.V=S1", {"guest", "USER\\guest.DAT:2"});
    EXPECT_EQ(verdict.action,
              "write REG_SZ \"1\" to HKEY_CURRENT_USER\\Software\\X\\V, or "
              "HKEY_USERS\\guest\\Software\\X\\V once the hive of USER\\guest.DAT:2 is attached");
    // Other roots are never sent into the hive.
    EXPECT_EQ(Check("MSoftware\\X.V=S1", {"guest", "USER\\guest.DAT:2"}).action,
              "write REG_SZ \"1\" to HKEY_LOCAL_MACHINE\\Software\\X\\V");
}

TEST(LineCheckTest, UnknownCommandsGetAHintWhereOneFits) {
    struct Case {
        const char* line;
        const char* text;
    };
    const Case cases[] = {
        {"dH:=\\\\SRV\\HOME",
         "\"d\" is no command: command letters are case-sensitive, did you mean D?"},
        {"vC:\\X", "\"v\" is no command: command letters are case-sensitive, did you mean V?"},
        {"   VC:\\X", "the line is indented: the command letter must be its first character"},
        {"\tUSoftware\\X.V=S1",
         "the line is indented: the command letter must be its first character"},
        {"      ", "a line of blanks is no command"},
        {"   hello", "a line that begins with a blank is no command"},
        {"XBadLine", "\"X\" is no command"},
        {"aC:\\X", "\"a\" is no command"},
    };
    for (const Case& c : cases) {
        const LineVerdict verdict = Check(c.line);
        ASSERT_EQ(Kinds(verdict), Kinds_{"unknown-command"}) << c.line;
        EXPECT_EQ(verdict.flags[0].text, c.text) << c.line;
        EXPECT_EQ(verdict.flags[0].message, std::string("Unknown command : ") + c.line);
    }
    // "c" is a command of its own, not a lower-case "C".
    EXPECT_TRUE(Check("cD:\\T=C:\\S").flags.empty());
}

TEST(LineCheckTest, FlagsMistakesThatDoNothingOrCannotWork) {
    struct Case {
        const char* line;
        const char* kind;
        const char* action;
    };
    const Case cases[] = {
        {"USoftware\\X.V=Xabc", "no-type-letter", "nothing"},
        {"USoftware\\X.V=", "no-type-letter", "nothing"},
        {"DQ:\\\\SRV\\SHARE", "no-device", "map drive \"\" to DQ:\\\\SRV\\SHARE"},
        {"PLPT1", "no-device", "map printer \"\" to PLPT1"},
        {"RApp.Name\\Shell.=Sx", "backslash-in-value-name",
         "write REG_SZ \"x\" to the value \"Name\\Shell.\" of HKEY_CLASSES_ROOT\\App"},
    };
    for (const Case& c : cases) {
        const LineVerdict verdict = Check(c.line);
        EXPECT_EQ(Kinds(verdict), Kinds_{c.kind}) << c.line;
        EXPECT_EQ(verdict.action, c.action) << c.line;
        EXPECT_EQ(verdict.flags.empty() ? "" : verdict.flags[0].message, "") << c.line;
    }
}

TEST(LineCheckTest, MalformedIniLinesSayWhatIsWrong) {
    struct Case {
        const char* line;
        const char* text;
    };
    const Case cases[] = {
        {"IC:\\A.INI]S.K=v", "the \"[\" must follow the I directly"},
        {"I [C:\\A.INI]S.K=v", "the \"[\" must follow the I directly"},
        {"I[C:\\A.INI S.K=v", "no \"]\" ends the file name"},
        {"I]x[C:\\A.INI S.K=v", "the \"[\" must follow the I directly"},
        {"I[C:\\A.INI]S.K", "no \"=\" follows the key"},
        {"I[C:\\A=B.INI]S.K", "the \"=\" comes before the \"]\""},
    };
    for (const Case& c : cases) {
        const LineVerdict verdict = Check(c.line);
        ASSERT_EQ(Kinds(verdict), Kinds_{"malformed-ini"}) << c.line;
        EXPECT_EQ(verdict.flags[0].text, c.text) << c.line;
    }
}

TEST(LineCheckTest, LongArgumentsAreFlaggedWithWhatIsDropped) {
    const std::string value(1000, 'x');
    LineVerdict verdict = Check("USoftware\\X.V=S" + value);  // 1001 after the "="
    ASSERT_EQ(Kinds(verdict), Kinds_{"long-line"});
    EXPECT_NE(verdict.flags[0].text.find("2 are dropped"), std::string::npos);
    EXPECT_TRUE(Check("USoftware\\X.V=S" + std::string(998, 'x')).flags.empty());  // 999

    verdict = Check("VC:\\" + std::string(997, 'x'));  // 1000 after the letter
    ASSERT_EQ(Kinds(verdict), Kinds_{"long-line"});
    EXPECT_NE(verdict.flags[0].text.find("1 are dropped"), std::string::npos);
    EXPECT_TRUE(Check("VC:\\" + std::string(996, 'x')).flags.empty());

    // A line without "=" hands its whole text over as the value.
    EXPECT_EQ(Kinds(Check("DQ:" + std::string(997, 'x'))), (Kinds_{"no-device", "long-line"}));
    // Comments and unknown commands use no argument.
    EXPECT_TRUE(Check(";" + std::string(1200, 'x')).flags.empty());

    // A long line that expansion changed may have lost its end there.
    const std::string raw = "VC:\\%UIDL%\\" + std::string(1000, 'y');
    const std::string expanded = "VC:\\jsmith\\" + std::string(999, 'y');
    EXPECT_EQ(Kinds(CheckLine(raw, expanded, {"jsmith", ""})), (Kinds_{"long-line", "long-line"}));
    EXPECT_TRUE(CheckLine(";%UIDL%" + std::string(1000, 'y'), ";jsmith", {}).flags.empty());
}

// The flags that carry a message name a failure the program certainly
// records: running the same line through ExecuteLine records exactly it.
class LineCheckAgainstExecutorTest : public testsupport::PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        context().ErrorList = std::make_unique<core::TStringList>();
        context().CreateScriptRegistry();
    }
};

TEST_F(LineCheckAgainstExecutorTest, MessagesAreThoseTheExecutorRecords) {
    const std::string noFolder = At("missing") + "\\x.ini";
    const std::vector<std::string> lines = {
        "dH:=\\\\SRV\\HOME",
        "   VC:\\Indented",
        "USoftware\\Brackenlow\\CheckTest=Sx",
        "USoftware\\Brackenlow\\CheckTest.V=Dtwelve",
        "USoftware\\Brackenlow\\CheckTest.V=D2147483648",
        "USoftware\\Brackenlow\\CheckTest.V=D1 ",
        "IC:\\A.INI]S.K=v",
        "I[C:\\A.INI S.K=v",
        "I[" + noFolder + "]S.K",
        "I[C:\\A=B.INI]S.K",
        "C" + At("only-a-source.txt"),
        "c=" + At("source.txt"),
    };
    for (const std::string& line : lines) {
        const LineVerdict verdict = Check(line);
        ASSERT_EQ(verdict.flags.size(), 1u) << line;
        context().ErrorList->Clear();
        script::ExecuteLine(context(), line);
        EXPECT_EQ(context().ErrorList->Lines(), std::vector<std::string>{verdict.flags[0].message})
            << line;
    }
}

TEST_F(LineCheckAgainstExecutorTest, LinesWithoutFlagsOfCertainFailureRecordNothing) {
    // What the checker passes as sound, the executor carries out without a
    // message (where the platform has what the line needs).
    WriteFile(At("source.txt"), "text");
    const std::vector<std::string> lines = {
        "C" + At("copy.txt") + "=" + At("source.txt"), "V" + At("a\\b"),
        "I[" + At("app.ini") + "]Main.Key=v",          "USoftware\\Brackenlow\\CheckTest.D=D$10",
        "USoftware\\Brackenlow\\CheckTest.B=B01 ff",   "USoftware\\Brackenlow\\CheckTest.S=Sx",
        "USoftware\\Brackenlow\\CheckTest.S=-",
    };
    for (const std::string& line : lines) {
        EXPECT_TRUE(Check(line).flags.empty()) << line;
        context().ErrorList->Clear();
        script::ExecuteLine(context(), line);
        EXPECT_EQ(context().ErrorList->Count(), 0) << line;
    }
}

}  // namespace
