// The program's arguments read from the Windows command line in UTF-16.
#include "platform/win32/command_line.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>
#include <vector>

#include "platform/arguments.h"
#include "platform/win32/wide.h"

namespace {

using Arguments = std::vector<std::string>;

TEST(Win32CommandLineTest, SplitsAsWindowsSplitsItsCommandLines) {
    const struct {
        const wchar_t* commandLine;
        Arguments arguments;
    } cases[] = {
        {L"tarnwick-check.exe", {"tarnwick-check.exe"}},
        {L"\"C:\\Program Files\\t.exe\"  --json\t--share \\\\SERVER\\Login",
         {"C:\\Program Files\\t.exe", "--json", "--share", "\\\\SERVER\\Login"}},
        {L"t.exe \"two words\" x\\\"y \"\"", {"t.exe", "two words", "x\"y", ""}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"left over"};
        EXPECT_EQ(platform::win32::SplitCommandLine(c.commandLine, &arguments), 0u);
        EXPECT_EQ(arguments, c.arguments) << platform::win32::Narrow(c.commandLine);
    }
}

// The split is Windows' own: every command line splits as
// CommandLineToArgvW splits it.
TEST(Win32CommandLineTest, SplitsAsCommandLineToArgvW) {
    for (const wchar_t* line :
         {L"a.exe", L"\"C:\\x y\\a.exe\"b c", L"a.exe   x\ty  ", L"a.exe \\\\\"x y\" z",
          L"a.exe \\\\\\\"x \\\\ y\\", L"a.exe \"a\"\"b\" c", L"a.exe \"\"\"x\"\"\"",
          L"a.exe \"open", L"a.exe x\"y z\"w", L"\"a.exe", L"a.exe \"\" \"\""}) {
        int count = 0;
        LPWSTR* expected = ::CommandLineToArgvW(line, &count);
        ASSERT_NE(expected, nullptr);
        Arguments windows;
        for (int i = 0; i < count; ++i) {
            windows.push_back(platform::win32::Narrow(expected[i]));
        }
        ::LocalFree(expected);
        Arguments ours;
        EXPECT_EQ(platform::win32::SplitCommandLine(line, &ours), 0u);
        EXPECT_EQ(ours, windows) << platform::win32::Narrow(line);
    }
}

// In the ANSI code page these names are lost before the program sees them.
TEST(Win32CommandLineTest, NamesOfEveryScriptArriveAsUtf8) {
    Arguments arguments;
    ASSERT_EQ(platform::win32::SplitCommandLine(
                  L"t.exe --user \u0141ukasz \"\u0395\u03bb\u03ad\u03bd\u03b7 \u6771\u4eac\"",
                  &arguments),
              0u);
    EXPECT_EQ(arguments, (Arguments{"t.exe", "--user", "\xC5\x81ukasz",
                                    "\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7 "
                                    "\xE6\x9D\xB1\xE4\xBA\xAC"}));
}

// The arguments come from the process's own command line, not from main's
// (here none at all): those of this test program, without its name.
TEST(Win32CommandLineTest, TheProgramsArgumentsAreThoseOfItsCommandLine) {
    const Arguments expected(__argv + 1, __argv + __argc);
    EXPECT_EQ(platform::ProgramArguments(0, nullptr), expected);
}

}  // namespace
