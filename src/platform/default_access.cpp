#include "platform/default_access.h"

#include "platform/names.h"

namespace platform {

namespace {

bool SameAscii(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return i == a.size() && b[i] == '\0';
}

struct RightsNameEntry {
    Rights rights;
    const char* name;
};
constexpr RightsNameEntry kRightsNames[] = {{Rights::kStandard, "Standard"},
                                            {Rights::kAdministrator, "Administrator"}};

// Folders of C:\ that give Users read and execute only, and the folders
// below them that give Users the right to create.
constexpr const char* kClosedFolders[] = {"Windows", "Program Files", "Program Files (x86)"};
struct OpenBelow {
    const char* closed;
    const char* open;
};
constexpr OpenBelow kOpenFolders[] = {{"Windows", "Temp"}};

}  // namespace

std::optional<Rights> RightsFromName(const std::string& name) {
    for (const auto& entry : kRightsNames) {
        if (SameAscii(name, entry.name)) {
            return entry.rights;
        }
    }
    return std::nullopt;
}

const char* RightsName(Rights rights) {
    for (const auto& entry : kRightsNames) {
        if (entry.rights == rights) {
            return entry.name;
        }
    }
    return "";
}

Win32Error SystemDriveAccess(Rights rights, const std::vector<std::string>& folder,
                             FileWrite write) {
    if (rights == Rights::kAdministrator) {
        return kErrorSuccess;
    }
    if (folder.empty()) {
        return write == FileWrite::kNewFile ? kErrorAccessDenied : kErrorSuccess;
    }
    for (const char* closed : kClosedFolders) {
        if (!SameAscii(folder.front(), closed)) {
            continue;
        }
        for (const auto& open : kOpenFolders) {
            if (folder.size() >= 2 && SameAscii(folder.front(), open.closed) &&
                SameAscii(folder[1], open.open)) {
                return kErrorSuccess;
            }
        }
        return kErrorAccessDenied;
    }
    return kErrorSuccess;
}

std::optional<std::vector<std::string>> SystemDriveFolder(const std::string& path) {
    if (path.size() < 3 || (path[0] != 'C' && path[0] != 'c') || path[1] != ':' ||
        !IsPathSeparator(path[2])) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    size_t at = 3;
    while (at <= path.size()) {
        size_t end = at;
        while (end < path.size() && !IsPathSeparator(path[end])) {
            ++end;
        }
        const std::string name = path.substr(at, end - at);
        if (name == "..") {
            if (!names.empty()) {
                names.pop_back();
            }
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
        at = end + 1;
    }
    if (!names.empty()) {
        names.pop_back();  // the file or folder itself
    }
    return names;
}

Win32Error MachineKeyAccess(Rights rights) {
    return rights == Rights::kAdministrator ? kErrorSuccess : kErrorAccessDenied;
}

Win32Error HiveLoadAccess(Rights rights) {
    return rights == Rights::kAdministrator ? kErrorSuccess : kErrorPrivilegeNotHeld;
}

}  // namespace platform
