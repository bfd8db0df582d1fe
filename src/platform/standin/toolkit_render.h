// The stand-in's window as data, and the window drawn as text:
//
//   --- Login Script ---
//   NameLabel: "Login Name"
//   lUName: "jsmith" background=#FFFFFF
//   mCodeList: "" hidden
//       ;---GLOBAL\_DEFAULT.DAT
//   --- end ---
//
// One line per control in the layout's order: its name, its text in quotes
// (backslash, quote and control characters escaped: \\ \" \n \r \t \xHH; a
// CR LF pair is one \n), " background=#RRGGBB" where a colour was given to
// it, " hidden" where it is hidden. A plain multi-line box shows no text of
// its own; its lines follow its line, each indented by four blanks, as they
// stand but for control characters (\xHH). Text is the program's UTF-8,
// as is the text the RTF reader gives the rich-text box; the control
// characters shown as \xHH include the C1 ones (U+0080-U+009F), and a byte
// that is not UTF-8 is shown as U+FFFD.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/toolkit.h"

namespace platform::standin {

struct ControlState {
    std::string name;
    ControlKind kind = ControlKind::Label;
    std::string text;                // labels, buttons, the rich-text box
    std::vector<std::string> lines;  // the plain multi-line box
    std::optional<Color> background;
    bool visible = true;
    std::function<void()> click;  // buttons
};

struct WindowState {
    std::string caption;
    std::vector<ControlState> controls;
};

// The state of a window just created from `spec`.
WindowState InitialState(const WindowSpec& spec);

// One drawn line and the control it shows (-1 for the frame lines and the
// lines of a box).
struct DrawnLine {
    std::string text;
    int control = -1;
};

// The window as text; `visibleOnly` leaves hidden controls out (the live
// terminal view does).
std::vector<DrawnLine> DrawWindow(const WindowState& state, bool visibleOnly = false);
std::string RenderBlock(const WindowState& state);

// The quoted form of a text, as the block shows it.
std::string QuoteText(const std::string& text);
// A text printed as it stands (a line of a box, a failure report), as UTF-8
// with every control character but tab and line feed shown as \xHH: no
// script line or file name can steer the terminal it is printed on.
std::string PrintableText(const std::string& text);

}  // namespace platform::standin
