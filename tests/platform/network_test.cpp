#include "platform/network.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "support/test_platform.h"

namespace {

using namespace platform;

class NetworkTest : public testsupport::PlatformTest {
  protected:
    Network& net() { return Current().network(); }
    // The codes of a failed connection call: the stand-in answers as Windows
    // does; Wine has no network provider and answers ERROR_NO_NETWORK.
    uint32_t OrNoNetwork(uint32_t windowsCode) {
        return IsStandin() ? windowsCode : kErrorNoNetwork;
    }
};

TEST_F(NetworkTest, UserOfTheLocalDiskIsTheLoggedOnUser) {
    std::string user;
    ASSERT_EQ(net().GetUser("C:", 100, &user), kErrorSuccess);
    EXPECT_FALSE(user.empty());
    EXPECT_LT(user.size(), 100u);

    // A buffer without room for the name's NUL: ERROR_MORE_DATA on Windows
    // and the stand-in; Wine 8 answers ERROR_INSUFFICIENT_BUFFER instead.
    std::string tooSmall = "untouched";
    EXPECT_EQ(net().GetUser("C:", static_cast<uint32_t>(user.size()), &tooSmall),
              IsStandin() ? kErrorMoreData : kErrorInsufficientBuffer);
    EXPECT_EQ(tooSmall, "untouched");
    EXPECT_EQ(net().GetUser("C:", static_cast<uint32_t>(user.size() + 1), &tooSmall),
              kErrorSuccess);
    EXPECT_EQ(tooSmall, user);
}

TEST_F(NetworkTest, CancelOfADeviceWithoutAConnection) {
    // Asking a device's connection changes nothing and finds none. A free
    // letter is no device at all to Wine, which answers ERROR_BAD_DEVICE.
    std::string remote = "untouched";
    EXPECT_EQ(net().GetConnection("Q:", &remote),
              IsStandin() ? kErrorNotConnected : kErrorBadDevice);
    EXPECT_EQ(net().GetConnection("C:", &remote), kErrorNotConnected);
    EXPECT_EQ(remote, "untouched");
    EXPECT_EQ(net().CancelConnection("Q:", kConnectUpdateProfile, true),
              OrNoNetwork(kErrorNotConnected));
    EXPECT_EQ(net().CancelConnection("LPT3", kConnectUpdateProfile, true),
              OrNoNetwork(kErrorNotConnected));
    EXPECT_EQ(net().CancelConnection("C:", kConnectUpdateProfile, true),
              OrNoNetwork(kErrorNotConnected));
}

TEST_F(NetworkTest, AddOfAMissingShareOrALocalDisk) {
    NetResource resource;
    resource.type = kResourceTypeDisk;
    resource.localName = "Q:";
    resource.remoteName = "\\\\TARNWICK-NOSUCH\\SHARE";
    EXPECT_EQ(net().AddConnection(resource, kConnectUpdateProfile), OrNoNetwork(kErrorBadNetPath));

    resource.localName = "C:";
    EXPECT_EQ(net().AddConnection(resource, kConnectUpdateProfile),
              OrNoNetwork(kErrorAlreadyAssigned));

    resource.type = kResourceTypePrint;
    resource.localName = "LPT3";
    EXPECT_EQ(net().AddConnection(resource, kConnectUpdateProfile), OrNoNetwork(kErrorBadNetPath));
}

}  // namespace
