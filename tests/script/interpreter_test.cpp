#include "script/interpreter.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "core/exceptions.h"
#include "platform/errors.h"
#include "support/test_platform.h"

namespace {

using Lines = std::vector<std::string>;
using script::ExecuteLine;

// Lines carried out on this build's platform, through files a test may
// make raise: the platform never does, but a failure of a command must
// still stay inside its line.
class InterpreterTest : public testsupport::FakeServicesTest {
  protected:
    void SetUp() override {
        FakeServicesTest::SetUp();
        context().ErrorList = std::make_unique<core::TStringList>();
    }
};

TEST_F(InterpreterTest, ShortLinesAndCommentsDoNothing) {
    for (const char* line : {"", "V", "VC:\\", "zzzz", ";", "; any text at all", ";CX=Y"}) {
        ExecuteLine(context(), line);
    }
    EXPECT_EQ(Errors(), Lines{});
}

TEST_F(InterpreterTest, UnknownFirstCharacterIsReportedWithTheWholeLine) {
    const Lines lines = {"     ",
                         "  CX.TXT=Y.TXT",
                         "dX:=\\\\SRV\\SHARE",
                         "iabcd",
                         "labcd",
                         "mSoft.X=S1",
                         "pLPT1:=\\\\SRV\\P",
                         "rSoft.X=S1",
                         "uSoft.X=S1",
                         "vC:\\TEMP",
                         "1abcd",
                         "=abcd",
                         "\tV" + At("X")};
    Lines expected;
    for (const std::string& line : lines) {
        ExecuteLine(context(), line);
        expected.push_back("Unknown command : " + line);
    }
    EXPECT_EQ(Errors(), expected);
    EXPECT_FALSE(Exists(At("X")));
}

TEST_F(InterpreterTest, RegistryHiveAndNetworkLinesReachTheirOwnCommands) {
    // Each family answers a line it cannot carry out with its own message:
    // the line reached it, and was not taken for an unknown command.
    network().cancelResult = platform::kErrorNotConnected;
    network().addResult = platform::kErrorBadNetPath;
    context().UserName = "jsmith";
    const std::string hive = At("NOHIVE.DAT");
    for (const std::string& line :
         {std::string("MNoValueName=Q"), std::string("RNoValueName=Q"),
          std::string("UNoValueName=Q"), "L" + hive, std::string("DQ:=\\\\NOSERVER\\NOSHARE"),
          std::string("PLPT9:=\\\\NOSERVER\\NOPRN")}) {
        ExecuteLine(context(), line);
    }
    EXPECT_EQ(Errors(), (Lines{"No value name in destination NoValueName",
                               "No value name in destination NoValueName",
                               "No value name in destination NoValueName",
                               "Error attaching " + hive + " to HKEY_USERS\\jsmith",
                               "Error 53 on connecting Q: to \\\\NOSERVER\\NOSHARE",
                               "Error 53 on connecting LPT9: to \\\\NOSERVER\\NOPRN"}));
}

TEST_F(InterpreterTest, CopyCommandsCopyAndReportAFailedCopy) {
    WriteFile(At("SOURCE.TXT"), "new");
    WriteFile(At("TARGET.TXT"), "old");
    ExecuteLine(context(), "c" + At("TARGET.TXT") + "=" + At("SOURCE.TXT"));
    EXPECT_EQ(ReadFile(At("TARGET.TXT")), "old");
    ExecuteLine(context(), "C" + At("TARGET.TXT") + "=" + At("SOURCE.TXT"));
    EXPECT_EQ(ReadFile(At("TARGET.TXT")), "new");
    EXPECT_EQ(Errors(), Lines{});

    ExecuteLine(context(), "C" + At("COPY.TXT") + "=" + At("MISSING.TXT"));
    // Without "=" the whole line is the source and the destination is empty.
    const std::string noEquals = "c" + At("SOURCE.TXT");
    ExecuteLine(context(), noEquals);
    EXPECT_EQ(Errors(), (Lines{"Error copying " + At("MISSING.TXT") + " to " + At("COPY.TXT"),
                               "Error copying " + noEquals + " to "}));
}

TEST_F(InterpreterTest, IniLineWritesAndReportsOnlyItsOwnFailureMessage) {
    ExecuteLine(context(), "I[" + At("APP.INI") + "]Options.Last.Used=1");
    ExecuteLine(context(), "I[" + At("APP.INI") + "]NoSection=1");
    EXPECT_EQ(ReadFile(At("APP.INI")), IsWine()
                                           ? "NoSection=1\r\n[Options]\r\nLast.Used=1\r\n"
                                           : "[Options]\r\nLast.Used=1\r\n[]\r\nNoSection=1\r\n");
    EXPECT_EQ(Errors(), Lines{});

    ExecuteLine(context(), "I[" + At("NODIR\\APP.INI") + "]Options.Last=1");
    EXPECT_EQ(Errors(),
              Lines{"Error loading " + At("NODIR\\APP.INI") + " to change Options.Last to 1"});
}

TEST_F(InterpreterTest, MalformedIniLinesAreReportedAndWriteNothing) {
    const std::string file = At("APP.INI");
    ExecuteLine(context(), "I[" + file + "]Options.Key");     // no "="
    ExecuteLine(context(), "I [" + file + "]Options.Key=1");  // "[" not second
    ExecuteLine(context(), "I[" + file + " Options.Key=1");   // no "]"
    EXPECT_FALSE(Exists(file));
    EXPECT_EQ(Errors(), (Lines{
                            "Error loading " + file + " to change  to I[" + file + "]Options.Key",
                            "Error loading  to change Options.Key to 1",
                            "Error loading  to change I[" + file + " Options.Key to 1",
                        }));
}

TEST_F(InterpreterTest, LongValueIsCutTo999Characters) {
    const std::string value(1200, 'v');
    ExecuteLine(context(), "I[" + At("LONG.INI") + "]S.K=" + value);
    EXPECT_EQ(ReadFile(At("LONG.INI")), "[S]\r\nK=" + value.substr(0, 999) + "\r\n");
}

TEST_F(InterpreterTest, DirectoryLineMakesTheChainAndIgnoresOneTrailingBackslash) {
    ExecuteLine(context(), "V" + At("A\\B\\C"));
    EXPECT_TRUE(Exists(At("A\\B\\C")));
    ExecuteLine(context(), "V" + At("X\\"));
    EXPECT_TRUE(Exists(At("X")));
    ExecuteLine(context(), "V" + At("X\\"));  // present: nothing happens
    EXPECT_EQ(Errors(), Lines{});
}

TEST_F(InterpreterTest, FailureRaisedInsideALineIsReportedAndTheNextLineRuns) {
    files().onCopy = [] { throw core::EConvertError("'x' is not a valid integer value"); };
    const std::string copy = "C" + At("A.TXT") + "=" + At("B.TXT");
    ExecuteLine(context(), copy);
    files().onCopy = [] { throw std::runtime_error("out of resources"); };
    ExecuteLine(context(), copy);
    ExecuteLine(context(), "zzzzz");
    EXPECT_EQ(Errors(), (Lines{"'x' is not a valid integer value : " + copy,
                               "out of resources : " + copy, "Unknown command : zzzzz"}));
}

TEST_F(InterpreterTest, FailureWhileMakingDirectoriesNamesTheDirectory) {
    files().onAttributes = [] { throw core::Exception("device not ready"); };
    ExecuteLine(context(), "V" + At("NEW\\DIR"));
    EXPECT_EQ(Errors(), Lines{"Mkdir " + At("NEW\\DIR") + " failed : device not ready"});
    EXPECT_FALSE(Exists(At("NEW")));
}

}  // namespace
