// The program's command-line arguments, looked at before anything else
// runs. The Windows program reads none: its configuration is the settings
// file next to it. The Linux build answers --help and --version and
// refuses anything else, so that neither starts a logon by mistake.
#pragma once
#include <optional>

namespace platform {

// What the arguments ask for: no value when the logon goes ahead, or the
// exit code to end the program with at once (after printing what was asked
// for). Touches no state of the workstation.
std::optional<int> HandleProgramArguments(int argc, const char* const* argv);

}  // namespace platform
