// The logon script's work done four ways in one process and one session,
// timed and compared:
//   - the script run itself: the settings file, InitLogon and RunScript over
//     a generated script of registry values (U, M), directories (V) and INI
//     values (I), with its run record, as the program does it;
//   - the equivalent batch logon script, run by cmd.exe: reg add for every
//     value, mkdir for every directory, echo lines for the INI files
//     (Windows only);
//   - the equivalent VBScript logon script, run by cscript: WScript.Shell's
//     RegWrite, the FileSystemObject's CreateFolder and an INI writer of its
//     own (Windows only);
//   - a raw loop of the same Win32 calls (Windows only), and the same loop
//     through the platform layer's services (both platforms).
// Under Windows it also measures the start-up: from starting tarnwick.exe
// (copied into a share folder) until its login window is visible, beside
// a do-nothing program and a program that shows a plain window (with and
// without a rich edit control).
//
//   logon_timing [--lines N] [--runs N] [--batch-runs N] [--vbs-runs N]
//                [--starts N] [--program PATH] [--keep]
//
// Like the program it rewrites the current user's run record. Natively the
// work lands in the stand-in workstation, so give it a throwaway one:
//   XDG_STATE_HOME=$(mktemp -d) build/<dir>/logon_timing
// Under Wine (its own prefix; the window needs a display):
//   WINEPREFIX=... WINEDEBUG=-all xvfb-run -a wine build/<dir>/logon_timing.exe
// scripts/bench builds and runs everything.
#include "logon_timing.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/startup.h"
#include "logon/settings.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/profile.h"
#include "platform/reg_key.h"
#include "platform/registry_roots.h"
#include "platform/system.h"
#include "script/run.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using timing::WorkItem;
using timing::WorkKind;

#ifdef TARNWICK_TIMING_WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

constexpr const char* kUsage =
    "usage: logon_timing [--lines N] [--runs N] [--batch-runs N] [--vbs-runs N]\n"
    "                    [--starts N] [--program PATH] [--keep] [--help]\n"
    "  --lines N        script lines (default 1000)\n"
    "  --runs N         runs of the script and of the loops (default 5)\n"
    "  --batch-runs N   runs of the batch script, Windows only (default 3; 0 skips it)\n"
    "  --vbs-runs N     runs of the VBScript, Windows only (default 5; 0 skips it)\n"
    "  --starts N       starts of each program, Windows only (default 7; 0 skips them)\n"
    "  --program PATH   the tarnwick.exe to start (default: the one beside this program)\n"
    "  --keep           keep the work folder and the registry keys\n";
constexpr const char* kNeedsStateDir =
    "logon_timing writes registry values, folders and INI files into the stand-in\n"
    "workstation; give it a throwaway one: XDG_STATE_HOME=$(mktemp -d) logon_timing\n";

// Values of the generated script's lines go into these keys and folders.
constexpr const char* kKeyBase = "Software\\TarnwickTiming";
constexpr const char* kProgramName = "tarnwick.exe";
constexpr const char* kLoginWindowClass = "TarnwickLoginWindow";
// Characters that would change what a generated line means (a macro, an
// INI file name cut short): a work folder holding one is refused.
constexpr const char* kUnsafePathCharacters = "%=[]";
constexpr double kBatchLimitSeconds = 3600;
constexpr double kStartLimitSeconds = 60;
constexpr int kLinesPerGroup = 10;
constexpr int kLinesPerIniFile = 100;
constexpr size_t kShownFailures = 5;

struct Options {
    int lines = 1000;
    int runs = 5;
    int batchRuns = 3;
    int vbsRuns = 5;
    int starts = 7;
    std::string program;
    bool keep = false;
};

// Reads "--name N" with N from `lowest`; false with a message otherwise.
bool ReadCount(int argc, char** argv, int& i, int lowest, int& count) {
    if (i + 1 >= argc) {
        std::fprintf(stderr, "%s needs a number\n", argv[i]);
        return false;
    }
    char* end = nullptr;
    const long value = std::strtol(argv[i + 1], &end, 10);
    if (end == argv[i + 1] || *end != '\0' || value < lowest || value > 1000000) {
        std::fprintf(stderr, "%s needs a whole number from %d to 1000000, not '%s'\n", argv[i],
                     lowest, argv[i + 1]);
        return false;
    }
    count = static_cast<int>(value);
    ++i;
    return true;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        bool ok = true;
        if (arg == "--lines") {
            ok = ReadCount(argc, argv, i, 1, options.lines);
        } else if (arg == "--runs") {
            ok = ReadCount(argc, argv, i, 1, options.runs);
        } else if (arg == "--batch-runs") {
            ok = ReadCount(argc, argv, i, 0, options.batchRuns);
        } else if (arg == "--vbs-runs") {
            ok = ReadCount(argc, argv, i, 0, options.vbsRuns);
        } else if (arg == "--starts") {
            ok = ReadCount(argc, argv, i, 0, options.starts);
        } else if (arg == "--program") {
            if (i + 1 < argc) {
                options.program = argv[++i];
            } else {
                std::fprintf(stderr, "--program needs a path\n");
                ok = false;
            }
        } else if (arg == "--help") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if (arg == "--keep") {
            options.keep = true;
        } else {
            std::fprintf(stderr, "unknown argument '%s'\n", arg.c_str());
            ok = false;
        }
        if (!ok) {
            std::fputs(kUsage, stderr);
            return false;
        }
    }
    return true;
}

