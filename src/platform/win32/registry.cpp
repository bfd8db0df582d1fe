#include "platform/win32/registry.h"

#include <windows.h>

#include "platform/win32/handles.h"

namespace platform::win32 {

namespace {

// The predefined keys are sign-extended on 64-bit Windows
// (HKEY_CURRENT_USER is 0xFFFFFFFF80000001 there), so the portable values
// are mapped onto the real ones rather than cast.
HKEY ToHkey(RegKey key) {
    switch (key) {
        case kHkeyClassesRoot:
            return HKEY_CLASSES_ROOT;
        case kHkeyCurrentUser:
            return HKEY_CURRENT_USER;
        case kHkeyLocalMachine:
            return HKEY_LOCAL_MACHINE;
        case kHkeyUsers:
            return HKEY_USERS;
        default:
            return reinterpret_cast<HKEY>(key);
    }
}

// Hands an opened key over to the caller, who closes it with CloseKey.
uint32_t Deliver(LONG rc, UniqueHkey& key, RegKey* result) {
    if (rc == ERROR_SUCCESS) {
        *result = reinterpret_cast<RegKey>(key.release());
    }
    return static_cast<uint32_t>(rc);
}

}  // namespace

Win32Error Win32Registry::CreateKey(RegKey base, const std::string& subKey, RegKey* result) {
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    UniqueHkey key;
    const LONG rc =
        ::RegCreateKeyExA(ToHkey(base), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
    return Deliver(rc, key, result);
}

Win32Error Win32Registry::OpenKey(RegKey base, const std::string& subKey, RegKey* result) {
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    UniqueHkey key;
    const LONG rc = ::RegOpenKeyExA(ToHkey(base), subKey.c_str(), 0, KEY_ALL_ACCESS, key.put());
    return Deliver(rc, key, result);
}

Win32Error Win32Registry::SetValue(RegKey key, const std::string& name, uint32_t type,
                                   const uint8_t* data, uint32_t size) {
    return static_cast<uint32_t>(::RegSetValueExA(ToHkey(key), name.c_str(), 0, type, data, size));
}

Win32Error Win32Registry::QueryValue(RegKey key, const std::string& name, uint32_t* type,
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

Win32Error Win32Registry::DeleteValue(RegKey key, const std::string& name) {
    return static_cast<uint32_t>(::RegDeleteValueA(ToHkey(key), name.c_str()));
}

Win32Error Win32Registry::CloseKey(RegKey key) {
    return static_cast<uint32_t>(::RegCloseKey(ToHkey(key)));
}

Win32Error Win32Registry::LoadKey(const std::string& subKey, const std::string& file) {
    // No privilege is asked for: a process without the right to load hives
    // gets the refusal (1314).
    return static_cast<uint32_t>(::RegLoadKeyA(HKEY_USERS, subKey.c_str(), file.c_str()));
}

Win32Error Win32Registry::EnumKey(RegKey key, uint32_t index, std::string* name) {
    if (name == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    char buffer[256] = {};  // a key name has at most 255 characters
    DWORD length = sizeof buffer;
    const LONG rc =
        ::RegEnumKeyExA(ToHkey(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_SUCCESS) {
        name->assign(buffer, length);
    }
    return static_cast<uint32_t>(rc);
}

Win32Error Win32Registry::EnumValue(RegKey key, uint32_t index, std::string* name) {
    if (name == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    std::string buffer(16384, '\0');  // a value name has at most 16,383 characters
    DWORD length = static_cast<DWORD>(buffer.size());
    const LONG rc = ::RegEnumValueA(ToHkey(key), index, buffer.data(), &length, nullptr, nullptr,
                                    nullptr, nullptr);
    if (rc == ERROR_SUCCESS) {
        name->assign(buffer.data(), length);
    }
    return static_cast<uint32_t>(rc);
}

}  // namespace platform::win32
