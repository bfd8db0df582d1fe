// Where the modules are put together at start-up: the logon module's
// initialisation, which creates the objects of the script module before it
// loads the logon context.
#pragma once
#include <string>

#include "logon/context.h"
#include "logon/logon.h"
#include "platform/platform.h"

namespace app {

// Creates ScriptRegistry, empties the identity values, creates ErrorList,
// then loads the logon context: the settings file next to the program, the
// full-name list, the identity the system reports and the built-in macros,
// expanded. `progress` (when given) tells how far the logon context came,
// for the report of a failure that ends start-up. The context releases what
// was created in the shutdown order whenever it ends, also after a failure.
void InitLogon(logon::LogonContext& context, logon::LogonProgress* progress = nullptr);

// The settings file of the running program: the one next to it, with its
// last three characters replaced by "INI".
std::string ProgramConfigFileName(const platform::Services& services);

}  // namespace app
