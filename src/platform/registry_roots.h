// The predefined registry roots and their names, one row each, as the
// operating system spells them: the long name that .reg files, key paths
// and messages write (HKEY_CURRENT_USER), and the short form that command
// lines such as `reg add` take (HKCU). Every name of a root is taken from
// here.
#pragma once
#include <array>
#include <string>

#include "platform/registry.h"

namespace platform {

struct RegistryRoot {
    RegKey key;
    const char* name;
    const char* shortName;
};

inline constexpr std::array<RegistryRoot, 4> kRegistryRoots = {{
    {kHkeyClassesRoot, "HKEY_CLASSES_ROOT", "HKCR"},
    {kHkeyCurrentUser, "HKEY_CURRENT_USER", "HKCU"},
    {kHkeyLocalMachine, "HKEY_LOCAL_MACHINE", "HKLM"},
    {kHkeyUsers, "HKEY_USERS", "HKU"},
}};

// The row of a predefined key; null for any other key.
constexpr const RegistryRoot* FindRegistryRoot(RegKey key) {
    for (const RegistryRoot& root : kRegistryRoots) {
        if (root.key == key) {
            return &root;
        }
    }
    return nullptr;
}

// The root's long name; an opened key (no root) is shown by its number.
inline std::string RootName(RegKey key) {
    const RegistryRoot* root = FindRegistryRoot(key);
    return root != nullptr ? root->name : std::to_string(key);
}

// The root's short name; an opened key (no root) is shown by its number.
inline std::string ShortRootName(RegKey key) {
    const RegistryRoot* root = FindRegistryRoot(key);
    return root != nullptr ? root->shortName : std::to_string(key);
}

}  // namespace platform
