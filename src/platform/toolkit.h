// The windowing system, in the toolkit's own terms: one main window created
// hidden from a layout description, its labels, rich-text box, plain
// multi-line box and push button, a one-shot timer, the event loop, and a
// modal message box. Every call returns 0 or a Win32 error code and never
// throws; the callbacks that the toolkit makes into the system must not
// throw either.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/errors.h"

namespace platform {

// A colour as Windows keeps it in a COLORREF: 0x00BBGGRR.
using Color = uint32_t;
constexpr Color RgbColor(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<Color>(red) | (static_cast<Color>(green) << 8) |
           (static_cast<Color>(blue) << 16);
}
constexpr uint8_t RedOf(Color c) {
    return static_cast<uint8_t>(c & 0xFF);
}
constexpr uint8_t GreenOf(Color c) {
    return static_cast<uint8_t>((c >> 8) & 0xFF);
}
constexpr uint8_t BlueOf(Color c) {
    return static_cast<uint8_t>((c >> 16) & 0xFF);
}

enum class ControlKind {
    Label,     // static text; takes no focus
    RichEdit,  // read-only rich-text box, wraps at its width, vertical scroll bar always shown
    Memo,      // read-only plain multi-line box, both scroll bars, no wrapping
    Button,    // push button with a replaceable click action, initially none
};

enum class Alignment { Left, Center, Right };

// A font: face name, character height in pixels at 96 pixels per inch, and
// weight. An empty name stands for the window's own font. Text is always
// drawn in the system's window-text colour.
struct FontSpec {
    std::string name;
    int height = 0;
    bool bold = false;
};

// One control of a window. Coordinates are pixels at 96 pixels per inch,
// relative to the window's client area.
struct ControlSpec {
    std::string name;
    ControlKind kind = ControlKind::Label;
    int left = 0, top = 0, width = 0, height = 0;
    std::string text;  // initial text; for the boxes, lines joined by CR LF
    FontSpec font;
    Alignment alignment = Alignment::Left;
    // Labels only: sized to their text on one line (one blank's width when
    // empty); a right-aligned label keeps its right edge where it is.
    // Without it a label wraps at word boundaries and cuts off what does not
    // fit its height.
    bool autoSize = false;
    // Unset: a label shows the window's surface, a box the system's window
    // colour, a button the face colour.
    std::optional<Color> background;
    bool visible = true;
    int tabOrder = -1;  // -1 for controls that take no focus
};

struct WindowSpec {
    std::string caption;
    int clientWidth = 0, clientHeight = 0;  // pixels at 96 pixels per inch
    FontSpec font;                          // the window's font
    // The window's one-shot timer, counting from the window's creation.
    unsigned timerIntervalMs = 0;
    std::vector<ControlSpec> controls;  // identified by their index
};

using ControlId = int;

// What the event loop delivers to the window's owner.
class WindowEvents {
  public:
    virtual ~WindowEvents() = default;
    // A double-click on the window's own surface, not on a control.
    virtual void OnDoubleClick() = 0;
    // The timer's tick; the handler may stop the timer.
    virtual void OnTimer() = 0;
};

class Window {
  public:
    // Destroys the window and its controls.
    virtual ~Window() = default;

    virtual Win32Error SetText(ControlId control, const std::string& text) = 0;
    virtual Win32Error SetBackground(ControlId control, Color color) = 0;
    virtual Win32Error SetVisible(ControlId control, bool visible) = 0;
    // Rich-text box: replaces its content by `data` read as RTF or, when it
    // cannot be read as RTF, from its beginning again as plain text. An error
    // code when it cannot be read either way.
    virtual Win32Error LoadRichText(ControlId control, const std::string& data) = 0;
    // Plain box: replaces all its lines, or appends lines after the last one.
    virtual Win32Error SetLines(ControlId control, const std::vector<std::string>& lines) = 0;
    virtual Win32Error AddLines(ControlId control, const std::vector<std::string>& lines) = 0;
    // Button: the action its click runs; an empty function makes it inert.
    virtual Win32Error SetClickAction(ControlId control, std::function<void()> action) = 0;
    // Stops and releases the timer; safe inside its own tick. It never ticks again.
    virtual Win32Error StopTimer() = 0;
    // Moves the window to the middle of the screen (never past its top left).
    virtual Win32Error CenterOnScreen() = 0;
    // Puts the window on the screen.
    virtual Win32Error Show() = 0;
    // Takes the window off the screen; for the main window this ends the
    // event loop. The window itself lives until it is destroyed.
    virtual Win32Error Close() = 0;
};

class Toolkit {
  public:
    virtual ~Toolkit() = default;
    // The name under which the running program is listed in the task bar.
    virtual Win32Error SetApplicationTitle(const std::string& title) = 0;
    // Creates the main window hidden, its timer counting from now. `events`
    // must outlive the window.
    virtual Win32Error CreateMainWindow(const WindowSpec& spec, WindowEvents* events,
                                        std::unique_ptr<Window>* window) = 0;
    // Dispatches events until the main window is closed.
    virtual Win32Error RunEventLoop() = 0;
    // A modal message box with one OK button and a stop icon.
    virtual Win32Error ShowMessageBox(const std::string& caption, const std::string& text) = 0;
};

}  // namespace platform
