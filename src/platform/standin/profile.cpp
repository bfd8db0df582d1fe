#include "platform/standin/profile.h"

#include <sys/stat.h>

#include <string_view>
#include <utility>

#include "platform/errors.h"
#include "platform/standin/file_lock.h"
#include "platform/standin/ini_document.h"
#include "platform/standin/paths.h"
#include "platform/standin/state.h"
#include "platform/standin/text.h"

namespace platform::standin {

namespace fs = std::filesystem;

namespace {

constexpr const char* kWindowsDirectory = "C:\\WINDOWS";
constexpr std::string_view kUtf16Bom = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianBom = "\xFE\xFF";
// The ANSI code page, which the names and values given are in.
constexpr const char* kAnsiCodePage = "CP1252";
constexpr const char* kUtf16 = "UTF-16LE";

bool IsBareName(const std::string& file) {
    return file.find_first_of("\\/") == std::string::npos;
}

}  // namespace

std::string StandinProfile::PlaceOfFile(const std::string& file) {
    return IsBareName(file) ? std::string(kWindowsDirectory) + "\\" + file : file;
}

Win32Error StandinProfile::WritePrivateProfileStringW(const std::string& section,
                                                      const std::string& key,
                                                      const std::string& value,
                                                      const std::string& file) {
    if (file.empty()) {
        return kErrorAccessDenied;
    }
    if (!IsValidNewName(file)) {
        return kErrorInvalidName;
    }
    std::error_code ec;
    const std::string windowsPath = PlaceOfFile(file);
    if (IsBareName(file)) {
        // Every Windows installation has its Windows directory.
        if (const auto windows = context_.paths.Resolve(kWindowsDirectory)) {
            fs::create_directories(*windows, ec);
        }
    }
    const auto resolved = context_.paths.Resolve(windowsPath);
    if (!resolved) {
        return kErrorPathNotFound;
    }
    fs::path host = *resolved;
    // Writing through a symbolic link changes the file it points to.
    if (fs::is_symlink(host, ec)) {
        if (const auto target = fs::canonical(host, ec); !ec) {
            host = target;
        }
    }
    if (fs::is_directory(host, ec)) {
        return kErrorAccessDenied;
    }
    if (!fs::is_directory(host.parent_path(), ec)) {
        return kErrorPathNotFound;
    }
    if (const uint32_t rc = context_.paths.WriteAccess(
            host, fs::exists(host, ec) ? FileWrite::kChangeFile : FileWrite::kNewFile);
        rc != kErrorSuccess) {
        return rc;
    }
    // Each write reads, changes and replaces the whole file: writers in other
    // processes wait their turn, or the later replacement would drop the
    // keys the earlier one added.
    FileLock lock;
    if (const uint32_t rc = lock.Acquire(context_.stateDir / "locks" / "profile-strings");
        rc != kErrorSuccess) {
        return rc;
    }
    std::string bytes;
    struct stat info {};
    const bool exists = ::stat(host.c_str(), &info) == 0;
    if (exists) {
        if ((info.st_mode & S_IWUSR) == 0 || !ReadHostFile(host, &bytes)) {
            return kErrorAccessDenied;
        }
        // Big-endian UTF-16 is refused and left as it is: ANSI lines added to
        // it would spoil the file.
        if (bytes.compare(0, kUtf16BigEndianBom.size(), kUtf16BigEndianBom) == 0) {
            return kErrorInvalidData;
        }
    }
    // As on Windows, a Unicode (UTF-16) file stays Unicode: it is read as
    // text in the ANSI code page and written back in UTF-16 with its byte
    // order mark. A file with a character the code page lacks, or that is
    // not whole UTF-16, is refused and left as it is: read as ANSI text
    // it would lose that character.
    const bool unicode = exists && bytes.compare(0, kUtf16Bom.size(), kUtf16Bom) == 0;
    if (unicode) {
        auto text = Recode(std::string_view(bytes).substr(kUtf16Bom.size()), kUtf16, kAnsiCodePage);
        if (!text) {
            return kErrorInvalidData;
        }
        bytes = std::move(*text);
    }
    IniDocument document = IniDocument::Parse(bytes);
    if (!document.Set(section, key, value) && exists) {
        return kErrorSuccess;  // the key holds this value already: the file stays as it is
    }
    std::string written = document.Serialize();
    if (unicode) {
        // The names and value given are ANSI text too; a byte the code
        // page leaves undefined refuses the write.
        auto wide = Recode(written, kAnsiCodePage, kUtf16);
        if (!wide) {
            return kErrorInvalidData;
        }
        written = std::string(kUtf16Bom) + *wide;
    }
    const uint32_t result = ReplaceFileAtomically(host, written);
    if (result == kErrorSuccess && exists) {
        ::chmod(host.c_str(), info.st_mode & 07777);
    }
    return result;
}

}  // namespace platform::standin
