#include "platform/reg_key.h"

#include "platform/errors.h"

namespace platform {

namespace {

constexpr uint32_t kDwordBytes = 4;

// Runs `call` (Registry::OpenKey or CreateKey) and hands the key it gives to
// `key`, to be closed through `registry`.
Win32Error KeepKey(Registry& registry,
                   Win32Error (Registry::*call)(RegKey, const std::string&, RegKey*), RegKey base,
                   const std::string& subKey, UniqueRegKey* key) {
    RegKey got = 0;
    const Win32Error rc = (registry.*call)(base, subKey, &got);
    if (rc == kErrorSuccess) {
        key->reset(registry, got);
    }
    return rc;
}

// Opens (or creates) `subKey` below `base`, runs `action` on it and closes it.
template <typename Action>
Win32Error InSubKey(Registry& registry, RegKey base, const std::string& subKey, bool create,
                    Action action) {
    UniqueRegKey key;
    const Win32Error rc = create ? CreateRegKey(registry, base, subKey, &key)
                                 : OpenRegKey(registry, base, subKey, &key);
    return rc != kErrorSuccess ? rc : action(key.get());
}

const uint8_t* Bytes(const std::string& data) {
    return reinterpret_cast<const uint8_t*>(data.data());
}

// A value that must be of `type`.
Win32Error ReadTyped(Registry& registry, RegKey key, const std::string& name, uint32_t type,
                     RegValue* value) {
    const Win32Error rc = ReadRegValue(registry, key, name, value);
    return rc == kErrorSuccess && value->type != type ? kErrorUnsupportedType : rc;
}

}  // namespace

Win32Error OpenRegKey(Registry& registry, RegKey base, const std::string& subKey,
                      UniqueRegKey* key) {
    return KeepKey(registry, &Registry::OpenKey, base, subKey, key);
}

Win32Error CreateRegKey(Registry& registry, RegKey base, const std::string& subKey,
                        UniqueRegKey* key) {
    return KeepKey(registry, &Registry::CreateKey, base, subKey, key);
}

Win32Error ReadRegValue(Registry& registry, RegKey key, const std::string& name, RegValue* value) {
    RegValue read;
    uint32_t size = 0;
    Win32Error rc = registry.QueryValue(key, name, &read.type, nullptr, &size);
    if (rc == kErrorSuccess && size > 0) {
        read.data.resize(size);
        rc = registry.QueryValue(key, name, &read.type,
                                 reinterpret_cast<uint8_t*>(read.data.data()), &size);
        read.data.resize(size);
    }
    if (rc == kErrorSuccess) {
        *value = std::move(read);
    }
    return rc;
}

Win32Error ReadRegString(Registry& registry, RegKey key, const std::string& name,
                         std::string* text) {
    RegValue value;
    if (const Win32Error rc = ReadTyped(registry, key, name, kRegSz, &value); rc != kErrorSuccess) {
        return rc;
    }
    if (!value.data.empty() && value.data.back() == '\0') {
        value.data.pop_back();
    }
    *text = std::move(value.data);
    return kErrorSuccess;
}

std::string DwordBytes(uint32_t number) {
    std::string bytes(kDwordBytes, '\0');
    for (uint32_t i = 0; i < kDwordBytes; ++i) {
        bytes[i] = static_cast<char>(number >> (8 * i));
    }
    return bytes;
}

uint32_t DwordOf(std::string_view bytes) {
    uint32_t bits = 0;
    for (size_t i = 0; i < kDwordBytes && i < bytes.size(); ++i) {
        bits |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[i])) << (8 * i);
    }
    return bits;
}

Win32Error ReadRegDword(Registry& registry, RegKey key, const std::string& name, uint32_t* number) {
    RegValue value;
    if (const Win32Error rc = ReadTyped(registry, key, name, kRegDword, &value);
        rc != kErrorSuccess) {
        return rc;
    }
    if (value.data.size() != kDwordBytes) {
        return kErrorDatatypeMismatch;
    }
    *number = DwordOf(value.data);
    return kErrorSuccess;
}

Win32Error WriteRegValue(Registry& registry, RegKey key, const std::string& name, uint32_t type,
                         const std::string& data) {
    return registry.SetValue(key, name, type, Bytes(data), static_cast<uint32_t>(data.size()));
}

Win32Error WriteRegString(Registry& registry, RegKey key, const std::string& name,
                          const std::string& text) {
    // The text and the NUL that c_str() guarantees after it.
    return registry.SetValue(key, name, kRegSz, Bytes(text),
                             static_cast<uint32_t>(text.size() + 1));
}

Win32Error WriteRegDword(Registry& registry, RegKey key, const std::string& name, uint32_t number) {
    return WriteRegValue(registry, key, name, kRegDword, DwordBytes(number));
}

Win32Error ReadRegValue(Registry& registry, RegKey key, const std::string& subKey,
                        const std::string& name, RegValue* value) {
    return InSubKey(registry, key, subKey, false,
                    [&](RegKey opened) { return ReadRegValue(registry, opened, name, value); });
}

Win32Error ReadRegString(Registry& registry, RegKey key, const std::string& subKey,
                         const std::string& name, std::string* text) {
    return InSubKey(registry, key, subKey, false,
                    [&](RegKey opened) { return ReadRegString(registry, opened, name, text); });
}

Win32Error ReadRegDword(Registry& registry, RegKey key, const std::string& subKey,
                        const std::string& name, uint32_t* number) {
    return InSubKey(registry, key, subKey, false,
                    [&](RegKey opened) { return ReadRegDword(registry, opened, name, number); });
}

Win32Error WriteRegValue(Registry& registry, RegKey key, const std::string& subKey,
                         const std::string& name, uint32_t type, const std::string& data) {
    return InSubKey(registry, key, subKey, true, [&](RegKey opened) {
        return WriteRegValue(registry, opened, name, type, data);
    });
}

Win32Error WriteRegString(Registry& registry, RegKey key, const std::string& subKey,
                          const std::string& name, const std::string& text) {
    return InSubKey(registry, key, subKey, true,
                    [&](RegKey opened) { return WriteRegString(registry, opened, name, text); });
}

Win32Error WriteRegDword(Registry& registry, RegKey key, const std::string& subKey,
                         const std::string& name, uint32_t number) {
    return InSubKey(registry, key, subKey, true,
                    [&](RegKey opened) { return WriteRegDword(registry, opened, name, number); });
}

}  // namespace platform
