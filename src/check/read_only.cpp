#include "check/read_only.h"

#include "platform/errors.h"

namespace check {

platform::Win32Error ReadOnlyFiles::ReadWholeFile(const std::string& path, std::string* contents) {
    return real_.ReadWholeFile(path, contents);
}

platform::Win32Error ReadOnlyFiles::FindFirst(const std::string& path, bool* isDirectory) {
    return real_.FindFirst(path, isDirectory);
}

uint32_t ReadOnlyFiles::GetFileAttributesA(const std::string& path) {
    return real_.GetFileAttributesA(path);
}

platform::Win32Error ReadOnlyFiles::GetLastWriteTime(const std::string& path,
                                                     platform::FileTime* time) {
    return real_.GetLastWriteTime(path, time);
}

platform::Win32Error ReadOnlyFiles::CopyFileA(const std::string&, const std::string&, bool) {
    return platform::kErrorAccessDenied;
}

platform::Win32Error ReadOnlyFiles::CreateDirectoryA(const std::string&) {
    return platform::kErrorAccessDenied;
}

ReadOnlyPlatform::ReadOnlyPlatform(const platform::Services& real)
    : files_(real.files()), system_(real.system()) {}

platform::Services ReadOnlyPlatform::services() {
    return platform::Services().With(files_).With(system_);
}

}  // namespace check
