#include "platform/standin/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "platform/errors.h"
#include "platform/standin/case_fold.h"
#include "platform/standin/code_page.h"
#include "platform/standin/identity.h"
#include "platform/standin/state.h"
#include "platform/standin/text.h"

namespace platform::standin {

namespace fs = std::filesystem;

namespace {

bool HasWildcard(const std::string& name) {
    return name.find_first_of("*?") != std::string::npos;
}

// The bytes of the UTF-8 character at `at`; a byte that is not UTF-8 is a
// character of its own.
size_t CharacterLength(const std::string& text, size_t at) {
    const size_t length = ReadUtf8(text, at).length;
    return length == 0 ? 1 : length;
}

// The wildcards of FindFirstFileW: "*" matches any run of characters, "?"
// any one character (not one byte of it), letter case ignored; "[" and "."
// have no special meaning, and "*.*" matches every name, dotted or not.
bool MatchesWildcard(const std::string& pattern, const std::string& name) {
    const std::string p = pattern == "*.*" ? "*" : FoldCase(pattern);
    const std::string n = FoldCase(name);
    size_t pi = 0, ni = 0, starP = std::string::npos, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == '?') {
            ++pi;
            ni += CharacterLength(n, ni);
        } else if (pi < p.size() && p[pi] == n[ni]) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == '*') {
            starP = pi++;
            starN = ni;
        } else if (starP != std::string::npos) {
            pi = starP + 1;
            starN += CharacterLength(n, starN);
            ni = starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') {
        ++pi;
    }
    return pi == p.size();
}

// The error Windows gives for a name whose folder does not exist (3) or
// whose last element is missing (2).
uint32_t MissingError(const fs::path& host) {
    std::error_code ec;
    return fs::is_directory(host.parent_path(), ec) ? kErrorFileNotFound : kErrorPathNotFound;
}

// Whether a file to be read is there: a folder cannot be read as one (5),
// and a missing one gives 2 or 3 as above.
uint32_t ExistingFile(const fs::path& host) {
    std::error_code ec;
    if (fs::is_directory(host, ec)) {
        return kErrorAccessDenied;
    }
    if (!fs::exists(host, ec)) {
        return MissingError(host);
    }
    return kErrorSuccess;
}

// The DOS read-only attribute is the owner's missing write permission.
bool IsReadOnly(const fs::path& host) {
    struct stat info {};
    return ::stat(host.c_str(), &info) == 0 && (info.st_mode & S_IWUSR) == 0;
}

}  // namespace

Win32Error StandinFiles::ReadWholeFile(const std::string& path, std::string* contents) {
    fs::path host;
    if (const uint32_t rc = paths_.Locate(path, &host); rc != kErrorSuccess) {
        return rc;
    }
    if (const uint32_t rc = ExistingFile(host); rc != kErrorSuccess) {
        return rc;
    }
    if (!ReadHostFile(host, contents)) {
        return kErrorAccessDenied;
    }
    return kErrorSuccess;
}

Win32Error StandinFiles::FindFirst(const std::string& path, bool* isDirectory) {
    fs::path host;
    if (const uint32_t rc = paths_.Locate(path, &host); rc != kErrorSuccess) {
        return rc;
    }
    // A search for "dir\" finds nothing, not even the directory itself.
    if (EndsWithSeparator(path)) {
        return kErrorFileNotFound;
    }
    const std::string last = host.filename().string();
    std::error_code ec;
    if (HasWildcard(last)) {
        for (fs::directory_iterator it(host.parent_path(), ec), end; !ec && it != end;
             it.increment(ec)) {
            if (MatchesWildcard(last, it->path().filename().string())) {
                *isDirectory = it->is_directory(ec);
                return kErrorSuccess;
            }
        }
        return MissingError(host);
    }
    const auto status = fs::status(host, ec);
    if (ec || !fs::exists(status)) {
        return MissingError(host);
    }
    *isDirectory = fs::is_directory(status);
    return kErrorSuccess;
}

