#include "check/checker.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "check/line_check.h"
#include "check/macro_check.h"
#include "check/report.h"
#include "core/exceptions.h"
#include "core/file_exists.h"
#include "core/strings.h"
#include "core/text_decoder.h"
#include "logon/identity.h"
#include "logon/logon.h"
#include "logon/macros.h"
#include "logon/settings.h"
#include "platform/platform.h"
#include "platform/system.h"
#include "script/commands.h"
#include "script/interpreter.h"
#include "script/run.h"

namespace check {

namespace {

namespace fs = std::filesystem;

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

std::string StartupStopText(const std::string& what) {
    return what +
           " cannot be opened: the program stops before its window opens, with the message "
           "box \"Application Error\", and runs no script";
}

// The settings file as start-up read it, and the process order it gave.
void NoteSettings(logon::LogonContext& logon, bool settingsLoaded, const std::string& settingsPath,
                  CheckReport& report) {
    report.settingsLoaded = settingsLoaded;
    if (!report.settingsLoaded) {
        report.findings.push_back(Flag(kind::kSettingsMissing,
                                       "the settings file cannot be read: every setting keeps "
                                       "its default",
                                       logon::LoadFailureMessage(settingsPath)));
    }
    report.processOrder = logon.ProcessOrder;
    report.eventLog = logon::EventLogEnabled(logon);
}

void NoteFullName(const std::string& userList, bool listExists, CheckReport& report) {
    if (!listExists) {
        report.findings.push_back(Note(kind::kNoFullName, "the full-name list " + userList +
                                                              " does not exist: %Fullname% is "
                                                              "empty"));
    } else if (report.fullName.empty()) {
        report.findings.push_back(
            Note(kind::kNoFullName,
                 userList + " has no entry for " + report.user + ": %Fullname% is empty"));
    }
}

void NoteProcessOrder(const logon::LogonContext& logon, CheckReport& report) {
    std::string reported;
    for (char letter : report.processOrder) {
        if (!script::ScriptFileForLetter(logon, letter) &&
            reported.find(letter) == std::string::npos) {
            reported += letter;
            report.findings.push_back(
                Note(kind::kUnknownProcessLetter, std::string("the process letter \"") + letter +
                                                      "\" names no script file: it is ignored"));
        }
    }
}

// A line's advice as the latest logon had it: it depends on the line's
// text and its expansion alone.
struct Advised {
    bool valid = false;
    std::string expanded;
    LineAdvice advice;

    const LineAdvice& For(const std::string& raw, const std::string& text) {
        if (!valid || expanded != text) {
            advice = AdviseLine(raw, text);
            expanded = text;
            valid = true;
        }
        return advice;
    }
};

// A line as the latest logon ran it, kept where its outcome can be had
// again without running it (the site check's many logons share most lines).
struct Ran {
    bool valid = false;
    std::string expanded;
    std::string hiveUser;  // the user of an attached hive, which U lines go into
    Replay replay;
    std::vector<std::string> messages;
    std::vector<std::string> refusals;
};

// A script file as every logon reads it: looked for and cut once, and each
// line's latest advice kept, which the next logon mostly shares.
struct CachedFile {
    bool exists = false;
    bool opened = false;
    std::string failure;  // the program's message when it cannot be opened
    core::TStringList lines;
    core::TextFacts text;  // how its bytes were read
    std::vector<Advised> advised;
    std::vector<Ran> ran;
};

// The key of a name among names compared as the system compares them: the
// letters A-Z in one case, and every byte of the upper half alike, so that
// names the system takes as equal always share a key.
std::string NameKey(const std::string& name) {
    std::string key = core::UpperAZ(name);
    for (char& c : key) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            c = '\x80';
        }
    }
    return key;
}

// A folder of the share, a path as the settings name it ("USER\"), found
// on the host with every name matched ignoring letter case, as the program
// finds it. Empty when it is not there.
fs::path HostFolder(const std::string& folder) {
    std::string text = folder;
    std::replace(text.begin(), text.end(), '\\', '/');
    fs::path at = !text.empty() && text[0] == '/' ? fs::path("/") : fs::current_path();
    std::error_code ec;
    for (const fs::path& part : fs::path(text).relative_path()) {
        const std::string name = part.string();
        if (name.empty() || name == ".") {
            continue;
        }
        if (fs::is_directory(at / part, ec)) {
            at /= part;
            continue;
        }
        fs::path found;
        for (const auto& entry : fs::directory_iterator(at, ec)) {
            if (entry.is_directory(ec) &&
                core::UpperAZ(entry.path().filename().string()) == core::UpperAZ(name)) {
                found = entry.path();
                break;
            }
        }
        if (found.empty()) {
            return {};
        }
        at = found;
    }
    return at;
}

