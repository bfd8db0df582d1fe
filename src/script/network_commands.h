// The network commands D and P: cancel the device's old connection, then
// connect it, both recorded in the user's profile.
#pragma once
#include <cstdint>
#include <string>

namespace script {

void CancelConnection(const std::string& localName);
void ConnectResource(uint32_t resourceType, const std::string& localName,
                     const std::string& remoteName);

}  // namespace script
