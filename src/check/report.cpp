#include "check/report.h"

#include <array>
#include <cstdio>

#include "script/commands.h"

namespace check {

namespace {

constexpr const char* kFlagMark = "  !! ";
constexpr const char* kNoteMark = "  note ";
constexpr const char* kActionMark = "  -> ";
constexpr const char* kMessageLabel = "the program's message: ";

// Windows-1252 bytes 0x80 to 0x9F; the rest of the upper half is Latin-1.
constexpr std::array<uint16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string Plural(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

void AppendFinding(std::string& out, const Finding& finding, const std::string& indent) {
    out += indent + (finding.severity == Severity::kFlag ? kFlagMark : kNoteMark) + finding.kind +
           ": " + finding.text + "\n";
    if (!finding.message.empty()) {
        out += indent + "     " + kMessageLabel + finding.message + "\n";
    }
}

std::string Where(const CheckedLine& line) {
    return line.file + ":" + std::to_string(line.number);
}

}  // namespace

std::string FormatText(const CheckReport& report) {
    std::string out = "Logon of " + report.user;
    if (!report.fullName.empty()) {
        out += " (" + report.fullName + ")";
    }
    out += " on " + report.machine;
    if (!report.group.empty()) {
        out += ", group " + report.group;
    }
    out += "\nShare " + report.shareDir + ", settings file " + report.settingsFile;
    if (report.macrosFileFailed) {
        out += " (read; the macros file it names cannot be opened)\n";
    } else {
        out += report.settingsLoaded ? "\n" : " (not read)\n";
    }
    if (!report.dateTime.empty()) {
        out += "%DateTime% is " + report.dateTime + "\n";
    }
    if (!report.eventLog) {
        out += "EventLog=0: the logon writes no event to the event log\n";
    }
    for (const Finding& finding : report.findings) {
        AppendFinding(out, finding, "");
    }

    if (!report.files.empty()) {
        out += "\nScript files in the process order " + report.processOrder + ":\n";
        for (const ScriptFile& file : report.files) {
            out += std::string("  ") + file.letter + "  " + file.path;
            if (file.loaded) {
                out += " (" + Plural(file.lineCount, "line", "lines") + ")\n";
            } else {
                out += file.exists ? ": cannot be opened\n" : ": missing, skipped\n";
            }
        }
    }

    std::string file;
    for (const CheckedLine& line : report.lines) {
        if (line.file != file) {
            file = line.file;
            out += "\n";
        }
        out += Where(line) + "  " + line.expanded + "\n";
        if (line.command != script::CommandFor(script::CommandKind::kComment).word) {
            out += kActionMark + line.action + "\n";
        }
        for (const Finding& finding : line.findings) {
            AppendFinding(out, finding, "");
        }
    }

    const int flags = report.Count(Severity::kFlag);
    const int notes = report.Count(Severity::kNote);
    out += "\n";
    if (report.stops) {
        out += "The logon stops before the script runs.\n";
    }
    if (flags > 0) {
        out += "Flagged:\n";
        for (const Finding& finding : report.findings) {
            if (finding.severity == Severity::kFlag) {
                out += "  " + finding.kind + ": " + finding.text + "\n";
            }
        }
        for (const CheckedLine& line : report.lines) {
            for (const Finding& finding : line.findings) {
                if (finding.severity == Severity::kFlag) {
                    out += "  " + Where(line) + "  " + finding.kind + "\n";
                }
            }
        }
    }
    out += Plural(flags, "flag", "flags") + ", " + Plural(notes, "note", "notes") + ".\n";
    return out;
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        char escape[8];
        switch (c) {
            case '"':
                out += "\\\"";
                continue;
            case '\\':
                out += "\\\\";
                continue;
            case '\n':
                out += "\\n";
                continue;
            case '\r':
                out += "\\r";
                continue;
            case '\t':
                out += "\\t";
                continue;
            default:
                break;
        }
        if (byte < 0x20 || byte >= 0x7F) {
            const unsigned code = byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte;
            std::snprintf(escape, sizeof escape, "\\u%04X", code);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

namespace {

std::string JsonFindings(const std::vector<Finding>& findings) {
    std::string out = "[";
    for (size_t i = 0; i < findings.size(); ++i) {
        const Finding& finding = findings[i];
        out += i == 0 ? "" : ",";
        out += "{\"severity\":";
        out += finding.severity == Severity::kFlag ? "\"flag\"" : "\"note\"";
        out += ",\"kind\":" + JsonString(finding.kind) + ",\"text\":" + JsonString(finding.text);
        if (!finding.message.empty()) {
            out += ",\"message\":" + JsonString(finding.message);
        }
        out += "}";
    }
    return out + "]";
}

std::string JsonBool(bool value) {
    return value ? "true" : "false";
}

}  // namespace

std::string FormatJson(const CheckReport& report) {
    std::string out = "{";
    out += "\"share\":" + JsonString(report.shareDir);
    out += ",\"settingsFile\":" + JsonString(report.settingsFile);
    out += ",\"settingsLoaded\":" + JsonBool(report.settingsLoaded);
    out += ",\"user\":" + JsonString(report.user);
    out += ",\"machine\":" + JsonString(report.machine);
    out += ",\"fullName\":" + JsonString(report.fullName);
    out += ",\"group\":" + JsonString(report.group);
    out += ",\"dateTime\":" + JsonString(report.dateTime);
    out += ",\"processOrder\":" + JsonString(report.processOrder);
    out += ",\"eventLog\":" + JsonBool(report.eventLog);
    out += ",\"stops\":" + JsonBool(report.stops);
    out += ",\"flags\":" + std::to_string(report.Count(Severity::kFlag));
    out += ",\"notes\":" + std::to_string(report.Count(Severity::kNote));
    out += ",\"findings\":" + JsonFindings(report.findings);
    out += ",\"files\":[";
    for (size_t i = 0; i < report.files.size(); ++i) {
        const ScriptFile& file = report.files[i];
        out += i == 0 ? "{" : ",{";
        out += "\"letter\":" + JsonString(std::string(1, file.letter));
        out += ",\"path\":" + JsonString(file.path);
        out += ",\"exists\":" + JsonBool(file.exists);
        out += ",\"loaded\":" + JsonBool(file.loaded);
        out += ",\"lines\":" + std::to_string(file.lineCount) + "}";
    }
    out += "],\"lines\":[";
    for (size_t i = 0; i < report.lines.size(); ++i) {
        const CheckedLine& line = report.lines[i];
        out += i == 0 ? "\n{" : ",\n{";
        out += "\"file\":" + JsonString(line.file);
        out += ",\"line\":" + std::to_string(line.number);
        out += ",\"text\":" + JsonString(line.text);
        out += ",\"expanded\":" + JsonString(line.expanded);
        out += ",\"command\":" + JsonString(line.command);
        out += ",\"action\":" + JsonString(line.action);
        out += ",\"findings\":" + JsonFindings(line.findings) + "}";
    }
    return out + "]}\n";
}

}  // namespace check
