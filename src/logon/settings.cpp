#include "logon/settings.h"

#include <array>

#include "core/exceptions.h"
#include "platform/files.h"
#include "platform/system.h"

namespace logon {

namespace {

struct Setting {
    const char* key;
    std::string LogonContext::*value;
};

// The settings in the order LoadConfig reads them.
constexpr std::array<Setting, 9> kSettings = {{
    {"Machine", &LogonContext::MachineDir},
    {"User", &LogonContext::UserDir},
    {"Group", &LogonContext::GroupDir},
    {"Global", &LogonContext::GlobalDir},
    {"Notice", &LogonContext::NoticeFile},
    {"Default", &LogonContext::DefaultName},
    {"UserList", &LogonContext::UserListFile},
    {"Process", &LogonContext::ProcessOrder},
    {"Extension", &LogonContext::ScriptExtension},
}};

constexpr const char* kLoadFailed = "Failed to load ";

}  // namespace

std::string ConfigFileNameFor(const std::string& programPath) {
    const auto lastSeparator = programPath.find_last_of("\\/:");
    const std::string fileName =
        lastSeparator == std::string::npos ? programPath : programPath.substr(lastSeparator + 1);
    const bool hasThreeLetterExtension =
        fileName.size() >= 4 && fileName[fileName.size() - 4] == '.';
    if (!hasThreeLetterExtension) {
        return programPath + ".INI";
    }
    return programPath.substr(0, programPath.size() - 3) + "INI";
}

std::string LoadFailureMessage(const std::string& configFileName) {
    return kLoadFailed + configFileName;
}

void EnsureTrailingBackslash(std::string& path) {
    if (path.empty() || path.back() != '\\') {
        path += '\\';
    }
}

bool LoadConfig(LogonContext& context, const std::string& path) {
    context.ConfigList = std::make_unique<core::TStringList>();
    context.MacroList = std::make_unique<core::TStringList>();
    platform::Files& files = context.services.files();
    platform::System& locale = context.services.system();
    try {
        context.ConfigList->LoadFromFile(files, path);
    } catch (const core::EFOpenError&) {
        return false;
    }
    const std::string macrosFile = context.ConfigList->ValueOf(kMacrosKey, locale);
    if (!macrosFile.empty()) {
        context.MacroList->LoadFromFile(files, macrosFile);
    }
    for (const Setting& setting : kSettings) {
        const std::string value = context.ConfigList->ValueOf(setting.key, locale);
        if (!value.empty()) {
            context.*setting.value = value;
        }
    }
    EnsureTrailingBackslash(context.UserDir);
    EnsureTrailingBackslash(context.GroupDir);
    EnsureTrailingBackslash(context.MachineDir);
    EnsureTrailingBackslash(context.GlobalDir);
    return true;
}

bool EventLogEnabled(LogonContext& context) {
    return !context.ConfigList ||
           context.ConfigList->ValueOf(kEventLogKey, context.services.system()) != "0";
}

}  // namespace logon
