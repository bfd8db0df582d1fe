// The logon script's work as a plain loop of Win32 calls: what a program
// written for exactly this work would do, with no script, no parsing and no
// run record. The yardstick the script run is compared with.
#include <windows.h>

#include <chrono>

#include "logon_timing.h"
#include "platform/win32/handles.h"

namespace timing {

namespace {

HKEY ToHkey(platform::RegKey root) {
    switch (root) {
        case platform::kHkeyClassesRoot:
            return HKEY_CLASSES_ROOT;
        case platform::kHkeyLocalMachine:
            return HKEY_LOCAL_MACHINE;
        case platform::kHkeyUsers:
            return HKEY_USERS;
        default:
            return HKEY_CURRENT_USER;
    }
}

void WriteValue(const WorkItem& item) {
    platform::win32::UniqueHkey key;
    if (::RegCreateKeyExA(ToHkey(item.root), item.key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        return;
    }
    ::RegSetValueExA(key.get(), item.valueName.c_str(), 0, item.type,
                     reinterpret_cast<const BYTE*>(item.data.data()),
                     static_cast<DWORD>(item.data.size()));
}

// The cheapest correct way to make a directory with its missing parents:
// one call when the parent exists, climbing only when it does not.
void MakeDirectory(const std::string& path) {
    if (::CreateDirectoryA(path.c_str(), nullptr) || ::GetLastError() != ERROR_PATH_NOT_FOUND) {
        return;
    }
    const auto cut = path.find_last_of('\\');
    if (cut == std::string::npos || cut < 3) {
        return;
    }
    MakeDirectory(path.substr(0, cut));
    ::CreateDirectoryA(path.c_str(), nullptr);
}

}  // namespace

double RunRawWin32Loop(const std::vector<WorkItem>& items) {
    const auto start = std::chrono::steady_clock::now();
    for (const WorkItem& item : items) {
        switch (item.kind) {
            case WorkKind::kRegistry:
                WriteValue(item);
                break;
            case WorkKind::kDirectory:
                MakeDirectory(item.path);
                break;
            case WorkKind::kIni:
                ::WritePrivateProfileStringA(item.section.c_str(), item.iniKey.c_str(),
                                             item.value.c_str(), item.file.c_str());
                break;
        }
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void DeleteRegistryTree(platform::RegKey root, const std::string& key) {
    ::RegDeleteTreeA(ToHkey(root), key.c_str());
}

}  // namespace timing
