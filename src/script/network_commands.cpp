#include "script/network_commands.h"

#include "platform/errors.h"
#include "platform/network.h"
#include "script/messages.h"

namespace script {

void CancelConnection(logon::LogonContext& context, const std::string& localName) {
    const auto code = context.services.network().CancelConnection(
        localName, platform::kConnectUpdateProfile, /*force=*/true);
    switch (code.code()) {
        case platform::kErrorSuccess:
        case platform::kErrorNotConnected:  // the device had no connection
            return;
        case platform::kErrorCannotOpenProfile:
        case platform::kErrorBadProfile:
            context.AddError(CancelProfileErrorMessage(localName));
            return;
        default:
            context.AddError(CancelUnknownErrorMessage(localName));
            return;
    }
}

void ConnectResource(logon::LogonContext& context, uint32_t resourceType,
                     const std::string& localName, const std::string& remoteName) {
    CancelConnection(context, localName);

    platform::NetResource resource;
    resource.type = resourceType;
    resource.localName = localName;
    resource.remoteName = remoteName;
    const platform::Win32Error code =
        context.services.network().AddConnection(resource, platform::kConnectUpdateProfile);
    if (code == platform::kErrorSuccess || code == platform::kErrorAlreadyAssigned) {
        return;
    }
    context.AddError(ConnectFailedMessage(code.code(), localName, remoteName));
}

}  // namespace script
