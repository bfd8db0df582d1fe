#include "platform/win32/dll_search.h"

#include <string>

namespace platform::win32 {

bool SearchSystem32Only() {
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const FARPROC proc = kernel ? ::GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
    if (!proc) {
        return false;
    }
    using SetDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDirectories =
        reinterpret_cast<SetDirectoriesFn>(reinterpret_cast<void (*)()>(proc));
    return setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    if (HMODULE module = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        return module;
    }
    if (::GetLastError() != ERROR_INVALID_PARAMETER) {
        return nullptr;  // the system knows the flag: System32 lacks the DLL
    }
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr;
    }
    const std::wstring path = std::wstring(folder, length) + L"\\" + name;
    return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace platform::win32
