// The window toolkit on the real window system: STATIC labels, the Unicode
// rich edit control of RICHED20.DLL, a read-only multi-line EDIT, a BUTTON,
// a SetTimer timer and MessageBoxW. Every window is a Unicode window, made
// and spoken to through the W calls; the program's text crosses into UTF-16
// with Wide() and back with Narrow() (platform/win32/wide.h). One static
// window procedure forwards every message to the object kept in the
// window's GWLP_USERDATA.
//
// The program is listed in the task bar by a hidden-size application window
// that carries the application title and owns the main window, so the task
// bar shows the title while the main window shows its own caption.
//
// The layout's figures are pixels at 96 DPI. The main window scales them,
// fonts included, to the DPI of the monitor it is on (the program's
// manifest makes it per-monitor aware), and lays itself out again when
// Windows tells it that this DPI changed (WM_DPICHANGED: moved to another
// monitor, or the user's scale changed).
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/toolkit.h"
#include "platform/win32/gdi_handles.h"

namespace platform::win32 {

// A window of this toolkit: receives its messages from the one procedure.
class MessageTarget {
  public:
    virtual ~MessageTarget() = default;
    virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // The window is gone (WM_NCDESTROY): its handle must not be used again.
    virtual void HandleDestroyed(HWND window) = 0;
};

class Win32Toolkit;

class Win32Window : public Window, private MessageTarget {
  public:
    // Use Win32Toolkit::CreateMainWindow; `error` gets 0 or the failure's code.
    Win32Window(Win32Toolkit& toolkit, const WindowSpec& spec, WindowEvents* events,
                uint32_t* error);
    ~Win32Window() override;

    Win32Error SetText(ControlId control, const std::string& text) override;
    Win32Error SetBackground(ControlId control, Color color) override;
    Win32Error SetVisible(ControlId control, bool visible) override;
    Win32Error LoadRichText(ControlId control, const std::string& data) override;
    Win32Error SetLines(ControlId control, const std::vector<std::string>& lines) override;
    Win32Error AddLines(ControlId control, const std::vector<std::string>& lines) override;
    Win32Error SetClickAction(ControlId control, std::function<void()> action) override;
    Win32Error StopTimer() override;
    Win32Error CenterOnScreen() override;
    Win32Error Show() override;
    Win32Error Close() override;

    HWND hwnd() const { return window_.get(); }
    HWND control(ControlId control) const;
    // The DPI the window is laid out for.
    int dpi() const { return dpi_; }
    bool closed() const { return closed_; }
    bool timerRunning() const { return timerRunning_; }

  private:
    struct Control {
        ControlSpec spec;
        // The plain box: its lines, whether the edit control still lacks
        // them, and the control's own window procedure, which MemoProc passes
        // messages on to. Before the handle, so they outlive its destruction.
        std::vector<std::string> lines;
        bool linesPending = false;
        WNDPROC editProc = nullptr;
        UniqueHwnd hwnd;
        HFONT font = nullptr;
        std::string text;   // a label's or button's text, for its size
        UniqueBrush brush;  // the background that was given to it
        std::optional<Color> background;
        std::function<void()> click;
    };

    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void HandleDestroyed(HWND window) override;

    int Scale(int pixels) const;
    HFONT FontFor(const FontSpec& font);
    RECT ScaledRect(const ControlSpec& spec) const;  // a control's place at this DPI
    RECT FrameFor(int dpi) const;
    void ApplyDpi(int dpi);
    uint32_t CreateControl(size_t index);
    void PlaceControl(Control& control);
    void FitToText(Control& control);
    Control* Find(ControlId control);
    Control* Find(ControlId control, ControlKind kind);  // null when of another kind
    Control* FindByHwnd(HWND hwnd);
    // What `change` returns for the control `control`; a null `control` (no
    // such control, or not of the kind asked for) is refused.
    template <typename Change>
    static uint32_t Update(Control* control, Change change);
    LRESULT ColorStatic(HDC dc, HWND control);
    uint32_t PutLines(ControlId control, const std::vector<std::string>& lines, bool replace);
    static void ShowLines(Control& control);
    static LRESULT CALLBACK MemoProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

    Win32Toolkit& toolkit_;
    WindowEvents* events_;
    int dpi_ = 96;
    int clientWidth_ = 0;  // at 96 DPI
    int clientHeight_ = 0;
    FontSpec windowFontSpec_;
    std::vector<std::pair<FontSpec, UniqueFont>> fonts_;
    HFONT windowFont_ = nullptr;
    std::vector<Control> controls_;
    UniqueHwnd window_;
    bool timerRunning_ = false;
    bool shown_ = false;
    bool closed_ = false;
};

class Win32Toolkit : public Toolkit {
  public:
    Win32Toolkit();
    ~Win32Toolkit() override;

    Win32Error SetApplicationTitle(const std::string& title) override;
    Win32Error CreateMainWindow(const WindowSpec& spec, WindowEvents* events,
                                std::unique_ptr<Window>* window) override;
    Win32Error RunEventLoop() override;
    Win32Error ShowMessageBox(const std::string& caption, const std::string& text) override;

    // The system's pixels per inch (the screen's device context): a new
    // window's first scale, until it knows its monitor's.
    int dpi() const { return dpi_; }
    HWND applicationWindow() const { return application_.get(); }

    // Called by the main window.
    void MainWindowShown();
    void MainWindowGone(Win32Window* window);
    void WakeEventLoop();

  private:
    class ApplicationWindow;
    uint32_t EnsureApplicationWindow();

    UniqueModule richEdit_;
    int dpi_ = 96;
    std::string title_;
    std::unique_ptr<ApplicationWindow> applicationTarget_;
    UniqueHwnd application_;
    Win32Window* main_ = nullptr;
};

// Registers the window classes of the toolkit once per process.
uint32_t RegisterToolkitClasses();
extern const wchar_t* const kApplicationClass;
extern const wchar_t* const kMainWindowClass;

}  // namespace platform::win32
