// Registry calls, in the operating system's terms. Results are Win32 error
// codes; nothing here throws.
#pragma once
#include <cstdint>
#include <string>

#include "platform/errors.h"

namespace platform {

// An open key, or one of the predefined root keys (same values as Windows).
using RegKey = std::uintptr_t;
inline constexpr RegKey kHkeyClassesRoot = 0x80000000u;
inline constexpr RegKey kHkeyCurrentUser = 0x80000001u;
inline constexpr RegKey kHkeyLocalMachine = 0x80000002u;
inline constexpr RegKey kHkeyUsers = 0x80000003u;

inline constexpr uint32_t kRegNone = 0;
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kRegMultiSz = 7;

inline constexpr uint32_t kKeyAllAccess = 0xF003F;

class Registry {
  public:
    virtual ~Registry() = default;
    // RegCreateKeyExW(base, subKey, 0, no class, REG_OPTION_NON_VOLATILE,
    // KEY_ALL_ACCESS, no security): opens or creates every key on the way.
    virtual Win32Error CreateKey(RegKey base, const std::string& subKey, RegKey* result) = 0;
    // RegOpenKeyExW(base, subKey, 0, KEY_ALL_ACCESS).
    virtual Win32Error OpenKey(RegKey base, const std::string& subKey, RegKey* result) = 0;
    // RegSetValueExW(key, name, 0, type, data, size).
    virtual Win32Error SetValue(RegKey key, const std::string& name, uint32_t type,
                                const uint8_t* data, uint32_t size) = 0;
    // RegQueryValueExW(key, name, 0, type, data, size). `data` may be null to
    // ask for type and size only; `*size` is the buffer size on entry and the
    // stored size on return. A buffer that is too small gives ERROR_MORE_DATA.
    virtual Win32Error QueryValue(RegKey key, const std::string& name, uint32_t* type,
                                  uint8_t* data, uint32_t* size) = 0;
    // RegDeleteValueW(key, name).
    virtual Win32Error DeleteValue(RegKey key, const std::string& name) = 0;
    // RegCloseKey(key).
    virtual Win32Error CloseKey(RegKey key) = 0;
    // RegLoadKeyW(HKEY_USERS, subKey, file).
    virtual Win32Error LoadKey(const std::string& subKey, const std::string& file) = 0;
    // What LoadKey(subKey, file) would answer now, told without loading
    // anything: 0, the code it would fail with, or ERROR_NOT_SUPPORTED
    // where the platform cannot tell without loading.
    virtual Win32Error CanLoadKey(const std::string& subKey, const std::string& file) {
        static_cast<void>(subKey);
        static_cast<void>(file);
        return kErrorNotSupported;
    }
    // RegEnumKeyExW(key, index, name): the name of the index-th sub-key, or
    // ERROR_NO_MORE_ITEMS past the last one.
    virtual Win32Error EnumKey(RegKey key, uint32_t index, std::string* name) = 0;
    // RegEnumValueW(key, index, name): the name of the index-th value, as
    // EnumKey. The run lists the run record's values to clear it.
    virtual Win32Error EnumValue(RegKey key, uint32_t index, std::string* name) = 0;
};

}  // namespace platform
