#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/network.h"
#include "support/standin/scratch_standin.h"

namespace {

namespace fs = std::filesystem;
using namespace platform;
using namespace platform::standin;

class StandinNetworkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(root_ / "network" / "SRV" / "Home" / "Sub");
        std::ofstream(root_ / "network" / "SRV" / "Home" / "hello.txt") << "hello";
        fs::create_directories(root_ / "network" / "SRV" / "Apps");
        std::ofstream(root_ / "network" / "SRV" / "Laser");         // a printer share as a file
        fs::create_directories(root_ / "network" / "SRV" / "Ink");  // and as a directory
    }
    // A new process on the same workstation.
    void Restart() { scratch_.Restart(); }
    Network& net() { return scratch_.services().network(); }
    platform::Win32Error Add(uint32_t type, const std::string& local, const std::string& remote) {
        NetResource resource;
        resource.type = type;
        resource.localName = local;
        resource.remoteName = remote;
        return net().AddConnection(resource, kConnectUpdateProfile);
    }
    platform::Win32Error Drive(const std::string& local, const std::string& remote) {
        return Add(kResourceTypeDisk, local, remote);
    }
    platform::Win32Error Cancel(const std::string& name) {
        return net().CancelConnection(name, kConnectUpdateProfile, true);
    }
    std::string Read(const std::string& path) {
        std::string contents;
        const platform::Win32Error rc = scratch_.services().files().ReadWholeFile(path, &contents);
        return rc == 0 ? contents : "error " + std::to_string(rc.code());
    }

    testsupport::ScratchStandin scratch_{"network"};
    const fs::path& root_ = scratch_.dir();
};

TEST_F(StandinNetworkTest, ConnectedDriveResolvesIntoItsShareAndSurvivesTheProcess) {
    EXPECT_EQ(Read("F:\\hello.txt"), "error 3");  // no drive F yet
    ASSERT_EQ(Drive("f:", "\\\\srv\\HOME"), kErrorSuccess);
    EXPECT_EQ(Read("F:\\HELLO.TXT"), "hello");
    std::string user;
    EXPECT_EQ(net().GetUser("F:", 100, &user), kErrorSuccess);

    Restart();
    EXPECT_EQ(Read("f:\\hello.txt"), "hello");
    EXPECT_EQ(Drive("F:", "\\\\SRV\\Apps"), kErrorAlreadyAssigned);
    EXPECT_EQ(Cancel("F:"), kErrorSuccess);
    EXPECT_EQ(Read("F:\\hello.txt"), "error 3");
    EXPECT_EQ(Cancel("F:"), kErrorNotConnected);

    Restart();
    EXPECT_EQ(Cancel("F:"), kErrorNotConnected);
    EXPECT_EQ(net().GetUser("F:", 100, &user), kErrorNotConnected);
}

TEST_F(StandinNetworkTest, DriveMayBeConnectedToAFolderInsideAShare) {
    std::ofstream(root_ / "network" / "SRV" / "Home" / "Sub" / "deep.txt") << "deep";
    EXPECT_EQ(Drive("G:", "\\\\SRV\\Home\\sub"), kErrorSuccess);
    EXPECT_EQ(Read("G:\\deep.txt"), "deep");
    EXPECT_EQ(Drive("H:", "\\\\SRV\\Home\\Missing"), kErrorBadNetName);
    EXPECT_EQ(Drive("H:", "\\\\SRV\\Home\\hello.txt"), kErrorBadNetName);
}

TEST_F(StandinNetworkTest, TakenDevicesAreAlreadyAssigned) {
    EXPECT_EQ(Drive("C:", "\\\\SRV\\Home"), kErrorAlreadyAssigned);  // a local disk
    fs::create_directories(root_ / "drives" / "d");
    EXPECT_EQ(Drive("d:", "\\\\SRV\\Home"), kErrorAlreadyAssigned);
    ASSERT_EQ(Drive("F:", "\\\\SRV\\Home"), kErrorSuccess);
    EXPECT_EQ(Drive("f:", "\\\\SRV\\Home"), kErrorAlreadyAssigned);  // even to the same share
    ASSERT_EQ(Add(kResourceTypePrint, "LPT1", "\\\\SRV\\Laser"), kErrorSuccess);
    EXPECT_EQ(Add(kResourceTypePrint, "lpt1", "\\\\SRV\\Ink"), kErrorAlreadyAssigned);
    EXPECT_EQ(Cancel("C:"), kErrorNotConnected);  // a local disk has no connection
}

