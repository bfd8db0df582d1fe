#pragma once
#include "platform/registry.h"

namespace platform::win32 {

class Win32Registry : public Registry {
  public:
    Win32Error CreateKey(RegKey base, const std::string& subKey, RegKey* result) override;
    Win32Error OpenKey(RegKey base, const std::string& subKey, RegKey* result) override;
    Win32Error SetValue(RegKey key, const std::string& name, uint32_t type, const uint8_t* data,
                        uint32_t size) override;
    Win32Error QueryValue(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                          uint32_t* size) override;
    Win32Error DeleteValue(RegKey key, const std::string& name) override;
    Win32Error CloseKey(RegKey key) override;
    Win32Error LoadKey(const std::string& subKey, const std::string& file) override;
    Win32Error EnumKey(RegKey key, uint32_t index, std::string* name) override;
    Win32Error EnumValue(RegKey key, uint32_t index, std::string* name) override;
};

}  // namespace platform::win32
