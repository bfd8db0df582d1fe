#include "platform/default_access.h"

#include <algorithm>
#include <iterator>

#include "platform/names.h"

namespace platform {

namespace {

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
        if (SameAsciiText(name, entry.name)) {
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
    const auto named = [&](size_t i, const char* name) {
        return folder.size() > i && SameAsciiText(folder[i], name);
    };
    const bool closed = std::any_of(std::begin(kClosedFolders), std::end(kClosedFolders),
                                    [&](const char* name) { return named(0, name); });
    const bool open = std::any_of(
        std::begin(kOpenFolders), std::end(kOpenFolders),
        [&](const OpenBelow& below) { return named(0, below.closed) && named(1, below.open); });
    return closed && !open ? kErrorAccessDenied : kErrorSuccess;
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
