#include "platform/win32/toolkit.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <iterator>

#include "platform/win32/dll_search.h"
#include "platform/win32/last_error.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

const wchar_t* const kApplicationClass = L"TarnwickApplication";
const wchar_t* const kMainWindowClass = L"TarnwickLoginWindow";

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr int kFirstControlId = 100;
// The rich-text box holds news files far longer than its default 32 K.
constexpr LPARAM kRichTextLimit = 16 * 1024 * 1024;
constexpr const wchar_t* kIconName = L"MAINICON";
// The Unicode rich edit control (version 2.0 and later), on every Windows
// the program runs on and under Wine: its text is UTF-16, so a name of any
// script shows, while RTF still streams in as bytes.
constexpr const wchar_t* kRichEditLibrary = L"RICHED20.DLL";
constexpr const wchar_t* kRichEditClass = RICHEDIT_CLASSW;
// The layout's figures are pixels at this DPI.
constexpr int kLayoutDpi = 96;
// The main window: a single fixed border with a caption and no border icons.
constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kMainExStyle = WS_EX_CONTROLPARENT;

// The one window procedure: the object behind a window travels in the
// creation parameters and then lives in GWLP_USERDATA.
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* target = reinterpret_cast<MessageTarget*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!target) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        const LRESULT result = ::DefWindowProcW(window, message, wParam, lParam);
        target->HandleDestroyed(window);
        return result;
    }
    return target->HandleMessage(window, message, wParam, lParam);
}

// The messages before which a plain box must hold its lines: those that
// show or draw it, give it the focus, or read its text or state.
bool NeedsTheLines(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SHOWWINDOW:
            return wParam != FALSE;
        case WM_WINDOWPOSCHANGING:
            return (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW) != 0;
        case WM_PAINT:
        case WM_PRINT:
        case WM_PRINTCLIENT:
        case WM_SETFOCUS:
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH:
        case WM_GETOBJECT:
        case WM_COPY:
            return true;
        default:
            return message >= EM_GETSEL && message <= EM_GETIMESTATUS;  // the edit messages
    }
}

bool SameFont(const FontSpec& a, const FontSpec& b) {
    return a.name == b.name && a.height == b.height && a.bold == b.bold;
}

// The bytes of one EM_STREAMIN, handed to the control in chunks.
struct StreamCursor {
    const char* data;
    size_t size;
    size_t position;
};

DWORD CALLBACK ReadChunk(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read) {
    auto* cursor = reinterpret_cast<StreamCursor*>(cookie);
    const size_t left = cursor->size - cursor->position;
    const size_t count = std::min(left, static_cast<size_t>(std::max<LONG>(size, 0)));
    std::memcpy(buffer, cursor->data + cursor->position, count);
    cursor->position += count;
    *read = static_cast<LONG>(count);
    return 0;
}

// Streams `size` bytes at `data` into a rich edit control in `format`; the
// stream's error.
DWORD StreamIn(HWND control, const void* data, size_t size, WPARAM format) {
    StreamCursor cursor{static_cast<const char*>(data), size, 0};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&cursor);
    stream.pfnCallback = ReadChunk;
    ::SendMessageW(control, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
    return stream.dwError;
}

// The per-monitor DPI calls of Windows 10, found at run time: Windows 7
// and 8, where the program runs too, lack them.
struct DpiCalls {
    decltype(&::GetDpiForWindow) getDpiForWindow = nullptr;
    decltype(&::AdjustWindowRectExForDpi) adjustWindowRectExForDpi = nullptr;
};

template <typename Function>
Function Resolve(HMODULE module, const char* name) {
    const FARPROC proc = module ? ::GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
}

const DpiCalls& Dpi() {
    static const DpiCalls calls = [] {
        const HMODULE user = ::GetModuleHandleW(L"user32.dll");
        DpiCalls found;
        found.getDpiForWindow = Resolve<decltype(found.getDpiForWindow)>(user, "GetDpiForWindow");
        found.adjustWindowRectExForDpi =
            Resolve<decltype(found.adjustWindowRectExForDpi)>(user, "AdjustWindowRectExForDpi");
        return found;
    }();
    return calls;
}

