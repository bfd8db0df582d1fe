#include "check/checker.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "check/line_check.h"
#include "check/macro_check.h"
#include "core/error_list.h"
#include "core/exceptions.h"
#include "core/file_exists.h"
#include "logon/identity.h"
#include "logon/logon.h"
#include "logon/macros.h"
#include "logon/settings.h"
#include "script/commands.h"
#include "script/run.h"

namespace check {

namespace {

namespace fs = std::filesystem;

// The program's settings file, next to it in the share: tarnwick.exe (or
// the Linux tarnwick) reads tarnwick.INI.
constexpr const char* kSettingsFileName = "tarnwick.INI";

// The program runs in the share's folder, and every relative path of the
// settings and the script is relative to the current directory: the check
// does the same, and goes back when it is done.
class ShareDirectory {
  public:
    explicit ShareDirectory(const std::string& shareDir) {
        std::error_code ec;
        previous_ = fs::current_path(ec);
        if (!fs::is_directory(fs::path(shareDir), ec)) {
            throw CheckError("the share folder " + shareDir + " does not exist");
        }
        fs::current_path(fs::path(shareDir), ec);
        if (ec) {
            throw CheckError("cannot enter the share folder " + shareDir + ": " + ec.message());
        }
    }
    ~ShareDirectory() {
        std::error_code ec;
        fs::current_path(previous_, ec);
    }
    ShareDirectory(const ShareDirectory&) = delete;
    ShareDirectory& operator=(const ShareDirectory&) = delete;

  private:
    fs::path previous_;
};

// The logon context is module state of the program; the check sets it up
// the way start-up does and leaves nothing of it behind.
class LogonContext {
  public:
    LogonContext() { Reset(); }
    ~LogonContext() { Reset(); }
    LogonContext(const LogonContext&) = delete;
    LogonContext& operator=(const LogonContext&) = delete;