bool EndsWithIgnoringCase(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           core::UpperAZ(text.substr(text.size() - end.size())) == core::UpperAZ(end);
}

// The base names of the script files in `folder` (those with the script
// extension), the default file excluded.
std::vector<std::string> ScriptNames(const logon::LogonContext& logon, const std::string& folder) {
    const std::string& extension = logon.ScriptExtension;
    std::vector<std::string> names;
    const fs::path host = HostFolder(folder);
    std::error_code ec;
    if (host.empty()) {
        return names;
    }
    for (const auto& entry : fs::directory_iterator(host, ec)) {
        const std::string file = entry.path().filename().string();
        if (!entry.is_regular_file(ec) || !EndsWithIgnoringCase(file, extension)) {
            continue;
        }
        const std::string base = file.substr(0, file.size() - extension.size());
        if (!base.empty() && core::UpperAZ(base) != core::UpperAZ(logon.DefaultName)) {
            names.push_back(base);
        }
    }
    return names;
}

// Each name once, the first spelling kept, sorted ignoring letter case.
std::vector<std::string> DistinctSorted(const std::vector<std::string>& names) {
    std::map<std::string, std::string> byKey;
    for (const std::string& name : names) {
        if (!name.empty() && name.size() < logon::kIdentityBufferSize) {
            byKey.emplace(core::UpperAZ(name), name);
        }
    }
    std::vector<std::string> out;
    for (const auto& entry : byKey) {
        out.push_back(entry.second);
    }
    return out;
}

}  // namespace

platform::Rights CheckRequest::RightsOn(const platform::Services& workstation) const {
    if (rights) {
        return *rights;
    }
    return sight == Sight::kWorkstation ? workstation.system().ProcessRights()
                                        : platform::Rights::kStandard;
}

struct ShareReader::State {
    State(const CheckRequest& request, const platform::Services& services)
        : share(request.shareDir),
          whatIf(services, request.sight, fs::current_path().string(), request.RightsOn(services)),
          logon(whatIf.services()) {}

    ShareDirectory share;
    // The workstation the logon runs on, changed by none of its lines.
    WhatIfPlatform whatIf;
    // The program's logon context, built by its own start-up steps.
    logon::LogonContext logon;
    CheckRequest request;
    std::string settingsFile, configFileName, userListFile, dateTime;

    // Start-up, read once: the settings and the macros file, the full-name
    // list, or the file whose failure stops every logon before its script.
    bool settingsLoaded = false;
    std::optional<Finding> startupStop;
    bool stopsAtSettings = false;
    core::TStringList fileMacros;
    int macrosFileLines = 0;
    bool userListExists = false;
    std::unique_ptr<core::TStringList> fullNames;
    std::map<std::string, std::vector<int>> fullNameIndex;  // NameKey -> lines

    std::map<std::string, CachedFile> files;

    CachedFile& File(const std::string& path);
    std::string FullNameLine(const std::string& user) const;
    void LearnLogon(const std::string& user, const std::string& machine);
    void Assemble(CheckReport& report, std::vector<CachedFile*>& loaded);
    void CheckLines(const std::vector<CachedFile*>& loaded, bool everyLine, CheckReport& report);
    // What the user's rights refused the line.
    std::vector<std::string> Execute(Ran& ran, script::CommandKind kind,
                                     const std::string& expanded, bool reuse);
};

CachedFile& ShareReader::State::File(const std::string& path) {
    const auto found = files.find(path);
    if (found != files.end()) {
        return found->second;
    }
    CachedFile& file = files[path];
    platform::Files& files = logon.services.files();
    file.exists = core::FileExists(files, path);
    if (file.exists) {
        try {
            file.text = file.lines.LoadFromFile(files, path);
            file.opened = true;
            file.advised.resize(static_cast<size_t>(file.lines.Count()));
            file.ran.resize(static_cast<size_t>(file.lines.Count()));
        } catch (const core::EFOpenError& failure) {
            file.failure = failure.Message();
        }
    }
    return file;
}