// The platform's system service, except that the program's path is the
// tarnwick.exe of the generated share: InitLogon then reads that share's
// settings file, as the program started from there would.
class ShareProgramSystem : public platform::System {
  public:
    ShareProgramSystem(platform::System& real, std::string programPath)
        : real_(real), programPath_(std::move(programPath)) {}
    platform::Win32Error GetComputerNameW(uint32_t bufferSize, std::string* name) override {
        return real_.GetComputerNameW(bufferSize, name);
    }
    platform::LocalTime Now() override { return real_.Now(); }
    std::string ShortDayName(int dayOfWeek) override { return real_.ShortDayName(dayOfWeek); }
    std::string ShortMonthName(int month) override { return real_.ShortMonthName(month); }
    std::string TimeSeparator() override { return real_.TimeSeparator(); }
    std::string ModulePath() override { return programPath_; }
    bool SameTextIgnoreCase(const std::string& a, const std::string& b) override {
        return real_.SameTextIgnoreCase(a, b);
    }

  private:
    platform::System& real_;
    std::string programPath_;
};

// ---- the work ----

std::string Text(const WorkItem& item) {
    // A string value's data ends in its terminating zero.
    return item.data.substr(0, item.data.size() - 1);
}

uint32_t Dword(const WorkItem& item) {
    uint32_t bits = 0;
    for (size_t i = 0; i < 4 && i < item.data.size(); ++i) {
        bits |= static_cast<uint32_t>(static_cast<unsigned char>(item.data[i])) << (8 * i);
    }
    return bits;
}

std::string Hex(const std::string& bytes, const char* separator) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (i > 0) {
            text += separator;
        }
        text += digits[b >> 4];
        text += digits[b & 0xF];
    }
    return text;
}

WorkItem RegistryItem(platform::RegKey root, const std::string& key, const std::string& name,
                      uint32_t type, std::string data) {
    WorkItem item;
    item.kind = WorkKind::kRegistry;
    item.root = root;
    item.key = key;
    item.valueName = name;
    item.type = type;
    item.data = std::move(data);
    return item;
}

std::string StringData(const std::string& text) {
    return text + '\0';
}

std::string DwordData(uint32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) {
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return bytes;
}

// The lines of a usual logon script, ten at a time: six registry values
// (strings, a DWORD and binary data under the current user, a string under
// the local machine), two directories (the first of each ten with a new
// parent) and two INI values (a file for every hundred lines, ten sections
// each). `keyBase` and
// `folder` keep each run's effects apart from every other run's.
std::vector<WorkItem> MakeWork(int lines, const std::string& keyBase, const std::string& folder) {
    std::vector<WorkItem> work;
    work.reserve(static_cast<size_t>(lines));
    for (int j = 0; j < lines; ++j) {
        const int group = j / kLinesPerGroup;
        const int place = j % kLinesPerGroup;
        const std::string key = keyBase + "\\Key" + std::to_string(group);
        const std::string name = "Value" + std::to_string(place);
        const std::string text = "Some text of a usual length, number " + std::to_string(j);
        switch (place) {
            case 4:
                work.push_back(RegistryItem(platform::kHkeyCurrentUser, key, name,
                                            platform::kRegDword,
                                            DwordData(static_cast<uint32_t>(j) * 1000 + 7)));
                break;
            case 5:
                work.push_back(RegistryItem(platform::kHkeyLocalMachine, key, name,
                                            platform::kRegSz, StringData(text)));
                break;
            case 7: {
                const std::string bytes = {'\x01', '\xff', '\x7a', static_cast<char>(j & 0xFF)};
                work.push_back(RegistryItem(platform::kHkeyCurrentUser, key, name,
                                            platform::kRegBinary, bytes));
                break;
            }
            case 1:
            case 6: {
                WorkItem item;
                item.kind = WorkKind::kDirectory;
                item.path =
                    folder + "\\Dir" + std::to_string(group) + "\\Sub" + std::to_string(place);
                work.push_back(item);
                break;
            }
            case 3:
            case 8: {
                WorkItem item;
                item.kind = WorkKind::kIni;
                item.file = folder + "\\app" + std::to_string(j / kLinesPerIniFile) + ".ini";
                item.section = "Section" + std::to_string(group % kLinesPerGroup);
                item.iniKey = "Key" + std::to_string(place);
                item.value = "value " + std::to_string(j);
                work.push_back(item);
                break;
            }
            default:
                work.push_back(RegistryItem(platform::kHkeyCurrentUser, key, name, platform::kRegSz,
                                            StringData(text)));
                break;
        }
    }
    return work;
}