// The system's DPI, that of the screen's device context.
int ScreenDpi() {
    const WindowDc screen(nullptr);
    const int dpi = screen.get() ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : kLayoutDpi;
}

// The DPI of the monitor a window is on: GetDpiForWindow where the system
// has it (Windows 10 1607 and later), else the screen's LOGPIXELSY.
int WindowDpi(HWND window) {
    if (Dpi().getDpiForWindow && window) {
        if (const UINT dpi = Dpi().getDpiForWindow(window); dpi > 0) {
            return static_cast<int>(dpi);
        }
    }
    return ScreenDpi();
}

// A face name as LOGFONTW holds it: at most LF_FACESIZE - 1 characters.
void SetFaceName(LOGFONTW& font, const std::wstring& face) {
    const size_t length = std::min(face.size(), static_cast<size_t>(LF_FACESIZE - 1));
    std::wmemcpy(font.lfFaceName, face.c_str(), length);
    font.lfFaceName[length] = L'\0';
}

HFONT MakeFont(const std::wstring& face, int height, int width, int weight) {
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    SetFaceName(font, face);
    return ::CreateFontIndirectW(&font);
}

// Condensed faces that a workstation may lack (Arial Narrow comes with
// Office, not with Windows), each with the face it is a narrower cut of
// and its letters' width in per cent of that face's. Without the face the
// font mapper would take a font of full width, and the warning line would
// be cut off at its label's edge.
struct CondensedFace {
    const wchar_t* name;
    const wchar_t* base;
    int widthPercent;
};
constexpr CondensedFace kCondensedFaces[] = {{L"Arial Narrow", L"Arial", 82}};

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

bool FaceInstalled(const wchar_t* face) {
    const WindowDc screen(nullptr);
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    SetFaceName(wanted, face);
    bool found = false;
    ::EnumFontFamiliesExW(screen.get(), &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// The condensed face `name` names when it is not installed, else null.
const CondensedFace* MissingCondensedFace(const std::wstring& name) {
    for (const auto& face : kCondensedFaces) {
        if (::lstrcmpiW(face.name, name.c_str()) == 0) {
            return FaceInstalled(face.name) ? nullptr : &face;
        }
    }
    return nullptr;
}

// The width of a line of every letter in `font`, on the screen.
int SampleWidth(HFONT font) {
    static const wchar_t kSample[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    WindowDc screen(nullptr);
    screen.Select(font);
    SIZE size{};
    if (!screen.get() ||
        !::GetTextExtentPoint32W(screen.get(), kSample, static_cast<int>(std::size(kSample) - 1),
                                 &size)) {
        return 0;
    }
    return size.cx;
}

// The base face drawn at most as wide as the condensed face: the widest
// letter width (the font's average width, a whole number of pixels) whose
// letters take no more than the condensed face's share of the base face's.
// Null when no width does.
UniqueFont CondensedFont(const CondensedFace& face, int height, int weight) {
    const UniqueFont full(MakeFont(face.base, height, 0, weight));
    const int target = full ? ::MulDiv(SampleWidth(full.get()), face.widthPercent, 100) : 0;
    for (int width = std::max(1, -height); target > 0 && width >= 1; --width) {
        UniqueFont narrow(MakeFont(face.base, height, width, weight));
        if (narrow && SampleWidth(narrow.get()) <= target) {
            return narrow;
        }
    }
    return UniqueFont();
}

// A rich edit control's lines wrap at the edge of its client area, left of
// its scroll bar. Wine's takes the scroll bar's room for text (the bar it
// keeps shown, ES_DISABLENOSCROLL), and cut off the line ends under it.
void WrapInside(HWND richEdit) {
    RECT client{};
    if (::GetClientRect(richEdit, &client)) {
        ::SendMessageW(richEdit, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&client));
    }
}

HICON ProgramIcon() {
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), kIconName);
    return icon ? icon : ::LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
}

}  // namespace

