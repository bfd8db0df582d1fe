#include "logon/logon.h"

#include "core/error_list.h"
#include "logon/identity.h"
#include "logon/macros.h"
#include "logon/settings.h"

namespace logon {

bool LoadSettingsFile(const std::string& configFileName) {
    const bool loaded = LoadConfig(configFileName);
    if (!loaded) {
        core::AddError(LoadFailureMessage(configFileName));
    }
    return loaded;
}

void LearnIdentity(const IdentityInput& given) {
    UserName = given.user ? *given.user : CurrentUserName();
    MachineName = given.machine ? *given.machine : CurrentMachineName();
    FullName = CurrentFullName();
    GroupName = given.group ? *given.group : CurrentGroupName();
    DateTimeText = given.dateTime ? *given.dateTime : CurrentDateTimeText();
}

void DefineMacros() {
    // Each inserted at the top, so the final order is Group, Fullname, UIDL,
    // UID, DateTime, MachId, then the macros file's lines.
    MacroList->Insert(0, "MachId=" + MachineName);
    MacroList->Insert(0, "DateTime=" + DateTimeText);
    MacroList->Insert(0, "UID=" + UidMacroValue(UserName));
    MacroList->Insert(0, "UIDL=" + UidlMacroValue(UserName));
    MacroList->Insert(0, "Fullname=" + FullName);
    MacroList->Insert(0, "Group=" + GroupName);

    ExpandMacros(*MacroList);
}

void LoadLogonContext(const LogonInput& input, LogonProgress* progress) {
    LogonProgress ignored;
    LogonProgress& at = progress != nullptr ? *progress : ignored;

    at.step = LogonStep::kSettings;
    at.settingsLoaded = LoadSettingsFile(input.configFileName);
    at.macrosFileLines = MacroList->Count();

    at.step = LogonStep::kFullNameList;
    LoadFullNameList(input.userListFile ? *input.userListFile : UserListFile);

    at.step = LogonStep::kIdentity;
    LearnIdentity(input.identity);

    at.step = LogonStep::kMacros;
    DefineMacros();
    at.step = LogonStep::kDone;
}

}  // namespace logon
