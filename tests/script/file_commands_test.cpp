#include "script/file_commands.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "script/interpreter.h"
#include "support/test_platform.h"

namespace {

using Lines = std::vector<std::string>;
using namespace script;

class FileCommandsTest : public testsupport::PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        context().ErrorList = std::make_unique<core::TStringList>();
    }
    void TearDown() override {
        if (!savedDirectory_.empty()) {
            std::filesystem::current_path(savedDirectory_);
        }
        PlatformTest::TearDown();
    }
    // Relative paths are relative to the current directory: make that the
    // scratch directory for this test.
    void WorkInScratch() {
        savedDirectory_ = std::filesystem::current_path();
        std::filesystem::current_path(testPlatform().HostPath(Scratch()));
    }

  private:
    std::filesystem::path savedDirectory_;
};

TEST_F(FileCommandsTest, CopyReplacesOrKeepsAnExistingDestinationFile) {
    WriteFile(At("SOURCE.TXT"), "new\r\ndata");
    WriteFile(At("TARGET.TXT"), "old");
    CopyScriptFile(context(), At("TARGET.TXT"), At("SOURCE.TXT"), false);
    EXPECT_EQ(ReadFile(At("TARGET.TXT")), "old");
    CopyScriptFile(context(), At("TARGET.TXT"), At("SOURCE.TXT"), true);
    EXPECT_EQ(ReadFile(At("TARGET.TXT")), "new\r\ndata");
    CopyScriptFile(context(), At("FRESH.TXT"), At("SOURCE.TXT"), false);
    EXPECT_EQ(ReadFile(At("FRESH.TXT")), "new\r\ndata");
    EXPECT_EQ(Errors(), Lines{});
}

TEST_F(FileCommandsTest, CopyIfMissingStillTriesWhenTheDestinationIsADirectory) {
    WriteFile(At("SOURCE.TXT"), "x");
    MakeDir(At("DIR"));
    CopyScriptFile(context(), At("DIR"), At("SOURCE.TXT"), false);
    EXPECT_EQ(Errors(), Lines{"Error copying " + At("SOURCE.TXT") + " to " + At("DIR")});
}

TEST_F(FileCommandsTest, FailedCopiesNameSourceAndDestination) {
    WriteFile(At("SOURCE.TXT"), "x");
    CopyScriptFile(context(), At("TARGET.TXT"), At("MISSING.TXT"), true);
    CopyScriptFile(context(), At("NODIR\\TARGET.TXT"), At("SOURCE.TXT"), false);
    CopyScriptFile(context(), At("SOURCE.TXT"), At("SOURCE.TXT"), true);  // onto itself
    EXPECT_EQ(Errors(), (Lines{
                            "Error copying " + At("MISSING.TXT") + " to " + At("TARGET.TXT"),
                            "Error copying " + At("SOURCE.TXT") + " to " + At("NODIR\\TARGET.TXT"),
                            "Error copying " + At("SOURCE.TXT") + " to " + At("SOURCE.TXT"),
                        }));
    EXPECT_EQ(ReadFile(At("SOURCE.TXT")), "x");
    EXPECT_FALSE(Exists(At("TARGET.TXT")));
}

TEST_F(FileCommandsTest, RelativePathsLieInTheCurrentDirectory) {
    WorkInScratch();
    WriteFile(At("SOURCE.TXT"), "rel");
    ExecuteLine(context(), "CCOPY.TXT=SOURCE.TXT");
    ExecuteLine(context(), "VABC\\D");
    ExecuteLine(context(), "I[.\\REL.INI]S.K=1");
    EXPECT_EQ(ReadFile(At("COPY.TXT")), "rel");
    EXPECT_TRUE(Exists(At("ABC\\D")));
    EXPECT_EQ(ReadFile(At("REL.INI")), "[S]\r\nK=1\r\n");
    EXPECT_EQ(Errors(), Lines{});
}