  private:
    static void Reset() {
        logon::ResetSettings();
        logon::ResetIdentity();
        core::ErrorList.reset();
    }
};

std::string StartupStopText(const std::string& what) {
    return what +
           " cannot be opened: the program stops before its window opens, with the message "
           "box \"Application Error\", and runs no script";
}

// The settings file as start-up read it, and the process order it gave.
void NoteSettings(const logon::LogonProgress& progress, const std::string& settingsPath,
                  CheckReport& report) {
    report.settingsLoaded = progress.settingsLoaded;
    if (!report.settingsLoaded) {
        report.findings.push_back(Flag(kind::kSettingsMissing,
                                       "the settings file cannot be read: every setting keeps "
                                       "its default",
                                       logon::LoadFailureMessage(settingsPath)));
    }
    report.processOrder = logon::ProcessOrder;
    report.eventLog = logon::EventLogEnabled();
}

void NoteFullName(const std::string& userList, CheckReport& report) {
    if (!core::FileExists(userList)) {
        report.findings.push_back(Note(kind::kNoFullName, "the full-name list " + userList +
                                                              " does not exist: %Fullname% is "
                                                              "empty"));
    } else if (report.fullName.empty()) {
        report.findings.push_back(
            Note(kind::kNoFullName,
                 userList + " has no entry for " + report.user + ": %Fullname% is empty"));
    }
}

void NoteProcessOrder(CheckReport& report) {
    std::string reported;
    for (char letter : report.processOrder) {
        if (!script::ScriptFileForLetter(letter) && reported.find(letter) == std::string::npos) {
            reported += letter;
            report.findings.push_back(
                Note(kind::kUnknownProcessLetter, std::string("the process letter \"") + letter +
                                                      "\" names no script file: it is ignored"));
        }
    }
}

void CheckScriptLines(const core::TStringList& code, const std::vector<script::ScriptPart>& parts,
                      CheckReport& report) {
    core::TStringList expanded;
    expanded.Assign(code);
    logon::ExpandMacros(expanded);

    LineContext context;
    context.userName = logon::UserName;
    for (const script::ScriptPart& part : parts) {
        if (part.header < 0) {
            continue;
        }
        for (int k = 0; k < part.lineCount; ++k) {
            const int index = part.header + 1 + k;
            CheckedLine line;
            line.file = part.path;
            line.number = k + 1;
            line.text = code.Get(index);
            line.expanded = expanded.Get(index);
            LineVerdict verdict = CheckLine(line.text, line.expanded, context);
            line.command = verdict.command;
            line.action = verdict.action;
            line.findings = std::move(verdict.flags);
            if (verdict.kind != script::CommandKind::kComment &&
                verdict.kind != script::CommandKind::kTooShort) {
                for (Finding& left : LeftReferences(line.expanded, *logon::MacroList)) {
                    line.findings.push_back(std::move(left));
                }
            }
            if (verdict.kind == script::CommandKind::kAttachHive) {
                context.hiveLine = line.file + ":" + std::to_string(line.number);
            }
            report.lines.push_back(std::move(line));
        }
    }
}

}  // namespace

int CheckReport::Count(Severity severity) const {
    const auto count = [severity](const std::vector<Finding>& findings) {
        return static_cast<int>(std::count_if(
            findings.begin(), findings.end(),
            [severity](const Finding& finding) { return finding.severity == severity; }));
    };
    int total = count(findings);
    for (const CheckedLine& line : lines) {
        total += count(line.findings);
    }
    return total;
}

CheckReport CheckLogon(const CheckRequest& request) {
    ShareDirectory share(request.shareDir);
    LogonContext context;

    CheckReport report;
    report.shareDir = request.shareDir;
    report.settingsFile = request.settingsFile.empty() ? kSettingsFileName : request.settingsFile;
    report.user = request.user;
    report.machine = request.machine;

    // The program's own start-up steps, for the identity of the request.
    logon::LogonInput input;
    input.configFileName = request.settingsFile.empty()
                               ? (fs::current_path() / kSettingsFileName).string()
                               : request.settingsFile;
    input.userListFile = request.userList;
    input.identity.user = request.user;
    input.identity.machine = request.machine;
    input.identity.group = request.group;
    input.identity.dateTime = request.dateTime;
    logon::LogonProgress progress;
    try {
        logon::LoadLogonContext(input, &progress);
    } catch (const core::EFOpenError& failure) {
        const bool macrosFile = progress.step == logon::LogonStep::kSettings;
        if (!macrosFile) {
            NoteSettings(progress, input.configFileName, report);
        }
        report.findings.push_back(
            Flag(kind::kStartupStops,
                 StartupStopText(macrosFile ? "the macros file named by the settings"
                                            : "the full-name list"),
                 failure.Message()));
        report.stops = true;
        return report;
    }
    NoteSettings(progress, input.configFileName, report);
    report.fullName = logon::FullName;
    report.group = logon::GroupName;
    report.dateTime = logon::DateTimeText;
    NoteFullName(input.userListFile.value_or(logon::UserListFile), report);

    const int firstFileMacro = logon::MacroList->Count() - progress.macrosFileLines;
    for (Finding& shadow : ShadowedMacros(*logon::MacroList, firstFileMacro,
                                          logon::ConfigList->ValueOf(logon::kMacrosKey))) {
        report.findings.push_back(std::move(shadow));
    }
    NoteProcessOrder(report);

    // The script as the run assembles it.
    core::TStringList code;
    std::vector<script::ScriptPart> parts;
    try {
        script::AssembleScript(report.processOrder, code, &parts);
    } catch (const core::EFOpenError& failure) {
        report.findings.push_back(
            Flag(kind::kRunStops,
                 parts.back().path +
                     " exists but cannot be opened: the run stops before any line runs, and "
                     "the window shows the failure",
                 failure.Message()));
        report.stops = true;
    }
    for (const script::ScriptPart& part : parts) {
        report.files.push_back(
            {part.letter, part.path, part.exists, part.header >= 0, part.lineCount});
        if (!part.exists) {
            report.findings.push_back(
                Note(kind::kMissingScriptFile, part.path + " (\"" + std::string(1, part.letter) +
                                                   "\") does not exist: it is skipped"));
        }
    }
    CheckScriptLines(code, parts, report);
    return report;
}

}  // namespace check
