#include "script/network_commands.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/network.h"
#include "support/test_platform.h"

namespace {

using namespace platform;

using NetworkCommandsTest = testsupport::PlatformTest;

// The network records every call and answers with the codes it is given.
class NetworkCommandsFakeTest : public testsupport::FakeServicesTest {
  protected:
    void SetUp() override {
        FakeServicesTest::SetUp();
        network().cancelResult = kErrorNotConnected;
        network().addResult = kErrorSuccess;
    }
};

TEST_F(NetworkCommandsFakeTest, CancelsForcedFromTheProfileThenConnects) {
    script::ConnectResource(context(), kResourceTypeDisk, "F:", "\\\\SRV\\HOME");
    script::ConnectResource(context(), kResourceTypePrint, "LPT1", "\\\\SRV\\LASER");
    script::ConnectResource(context(), kResourceTypeDisk, "", "");
    EXPECT_EQ(network().calls, (std::vector<std::string>{
                                   "cancel F: flags=1 forced",
                                   "add F:=\\\\SRV\\HOME type=1 flags=1",
                                   "cancel LPT1 flags=1 forced",
                                   "add LPT1=\\\\SRV\\LASER type=2 flags=1",
                                   "cancel  flags=1 forced",
                                   "add = type=1 flags=1",
                               }));
    ASSERT_EQ(network().added.size(), 3u);
    for (const NetResource& r : network().added) {
        EXPECT_EQ(r.scope, 0u);
        EXPECT_EQ(r.displayType, 0u);
        EXPECT_EQ(r.usage, 0u);
    }
    EXPECT_EQ(Errors(), std::vector<std::string>{});
}

TEST_F(NetworkCommandsFakeTest, CancelFailuresByCode) {
    const struct {
        uint32_t code;
        std::vector<std::string> errors;
    } cases[] = {
        {kErrorSuccess, {}},
        {kErrorNotConnected, {}},
        {kErrorCannotOpenProfile, {"Profile error while deleting F:"}},
        {kErrorBadProfile, {"Profile error while deleting F:"}},
        {kErrorNoNetwork, {"Unknown error deleting F:"}},
        {kErrorAccessDenied, {"Unknown error deleting F:"}},
    };
    for (const auto& c : cases) {
        context().ErrorList.reset();
        network().cancelResult = c.code;
        script::CancelConnection(context(), "F:");
        EXPECT_EQ(Errors(), c.errors) << c.code;
    }
    // Cancelling alone never connects.
    EXPECT_TRUE(network().added.empty());
}

TEST_F(NetworkCommandsFakeTest, ConnectFailuresByCode) {
    network().addResult = kErrorAlreadyAssigned;
    script::ConnectResource(context(), kResourceTypeDisk, "F:", "\\\\SRV\\HOME");
    EXPECT_EQ(Errors(), std::vector<std::string>{});

    network().addResult = kErrorBadNetPath;
    script::ConnectResource(context(), kResourceTypeDisk, "F:", "\\\\SRV\\HOME");
    network().addResult = kErrorBadDevice;
    script::ConnectResource(context(), kResourceTypePrint, "", " \\\\SRV\\LASER ");
    EXPECT_EQ(Errors(), (std::vector<std::string>{
                            "Error 53 on connecting F: to \\\\SRV\\HOME",
                            "Error 1200 on connecting  to  \\\\SRV\\LASER ",
                        }));
}

TEST_F(NetworkCommandsFakeTest, CancelMessageComesFirstAndTheConnectIsStillTried) {
    network().cancelResult = kErrorBadProfile;
    network().addResult = kErrorNoNetwork;
    script::ConnectResource(context(), kResourceTypeDisk, "G:", "\\\\SRV\\APPS");
    EXPECT_EQ(network().calls.size(), 2u);
    EXPECT_EQ(Errors(), (std::vector<std::string>{
                            "Profile error while deleting G:",
                            "Error 1222 on connecting G: to \\\\SRV\\APPS",
                        }));
}

// The platform's own answers: the stand-in has no server of this name;
// Wine has no network at all, for the cancel as for the connect.
TEST_F(NetworkCommandsTest, ConnectionToAnUnknownServer) {
    script::ConnectResource(context(), kResourceTypeDisk, "Q:", "\\\\TARNWICK-NOSUCH\\SHARE");
    if (IsStandin()) {
        EXPECT_EQ(Errors(), std::vector<std::string>{
                                "Error 53 on connecting Q: to \\\\TARNWICK-NOSUCH\\SHARE"});
    } else {
        EXPECT_EQ(Errors(), (std::vector<std::string>{
                                "Unknown error deleting Q:",
                                "Error 1222 on connecting Q: to \\\\TARNWICK-NOSUCH\\SHARE",
                            }));
    }
}

// Whole D and P lines on the stand-in workstation, its shares laid out in
// the state directory.
class NetworkCommandsStandinTest : public NetworkCommandsTest {
  protected:
    void SetUp() override {
        NetworkCommandsTest::SetUp();
        if (!IsStandin()) {
            GTEST_SKIP() << "needs shares on the stand-in workstation";
        }
        WriteFile("\\\\SRV\\HOME\\home.txt", "home");
        WriteFile("\\\\SRV\\APPS\\apps.txt", "apps");
        WriteFile("\\\\SRV\\LASER", "");
    }
    bool Visible(const std::string& path) {
        bool isDirectory = false;
        return Current().files().FindFirst(path, &isDirectory) == 0;
    }
};

TEST_F(NetworkCommandsStandinTest, DriveWithoutAConnectionIsConnectedSilently) {
    script::ConnectResource(context(), kResourceTypeDisk, "F:", "\\\\SRV\\HOME");
    EXPECT_EQ(Errors(), std::vector<std::string>{});
    EXPECT_TRUE(Visible("F:\\home.txt"));
}

TEST_F(NetworkCommandsStandinTest, ConnectedDriveIsMovedToTheNewShare) {
    script::ConnectResource(context(), kResourceTypeDisk, "F:", "\\\\SRV\\HOME");
    script::ConnectResource(context(), kResourceTypeDisk, "F:", "\\\\SRV\\APPS");
    EXPECT_EQ(Errors(), std::vector<std::string>{});
    EXPECT_TRUE(Visible("F:\\apps.txt"));
    EXPECT_FALSE(Visible("F:\\home.txt"));
}

TEST_F(NetworkCommandsStandinTest, FailedConnectLeavesTheDeviceUnconnected) {
    script::ConnectResource(context(), kResourceTypeDisk, "F:", "\\\\SRV\\HOME");
    script::ConnectResource(context(), kResourceTypeDisk, "F:", "\\\\SRV\\NOSUCH");
    EXPECT_EQ(Errors(), std::vector<std::string>{"Error 67 on connecting F: to \\\\SRV\\NOSUCH"});
    EXPECT_FALSE(Visible("F:\\home.txt"));
    EXPECT_EQ(Current().network().CancelConnection("F:", kConnectUpdateProfile, true),
              kErrorNotConnected);
}

TEST_F(NetworkCommandsStandinTest, LocalDiskAndBadDevicesAndPrinters) {
    WriteFile("C:\\local.txt", "local");
    script::ConnectResource(context(), kResourceTypeDisk, "C:", "\\\\SRV\\HOME");  // 85: silent
    EXPECT_TRUE(Visible("C:\\local.txt"));
    EXPECT_FALSE(Visible("C:\\home.txt"));
    script::ConnectResource(context(), kResourceTypeDisk, "", "\\\\SRV\\HOME");  // deviceless: fine
    script::ConnectResource(context(), kResourceTypeDisk, "F", "\\\\SRV\\HOME");
    script::ConnectResource(context(), kResourceTypePrint, "LPT1", "\\\\SRV\\LASER");
    script::ConnectResource(context(), kResourceTypePrint, "LPT1",
                            "\\\\SRV\\LASER");  // replaced: silent
    EXPECT_EQ(Errors(), std::vector<std::string>{"Error 1200 on connecting F to \\\\SRV\\HOME"});
}

}  // namespace
