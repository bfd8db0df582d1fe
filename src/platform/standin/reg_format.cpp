#include "platform/standin/reg_format.h"

#include "platform/registry.h"
#include "platform/standin/text.h"

namespace platform::standin::regfile {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

// Blanks, and at a line's end the CR of a CR LF line end too.
constexpr std::string_view kLineEndBlanks = " \t\r";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

std::string Quote(std::string_view text) {
    std::string result = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') {
            result += '\\';
        }
        result += c;
    }
    result += '"';
    return result;
}

// Reads a quoted text at the start of `text`, leaving `text` after the
// closing quote. "\\" and "\"" are the escapes; any other backslash stands
// for itself, so a hand-written path such as "C:\Temp" reads as written.
bool Unquote(std::string_view* text, std::string* result) {
    if (text->empty() || text->front() != '"') {
        return false;
    }
    result->clear();
    for (size_t i = 1; i < text->size(); ++i) {
        const char c = (*text)[i];
        if (c == '"') {
            text->remove_prefix(i + 1);
            return true;
        }
        if (c == '\\' && i + 1 < text->size() &&
            ((*text)[i + 1] == '\\' || (*text)[i + 1] == '"')) {
            ++i;
        }
        *result += (*text)[i];
    }
    return false;
}

std::string NamePart(std::string_view name) {
    return name.empty() ? "@" : Quote(name);
}

// A REG_SZ that the "text" form carries unchanged: one terminating zero and
// nothing that would break the line, all of it UTF-8 (a line that is not is
// read as Windows-1252, as the stores of the program of old were written).
bool IsPlainString(std::string_view data) {
    if (data.empty() || data.back() != '\0') {
        return false;
    }
    data.remove_suffix(1);
    return data.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos &&
           IsValidUtf8(data);
}

bool ParseBytes(std::string_view text, std::string* bytes) {
    bytes->clear();
    text = TrimRight(TrimLeft(text), kLineEndBlanks);
    if (text.empty()) {
        return true;
    }
    for (;;) {
        text = TrimLeft(text);
        const auto byte = text.size() < 2 ? std::nullopt : ParseHex(text.substr(0, 2));
        if (!byte) {
            return false;
        }
        bytes->push_back(static_cast<char>(*byte));
        text.remove_prefix(2);
        text = TrimLeft(text);
        if (text.empty()) {
            return true;
        }
        if (text.front() != ',') {
            return false;
        }
        text.remove_prefix(1);
    }
}

bool ParseData(std::string_view text, ParsedLine* line) {
    text = TrimRight(TrimLeft(text), kLineEndBlanks);
    if (text == "-") {
        line->kind = ParsedLine::kDeletion;
        return true;
    }
    line->kind = ParsedLine::kValue;
    if (!text.empty() && text.front() == '"') {
        if (!Unquote(&text, &line->data) || !TrimLeft(text).empty()) {
            return false;
        }
        line->type = kRegSz;
        line->data += '\0';
        return true;
    }
    if (StartsWithNoCase(text, "dword:")) {
        text.remove_prefix(6);
        const auto value = text.size() == 8 ? ParseHex(text) : std::nullopt;
        if (!value) {
            return false;
        }
        line->type = kRegDword;
        line->data.clear();
        for (int i = 0; i < 4; ++i) {
            line->data += static_cast<char>((*value >> (8 * i)) & 0xFF);
        }
        return true;
    }
    if (!StartsWithNoCase(text, "hex")) {
        return false;
    }
    text.remove_prefix(3);
    line->type = kRegBinary;
    if (!text.empty() && text.front() == '(') {
        const size_t close = text.find(')');
        const auto type =
            close == std::string_view::npos ? std::nullopt : ParseHex(text.substr(1, close - 1));
        if (!type) {
            return false;
        }
        line->type = *type;
        text.remove_prefix(close + 1);
    }
    if (text.empty() || text.front() != ':') {
        return false;
    }
    return ParseBytes(text.substr(1), &line->data);
}

// A piece of a hex line that goes on in the next line, as exported files
// wrap them: it ends with ",\" or ":\".
bool EndsContinued(std::string_view line) {
    line = TrimRight(line, kLineEndBlanks);
    return line.size() >= 2 && line.back() == '\\' &&
           (line[line.size() - 2] == ',' || line[line.size() - 2] == ':');
}

// The first line of a wrapped value.
bool Continues(std::string_view line) {
    return EndsContinued(line) && (line.front() == '"' || line.front() == '@');
}

}  // namespace

