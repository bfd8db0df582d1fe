#include "script/file_commands.h"

#include <exception>

#include "core/file_exists.h"
#include "platform/files.h"
#include "script/ini_file.h"
#include "script/line_parser.h"
#include "script/messages.h"

namespace script {

namespace {

// Shorter paths are a drive ("C:") or nothing: the chain never climbs there.
constexpr size_t kShortestChainPath = 3;

}  // namespace

void CopyScriptFile(logon::LogonContext& context, const std::string& destination,
                    const std::string& source, bool overwrite) {
    platform::Files& files = context.services.files();
    if (!overwrite && core::FileExists(files, destination)) {
        return;
    }
    if (files.CopyFileW(source, destination, false) != 0) {
        context.AddError(CopyFailureMessage(source, destination));
    }
}

void ReportIniFailure(logon::LogonContext& context, const std::string& file,
                      const std::string& sectionAndKey, const std::string& value) {
    context.AddError(IniFailureMessage(file, sectionAndKey, value));
}

void WriteIniValue(logon::LogonContext& context, const std::string& file,
                   const std::string& sectionAndKey, const std::string& value) {
    const SectionAndKey target = SplitSectionAndKey(sectionAndKey);
    try {
        TIniFile ini(context.services.profile(), file);
        ini.WriteString(target.section, target.key, value);
    } catch (const std::exception&) {
        // The writer's own message is not shown: the report names the whole
        // command instead.
        ReportIniFailure(context, file, sectionAndKey, value);
    }
}

bool DirectoryPresent(platform::Files& files, const std::string& path) {
    const uint32_t attributes = files.GetFileAttributesW(path);
    return attributes != platform::kInvalidFileAttributes &&
           (attributes & platform::kFileAttributeDirectory) != 0;
}

void MakeDirectoryChain(platform::Files& files, const std::string& path) {
    std::string level = path;
    if (!level.empty() && level.back() == '\\') {
        level.pop_back();
    }
    if (level.size() < kShortestChainPath || DirectoryPresent(files, level)) {
        return;
    }
    const auto cut = level.find_last_of("\\:");
    const std::string parent = cut == std::string::npos ? std::string() : level.substr(0, cut + 1);
    // A path ending in ":" ("ABC:") is its own parent: climbing there again
    // would never end. A parent ending in "\" is shortened by the next level.
    if (parent.size() < level.size() || (!parent.empty() && parent.back() == '\\')) {
        MakeDirectoryChain(files, parent);
    }
    // Refusals are not examined (see the header): what cannot be created
    // stays missing, and the commands that use it report that.
    static_cast<void>(files.CreateDirectoryW(level));
}

void EnsureDirectory(logon::LogonContext& context, const std::string& directory) {
    platform::Files& files = context.services.files();
    try {
        if (!DirectoryPresent(files, directory)) {
            MakeDirectoryChain(files, directory);
        }
    } catch (const std::exception& failure) {
        context.AddError(MkdirFailureMessage(directory, failure.what()));
    }
}

}  // namespace script