Win32Error StandinFiles::CopyFileW(const std::string& existing, const std::string& target,
                                   bool failIfExists) {
    fs::path source, destination;
    if (const uint32_t rc = paths_.Locate(existing, &source); rc != kErrorSuccess) {
        return rc;
    }
    if (const uint32_t rc = paths_.Locate(target, &destination); rc != kErrorSuccess) {
        return rc;
    }
    if (const uint32_t rc = ExistingFile(source); rc != kErrorSuccess) {
        return rc;
    }
    // A file name cannot end in a separator, nor hold a character that no
    // Windows name may hold.
    if (EndsWithSeparator(target) || !IsValidNewName(target)) {
        return kErrorInvalidName;
    }
    std::error_code ec;
    if (fs::is_directory(destination, ec)) {
        return kErrorAccessDenied;
    }
    if (!fs::is_directory(destination.parent_path(), ec)) {
        return kErrorPathNotFound;
    }
    const bool targetExists = fs::exists(destination, ec);
    if (targetExists && failIfExists) {
        return kErrorFileExists;
    }
    // Windows opens the source for reading and the target for writing with
    // no sharing, so a file copied onto itself is a sharing violation.
    if (targetExists && fs::equivalent(source, destination, ec)) {
        return kErrorSharingViolation;
    }
    // A read-only target is not replaced.
    if (targetExists && IsReadOnly(destination)) {
        return kErrorAccessDenied;
    }
    if (const uint32_t rc = paths_.WriteAccess(
            destination, targetExists ? FileWrite::kChangeFile : FileWrite::kNewFile);
        rc != kErrorSuccess) {
        return rc;
    }
    std::string contents;
    struct stat info {};
    if (!ReadHostFile(source, &contents) || ::stat(source.c_str(), &info) != 0) {
        return kErrorAccessDenied;
    }
    // The new file appears whole or not at all: an existing target is never
    // left half-written.
    const uint32_t result = ReplaceFileAtomically(destination, contents);
    if (result != kErrorSuccess) {
        return result;
    }
    // The copy keeps the source's attributes and its last-write time.
    ::chmod(destination.c_str(), info.st_mode & 07777);
    fs::last_write_time(destination, fs::last_write_time(source, ec), ec);
    return kErrorSuccess;
}

uint32_t StandinFiles::GetFileAttributesW(const std::string& path) {
    fs::path host;
    if (paths_.Locate(path, &host) != kErrorSuccess) {
        return kInvalidFileAttributes;
    }
    struct stat info {};
    if (::stat(host.c_str(), &info) != 0) {
        // Drive C is on every workstation: a state folder that is only
        // looked at, never logged on to, has not made its folder yet.
        std::string named = host.lexically_normal().string();
        while (named.size() > 1 && named.back() == '/') {
            named.pop_back();
        }
        if (named == (paths_.stateDir() / "drives" / "c").lexically_normal().string()) {
            return kFileAttributeDirectory;
        }
        return kInvalidFileAttributes;
    }
    if (S_ISDIR(info.st_mode)) {
        return kFileAttributeDirectory;
    }
    // "file\" names a directory that is not there.
    if (EndsWithSeparator(path)) {
        return kInvalidFileAttributes;
    }
    constexpr uint32_t kReadOnly = 0x1, kArchive = 0x20;
    return kArchive | ((info.st_mode & S_IWUSR) == 0 ? kReadOnly : 0);
}

Win32Error StandinFiles::CreateDirectoryW(const std::string& path) {
    fs::path host;
    if (const uint32_t rc = paths_.Locate(path, &host); rc != kErrorSuccess) {
        return rc;
    }
    if (!IsValidNewName(path)) {
        return kErrorInvalidName;
    }
    std::error_code ec;
    if (!fs::exists(host, ec) && fs::is_directory(host.parent_path(), ec)) {
        if (const uint32_t rc = paths_.WriteAccess(host, FileWrite::kNewFolder);
            rc != kErrorSuccess) {
            return rc;
        }
    }
    if (::mkdir(host.c_str(), 0755) != 0) {
        const int error = errno;
        if (error == ENOENT) {
            return kErrorPathNotFound;
        }
        return ErrnoToWin32(error);
    }
    return kErrorSuccess;
}

Win32Error StandinFiles::GetLastWriteTime(const std::string& path, FileTime* time) {
    fs::path host;
    if (const uint32_t rc = paths_.Locate(path, &host); rc != kErrorSuccess) {
        return rc;
    }
    struct stat info {};
    if (::stat(host.c_str(), &info) != 0) {
        return MissingError(host);
    }
    std::tm local{};
    localtime_r(&info.st_mtime, &local);
    *time = FileTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                     local.tm_hour,        local.tm_min,     local.tm_sec};
    return kErrorSuccess;
}

std::string StandinFiles::Utf8FromAnsi(std::string_view bytes) {
    return Utf8FromCodePage(bytes, ReadIdentity(paths_.stateDir(), /*warn=*/false).codePage);
}

std::string StandinFiles::AnsiRoundTrip(std::string_view text) {
    const unsigned codePage = ReadIdentity(paths_.stateDir(), /*warn=*/false).codePage;
    return Utf8FromCodePage(CodePageFromUtf8(text, codePage), codePage);
}

}  // namespace platform::standin
