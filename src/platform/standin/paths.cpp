#include "platform/standin/paths.h"

#include <cstring>
#include <vector>

#include "platform/errors.h"
#include "platform/network.h"
#include "platform/standin/case_fold.h"
#include "platform/standin/identity.h"

namespace platform::standin {

namespace {

// The stand-in's system drive: the current drive of a rooted path ("\x").
constexpr char kCurrentDrive = 'c';

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// "\\SERVER\SHARE\...", also written with "/" after the first "\".
bool IsUnc(const std::string& path) {
    return path.size() >= 2 && path[0] == '\\' && IsSeparator(path[1]);
}

bool IsDotName(const std::string& name) {
    return name == "." || name == "..";
}

std::vector<std::string> SplitComponents(const std::string& text) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : text) {
        if (IsSeparator(c)) {
            if (!current.empty()) {
                parts.push_back(current);
            }
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) {
        parts.push_back(current);
    }
    return parts;
}

// The entry of `dir` whose name equals `name` ignoring case; `name` itself
// when there is none (or when it exists exactly as given).
std::string MatchEntry(const std::filesystem::path& dir, const std::string& name) {
    std::error_code ec;
    if (std::filesystem::exists(dir / name, ec)) {
        return name;
    }
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (SameText(entry, name)) {
            return entry;
        }
    }
    return name;
}

}  // namespace

std::filesystem::path JoinIgnoringCase(const std::filesystem::path& base,
                                       const std::string& relative) {
    std::filesystem::path result = base;
    size_t depth = 0;
    for (const std::string& part : SplitComponents(relative)) {
        if (part == ".") {
            continue;
        }
        if (part == "..") {
            if (depth > 0) {
                result = result.parent_path();
                --depth;
            }
            continue;
        }
        result /= MatchEntry(result, part);
        ++depth;
    }
    return result;
}

uint32_t FindShare(const std::filesystem::path& stateDir, const std::string& server,
                   const std::string& share, std::filesystem::path* folder) {
    std::error_code ec;
    const auto serverFolder = JoinIgnoringCase(stateDir / "network", server);
    if (!std::filesystem::is_directory(serverFolder, ec)) {
        return kErrorBadNetPath;
    }
    *folder = JoinIgnoringCase(serverFolder, share);
    return std::filesystem::exists(*folder, ec) ? kErrorSuccess : kErrorBadNetName;
}

PathResolver::PathResolver(std::filesystem::path stateDir, const ConnectionStore& connections)
    : stateDir_(std::move(stateDir)), connections_(connections) {}

uint32_t PathResolver::WriteAccess(const std::filesystem::path& host, FileWrite write) const {
    const auto drive = (stateDir_ / "drives" / "c").lexically_normal();
    const auto relative = host.lexically_normal().lexically_relative(drive);
    if (relative.empty() || *relative.begin() == "..") {
        return kErrorSuccess;
    }
    std::vector<std::string> folder;
    for (const auto& name : relative.parent_path()) {
        if (!name.empty() && name != ".") {
            folder.push_back(name.string());
        }
    }
    // The user's rights are read only where a standard user's would matter.
    if (SystemDriveAccess(Rights::kStandard, folder, write).ok()) {
        return kErrorSuccess;
    }
    return SystemDriveAccess(ReadIdentity(stateDir_, /*warn=*/false).rights, folder, write).code();
}

std::optional<std::filesystem::path> PathResolver::Resolve(const std::string& path) const {
    if (path.empty()) {
        return std::nullopt;
    }
    if (IsUnc(path)) {
        return ResolveUnc(path);
    }
    if (path[0] == '/') {
        // Host paths are looked up ignoring case too, as every other name.
        return JoinIgnoringCase("/", path);
    }
    if (path[0] == '\\') {
        return ResolveDrive(kCurrentDrive, path);
    }
    if (path.size() >= 2 && path[1] == ':' && IsAsciiLetter(path[0])) {
        // "C:name" (relative to the drive's current directory) is read from
        // the root, the only current directory a stand-in drive has.
        return ResolveDrive(path[0], path.substr(2));
    }
    // Relative to the current directory; ".." may climb above it, as on Windows.
    std::error_code ec;
    return JoinIgnoringCase("/", std::filesystem::current_path(ec).string() + "/" + path);
}

uint32_t PathResolver::Locate(const std::string& path, std::filesystem::path* host) const {
    if (IsUnc(path)) {
        const auto parts = SplitComponents(path.substr(2));
        if (parts.size() < 2 || IsDotName(parts[0]) || IsDotName(parts[1])) {
            return kErrorBadPathname;
        }
        std::filesystem::path share;
        if (const uint32_t rc = FindShare(stateDir_, parts[0], parts[1], &share);
            rc != kErrorSuccess) {
            return rc;
        }
    }
    const auto resolved = Resolve(path);
    if (!resolved) {
        return kErrorPathNotFound;
    }
    *host = *resolved;
    return kErrorSuccess;
}

// \\SERVER\SHARE\rest: the server and share must both be named, and the
// rest stays inside the share.
std::optional<std::filesystem::path> PathResolver::ResolveUnc(const std::string& path) const {
    const auto parts = SplitComponents(path.substr(2));
    if (parts.size() < 2) {
        return std::nullopt;
    }
    if (IsDotName(parts[0]) || IsDotName(parts[1])) {
        return std::nullopt;
    }
    const auto share = JoinIgnoringCase(stateDir_ / "network", parts[0] + "/" + parts[1]);
    std::string rest;
    for (size_t i = 2; i < parts.size(); ++i) {
        rest += parts[i] + "/";
    }
    return JoinIgnoringCase(share, rest);
}

std::optional<std::filesystem::path> PathResolver::ResolveDrive(char letter,
                                                                const std::string& rest) const {
    const std::string device = std::string(1, letter) + ":";
    const char lower =
        (letter >= 'A' && letter <= 'Z') ? static_cast<char>(letter - 'A' + 'a') : letter;
    const auto root = stateDir_ / "drives" / std::string(1, lower);
    std::error_code ec;
    // A local disk is never a network drive: Windows neither connects its
    // letter nor restores a remembered connection over it. Drive C is on
    // every workstation, even one only looked at that has not made its
    // folder yet: nothing is found in it then.
    if (lower == kCurrentDrive || std::filesystem::is_directory(root, ec)) {
        return JoinIgnoringCase(root, rest);
    }
    const auto connection = connections_.Find(device);
    if (!connection || connection->type != kResourceTypeDisk) {
        return std::nullopt;
    }
    // A connected drive lies in its share; only UNC names are followed,
    // so a profile naming a drive cannot send the lookup round in circles.
    const std::string& remote = connection->remoteName;
    if (remote.size() < 2 || !IsSeparator(remote[0]) || !IsSeparator(remote[1])) {
        return std::nullopt;
    }
    const auto share = ResolveUnc(remote);
    if (!share) {
        return std::nullopt;
    }
    return JoinIgnoringCase(*share, rest);
}

}  // namespace platform::standin
