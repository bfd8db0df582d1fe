// Move-only owners of window-system handles: windows, fonts, brushes, a
// loaded library, and a window's device context for the span of a scope.
#pragma once
#include <windows.h>

#include "platform/win32/handles.h"

namespace platform::win32 {

struct WindowHandleTraits {
    static HWND Invalid() { return nullptr; }
    static void Close(HWND h) { ::DestroyWindow(h); }
};
using UniqueHwnd = UniqueHandle<HWND, WindowHandleTraits>;

struct FontHandleTraits {
    static HFONT Invalid() { return nullptr; }
    static void Close(HFONT h) { ::DeleteObject(h); }
};
using UniqueFont = UniqueHandle<HFONT, FontHandleTraits>;

struct BrushHandleTraits {
    static HBRUSH Invalid() { return nullptr; }
    static void Close(HBRUSH h) { ::DeleteObject(h); }
};
using UniqueBrush = UniqueHandle<HBRUSH, BrushHandleTraits>;

struct ModuleHandleTraits {
    static HMODULE Invalid() { return nullptr; }
    static void Close(HMODULE h) { ::FreeLibrary(h); }
};
using UniqueModule = UniqueHandle<HMODULE, ModuleHandleTraits>;

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