std::string FormatHeader(std::string_view keyPath) {
    std::string result = "[";
    result += keyPath;
    result += ']';
    return result;
}

std::string FormatValueLine(std::string_view name, uint32_t type, std::string_view data) {
    std::string line = NamePart(name) + "=";
    if (type == kRegSz && IsPlainString(data)) {
        return line + Quote(data.substr(0, data.size() - 1));
    }
    if (type == kRegDword && data.size() == 4) {
        line += "dword:";
        for (int i = 3; i >= 0; --i) {
            const auto byte = static_cast<unsigned char>(data[static_cast<size_t>(i)]);
            line += kHexDigits[byte >> 4];
            line += kHexDigits[byte & 15];
        }
        return line;
    }
    line += "hex";
    if (type != kRegBinary) {
        std::string digits;
        for (uint32_t t = type; digits.empty() || t != 0; t >>= 4) {
            digits.insert(digits.begin(), kHexDigits[t & 15]);
        }
        line += "(" + digits + ")";
    }
    line += ':';
    line.reserve(line.size() + data.size() * 3);
    for (size_t i = 0; i < data.size(); ++i) {
        if (i > 0) {
            line += ',';
        }
        const auto byte = static_cast<unsigned char>(data[i]);
        line += kHexDigits[byte >> 4];
        line += kHexDigits[byte & 15];
    }
    return line;
}

std::string FormatDeletionLine(std::string_view name) {
    return NamePart(name) + "=-";
}

std::string FormatKeyDeletion(std::string_view keyPath) {
    std::string result = "[-";
    result += keyPath;
    result += ']';
    return result;
}

bool IsStorableName(std::string_view name) {
    return name.find_first_of("\r\n") == std::string_view::npos;
}

ParsedLine ParseLine(std::string_view text) {
    ParsedLine line;
    const std::string_view trimmed = TrimRight(TrimLeft(text), kLineEndBlanks);
    if (trimmed.empty() || trimmed.front() == ';') {
        line.kind = ParsedLine::kBlank;
        return line;
    }
    if (trimmed.front() == '[') {
        // "[-path]" deletes the key, as regedit reads it on import.
        const bool deletion = trimmed.size() > 1 && trimmed[1] == '-';
        const size_t start = deletion ? 2 : 1;
        if (trimmed.size() < start + 2 || trimmed.back() != ']') {
            return line;
        }
        line.kind = deletion ? ParsedLine::kKeyDeletion : ParsedLine::kHeader;
        line.keyPath = std::string(trimmed.substr(start, trimmed.size() - start - 1));
        return line;
    }
    std::string_view rest = trimmed;
    if (rest.front() == '@') {
        rest.remove_prefix(1);
    } else if (!Unquote(&rest, &line.name)) {
        return line;
    }
    rest = TrimLeft(rest);
    if (rest.empty() || rest.front() != '=') {
        return line;
    }
    if (!ParseData(rest.substr(1), &line)) {
        line = ParsedLine();
    }
    return line;
}

LineScan ScanCompleteLines(std::string_view text,
                           const std::function<bool(std::string_view)>& onLine) {
    LineScan scan;
    size_t at = 0;
    std::string joined;
    while (at < text.size()) {
        size_t lineEnd = text.find('\n', at);
        if (lineEnd == std::string_view::npos) {
            return scan;  // cut short: not a line yet
        }
        std::string_view physical = text.substr(at, lineEnd - at);
        if (!Continues(physical)) {
            at = lineEnd + 1;
            scan.end = at;
            if (!onLine(physical)) {
                scan.ok = false;
                return scan;
            }
            continue;
        }
        // Join the continued lines; the whole is complete only with the line
        // end of its last piece.
        joined.clear();
        for (;;) {
            physical = TrimRight(physical, kLineEndBlanks);
            const bool more = EndsContinued(physical);
            if (more) {
                physical.remove_suffix(1);
            }
            joined += joined.empty() ? physical : TrimLeft(physical);
            at = lineEnd + 1;
            if (!more) {
                break;
            }
            lineEnd = text.find('\n', at);
            if (lineEnd == std::string_view::npos) {
                return scan;
            }
            physical = text.substr(at, lineEnd - at);
        }
        scan.end = at;
        if (!onLine(joined)) {
            scan.ok = false;
            return scan;
        }
    }
    return scan;
}

}  // namespace platform::standin::regfile
