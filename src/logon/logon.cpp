#include "logon/logon.h"

#include "core/exit_list.h"
#include "logon/identity.h"
#include "logon/macros.h"
#include "logon/settings.h"
#include "platform/platform.h"
#include "platform/system.h"
#include "script/error_list.h"
#include "script/registry_commands.h"
#include "script/run.h"

namespace logon {

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
        script::AddError(LoadFailureMessage(configFileName));
    }
    LoadFullNameList(UserListFile);

    UserName = CurrentUserName();
    MachineName = CurrentMachineName();
    FullName = CurrentFullName();
    GroupName = CurrentGroupName();
    DateTimeText = CurrentDateTimeText();

    DefineMacros();
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

}  // namespace logon
