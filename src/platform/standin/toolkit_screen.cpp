#include "platform/standin/toolkit_screen.h"

#include <locale.h>
#include <wchar.h>

#include <algorithm>
#include <cstring>
#include <numeric>

namespace platform::standin {

namespace {

constexpr int kCellWidth = 8;
constexpr int kCellHeight = 16;
// The rich-text box's tab stops lie half an inch apart: 48 pixels.
constexpr int kTabColumns = 48 / kCellWidth;
// A framed box needs a row above and below its text.
constexpr int kMinBoxRows = 3;

// The 16 ANSI colours as xterm shows them; a colour's index is its number.
constexpr Color kAnsiPalette[] = {
    RgbColor(0, 0, 0),       RgbColor(205, 0, 0),   RgbColor(0, 205, 0),   RgbColor(205, 205, 0),
    RgbColor(0, 0, 238),     RgbColor(205, 0, 205), RgbColor(0, 205, 205), RgbColor(229, 229, 229),
    RgbColor(127, 127, 127), RgbColor(255, 0, 0),   RgbColor(0, 255, 0),   RgbColor(255, 255, 0),
    RgbColor(92, 92, 255),   RgbColor(255, 0, 255), RgbColor(0, 255, 255), RgbColor(255, 255, 255),
};
constexpr int kBlack = 0;
constexpr int kBlue = 4;
constexpr int kLightGrey = 7;
constexpr int kDarkGrey = 8;
constexpr int kWhite = 15;
// The system colours the window is drawn in.
constexpr int kWindowText = kBlack;
constexpr int kFaceColour = kLightGrey;
constexpr int kWindowColour = kWhite;
constexpr int kCaptionColour = kBlue;
constexpr int kCaptionText = kWhite;
constexpr int kDisabledText = kDarkGrey;

int NearestAnsi(Color color) {
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < 16; ++i) {
        const Color p = kAnsiPalette[i];
        const long r = RedOf(color) - RedOf(p), g = GreenOf(color) - GreenOf(p),
                   b = BlueOf(color) - BlueOf(p);
        const long distance = r * r + g * g + b * b;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

int Cells(int pixels, int cell) {
    return (std::max(pixels, 0) + cell / 2) / cell;
}

// The frame's pieces, as box-drawing characters or in ASCII.
struct FramePieces {
    const char *topLeft, *topRight, *bottomLeft, *bottomRight, *horizontal, *vertical;
    const char *up, *down, *left, *right, *track, *cut;
};
constexpr FramePieces kBoxPieces = {"┌", "┐", "└", "┘", "─", "│", "▲", "▼", "◄", "►", "░", "…"};
constexpr FramePieces kAsciiPieces = {"+", "+", "+", "+", "-", "|", "^", "v", "<", ">", "#", "~"};

// ---- text ----

// One character of text and the columns it takes (1 or 2).
struct Glyph {
    std::string bytes;
    int width = 1;
};
using GlyphLine = std::vector<Glyph>;

bool IsBlank(const Glyph& g) {
    return g.bytes == " ";
}

int Columns(const GlyphLine& line) {
    return std::accumulate(line.begin(), line.end(), 0,
                           [](int sum, const Glyph& g) { return sum + g.width; });
}

const Glyph kReplacement = {"\xEF\xBF\xBD", 1};  // U+FFFD

// The text as its characters, each with its width as the C library's UTF-8
// locale gives it: a combining mark joins the character before it, and a
// control character (but tab) or a byte that is not UTF-8 shows as U+FFFD.
GlyphLine Glyphs(const std::string& utf8) {
    static const locale_t cUtf8 = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    const locale_t previous = ::uselocale(cUtf8 ? cUtf8 : LC_GLOBAL_LOCALE);
    GlyphLine glyphs;
    mbstate_t state{};
    for (size_t i = 0; i < utf8.size();) {
        wchar_t wide = 0;
        const size_t length = ::mbrtowc(&wide, utf8.data() + i, utf8.size() - i, &state);
        if (length == 0 || length > utf8.size() - i) {  // NUL, or not UTF-8
            state = mbstate_t{};
            glyphs.push_back(kReplacement);
            ++i;
            continue;
        }
        const int width = wide == L'\t' ? 1 : ::wcwidth(wide);
        if (width == 0) {
            if (!glyphs.empty()) {
                glyphs.back().bytes.append(utf8, i, length);
            }
        } else {
            glyphs.push_back(width < 0 ? kReplacement : Glyph{utf8.substr(i, length), width});
        }
        i += length;
    }
    ::uselocale(previous);
    return glyphs;
}

// The paragraphs of a text (ended by CR LF, LF or CR), tabs taken to the
// next tab stop.
std::vector<GlyphLine> Paragraphs(const std::string& utf8) {
    std::vector<GlyphLine> paragraphs;
    size_t start = 0;
    while (start <= utf8.size()) {
        const size_t end = std::min(utf8.find_first_of("\r\n", start), utf8.size());
        GlyphLine line;
        for (Glyph& g : Glyphs(utf8.substr(start, end - start))) {
            if (g.bytes == "\t") {
                line.resize(line.size() + kTabColumns - Columns(line) % kTabColumns, {" ", 1});
            } else {
                line.push_back(std::move(g));
            }
        }
        paragraphs.push_back(std::move(line));
        if (end == utf8.size()) {
            break;
        }
        start = end + (utf8.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return paragraphs;
}

// A paragraph broken into lines of at most `width` columns: after the last
// blank that fits, a word longer than a line at the width. The blanks at a
// break are dropped.
std::vector<GlyphLine> Wrapped(const GlyphLine& paragraph, int width) {
    std::vector<GlyphLine> lines;
    size_t start = 0;
    do {
        size_t end = start, lastBlank = std::string::npos;
        int used = 0;
        while (end < paragraph.size() && used + paragraph[end].width <= width) {
            if (IsBlank(paragraph[end])) {
                lastBlank = end;
            }
            used += paragraph[end].width;
            ++end;
        }
        size_t next = end;
        if (end < paragraph.size() && !IsBlank(paragraph[end]) && lastBlank != std::string::npos &&
            lastBlank > start) {
            end = next = lastBlank;
        } else if (end == start && end < paragraph.size()) {
            end = next = start + 1;  // a character wider than the line
        }
        GlyphLine line(paragraph.begin() + static_cast<long>(start),
                       paragraph.begin() + static_cast<long>(end));
        while (!line.empty() && IsBlank(line.back())) {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        while (next < paragraph.size() && IsBlank(paragraph[next])) {
            ++next;
        }
        start = next;
    } while (start < paragraph.size());
    return lines;
}

std::vector<GlyphLine> WrappedText(const std::string& utf8, int width) {
    std::vector<GlyphLine> lines;
    for (const GlyphLine& paragraph : Paragraphs(utf8)) {
        for (GlyphLine& line : Wrapped(paragraph, width)) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

// A label's or button's text on one line: its line breaks become blanks.
GlyphLine OneLine(const std::string& utf8) {
    GlyphLine line;
    for (const GlyphLine& paragraph : Paragraphs(utf8)) {
        if (!line.empty()) {
            line.push_back({" ", 1});
        }
        line.insert(line.end(), paragraph.begin(), paragraph.end());
    }
    return line;
}

// ---- the cells ----

struct Cell {
    std::string glyph = " ";  // empty for the right half of a wide character
    int back = kFaceColour;
    int fore = kWindowText;
    bool bold = false;
};

struct Colours {
    int back = kFaceColour;
    int fore = kWindowText;
    bool bold = false;
};

class Canvas {
  public:
    Canvas(int columns, int rows)
        : columns_(columns), rows_(rows), cells_(static_cast<size_t>(columns * rows)) {}

    void Fill(int column, int row, int width, int height, Colours colours) {
        for (int r = row; r < row + height; ++r) {
            for (int c = column; c < column + width; ++c) {
                Put(c, r, {" ", 1}, colours);
            }
        }
    }

    // Writes `text` from `column` on, no further than `end`; the columns used.
    int Write(int column, int row, const GlyphLine& text, int end, Colours colours) {
        int at = column;
        for (const Glyph& g : text) {
            if (at + g.width > end) {
                break;
            }
            Put(at, row, g, colours);
            at += g.width;
        }
        return at - column;
    }

    void Put(int column, int row, const Glyph& glyph, Colours colours) {
        if (row < 0 || row >= rows_ || column < 0 || column + glyph.width > columns_) {
            return;
        }
        // A wide character that is partly overwritten goes whole.
        if (Cell& here = At(column, row); here.glyph.empty() && column > 0) {
            At(column - 1, row).glyph = " ";
        }
        const int after = column + glyph.width;
        if (after < columns_ && At(after, row).glyph.empty()) {
            At(after, row).glyph = " ";
        }
        At(column, row) = {glyph.bytes, colours.back, colours.fore, colours.bold};
        if (glyph.width == 2) {
            At(column + 1, row) = {"", colours.back, colours.fore, colours.bold};
        }
    }

    std::string Row(int row, const TerminalStyle& style) const {
        std::string line;
        const Cell* current = nullptr;
        for (int c = 0; c < columns_; ++c) {
            const Cell& cell = cells_[static_cast<size_t>(row * columns_ + c)];
            if (style.colours && (!current || cell.back != current->back ||
                                  cell.fore != current->fore || cell.bold != current->bold)) {
                line += "\x1b[0;";
                line += cell.bold ? "1;" : "";
                line += std::to_string(cell.fore < 8 ? 30 + cell.fore : 82 + cell.fore) + ";" +
                        std::to_string(cell.back < 8 ? 40 + cell.back : 92 + cell.back) + "m";
                current = &cell;
            }
            line += cell.glyph;
        }
        if (style.colours) {
            line += "\x1b[0m";
        }
        return line;
    }

  private:
    Cell& At(int column, int row) { return cells_[static_cast<size_t>(row * columns_ + column)]; }

    int columns_, rows_;
    std::vector<Cell> cells_;
};

// ---- the layout in cells ----

struct Placed {
    int column = 0, end = 0;  // columns [column, end)
    int row = 0, rows = 1;
    int room = 1;  // rows from `row` down to the next line of the window
};

int OwnRows(const ControlSpec& spec) {
    switch (spec.kind) {
        case ControlKind::Button:
            return 1;
        case ControlKind::RichEdit:
        case ControlKind::Memo:
            return std::max(kMinBoxRows, Cells(spec.height, kCellHeight));
        case ControlKind::Label:
            break;
    }
    return std::max(1, Cells(spec.height, kCellHeight));
}

std::vector<Placed> Place(const WindowSpec& layout, int clientRows) {
    const auto& controls = layout.controls;
    std::vector<Placed> placed(controls.size());
    std::vector<size_t> order(controls.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return controls[a].top < controls[b].top; });

    struct Line {
        int top, bottom, row, rows;
        std::vector<size_t> members;
    };
    std::vector<Line> lines;
    for (const size_t i : order) {
        const ControlSpec& spec = controls[i];
        if (lines.empty() || spec.top >= lines.back().bottom) {
            int row = Cells(spec.top, kCellHeight);
            if (!lines.empty()) {
                const Line& above = lines.back();
                row = std::max(above.row + std::max(1, Cells(spec.top - above.top, kCellHeight)),
                               above.row + above.rows);
            }
            lines.push_back({spec.top, spec.top + spec.height, row, 0, {}});
        }
        Line& line = lines.back();
        line.bottom = std::max(line.bottom, spec.top + spec.height);
        line.rows = std::max(line.rows, OwnRows(spec));
        line.members.push_back(i);
    }
    for (size_t l = 0; l < lines.size(); ++l) {
        Line& line = lines[l];
        line.row = std::max(0, std::min(line.row, clientRows - line.rows));
        const int next = l + 1 < lines.size() ? lines[l + 1].row : clientRows;
        for (const size_t i : line.members) {
            const ControlSpec& spec = controls[i];
            Placed& p = placed[i];
            p.column = Cells(spec.left, kCellWidth);
            p.end = std::max(p.column + 1, Cells(spec.left + spec.width, kCellWidth));
            p.row = line.row;
            p.rows = OwnRows(spec);
            p.room = std::max(p.rows, next - line.row);
        }
    }
    return placed;
}

// ---- drawing the controls ----

class Painter {
  public:
    Painter(Canvas& canvas, const FramePieces& pieces) : canvas_(canvas), pieces_(pieces) {}

    void Label(const ControlSpec& spec, const ControlState& state, const Placed& p) {
        const Colours colours{state.background ? NearestAnsi(*state.background) : kFaceColour,
                              kWindowText, spec.font.bold};
        const std::string& text = state.text;
        const int width = p.end - p.column;
        if (spec.autoSize) {
            const GlyphLine line = OneLine(text);
            // An empty label keeps the width of one blank.
            const int used = std::max(1, Columns(line));
            const int column = Aligned(spec.alignment, p.column, p.end, used);
            canvas_.Fill(column, p.row, used, 1, colours);
            canvas_.Write(column, p.row, line, column + used, colours);
            return;
        }
        const std::vector<GlyphLine> lines = WrappedText(text, width);
        const int rows = std::max(p.rows, std::min(static_cast<int>(lines.size()), p.room));
        canvas_.Fill(p.column, p.row, width, rows, colours);
        for (int r = 0; r < rows && r < static_cast<int>(lines.size()); ++r) {
            const auto& line = lines[static_cast<size_t>(r)];
            canvas_.Write(Aligned(spec.alignment, p.column, p.end, Columns(line)), p.row + r, line,
                          p.end, colours);
        }
    }

    void Button(const ControlState& state, const Placed& p) {
        const Colours colours{kFaceColour, kWindowText, false};
        canvas_.Fill(p.column, p.row, p.end - p.column, 1, colours);
        canvas_.Put(p.column, p.row, {"[", 1}, colours);
        canvas_.Put(p.end - 1, p.row, {"]", 1}, colours);
        GlyphLine text = OneLine(state.text);
        const int room = p.end - p.column - 2;
        if (Columns(text) > room) {
            while (!text.empty() && Columns(text) > room - 1) {
                text.pop_back();
            }
            text.push_back({pieces_.cut, 1});
        }
        canvas_.Write(Aligned(Alignment::Center, p.column + 1, p.end - 1, Columns(text)), p.row,
                      text, p.end - 1, colours);
    }

    // The rich-text box: its text wrapped at its width, a vertical scroll bar.
    void RichEdit(const ControlState& state, const Placed& p) {
        const Colours colours = BoxColours(state);
        const int width = p.end - p.column - 3;
        const int height = p.rows - 2;
        Frame(p, colours);
        const std::vector<GlyphLine> lines = WrappedText(state.text, width);
        for (int r = 0; r < height && r < static_cast<int>(lines.size()); ++r) {
            canvas_.Write(p.column + 1, p.row + 1 + r, lines[static_cast<size_t>(r)],
                          p.column + 1 + width, colours);
        }
        VerticalBar(p.end - 2, p.row + 1, height, static_cast<int>(lines.size()) > height, colours);
    }

    // The plain box: its lines as they are, cut at its width, both scroll bars.
    void Memo(const ControlState& state, const Placed& p) {
        const Colours colours = BoxColours(state);
        const int width = p.end - p.column - 3;
        const int height = p.rows - 3;
        Frame(p, colours);
        bool wide = false;
        for (int r = 0; r < static_cast<int>(state.lines.size()); ++r) {
            const GlyphLine line = OneLine(state.lines[static_cast<size_t>(r)]);
            wide = wide || Columns(line) > width;
            if (r < height) {
                canvas_.Write(p.column + 1, p.row + 1 + r, line, p.column + 1 + width, colours);
            }
        }
        VerticalBar(p.end - 2, p.row + 1, height, static_cast<int>(state.lines.size()) > height,
                    colours);
        const Colours bar{colours.back, wide ? kWindowText : kDisabledText, false};
        canvas_.Put(p.column + 1, p.row + 1 + height, {pieces_.left, 1}, bar);
        for (int c = 1; c + 1 < width; ++c) {
            canvas_.Put(p.column + 1 + c, p.row + 1 + height, {pieces_.track, 1}, bar);
        }
        canvas_.Put(p.column + width, p.row + 1 + height, {pieces_.right, 1}, bar);
    }

    // A frame of `columns` x `rows` cells; its top edge in `top`, with
    // `caption` in it.
    void Frame(int column, int row, int columns, int rows, Colours edge, Colours top,
               const GlyphLine& caption) {
        for (int c = column + 1; c < column + columns - 1; ++c) {
            canvas_.Put(c, row, {pieces_.horizontal, 1}, top);
            canvas_.Put(c, row + rows - 1, {pieces_.horizontal, 1}, edge);
        }
        for (int r = row + 1; r < row + rows - 1; ++r) {
            canvas_.Put(column, r, {pieces_.vertical, 1}, edge);
            canvas_.Put(column + columns - 1, r, {pieces_.vertical, 1}, edge);
        }
        canvas_.Put(column, row, {pieces_.topLeft, 1}, top);
        canvas_.Put(column + columns - 1, row, {pieces_.topRight, 1}, top);
        canvas_.Put(column, row + rows - 1, {pieces_.bottomLeft, 1}, edge);
        canvas_.Put(column + columns - 1, row + rows - 1, {pieces_.bottomRight, 1}, edge);
        if (!caption.empty()) {
            GlyphLine titled = {{" ", 1}};
            titled.insert(titled.end(), caption.begin(), caption.end());
            titled.push_back({" ", 1});
            canvas_.Write(column + 2, row, titled, column + columns - 2, top);
        }
    }

  private:
    static int Aligned(Alignment alignment, int column, int end, int used) {
        switch (alignment) {
            case Alignment::Right:
                return end - used;
            case Alignment::Center:
                return column + std::max(0, end - column - used) / 2;
            case Alignment::Left:
                break;
        }
        return column;
    }

    static Colours BoxColours(const ControlState& state) {
        return {state.background ? NearestAnsi(*state.background) : kWindowColour, kWindowText,
                false};
    }

    void Frame(const Placed& p, Colours inside) {
        const Colours edge{kFaceColour, kWindowText, false};
        canvas_.Fill(p.column, p.row, p.end - p.column, p.rows, inside);
        Frame(p.column, p.row, p.end - p.column, p.rows, edge, edge, {});
    }

    // A scroll bar, dimmed while there is nothing to scroll.
    void VerticalBar(int column, int row, int height, bool enabled, Colours box) {
        const Colours bar{box.back, enabled ? kWindowText : kDisabledText, false};
        for (int r = 0; r < height; ++r) {
            const char* piece = r == 0            ? pieces_.up
                                : r == height - 1 ? pieces_.down
                                                  : pieces_.track;
            canvas_.Put(column, row + r, {piece, 1}, bar);
        }
    }

    Canvas& canvas_;
    const FramePieces& pieces_;
};

}  // namespace

TerminalStyle StyleForTerminal(const char* term, const char* noColor) {
    TerminalStyle style;
    if (term && std::strcmp(term, "dumb") == 0) {
        style.escapes = false;
        style.colours = false;
    }
    if (noColor && *noColor) {
        style.colours = false;
    }
    return style;
}

ScreenSize DrawnSize(const WindowSpec& layout) {
    return {Cells(layout.clientWidth, kCellWidth) + 2, Cells(layout.clientHeight, kCellHeight) + 2};
}

std::vector<DrawnLine> DrawScreen(const WindowSpec& layout, const WindowState& state,
                                  const TerminalStyle& style) {
    const ScreenSize size = DrawnSize(layout);
    const FramePieces& pieces = style.escapes ? kBoxPieces : kAsciiPieces;
    Canvas canvas(size.columns, size.rows);
    Painter painter(canvas, pieces);
    // The window's surface, its frame, and the caption bar in its top edge.
    canvas.Fill(0, 0, size.columns, size.rows, {});
    painter.Frame(0, 0, size.columns, size.rows, {}, {kCaptionColour, kCaptionText, true},
                  OneLine(state.caption));

    const std::vector<Placed> placed = Place(layout, size.rows - 2);
    std::vector<DrawnLine> lines(static_cast<size_t>(size.rows));
    const size_t count = std::min(layout.controls.size(), state.controls.size());
    for (size_t i = 0; i < count; ++i) {
        const ControlState& control = state.controls[i];
        if (!control.visible) {
            continue;
        }
        Placed p = placed[i];
        p.column += 1;  // inside the frame
        p.end += 1;
        p.row += 1;
        switch (control.kind) {
            case ControlKind::Label:
                painter.Label(layout.controls[i], control, p);
                break;
            case ControlKind::RichEdit:
                painter.RichEdit(control, p);
                break;
            case ControlKind::Memo:
                painter.Memo(control, p);
                break;
            case ControlKind::Button:
                painter.Button(control, p);
                lines[static_cast<size_t>(p.row)].control = static_cast<int>(i);
                break;
        }
    }
    for (int r = 0; r < size.rows; ++r) {
        lines[static_cast<size_t>(r)].text = canvas.Row(r, style);
    }
    return lines;
}

std::vector<std::string> ScreenLines(const std::string& utf8, int columns) {
    std::vector<std::string> lines;
    for (const GlyphLine& line : WrappedText(utf8, columns)) {
        lines.emplace_back();
        for (const Glyph& g : line) {
            lines.back() += g.bytes;
        }
    }
    return lines;
}

std::string ScreenUpdate(const std::vector<std::string>& before,
                         const std::vector<std::string>& after, const TerminalStyle& style) {
    if (before == after) {
        return {};
    }
    std::string out;
    if (!style.escapes) {
        for (const auto& line : after) {
            out += line + "\n";
        }
        return out;
    }
    if (before.empty()) {
        // No line feed after the last line: on a terminal just as high as
        // the drawing it would scroll the top away.
        out = "\x1b[H\x1b[2J";
        for (size_t r = 0; r < after.size(); ++r) {
            out += (r > 0 ? "\n" : "") + after[r];
        }
    }
    for (size_t r = 0; r < after.size() && !before.empty(); ++r) {
        if (r >= before.size() || before[r] != after[r]) {
            out += "\x1b[" + std::to_string(r + 1) + ";1H" + after[r] + "\x1b[K";
        }
    }
    out += "\x1b[" + std::to_string(after.size() + 1) + ";1H";
    if (after.size() < before.size()) {
        out += "\x1b[J";
    }
    return out;
}

}  // namespace platform::standin