// The user's line of the full-name list, the first whose name the system
// takes as the user's, as the list's own lookup finds it.
std::string ShareReader::State::FullNameLine(const std::string& user) const {
    const auto bucket = fullNameIndex.find(NameKey(user));
    if (bucket == fullNameIndex.end()) {
        return {};
    }
    platform::System& system = logon.services.system();
    for (const int index : bucket->second) {
        const std::string& line = fullNames->Get(index);
        if (system.SameTextIgnoreCase(line.substr(0, line.find('=')), user)) {
            return line;
        }
    }
    return {};
}

// The identity and the macros, as start-up learns them: the full-name list
// it looks in holds just the user's line, which is all the lookup can find.
void ShareReader::State::LearnLogon(const std::string& user, const std::string& machine) {
    logon.ClearIdentity();
    logon.MacroList->Assign(fileMacros);
    logon::IdentityInput identity;
    identity.user = user;
    identity.machine = machine;
    identity.dateTime = dateTime;
    logon.FullNameList = std::make_unique<core::TStringList>();
    const std::string line = FullNameLine(user);
    if (!line.empty()) {
        logon.FullNameList->Add(line);
    }
    logon::LearnIdentity(logon, identity);
    logon::DefineMacros(logon);
}

// What the reading of a script file found besides its text.
void TellText(const std::string& path, const core::TextFacts& text,
              std::vector<Finding>& findings) {
    if (text.mixed) {
        findings.push_back(Flag(kind::kMixedEncoding,
                                path + " holds UTF-8 letters among bytes that are no UTF-8: it is "
                                       "read as ANSI, and each UTF-8 letter shows as two or "
                                       "three others; save it again in one encoding"));
    }
    if (text.controls) {
        findings.push_back(
            Flag(kind::kNotText, path + " holds bytes that no text holds (a NUL or another control "
                                        "character): a NUL ends the script there"));
    }
    if (text.replaced > 0) {
        findings.push_back(
            Flag(kind::kLostCharacters,
                 path + " (" + core::EncodingName(text.encoding) + ") holds " +
                     Plural(static_cast<long long>(text.replaced), "character", "characters") +
                     " that no encoding reads (a broken UTF-8 sequence or a lone UTF-16 "
                     "surrogate): each is read as the replacement character U+FFFD"));
    }
}

// The script files of the process order as the run assembles them.
void ShareReader::State::Assemble(CheckReport& report, std::vector<CachedFile*>& loaded) {
    std::vector<Finding> missing;
    for (const char letter : report.processOrder) {
        const auto path = script::ScriptFileForLetter(logon, letter);
        if (!path) {
            continue;
        }
        CachedFile& file = File(*path);
        report.files.push_back({letter, *path, file.exists, file.opened, 0, ""});
        if (!file.exists) {
            missing.push_back(Note(
                kind::kMissingScriptFile,
                *path + " (\"" + std::string(1, letter) + "\") does not exist: it is skipped"));
            continue;
        }
        if (!file.opened) {
            report.findings.push_back(Flag(kind::kRunStops,
                                           *path + " exists but cannot be opened: the run stops "
                                                   "before any line runs, and the window shows the "
                                                   "failure",
                                           file.failure));
            report.stops = true;
            break;
        }
        report.files.back().lineCount = file.lines.Count();
        report.files.back().encoding = core::EncodingName(file.text.encoding);
        TellText(*path, file.text, report.findings);
        loaded.push_back(&file);
    }
    // A logon that finds no script file does nothing and records no
    // message; the program sends its Warning event for it, and so the
    // check says it as plainly.
    if (loaded.empty() && !report.stops) {
        std::string folders;
        for (const std::string& folder : script::ScriptFolders(logon, report.processOrder)) {
            folders += (folders.empty() ? "" : ", ") + folder;
        }
        report.findings.push_back(
            Flag(kind::kNoScriptFiles,
                 "no script file of the process order exists" +
                     (folders.empty() ? std::string() : " (searched: " + folders + ")") +
                     ": the logon runs nothing, and its event is a Warning (ID 4) that names "
                     "the settings file and the folders searched"));
    }
    report.findings.insert(report.findings.end(), missing.begin(), missing.end());
}

// The action of a line, from what it changes.
std::string ActionOf(const LineAdvice& advice, const std::vector<Effect>& effects, bool fails) {
    std::string action;
    for (const Effect& effect : effects) {
        action += (action.empty() ? "" : "; ") + effect.text;
    }
    if (action.empty()) {
        return fails ? "nothing: it fails" : advice.idle;
    }
    return action;
}

