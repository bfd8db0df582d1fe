#include "script/run.h"

#include <gtest/gtest.h>

#include "core/exceptions.h"
#include "logon/identity.h"
#include "logon/settings.h"
#include "script/registry_commands.h"
#include "support/registry_reader.h"
#include "support/test_platform.h"
#include "support/utf16_file.h"

namespace {

using V = std::vector<std::string>;
using testsupport::ReadDword;
using testsupport::ReadString;
constexpr platform::RegKey kHkcu = platform::kHkeyCurrentUser;

class RunScriptTest : public testsupport::PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        context().GlobalDir = At("GLOBAL\\");
        context().GroupDir = At("GROUP\\");
        context().UserDir = At("USER\\");
        context().MachineDir = At("MACHINE\\");
        context().UserName = "jsmith";
        context().MachineName = "WS01";
        context().GroupName = "EVERYONE";
        context().MacroList = std::make_unique<core::TStringList>();
        context().MacroList->Add("UIDL=jsmith");
        context().ErrorList = std::make_unique<core::TStringList>();
        context().CreateScriptRegistry();
        ClearRecord();
    }
    void TearDown() override {
        ClearRecord();
        PlatformTest::TearDown();
    }
    void ClearRecord() {
        for (int i = 1; i <= 20; ++i) {
            script::DeleteScriptValue(context(), kHkcu, script::kRunRecordKey,
                                      "ErrorString" + std::to_string(i));
        }
        script::DeleteScriptValue(context(), kHkcu, script::kRunRecordKey, "ErrorCount");
        script::DeleteScriptValue(context(), kHkcu, script::kRunRecordKey, "ErrorUpdated");
    }
    std::optional<std::string> RecordString(int i) {
        return ReadString(kHkcu, script::kRunRecordKey, "ErrorString" + std::to_string(i));
    }
    std::optional<uint32_t> RecordCount() {
        return ReadDword(kHkcu, script::kRunRecordKey, "ErrorCount");
    }
};

TEST_F(RunScriptTest, AssemblesTheFilesOfTheProcessOrderWithHeaders) {
    WriteFile(At("GLOBAL\\_DEFAULT.DAT"), "; global one\r\n; global two\r\n");
    WriteFile(At("USER\\jsmith.DAT"), "; user %UIDL%\r\n");
    script::BuildCodeList(context(), "*gGuUmM");
    EXPECT_EQ(context().CodeList->Lines(),
              (V{";---" + At("GLOBAL\\_DEFAULT.DAT"), "; global one", "; global two",
                 ";---" + At("USER\\jsmith.DAT"), "; user %UIDL%"}));

    script::BuildCodeList(context(), "*x*");  // a repeated letter loads its file again
    EXPECT_EQ(context().CodeList->Count(), 6);
}

// A script saved by any of today's editors assembles as the same lines:
// Windows-1252, UTF-8 with and without its mark, UTF-16 either way round.
TEST_F(RunScriptTest, AScriptInAnyEncodingAssemblesAlike) {
    using namespace std::string_literals;
    const std::string ansi = "; M\xFCller \x80\r\nVC:\\Data\r\n";
    const std::string utf8 = "; M\xC3\xBCller \xE2\x82\xAC\r\nVC:\\Data\r\n";
    for (const std::string& bytes :
         {ansi, utf8, "\xEF\xBB\xBF" + utf8, testsupport::Utf16File(utf8, false),
          testsupport::Utf16File(utf8, true)}) {
        WriteFile(At("GLOBAL\\_DEFAULT.DAT"), bytes);
        script::BuildCodeList(context(), "*");
        EXPECT_EQ(context().CodeList->Lines(), (V{";---" + At("GLOBAL\\_DEFAULT.DAT"),
                                                  "; M\xC3\xBCller \xE2\x82\xAC", "VC:\\Data"}));
    }
}

TEST_F(RunScriptTest, LettersChooseFilesCaseSensitively) {
    EXPECT_EQ(*script::ScriptFileForLetter(context(), 'g'), At("GROUP\\EVERYONE.DAT"));
    EXPECT_EQ(*script::ScriptFileForLetter(context(), 'G'), At("GROUP\\_DEFAULT.DAT"));
    EXPECT_EQ(*script::ScriptFileForLetter(context(), 'm'), At("MACHINE\\WS01.DAT"));
    EXPECT_EQ(*script::ScriptFileForLetter(context(), 'U'), At("USER\\_DEFAULT.DAT"));
    EXPECT_FALSE(script::ScriptFileForLetter(context(), 'x'));
    EXPECT_FALSE(script::ScriptFileForLetter(context(), '*' + 1));
}

