#include "platform/arguments.h"

#include <windows.h>

#include "platform/win32/command_line.h"
#include "platform/win32/wide.h"

namespace platform {

namespace win32 {

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

}  // namespace

// CommandLineToArgvW's rules (Microsoft Learn, CommandLineToArgvW, and
// "Parsing C++ command-line arguments"), kept here so that the programs
// need not load SHELL32.DLL at every logon for them:
//   - the program's name runs to the first blank, or, when it begins with a
//     quote, to the next quote, backslashes and all;
//   - blanks outside quotes separate the other arguments; a quote begins or
//     ends a quoted part, and two quotes within one stand for a quote and
//     end it;
//   - 2n backslashes before a quote are n backslashes, and the quote counts
//     as one; 2n + 1 are n backslashes and a quote that is text; backslashes
//     before anything else are text.
uint32_t SplitCommandLine(const wchar_t* commandLine, std::vector<std::string>* arguments) {
    arguments->clear();
    const std::wstring_view line(commandLine == nullptr ? L"" : commandLine);
    size_t at = 0;
    std::wstring name;
    if (!line.empty() && line[0] == L'"') {
        const size_t close = line.find(L'"', 1);
        name =
            line.substr(1, close == std::wstring_view::npos ? std::wstring_view::npos : close - 1);
        at = close == std::wstring_view::npos ? line.size() : close + 1;
    } else {
        while (at < line.size() && !IsBlank(line[at])) {
            name += line[at++];
        }
    }
    arguments->push_back(Narrow(name.c_str(), static_cast<int>(name.size())));
    while (true) {
        while (at < line.size() && IsBlank(line[at])) {
            ++at;
        }
        if (at >= line.size()) {
            return 0;
        }
        std::wstring argument;
        bool quoted = false;
        while (at < line.size() && (quoted || !IsBlank(line[at]))) {
            size_t backslashes = 0;
            while (at < line.size() && line[at] == L'\\') {
                ++backslashes;
                ++at;
            }
            if (at < line.size() && line[at] == L'"') {
                argument.append(backslashes / 2, L'\\');
                if (backslashes % 2 == 1) {
                    argument += L'"';
                } else if (quoted && at + 1 < line.size() && line[at + 1] == L'"') {
                    // Two quotes within a quoted part: a quote, and the part ends.
                    argument += L'"';
                    quoted = false;
                    ++at;
                } else {
                    quoted = !quoted;
                }
                ++at;
            } else {
                argument.append(backslashes, L'\\');
                if (at < line.size() && (quoted || !IsBlank(line[at]))) {
                    argument += line[at++];
                }
            }
        }
        arguments->push_back(Narrow(argument.c_str(), static_cast<int>(argument.size())));
    }
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
