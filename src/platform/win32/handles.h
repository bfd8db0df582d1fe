// Move-only owners of Windows handles (platform/unique_handle.h): each
// closes its handle exactly once.
#pragma once
#include <windows.h>

#include "platform/unique_handle.h"

namespace platform::win32 {

// The traits of a handle that `Closer` closes and whose "no handle" is null.
template <typename Handle, auto Closer>
struct NullHandleTraits {
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { Closer(h); }
};

// The same for the kernel handles whose "no handle" is INVALID_HANDLE_VALUE
// (CreateFile's and FindFirstFile's).
template <auto Closer>
struct InvalidValueHandleTraits : NullHandleTraits<HANDLE, Closer> {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
};

using UniqueFile = UniqueHandle<HANDLE, InvalidValueHandleTraits<::CloseHandle>>;
using UniqueFind = UniqueHandle<HANDLE, InvalidValueHandleTraits<::FindClose>>;
using UniqueHkey = UniqueHandle<HKEY, NullHandleTraits<HKEY, ::RegCloseKey>>;

}  // namespace platform::win32