uint32_t RegisterToolkitClasses() {
    static bool registered = false;
    if (registered) {
        return 0;
    }
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW main{};
    main.cbSize = sizeof main;
    main.style = CS_DBLCLKS;
    main.lpfnWndProc = WindowProc;
    main.hInstance = instance;
    main.hIcon = ProgramIcon();
    main.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    main.lpszClassName = kMainWindowClass;
    if (!::RegisterClassExW(&main) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return LastErrorOr(ERROR_INVALID_PARAMETER);
    }
    WNDCLASSEXW application = main;
    application.style = 0;
    application.lpszClassName = kApplicationClass;
    if (!::RegisterClassExW(&application) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return LastErrorOr(ERROR_INVALID_PARAMETER);
    }
    registered = true;
    return 0;
}

// ---- the application window ----

class Win32Toolkit::ApplicationWindow : public MessageTarget {
  public:
    explicit ApplicationWindow(Win32Toolkit& toolkit) : toolkit_(toolkit) {}
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_CLOSE) {
            // Closing the task-bar entry closes the main window.
            if (toolkit_.main_) {
                // Closing only hides the windows and wakes the loop: it
                // does not fail.
                static_cast<void>(toolkit_.main_->Close());
            }
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    void HandleDestroyed(HWND) override { toolkit_.application_.release(); }

  private:
    Win32Toolkit& toolkit_;
};

// ---- the main window ----

Win32Window::Win32Window(Win32Toolkit& toolkit, const WindowSpec& spec, WindowEvents* events,
                         uint32_t* error)
    : toolkit_(toolkit),
      events_(events),
      dpi_(toolkit.dpi()),
      clientWidth_(spec.clientWidth),
      clientHeight_(spec.clientHeight),
      windowFontSpec_(spec.font) {
    *error = RegisterToolkitClasses();
    if (*error != 0) {
        return;
    }
    // Made at the system's scale, then sized for the DPI of the monitor it
    // is on, before anything in it is made.
    RECT frame = FrameFor(dpi_);
    ::SetLastError(0);
    HWND window = ::CreateWindowExW(kMainExStyle, kMainWindowClass, Wide(spec.caption).c_str(),
                                    kMainStyle, 0, 0, frame.right - frame.left,
                                    frame.bottom - frame.top, toolkit.applicationWindow(), nullptr,
                                    ::GetModuleHandleW(nullptr), static_cast<MessageTarget*>(this));
    if (!window) {
        *error = LastErrorOr(ERROR_INVALID_WINDOW_HANDLE);
        return;
    }
    window_.reset(window);
    if (const int dpi = WindowDpi(window); dpi != dpi_) {
        dpi_ = dpi;
        frame = FrameFor(dpi_);
        ::SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    windowFont_ = FontFor(spec.font);
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont_), FALSE);

    controls_.resize(spec.controls.size());
    for (size_t i = 0; i < spec.controls.size(); ++i) {
        controls_[i].spec = spec.controls[i];
    }
    // Controls that take the focus are created last, in their tab order,
    // which is the order in which the focus moves through them.
    std::vector<size_t> order(controls_.size());
    for (size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return controls_[a].spec.tabOrder < controls_[b].spec.tabOrder;
    });
    for (const size_t index : order) {
        *error = CreateControl(index);
        if (*error != 0) {
            return;
        }
    }
    if (spec.timerIntervalMs > 0) {
        if (!::SetTimer(window, kTimerId, spec.timerIntervalMs, nullptr)) {
            *error = LastErrorOr(ERROR_INVALID_PARAMETER);
            return;
        }
        timerRunning_ = true;
    }
}

Win32Window::~Win32Window() {
    toolkit_.MainWindowGone(this);
    if (window_) {
        if (timerRunning_) {
            ::KillTimer(window_.get(), kTimerId);
        }
        for (auto& control : controls_) {
            control.hwnd.reset();
        }
        window_.reset();
    }
}

int Win32Window::Scale(int pixels) const {
    return ::MulDiv(pixels, dpi_, kLayoutDpi);
}

// Edges scaled, not sizes: controls that share an edge at 96 DPI share it
// at every DPI.
RECT Win32Window::ScaledRect(const ControlSpec& spec) const {
    return RECT{Scale(spec.left), Scale(spec.top), Scale(spec.left + spec.width),
                Scale(spec.top + spec.height)};
}

