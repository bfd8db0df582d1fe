#include "platform/standin/toolkit_render.h"

#include <cstdio>

#include "platform/standin/rtf.h"
#include "platform/text_codes.h"

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

std::string Utf8From1252(const std::string& text) {
    return platform::Utf8From1252(text, Unused1252::kReplacement);
}

std::string PrintableText(const std::string& text) {
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t' && c != '\n') || byte == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            shown += hex;
        } else {
            shown += c;
        }
    }
    return Utf8From1252(shown);
}

std::string QuoteText(const std::string& text, bool utf8) {
    std::string escaped;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
            case '\\':
                escaped += "\\\\";
                break;
            case '"':
                escaped += "\\\"";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\t':
                escaped += "\\t";
                break;
            case '\r':
                if (i + 1 < text.size() && text[i + 1] == '\n') {
                    escaped += "\\n";
                    ++i;
                } else {
                    escaped += "\\r";
                }
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                    char hex[8];
                    std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
                    escaped += hex;
                } else {
                    escaped += c;
                }
                break;
        }
    }
    return "\"" + (utf8 ? escaped : Utf8From1252(escaped)) + "\"";
}

std::vector<DrawnLine> DrawWindow(const WindowState& state, bool visibleOnly) {
    std::vector<DrawnLine> drawn;
    drawn.push_back({"--- " + Utf8From1252(state.caption) + " ---", -1});
    for (size_t i = 0; i < state.controls.size(); ++i) {
        const ControlState& c = state.controls[i];
        if (visibleOnly && !c.visible) {
            continue;
        }
        const bool memo = c.kind == ControlKind::Memo;
        std::string line =
            Utf8From1252(c.name) + ": " + QuoteText(memo ? std::string() : c.text, c.utf8);
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
