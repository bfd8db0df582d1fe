// The platform as the checker sees it: files can be read and looked for,
// the clock and the locale asked; everything that could change something
// (copies, folders, the registry, the network, profile strings, windows)
// refuses, so the check cannot change anything by mistake.
#pragma once
#include "platform/files.h"
#include "platform/platform.h"

namespace check {

class ReadOnlyFiles : public platform::Files {
  public:
    explicit ReadOnlyFiles(platform::Files& real) : real_(real) {}
    platform::Win32Error ReadWholeFile(const std::string& path, std::string* contents) override;
    platform::Win32Error FindFirst(const std::string& path, bool* isDirectory) override;
    uint32_t GetFileAttributesA(const std::string& path) override;
    platform::Win32Error GetLastWriteTime(const std::string& path,
                                          platform::FileTime* time) override;
    // Refused with ERROR_ACCESS_DENIED; nothing is copied or made.
    platform::Win32Error CopyFileA(const std::string& existing, const std::string& target,
                                   bool failIfExists) override;
    platform::Win32Error CreateDirectoryA(const std::string& path) override;

  private:
    platform::Files& real_;
};

// The files (guarded) and the system of `real`; the refusing registry,
// network, profile strings and toolkit.
class ReadOnlyPlatform {
  public:
    explicit ReadOnlyPlatform(const platform::Services& real);
    platform::Services services();

  private:
    ReadOnlyFiles files_;
    platform::System& system_;
};

}  // namespace check
