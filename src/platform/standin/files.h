#pragma once
#include "platform/files.h"
#include "platform/standin/paths.h"

namespace platform::standin {

class StandinFiles : public Files {
  public:
    explicit StandinFiles(const PathResolver& paths) : paths_(paths) {}
    Win32Error ReadWholeFile(const std::string& path, std::string* contents) override;
    Win32Error FindFirst(const std::string& path, bool* isDirectory) override;
    Win32Error CopyFileW(const std::string& existing, const std::string& target,
                         bool failIfExists) override;
    uint32_t GetFileAttributesW(const std::string& path) override;
    Win32Error CreateDirectoryW(const std::string& path) override;
    Win32Error GetLastWriteTime(const std::string& path, FileTime* time) override;
    // From the code page identity.ini gives the workstation (1252 unless it
    // names another), read anew on each call as the rest of it is.
    std::string Utf8FromAnsi(std::string_view bytes) override;
    std::string AnsiRoundTrip(std::string_view text) override;

  private:
    const PathResolver& paths_;
};

}  // namespace platform::standin