// The script line of an item, in the logon script's own syntax.
std::string ScriptLine(const WorkItem& item) {
    switch (item.kind) {
        case WorkKind::kDirectory:
            return "V" + item.path;
        case WorkKind::kIni:
            return "I[" + item.file + "]" + item.section + "." + item.iniKey + "=" + item.value;
        case WorkKind::kRegistry:
            break;
    }
    const std::string head = (item.root == platform::kHkeyLocalMachine ? "M" : "U") + item.key +
                             "." + item.valueName + "=";
    switch (item.type) {
        case platform::kRegDword:
            return head + "D" + std::to_string(static_cast<int32_t>(Dword(item)));
        case platform::kRegBinary:
            return head + "B" + Hex(item.data, " ");
        default:
            return head + "S" + Text(item);
    }
}

#ifdef TARNWICK_TIMING_WIN32
// The batch file's lines for the whole work. INI values are appended with
// echo, each section's heading before its first key, which gives the same
// files as the profile-string writes because every file and section is new.
std::vector<std::string> BatchLines(const std::vector<WorkItem>& work) {
    std::vector<std::string> lines = {"@echo off"};
    std::set<std::string> sections;
    for (const WorkItem& item : work) {
        switch (item.kind) {
            case WorkKind::kDirectory:
                lines.push_back("mkdir \"" + item.path + "\"");
                break;
            case WorkKind::kIni:
                if (sections.insert(item.file + "\n" + item.section).second) {
                    lines.push_back(">>\"" + item.file + "\" echo [" + item.section + "]");
                }
                lines.push_back(">>\"" + item.file + "\" echo " + item.iniKey + "=" + item.value);
                break;
            case WorkKind::kRegistry: {
                std::string line = "reg add \"";
                line += platform::ShortRootName(item.root) + "\\";
                line += item.key + "\" /v " + item.valueName;
                if (item.type == platform::kRegDword) {
                    line += " /t REG_DWORD /d " + std::to_string(Dword(item));
                } else if (item.type == platform::kRegBinary) {
                    line += " /t REG_BINARY /d " + Hex(item.data, "");
                } else {
                    line += " /t REG_SZ /d \"" + Text(item) + "\"";
                }
                lines.push_back(line + " /f >nul");
                break;
            }
        }
    }
    return lines;
}

// The VBScript logon script's own helpers, as an administrator writes them:
// a folder with its missing parents, and an INI value written as
// WritePrivateProfileString does (the file read whole, the key replaced in
// its section or added at the section's end, a missing section appended,
// the file written back whole).
constexpr const char* kVbsHelpers = R"(Option Explicit
Dim shell, fso
Set shell = CreateObject("WScript.Shell")
Set fso = CreateObject("Scripting.FileSystemObject")

Sub MakeFolder(path)
    If fso.FolderExists(path) Then Exit Sub
    MakeFolder fso.GetParentFolderName(path)
    fso.CreateFolder path
End Sub

Sub WriteIni(file, section, key, value)
    Dim stream, text, lines, i, line, inSection, done, out
    text = ""
    If fso.FileExists(file) Then
        Set stream = fso.OpenTextFile(file, 1)
        If Not stream.AtEndOfStream Then text = stream.ReadAll
        stream.Close
    End If
    If Right(text, 2) = vbCrLf Then text = Left(text, Len(text) - 2)
    If text = "" Then lines = Array() Else lines = Split(text, vbCrLf)
    inSection = False
    done = False
    out = ""
    For i = 0 To UBound(lines)
        line = Trim(lines(i))
        If Left(line, 1) = "[" Then
            If inSection And Not done Then
                out = out & key & "=" & value & vbCrLf
                done = True
            End If
            inSection = (LCase(line) = "[" & LCase(section) & "]")
        ElseIf inSection And Not done And InStr(line, "=") > 0 Then
            If LCase(Trim(Left(line, InStr(line, "=") - 1))) = LCase(key) Then
                lines(i) = key & "=" & value
                done = True
            End If
        End If
        out = out & lines(i) & vbCrLf
    Next
    If Not done And inSection Then
        out = out & key & "=" & value & vbCrLf
    ElseIf Not done Then
        out = out & "[" & section & "]" & vbCrLf & key & "=" & value & vbCrLf
    End If
    Set stream = fso.CreateTextFile(file, True)
    stream.Write out
    stream.Close
End Sub
)";

std::string VbsString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

