#include "app/startup.h"

#include <memory>

#include "logon/settings.h"
#include "platform/system.h"

namespace app {

void InitLogon(logon::LogonContext& context, logon::LogonProgress* progress) {
    context.CreateScriptRegistry();
    context.ClearIdentity();
    context.ErrorList = std::make_unique<core::TStringList>();

    logon::LogonInput input;
    input.configFileName = ProgramConfigFileName(context.services);
    logon::LoadLogonContext(context, input, progress);
}

std::string ProgramConfigFileName(const platform::Services& services) {
    return logon::ConfigFileNameFor(services.system().ModulePath());
}

}  // namespace app