// The window's outer rectangle around the layout's client area at `dpi`,
// with the frame's own metrics at that DPI where the system can tell them.
RECT Win32Window::FrameFor(int dpi) const {
    RECT frame{0, 0, ::MulDiv(clientWidth_, dpi, kLayoutDpi),
               ::MulDiv(clientHeight_, dpi, kLayoutDpi)};
    if (Dpi().adjustWindowRectExForDpi) {
        Dpi().adjustWindowRectExForDpi(&frame, kMainStyle, FALSE, kMainExStyle,
                                       static_cast<UINT>(dpi));
    } else {
        ::AdjustWindowRectEx(&frame, kMainStyle, FALSE, kMainExStyle);
    }
    return frame;
}

// Lays the window out again for another DPI: new fonts, and every control
// placed and sized anew from the layout's figures (the labels sized to
// their text measured again in their new font). The window's own size is
// the caller's: WM_DPICHANGED gives it.
void Win32Window::ApplyDpi(int dpi) {
    if (dpi <= 0 || dpi == dpi_ || !window_) {
        return;
    }
    dpi_ = dpi;
    // The old fonts go only once no control uses them any more.
    const auto oldFonts = std::move(fonts_);
    fonts_.clear();
    windowFont_ = nullptr;
    windowFont_ = FontFor(windowFontSpec_);
    ::SendMessageW(window_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(windowFont_), FALSE);
    for (auto& control : controls_) {
        if (!control.hwnd) {
            continue;
        }
        control.font = control.spec.font.name.empty() ? windowFont_ : FontFor(control.spec.font);
        ::SendMessageW(control.hwnd.get(), WM_SETFONT, reinterpret_cast<WPARAM>(control.font),
                       TRUE);
        PlaceControl(control);
    }
}

HFONT Win32Window::FontFor(const FontSpec& font) {
    if (font.name.empty() && windowFont_) {
        return windowFont_;
    }
    for (const auto& [spec, handle] : fonts_) {
        if (SameFont(spec, font)) {
            return handle.get();
        }
    }
    // A negative height asks for the character height, not the cell height.
    const int height = -Scale(font.height);
    const int weight = font.bold ? FW_BOLD : FW_NORMAL;
    const std::wstring face = Wide(font.name);
    UniqueFont handle;
    if (const CondensedFace* condensed = MissingCondensedFace(face)) {
        handle = CondensedFont(*condensed, height, weight);
    }
    if (!handle) {
        handle.reset(MakeFont(face, height, 0, weight));
    }
    HFONT created = handle.get();
    fonts_.emplace_back(font, std::move(handle));
    return created;
}

uint32_t Win32Window::CreateControl(size_t index) {
    Control& control = controls_[index];
    const ControlSpec& spec = control.spec;
    DWORD style =
        WS_CHILD | (spec.visible ? WS_VISIBLE : 0) | (spec.tabOrder >= 0 ? WS_TABSTOP : 0);
    DWORD exStyle = 0;
    const wchar_t* className = L"STATIC";
    std::string text = spec.text;
    switch (spec.kind) {
        case ControlKind::Label:
            // SS_NOTIFY lets the label take its own clicks, so that a
            // double-click on it is not one on the window's surface.
            style |= SS_NOTIFY | SS_NOPREFIX;
            if (spec.autoSize && spec.alignment == Alignment::Left) {
                style |= SS_LEFTNOWORDWRAP;
            } else if (spec.alignment == Alignment::Right) {
                style |= SS_RIGHT;
            } else if (spec.alignment == Alignment::Center) {
                style |= SS_CENTER;
            } else {
                style |= SS_LEFT;
            }
            control.text = spec.text;
            break;
        case ControlKind::RichEdit:
            className = kRichEditClass;
            style |= ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | ES_DISABLENOSCROLL;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case ControlKind::Memo:
            className = L"EDIT";
            style |= ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL |
                     WS_HSCROLL;
            exStyle = WS_EX_CLIENTEDGE;
            text.clear();
            break;
        case ControlKind::Button:
            className = L"BUTTON";
            style |= BS_PUSHBUTTON;
            control.text = spec.text;
            break;
    }
    const RECT place = ScaledRect(spec);
    ::SetLastError(0);
    HWND hwnd = ::CreateWindowExW(
        exStyle, className, Wide(text).c_str(), style, place.left, place.top,
        place.right - place.left, place.bottom - place.top, window_.get(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + static_cast<int>(index))),
        ::GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) {
        return LastErrorOr(ERROR_INVALID_WINDOW_HANDLE);
    }
    control.hwnd.reset(hwnd);
    control.font = spec.font.name.empty() ? windowFont_ : FontFor(spec.font);
    ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(control.font), FALSE);
    if (spec.kind == ControlKind::Memo) {
        ::SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);  // no limit beyond memory
        size_t start = 0;
        while (start < spec.text.size()) {
            size_t end = spec.text.find("\r\n", start);
            end = end == std::string::npos ? spec.text.size() : end;
            control.lines.push_back(spec.text.substr(start, end - start));
            start = end + 2;
        }
        control.linesPending = !control.lines.empty();
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control));
        control.editProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MemoProc)));
    }
    if (spec.kind == ControlKind::RichEdit) {
        ::SendMessageW(hwnd, EM_EXLIMITTEXT, 0, kRichTextLimit);
        WrapInside(hwnd);
    }
    if (spec.background) {
        // Without a brush (the system is out of them) the control keeps the
        // system's colour and still works, so its creation goes on.
        static_cast<void>(SetBackground(static_cast<ControlId>(index), *spec.background));
    }
    if (spec.kind == ControlKind::Label && spec.autoSize) {
        FitToText(control);
    }
    return 0;
}

