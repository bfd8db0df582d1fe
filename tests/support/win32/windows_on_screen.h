// Finding and reading the windows of a program on the screen, for the tests
// and tools that drive the real window system (under Wine inside Xvfb).
// Header-only, so that programs without the test framework can use it too.
#pragma once
#include <windows.h>

#include <string>

namespace testsupport {

// True under Wine rather than Windows.
inline bool UnderWine() {
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// True when windows can be made: under Wine that needs an X display,
// Windows itself always has one.
inline bool DisplayAvailable() {
    if (UnderWine() && ::GetEnvironmentVariableA("DISPLAY", nullptr, 0) == 0) {
        return false;
    }
    HWND probe = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
    if (!probe) {
        return false;
    }
    ::DestroyWindow(probe);
    return true;
}

// A window's whole text, however long (the diagnostics list of ten thousand
// macros), also of another process's window; a hung window gives up.
inline std::string WindowText(HWND window) {
    DWORD_PTR length = 0;
    ::SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                          SMTO_ABORTIFHUNG, 5000, &copied);
    text.resize(static_cast<size_t>(copied));
    return text;
}

namespace detail {
struct WindowSearch {
    DWORD process;
    const char* className;
    bool visibleOnly;
    HWND found;
};
inline BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    if (owner == search->process && std::string(name) == search->className &&
        (!search->visibleOnly || ::IsWindowVisible(window))) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace detail

// The first top-level window of `className` that `process` owns (a visible
// one when `visibleOnly`), or null.
inline HWND FindWindowOf(DWORD process, const char* className, bool visibleOnly = false) {
    detail::WindowSearch search{process, className, visibleOnly, nullptr};
    ::EnumWindows(detail::MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace testsupport
