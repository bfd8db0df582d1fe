#include "core/file_exists.h"

#include "platform/files.h"
#include "platform/platform.h"

namespace core {

bool FileExists(const std::string& path) {
    bool isDirectory = false;
    return platform::Current().files().FindFirst(path, &isDirectory) == 0 && !isDirectory;
}

}  // namespace core
