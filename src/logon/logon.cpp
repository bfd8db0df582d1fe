#include "logon/logon.h"

#include "core/exit_list.h"
#include "core/strings.h"
#include "logon/identity.h"
#include "logon/macros.h"
#include "logon/settings.h"
#include "platform/platform.h"
#include "platform/system.h"
#include "script/error_list.h"
#include "script/registry_commands.h"
#include "script/run.h"

namespace logon {

namespace {

// UID: the first two characters upper case, then at most 99 more in lower
// case (a user name never has more, its buffer holding 100 with the NUL).
std::string UidValue(const std::string& user) {
    return core::UpperAZ(core::Copy(user, 1, 2)) + core::LowerAZ(core::Copy(user, 3, 99));
}

}  // namespace

void InitLogon() {
    core::AddExitProc(script::FreeLogon);
    script::CreateScriptRegistry();

    UserName.clear();
    FullName.clear();
    MachineName.clear();
    DateTimeText.clear();
    GroupName.clear();

    script::ErrorList = std::make_unique<core::TStringList>();

    const std::string configFileName = ConfigFileNameFor(platform::Current().system->ModulePath());
    if (!LoadConfig(configFileName)) {
        script::AddError("Failed to load " + configFileName);
    }
    LoadFullNameList(UserListFile);

    UserName = CurrentUserName();
    MachineName = CurrentMachineName();
    FullName = CurrentFullName();
    GroupName = CurrentGroupName();
    DateTimeText = CurrentDateTimeText();

    // Each inserted at the top, so the final order is Group, Fullname, UIDL,
    // UID, DateTime, MachId, then the macros file's lines.
    MacroList->Insert(0, "MachId=" + MachineName);
    MacroList->Insert(0, "DateTime=" + DateTimeText);
    MacroList->Insert(0, "UID=" + UidValue(UserName));
    MacroList->Insert(0, "UIDL=" + core::LowerAZ(UserName));
    MacroList->Insert(0, "Fullname=" + FullName);
    MacroList->Insert(0, "Group=" + GroupName);

    ExpandMacros(*MacroList);
}

}  // namespace logon
