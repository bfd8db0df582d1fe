#include "core/file_exists.h"

#include "platform/files.h"

namespace core {

bool FileExists(platform::Files& files, const std::string& path) {
    bool isDirectory = false;
    return files.FindFirst(path, &isDirectory) == 0 && !isDirectory;
}

}  // namespace core
