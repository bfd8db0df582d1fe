#include "logon/logon.h"

#include "logon/identity.h"
#include "logon/macros.h"
#include "logon/settings.h"

namespace logon {

bool LoadSettingsFile(LogonContext& context, const std::string& configFileName) {
    const bool loaded = LoadConfig(context, configFileName);
    if (!loaded) {
        context.AddError(LoadFailureMessage(configFileName));
    }
    return loaded;
}

void LearnIdentity(LogonContext& context, const IdentityInput& given) {
    context.UserName = given.user ? *given.user : CurrentUserName(context);
    context.MachineName = given.machine ? *given.machine : CurrentMachineName(context);
    context.FullName = CurrentFullName(context);
    context.GroupName = given.group ? *given.group : CurrentGroupName(context);
    context.DateTimeText = given.dateTime ? *given.dateTime : CurrentDateTimeText(context);
}

void DefineMacros(LogonContext& context) {
    core::TStringList& macros = *context.MacroList;
    // Each inserted at the top, so the final order is Group, Fullname, UIDL,
    // UID, DateTime, MachId, then the macros file's lines.
    macros.Insert(0, "MachId=" + context.MachineName);
    macros.Insert(0, "DateTime=" + context.DateTimeText);
    macros.Insert(0, "UID=" + UidMacroValue(context.UserName));
    macros.Insert(0, "UIDL=" + UidlMacroValue(context.UserName));
    macros.Insert(0, "Fullname=" + context.FullName);
    macros.Insert(0, "Group=" + context.GroupName);

    ExpandMacros(context, macros);
}

void LoadLogonContext(LogonContext& context, const LogonInput& input, LogonProgress* progress) {
    LogonProgress ignored;
    LogonProgress& at = progress != nullptr ? *progress : ignored;

    at.step = LogonStep::kSettings;
    at.settingsLoaded = LoadSettingsFile(context, input.configFileName);
    at.macrosFileLines = context.MacroList->Count();

    at.step = LogonStep::kFullNameList;
    LoadFullNameList(context, input.userListFile ? *input.userListFile : context.UserListFile);

    at.step = LogonStep::kIdentity;
    LearnIdentity(context, input.identity);

    at.step = LogonStep::kMacros;
    DefineMacros(context);
    at.step = LogonStep::kDone;
}

}  // namespace logon
