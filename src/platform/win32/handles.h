// Move-only owners of Windows handles (platform/unique_handle.h): each
// closes its handle exactly once.
#pragma once
#include <windows.h>

#include "platform/unique_handle.h"

namespace platform::win32 {

struct FileHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
using UniqueFile = UniqueHandle<HANDLE, FileHandleTraits>;

struct FindHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::FindClose(h); }
};
using UniqueFind = UniqueHandle<HANDLE, FindHandleTraits>;

struct KeyHandleTraits {
    static HKEY Invalid() { return nullptr; }
    static void Close(HKEY h) { ::RegCloseKey(h); }
};
using UniqueHkey = UniqueHandle<HKEY, KeyHandleTraits>;

}  // namespace platform::win32
