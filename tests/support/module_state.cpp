#include "support/module_state.h"

#include "app/logon_event.h"
#include "app/tarnwick_form.h"
#include "core/error_list.h"
#include "core/exit_list.h"
#include "logon/identity.h"
#include "logon/settings.h"
#include "script/registry_commands.h"
#include "script/run.h"

namespace testsupport {

void ResetModuleState() {
    core::RunExitProcs();
    app::ResetFormModule();
    app::ResetLogonEvent();
    script::ResetScriptRegistry();
    core::ErrorList.reset();
    script::CodeList.reset();
    logon::ResetSettings();
    logon::ResetIdentity();
}

std::vector<std::string> Errors() {
    return core::ErrorList ? core::ErrorList->Lines() : std::vector<std::string>();
}

}  // namespace testsupport
