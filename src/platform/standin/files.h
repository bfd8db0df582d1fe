#pragma once
#include "platform/files.h"
#include "platform/standin/paths.h"

namespace platform::standin {

class StandinFiles : public Files {
  public:
    explicit StandinFiles(const PathResolver& paths) : paths_(paths) {}
    uint32_t ReadWholeFile(const std::string& path, std::string* contents) override;
    uint32_t FindFirst(const std::string& path, bool* isDirectory) override;
    uint32_t CopyFileA(const std::string& existing, const std::string& target,
                       bool failIfExists) override;
    uint32_t GetFileAttributesA(const std::string& path) override;
    uint32_t CreateDirectoryA(const std::string& path) override;
    uint32_t GetLastWriteTime(const std::string& path, FileTime* time) override;

  private:
    const PathResolver& paths_;
};

}  // namespace platform::standin