// The VBScript file for the whole work: the helpers, then one line a work
// item. RegWrite writes a REG_DWORD, and a REG_BINARY too, from a 32-bit
// number (four bytes, low first, as the work's binary values are).
std::vector<std::string> VbsLines(const std::vector<WorkItem>& work) {
    std::vector<std::string> lines;
    std::istringstream helpers(kVbsHelpers);
    for (std::string line; std::getline(helpers, line);) {
        lines.push_back(line);
    }
    for (const WorkItem& item : work) {
        switch (item.kind) {
            case WorkKind::kDirectory:
                lines.push_back("MakeFolder " + VbsString(item.path));
                break;
            case WorkKind::kIni:
                lines.push_back("WriteIni " + VbsString(item.file) + ", " +
                                VbsString(item.section) + ", " + VbsString(item.iniKey) + ", " +
                                VbsString(item.value));
                break;
            case WorkKind::kRegistry: {
                std::string line = "shell.RegWrite " +
                                   VbsString(platform::ShortRootName(item.root) + "\\" + item.key +
                                             "\\" + item.valueName) +
                                   ", ";
                if (item.type == platform::kRegDword || item.type == platform::kRegBinary) {
                    line += std::to_string(static_cast<int32_t>(Dword(item)));
                    line +=
                        item.type == platform::kRegDword ? ", \"REG_DWORD\"" : ", \"REG_BINARY\"";
                } else {
                    line += VbsString(Text(item)) + ", \"REG_SZ\"";
                }
                lines.push_back(line);
                break;
            }
        }
    }
    return lines;
}
#endif

void WriteLines(const fs::path& path, const std::vector<std::string>& lines) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) {
        out << line << "\r\n";
    }
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

std::vector<std::string> ScriptLines(const std::vector<WorkItem>& work) {
    std::vector<std::string> lines;
    lines.reserve(work.size());
    for (const WorkItem& item : work) {
        lines.push_back(ScriptLine(item));
    }
    return lines;
}

// ---- checking that the work was done ----

class Checker {
  public:
    // The effects of `work` that are missing or wrong, described.
    std::vector<std::string> Missing(const std::vector<WorkItem>& work) {
        std::vector<std::string> missing;
        files_.clear();
        for (const WorkItem& item : work) {
            if (!Present(item)) {
                missing.push_back(ScriptLine(item));
            }
        }
        return missing;
    }

  private:
    bool Present(const WorkItem& item) {
        const platform::Services& services = platform::Current();
        switch (item.kind) {
            case WorkKind::kDirectory: {
                const uint32_t attributes = services.files().GetFileAttributesW(item.path);
                return attributes != platform::kInvalidFileAttributes &&
                       (attributes & platform::kFileAttributeDirectory) != 0;
            }
            case WorkKind::kIni: {
                const std::set<std::string>& lines = FileLines(item.file);
                return lines.count("[" + item.section + "]") > 0 &&
                       lines.count(item.iniKey + "=" + item.value) > 0;
            }
            case WorkKind::kRegistry:
                break;
        }
        platform::RegValue value;
        return platform::ReadRegValue(services.registry(), item.root, item.key, item.valueName,
                                      &value) == platform::kErrorSuccess &&
               value.type == item.type && value.data == item.data;
    }

    const std::set<std::string>& FileLines(const std::string& file) {
        auto found = files_.find(file);
        if (found != files_.end()) {
            return found->second;
        }
        std::string contents;
        std::set<std::string>& lines = files_[file];
        if (platform::Current().files().ReadWholeFile(file, &contents) == platform::kErrorSuccess) {
            size_t start = 0;
            while (start < contents.size()) {
                size_t end = contents.find('\n', start);
                if (end == std::string::npos) {
                    end = contents.size();
                }
                std::string line = contents.substr(start, end - start);
                while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
                    line.pop_back();
                }
                lines.insert(line);
                start = end + 1;
            }
        }
        return lines;
    }

    std::map<std::string, std::set<std::string>> files_;
};

// ---- the ways of doing the work ----

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// The program's own path from the settings file to the run record. The
// failure messages of the run are handed back.
double RunTheScript(const fs::path& scriptFile, const std::vector<WorkItem>& work,
                    std::vector<std::string>& messages) {
    WriteLines(scriptFile, ScriptLines(work));
    const auto start = Clock::now();
    {
        logon::LogonContext context(platform::Current());
        app::InitLogon(context);
        script::RunScript(context);
        messages = context.Errors();
    }
    return Seconds(Clock::now() - start);
}

// The loop of calls, made through the platform layer's services (the thin
// wrappers the script's commands call too, natively the stand-in).
platform::Win32Error MakeDirectoryThroughLayer(platform::Files& files, const std::string& path) {
    const platform::Win32Error rc = files.CreateDirectoryW(path);
    if (rc != platform::kErrorPathNotFound) {
        return rc;
    }
    const auto cut = path.find_last_of('\\');
    if (cut == std::string::npos || cut < 3) {
        return rc;
    }
    // A parent that cannot be made shows in the second try below.
    static_cast<void>(MakeDirectoryThroughLayer(files, path.substr(0, cut)));
    return files.CreateDirectoryW(path);
}