// Runs a line through ExecuteLine on the what-if workstation; or, with
// `reuse`, does what the latest logon's run of the same line did, where
// nothing this logon made so far could change that (check/what_if.h).
// An L line changes the logon itself, and is always run.
std::vector<std::string> ShareReader::State::Execute(Ran& ran, script::CommandKind kind,
                                                     const std::string& expanded, bool reuse) {
    const std::string hiveUser = logon.AttachedHive.empty() ? std::string() : logon.UserName;
    if (!reuse || kind == script::CommandKind::kAttachHive) {
        script::ExecuteLine(logon, expanded);
        return whatIf.TakeRefusals();
    }
    // A line whose text changed since the latest logon (it holds a macro
    // of the user or the machine) most likely changes again: it is only run.
    if (ran.expanded != expanded) {
        ran.expanded = expanded;
        ran.valid = false;
        script::ExecuteLine(logon, expanded);
        return whatIf.TakeRefusals();
    }
    if (ran.valid && ran.hiveUser == hiveUser && whatIf.Replays(ran.replay)) {
        for (const std::string& message : ran.messages) {
            logon.ErrorList->Add(message);
        }
        return ran.refusals;
    }
    const int recorded = logon.ErrorList->Count();
    whatIf.Record();
    script::ExecuteLine(logon, expanded);
    ran.valid = true;
    ran.hiveUser = hiveUser;
    ran.replay = whatIf.Recorded();
    ran.messages.clear();
    for (int m = recorded; m < logon.ErrorList->Count(); ++m) {
        ran.messages.push_back(logon.ErrorList->Get(m));
    }
    ran.refusals = whatIf.TakeRefusals();
    return ran.refusals;
}

// Runs the script's lines as the run does, each through ExecuteLine on the
// what-if workstation, and tells each line by what it recorded and changed.
void ShareReader::State::CheckLines(const std::vector<CachedFile*>& loaded, bool everyLine,
                                    CheckReport& report) {
    // Only lines that hold a "%" can change in expansion; those are
    // expanded together, as the run expands its whole script.
    core::TStringList referring;
    for (const CachedFile* file : loaded) {
        for (const std::string& line : file->lines.Lines()) {
            if (line.find('%') != std::string::npos) {
                referring.Add(line);
            }
        }
    }
    logon::ExpandMacros(logon, referring);

    // Every logon starts on the workstation as it is. Keeping only the
    // lines with findings (the site check, which looks at no workstation),
    // the facts of the workstation and the effects are not told.
    whatIf.Forget();
    whatIf.Tell(everyLine);
    logon.AttachedHive.clear();
    logon.ErrorList = std::make_unique<core::TStringList>();
    int next = 0;
    size_t part = 0;
    for (const ScriptFile& scriptFile : report.files) {
        if (!scriptFile.loaded) {
            continue;
        }
        CachedFile& file = *loaded[part++];
        for (int k = 0; k < file.lines.Count(); ++k) {
            const std::string& text = file.lines.Get(k);
            const bool refers = text.find('%') != std::string::npos;
            const std::string& expanded = refers ? referring.Get(next++) : text;
            const int recorded = logon.ErrorList->Count();
            const LineAdvice& advice = file.advised[static_cast<size_t>(k)].For(text, expanded);
            const std::vector<std::string> refusals =
                Execute(file.ran[static_cast<size_t>(k)], advice.kind, expanded, !everyLine);
            std::vector<Finding> findings;
            for (int m = recorded; m < logon.ErrorList->Count(); ++m) {
                findings.push_back(
                    Flag(advice.failureKind, advice.failureText, logon.ErrorList->Get(m)));
            }
            const bool fails = !findings.empty();
            findings.insert(findings.end(), advice.notes.begin(), advice.notes.end());
            if (advice.kind != script::CommandKind::kComment &&
                advice.kind != script::CommandKind::kTooShort &&
                expanded.find('%') != std::string::npos) {
                for (Finding& left :
                     LeftReferences(logon.services.system(), expanded, *logon.MacroList)) {
                    findings.push_back(std::move(left));
                }
            }
            for (const std::string& refusal : refusals) {
                findings.push_back(Note(kind::kRights, refusal));
            }
            for (const std::string& fact : whatIf.TakeDepends()) {
                findings.push_back(Note(kind::kDepends, "depends on the workstation: " + fact));
            }
            std::vector<Effect> effects = whatIf.TakeEffects();
            ++report.lineCount;
            if (!everyLine && findings.empty()) {
                continue;
            }
            report.lines.push_back({scriptFile.path, k + 1, text, expanded, advice.command,
                                    ActionOf(advice, effects, fails), std::move(findings),
                                    std::move(effects)});
        }
    }
}

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

