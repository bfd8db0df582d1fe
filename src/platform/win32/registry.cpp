#include "platform/win32/registry.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/names.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

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

// The A calls refuse a sub-key path or a name in it longer than they take
// (ERROR_MORE_DATA, platform/names.h), which the W calls would make; a
// leading backslash is refused by both alike.
uint32_t TooLong(const std::string& subKey) {
    if (!subKey.empty() && subKey.front() == '\\') {
        return ERROR_SUCCESS;
    }
    return SubKeyLengthError(subKey).code();
}

bool IsText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Text data as RegSetValueExW hands it on: every byte of it, NULs
// included, converted to UTF-16.
std::vector<BYTE> WideData(const uint8_t* data, uint32_t size) {
    const std::wstring wide =
        WideWhole(std::string(reinterpret_cast<const char*>(data), data == nullptr ? 0 : size));
    const auto* bytes = reinterpret_cast<const BYTE*>(wide.data());
    return std::vector<BYTE>(bytes, bytes + wide.size() * sizeof(wchar_t));
}

}  // namespace

Win32Error Win32Registry::CreateKey(RegKey base, const std::string& subKey, RegKey* result) {
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    if (const uint32_t rc = TooLong(subKey); rc != ERROR_SUCCESS) {
        return rc;
    }
    UniqueHkey key;
    const LONG rc =
        ::RegCreateKeyExW(ToHkey(base), Wide(subKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
    return Deliver(rc, key, result);
}

Win32Error Win32Registry::OpenKey(RegKey base, const std::string& subKey, RegKey* result) {
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    if (const uint32_t rc = TooLong(subKey); rc != ERROR_SUCCESS) {
        return rc;
    }
    UniqueHkey key;
    const LONG rc =
        ::RegOpenKeyExW(ToHkey(base), Wide(subKey).c_str(), 0, KEY_ALL_ACCESS, key.put());
    return Deliver(rc, key, result);
}

Win32Error Win32Registry::SetValue(RegKey key, const std::string& name, uint32_t type,
                                   const uint8_t* data, uint32_t size) {
    const std::wstring wideName = Wide(name);
    if (IsText(type)) {
        const std::vector<BYTE> wide = WideData(data, size);
        return static_cast<uint32_t>(::RegSetValueExW(
            ToHkey(key), wideName.c_str(), 0, type, wide.data(), static_cast<DWORD>(wide.size())));
    }
    return static_cast<uint32_t>(
        ::RegSetValueExW(ToHkey(key), wideName.c_str(), 0, type, data, size));
}

Win32Error Win32Registry::QueryValue(RegKey key, const std::string& name, uint32_t* type,
                                     uint8_t* data, uint32_t* size) {
    if (data != nullptr && size == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const std::wstring wideName = Wide(name);
    DWORD storedType = 0;
    DWORD storedSize = 0;
    LONG rc = ::RegQueryValueExW(ToHkey(key), wideName.c_str(), nullptr, &storedType, nullptr,
                                 &storedSize);
    if (rc != ERROR_SUCCESS) {
        return static_cast<uint32_t>(rc);
    }
    if (type != nullptr) {
        *type = storedType;
    }
    if (size == nullptr) {
        return ERROR_SUCCESS;
    }
    // As RegQueryValueExW: text comes back converted, and its size is that
    // of the converted bytes; a buffer too small gets ERROR_MORE_DATA and
    // the size it needs; no buffer asks for the size alone.
    std::vector<BYTE> stored(storedSize + sizeof(wchar_t), 0);
    rc = ::RegQueryValueExW(ToHkey(key), wideName.c_str(), nullptr, &storedType, stored.data(),
                            &storedSize);
    if (rc != ERROR_SUCCESS) {
        return static_cast<uint32_t>(rc);
    }
    std::string bytes(reinterpret_cast<const char*>(stored.data()), storedSize);
    if (IsText(storedType)) {
        bytes = Narrow(reinterpret_cast<const wchar_t*>(stored.data()),
                       static_cast<int>(storedSize / sizeof(wchar_t)));
    }
    const auto needed = static_cast<uint32_t>(bytes.size());
    if (data != nullptr && *size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (data != nullptr && needed > 0) {
        std::memcpy(data, bytes.data(), needed);
    }
    *size = needed;
    return ERROR_SUCCESS;
}

Win32Error Win32Registry::DeleteValue(RegKey key, const std::string& name) {
    return static_cast<uint32_t>(::RegDeleteValueW(ToHkey(key), Wide(name).c_str()));
}

Win32Error Win32Registry::CloseKey(RegKey key) {
    return static_cast<uint32_t>(::RegCloseKey(ToHkey(key)));
}

Win32Error Win32Registry::LoadKey(const std::string& subKey, const std::string& file) {
    // No privilege is asked for: a process without the right to load hives
    // gets the refusal (1314).
    return static_cast<uint32_t>(
        ::RegLoadKeyW(HKEY_USERS, Wide(subKey).c_str(), Wide(file).c_str()));
}

Win32Error Win32Registry::EnumKey(RegKey key, uint32_t index, std::string* name) {
    if (name == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    wchar_t buffer[256] = {};  // a key name has at most 255 characters
    DWORD length = 256;
    const LONG rc =
        ::RegEnumKeyExW(ToHkey(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_SUCCESS) {
        *name = Narrow(buffer, static_cast<int>(length));
    }
    return static_cast<uint32_t>(rc);
}

Win32Error Win32Registry::EnumValue(RegKey key, uint32_t index, std::string* name) {
    if (name == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    std::wstring buffer(16384, L'\0');  // a value name has at most 16,383 characters
    DWORD length = static_cast<DWORD>(buffer.size());
    const LONG rc = ::RegEnumValueW(ToHkey(key), index, buffer.data(), &length, nullptr, nullptr,
                                    nullptr, nullptr);
    if (rc == ERROR_SUCCESS) {
        *name = Narrow(buffer.data(), static_cast<int>(length));
    }
    return static_cast<uint32_t>(rc);
}

}  // namespace platform::win32
