#include "script/network_commands.h"

namespace script {

void CancelConnection(const std::string&) {}
void ConnectResource(uint32_t, const std::string&, const std::string&) {}

}  // namespace script
