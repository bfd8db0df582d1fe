#include "script/network_commands.h"

#include "core/error_list.h"
#include "platform/errors.h"
#include "platform/network.h"
#include "platform/platform.h"
#include "script/messages.h"

namespace script {

void CancelConnection(const std::string& localName) {
    const auto code = platform::Current().network().CancelConnection(
        localName, platform::kConnectUpdateProfile, /*force=*/true);
    switch (code.code()) {
        case platform::kErrorSuccess:
        case platform::kErrorNotConnected:  // the device had no connection
            return;
        case platform::kErrorCannotOpenProfile:
        case platform::kErrorBadProfile:
            core::AddError(CancelProfileErrorMessage(localName));
            return;
        default:
            core::AddError(CancelUnknownErrorMessage(localName));
            return;
    }
}

void ConnectResource(uint32_t resourceType, const std::string& localName,
                     const std::string& remoteName) {
    CancelConnection(localName);

    platform::NetResource resource;
    resource.type = resourceType;
    resource.localName = localName;
    resource.remoteName = remoteName;
    const platform::Win32Error code =
        platform::Current().network().AddConnection(resource, platform::kConnectUpdateProfile);
    if (code == platform::kErrorSuccess || code == platform::kErrorAlreadyAssigned) {
        return;
    }
    core::AddError(ConnectFailedMessage(code.code(), localName, remoteName));
}

}  // namespace script
