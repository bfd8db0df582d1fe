// Every module's state put back as a fresh process has it: what one test
// leaves in the lists, the identity, the script's registry or the exit list
// never reaches the next. PlatformTest does it before and after each test;
// a fixture without a platform of its own calls it itself.
#pragma once
#include <string>
#include <vector>

namespace testsupport {

// Runs the exit list first (the routines registered so far release what
// they own, the window before the logon context), then clears what is left:
// the form module, ScriptRegistry and its attached hive, ErrorList,
// CodeList, the settings and the identity.
void ResetModuleState();

// The messages ErrorList holds now (none while there is no list).
std::vector<std::string> Errors();

}  // namespace testsupport