TEST_F(StandinNetworkTest, RemoteNamesThatNameNoShare) {
    EXPECT_EQ(Drive("F:", "\\\\NOSUCH\\Home"), kErrorBadNetPath);
    EXPECT_EQ(Drive("F:", "\\\\SRV\\NoSuch"), kErrorBadNetName);
    for (const char* malformed :
         {"", "SRV\\Home", "C:\\", "\\\\SRV", "\\\\SRV\\", "\\\\SRV\\\\Home", "\\\\SRV\\Home\\",
          "\\\\SRV\\..\\SRV\\Home", "\\\\SRV\\Home/../Apps", "\\\\\\SRV\\Home"}) {
        EXPECT_EQ(Drive("F:", malformed), kErrorBadNetName) << malformed;
    }
    EXPECT_EQ(Cancel("F:"), kErrorNotConnected);  // nothing was connected on the way
}

TEST_F(StandinNetworkTest, LocalNamesThatAreNoDeviceOrTheWrongKind) {
    for (const char* bad : {"F", "FF:", "F:\\", "1:", " F:", "LPT0", "LPT10", "COM", "PRN1"}) {
        EXPECT_EQ(Drive(bad, "\\\\SRV\\Home"), kErrorBadDevice) << bad;
        EXPECT_EQ(Add(kResourceTypePrint, bad, "\\\\SRV\\Laser"), kErrorBadDevice) << bad;
    }
    EXPECT_EQ(Drive("LPT1", "\\\\SRV\\Home"), kErrorBadDevType);
    EXPECT_EQ(Add(kResourceTypePrint, "F:", "\\\\SRV\\Laser"), kErrorBadDevType);
    EXPECT_EQ(Drive("F:", "\\\\SRV\\Laser"), kErrorBadDevType);  // a printer share is no folder
    EXPECT_EQ(Add(7, "F:", "\\\\SRV\\Home"), kErrorInvalidParameter);
}

TEST_F(StandinNetworkTest, PrinterPortsConnectToPrinterShares) {
    EXPECT_EQ(Add(kResourceTypePrint, "LPT2", "\\\\SRV\\Laser"), kErrorSuccess);
    EXPECT_EQ(Add(kResourceTypePrint, "com3", "\\\\srv\\ink"), kErrorSuccess);
    EXPECT_EQ(Add(kResourceTypePrint, "PRN", "\\\\SRV\\Laser"), kErrorSuccess);
    EXPECT_EQ(Add(kResourceTypePrint, "LPT3", "\\\\SRV\\Ink\\Tray"), kErrorBadNetName);
    Restart();
    EXPECT_EQ(Cancel("lpt2"), kErrorSuccess);
    EXPECT_EQ(Cancel("COM3"), kErrorSuccess);
    EXPECT_EQ(Cancel("LPT2"), kErrorNotConnected);
}

// An empty local name asks for a deviceless connection: it succeeds when
// the share exists and is never remembered in the profile.
TEST_F(StandinNetworkTest, DevicelessConnectionsLastForTheProcessOnly) {
    EXPECT_EQ(Cancel(""), kErrorNotConnected);
    EXPECT_EQ(Drive("", "\\\\SRV\\NoSuch"), kErrorBadNetName);
    ASSERT_EQ(Drive("", "\\\\SRV\\Home"), kErrorSuccess);
    ASSERT_EQ(Drive("F:", "\\\\SRV\\Home"), kErrorSuccess);
    EXPECT_EQ(Cancel(""), kErrorNotConnected);
    // A remote name cancels the deviceless connection only; drive F stays.
    EXPECT_EQ(Cancel("\\\\srv\\home"), kErrorSuccess);
    EXPECT_EQ(Cancel("\\\\SRV\\Home"), kErrorNotConnected);
    EXPECT_EQ(Read("F:\\hello.txt"), "hello");

    ASSERT_EQ(Drive("", "\\\\SRV\\Apps"), kErrorSuccess);
    Restart();
    EXPECT_EQ(Cancel("\\\\SRV\\Apps"), kErrorNotConnected);
}

