// Profile-string (INI file) calls, in the operating system's terms.
#pragma once
#include <cstdint>
#include <string>

#include "platform/errors.h"

namespace platform {

class Profile {
  public:
    virtual ~Profile() = default;
    // WritePrivateProfileStringW(section, key, value, file): 0 on success,
    // otherwise the error code of the failed call.
    virtual Win32Error WritePrivateProfileStringW(const std::string& section,
                                                  const std::string& key, const std::string& value,
                                                  const std::string& file) = 0;
    // Where WritePrivateProfileStringW puts `file`: a name without any "\"
    // or "/" lies in the Windows directory, which every installation has;
    // any other name as it stands.
    virtual std::string PlaceOfFile(const std::string& file) { return file; }
};

}  // namespace platform
