#include "logon/settings.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "core/exceptions.h"
#include "support/test_platform.h"

namespace {

using namespace logon;

using Values = std::map<std::string, std::string>;  // value by key

class SettingsTest : public testsupport::PlatformTest {
  protected:
    bool Load(const std::string& text) {
        WriteFile(At("RUN.INI"), text);
        return LoadConfig(context(), At("RUN.INI"));
    }
    // The nine settings of the context by their keys in the file.
    Values Settings() {
        const auto& c = context();
        return {{"Machine", c.MachineDir},       {"User", c.UserDir},
                {"Group", c.GroupDir},           {"Global", c.GlobalDir},
                {"Notice", c.NoticeFile},        {"Default", c.DefaultName},
                {"UserList", c.UserListFile},    {"Process", c.ProcessOrder},
                {"Extension", c.ScriptExtension}};
    }
};

TEST_F(SettingsTest, MissingFileKeepsEveryDefaultAndEmptyLists) {
    EXPECT_FALSE(LoadConfig(context(), At("NONE.INI")));
    EXPECT_EQ(Settings(), (Values{{"Machine", "MACHINE\\"},
                                  {"User", "USER\\"},
                                  {"Group", "GROUP\\"},
                                  {"Global", "GLOBAL\\"},
                                  {"Notice", "NOTICE.RTF"},
                                  {"Default", "_DEFAULT"},
                                  {"UserList", "USERLIST.DAT"},
                                  {"Process", "*gGuUmM"},
                                  {"Extension", ".DAT"}}));
    ASSERT_TRUE(context().ConfigList && context().MacroList);
    EXPECT_EQ(context().ConfigList->Count(), 0);
    EXPECT_EQ(context().MacroList->Count(), 0);
}

TEST_F(SettingsTest, EmptyFileLoadsWithDefaults) {
    EXPECT_TRUE(Load(""));
    EXPECT_EQ(context().ProcessOrder, "*gGuUmM");
    EXPECT_EQ(context().MacroList->Count(), 0);
}

TEST_F(SettingsTest, DirectoriesGetOneTrailingBackslashOtherValuesStayVerbatim) {
    EXPECT_TRUE(
        Load("USER=\\\\SRV\\HOME\r\nmachine=M\\\r\nGlobal=GLOBAL\\ \r\nNotice=NEWS\r\n"
             "Default=DEF\\\r\nExtension=.scr \r\nProcess=*u\r\nUserList=LIST"));
    EXPECT_EQ(Settings(), (Values{{"User", "\\\\SRV\\HOME\\"},
                                  {"Machine", "M\\"},         // no second backslash
                                  {"Global", "GLOBAL\\ \\"},  // the blank is the last character
                                  {"Group", "GROUP\\"},
                                  {"Notice", "NEWS"},
                                  {"Default", "DEF\\"},
                                  {"Extension", ".scr "},
                                  {"Process", "*u"},
                                  {"UserList", "LIST"}}));
}

TEST_F(SettingsTest, FirstMatchingLineWinsAndNearMissesDoNotMatch) {
    EXPECT_TRUE(
        Load("[Settings]\nGroup=FIRST\nGroup=SECOND\nMachine = X\n; User=Y\n"
             "Extension=\nProcess="));
    EXPECT_EQ(context().GroupDir, "FIRST\\");
    EXPECT_EQ(context().MachineDir, "MACHINE\\");  // "Machine " is another name
    EXPECT_EQ(context().UserDir, "USER\\");
    EXPECT_EQ(context().ScriptExtension, ".DAT");  // an empty value keeps the default
    EXPECT_EQ(context().ProcessOrder, "*gGuUmM");
    EXPECT_EQ(context().ConfigList->Count(), 7);  // every line is kept as read
}

// Notepad's byte-order mark is no part of the first key.
TEST_F(SettingsTest, AByteOrderMarkLeavesTheFirstKeyItsName) {
    EXPECT_TRUE(Load("\xEF\xBB\xBFProcess=*u\r\nGroup=STAFF\r\n"));
    EXPECT_EQ(context().ProcessOrder, "*u");
    EXPECT_EQ(context().GroupDir, "STAFF\\");
}

TEST_F(SettingsTest, MacrosKeyLoadsTheMacrosFile) {
    WriteFile(At("MACROS.DAT"), "Home=\\\\SRV\\%UIDL%\r\n\r\nDocs=%Home%\\DOCS\r\n");
    EXPECT_TRUE(Load("Macros=" + At("MACROS.DAT")));
    EXPECT_EQ(context().MacroList->Lines(),
              (std::vector<std::string>{"Home=\\\\SRV\\%UIDL%", "", "Docs=%Home%\\DOCS"}));
}

TEST_F(SettingsTest, MacrosFileThatCannotBeOpenedEscapes) {
    const std::string missing = At("NOSUCH.DAT");
    WriteFile(At("RUN.INI"), "Macros=" + missing);
    try {
        LoadConfig(context(), At("RUN.INI"));
        FAIL() << "no failure";
    } catch (const core::EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file " + missing);
    }
}

TEST_F(SettingsTest, FreeSettingsReleasesBothLists) {
    EXPECT_TRUE(Load("User=U"));
    context().FreeSettings();
    EXPECT_FALSE(context().MacroList);
    EXPECT_FALSE(context().ConfigList);
    context().FreeSettings();  // nothing left to release: no harm
}

TEST(ConfigFileNameTest, ReplacesTheLastThreeCharacters) {
    EXPECT_EQ(ConfigFileNameFor("C:\\LOGON\\RUN.EXE"), "C:\\LOGON\\RUN.INI");
    EXPECT_EQ(ConfigFileNameFor("C:\\Logon\\Run.exe"), "C:\\Logon\\Run.INI");
    EXPECT_EQ(ConfigFileNameFor("C:\\LOGON\\RUN.COM"), "C:\\LOGON\\RUN.INI");
}

TEST(ConfigFileNameTest, NameWithoutAThreeLetterExtensionGetsOneAppended) {
    EXPECT_EQ(ConfigFileNameFor("/opt/logon/tarnwick"), "/opt/logon/tarnwick.INI");
    EXPECT_EQ(ConfigFileNameFor("/opt/v1.2/run"), "/opt/v1.2/run.INI");
    EXPECT_EQ(ConfigFileNameFor("C:\\LOGON\\RUN.EX"), "C:\\LOGON\\RUN.EX.INI");
}

// The starter settings file of the release zip names every key with the
// default this program uses, so that an administrator edits a file that
// changes nothing until a value is changed; its remarks match no key.
TEST_F(SettingsTest, StarterFileNamesEveryKeyWithItsDefault) {
    core::TStringList starter;
    starter.LoadFromFile(services().files(),
                         std::string(TARNWICK_SOURCE_DIR) + "/packaging/tarnwick.ini");
    for (const auto& [key, value] : Settings()) {
        EXPECT_EQ(starter.ValueOf(key, services().system()), value) << key;
    }
    // No default: the Macros line is only a remark, so a copy of the
    // starter alone names no macros file that could stop the logon.
    EXPECT_EQ(starter.ValueOf(kMacrosKey, services().system()), "");
    EXPECT_EQ(starter.ValueOf(kEventLogKey, services().system()), "1");  // on, as without the key
    int settings = 0;
    for (const std::string& line : starter.Lines()) {
        if (line.rfind(';', 0) == 0) {
            continue;
        }
        EXPECT_NE(line.find('='), std::string::npos) << "neither a setting nor a remark: " << line;
        ++settings;
    }
    EXPECT_EQ(settings, 10);  // each key once, Macros not among them
}

}  // namespace