void Win32Window::PlaceControl(Control& control) {
    const ControlSpec& spec = control.spec;
    if (spec.kind == ControlKind::Label && spec.autoSize) {
        FitToText(control);
        return;
    }
    const RECT place = ScaledRect(spec);
    ::SetWindowPos(control.hwnd.get(), nullptr, place.left, place.top, place.right - place.left,
                   place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (spec.kind == ControlKind::RichEdit) {
        WrapInside(control.hwnd.get());
    }
}

void Win32Window::FitToText(Control& control) {
    // An empty label keeps the width of one blank.
    const std::wstring measured = control.text.empty() ? std::wstring(L" ") : Wide(control.text);
    SIZE size{};
    {
        WindowDc dc(control.hwnd.get());
        if (!dc.get()) {
            return;
        }
        dc.Select(control.font);
        ::GetTextExtentPoint32W(dc.get(), measured.c_str(), static_cast<int>(measured.size()),
                                &size);
    }
    const ControlSpec& spec = control.spec;
    int left = Scale(spec.left);
    if (spec.alignment == Alignment::Right) {
        left = Scale(spec.left + spec.width) - size.cx;  // the right edge stays
    } else if (spec.alignment == Alignment::Center) {
        left = (Scale(spec.left) + Scale(spec.left + spec.width) - size.cx) / 2;
    }
    ::SetWindowPos(control.hwnd.get(), nullptr, left, Scale(spec.top), size.cx, size.cy,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

Win32Window::Control* Win32Window::Find(ControlId control) {
    if (control < 0 || static_cast<size_t>(control) >= controls_.size() ||
        !controls_[static_cast<size_t>(control)].hwnd) {
        return nullptr;
    }
    return &controls_[static_cast<size_t>(control)];
}

Win32Window::Control* Win32Window::Find(ControlId control, ControlKind kind) {
    Control* found = Find(control);
    return found && found->spec.kind == kind ? found : nullptr;
}

template <typename Change>
uint32_t Win32Window::Update(Control* control, Change change) {
    return control ? change(*control) : ERROR_INVALID_WINDOW_HANDLE;
}

Win32Window::Control* Win32Window::FindByHwnd(HWND hwnd) {
    for (auto& control : controls_) {
        if (control.hwnd && control.hwnd.get() == hwnd) {
            return &control;
        }
    }
    return nullptr;
}

HWND Win32Window::control(ControlId control) const {
    if (control < 0 || static_cast<size_t>(control) >= controls_.size()) {
        return nullptr;
    }
    return controls_[static_cast<size_t>(control)].hwnd.get();
}

Win32Error Win32Window::SetText(ControlId id, const std::string& text) {
    Control* label = Find(id, ControlKind::Label);
    return Update(label ? label : Find(id, ControlKind::Button), [this, &text](Control& control) {
        if (!::SetWindowTextW(control.hwnd.get(), Wide(text).c_str())) {
            return LastErrorOr(ERROR_INVALID_WINDOW_HANDLE);
        }
        control.text = text;
        if (control.spec.kind == ControlKind::Label && control.spec.autoSize) {
            FitToText(control);
        }
        ::InvalidateRect(control.hwnd.get(), nullptr, TRUE);
        return uint32_t{0};
    });
}

Win32Error Win32Window::SetBackground(ControlId id, Color color) {
    return Update(Find(id), [color](Control& control) {
        if (control.spec.kind == ControlKind::RichEdit) {
            ::SendMessageW(control.hwnd.get(), EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(color));
        } else {
            UniqueBrush brush(::CreateSolidBrush(color));
            if (!brush) {
                return LastErrorOr(ERROR_NOT_ENOUGH_MEMORY);
            }
            control.brush = std::move(brush);
        }
        control.background = color;
        ::InvalidateRect(control.hwnd.get(), nullptr, TRUE);
        return uint32_t{0};
    });
}

Win32Error Win32Window::SetVisible(ControlId id, bool visible) {
    return Update(Find(id), [visible](Control& control) {
        ::ShowWindow(control.hwnd.get(), visible ? SW_SHOW : SW_HIDE);
        return uint32_t{0};
    });
}

Win32Error Win32Window::LoadRichText(ControlId id, const std::string& data) {
    return Update(Find(id, ControlKind::RichEdit), [&data](Control& control) {
        // RTF is bytes, in whatever code page it names itself: as it is.
        if (StreamIn(control.hwnd.get(), data.data(), data.size(), SF_RTF) == 0) {
            return uint32_t{0};
        }
        // Not rich text: the same data again, from its beginning, as plain
        // text, which is the program's text. It goes in as UTF-16, whole (a
        // NUL in it is kept as a character, as the stand-in's box keeps it).
        const std::wstring text = WideWhole(data);
        if (StreamIn(control.hwnd.get(), text.data(), text.size() * sizeof(wchar_t),
                     SF_TEXT | SF_UNICODE) == 0) {
            return uint32_t{0};
        }
        return static_cast<uint32_t>(ERROR_INVALID_DATA);
    });
}

void Win32Window::ShowLines(Control& control) {
    // Cleared first: setting the text sends messages to MemoProc again.
    control.linesPending = false;
    std::string text;
    for (const auto& line : control.lines) {
        text += line;
        text += "\r\n";  // every line ends in CR LF, as a memo's text holds its lines
    }
    ::SetWindowTextW(control.hwnd.get(), Wide(text).c_str());
}

// An edit control measures every line it is given (under Wine about 0.1 ms
// a line), and the diagnostics list of a long script is hidden behind the
// news: filled at once, it held up the window. So the plain box takes its
// lines only when it is about to be seen or someone asks for its text (a
// screen reader, a tool reading the window): until then they wait here.
LRESULT CALLBACK Win32Window::MemoProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* control = reinterpret_cast<Control*>(::GetWindowLongPtrW(edit, GWLP_USERDATA));
    const WNDPROC editProc = control->editProc;
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc));
    } else if (control->linesPending && NeedsTheLines(message, wParam, lParam)) {
        ShowLines(*control);
    }
    return ::CallWindowProcW(editProc, edit, message, wParam, lParam);
}