double RunThroughLayer(const std::vector<WorkItem>& work) {
    const platform::Services& services = platform::Current();
    const auto start = Clock::now();
    // The results are not looked at inside the timed loop: the checker reads
    // the effects back once the clock has stopped.
    for (const WorkItem& item : work) {
        switch (item.kind) {
            case WorkKind::kRegistry:
                static_cast<void>(platform::WriteRegValue(services.registry(), item.root, item.key,
                                                          item.valueName, item.type, item.data));
                break;
            case WorkKind::kDirectory:
                static_cast<void>(MakeDirectoryThroughLayer(services.files(), item.path));
                break;
            case WorkKind::kIni:
                static_cast<void>(services.profile().WritePrivateProfileStringW(
                    item.section, item.iniKey, item.value, item.file));
                break;
        }
    }
    return Seconds(Clock::now() - start);
}

// ---- figures ----

struct Series {
    std::string name;
    std::vector<double> seconds;
    double Median() const {
        if (seconds.empty()) {
            return 0;
        }
        std::vector<double> sorted = seconds;
        std::sort(sorted.begin(), sorted.end());
        const size_t n = sorted.size();
        return n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    }
    double Min() const {
        return seconds.empty() ? 0 : *std::min_element(seconds.begin(), seconds.end());
    }
};

std::string Duration(double seconds) {
    char text[32];
    if (seconds >= 10) {
        std::snprintf(text, sizeof text, "%.1f s", seconds);
    } else if (seconds >= 1) {
        std::snprintf(text, sizeof text, "%.2f s", seconds);
    } else if (seconds >= 0.001) {
        std::snprintf(text, sizeof text, "%.1f ms", seconds * 1e3);
    } else {
        std::snprintf(text, sizeof text, "%.0f us", seconds * 1e6);
    }
    return text;
}

std::string Ratio(double value) {
    char text[32];
    std::snprintf(text, sizeof text, value >= 100 ? "%.0fx" : "%.2fx", value);
    return text;
}

// ---- the work folder ----

class WorkFolder {
  public:
    explicit WorkFolder(bool keep) : keep_(keep) {
        const auto stamp = Clock::now().time_since_epoch().count() % 1000000007;
        path_ = fs::temp_directory_path() / ("tarnwick-logon-timing-" + std::to_string(stamp));
        fs::create_directories(path_);
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    ~WorkFolder() {
        std::error_code ec;
        fs::current_path(path_.parent_path(), ec);
        if (!keep_) {
            fs::remove_all(path_, ec);
        }
    }
    const fs::path& path() const { return path_; }
    // The folder as the platform's paths name it.
    std::string Native() const { return path_.string(); }

  private:
    fs::path path_;
    bool keep_;
};

std::string Joined(const std::string& folder, const std::string& name) {
    return folder + (kWindows ? "\\" : "/") + name;
}

const char* KindName(WorkKind kind) {
    switch (kind) {
        case WorkKind::kRegistry:
            return "registry values";
        case WorkKind::kDirectory:
            return "directories";
        case WorkKind::kIni:
            return "INI values";
    }
    return "";
}

constexpr WorkKind kKinds[] = {WorkKind::kRegistry, WorkKind::kDirectory, WorkKind::kIni};

// The in-process ways over the same work.
struct InProcess {
    Series script{"Tarnwick script (InitLogon + RunScript)", {}};
    Series raw{"raw loop of the Win32 calls", {}};
    Series layer{"the same loop through the platform layer", {}};
};

class Bench {
  public:
    explicit Bench(const Options& options)
        : options_(options),
          native_(platform::CreateNativePlatform()),
          folder_(options.keep),
          keyBase_(std::string(kKeyBase) + "\\" +
                   std::to_string(Clock::now().time_since_epoch().count() % 1000000007)) {}

    int Run() {
        platform::Services services = native_->services();
        self_ = services.system().ModulePath();
        const std::string workPath = folder_.Native();
        if (workPath.find_first_of(kUnsafePathCharacters) != std::string::npos) {
            std::fprintf(stderr,
                         "the work folder %s holds one of %s; set TMPDIR (TMP under Windows) to "
                         "another folder\n",
                         workPath.c_str(), kUnsafePathCharacters);
            return 2;
        }
        // The share: a settings file that runs the global script only, next
        // to the program path InitLogon is told; relative folders are
        // relative to the current directory, as in a logon.
        fs::current_path(folder_.path());
        WriteLines(folder_.path() / "tarnwick.ini", {"Process=*"});
        ShareProgramSystem system(services.system(), Joined(workPath, kProgramName));
        const platform::ScopedServices installed(services.With(system));

        PrintHeading();
        InProcess whole;
        for (int r = 0; r < options_.runs; ++r) {
            MeasureOnce(nullptr, whole);
        }
        Series batch{"batch script (cmd.exe /c bench.bat)", {}};
        Series vbs{"VBScript (cscript //nologo bench.vbs)", {}};
#ifdef TARNWICK_TIMING_WIN32
        MeasureHost(batch, options_.batchRuns, "batch", "bench.bat", BatchLines,
                    "cmd.exe /c bench.bat");
        MeasureHost(vbs, options_.vbsRuns, "vbscript", "bench.vbs", VbsLines,
                    "cscript.exe //nologo bench.vbs");
#endif
        PrintWays({whole.script, batch, vbs, whole.raw, whole.layer});
        PrintTargets(whole, batch, vbs);
        MeasureKinds();
#ifdef TARNWICK_TIMING_WIN32
        if (options_.starts > 0) {
            MeasureStartUp(whole.script);
        }
        if (!options_.keep) {
            timing::DeleteRegistryTree(platform::kHkeyCurrentUser, keyBase_);
            timing::DeleteRegistryTree(platform::kHkeyLocalMachine, keyBase_);
        }
#endif
        if (failures_ > 0) {
            std::printf("\n%d failures: the figures above are not of the whole work\n", failures_);
            return 1;
        }
        return 0;
    }

