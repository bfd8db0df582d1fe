// An owner for an open registry key, and one-call helpers over the
// Registry service: open or create a key, read or write a value. Every
// helper returns the Win32 code of the call that decided it and never
// throws; a helper that opens a key for itself closes it again.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "platform/unique_handle.h"

namespace platform {

// HKEY_CLASSES_ROOT up to HKEY_DYN_DATA: open for the life of the process,
// so closing one changes nothing and an owner never does.
constexpr bool IsPredefinedKey(RegKey key) {
    return key >= kHkeyClassesRoot && key <= 0x80000006u;
}

struct RegKeyTraits {
    Registry* registry = nullptr;
    static constexpr RegKey Invalid() { return 0; }
    void Close(RegKey key) const {
        if (!IsPredefinedKey(key)) {
            // An owner lets go of its key as a destructor does: a key that
            // will not close leaves nothing for its owner to do.
            static_cast<void>(registry->CloseKey(key));
        }
    }
};

// A key and the Registry it was opened from, closed there exactly once.
class UniqueRegKey : public UniqueHandle<RegKey, RegKeyTraits> {
  public:
    UniqueRegKey() = default;
    UniqueRegKey(Registry& registry, RegKey key) : UniqueHandle(key, RegKeyTraits{&registry}) {}

    // The registry the key came from (null for an owner that never had one).
    Registry* registry() const { return traits().registry; }
    // Closes the key held; with a key, takes that one of `registry` on.
    void reset() { UniqueHandle::reset(); }
    void reset(Registry& registry, RegKey key) {
        UniqueHandle::reset(key, RegKeyTraits{&registry});
    }
    // Closes the key held, for a call of `registry` that opens one into it.
    RegKey* put(Registry& registry) {
        reset(registry, RegKeyTraits::Invalid());
        return UniqueHandle::put();
    }
};

// OpenKey / CreateKey of `subKey` below `base`. On success the key opened
// replaces the one `*key` held, which is closed after it; on failure `*key`
// stays as it was.
Win32Error OpenRegKey(Registry& registry, RegKey base, const std::string& subKey,
                      UniqueRegKey* key);
Win32Error CreateRegKey(Registry& registry, RegKey base, const std::string& subKey,
                        UniqueRegKey* key);

struct RegValue {
    uint32_t type = kRegNone;
    std::string data;
};

// A REG_DWORD's four bytes, little-endian as Windows stores them, and the
// number that up to four such bytes make.
std::string DwordBytes(uint32_t number);
uint32_t DwordOf(std::string_view bytes);

// Each reads or writes value `name` of the open `key`. The overloads with a
// `subKey` open it below `key` first (the writers create it), and close it.
//
// The value's type and all its bytes.
Win32Error ReadRegValue(Registry& registry, RegKey key, const std::string& name, RegValue* value);
Win32Error ReadRegValue(Registry& registry, RegKey key, const std::string& subKey,
                        const std::string& name, RegValue* value);
// A REG_SZ value without its terminating NUL; another type gives
// ERROR_UNSUPPORTED_TYPE.
Win32Error ReadRegString(Registry& registry, RegKey key, const std::string& name,
                         std::string* text);
Win32Error ReadRegString(Registry& registry, RegKey key, const std::string& subKey,
                         const std::string& name, std::string* text);
// A REG_DWORD value; another type gives ERROR_UNSUPPORTED_TYPE, a size
// other than four bytes ERROR_DATATYPE_MISMATCH.
Win32Error ReadRegDword(Registry& registry, RegKey key, const std::string& name, uint32_t* number);
Win32Error ReadRegDword(Registry& registry, RegKey key, const std::string& subKey,
                        const std::string& name, uint32_t* number);

Win32Error WriteRegValue(Registry& registry, RegKey key, const std::string& name, uint32_t type,
                         const std::string& data);
Win32Error WriteRegValue(Registry& registry, RegKey key, const std::string& subKey,
                         const std::string& name, uint32_t type, const std::string& data);
// REG_SZ: the text and one terminating NUL.
Win32Error WriteRegString(Registry& registry, RegKey key, const std::string& name,
                          const std::string& text);
Win32Error WriteRegString(Registry& registry, RegKey key, const std::string& subKey,
                          const std::string& name, const std::string& text);
// REG_DWORD: four bytes, little-endian as Windows stores them.
Win32Error WriteRegDword(Registry& registry, RegKey key, const std::string& name, uint32_t number);
Win32Error WriteRegDword(Registry& registry, RegKey key, const std::string& subKey,
                         const std::string& name, uint32_t number);

}  // namespace platform
