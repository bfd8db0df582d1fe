#include "platform/win32/registry.h"

#include <windows.h>

namespace platform::win32 {

namespace {
HKEY ToHkey(RegKey key) { return reinterpret_cast<HKEY>(key); }
}  // namespace

uint32_t Win32Registry::CreateKey(RegKey base, const std::string& subKey, RegKey* result) {
    HKEY key = nullptr;
    const LONG rc = ::RegCreateKeyExA(ToHkey(base), subKey.c_str(), 0, nullptr,
                                      REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                                      nullptr);
    if (rc == ERROR_SUCCESS) {
        *result = reinterpret_cast<RegKey>(key);
    }
    return static_cast<uint32_t>(rc);
}

uint32_t Win32Registry::OpenKey(RegKey base, const std::string& subKey, RegKey* result) {
    HKEY key = nullptr;
    const LONG rc = ::RegOpenKeyExA(ToHkey(base), subKey.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (rc == ERROR_SUCCESS) {
        *result = reinterpret_cast<RegKey>(key);
    }
    return static_cast<uint32_t>(rc);
}

uint32_t Win32Registry::SetValue(RegKey key, const std::string& name, uint32_t type,
                                 const uint8_t* data, uint32_t size) {
    return static_cast<uint32_t>(
        ::RegSetValueExA(ToHkey(key), name.c_str(), 0, type, data, size));
}

uint32_t Win32Registry::QueryValue(RegKey key, const std::string& name, uint32_t* type,
                                   uint8_t* data, uint32_t* size) {
    DWORD storedType = 0;
    DWORD storedSize = size != nullptr ? *size : 0;
    const LONG rc = ::RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &storedType, data,
                                       size != nullptr ? &storedSize : nullptr);
    if (type != nullptr) {
        *type = storedType;
    }
    if (size != nullptr) {
        *size = storedSize;
    }
    return static_cast<uint32_t>(rc);
}

uint32_t Win32Registry::DeleteValue(RegKey key, const std::string& name) {
    return static_cast<uint32_t>(::RegDeleteValueA(ToHkey(key), name.c_str()));
}

uint32_t Win32Registry::CloseKey(RegKey key) {
    return static_cast<uint32_t>(::RegCloseKey(ToHkey(key)));
}

uint32_t Win32Registry::LoadKey(const std::string& subKey, const std::string& file) {
    return static_cast<uint32_t>(::RegLoadKeyA(HKEY_USERS, subKey.c_str(), file.c_str()));
}

}  // namespace platform::win32
