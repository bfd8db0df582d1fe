// The stand-in's window drawn as a window on a terminal: its frame with the
// caption, every visible control where the layout puts it, in its colours.
//
// The layout's pixels become character cells of 8 x 16 pixels (a 397 x 362
// client area is 50 x 23 cells). Controls whose pixel rows overlap form one
// line of the window; the first line goes to the row nearest its top, and
// each further line lies the rounded distance from the line before it
// (at least one row, and below every row of that line), so that lines
// evenly spaced in pixels stay evenly spaced on the terminal.
//
// Labels sized to their text show it on one line; right-aligned ones end at
// their right edge. Fixed-size labels wrap at word boundaries and, where the
// wider cells need more rows than their height gives, grow into the blank
// rows below them. The rich-text box wraps its text inside a frame beside a
// vertical scroll bar, dimmed while the text fits; the plain box shows its
// lines cut at its width; a button is its centred text in brackets.
//
// Colours are the 16 ANSI colours nearest to the window's (lime and red are
// exact), drawn only where the terminal has them; without them the same
// picture is plain text. TERM=dumb gets no escape sequence at all and plain
// ASCII lines for the frames.
#pragma once
#include <string>
#include <vector>

#include "platform/standin/toolkit_render.h"
#include "platform/toolkit.h"

namespace platform::standin {

struct TerminalStyle {
    bool escapes = true;  // cursor movement (in-place redraw) and attributes
    bool colours = true;  // ANSI colours
};

// The style a terminal described by $TERM and $NO_COLOR (either may be null)
// takes: TERM=dumb has no escape sequences, a non-empty NO_COLOR asks for no
// colours.
TerminalStyle StyleForTerminal(const char* term, const char* noColor);

// The size of the drawn window, frame included, in cells.
struct ScreenSize {
    int columns = 0;
    int rows = 0;
};
ScreenSize DrawnSize(const WindowSpec& layout);

// The window as terminal lines, the top of its frame first; a line that shows
// a button names it, for clicks.
std::vector<DrawnLine> DrawScreen(const WindowSpec& layout, const WindowState& state,
                                  const TerminalStyle& style);

// A text as terminal lines of at most `columns` columns, broken at blanks.
std::vector<std::string> ScreenLines(const std::string& utf8, int columns);

// What to write to a terminal that shows `before` so that it shows `after`:
// the first time the screen is cleared and everything written; later only
// the rows that changed are rewritten in place, and the cursor is left at
// the start of the row under the last line. Without escape sequences the
// whole of `after` is printed again, once for each change.
std::string ScreenUpdate(const std::vector<std::string>& before,
                         const std::vector<std::string>& after, const TerminalStyle& style);

}  // namespace platform::standin
