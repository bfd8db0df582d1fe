#include "platform/standin/profile.h"

#include "platform/errors.h"

namespace platform::standin {

uint32_t StandinProfile::WritePrivateProfileStringA(const std::string&, const std::string&,
                                                   const std::string&, const std::string&) {
    return kErrorAccessDenied;
}

}  // namespace platform::standin
