#include "platform/arguments.h"

#include <windows.h>

// After windows.h, which it needs.
#include <shellapi.h>

#include "platform/win32/command_line.h"
#include "platform/win32/handles.h"
#include "platform/win32/last_error.h"
#include "platform/win32/wide.h"

namespace platform {

namespace win32 {

namespace {

// CommandLineToArgvW's array of arguments, one block freed by LocalFree.
using UniqueArgv = UniqueHandle<LPWSTR*, NullHandleTraits<LPWSTR*, ::LocalFree>>;

}  // namespace

uint32_t SplitCommandLine(const wchar_t* commandLine, std::vector<std::string>* arguments) {
    int count = 0;
    const UniqueArgv argv(::CommandLineToArgvW(commandLine, &count));
    if (!argv) {
        return LastErrorOr(ERROR_NOT_ENOUGH_MEMORY);
    }
    arguments->clear();
    for (int i = 0; i < count; ++i) {
        arguments->push_back(Narrow(argv.get()[i]));
    }
    return 0;
}

}  // namespace win32

std::vector<std::string> ProgramArguments(int argc, const char* const* argv) {
    std::vector<std::string> arguments;
    if (win32::SplitCommandLine(::GetCommandLineW(), &arguments) != 0 || arguments.empty()) {
        arguments.assign(argv, argv + argc);
    }
    if (!arguments.empty()) {
        arguments.erase(arguments.begin());  // the program's own name
    }
    return arguments;
}

// The Windows program takes no arguments and ignores any it is given.
std::optional<int> HandleProgramArguments(const std::vector<std::string>&) {
    return std::nullopt;
}

}  // namespace platform
