// Running the program as a logon does, for the tools that drive the real
// window system (under Wine inside Xvfb): the program runs its script before
// its window appears, so the window is closed as soon as it is visible, and
// a message box is answered with OK after its text is kept. The program is
// started through support/program.h; no test framework in here, so that
// programs without one can use it too.
#pragma once
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

#include "support/program.h"
#include "support/win32/windows_on_screen.h"

namespace testsupport {

struct ProgramRun {
    DWORD startError = 0;  // not 0: the command could not be started
    bool ended = false;    // false: it ran past the limit and was ended
    DWORD exitCode = 0;
    std::string messageBox;    // "[caption] text" of the last message box it showed, if any
    std::string messageBoxes;  // every message box's "[caption] text", a line each
};

struct RunRequest {
    // The program, or a whole command line (then its first word names it).
    ProgramStart start;
    // The windows are looked for in the started process, or in every process
    // when the program is started by another one (cmd running logon.cmd).
    bool anyProcess = false;
    DWORD limitMs = 60000;
    // Called while the login window is visible until it returns true, which
    // says it has asked the window to close; without it the window is
    // closed at once.
    std::function<bool(HWND window)> atWindow;
};

inline HWND VisibleWindow(DWORD process, bool anyProcess, const char* className) {
    if (anyProcess) {
        HWND window = ::FindWindowA(className, nullptr);
        return window && ::IsWindowVisible(window) ? window : nullptr;
    }
    return FindWindowOf(process, className, /*visibleOnly=*/true);
}

// Runs the command until it ends, closing the login window once it is
// visible; past the limit the process is ended with exit code 99.
inline ProgramRun RunClosingLoginWindow(RunRequest request) {
    constexpr const char* kLoginWindowClass = "TarnwickLoginWindow";
    constexpr const char* kDialogClass = "#32770";
    constexpr int kMessageTextId = 0xFFFF;  // the static text of a message box

    ProgramRun run;
    Program program(request.start);
    if (!program.startError().empty()) {
        run.startError = static_cast<DWORD>(program.startErrorCode());
        return run;
    }
    const DWORD processId = static_cast<DWORD>(program.id());
    bool closing = false;
    const DWORD start = ::GetTickCount();
    constexpr std::chrono::milliseconds kPoll{20};
    while (!program.Wait(kPoll)) {
        if (::GetTickCount() - start > request.limitMs) {
            program.Kill(99);
            return run;
        }
        if (HWND box = VisibleWindow(processId, request.anyProcess, kDialogClass)) {
            run.messageBox =
                "[" + WindowText(box) + "] " + WindowText(::GetDlgItem(box, kMessageTextId));
            run.messageBoxes += run.messageBox + "\n";
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
            // Until the box has gone, the program has ended or the time is up.
            while (VisibleWindow(processId, request.anyProcess, kDialogClass) == box &&
                   !program.Wait(kPoll) && ::GetTickCount() - start <= request.limitMs) {
            }
            continue;
        }
        if (!closing) {
            if (HWND window = VisibleWindow(processId, request.anyProcess, kLoginWindowClass)) {
                closing = request.atWindow ? request.atWindow(window)
                                           : ::PostMessageA(window, WM_CLOSE, 0, 0) != FALSE;
            }
        }
    }
    run.ended = true;
    run.exitCode = static_cast<DWORD>(*program.Wait(kPoll));
    return run;
}

}  // namespace testsupport
