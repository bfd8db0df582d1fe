#include "script/network_commands.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/error_list.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/network.h"
#include "support/test_platform.h"

namespace {

using namespace platform;

using testsupport::Errors;

using NetworkCommandsTest = testsupport::PlatformTest;

// Records every call and answers with the codes it is given.
class RecordingNetwork : public Network {
  public:
    uint32_t GetUser(const std::string&, uint32_t, std::string*) override { return 0; }
    uint32_t CancelConnection(const std::string& name, uint32_t flags, bool force) override {
        calls.push_back("cancel " + name + " flags=" + std::to_string(flags) +
                        (force ? " forced" : " unforced"));
        return cancelResult;
    }
    uint32_t AddConnection(const NetResource& r, uint32_t flags) override {
        calls.push_back("add " + r.localName + "=" + r.remoteName +
                        " type=" + std::to_string(r.type) + " flags=" + std::to_string(flags));
        added.push_back(r);
        return addResult;
    }
    uint32_t cancelResult = kErrorNotConnected;
    uint32_t addResult = kErrorSuccess;
    std::vector<std::string> calls;
    std::vector<NetResource> added;
};

class NetworkCommandsFakeTest : public NetworkCommandsTest {
  protected:
    void SetUp() override {
        NetworkCommandsTest::SetUp();
        Services services = testPlatform().services();
        services = services.With(fake);
        Install(services);
    }
    RecordingNetwork fake;
};

TEST_F(NetworkCommandsFakeTest, CancelsForcedFromTheProfileThenConnects) {
    script::ConnectResource(kResourceTypeDisk, "F:", "\\\\SRV\\HOME");
    script::ConnectResource(kResourceTypePrint, "LPT1", "\\\\SRV\\LASER");
    script::ConnectResource(kResourceTypeDisk, "", "");
    EXPECT_EQ(fake.calls, (std::vector<std::string>{
                              "cancel F: flags=1 forced",
                              "add F:=\\\\SRV\\HOME type=1 flags=1",
                              "cancel LPT1 flags=1 forced",
                              "add LPT1=\\\\SRV\\LASER type=2 flags=1",
                              "cancel  flags=1 forced",
                              "add = type=1 flags=1",
                          }));
    ASSERT_EQ(fake.added.size(), 3u);
    for (const NetResource& r : fake.added) {
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
        core::ErrorList.reset();
        fake.cancelResult = c.code;
        script::CancelConnection("F:");
        EXPECT_EQ(Errors(), c.errors) << c.code;
    }
    // Cancelling alone never connects.
    EXPECT_TRUE(fake.added.empty());
}

TEST_F(NetworkCommandsFakeTest, ConnectFailuresByCode) {
    fake.addResult = kErrorAlreadyAssigned;
    script::ConnectResource(kResourceTypeDisk, "F:", "\\\\SRV\\HOME");
    EXPECT_EQ(Errors(), std::vector<std::string>{});

    fake.addResult = kErrorBadNetPath;
    script::ConnectResource(kResourceTypeDisk, "F:", "\\\\SRV\\HOME");
    fake.addResult = kErrorBadDevice;
    script::ConnectResource(kResourceTypePrint, "", " \\\\SRV\\LASER ");
    EXPECT_EQ(Errors(), (std::vector<std::string>{
                            "Error 53 on connecting F: to \\\\SRV\\HOME",
                            "Error 1200 on connecting  to  \\\\SRV\\LASER ",
                        }));
}

TEST_F(NetworkCommandsFakeTest, CancelMessageComesFirstAndTheConnectIsStillTried) {
    fake.cancelResult = kErrorBadProfile;
    fake.addResult = kErrorNoNetwork;
    script::ConnectResource(kResourceTypeDisk, "G:", "\\\\SRV\\APPS");
    EXPECT_EQ(fake.calls.size(), 2u);
    EXPECT_EQ(Errors(), (std::vector<std::string>{
                            "Profile error while deleting G:",
                            "Error 1222 on connecting G: to \\\\SRV\\APPS",
                        }));
}

// The platform's own answers: the stand-in has no server of this name;
// Wine has no network at all, for the cancel as for the connect.
TEST_F(NetworkCommandsTest, ConnectionToAnUnknownServer) {
    script::ConnectResource(kResourceTypeDisk, "Q:", "\\\\TARNWICK-NOSUCH\\SHARE");
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
    script::ConnectResource(kResourceTypeDisk, "F:", "\\\\SRV\\HOME");
    EXPECT_EQ(Errors(), std::vector<std::string>{});
    EXPECT_TRUE(Visible("F:\\home.txt"));
}

TEST_F(NetworkCommandsStandinTest, ConnectedDriveIsMovedToTheNewShare) {
    script::ConnectResource(kResourceTypeDisk, "F:", "\\\\SRV\\HOME");
    script::ConnectResource(kResourceTypeDisk, "F:", "\\\\SRV\\APPS");
    EXPECT_EQ(Errors(), std::vector<std::string>{});
    EXPECT_TRUE(Visible("F:\\apps.txt"));
    EXPECT_FALSE(Visible("F:\\home.txt"));
}

TEST_F(NetworkCommandsStandinTest, FailedConnectLeavesTheDeviceUnconnected) {
    script::ConnectResource(kResourceTypeDisk, "F:", "\\\\SRV\\HOME");
    script::ConnectResource(kResourceTypeDisk, "F:", "\\\\SRV\\NOSUCH");
    EXPECT_EQ(Errors(), std::vector<std::string>{"Error 67 on connecting F: to \\\\SRV\\NOSUCH"});
    EXPECT_FALSE(Visible("F:\\home.txt"));
    EXPECT_EQ(Current().network().CancelConnection("F:", kConnectUpdateProfile, true),
              kErrorNotConnected);
}

TEST_F(NetworkCommandsStandinTest, LocalDiskAndBadDevicesAndPrinters) {
    WriteFile("C:\\local.txt", "local");
    script::ConnectResource(kResourceTypeDisk, "C:", "\\\\SRV\\HOME");  // 85: silent
    EXPECT_TRUE(Visible("C:\\local.txt"));
    EXPECT_FALSE(Visible("C:\\home.txt"));
    script::ConnectResource(kResourceTypeDisk, "", "\\\\SRV\\HOME");  // deviceless: fine
    script::ConnectResource(kResourceTypeDisk, "F", "\\\\SRV\\HOME");
    script::ConnectResource(kResourceTypePrint, "LPT1", "\\\\SRV\\LASER");
    script::ConnectResource(kResourceTypePrint, "LPT1", "\\\\SRV\\LASER");  // replaced: silent
    EXPECT_EQ(Errors(), std::vector<std::string>{"Error 1200 on connecting F to \\\\SRV\\HOME"});
}

}  // namespace