  private:
    // The work of one run of one way, in keys and folders of its own; only
    // the items of `kind` when one is given.
    std::vector<WorkItem> Work(const std::string& way, int run,
                               const WorkKind* kind = nullptr) const {
        const std::string name = way + std::to_string(run);
        auto work =
            MakeWork(options_.lines, keyBase_ + "\\" + name, Joined(folder_.Native(), name));
        if (kind != nullptr) {
            work.erase(std::remove_if(work.begin(), work.end(),
                                      [kind](const WorkItem& item) { return item.kind != *kind; }),
                       work.end());
            // INI files without the directories: their folder is made first.
            fs::create_directories(folder_.path() / name);
        }
        return work;
    }

    void PrintHeading() const {
        int counts[3] = {};
        for (const WorkItem& item : MakeWork(options_.lines, keyBase_, folder_.Native())) {
            ++counts[static_cast<int>(item.kind)];
        }
        std::printf("logon script work: %d lines = %d %s, %d %s, %d %s\n%s build; work folder %s\n",
                    options_.lines, counts[0], KindName(WorkKind::kRegistry), counts[1],
                    KindName(WorkKind::kDirectory), counts[2], KindName(WorkKind::kIni),
                    kWindows ? "Windows" : "stand-in (Linux)", folder_.Native().c_str());
    }

    // Reports `failures` (effects missing after a way, or messages of a
    // run) and counts them.
    void Report(const std::string& what, const std::vector<std::string>& failures) {
        if (failures.empty()) {
            return;
        }
        std::printf("  %s: %zu, the first:\n", what.c_str(), failures.size());
        for (size_t i = 0; i < failures.size() && i < kShownFailures; ++i) {
            std::printf("    %s\n", failures[i].c_str());
        }
        failures_ += static_cast<int>(failures.size());
    }

    // One run of each in-process way, each over work of its own, checked:
    // the whole work, or only its items of `kind`.
    void MeasureOnce(const WorkKind* kind, InProcess& result) {
        const std::string tag =
            kind != nullptr ? "-" + std::to_string(static_cast<int>(*kind)) + "-" : "";
        const int r = static_cast<int>(result.script.seconds.size());
        std::vector<std::string> messages;
        const auto scriptWork = Work("script" + tag, r, kind);
        result.script.seconds.push_back(
            RunTheScript(folder_.path() / "GLOBAL" / "_DEFAULT.DAT", scriptWork, messages));
        Report("messages of the script run", messages);
        Report("effects missing after the script", checker_.Missing(scriptWork));

        const auto layerWork = Work("layer" + tag, r, kind);
        result.layer.seconds.push_back(RunThroughLayer(layerWork));
        Report("effects missing after the layer loop", checker_.Missing(layerWork));
#ifdef TARNWICK_TIMING_WIN32
        const auto rawWork = Work("raw" + tag, r, kind);
        result.raw.seconds.push_back(timing::RunRawWin32Loop(rawWork));
        Report("effects missing after the raw loop", checker_.Missing(rawWork));
#endif
    }

#ifdef TARNWICK_TIMING_WIN32
    // `runs` runs of a way that another script host takes, each over work
    // of its own named `way`: the file `name` written from the work,
    // `command` run in the work folder, and the work's effects checked.
    void MeasureHost(Series& series, int runs, const std::string& way, const char* name,
                     std::vector<std::string> (*lines)(const std::vector<WorkItem>&),
                     const std::string& command) {
        for (int r = 0; r < runs; ++r) {
            const auto work = Work(way, r);
            WriteLines(folder_.path() / name, lines(work));
            const timing::ProcessTiming t =
                timing::RunToExit(command, folder_.Native(), kBatchLimitSeconds);
            if (t.ok) {
                series.seconds.push_back(t.seconds);
            } else {
                std::printf("  %s: %s\n", series.name.c_str(), t.failure.c_str());
                ++failures_;
            }
            Report("effects missing after the " + series.name, checker_.Missing(work));
        }
    }
#endif

    // Medians, and minimums beside them: on a busy machine the minimum is
    // nearer to what the work itself costs.
    void PrintWays(const std::vector<Series>& ways) const {
        const Series& script = ways.front();
        std::printf("\n%-44s %10s %10s %10s %10s %10s\n", "way", "median", "min", "per line",
                    "/ script", "(by min)");
        for (const Series& way : ways) {
            if (way.seconds.empty()) {
                std::printf("%-44s %10s\n", way.name.c_str(), "n/a");
                continue;
            }
            std::printf("%-44s %10s %10s %10s %10s %10s\n", way.name.c_str(),
                        Duration(way.Median()).c_str(), Duration(way.Min()).c_str(),
                        Duration(way.Median() / options_.lines).c_str(),
                        Ratio(way.Median() / script.Median()).c_str(),
                        Ratio(way.Min() / script.Min()).c_str());
        }
    }

