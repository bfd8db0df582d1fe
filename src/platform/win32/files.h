#pragma once
#include "platform/files.h"

namespace platform::win32 {

class Win32Files : public Files {
public:
    uint32_t ReadWholeFile(const std::string& path, std::string* contents) override;
    uint32_t FindFirst(const std::string& path, bool* isDirectory) override;
    uint32_t CopyFileA(const std::string& existing, const std::string& target,
                      bool failIfExists) override;
    uint32_t GetFileAttributesA(const std::string& path) override;
    uint32_t CreateDirectoryA(const std::string& path) override;
    uint32_t GetLastWriteTime(const std::string& path, FileTime* time) override;
};

}  // namespace platform::win32