Win32Error Win32Window::SetLines(ControlId id, const std::vector<std::string>& lines) {
    return PutLines(id, lines, /*replace=*/true);
}

Win32Error Win32Window::AddLines(ControlId id, const std::vector<std::string>& lines) {
    return PutLines(id, lines, /*replace=*/false);
}

uint32_t Win32Window::PutLines(ControlId id, const std::vector<std::string>& lines, bool replace) {
    return Update(Find(id, ControlKind::Memo), [&lines, replace](Control& control) {
        if (replace) {
            control.lines.clear();
        }
        control.lines.insert(control.lines.end(), lines.begin(), lines.end());
        control.linesPending = true;
        return uint32_t{0};
    });
}

Win32Error Win32Window::SetClickAction(ControlId id, std::function<void()> action) {
    return Update(Find(id, ControlKind::Button), [&action](Control& control) {
        control.click = std::move(action);
        return uint32_t{0};
    });
}

Win32Error Win32Window::StopTimer() {
    if (timerRunning_) {
        timerRunning_ = false;
        if (window_) {
            ::KillTimer(window_.get(), kTimerId);
        }
    }
    return 0;
}

Win32Error Win32Window::CenterOnScreen() {
    if (!window_) {
        return ERROR_INVALID_WINDOW_HANDLE;
    }
    RECT rect{};
    ::GetWindowRect(window_.get(), &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const int left = std::max(0, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    const int top = std::max(0, (::GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    ::SetWindowPos(window_.get(), nullptr, left, top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

Win32Error Win32Window::Show() {
    if (!window_ || closed_) {
        return ERROR_INVALID_WINDOW_HANDLE;
    }
    if (!shown_) {
        shown_ = true;
        toolkit_.MainWindowShown();
    }
    ::ShowWindow(window_.get(), SW_SHOW);
    ::UpdateWindow(window_.get());
    // The focus goes to the first control of the tab order that can take it.
    const Control* first = nullptr;
    for (const auto& control : controls_) {
        if (control.spec.tabOrder >= 0 && control.hwnd && ::IsWindowVisible(control.hwnd.get()) &&
            (!first || control.spec.tabOrder < first->spec.tabOrder)) {
            first = &control;
        }
    }
    if (first) {
        ::SetFocus(first->hwnd.get());
    }
    return 0;
}

Win32Error Win32Window::Close() {
    if (!closed_) {
        closed_ = true;
        if (window_) {
            ::ShowWindow(window_.get(), SW_HIDE);
        }
        if (HWND application = toolkit_.applicationWindow()) {
            ::ShowWindow(application, SW_HIDE);
        }
        toolkit_.WakeEventLoop();
    }
    return 0;
}

LRESULT Win32Window::ColorStatic(HDC dc, HWND hwnd) {
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    const Control* control = FindByHwnd(hwnd);
    if (control && control->brush && control->background) {
        ::SetBkColor(dc, *control->background);
        return reinterpret_cast<LRESULT>(control->brush.get());
    }
    // Read-only edit boxes ask here too; they keep the window colour.
    const int system =
        control && control->spec.kind == ControlKind::Memo ? COLOR_WINDOW : COLOR_BTNFACE;
    ::SetBkColor(dc, ::GetSysColor(system));
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(system));
}

LRESULT Win32Window::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED && lParam != 0) {
                Control* control = FindByHwnd(reinterpret_cast<HWND>(lParam));
                if (control && control->spec.kind == ControlKind::Button && control->click) {
                    const auto action = control->click;  // the action may replace itself
                    action();
                }
                return 0;
            }
            break;
        case WM_LBUTTONDBLCLK:
            if (events_) {
                events_->OnDoubleClick();
            }
            return 0;
        case WM_TIMER:
            if (wParam == kTimerId) {
                // A tick already queued when the timer was stopped is dropped.
                if (timerRunning_ && events_) {
                    events_->OnTimer();
                }
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
            return ColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_GETDPISCALEDSIZE: {
            // Asked before a DPI change: the size that holds the layout's
            // client area at the new DPI, so that WM_DPICHANGED suggests it.
            const RECT frame = FrameFor(static_cast<int>(wParam));
            auto* size = reinterpret_cast<SIZE*>(lParam);
            size->cx = frame.right - frame.left;
            size->cy = frame.bottom - frame.top;
            return TRUE;
        }
        case WM_DPICHANGED: {
            // Both halves of wParam hold the new DPI; lParam the window's
            // new rectangle, the one Windows suggests.
            ApplyDpi(HIWORD(wParam));
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            ::SetWindowPos(window, nullptr, suggested->left, suggested->top,
                           suggested->right - suggested->left, suggested->bottom - suggested->top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_CLOSE:
            // The window has no close box; Alt+F4 ends it as the button does,
            // and it is never destroyed behind the event loop's back. Closing
            // does not fail.
            static_cast<void>(Close());
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void Win32Window::HandleDestroyed(HWND) {
    // The children went before the window itself.
    for (auto& control : controls_) {
        control.hwnd.release();
    }
    window_.release();
    timerRunning_ = false;
    if (!closed_) {
        closed_ = true;
        toolkit_.WakeEventLoop();
    }
}

// ---- the toolkit ----

Win32Toolkit::Win32Toolkit() = default;

Win32Toolkit::~Win32Toolkit() {
    application_.reset();
}

uint32_t Win32Toolkit::EnsureApplicationWindow() {
    if (application_) {
        return 0;
    }
    if (const uint32_t error = RegisterToolkitClasses(); error != 0) {
        return error;
    }
    // The process's DPI awareness is the manifest's (per-monitor), set
    // before the program's first line runs. The manifest also names common
    // controls 6: registering their classes here gives the button and the
    // scroll bars the system's current look, as Windows asks of a program
    // that wants them.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    dpi_ = ScreenDpi();
    if (!applicationTarget_) {
        applicationTarget_ = std::make_unique<ApplicationWindow>(*this);
    }
    // No size of its own: it only carries the title and the task-bar entry.
    ::SetLastError(0);
    HWND window =
        ::CreateWindowExW(0, kApplicationClass, Wide(title_).c_str(),
                          WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                          ::GetSystemMetrics(SM_CXSCREEN) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2,
                          0, 0, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                          static_cast<MessageTarget*>(applicationTarget_.get()));
    if (!window) {
        return LastErrorOr(ERROR_INVALID_WINDOW_HANDLE);
    }
    application_.reset(window);
    return 0;
}

Win32Error Win32Toolkit::SetApplicationTitle(const std::string& title) {
    title_ = title;
    if (const uint32_t error = EnsureApplicationWindow(); error != 0) {
        return error;
    }
    if (!::SetWindowTextW(application_.get(), Wide(title).c_str())) {
        return LastErrorOr(ERROR_INVALID_WINDOW_HANDLE);
    }
    return 0;
}

Win32Error Win32Toolkit::CreateMainWindow(const WindowSpec& spec, WindowEvents* events,
                                          std::unique_ptr<Window>* window) {
    if (!window) {
        return ERROR_INVALID_PARAMETER;
    }
    if (!richEdit_) {
        richEdit_.reset(LoadSystemLibrary(kRichEditLibrary));
        if (!richEdit_) {
            return LastErrorOr(ERROR_MOD_NOT_FOUND);
        }
    }
    if (const uint32_t error = EnsureApplicationWindow(); error != 0) {
        return error;
    }
    uint32_t error = 0;
    auto created = std::make_unique<Win32Window>(*this, spec, events, &error);
    if (error != 0) {
        return error;
    }
    main_ = created.get();
    *window = std::move(created);
    return 0;
}

void Win32Toolkit::MainWindowShown() {
    if (application_) {
        ::ShowWindow(application_.get(), SW_SHOWNOACTIVATE);
    }
}

void Win32Toolkit::MainWindowGone(Win32Window* window) {
    if (main_ == window) {
        main_ = nullptr;
    }
}

void Win32Toolkit::WakeEventLoop() {
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);
}

Win32Error Win32Toolkit::RunEventLoop() {
    if (!main_) {
        return ERROR_INVALID_WINDOW_HANDLE;
    }
    MSG message{};
    while (main_ && !main_->closed()) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            return 0;  // the thread was told to quit
        }
        if (got == -1) {
            return LastErrorOr(ERROR_INVALID_PARAMETER);
        }
        HWND dialog = main_ ? main_->hwnd() : nullptr;
        if (!dialog || !::IsDialogMessageW(dialog, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return 0;
}

Win32Error Win32Toolkit::ShowMessageBox(const std::string& caption, const std::string& text) {
    HWND owner =
        main_ && main_->hwnd() && ::IsWindowVisible(main_->hwnd()) ? main_->hwnd() : nullptr;
    if (::MessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(), MB_OK | MB_ICONSTOP) == 0) {
        return LastErrorOr(ERROR_INVALID_PARAMETER);
    }
    return 0;
}

}  // namespace platform::win32
