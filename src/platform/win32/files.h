#pragma once
#include "platform/files.h"

namespace platform::win32 {

class Win32Files : public Files {
  public:
    Win32Error ReadWholeFile(const std::string& path, std::string* contents) override;
    Win32Error FindFirst(const std::string& path, bool* isDirectory) override;
    Win32Error CopyFileW(const std::string& existing, const std::string& target,
                         bool failIfExists) override;
    uint32_t GetFileAttributesW(const std::string& path) override;
    Win32Error CreateDirectoryW(const std::string& path) override;
    Win32Error GetLastWriteTime(const std::string& path, FileTime* time) override;
    std::string Utf8FromAnsi(std::string_view bytes) override;
    std::string AnsiRoundTrip(std::string_view text) override;
};

}  // namespace platform::win32
