// run_logon "COMMAND LINE": runs a logon as Windows starts one (for example
// `cmd /c \\server\NETLOGON\logon.cmd`) from this process's current folder,
// closes the login window of the program it starts once it is visible,
// answers a message box with OK, and exits with the command's exit code.
// A message box's text is printed first, as "message box: [caption] text".
#include <cstdio>

#include "support/win32/program_run.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: run_logon \"COMMAND LINE\"\n", stderr);
        return 2;
    }
    testsupport::RunRequest request;
    request.start.commandLine = argv[1];
    request.anyProcess = true;
    const testsupport::ProgramRun run = testsupport::RunClosingLoginWindow(request);
    if (run.startError != 0) {
        std::fprintf(stderr, "run_logon: cannot start %s: error %lu\n", argv[1],
                     static_cast<unsigned long>(run.startError));
        return 2;
    }
    if (!run.messageBox.empty()) {
        std::printf("message box: %s\n", run.messageBox.c_str());
    }
    if (!run.ended) {
        std::fputs("run_logon: the logon did not end in time\n", stderr);
        return 99;
    }
    return static_cast<int>(run.exitCode);
}