// Each user's connections are his own: after bob's logon connects S:,
// alice on the same workstation has no S:, and bob finds his again.
TEST_F(StandinNetworkTest, EachUserHasHisOwnConnections) {
    const struct {
        const char* user;
        const char* connect;  // S: to this share first, unless empty
        const char* seen;     // what S: then is to him
    } steps[] = {
        {"bob", "\\\\SRV\\Apps", "\\\\SRV\\Apps"},
        {"alice", "", "not connected"},
        {"alice", "\\\\SRV\\Home", "\\\\SRV\\Home"},
        {"BOB", "", "\\\\SRV\\Apps"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.user);
        scratch_.Write("identity.ini", std::string("User=") + step.user + "\n");
        Restart();
        if (*step.connect != '\0') {
            ASSERT_EQ(Drive("S:", step.connect), kErrorSuccess);
        }
        std::string remote;
        const platform::Win32Error rc = net().GetConnection("S:", &remote);
        EXPECT_EQ(rc == kErrorSuccess ? remote : "not connected", step.seen);
    }
    // The drive leads into the share of the user logged on at the call.
    EXPECT_EQ(Read("S:\\hello.txt"), "error 2");
    scratch_.Write("identity.ini", "User=alice\n");
    EXPECT_EQ(Read("S:\\hello.txt"), "hello");
}

// The user's store that cannot be written: ERROR_CANNOT_OPEN_PROFILE, and
// the connections stay as they were.
TEST_F(StandinNetworkTest, UnwritableProfileKeepsTheConnections) {
    ASSERT_EQ(Drive("F:", "\\\\SRV\\Home"), kErrorSuccess);
    const fs::path stores = root_ / "registry" / "HKEY_CURRENT_USER";
    fs::rename(stores, root_ / "aside");
    std::ofstream(stores) << "not a folder";
    EXPECT_EQ(Drive("G:", "\\\\SRV\\Home"), kErrorCannotOpenProfile);
    fs::remove(stores);
    fs::rename(root_ / "aside", stores);
    EXPECT_EQ(Read("F:\\hello.txt"), "hello");
    EXPECT_EQ(Read("G:\\hello.txt"), "error 3");
}

// Folders and files made at the level of a server make no share, so a drive
// cannot be connected to one afterwards; inside a printer share, which is
// no folder, nothing is made either.
TEST_F(StandinNetworkTest, FileCallsMakeNoShares) {
    Files& files = scratch_.services().files();
    std::ofstream(scratch_.Drive() / "src.txt") << "x";
    EXPECT_EQ(files.CreateDirectoryW("\\\\SRV\\NoShare"), kErrorBadNetName);
    EXPECT_EQ(files.CreateDirectoryW("\\\\srv\\NoShare\\x"), kErrorBadNetName);
    EXPECT_EQ(files.CopyFileW("C:\\src.txt", "\\\\SRV\\New", false), kErrorBadNetName);
    EXPECT_EQ(files.CreateDirectoryW("\\\\SRV\\Laser\\x"), kErrorPathNotFound);
    EXPECT_EQ(files.CreateDirectoryW("\\\\SRV\\home\\Made"), kErrorSuccess);
    EXPECT_TRUE(fs::is_directory(root_ / "network" / "SRV" / "Home" / "Made"));
    EXPECT_EQ(Drive("X:", "\\\\SRV\\NoShare"), kErrorBadNetName);
    EXPECT_EQ(Drive("X:", "\\\\SRV\\New"), kErrorBadNetName);
    int shares = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(root_ / "network" / "SRV")) {
        ++shares;
    }
    EXPECT_EQ(shares, 4);
}

}  // namespace
