// Move-only owners of window-system handles: windows, fonts, brushes, a
// loaded library, and a window's device context for the span of a scope.
#pragma once
#include <windows.h>

#include "platform/win32/handles.h"

namespace platform::win32 {

using UniqueHwnd = UniqueHandle<HWND, NullHandleTraits<HWND, ::DestroyWindow>>;
using UniqueFont = UniqueHandle<HFONT, NullHandleTraits<HFONT, ::DeleteObject>>;
using UniqueBrush = UniqueHandle<HBRUSH, NullHandleTraits<HBRUSH, ::DeleteObject>>;
using UniqueModule = UniqueHandle<HMODULE, NullHandleTraits<HMODULE, ::FreeLibrary>>;

// GetDC for a window, released with ReleaseDC; the object selected into it
// is put back first.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_) {
            if (previous_) {
                ::SelectObject(dc_, previous_);
            }
            ::ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return dc_; }
    void Select(HGDIOBJ object) {
        if (dc_ && object) {
            HGDIOBJ old = ::SelectObject(dc_, object);
            if (!previous_) {
                previous_ = old;
            }
        }
    }

  private:
    HWND window_;
    HDC dc_;
    HGDIOBJ previous_ = nullptr;
};

}  // namespace platform::win32
