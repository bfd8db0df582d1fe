// Who is logged on where, for the stand-in workstation: the machine's own
// login and host names, unless <state>/identity.ini names others:
//   User=jsmith          the network user name
//   Machine=WS01         the computer name
//   UserError=1222       make the user name query fail with this code
//   MachineError=5       make the computer name query fail with this code
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>

namespace platform::standin {

struct Identity {
    std::string user;
    std::string machine;
    uint32_t userError = 0;
    uint32_t machineError = 0;
};

Identity ReadIdentity(const std::filesystem::path& stateDir);

}  // namespace platform::standin
