// Network calls: the user of a device, and drive and printer connections.
#pragma once
#include <cstdint>
#include <string>

#include "platform/errors.h"

namespace platform {

inline constexpr uint32_t kResourceTypeDisk = 1;
inline constexpr uint32_t kResourceTypePrint = 2;
inline constexpr uint32_t kConnectUpdateProfile = 1;

// The NETRESOURCE record; comment and provider are always null.
struct NetResource {
    uint32_t scope = 0;
    uint32_t type = 0;
    uint32_t displayType = 0;
    uint32_t usage = 0;
    std::string localName;
    std::string remoteName;
};

class Network {
  public:
    virtual ~Network() = default;
    // WNetGetUserW(localName) with a buffer of `bufferSize` characters.
    virtual Win32Error GetUser(const std::string& localName, uint32_t bufferSize,
                               std::string* user) = 0;
    // WNetCancelConnection2W(name, flags, force).
    virtual Win32Error CancelConnection(const std::string& name, uint32_t flags, bool force) = 0;
    // WNetAddConnection2W(resource, no password, no user name, flags).
    virtual Win32Error AddConnection(const NetResource& resource, uint32_t flags) = 0;
    // WNetGetConnectionW(localName): the remote name a device is connected
    // to, or ERROR_NOT_CONNECTED for a device without a connection (a local
    // disk, a free letter). It changes nothing. A platform that cannot tell
    // answers ERROR_NOT_SUPPORTED.
    virtual Win32Error GetConnection(const std::string& localName, std::string* remoteName) {
        static_cast<void>(localName);
        static_cast<void>(remoteName);
        return kErrorNotSupported;
    }
};

}  // namespace platform
