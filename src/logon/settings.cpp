#include "logon/settings.h"

#include <array>

#include "core/exceptions.h"
#include "core/exit_list.h"

namespace logon {

std::string MachineDir, UserDir, GroupDir, GlobalDir, NoticeFile, DefaultName, UserListFile,
    ProcessOrder, ScriptExtension;
std::unique_ptr<core::TStringList> ConfigList;
std::unique_ptr<core::TStringList> MacroList;

namespace {

struct Setting {
    const char* key;
    std::string* value;
    const char* defaultValue;
};

// The settings in the order LoadConfig reads them.
const std::array<Setting, 9>& SettingsTable() {
    static const std::array<Setting, 9> table = {{
        {"Machine", &MachineDir, "MACHINE\\"},
        {"User", &UserDir, "USER\\"},
        {"Group", &GroupDir, "GROUP\\"},
        {"Global", &GlobalDir, "GLOBAL\\"},
        {"Notice", &NoticeFile, "NOTICE.RTF"},
        {"Default", &DefaultName, "_DEFAULT"},
        {"UserList", &UserListFile, "USERLIST.DAT"},
        {"Process", &ProcessOrder, "*gGuUmM"},
        {"Extension", &ScriptExtension, ".DAT"},
    }};
    return table;
}

constexpr const char* kLoadFailed = "Failed to load ";

// Defaults are in force from process start, before any code runs.
const bool g_defaultsSet = [] {
    ResetSettings();
    return true;
}();

}  // namespace

void ResetSettings() {
    for (const Setting& setting : SettingsTable()) {
        *setting.value = setting.defaultValue;
    }
    MacroList.reset();
    ConfigList.reset();
}

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

bool LoadConfig(const std::string& path) {
    ConfigList = std::make_unique<core::TStringList>();
    MacroList = std::make_unique<core::TStringList>();
    try {
        ConfigList->LoadFromFile(path);
    } catch (const core::EFOpenError&) {
        return false;
    }
    const std::string macrosFile = ConfigList->ValueOf(kMacrosKey);
    if (!macrosFile.empty()) {
        MacroList->LoadFromFile(macrosFile);
    }
    for (const Setting& setting : SettingsTable()) {
        const std::string value = ConfigList->ValueOf(setting.key);
        if (!value.empty()) {
            *setting.value = value;
        }
    }
    EnsureTrailingBackslash(UserDir);
    EnsureTrailingBackslash(GroupDir);
    EnsureTrailingBackslash(MachineDir);
    EnsureTrailingBackslash(GlobalDir);
    return true;
}

bool EventLogEnabled() {
    return !ConfigList || ConfigList->ValueOf(kEventLogKey) != "0";
}

void FreeSettings() {
    MacroList.reset();
    ConfigList.reset();
}

void InitSettingsModule() {
    (void)g_defaultsSet;
    core::AddExitProc(FreeSettings);
}

}  // namespace logon
