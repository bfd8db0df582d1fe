#pragma once
#include "platform/registry.h"

namespace platform::win32 {

class Win32Registry : public Registry {
  public:
    uint32_t CreateKey(RegKey base, const std::string& subKey, RegKey* result) override;
    uint32_t OpenKey(RegKey base, const std::string& subKey, RegKey* result) override;
    uint32_t SetValue(RegKey key, const std::string& name, uint32_t type, const uint8_t* data,
                      uint32_t size) override;
    uint32_t QueryValue(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                        uint32_t* size) override;
    uint32_t DeleteValue(RegKey key, const std::string& name) override;
    uint32_t CloseKey(RegKey key) override;
    uint32_t LoadKey(const std::string& subKey, const std::string& file) override;
    uint32_t EnumKey(RegKey key, uint32_t index, std::string* name) override;
    uint32_t EnumValue(RegKey key, uint32_t index, std::string* name) override;
};

}  // namespace platform::win32
