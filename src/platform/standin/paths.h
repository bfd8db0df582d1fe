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
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/default_access.h"
#include "platform/names.h"
#include "platform/standin/connections.h"

namespace platform::standin {

class PathResolver {
  public:
    PathResolver(std::filesystem::path stateDir, const ConnectionStore& connections);

    // The host path, or nothing when the path names no place (a drive that
    // does not exist, a malformed UNC name, an empty path).
    std::optional<std::filesystem::path> Resolve(const std::string& windowsPath) const;

    // The host path as a file call finds it: 0, or the code Windows gives
    // for a name that leads nowhere. A UNC name reaches only a share that
    // exists, as a file call cannot make a share: ERROR_BAD_PATHNAME (161)
    // for "\\SERVER" without a share, ERROR_BAD_NETPATH (53) for a server
    // that does not exist, ERROR_BAD_NET_NAME (67) for a share that the
    // server does not have, whatever the rest of the name; any other name
    // that maps nowhere gives ERROR_PATH_NOT_FOUND (3).
    // What this relies on: Microsoft's list of system error codes (53 "The
    // network path was not found", 67 "The network name cannot be found",
    // 161 "The specified path is invalid"); that NtCreateFile, under every
    // Win32 file call, answers a UNC name whose server is not found with
    // STATUS_BAD_NETWORK_PATH and one whose share is not found with
    // STATUS_BAD_NETWORK_NAME, which become 53 and 67 (ziglang/zig pull
    // request 16568); and that CreateDirectory of "\\server" alone fails
    // with "The specified path is invalid" (nim-lang/Nim issue 19103).
    uint32_t Locate(const std::string& windowsPath, std::filesystem::path* host) const;

    const std::filesystem::path& stateDir() const { return stateDir_; }

    // Whether the user that identity.ini names may make a write to a host
    // path as Windows' default access lists allow it on drive C:: 0, or
    // ERROR_ACCESS_DENIED. Paths elsewhere are open to every user.
    uint32_t WriteAccess(const std::filesystem::path& host, FileWrite write) const;

  private:
    std::optional<std::filesystem::path> ResolveUnc(const std::string& path) const;
    std::optional<std::filesystem::path> ResolveDrive(char letter, const std::string& rest) const;

    std::filesystem::path stateDir_;
    const ConnectionStore& connections_;
};

// The folder (or, for a printer, the file) of the share \\server\share
// under <state>/network, matched ignoring case: 0, ERROR_BAD_NETPATH when
// there is no such server, ERROR_BAD_NET_NAME when the server has no such
// share.
uint32_t FindShare(const std::filesystem::path& stateDir, const std::string& server,
                   const std::string& share, std::filesystem::path* folder);

// Appends the components of `relative` ("\" or "/" separated) to `base`,
// each matched ignoring case against what exists; "." is skipped and ".."
// climbs, never above `base`.
std::filesystem::path JoinIgnoringCase(const std::filesystem::path& base,
                                       const std::string& relative);

}  // namespace platform::standin
