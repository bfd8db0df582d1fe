// The program's command-line arguments, looked at before anything else
// runs. The Windows program reads none: its configuration is the settings
// file next to it. The Linux build answers --help and --version and
// refuses anything else, so that neither starts a logon by mistake.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The arguments the program was started with, after its own name, in the
// program's text (UTF-8). `argc` and `argv` are main's. On Linux they are
// taken as they are; Windows gives main its arguments in the ANSI code
// page, which lacks most names, so there they are read again from the
// command line in UTF-16 (main's are the fallback should that fail).
std::vector<std::string> ProgramArguments(int argc, const char* const* argv);

// What the arguments ask for: no value when the logon goes ahead, or the
// exit code to end the program with at once (after printing what was asked
// for). Touches no state of the workstation.
std::optional<int> HandleProgramArguments(const std::vector<std::string>& arguments);

}  // namespace platform
