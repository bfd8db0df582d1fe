// Running the program as a logon does, for the tools that drive the real
// window system (under Wine inside Xvfb): the program runs its script before
// its window appears, so the window is closed as soon as it is visible, and
// a message box is answered with OK after its text is kept.
// Header-only, so that programs without the test framework can use it too.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "support/win32/windows_on_screen.h"

namespace testsupport {

// A handle closed when it goes out of scope.
struct OwnedHandle {
    HANDLE value = nullptr;
    OwnedHandle() = default;
    explicit OwnedHandle(HANDLE handle) : value(handle) {}
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    ~OwnedHandle() {
        if (value && value != INVALID_HANDLE_VALUE) {
            ::CloseHandle(value);
        }
    }
};

struct ProgramRun {
    DWORD startError = 0;  // not 0: the command could not be started
    bool ended = false;    // false: it ran past the limit and was ended
    DWORD exitCode = 0;
    std::string messageBox;    // "[caption] text" of the last message box it showed, if any
    std::string messageBoxes;  // every message box's "[caption] text", a line each
};

struct RunRequest {
    const char* application = nullptr;  // null: the command line's first word
    std::string commandLine;
    const char* directory = nullptr;  // null: this process's current folder
    HANDLE output = nullptr;          // standard output and error; null: inherited
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
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (request.output) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = request.output;
        startup.hStdError = request.output;
    }
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(request.application, request.commandLine.data(), nullptr, nullptr, TRUE,
                          0, nullptr, request.directory, &startup, &info)) {
        run.startError = ::GetLastError();
        return run;
    }
    OwnedHandle process{info.hProcess};
    OwnedHandle thread{info.hThread};
    bool closing = false;
    const DWORD start = ::GetTickCount();
    while (::WaitForSingleObject(process.value, 20) == WAIT_TIMEOUT) {
        if (::GetTickCount() - start > request.limitMs) {
            ::TerminateProcess(process.value, 99);
            ::WaitForSingleObject(process.value, 5000);
            return run;
        }
        if (HWND box = VisibleWindow(info.dwProcessId, request.anyProcess, kDialogClass)) {
            run.messageBox =
                "[" + WindowText(box) + "] " + WindowText(::GetDlgItem(box, kMessageTextId));
            run.messageBoxes += run.messageBox + "\n";
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
            // Until the box has gone, the program has ended or the time is up.
            while (VisibleWindow(info.dwProcessId, request.anyProcess, kDialogClass) == box &&
                   ::WaitForSingleObject(process.value, 20) == WAIT_TIMEOUT &&
                   ::GetTickCount() - start <= request.limitMs) {
            }
            continue;
        }
        if (!closing) {
            if (HWND window =
                    VisibleWindow(info.dwProcessId, request.anyProcess, kLoginWindowClass)) {
                closing = request.atWindow ? request.atWindow(window)
                                           : ::PostMessageA(window, WM_CLOSE, 0, 0) != FALSE;
            }
        }
    }
    run.ended = true;
    ::GetExitCodeProcess(process.value, &run.exitCode);
    return run;
}

}  // namespace testsupport
