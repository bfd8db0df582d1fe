// The stand-in's network: a share is a directory under
// <state>/network/SERVER/SHARE (a printer share may also be a file there),
// and connections of local devices are remembered in the logged-on user's
// HKEY_CURRENT_USER store (Context::connections), so they survive the
// process and drive letters resolve into their shares. Deviceless connections are kept
// for this process only, as Windows never remembers them.
#pragma once
#include <set>
#include <string>

#include "platform/network.h"
#include "platform/standin/context.h"

namespace platform::standin {

class StandinNetwork : public Network {
  public:
    explicit StandinNetwork(Context& context) : context_(context) {}
    Win32Error GetUser(const std::string& localName, uint32_t bufferSize,
                       std::string* user) override;
    Win32Error CancelConnection(const std::string& name, uint32_t flags, bool force) override;
    Win32Error AddConnection(const NetResource& resource, uint32_t flags) override;
    Win32Error GetConnection(const std::string& localName, std::string* remoteName) override;

  private:
    // 0 when `remoteName` names a share that a connection of `type` can use.
    uint32_t CheckRemote(const std::string& remoteName, uint32_t type) const;
    bool LocalDriveExists(char letter) const;

    Context& context_;
    std::set<std::string> deviceless_;  // remote names, case-folded
};

}  // namespace platform::standin