TEST_F(FileCommandsTest, ChainNeverCreatesALevelShorterThanThreeCharacters) {
    WorkInScratch();
    ExecuteLine(context(), "VAB\\CD");
    EXPECT_FALSE(Exists(At("AB")));
    EXPECT_FALSE(Exists(At("AB\\CD")));
    ExecuteLine(context(), "VXY\\");  // "XY" after the trailing backslash goes
    EXPECT_FALSE(Exists(At("XY")));
    EXPECT_EQ(Errors(), Lines{});
}

TEST_F(FileCommandsTest, ChainStopsAtADriveOrAPresentDirectory) {
    MakeDirectoryChain(services().files(), "C:\\");
    MakeDirectoryChain(services().files(), "C:");
    MakeDirectoryChain(services().files(), "");
    MakeDirectoryChain(services().files(), Scratch() + "\\");
    MakeDirectoryChain(services().files(), At("ONE\\TWO\\\\"));  // a doubled separator climbs on
    EXPECT_TRUE(Exists(At("ONE\\TWO")));
    EXPECT_EQ(Errors(), Lines{});
}

TEST_F(FileCommandsTest, LevelsThatCannotBeCreatedAreLeftMissingSilently) {
    WriteFile(At("FILE.TXT"), "x");
    EnsureDirectory(context(), At("FILE.TXT\\SUB\\DEEP"));
    EXPECT_FALSE(DirectoryPresent(services().files(), At("FILE.TXT\\SUB")));
    EXPECT_EQ(Errors(), Lines{});
}

TEST_F(FileCommandsTest, PathEndingInAColonDoesNotClimbForever) {
    WorkInScratch();
    ExecuteLine(context(), "VABC:");
    ExecuteLine(context(), "V" + At("NAME:"));  // not a one-letter name: that reads as a drive
    ExecuteLine(context(), "VABC::::");
    EXPECT_EQ(Errors(), Lines{});
}

TEST_F(FileCommandsTest, DirectoryPresentOnlyForDirectories) {
    WriteFile(At("FILE.TXT"), "x");
    EXPECT_TRUE(DirectoryPresent(services().files(), Scratch()));
    EXPECT_TRUE(DirectoryPresent(services().files(), Scratch() + "\\"));
    EXPECT_FALSE(DirectoryPresent(services().files(), At("FILE.TXT")));
    EXPECT_FALSE(DirectoryPresent(services().files(), At("MISSING")));
    EXPECT_FALSE(DirectoryPresent(services().files(), ""));
}

TEST_F(FileCommandsTest, IniValueGoesToTheSectionBeforeTheFirstDot) {
    WriteIniValue(context(), At("APP.INI"), "Options.Last.Used", "1");
    WriteIniValue(context(), At("APP.INI"), "NoSection", "2");
    WriteIniValue(context(), At("APP.INI"), ".Dotted", "3");
    WriteIniValue(context(), At("APP.INI"), "options.LAST.USED", "4");
    // Without a section the key goes to "[]" on Windows, before the first
    // section under Wine.
    EXPECT_EQ(ReadFile(At("APP.INI")),
              IsWine() ? "NoSection=2\r\nDotted=3\r\n[Options]\r\nLast.Used=4\r\n"
                       : "[Options]\r\nLast.Used=4\r\n[]\r\nNoSection=2\r\nDotted=3\r\n");
    EXPECT_EQ(Errors(), Lines{});
}

TEST_F(FileCommandsTest, FailedIniWriteNamesTheWholeCommand) {
    MakeDir(At("DIR.INI"));
    WriteIniValue(context(), At("NODIR\\APP.INI"), "Sec.Key", "v 1");
    WriteIniValue(context(), At("DIR.INI"), "Sec.Key", "2");
    WriteIniValue(context(), "", "Sec.Key", "3");
    EXPECT_EQ(Errors(), (Lines{
                            "Error loading " + At("NODIR\\APP.INI") + " to change Sec.Key to v 1",
                            "Error loading " + At("DIR.INI") + " to change Sec.Key to 2",
                            "Error loading  to change Sec.Key to 3",
                        }));
}

}  // namespace
