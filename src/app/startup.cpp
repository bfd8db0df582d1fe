#include "app/startup.h"

#include <memory>

#include "core/error_list.h"
#include "core/exit_list.h"
#include "logon/identity.h"
#include "logon/logon.h"
#include "logon/settings.h"
#include "platform/platform.h"
#include "platform/system.h"
#include "script/registry_commands.h"
#include "script/run.h"

namespace app {

void InitLogon(logon::LogonProgress* progress) {
    // FreeLogon goes on the exit list before anything is created, so it
    // runs at program end even when a later step fails.
    core::AddExitProc(script::FreeLogon);
    script::CreateScriptRegistry();
    logon::ClearIdentity();
    core::ErrorList = std::make_unique<core::TStringList>();

    logon::LogonInput input;
    input.configFileName = ProgramConfigFileName();
    logon::LoadLogonContext(input, progress);
}

std::string ProgramConfigFileName() {
    return logon::ConfigFileNameFor(platform::Current().system().ModulePath());
}

}  // namespace app
