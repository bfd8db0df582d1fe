// Maps the Windows paths the system uses onto the stand-in's state
// directory:
//   X:\...             <state>/drives/<x>/... , or the share drive X is connected to
//   \\SERVER\SHARE\... <state>/network/SERVER/SHARE/...
//   \...               rooted on the current drive, which is always C: here
//   /...               a host path, as it stands
//   anything else      relative to the current directory, "\" read as "/"
// Every name is looked up ignoring letter case, as Windows does; a name that
// does not exist yet keeps the case it was given. ".." never climbs above a
// drive's root or a share.
#pragma once
#include <filesystem>
#include <optional>
#include <string>

#include "platform/standin/connections.h"

namespace platform::standin {

class PathResolver {
  public:
    PathResolver(std::filesystem::path stateDir, const ConnectionStore& connections);

    // The host path, or nothing when the path names no place (a drive that
    // does not exist, a malformed UNC name, an empty path).
    std::optional<std::filesystem::path> Resolve(const std::string& windowsPath) const;

    const std::filesystem::path& stateDir() const { return stateDir_; }

  private:
    std::optional<std::filesystem::path> ResolveUnc(const std::string& path) const;
    std::optional<std::filesystem::path> ResolveDrive(char letter, const std::string& rest) const;

    std::filesystem::path stateDir_;
    const ConnectionStore& connections_;
};

// Appends the components of `relative` ("\" or "/" separated) to `base`,
// each matched ignoring case against what exists; "." is skipped and ".."
// climbs, never above `base`.
std::filesystem::path JoinIgnoringCase(const std::filesystem::path& base,
                                       const std::string& relative);

// True when the path ends in "\" or "/", which Windows reads as naming a
// directory: such a name never matches a file.
bool EndsWithSeparator(const std::string& windowsPath);

// False when the last element of the path holds a character that Windows
// allows in no file or folder name (a control character, < > " | ? *), so
// nothing of that name can be created.
bool IsValidNewName(const std::string& windowsPath);

}  // namespace platform::standin
