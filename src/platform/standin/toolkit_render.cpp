#include "platform/standin/toolkit_render.h"

#include <cstdio>

#include "platform/standin/rtf.h"
#include "platform/standin/text.h"

namespace platform::standin {

namespace {

constexpr const char* kEndLine = "--- end ---";
constexpr const char* kIndent = "    ";

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// A control character (C0, DELETE, or C1 such as U+009B, which some
// terminals take for the start of a command) as \xHH.
bool IsControl(char32_t code) {
    return code < 0x20 || (code >= 0x7F && code <= 0x9F);
}

void AppendHex(std::string& out, char32_t code) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(code));
    out += hex;
}

// `text` with every byte that is not UTF-8 shown as U+FFFD, and each
// character for which `escape` appends its own spelling (and says true)
// spelt so; `escape` is also given the text after the character.
template <typename Escape>
std::string Shown(const std::string& text, Escape escape) {
    std::string shown;
    shown.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const Utf8Char c = ReadUtf8(text, at);
        if (c.length == 0) {
            AppendUtf8(shown, kReplacementCharacter);
            ++at;
            continue;
        }
        if (!escape(shown, c.code, std::string_view(text).substr(at + c.length))) {
            shown.append(text, at, c.length);
        }
        at += c.length;
    }
    return shown;
}

}  // namespace

WindowState InitialState(const WindowSpec& spec) {
    WindowState state;
    state.caption = spec.caption;
    for (const auto& control : spec.controls) {
        ControlState c;
        c.name = control.name;
        c.kind = control.kind;
        if (control.kind == ControlKind::Memo) {
            c.lines = SplitLines(control.text);
        } else {
            c.text = control.text;
        }
        c.background = control.background;
        c.visible = control.visible;
        state.controls.push_back(std::move(c));
    }
    return state;
}

std::string PrintableText(const std::string& text) {
    return Shown(text, [](std::string& out, char32_t code, std::string_view) {
        if (!IsControl(code) || code == '\t' || code == '\n') {
            return false;
        }
        AppendHex(out, code);
        return true;
    });
}

std::string QuoteText(const std::string& text) {
    bool skipLineFeed = false;  // the LF of a CR LF pair, written as one \n
    const std::string escaped =
        Shown(text, [&skipLineFeed](std::string& out, char32_t code, std::string_view rest) {
            if (skipLineFeed) {
                skipLineFeed = false;
                if (code == '\n') {
                    return true;
                }
            }
            switch (code) {
                case '\\':
                    out += "\\\\";
                    return true;
                case '"':
                    out += "\\\"";
                    return true;
                case '\n':
                    out += "\\n";
                    return true;
                case '\t':
                    out += "\\t";
                    return true;
                case '\r':
                    if (!rest.empty() && rest.front() == '\n') {
                        out += "\\n";
                        skipLineFeed = true;
                    } else {
                        out += "\\r";
                    }
                    return true;
                default:
                    if (IsControl(code)) {
                        AppendHex(out, code);
                        return true;
                    }
                    return false;
            }
        });
    return "\"" + escaped + "\"";
}

std::vector<DrawnLine> DrawWindow(const WindowState& state, bool visibleOnly) {
    std::vector<DrawnLine> drawn;
    drawn.push_back({"--- " + PrintableText(state.caption) + " ---", -1});
    for (size_t i = 0; i < state.controls.size(); ++i) {
        const ControlState& c = state.controls[i];
        if (visibleOnly && !c.visible) {
            continue;
        }
        const bool memo = c.kind == ControlKind::Memo;
        std::string line = PrintableText(c.name) + ": " + QuoteText(memo ? std::string() : c.text);
        if (c.background) {
            char hex[32];
            std::snprintf(hex, sizeof hex, " background=#%02X%02X%02X", RedOf(*c.background),
                          GreenOf(*c.background), BlueOf(*c.background));
            line += hex;
        }
        if (!c.visible) {
            line += " hidden";
        }
        drawn.push_back({std::move(line), static_cast<int>(i)});
        if (memo) {
            for (const auto& memoLine : c.lines) {
                drawn.push_back({kIndent + PrintableText(memoLine), -1});
            }
        }
    }
    drawn.push_back({kEndLine, -1});
    return drawn;
}

std::string RenderBlock(const WindowState& state) {
    std::string block;
    for (const auto& line : DrawWindow(state)) {
        block += line.text;
        block += '\n';
    }
    return block;
}

}  // namespace platform::standin
