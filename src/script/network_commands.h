// The network commands D and P: cancel the device's old connection, then
// connect it, both recorded in the user's profile. Failures become lines
// of ErrorList; nothing raises.
#pragma once
#include <cstdint>
#include <string>

#include "logon/context.h"

namespace script {

// Removes the connection of `localName`, forced and from the profile.
// Every failure but "not connected" is reported.
void CancelConnection(logon::LogonContext& context, const std::string& localName);
// Cancels the device's connection (not undone when the new one fails), then
// connects it to `remoteName` with the process's own credentials,
// remembered in the profile. Every failure but "already assigned" is
// reported, after any message of the cancel.
void ConnectResource(logon::LogonContext& context, uint32_t resourceType,
                     const std::string& localName, const std::string& remoteName);

}  // namespace script
