#pragma once
#include "platform/network.h"

namespace platform::win32 {

class Win32Network : public Network {
  public:
    uint32_t GetUser(const std::string& localName, uint32_t bufferSize, std::string* user) override;
    uint32_t CancelConnection(const std::string& name, uint32_t flags, bool force) override;
    uint32_t AddConnection(const NetResource& resource, uint32_t flags) override;
};

}  // namespace platform::win32