TEST_F(RunScriptTest, RewritesTheRunRecordAndKeepsNumbersBeyondTheOldCount) {
    script::WriteScriptDword(context(), kHkcu, script::kRunRecordKey, "ErrorCount", 3);
    for (int i = 1; i <= 4; ++i) {
        script::WriteScriptString(context(), kHkcu, script::kRunRecordKey,
                                  "ErrorString" + std::to_string(i), "old " + std::to_string(i));
    }
    WriteFile(At("GLOBAL\\_DEFAULT.DAT"), "Xbogus %UIDL%\r\n; fine\r\n");
    script::RunScript(context());
    EXPECT_EQ(RecordCount(), 1u);
    EXPECT_EQ(RecordString(1), "Unknown command : Xbogus jsmith");
    EXPECT_FALSE(RecordString(2));
    EXPECT_FALSE(RecordString(3));
    EXPECT_EQ(RecordString(4), "old 4");  // beyond the old count: stays
    EXPECT_TRUE(ReadString(kHkcu, script::kRunRecordKey, "ErrorUpdated"));
}

TEST_F(RunScriptTest, AHugePreviousCountDoesNotHoldUpTheRun) {
    script::WriteScriptDword(context(), kHkcu, script::kRunRecordKey, "ErrorCount", 2147483647);
    script::WriteScriptString(context(), kHkcu, script::kRunRecordKey, "ErrorString1", "old 1");
    script::WriteScriptString(context(), kHkcu, script::kRunRecordKey, "ErrorString900", "old 900");
    script::WriteScriptString(context(), kHkcu, script::kRunRecordKey, "ErrorString2147483647",
                              "last");
    script::RunScript(context());
    EXPECT_EQ(RecordCount(), 0u);
    EXPECT_FALSE(RecordString(1));
    EXPECT_FALSE(ReadString(kHkcu, script::kRunRecordKey, "ErrorString900"));
    EXPECT_FALSE(ReadString(kHkcu, script::kRunRecordKey, "ErrorString2147483647"));
}

// Every numbered value from 1 to the previous count goes, however far apart
// they lie; names the run never writes, and numbers beyond the count, stay.
TEST_F(RunScriptTest, ClearsExactlyTheNumberedValuesUpToThePreviousCount) {
    script::WriteScriptDword(context(), kHkcu, script::kRunRecordKey, "ErrorCount", 1500);
    const std::vector<std::pair<std::string, bool>> values = {
        {"ErrorString1", false},   {"ErrorString1500", false}, {"errorSTRING700", false},
        {"ErrorString1501", true}, {"ErrorString0", true},     {"ErrorString07", true},
        {"ErrorString12x", true},  {"ErrorStrings", true},     {"Other", true},
    };
    for (const auto& [name, stays] : values) {
        script::WriteScriptString(context(), kHkcu, script::kRunRecordKey, name, "old");
    }
    script::RunScript(context());
    for (const auto& [name, stays] : values) {
        EXPECT_EQ(ReadString(kHkcu, script::kRunRecordKey, name).has_value(), stays) << name;
    }
}

TEST_F(RunScriptTest, StartUpMessagesComeFirstAndEveryMessageIsNumbered) {
    context().AddError("Failed to load X.INI");
    std::string script;
    for (int i = 0; i < 11; ++i) {
        script += "?line " + std::to_string(i) + "\r\n";
    }
    WriteFile(At("MACHINE\\_DEFAULT.DAT"), script);
    script::RunScript(context());
    EXPECT_EQ(RecordCount(), 12u);
    EXPECT_EQ(RecordString(1), "Failed to load X.INI");
    EXPECT_EQ(RecordString(2), "Unknown command : ?line 0");
    EXPECT_EQ(RecordString(12), "Unknown command : ?line 10");
    EXPECT_FALSE(RecordString(13));
}

TEST_F(RunScriptTest, NoScriptFilesGiveAnEmptyRecord) {
    script::RunScript(context());
    EXPECT_EQ(context().CodeList->Count(), 0);
    EXPECT_EQ(RecordCount(), 0u);
    EXPECT_FALSE(RecordString(1));
    EXPECT_TRUE(ReadString(kHkcu, script::kRunRecordKey, "ErrorUpdated"));
}

TEST_F(RunScriptTest, ARecordCountOfTheWrongTypeStopsTheRunBeforeAnyLine) {
    script::WriteScriptString(context(), kHkcu, script::kRunRecordKey, "ErrorCount", "3");
    WriteFile(At("GLOBAL\\_DEFAULT.DAT"), "V" + At("made") + "\r\n");
    EXPECT_THROW(script::RunScript(context()), core::ERegistryException);
    EXPECT_FALSE(Exists(At("made")));
}

TEST_F(RunScriptTest, FreeLogonSkipsWhatWasNeverCreated) {
    context().FreeLogon();
    EXPECT_FALSE(context().CodeList);
    EXPECT_FALSE(context().ErrorList);
    context().FreeLogon();
}

}  // namespace
