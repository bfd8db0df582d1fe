#include "platform/standin/profile.h"

#include <sys/stat.h>

#include <optional>
#include <string_view>
#include <utility>

#include "platform/errors.h"
#include "platform/standin/code_page.h"
#include "platform/standin/file_lock.h"
#include "platform/standin/identity.h"
#include "platform/standin/ini_document.h"
#include "platform/standin/paths.h"
#include "platform/standin/state.h"
#include "platform/standin/text.h"

namespace platform::standin {

namespace fs = std::filesystem;

namespace {

constexpr const char* kWindowsDirectory = "C:\\WINDOWS";
constexpr const char* kUtf8 = "UTF-8";

// The encodings an INI file is kept in besides the workstation's ANSI code
// page, told apart by the byte-order mark in front: UTF-16 of either byte
// order (iconv's name), and UTF-8, which needs no conversion (nullptr).
struct MarkedEncoding {
    const char* iconvName;
    std::string_view mark;
};

bool IsBareName(const std::string& file) {
    return file.find_first_of("\\/") == std::string::npos;
}

// The file's encoding by its mark; nothing for text of the code page.
std::optional<MarkedEncoding> EncodingOf(std::string_view bytes) {
    const ByteOrderMark mark = MarkOf(bytes);
    switch (mark) {
        case ByteOrderMark::kUtf16Le:
            return MarkedEncoding{"UTF-16LE", MarkBytes(mark)};
        case ByteOrderMark::kUtf16Be:
            return MarkedEncoding{"UTF-16BE", MarkBytes(mark)};
        case ByteOrderMark::kUtf8:
            return MarkedEncoding{nullptr, MarkBytes(mark)};
        case ByteOrderMark::kNone:
            break;
    }
    return std::nullopt;
}

// A file's bytes after a key is set in them: the new bytes and whether they
// differ from the old, or the error that refuses the write.
struct Rewrite {
    uint32_t error = kErrorSuccess;
    bool changed = false;
    std::string bytes;
};

Rewrite SetInText(const std::string& bytes, bool exists, unsigned codePage,
                  const std::string& section, const std::string& key, const std::string& value) {
    const std::optional<MarkedEncoding> encoding =
        exists ? EncodingOf(bytes) : std::optional<MarkedEncoding>();
    Rewrite result;
    // The names and value are the program's UTF-8 text; any byte of them
    // that is not is written as U+FFFD.
    const std::string sectionText = ValidUtf8(section);
    const std::string keyText = ValidUtf8(key);
    const std::string valueText = ValidUtf8(value);
    if (!encoding) {
        // ANSI text: each line read from the code page, the lines changed
        // written back in it, a character it lacks becoming "?".
        IniDocument document = IniDocument::Parse(
            bytes, [codePage](std::string_view line) { return Utf8FromCodePage(line, codePage); });
        result.changed = document.Set(sectionText, keyText, valueText) || !exists;
        result.bytes = document.Serialize(
            [codePage](std::string_view line) { return CodePageFromUtf8(line, codePage); });
        return result;
    }
    if (encoding->iconvName == nullptr) {
        IniDocument document = IniDocument::Parse(bytes);  // keeps the mark in front
        result.changed = document.Set(sectionText, keyText, valueText);
        result.bytes = document.Serialize();
        return result;
    }
    // UTF-16 is read whole. Text that is not whole UTF-16 (a lone
    // surrogate, an odd last byte) is refused and left as it is rather than
    // rewritten with a character lost.
    const auto text =
        Recode(std::string_view(bytes).substr(encoding->mark.size()), encoding->iconvName, kUtf8);
    if (!text) {
        result.error = kErrorInvalidData;
        return result;
    }
    IniDocument document = IniDocument::Parse(*text);
    result.changed = document.Set(sectionText, keyText, valueText);
    const auto wide = Recode(document.Serialize(), kUtf8, encoding->iconvName);
    if (!wide) {
        result.error = kErrorInvalidData;
        return result;
    }
    result.bytes = std::string(encoding->mark) + *wide;
    return result;
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
    }
    const Rewrite rewrite =
        SetInText(bytes, exists, ReadIdentity(context_.stateDir, /*warn=*/false).codePage, section,
                  key, value);
    if (rewrite.error != kErrorSuccess) {
        return rewrite.error;
    }
    if (!rewrite.changed) {
        return kErrorSuccess;  // the key holds this value already: the file stays as it is
    }
    const std::string& written = rewrite.bytes;
    const uint32_t result = ReplaceFileAtomically(host, written);
    if (result == kErrorSuccess && exists) {
        ::chmod(host.c_str(), info.st_mode & 07777);
    }
    return result;
}

}  // namespace platform::standin
