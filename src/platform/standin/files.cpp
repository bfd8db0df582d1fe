#include "platform/standin/files.h"

#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "platform/errors.h"
#include "platform/standin/case_fold.h"
#include "platform/standin/state.h"

namespace platform::standin {

namespace fs = std::filesystem;

namespace {

bool HasWildcard(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

// The error Windows gives for a name whose folder does not exist (3) or
// whose last element is missing (2).
uint32_t MissingError(const fs::path& host) {
    std::error_code ec;
    return fs::is_directory(host.parent_path(), ec) ? kErrorFileNotFound : kErrorPathNotFound;
}

}  // namespace

uint32_t StandinFiles::ReadWholeFile(const std::string& path, std::string* contents) {
    const auto host = paths_.Resolve(path);
    if (!host) {
        return kErrorPathNotFound;
    }
    std::error_code ec;
    if (fs::is_directory(*host, ec)) {
        return kErrorAccessDenied;
    }
    if (!fs::exists(*host, ec)) {
        return MissingError(*host);
    }
    if (!ReadHostFile(*host, contents)) {
        return kErrorAccessDenied;
    }
    return kErrorSuccess;
}

uint32_t StandinFiles::FindFirst(const std::string& path, bool* isDirectory) {
    const auto host = paths_.Resolve(path);
    if (!host) {
        return kErrorPathNotFound;
    }
    const std::string last = host->filename().string();
    std::error_code ec;
    if (HasWildcard(last)) {
        // FindFirstFileA matches wildcards in the last element, ignoring case.
        const std::string pattern = FoldCase1252(last);
        for (fs::directory_iterator it(host->parent_path(), ec), end; !ec && it != end;
             it.increment(ec)) {
            const std::string name = FoldCase1252(it->path().filename().string());
            if (fnmatch(pattern.c_str(), name.c_str(), FNM_PERIOD) == 0) {
                *isDirectory = it->is_directory(ec);
                return kErrorSuccess;
            }
        }
        return MissingError(*host);
    }
    const auto status = fs::status(*host, ec);
    if (ec || !fs::exists(status)) {
        return MissingError(*host);
    }
    *isDirectory = fs::is_directory(status);
    return kErrorSuccess;
}

uint32_t StandinFiles::CopyFileA(const std::string& existing, const std::string& target,
                                bool failIfExists) {
    const auto source = paths_.Resolve(existing);
    const auto destination = paths_.Resolve(target);
    if (!source || !destination) {
        return kErrorPathNotFound;
    }
    std::error_code ec;
    if (fs::is_directory(*source, ec)) {
        return kErrorAccessDenied;
    }
    std::string contents;
    if (!fs::exists(*source, ec)) {
        return MissingError(*source);
    }
    if (!ReadHostFile(*source, &contents)) {
        return kErrorAccessDenied;
    }
    if (fs::is_directory(*destination, ec)) {
        return kErrorAccessDenied;
    }
    if (!fs::is_directory(destination->parent_path(), ec)) {
        return kErrorPathNotFound;
    }
    if (failIfExists && fs::exists(*destination, ec)) {
        return kErrorFileExists;
    }
    // The new file appears whole or not at all: an existing target is never
    // left half-written.
    const uint32_t result = ReplaceFileAtomically(*destination, contents);
    if (result == kErrorSuccess) {
        struct stat info {};
        if (::stat(source->c_str(), &info) == 0) {
            ::chmod(destination->c_str(), info.st_mode & 07777);
        }
    }
    return result;
}

uint32_t StandinFiles::GetFileAttributesA(const std::string& path) {
    const auto host = paths_.Resolve(path);
    if (!host) {
        return kInvalidFileAttributes;
    }
    struct stat info {};
    if (::stat(host->c_str(), &info) != 0) {
        return kInvalidFileAttributes;
    }
    if (S_ISDIR(info.st_mode)) {
        return kFileAttributeDirectory;
    }
    constexpr uint32_t kReadOnly = 0x1, kArchive = 0x20;
    return kArchive | ((info.st_mode & S_IWUSR) == 0 ? kReadOnly : 0);
}

uint32_t StandinFiles::CreateDirectoryA(const std::string& path) {
    const auto host = paths_.Resolve(path);
    if (!host) {
        return kErrorPathNotFound;
    }
    if (::mkdir(host->c_str(), 0755) != 0) {
        const int error = errno;
        if (error == ENOENT) {
            return kErrorPathNotFound;
        }
        return ErrnoToWin32(error);
    }
    return kErrorSuccess;
}

uint32_t StandinFiles::GetLastWriteTime(const std::string& path, FileTime* time) {
    const auto host = paths_.Resolve(path);
    if (!host) {
        return kErrorPathNotFound;
    }
    struct stat info {};
    if (::stat(host->c_str(), &info) != 0) {
        return MissingError(*host);
    }
    std::tm local{};
    localtime_r(&info.st_mtime, &local);
    *time = FileTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                     local.tm_hour,        local.tm_min,     local.tm_sec};
    return kErrorSuccess;
}

}  // namespace platform::standin
