#include "support/overrides.h"

namespace testsupport {

uint32_t SystemOverride::GetComputerNameA(uint32_t bufferSize, std::string* name) {
    if (computerNameError != 0) {
        return computerNameError;
    }
    if (computerName) {
        *name = *computerName;
        return 0;
    }
    return real_.GetComputerNameA(bufferSize, name);
}

uint32_t NetworkOverride::GetUser(const std::string& localName, uint32_t bufferSize,
                                  std::string* result) {
    if (userError != 0) {
        return userError;
    }
    if (user) {
        *result = *user;
        return 0;
    }
    return real_.GetUser(localName, bufferSize, result);
}

}  // namespace testsupport
