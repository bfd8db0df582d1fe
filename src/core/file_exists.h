#pragma once
#include <string>

namespace platform {
class Files;
}

namespace core {

// The file-exists test: the directory search of `files` finds an entry for
// `path` and that entry is not a directory.
bool FileExists(platform::Files& files, const std::string& path);

}  // namespace core
