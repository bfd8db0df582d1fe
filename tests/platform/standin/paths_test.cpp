#include "platform/standin/paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "platform/network.h"
#include "support/standin/scratch_standin.h"

namespace {

namespace fs = std::filesystem;

class StandinPathsTest : public ::testing::Test {
  protected:
    std::optional<fs::path> Resolve(const std::string& path) {
        return scratch_.platform().context().paths.Resolve(path);
    }
    fs::path Drive(char letter) { return scratch_.Drive(letter); }

    testsupport::ScratchStandin scratch_{"paths"};
    const fs::path& root_ = scratch_.dir();
};

TEST_F(StandinPathsTest, DrivePathsLieUnderTheirDriveAndMissingDrivesResolveToNothing) {
    EXPECT_EQ(Resolve("C:\\"), Drive('c'));
    EXPECT_EQ(Resolve("c:\\Windows\\System"), Drive('c') / "Windows" / "System");
    EXPECT_EQ(Resolve("C:"), Drive('c'));
    EXPECT_EQ(Resolve("C:name.txt"), Drive('c') / "name.txt");
    EXPECT_EQ(Resolve("C:/a/b"), Drive('c') / "a" / "b");
    EXPECT_EQ(Resolve("Q:\\x"), std::nullopt);
    fs::create_directories(Drive('q'));
    EXPECT_EQ(Resolve("Q:\\x"), Drive('q') / "x");
    EXPECT_EQ(Resolve(""), std::nullopt);
    EXPECT_EQ(Resolve("1:\\x").value_or(""), fs::current_path() / "1:" / "x");
}

TEST_F(StandinPathsTest, ExistingNamesAreFoundIgnoringCaseNewNamesKeepTheirCase) {
    fs::create_directories(Drive('c') / "Program Files" / "App");
    std::ofstream(Drive('c') / "Program Files" / "App" / "Setup.INI") << "x";
    EXPECT_EQ(Resolve("C:\\PROGRAM FILES\\app\\setup.ini"),
              Drive('c') / "Program Files" / "App" / "Setup.INI");
    EXPECT_EQ(Resolve("C:\\program files\\New\\File.Txt"),
              Drive('c') / "Program Files" / "New" / "File.Txt");
    // Letters beyond ASCII compare as Windows compares names.
    fs::create_directories(Drive('c') / "Caf\xc3\x89" / "\xc5\x81ukasz");
    EXPECT_EQ(Resolve("C:\\caf\xc3\xa9\\\xc5\x82UKASZ"),
              Drive('c') / "Caf\xc3\x89" / "\xc5\x81ukasz");
}

TEST_F(StandinPathsTest, DotsNeverClimbAboveADriveOrAShare) {
    EXPECT_EQ(Resolve("C:\\a\\.\\b\\..\\c"), Drive('c') / "a" / "c");
    EXPECT_EQ(Resolve("C:\\..\\..\\etc\\passwd"), Drive('c') / "etc" / "passwd");
    EXPECT_EQ(Resolve("\\\\SRV\\SHARE\\..\\..\\OTHER\\x"),
              root_ / "network" / "SRV" / "SHARE" / "OTHER" / "x");
}

TEST_F(StandinPathsTest, UncNamesLieUnderTheNetworkAndNeedServerAndShare) {
    fs::create_directories(root_ / "network" / "Srv" / "Home");
    EXPECT_EQ(Resolve("\\\\SRV\\HOME\\user\\x.txt"),
              root_ / "network" / "Srv" / "Home" / "user" / "x.txt");
    EXPECT_EQ(Resolve("\\\\srv\\home"), root_ / "network" / "Srv" / "Home");
    EXPECT_EQ(Resolve("\\\\SRV"), std::nullopt);
    EXPECT_EQ(Resolve("\\\\SRV\\"), std::nullopt);
    EXPECT_EQ(Resolve("\\\\"), std::nullopt);
    EXPECT_EQ(Resolve("\\\\..\\SHARE\\x"), std::nullopt);
}

TEST_F(StandinPathsTest, ConnectedDriveLiesInItsShare) {
    fs::create_directories(root_ / "network" / "SRV" / "Home" / "Docs");
    platform::NetResource drive;
    drive.type = platform::kResourceTypeDisk;
    drive.localName = "H:";
    drive.remoteName = "\\\\srv\\home";
    ASSERT_EQ(scratch_.services().network().AddConnection(drive, platform::kConnectUpdateProfile),
              0u);
    EXPECT_EQ(Resolve("h:\\docs\\a.txt"), root_ / "network" / "SRV" / "Home" / "Docs" / "a.txt");
    EXPECT_EQ(Resolve("H:\\..\\..\\x"), root_ / "network" / "SRV" / "Home" / "x");
}

TEST_F(StandinPathsTest, HostRootedAndRelativePaths) {
    EXPECT_EQ(Resolve("/tmp/x"), fs::path("/tmp/x"));
    EXPECT_EQ(Resolve("\\TEMP\\x.txt"), Drive('c') / "TEMP" / "x.txt");
    EXPECT_EQ(Resolve("sub\\x.txt"), fs::current_path() / "sub" / "x.txt");
    EXPECT_EQ(Resolve(".\\x.txt"), fs::current_path() / "x.txt");
    EXPECT_EQ(Resolve("..\\x.txt"), fs::current_path().parent_path() / "x.txt");
}

}  // namespace
