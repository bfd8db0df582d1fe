// Child processes of the timing program: a batch script run to its end, and
// a program started until its window is on the screen (then closed again).
#include <windows.h>

#include <chrono>
#include <memory>

#include "logon_timing.h"
#include "support/program.h"

namespace timing {

const char* const kPlainWindowClass = "TarnwickTimingPlainWindow";

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string Win32Failure(const std::string& what, unsigned long error) {
    return what + " (error " + std::to_string(error) + ")";
}

// A started child, ended when it goes out of scope unless it has ended by
// itself.
class Child {
  public:
    bool Start(std::string commandLine, const std::string& directory) {
        testsupport::ProgramStart start;
        start.commandLine = std::move(commandLine);
        start.directory = directory;
        return Started(start);
    }
    bool Start(const std::string& program, const std::string& arguments,
               const std::string& directory) {
        testsupport::ProgramStart start;
        start.program = program;
        if (!arguments.empty()) {
            start.args = {arguments};
        }
        start.directory = directory;
        return Started(start);
    }
    // True when the process ended within `ms` milliseconds.
    bool Ended(DWORD ms) const { return program_->Wait(std::chrono::milliseconds(ms)).has_value(); }
    DWORD ExitCode() const {
        return static_cast<DWORD>(program_->Wait(std::chrono::milliseconds(0)).value_or(0));
    }
    unsigned long StartError() const { return program_->startErrorCode(); }
    DWORD Id() const { return static_cast<DWORD>(program_->id()); }
    void WaitUntilIdle(DWORD ms) const {
        ::WaitForInputIdle(static_cast<HANDLE>(program_->handle()), ms);
    }

  private:
    bool Started(const testsupport::ProgramStart& start) {
        program_ = std::make_unique<testsupport::Program>(start);
        return program_->startError().empty();
    }

    std::unique_ptr<testsupport::Program> program_;
};

// A visible top-level window of the class that belongs to the process. A
// lookup by class costs the window server little, so it can be repeated
// every millisecond without slowing the program that is being watched
// (enumerating every window that often does).
HWND VisibleWindowOf(DWORD process, const char* className) {
    HWND window = nullptr;
    while ((window = ::FindWindowExA(nullptr, window, className, nullptr)) != nullptr) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == process && ::IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

ProcessTiming RunToExit(const std::string& commandLine, const std::string& directory,
                        double limitSeconds) {
    ProcessTiming result;
    Child child;
    const auto start = Clock::now();
    if (!child.Start(commandLine, directory)) {
        result.failure = Win32Failure("cannot start " + commandLine, child.StartError());
        return result;
    }
    if (!child.Ended(static_cast<DWORD>(limitSeconds * 1000))) {
        result.failure = commandLine + " did not end within " +
                         std::to_string(static_cast<int>(limitSeconds)) + " s";
        return result;
    }
    result.seconds = SecondsSince(start);
    if (child.ExitCode() != 0) {
        result.failure = commandLine + " ended with exit code " + std::to_string(child.ExitCode());
        return result;
    }
    result.ok = true;
    return result;
}

ProcessTiming RunToWindow(const std::string& program, const std::string& arguments,
                          const std::string& directory, const std::string& windowClass,
                          double limitSeconds) {
    ProcessTiming result;
    Child child;
    const auto start = Clock::now();
    if (!child.Start(program, arguments, directory)) {
        result.failure = Win32Failure("cannot start " + program, child.StartError());
        return result;
    }
    // Asking for the window while the program works would slow it down:
    // every question is a request to the window server, which the program
    // needs for its own registry and window calls. So the first idle moment
    // of its message loop is awaited, which costs nothing, and only from
    // then on the window is looked for, every millisecond.
    child.WaitUntilIdle(static_cast<DWORD>(limitSeconds * 1000));
    HWND window = nullptr;
    while (!window) {
        window = VisibleWindowOf(child.Id(), windowClass.c_str());
        if (window) {
            break;
        }
        if (child.Ended(1)) {
            result.failure = program + " ended (exit code " + std::to_string(child.ExitCode()) +
                             ") before its window was shown";
            return result;
        }
        if (SecondsSince(start) > limitSeconds) {
            result.failure = program + " showed no window within " +
                             std::to_string(static_cast<int>(limitSeconds)) + " s";
            return result;
        }
    }
    result.seconds = SecondsSince(start);
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    if (!child.Ended(static_cast<DWORD>(limitSeconds * 1000))) {
        result.failure = program + " did not end after its window was closed";
        return result;
    }
    if (child.ExitCode() != 0) {
        result.failure = program + " ended with exit code " + std::to_string(child.ExitCode());
        return result;
    }
    result.ok = true;
    return result;
}

int ShowPlainWindow(bool withRichEdit) {
    if (withRichEdit && !::LoadLibraryA("RICHED32.DLL")) {
        return 1;
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PlainWindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kPlainWindowClass;
    if (!::RegisterClassA(&windowClass)) {
        return 1;
    }
    HWND window = ::CreateWindowExA(0, kPlainWindowClass, "Timing", WS_OVERLAPPED | WS_CAPTION,
                                    CW_USEDEFAULT, CW_USEDEFAULT, 400, 360, nullptr, nullptr,
                                    windowClass.hInstance, nullptr);
    if (!window) {
        return 1;
    }
    if (withRichEdit &&
        !::CreateWindowExA(0, "RICHEDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 10, 10, 360,
                           150, window, nullptr, windowClass.hInstance, nullptr)) {
        return 1;
    }
    ::ShowWindow(window, SW_SHOW);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}

}  // namespace timing
