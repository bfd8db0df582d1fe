#include "script/file_commands.h"

#include <exception>

#include "core/error_list.h"
#include "core/file_exists.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "script/ini_file.h"
#include "script/line_parser.h"
#include "script/messages.h"

namespace script {

namespace {

// Shorter paths are a drive ("C:") or nothing: the chain never climbs there.
constexpr size_t kShortestChainPath = 3;

platform::Files& Files() {
    return platform::Current().files();
}

}  // namespace

void CopyScriptFile(const std::string& destination, const std::string& source, bool overwrite) {
    if (!overwrite && core::FileExists(destination)) {
        return;
    }
    if (Files().CopyFileA(source, destination, false) != 0) {
        core::AddError(CopyFailureMessage(source, destination));
    }
}

void ReportIniFailure(const std::string& file, const std::string& sectionAndKey,
                      const std::string& value) {
    core::AddError(IniFailureMessage(file, sectionAndKey, value));
}

void WriteIniValue(const std::string& file, const std::string& sectionAndKey,
                   const std::string& value) {
    const SectionAndKey target = SplitSectionAndKey(sectionAndKey);
    try {
        TIniFile ini(file);
        ini.WriteString(target.section, target.key, value);
    } catch (const std::exception&) {
        // The writer's own message is not shown: the report names the whole
        // command instead.
        ReportIniFailure(file, sectionAndKey, value);
    }
}

bool DirectoryPresent(const std::string& path) {
    const uint32_t attributes = Files().GetFileAttributesA(path);
    return attributes != platform::kInvalidFileAttributes &&
           (attributes & platform::kFileAttributeDirectory) != 0;
}

void MakeDirectoryChain(const std::string& path) {
    std::string level = path;
    if (!level.empty() && level.back() == '\\') {
        level.pop_back();
    }
    if (level.size() < kShortestChainPath || DirectoryPresent(level)) {
        return;
    }
    const auto cut = level.find_last_of("\\:");
    const std::string parent = cut == std::string::npos ? std::string() : level.substr(0, cut + 1);
    // A path ending in ":" ("ABC:") is its own parent: climbing there again
    // would never end. A parent ending in "\" is shortened by the next level.
    if (parent.size() < level.size() || (!parent.empty() && parent.back() == '\\')) {
        MakeDirectoryChain(parent);
    }
    // Refusals are not examined (see the header): what cannot be created
    // stays missing, and the commands that use it report that.
    static_cast<void>(Files().CreateDirectoryA(level));
}

void EnsureDirectory(const std::string& directory) {
    try {
        if (!DirectoryPresent(directory)) {
            MakeDirectoryChain(directory);
        }
    } catch (const std::exception& failure) {
        core::AddError(MkdirFailureMessage(directory, failure.what()));
    }
}

}  // namespace script
