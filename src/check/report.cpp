#include "check/report.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "platform/text_codes.h"
#include "script/commands.h"

namespace check {

namespace {

// The keys in the order they are set, as the report has always had them.
using Json = nlohmann::ordered_json;

constexpr const char* kFlagMark = "  !! ";
constexpr const char* kNoteMark = "  note ";
constexpr const char* kActionMark = "  -> ";
constexpr const char* kMessageLabel = "the program's message: ";

void AppendFinding(std::string& out, const Finding& finding, const std::string& indent) {
    // A fact the check could not know reads as it stands: its text says so.
    const std::string head = finding.kind == kind::kDepends ? "" : finding.kind + ": ";
    out += indent + SeverityMark(finding.severity) + head + finding.text + "\n";
    if (!finding.message.empty()) {
        out += indent + "     " + kMessageLabel + finding.message + "\n";
    }
}

std::string Where(const CheckedLine& line) {
    return line.file + ":" + std::to_string(line.number);
}

}  // namespace

const char* SeverityWord(Severity severity) {
    return severity == Severity::kFlag ? "flag" : "note";
}

const char* SeverityMark(Severity severity) {
    return severity == Severity::kFlag ? kFlagMark : kNoteMark;
}

std::string Plural(long long count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

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
                // ANSI, as every file used to be read, goes unsaid.
                const bool ansi = file.encoding == core::EncodingName(core::TextEncoding::kAnsi);
                out += " (" + Plural(file.lineCount, "line", "lines") +
                       (ansi ? "" : ", " + file.encoding) + ")\n";
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
    return Json(platform::ValidUtf8(text)).dump(-1, ' ', true);
}

namespace {

Json JsonFindings(const std::vector<Finding>& findings) {
    Json out = Json::array();
    for (const Finding& finding : findings) {
        Json item = {{"severity", SeverityWord(finding.severity)},
                     {"kind", finding.kind},
                     {"text", platform::ValidUtf8(finding.text)}};
        if (!finding.message.empty()) {
            item["message"] = platform::ValidUtf8(finding.message);
        }
        out.push_back(std::move(item));
    }
    return out;
}

}  // namespace

std::string FormatJson(const CheckReport& report) {
    Json out = {
        {"share", platform::ValidUtf8(report.shareDir)},
        {"settingsFile", platform::ValidUtf8(report.settingsFile)},
        {"settingsLoaded", report.settingsLoaded},
        {"user", platform::ValidUtf8(report.user)},
        {"machine", platform::ValidUtf8(report.machine)},
        {"fullName", platform::ValidUtf8(report.fullName)},
        {"group", platform::ValidUtf8(report.group)},
        {"dateTime", platform::ValidUtf8(report.dateTime)},
        {"processOrder", platform::ValidUtf8(report.processOrder)},
        {"eventLog", report.eventLog},
        {"stops", report.stops},
        {"flags", report.Count(Severity::kFlag)},
        {"notes", report.Count(Severity::kNote)},
        {"findings", JsonFindings(report.findings)},
    };
    Json files = Json::array();
    for (const ScriptFile& file : report.files) {
        Json item = {{"letter", std::string(1, file.letter)},
                     {"path", platform::ValidUtf8(file.path)},
                     {"exists", file.exists},
                     {"loaded", file.loaded},
                     {"lines", file.lineCount}};
        if (file.loaded) {
            item["encoding"] = file.encoding;
        }
        files.push_back(std::move(item));
    }
    out["files"] = std::move(files);
    Json lines = Json::array();
    for (const CheckedLine& line : report.lines) {
        // The run's own messages and the facts the line depends on, as
        // tools compare them with a run; and what it changes.
        Json messages = Json::array();
        Json depends = Json::array();
        for (const Finding& finding : line.findings) {
            if (!finding.message.empty()) {
                messages.push_back(platform::ValidUtf8(finding.message));
            }
            if (finding.kind == kind::kDepends) {
                depends.push_back(platform::ValidUtf8(finding.text));
            }
        }
        Json effects = Json::array();
        for (const Effect& effect : line.effects) {
            Json item = {{"kind", effect.kind}, {"text", platform::ValidUtf8(effect.text)}};
            for (const auto& [name, value] : effect.fields) {
                item[name] = platform::ValidUtf8(value);
            }
            effects.push_back(std::move(item));
        }
        lines.push_back({{"file", platform::ValidUtf8(line.file)},
                         {"line", line.number},
                         {"text", platform::ValidUtf8(line.text)},
                         {"expanded", platform::ValidUtf8(line.expanded)},
                         {"command", line.command},
                         {"action", platform::ValidUtf8(line.action)},
                         {"messages", std::move(messages)},
                         {"effects", std::move(effects)},
                         {"depends", std::move(depends)},
                         {"findings", JsonFindings(line.findings)}});
    }
    out["lines"] = std::move(lines);
    return out.dump(-1, ' ', true) + "\n";
}

}  // namespace check
