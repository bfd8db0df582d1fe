#pragma once
#include <string>

namespace core {

// The file-exists test: the platform's directory search finds an entry for
// `path` and that entry is not a directory.
bool FileExists(const std::string& path);

}  // namespace core