    static void PrintTarget(const char* what, double byMedian, double byMin, bool met) {
        std::printf("  target, %s: %s (by min %s), %s\n", what, Ratio(byMedian).c_str(),
                    Ratio(byMin).c_str(), met ? "met" : "MISSED");
    }

    void PrintTargets(const InProcess& whole, const Series& batch, const Series& vbs) const {
        const Series& script = whole.script;
        if (!batch.seconds.empty()) {
            const double speedUp = batch.Median() / script.Median();
            PrintTarget("script at least 50x faster than the batch script", speedUp,
                        batch.Min() / script.Min(), speedUp >= 50);
        }
        if (!vbs.seconds.empty()) {
            std::printf("  script against the VBScript: %s faster (by min %s)\n",
                        Ratio(vbs.Median() / script.Median()).c_str(),
                        Ratio(vbs.Min() / script.Min()).c_str());
        }
        if (!whole.raw.seconds.empty()) {
            const double overhead = script.Median() / whole.raw.Median();
            PrintTarget("script within 2x of the raw loop", overhead,
                        script.Min() / whole.raw.Min(), overhead <= 2);
        }
    }

    // The same ways over the lines of one kind at a time: where the time
    // of each way goes.
    void MeasureKinds() {
        std::printf("\n%-26s %6s %12s %12s %12s %10s\n", "per kind (median per item)", "items",
                    "script", "raw loop", "layer loop", "script/raw");
        for (const WorkKind& kind : kKinds) {
            InProcess result;
            for (int r = 0; r < options_.runs; ++r) {
                MeasureOnce(&kind, result);
            }
            const auto all = MakeWork(options_.lines, keyBase_, folder_.Native());
            const auto items = static_cast<double>(
                std::count_if(all.begin(), all.end(),
                              [&kind](const WorkItem& item) { return item.kind == kind; }));
            const auto per = [items](const Series& s) {
                return s.seconds.empty() ? std::string("n/a") : Duration(s.Median() / items);
            };
            std::printf("%-26s %6.0f %12s %12s %12s %10s\n", KindName(kind), items,
                        per(result.script).c_str(), per(result.raw).c_str(),
                        per(result.layer).c_str(),
                        result.raw.seconds.empty()
                            ? "n/a"
                            : Ratio(result.script.Median() / result.raw.Median()).c_str());
        }
    }

#ifdef TARNWICK_TIMING_WIN32
    void PrepareShare(const std::string& program, const fs::path& share) const {
        fs::create_directories(share);
        fs::copy_file(program, share / kProgramName, fs::copy_options::overwrite_existing);
        WriteLines(share / "tarnwick.ini", {"Process=*"});
        WriteLines(share / "NOTICE.RTF",
                   {"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Welcome\\par}"});
    }

    void Note(Series& series, const timing::ProcessTiming& t) {
        if (t.ok) {
            series.seconds.push_back(t.seconds);
        } else {
            std::printf("  %s: %s\n", series.name.c_str(), t.failure.c_str());
            ++failures_;
        }
    }

