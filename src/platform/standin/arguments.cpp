#include "platform/arguments.h"

#include <string>

#include "platform/console.h"
#include "tarnwick_version.h"

namespace platform {

namespace {

constexpr int kDone = 0;
constexpr int kUsageError = 2;

// Also the source of the man page (help2man): a "Usage:" line, the
// description, then "Options:".
constexpr const char* kUsage =
    "Usage: tarnwick [--help | --version]\n"
    "\n"
    "Runs the logon script of the login share in the current folder on a\n"
    "stand-in Windows workstation, as tarnwick.exe runs it when a user logs on,\n"
    "so that a logon of any user on any machine can be tried before it is rolled\n"
    "out. The login window is drawn as text.\n"
    "\n"
    "The settings file lies next to the program: its path with .INI appended\n"
    "(names are found ignoring letter case, so tarnwick.ini does too). Relative\n"
    "paths in it are relative to the current folder.\n"
    "\n"
    "The stand-in workstation is the state folder $XDG_STATE_HOME/tarnwick\n"
    "(~/.local/state/tarnwick when XDG_STATE_HOME is not set): its drives,\n"
    "network shares, registry, event log and the user's connections. Its\n"
    "identity.ini names who logs on where, in User= and Machine= lines, and the\n"
    "user's rights in a Rights=Standard (the default) or Rights=Administrator\n"
    "line, and the workstation's ANSI code page in a CodePage= line (1252 unless\n"
    "it says otherwise); without it, this machine's login name and host name, a\n"
    "standard user's rights and code page 1252.\n"
    "\n"
    "Script files, the settings file, the macros file, the full-name list and a\n"
    "plain-text news file may be UTF-8 or UTF-16 (with a byte-order mark), or\n"
    "UTF-8 without one, as today's Notepad saves them; any other file is text\n"
    "of the ANSI code page.\n"
    "\n"
    "Exit status: 0 when the window was closed, 1 when start-up failed, 2 for an\n"
    "argument the program does not take.\n"
    "\n"
    "Options:\n"
    "  --help     print this text and exit\n"
    "  --version  print the program's version and exit\n";

}  // namespace

// Linux gives main its arguments as they were passed: UTF-8 text.
std::vector<std::string> ProgramArguments(int argc, const char* const* argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

std::optional<int> HandleProgramArguments(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return std::nullopt;
    }
    // Printing can only fail when the output is gone; the exit code still tells.
    if (arguments.size() == 1 && arguments[0] == "--help") {
        static_cast<void>(WriteOut(kUsage));
        return kDone;
    }
    if (arguments.size() == 1 && arguments[0] == "--version") {
        static_cast<void>(WriteOut("tarnwick " TARNWICK_VERSION "\n"));
        return kDone;
    }
    std::string refused = "--help and --version are taken alone";
    for (const std::string& argument : arguments) {
        if (argument != "--help" && argument != "--version") {
            refused = "unknown argument " + argument;
            break;
        }
    }
    static_cast<void>(WriteErr("tarnwick: " + refused + "\n" + kUsage));
    return kUsageError;
}

}  // namespace platform