ShareReader::ShareReader(const CheckRequest& request, const platform::Services& services)
    : state_(std::make_unique<State>(request, services)) {
    State& state = *state_;
    state.request = request;
    state.settingsFile = request.settingsFile.empty() ? kSettingsFileName : request.settingsFile;
    state.configFileName = request.settingsFile.empty()
                               ? (fs::current_path() / kSettingsFileName).string()
                               : request.settingsFile;
    logon::LogonContext& logon = state.logon;
    logon.ErrorList = std::make_unique<core::TStringList>();
    logon.CreateScriptRegistry();
    state.dateTime = request.dateTime ? *request.dateTime : logon::CurrentDateTimeText(logon);

    // The program's own start-up steps up to the identity, which alone
    // depends on the logon.
    try {
        state.stopsAtSettings = true;
        state.settingsLoaded = logon::LoadSettingsFile(logon, state.configFileName);
        state.stopsAtSettings = false;
        state.userListFile = request.userList.value_or(logon.UserListFile);
        logon::LoadFullNameList(logon, state.userListFile);
    } catch (const core::EFOpenError& failure) {
        state.startupStop =
            Flag(kind::kStartupStops,
                 StartupStopText(state.stopsAtSettings ? "the macros file named by the settings"
                                                       : "the full-name list"),
                 failure.Message());
        return;
    }
    state.fileMacros.Assign(*logon.MacroList);
    state.macrosFileLines = logon.MacroList->Count();
    state.userListExists = core::FileExists(logon.services.files(), state.userListFile);
    state.fullNames = std::move(logon.FullNameList);
    for (int i = 0; i < state.fullNames->Count(); ++i) {
        const std::string& line = state.fullNames->Get(i);
        const auto eq = line.find('=');
        if (eq != std::string::npos) {
            state.fullNameIndex[NameKey(line.substr(0, eq))].push_back(i);
        }
    }
}

ShareReader::~ShareReader() = default;

CheckReport ShareReader::Check(const std::string& user, const std::string& machine,
                               bool everyLine) {
    State& state = *state_;
    logon::LogonContext& logon = state.logon;
    CheckReport report;
    report.shareDir = state.request.shareDir;
    report.settingsFile = state.settingsFile;
    report.user = user;
    report.machine = machine;
    if (state.startupStop) {
        if (state.stopsAtSettings) {
            // The settings file was read; the macros file it names was not.
            report.settingsLoaded = true;
            report.macrosFileFailed = true;
        } else {
            NoteSettings(logon, state.settingsLoaded, state.configFileName, report);
        }
        report.findings.push_back(*state.startupStop);
        report.stops = true;
        return report;
    }
    NoteSettings(logon, state.settingsLoaded, state.configFileName, report);
    state.LearnLogon(user, machine);
    report.fullName = logon.FullName;
    report.group = logon.GroupName;
    report.dateTime = logon.DateTimeText;
    NoteFullName(state.userListFile, state.userListExists, report);

    platform::System& locale = logon.services.system();
    const int firstFileMacro = logon.MacroList->Count() - state.macrosFileLines;
    for (Finding& shadow : ShadowedMacros(locale, *logon.MacroList, firstFileMacro,
                                          logon.ConfigList->ValueOf(logon::kMacrosKey, locale))) {
        report.findings.push_back(std::move(shadow));
    }
    NoteProcessOrder(logon, report);

    std::vector<CachedFile*> loaded;
    state.Assemble(report, loaded);
    state.CheckLines(loaded, everyLine, report);
    return report;
}

std::vector<std::string> ShareReader::Users() const {
    std::vector<std::string> names = ScriptNames(state_->logon, state_->logon.UserDir);
    if (state_->fullNames) {
        for (int i = 0; i < state_->fullNames->Count(); ++i) {
            names.push_back(state_->fullNames->NameAt(i));
        }
    }
    return DistinctSorted(names);
}

std::vector<std::string> ShareReader::Machines() const {
    return DistinctSorted(ScriptNames(state_->logon, state_->logon.MachineDir));
}

CheckReport CheckLogon(const CheckRequest& request, const platform::Services& services) {
    ShareReader reader(request, services);
    return reader.Check(request.user, request.machine);
}

}  // namespace check
