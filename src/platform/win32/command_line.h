// A Windows command line split into its arguments, as the program's text.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace platform::win32 {

// The arguments of `commandLine` (as GetCommandLineW gives it), split as
// CommandLineToArgvW splits them, the program's name first, each turned
// into the program's text. Always 0: every command line splits.
uint32_t SplitCommandLine(const wchar_t* commandLine, std::vector<std::string>* arguments);

}  // namespace platform::win32