    // Start-up: the process start alone, the windowing system's first
    // window, and the program to its window without and with the script.
    void MeasureStartUp(const Series& script) {
        std::string program = options_.program;
        if (program.empty()) {
            program = fs::path(self_).replace_filename(kProgramName).string();
        }
        if (!fs::exists(program)) {
            std::printf(
                "\nstart-up: %s does not exist; build the tarnwick target or name it with "
                "--program\n",
                program.c_str());
            ++failures_;
            return;
        }
        const fs::path empty = folder_.path() / "share-empty";
        const fs::path full = folder_.path() / "share-script";
        PrepareShare(program, empty);
        PrepareShare(program, full);

        Series noop{"do-nothing program, start to end", {}};
        Series plain{"plain window program, start to window", {}};
        Series rich{"the same with a rich edit control, to window", {}};
        Series bare{"tarnwick.exe, no script, start to window", {}};
        Series scripted{
            "tarnwick.exe, " + std::to_string(options_.lines) + "-line script, to window", {}};
        const std::string quotedSelf = "\"" + self_ + "\"";
        for (int r = 0; r < options_.starts; ++r) {
            Note(noop,
                 timing::RunToExit(quotedSelf + " --noop", folder_.Native(), kStartLimitSeconds));
            Note(plain, timing::RunToWindow(self_, "--window", folder_.Native(),
                                            timing::kPlainWindowClass, kStartLimitSeconds));
            Note(rich, timing::RunToWindow(self_, "--rich-window", folder_.Native(),
                                           timing::kPlainWindowClass, kStartLimitSeconds));
            Note(bare, timing::RunToWindow((empty / kProgramName).string(), "", empty.string(),
                                           kLoginWindowClass, kStartLimitSeconds));
            WriteLines(full / "GLOBAL" / "_DEFAULT.DAT", ScriptLines(Work("window", r)));
            Note(scripted, timing::RunToWindow((full / kProgramName).string(), "", full.string(),
                                               kLoginWindowClass, kStartLimitSeconds));
        }

        std::printf("\n%-44s %10s %10s %10s\n", "start-up (median of the starts)", "median", "min",
                    "/ process");
        const double process = noop.Median();
        for (const Series* series : {&noop, &plain, &rich, &bare, &scripted}) {
            if (series->seconds.empty()) {
                std::printf("%-44s %10s\n", series->name.c_str(), "failed");
                continue;
            }
            std::printf("%-44s %10s %10s %10s\n", series->name.c_str(),
                        Duration(series->Median()).c_str(), Duration(series->Min()).c_str(),
                        process > 0 ? Ratio(series->Median() / process).c_str() : "-");
        }
        if (!bare.seconds.empty() && !scripted.seconds.empty()) {
            // The script adds its own run to the start and little else.
            const double budget = 1.1 * (bare.Median() + script.Median());
            const double budgetByMin = 1.1 * (bare.Min() + script.Min());
            std::printf(
                "  target, with the script within the start without it plus the script's own "
                "time plus 10%%: %s against %s (by min %s against %s), %s\n",
                Duration(scripted.Median()).c_str(), Duration(budget).c_str(),
                Duration(scripted.Min()).c_str(), Duration(budgetByMin).c_str(),
                scripted.Median() <= budget ? "met" : "MISSED");
        }
        for (const Series* series : {&noop, &plain, &rich, &bare}) {
            if (series->seconds.empty()) {
                return;
            }
        }
        const bool met = PrintStartUpParts(
            "medians", {noop.Median(), plain.Median(), rich.Median(), bare.Median()});
        PrintStartUpParts("minimums", {noop.Min(), plain.Min(), rich.Min(), bare.Min()});
        std::printf(
            "  target, start-up dominated by the process start, not the program's own "
            "work (rich edit library included): %s\n",
            met ? "met" : "MISSED");
    }

    // The start to the window without a script in its parts, each the step
    // from one baseline to the next: the process start, the window system's
    // first window, the rich edit library with its control, and the
    // program's own work. A step that the noise makes negative counts as
    // nothing. True when the last two together take less than the first.
    static bool PrintStartUpParts(const char* by, std::array<double, 4> times) {
        for (size_t i = 1; i < times.size(); ++i) {
            times[i] = std::max(times[i], times[i - 1]);
        }
        const double total = times[3];
        const auto part = [&](size_t i) {
            const double step = i == 0 ? times[0] : times[i] - times[i - 1];
            char text[64];
            std::snprintf(text, sizeof text, "%s (%.0f%%)", Duration(step).c_str(),
                          100 * step / total);
            return std::string(text);
        };
        std::printf(
            "  to the window without a script, by %s: process start %s, first window %s, "
            "rich edit %s, the program's own work %s\n",
            by, part(0).c_str(), part(1).c_str(), part(2).c_str(), part(3).c_str());
        return times[3] - times[1] < times[0];
    }
#endif

    const Options& options_;
    std::unique_ptr<platform::NativePlatform> native_;
    WorkFolder folder_;
    const std::string keyBase_;
    std::string self_;
    Checker checker_;
    int failures_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    // The helpers the start-up measurement starts: the process start alone,
    // and a plain window, with or without a rich edit control.
    const std::string helper = argc == 2 ? argv[1] : "";
    if (helper == "--noop") {
        return 0;
    }
    if (helper == "--window" || helper == "--rich-window") {
#ifdef TARNWICK_TIMING_WIN32
        return timing::ShowPlainWindow(helper == "--rich-window");
#else
        std::fprintf(stderr, "%s needs the Windows build\n", helper.c_str());
        return 2;
#endif
    }
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        return 2;
    }
    if (!kWindows) {
        const char* state = std::getenv("XDG_STATE_HOME");
        if (state == nullptr || *state == '\0') {
            std::fputs(kNeedsStateDir, stderr);
            return 2;
        }
        // The script writes the machine's keys, as an administrator's logon
        // does (every process under Wine is one): the throwaway stand-in
        // logs its user on with those rights unless told otherwise.
        const std::string identity = std::string(state) + "/tarnwick/identity.ini";
        if (FILE* existing = std::fopen(identity.c_str(), "rb")) {
            std::fclose(existing);
        } else {
            std::filesystem::create_directories(std::string(state) + "/tarnwick");
            if (FILE* made = std::fopen(identity.c_str(), "wb")) {
                std::fputs("Rights=Administrator\n", made);
                std::fclose(made);
            }
        }
    }
    try {
        Bench bench(options);
        return bench.Run();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "logon_timing: %s\n", failure.what());
        return 1;
    }
}
