#pragma once
#include "platform/profile.h"

namespace platform::win32 {

class Win32Profile : public Profile {
  public:
    Win32Error WritePrivateProfileStringW(const std::string& section, const std::string& key,
                                          const std::string& value,
                                          const std::string& file) override;
    std::string PlaceOfFile(const std::string& file) override;
};

}  // namespace platform::win32
