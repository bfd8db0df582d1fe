#pragma once
#include "platform/network.h"

namespace platform::win32 {

class Win32Network : public Network {
  public:
    Win32Error GetUser(const std::string& localName, uint32_t bufferSize,
                       std::string* user) override;
    Win32Error CancelConnection(const std::string& name, uint32_t flags, bool force) override;
    Win32Error AddConnection(const NetResource& resource, uint32_t flags) override;
    Win32Error GetConnection(const std::string& localName, std::string* remoteName) override;
};

}  // namespace platform::win32
