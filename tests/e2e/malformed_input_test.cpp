// The catalogue of malformed inputs, run end to end: every case lays out a
// login share (settings file, script, macros, full-name list, news) and
// sometimes a damaged run record, a disk that takes no more bytes or folders
// the program may not write, runs the built program on it and compares
// everything the program leaves with the case's outcome: the run record,
// files and registry values afterwards, message boxes, the exit code and the
// window. Nothing may crash or hang, and nothing already stored may be lost.
//
// The tables below are the catalogue; docs/malformed-inputs.md mirrors them
// for administrators, so a case added or changed here is changed there too.
//
// Script-line cases run together in one program run, each behind a marker
// line whose message separates its messages from the next case's. The other
// cases change a whole file or the machine and get a run of their own. On
// the stand-in the program runs in a throwaway state directory; under Wine
// the cases marked for both platforms run on the real registry and file
// system, their window and message boxes found on the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/errors.h"
#include "platform/platform.h"
#include "platform/registry.h"
#include "support/registry_reader.h"

#ifdef _WIN32
#include <windows.h>
#include <winnetwk.h>

#include "support/win32/windows_on_screen.h"
#else
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/standin/standin_platform.h"
#include "platform/standin/toolkit_render.h"
#endif

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using platform::kHkeyClassesRoot;
using platform::kHkeyCurrentUser;
using platform::kHkeyLocalMachine;
using platform::RegKey;

#ifdef _WIN32
constexpr bool kStandin = false;
#else
constexpr bool kStandin = true;
#endif

constexpr const char* kRecordKey = "Software\\Brackenlow\\Tarnwick\\Errors";
constexpr const char* kCatalogueKey = "Software\\Tarnwick Catalogue";
constexpr const char* kScript = "GLOBAL\\_DEFAULT.DAT";
constexpr const char* kDefaultSettings = "Process=*\r\n";
constexpr const char* kWarning = "Possible problem, see administrator, note machine name and time";
// Replaced in expected texts by the share's folder (with its separator) and
// by the program's file name.
constexpr const char* kShareToken = "{share}";
constexpr const char* kProgramToken = "{program}";
// A run that has not ended by then hangs. It bounds a wait, it is no
// measure of speed.
constexpr auto kHangLimit = 180s;

std::string Repeat(const std::string& text, size_t times) {
    std::string out;
    out.reserve(text.size() * times);
    for (size_t i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

// A string literal with every byte it holds, NUL bytes included.
template <size_t N>
std::string Bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

std::string Unknown(const std::string& line) {
    return "Unknown command : " + line;
}

// The login name the program runs under: the one the stand-in is told, the
// network's under Wine.
std::string User() {
#ifdef _WIN32
    char name[256] = {};
    DWORD size = sizeof name;
    return ::WNetGetUserA("C:", name, &size) == NO_ERROR ? name : "";
#else
    return "jsmith";
#endif
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::string Replaced(std::string text, const std::string& token, const std::string& by) {
    for (size_t at = text.find(token); at != std::string::npos;
         at = text.find(token, at + by.size())) {
        text.replace(at, token.size(), by);
    }
    return text;
}

// ---- what a case is made of ----

enum class Kind { kFile, kDirectory, kFifo };

struct ShareFile {
    std::string path;  // relative to the share, "\" separated
    std::string bytes;
    Kind kind = Kind::kFile;
    int mode = -1;         // permissions set once it is laid out (-1: as created)
    bool inState = false;  // relative to the stand-in's state directory instead
};

struct Value {
    uint32_t type = 0;
    std::string data;  // as stored, a string's terminating zero included
    bool operator==(const Value& other) const { return type == other.type && data == other.data; }
};

Value Sz(const std::string& text) {
    return {platform::kRegSz, text + std::string(1, '\0')};
}
Value Dword(uint32_t number) {
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i) {
        data[static_cast<size_t>(i)] = static_cast<char>(number >> (8 * i));
    }
    return {platform::kRegDword, data};
}
Value Binary(const std::string& bytes) {
    return {platform::kRegBinary, bytes};
}

std::ostream& operator<<(std::ostream& out, const Value& value) {
    out << "type " << value.type << " [";
    for (unsigned char c : value.data.substr(0, 80)) {
        out << (c >= 0x20 && c < 0x7F ? std::string(1, static_cast<char>(c))
                                      : "\\x" + std::to_string(c));
    }
    return out << (value.data.size() > 80 ? "...]" : "]") << " (" << value.data.size() << " bytes)";
}

struct RegCheck {
    RegKey root;
    std::string key, name;
    std::optional<Value> value;  // none: the value must not exist
};

struct FileCheck {
    enum What { kContents, kMissing, kDirectory, kEntries } what;
    std::string path;  // relative to the share
    std::string contents;
    std::vector<std::string> entries;  // sorted
};

struct WindowCheck {
    std::string control;
    std::string text;
    std::string background;  // "#RRGGBB" drawn on the stand-in, or empty
};

enum class Platforms { kBoth, kStandin };

// Shared by both tables: what a case lays out and what must hold afterwards.
template <typename Self>
struct CaseBase {
    std::string group, name;
    Platforms platforms = Platforms::kStandin;
    std::vector<ShareFile> files;
    std::vector<FileCheck> fileChecks;
    std::vector<RegCheck> regChecks;

    Self& Both() {
        platforms = Platforms::kBoth;
        return self();
    }
    Self& File(const std::string& path, const std::string& bytes, int mode = -1) {
        files.push_back({path, bytes, Kind::kFile, mode, false});
        return self();
    }
    Self& Folder(const std::string& path, int mode = -1) {
        files.push_back({path, "", Kind::kDirectory, mode, false});
        return self();
    }
    Self& Fifo(const std::string& path) {
        files.push_back({path, "", Kind::kFifo, -1, false});
        return self();
    }
    Self& StateFolder(const std::string& path) {
        files.push_back({path, "", Kind::kDirectory, -1, true});
        return self();
    }
    Self& Holds(const std::string& path, const std::string& contents) {
        fileChecks.push_back({FileCheck::kContents, path, contents, {}});
        return self();
    }
    Self& Missing(const std::string& path) {
        fileChecks.push_back({FileCheck::kMissing, path, "", {}});
        return self();
    }
    Self& IsFolder(const std::string& path) {
        fileChecks.push_back({FileCheck::kDirectory, path, "", {}});
        return self();
    }
    Self& Entries(const std::string& path, std::vector<std::string> names) {
        std::sort(names.begin(), names.end());
        fileChecks.push_back({FileCheck::kEntries, path, "", names});
        return self();
    }
    Self& Registry(RegKey root, const std::string& key, const std::string& name,
                   std::optional<Value> value) {
        regChecks.push_back({root, key, name, value});
        return self();
    }
    bool RunsHere() const { return kStandin || platforms == Platforms::kBoth; }

  private:
    Self& self() { return static_cast<Self&>(*this); }
};

// A case of a few script lines and the messages they leave, in order.
struct LineCase : CaseBase<LineCase> {
    std::vector<std::string> lines;
    std::vector<std::string> messages;

    LineCase(std::string group_, std::string name_) {
        group = std::move(group_);
        name = std::move(name_);
    }
    LineCase& Lines(std::vector<std::string> text) {
        lines = std::move(text);
        return *this;
    }
    LineCase& Messages(std::vector<std::string> text) {
        messages = std::move(text);
        return *this;
    }
};

// A case with a run of its own.
struct RunCase : CaseBase<RunCase> {
    std::optional<std::string> settings = std::string(kDefaultSettings);
    std::vector<std::pair<std::string, Value>> recordBefore;
    uint64_t fileSizeLimit = 0;  // the most bytes a file may grow to (0: no limit)
    bool unprivileged = false;   // runs where permissions hold (not as root)

    int exitCode = 0;
    std::string report;  // every message box, "[caption] text" and a line end each
    std::optional<std::vector<std::string>> messages;  // the run record this run wrote
    std::vector<std::pair<std::string, std::optional<Value>>> record;  // values afterwards
    std::vector<WindowCheck> window;
    std::vector<std::string> diagnostics;  // consecutive lines of the diagnostics list

    RunCase(std::string group_, std::string name_) {
        group = std::move(group_);
        name = std::move(name_);
    }
    RunCase& Settings(std::optional<std::string> text) {
        settings = std::move(text);
        return *this;
    }
    RunCase& Script(const std::string& bytes) { return File(kScript, bytes); }
    RunCase& RecordBefore(const std::string& value, Value stored) {
        recordBefore.push_back({value, std::move(stored)});
        return *this;
    }
    RunCase& FileSizeLimit(uint64_t bytes) {
        fileSizeLimit = bytes;
        return *this;
    }
    RunCase& Unprivileged() {
        unprivileged = true;
        return *this;
    }
    RunCase& ExitCode(int code) {
        exitCode = code;
        return *this;
    }
    RunCase& Report(const std::string& text) {
        report = text;
        return *this;
    }
    RunCase& Messages(std::vector<std::string> text) {
        messages = std::move(text);
        return *this;
    }
    RunCase& Record(const std::string& value, std::optional<Value> stored) {
        record.push_back({value, std::move(stored)});
        return *this;
    }
    RunCase& Window(const std::string& control, const std::string& text,
                    const std::string& background = "") {
        window.push_back({control, text, background});
        return *this;
    }
    RunCase& Diagnostics(std::vector<std::string> lines) {
        diagnostics = std::move(lines);
        return *this;
    }
};

// Test names and failure reports name a case by its group and name.
void PrintTo(const LineCase& c, std::ostream* out) {
    *out << c.group << ": " << c.name;
}
void PrintTo(const RunCase& c, std::ostream* out) {
    *out << c.group << ": " << c.name;
}

// ---- the catalogue: script lines ----

std::vector<LineCase> LineCases() {
    const std::string user = User();
    std::vector<LineCase> cases;
    const std::string key = std::string(kCatalogueKey) + "\\";

    // Lines around the limits: 4 and 5 characters, values of 999 and 1000,
    // lines of 999, 1000 and 10,000 characters.
    cases.push_back(LineCase("Line length", "FourCharactersAreIgnored")
                        .Both()
                        .Lines({"Vln4", "Xab", ""})
                        .Messages({})
                        .Missing("ln4"));
    cases.push_back(LineCase("Line length", "FiveCharactersAreACommand")
                        .Both()
                        .Lines({"Vln05", "Xabcd"})
                        .Messages({Unknown("Xabcd")})
                        .IsFolder("ln05"));
    cases.push_back(
        LineCase("Line length", "ValuesAreCutAfter999Characters")
            .Both()
            .Folder("length")
            .Lines({"U" + key + "Length.Exact=S" + std::string(998, 'x'),
                    "U" + key + "Length.Over=S" + std::string(999, 'y'),
                    "I[length\\length.ini]S.k=" + std::string(1200, 'v')})
            .Messages({})
            .Registry(kHkeyCurrentUser, key + "Length", "Exact", Sz(std::string(998, 'x')))
            .Registry(kHkeyCurrentUser, key + "Length", "Over", Sz(std::string(998, 'y')))
            .Holds("length\\length.ini", "[S]\r\nk=" + std::string(999, 'v') + "\r\n"));
    cases.push_back(
        LineCase("Line length", "LongLinesAreReportedWhole")
            .Both()
            .Lines({"X" + std::string(998, 'a'), "X" + std::string(999, 'b'),
                    "X" + std::string(9999, 'c')})
            .Messages({Unknown("X" + std::string(998, 'a')), Unknown("X" + std::string(999, 'b')),
                       Unknown("X" + std::string(9999, 'c'))}));
    cases.push_back(
        LineCase("Line length", "CommandsOf10000CharactersUse999")
            .Both()
            .Lines({"Clength\\long.txt=" + std::string(9983, 's'),
                    "Vdeep\\" + Repeat("level\\", 1428)})
            .Messages({"Error copying " + std::string(999, 's') + " to length\\long.txt"})
            .IsFolder("deep\\level"));
    cases.push_back(LineCase("Line length", "TextAfterAMacroIsCutAt999Characters")
                        .Both()
                        .Lines({"X%UIDL%" + std::string(1200, 't')})
                        .Messages({Unknown("X" + Lower(user) + std::string(999, 't'))}));

    // Every first character. D and P depend on the network and have a case
    // of their own.
    {
        LineCase every("First character", "EveryFirstCharacter");
        every.Both().IsFolder("catalogue line \xE9");
        const std::string rest = "catalogue line \xE9";
        for (int c = 1; c < 256; ++c) {
            if (c == '\r' || c == '\n' || c == 'D' || c == 'P') {
                continue;  // a line break ends the line
            }
            const std::string line = std::string(1, static_cast<char>(c)) + rest;
            every.lines.push_back(line);
            switch (c) {
                case ';':
                case 'V':
                    break;
                case 'C':
                case 'c':
                    every.messages.push_back("Error copying " + line + " to ");
                    break;
                case 'I':
                    every.messages.push_back("Error loading  to change  to " + line);
                    break;
                case 'L':
                    every.messages.push_back("Error attaching " + rest + " to HKEY_USERS\\" + user);
                    break;
                case 'M':
                case 'R':
                case 'U':
                    every.messages.push_back("No value name in destination ");
                    break;
                default:
                    every.messages.push_back(Unknown(line));
                    break;
            }
        }
        cases.push_back(every);
    }
    cases.push_back(LineCase("First character", "DriveAndPrinterWithoutEquals")
                        .Lines({"Dcatalogue line", "Pcatalogue line"})
                        .Messages({"Error 67 on connecting  to Dcatalogue line",
                                   "Error 67 on connecting  to Pcatalogue line"}));
    cases.push_back(
        LineCase("First character", "BlanksAndIndentedCommands")
            .Both()
            .Lines({"     ", "\tVindented", "  ; a comment"})
            .Messages({Unknown("     "), Unknown("\tVindented"), Unknown("  ; a comment")})
            .Missing("indented"));

    // High-bit and control bytes (a NUL ends the file: see the script file
    // cases).
    cases.push_back(
        LineCase("High-bit and control bytes", "HighBitBytesAreKept")
            .Both()
            .Folder("high")
            .Lines({"U" + key + "High.Caf\xE9=S\xE9\xFF\x80\x81\x8D\x8F\x90\x9D end",
                    "I[high\\high.ini]Se\xE7tion.k\xEBy=v\xE4lue", "X\xE9\xFF\x01\x7F end"})
            .Messages({Unknown("X\xE9\xFF\x01\x7F end")})
            .Registry(kHkeyCurrentUser, key + "High", "Caf\xE9",
                      Sz("\xE9\xFF\x80\x81\x8D\x8F\x90\x9D end"))
            .Holds("high\\high.ini", "[Se\xE7tion]\r\nk\xEBy=v\xE4lue\r\n"));
    cases.push_back(
        LineCase("High-bit and control bytes", "NamesWindowsForbidsAreNeverMade")
            .Both()
            .File("names\\source.txt", "source")
            .Lines({"Vnames\\ctl\x01x", "Vnames\\star*x", "Vnames\\pipe|x",
                    "Cnames\\ctl\x02x=names\\source.txt", "Cnames\\quote\"x=names\\source.txt",
                    "I[names\\ctl\x03x.ini]S.k=v", "I[names\\ask?.ini]S.k=v"})
            .Messages({"Error copying names\\source.txt to names\\ctl\x02x",
                       "Error copying names\\source.txt to names\\quote\"x",
                       "Error loading names\\ctl\x03x.ini to change S.k to v",
                       "Error loading names\\ask?.ini to change S.k to v"})
            .Entries("names", {"source.txt"}));

    // "=", "[" and "]" in every order.
    cases.push_back(LineCase("Brackets and equals signs", "IniLineInEveryOrder")
                        .Both()
                        .Folder("ini")
                        .Lines({"I[ini\\a.ini]S.k=v", "I[ini\\b.ini=S.k]v", "I]ini\\c.ini[S.k=v",
                                "I]ini\\d.ini=S.k[v", "I=ini\\e.ini[S.k]v", "I=ini\\f.ini]S.k[v",
                                "I[ini\\g.ini]S.k", "I[ini\\h.ini S.k=v", "Iini\\i.ini]S.k=v",
                                "I=[ini\\u.ini]S.k", "I[ini\\x=y.ini]S.k=v", "I[]S.k=v"})
                        .Messages({"Error loading ini\\b.ini=S.k to change  to S.k]v",
                                   "Error loading  to change ini\\c.ini[S.k to v",
                                   "Error loading  to change ini\\d.ini to S.k[v",
                                   "Error loading  to change  to ini\\e.ini[S.k]v",
                                   "Error loading  to change  to ini\\f.ini]S.k[v",
                                   "Error loading ini\\g.ini to change  to I[ini\\g.ini]S.k",
                                   "Error loading  to change I[ini\\h.ini S.k to v",
                                   "Error loading  to change S.k to v",
                                   "Error loading  to change  to [ini\\u.ini]S.k",
                                   "Error loading ini\\x=y.ini to change  to y.ini]S.k=v",
                                   "Error loading  to change S.k to v"})
                        .Holds("ini\\a.ini", "[S]\r\nk=v\r\n")
                        .Entries("ini", {"a.ini"}));
    cases.push_back(
        LineCase("Brackets and equals signs", "IniNamesWithBracketsDotsAndEquals")
            .Both()
            .Folder("names2")
            .Lines({"I[names2\\j.ini]]S.k=v", "I[[names2\\k.ini]S.k=v", "I[names2\\l.ini]S.k==v",
                    "I[names2\\m.ini]=v", "I[names2\\o.ini].k=v", "I[names2\\p.ini]S.=v",
                    "I[names2\\q.ini]S.k=[v]", "I[names2\\s.ini]S]x.k=v",
                    "I[names2\\t.ini]nodot=v"})
            .Messages({"Error loading [names2\\k.ini to change S.k to v"})
            .Holds("names2\\j.ini", "[]S]\r\nk=v\r\n")
            .Holds("names2\\l.ini", "[S]\r\nk==v\r\n")
            .Holds("names2\\m.ini", "=v\r\n")
            .Holds("names2\\o.ini", "k=v\r\n")
            .Holds("names2\\p.ini", "[S]\r\n=v\r\n")
            .Holds("names2\\q.ini", "[S]\r\nk=[v]\r\n")
            .Holds("names2\\s.ini", "[S]x]\r\nk=v\r\n")
            .Holds("names2\\t.ini", "nodot=v\r\n"));
    // A key that begins with "[" is written as it stands; Windows reads the
    // line back as a section header, and what a later write makes of it
    // differs from run to run, so only the stand-in's file is pinned.
    cases.push_back(LineCase("Brackets and equals signs", "IniKeyThatLooksLikeASection")
                        .Folder("names3")
                        .Lines({"I[names3\\r.ini]S.[k]=v"})
                        .Messages({})
                        .Holds("names3\\r.ini", "[S]\r\n[k]=v\r\n"));
    cases.push_back(
        LineCase("Brackets and equals signs", "RegistryLineInEveryOrder")
            .Both()
            .Lines({"U" + key + "Eq.a=b=Sc", "U=" + key + "Eq.x", "U" + key + "Eq=.a=S1",
                    "U" + key + "[Eq].a=S[1]", "U" + key + "Eq.a.b=S=", "U" + key + "Eq.=Sdefault",
                    "M" + key + "Eq.m=D=1", "R" + key + "Eq.r=S]["})
            .Messages({"No value name in destination ",
                       "No value name in destination " + key + "Eq",
                       "'=1' is not a valid integer value : M" + key + "Eq.m=D=1"})
            .Registry(kHkeyCurrentUser, key + "Eq", "a", Binary(""))
            .Registry(kHkeyCurrentUser, key + "[Eq]", "a", Sz("[1]"))
            .Registry(kHkeyCurrentUser, key + "Eq", "a.b", Sz("="))
            .Registry(kHkeyCurrentUser, key + "Eq", "", Sz("default"))
            .Registry(kHkeyLocalMachine, key + "Eq", "m", std::nullopt)
            .Registry(kHkeyClassesRoot, key + "Eq", "r", Sz("][")));
    cases.push_back(
        LineCase("Brackets and equals signs", "CopyLineInEveryOrder")
            .Both()
            .File("copies\\source.txt", "source")
            .Lines({"Ccopies\\eq.txt==copies\\source.txt", "C=copies\\source.txt",
                    "Ccopies\\eq2.txt=copies\\source.txt=x", "Ccopies\\[b].txt=copies\\source.txt"})
            .Messages({"Error copying =copies\\source.txt to copies\\eq.txt",
                       "Error copying copies\\source.txt to ",
                       "Error copying copies\\source.txt=x to copies\\eq2.txt"})
            .Holds("copies\\[b].txt", "source")
            .Entries("copies", {"[b].txt", "source.txt"}));

    // Network lines: the stand-in's shares only (Wine has no network).
    cases.push_back(
        LineCase("Network", "MalformedDevicesAndShares")
            .StateFolder("network\\SRV\\SHARE")
            .Lines({"DQ:=\\\\NOSERVER\\NOSHARE", "DQQ:=\\\\SRV\\SHARE", "DQ:==\\\\SRV\\SHARE",
                    "DLPT1=\\\\SRV\\SHARE", "DQ:=\\\\SRV\\SHARE\\" + std::string(2000, 'x'),
                    "D=\\\\SRV\\SHARE", "DR:=\\\\SRV\\SHARE", "PR:=\\\\SRV\\SHARE"})
            .Messages({"Error 53 on connecting Q: to \\\\NOSERVER\\NOSHARE",
                       "Error 1200 on connecting QQ: to \\\\SRV\\SHARE",
                       "Error 67 on connecting Q: to =\\\\SRV\\SHARE",
                       "Error 66 on connecting LPT1 to \\\\SRV\\SHARE",
                       "Error 67 on connecting Q: to \\\\SRV\\SHARE\\" + std::string(987, 'x'),
                       "Error 66 on connecting R: to \\\\SRV\\SHARE"}));
    return cases;
}

// ---- the catalogue: cases with a run of their own ----

std::vector<RunCase> RunCases() {
    const std::string user = User();
    std::vector<RunCase> cases;
    const std::string ran = Unknown("Xscript ran");

    // The settings file.
    cases.push_back(
        RunCase("Settings file", "OnlyBlanks")
            .Settings("   \r\n\t\r\n \r\n\r\n")
            .Script("Xscript ran\r\n")
            .Messages({ran})
            .Diagnostics({"---- CONFIG FILE ----", "   ", "\t", " ", "", "---- MACROS FILE ----"}));
    cases.push_back(RunCase("Settings file", "Empty")
                        .Settings("")
                        .Script("Xscript ran\r\n")
                        .Messages({ran})
                        .Diagnostics({"---- CONFIG FILE ----", "---- MACROS FILE ----"}));
    cases.push_back(RunCase("Settings file", "IsAFolder")
                        .Settings(std::nullopt)
                        .Folder("tarnwick.INI")
                        .Script("Xscript ran\r\n")
                        .Messages({"Failed to load {share}tarnwick.INI", ran})
                        .Window("ErrorStatus", kWarning, "#FF0000"));
    cases.push_back(RunCase("Settings file", "Unreadable")
                        .Settings(std::nullopt)
                        .File("tarnwick.INI", "Process=*\r\nGlobal=ELSEWHERE\r\n", 0)
                        .Unprivileged()
                        .Script("Xscript ran\r\n")
                        .Messages({"Failed to load {share}tarnwick.INI", ran}));
    cases.push_back(
        RunCase("Settings file", "CutAtANulByte")
            .Settings(Bytes("Process=*\0\r\nGlobal=ELSEWHERE\r\n"))
            .File("ELSEWHERE\\_DEFAULT.DAT", "Xelsewhere\r\n")
            .Script("Xscript ran\r\n")
            .Messages({ran})
            .Diagnostics({"---- CONFIG FILE ----", "Process=*", "---- MACROS FILE ----"}));

    // The macros file.
    {
        std::string macros;
        for (int i = 0; i < 10000; ++i) {
            macros += "M" + std::to_string(i) + "=\\\\SRV\\%UIDL%\\" + std::to_string(i) + "\r\n";
        }
        cases.push_back(RunCase("Macros file", "TenThousandLines")
                            .Both()
                            .Settings("Process=*\r\nMacros=MACROS.DAT\r\n")
                            .File("MACROS.DAT", macros)
                            .Script("X%M0%\r\nX%M9999%\r\n")
                            .Messages({Unknown("X\\\\SRV\\" + Lower(user) + "\\0"),
                                       Unknown("X\\\\SRV\\" + Lower(user) + "\\9999")}));
    }
    cases.push_back(
        RunCase("Macros file", "AMacroThatReFormsItsReference")
            .Both()
            .Settings("Process=*\r\nMacros=MACROS.DAT\r\n")
            .File("MACROS.DAT", "A=A%%A\r\n")
            .Script("X%A%%\r\n")
            .Messages({Unknown("X" + std::string(1057, 'A') + "%%A%" + std::string(998, 'A'))}));
    cases.push_back(RunCase("Macros file", "Empty")
                        .Settings("Process=*\r\nMacros=MACROS.DAT\r\n")
                        .File("MACROS.DAT", "")
                        .Script("X%UIDL%%none%\r\n")
                        .Messages({Unknown("Xjsmith%none%")}));
    cases.push_back(RunCase("Macros file", "IsAFolder")
                        .Settings("Process=*\r\nMacros=MACROS.DAT\r\n")
                        .Folder("MACROS.DAT")
                        .Script("Vnot_run\r\n")
                        .ExitCode(1)
                        .Report("[Application Error] Exception EFOpenError in module {program}.\n"
                                "Cannot open file MACROS.DAT.\n")
                        .Record("ErrorCount", std::nullopt)
                        .Missing("not_run"));
    cases.push_back(RunCase("Macros file", "Unreadable")
                        .Settings("Process=*\r\nMacros=MACROS.DAT\r\n")
                        .File("MACROS.DAT", "A=1\r\n", 0)
                        .Unprivileged()
                        .Script("Vnot_run\r\n")
                        .ExitCode(1)
                        .Report("[Application Error] Exception EFOpenError in module {program}.\n"
                                "Cannot open file MACROS.DAT.\n")
                        .Record("ErrorCount", std::nullopt)
                        .Missing("not_run"));

    // The full-name list.
    cases.push_back(RunCase("Full-name list", "IsAFolder")
                        .Folder("USERLIST.DAT")
                        .Script("Xscript ran\r\n")
                        .Messages({ran})
                        .Window("lUFName", "", "#FFFFFF"));
    cases.push_back(RunCase("Full-name list", "Unreadable")
                        .File("USERLIST.DAT", "jsmith=John Smith\r\n", 0)
                        .Unprivileged()
                        .Script("Vnot_run\r\n")
                        .ExitCode(1)
                        .Report("[Application Error] Exception EFOpenError in module {program}.\n"
                                "Cannot open file USERLIST.DAT.\n")
                        .Record("ErrorCount", std::nullopt)
                        .Missing("not_run"));

    // Script files.
    cases.push_back(
        RunCase("Script file", "IsAFolder")
            .Both()
            .Folder(kScript)
            .Messages({})
            .Window("ErrorStatus", "")
            .Diagnostics({"---- CONFIG FILE ----", "Process=*", "---- MACROS FILE ----"}));
    cases.push_back(RunCase("Script file", "Empty")
                        .Script("")
                        .Messages({})
                        .Diagnostics({";---GLOBAL\\_DEFAULT.DAT", "---- CONFIG FILE ----"}));
    cases.push_back(RunCase("Script file", "CutAtANulByte")
                        .Script(Bytes("Xbefore\r\nXcut here\0Xafter\r\nXlost line\r\n"))
                        .Messages({Unknown("Xbefore"), Unknown("Xcut here")}));
    cases.push_back(
        RunCase("Script file", "TwoHundredThousandLines")
            .Script(Repeat("; a comment line of the huge script\r\n", 200000) + "Xlast\r\n")
            .Messages({Unknown("Xlast")}));
    cases.push_back(RunCase("Script file", "OneLineOfAMillionCharacters")
                        .Script("X" + std::string(999999, 'm'))
                        .Messages({Unknown("X" + std::string(999999, 'm'))}));
    cases.push_back(RunCase("Script file", "Unreadable")
                        .File(kScript, "Vnot_run\r\n", 0)
                        .Unprivileged()
                        .Report("[Tarnwick Executor] Cannot open file GLOBAL\\_DEFAULT.DAT.\n")
                        .Record("ErrorCount", Dword(0))
                        .Record("ErrorUpdated", std::nullopt)
                        .Window("ErrorStatus", "")
                        .Missing("not_run"));
    cases.push_back(RunCase("Script file", "IsAFifo")
                        .Fifo(kScript)
                        .Report("[Tarnwick Executor] Cannot open file GLOBAL\\_DEFAULT.DAT.\n")
                        .Record("ErrorCount", Dword(0))
                        .Record("ErrorUpdated", std::nullopt)
                        .Window("ErrorStatus", ""));

    // The news file.
    {
        std::string everyByte;
        for (int c = 0; c < 256; ++c) {
            everyByte += static_cast<char>(c);
        }
        cases.push_back(RunCase("News file", "Binary")
                            .Both()
                            .File("NOTICE.RTF", everyByte + everyByte)
                            .Script("Xscript ran\r\n")
                            .Messages({ran})
                            .Window("NewsLabel", "NEWS OF THE DAY", "#00FF00")
                            .Window("NewsOfTheDay", everyByte + everyByte));
        cases.push_back(RunCase("News file", "BrokenRichText")
                            .File("NOTICE.RTF", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 Hello \\u" +
                                                    everyByte + "{{{{\\bin99999")
                            .Script("Xscript ran\r\n")
                            .Messages({ran})
                            .Window("NewsLabel", "NEWS OF THE DAY", "#00FF00"));
    }
    cases.push_back(RunCase("News file", "Empty")
                        .File("NOTICE.RTF", "")
                        .Script("Xscript ran\r\n")
                        .Messages({ran})
                        .Window("NewsLabel", "NEWS OF THE DAY", "#00FF00")
                        .Window("NewsOfTheDay", ""));
    cases.push_back(RunCase("News file", "IsAFolder")
                        .Folder("NOTICE.RTF")
                        .Script("Xscript ran\r\n")
                        .Messages({ran})
                        .Window("NewsLabel", "News of the Day")
                        .Window("NewsOfTheDay", ""));
    cases.push_back(RunCase("News file", "Unreadable")
                        .File("NOTICE.RTF", "{\\rtf1 secret}", 0)
                        .Unprivileged()
                        .Script("Vnot_run\r\n")
                        .Report("[Tarnwick Executor] Cannot open file NOTICE.RTF.\n")
                        .Record("ErrorCount", std::nullopt)
                        .Window("lUName", "jsmith", "#FFFFFF")
                        .Window("NewsLabel", "News of the Day")
                        .Missing("not_run"));
    cases.push_back(RunCase("News file", "IsAFifo")
                        .Fifo("NOTICE.RTF")
                        .Script("Vnot_run\r\n")
                        .Report("[Tarnwick Executor] Cannot open file NOTICE.RTF.\n")
                        .Record("ErrorCount", std::nullopt)
                        .Missing("not_run"));

    // The run record of the last run, of the wrong type or shape.
    cases.push_back(RunCase("Run record", "ErrorCountIsAShortString")
                        .Both()
                        .RecordBefore("ErrorCount", Sz("3"))
                        .RecordBefore("ErrorString1", Sz("old"))
                        .Script("Vnot_run\r\n")
                        .Report("[Tarnwick Executor] Invalid data type for 'ErrorCount'.\n")
                        .Record("ErrorCount", Sz("3"))
                        .Record("ErrorString1", Sz("old"))
                        .Record("ErrorUpdated", std::nullopt)
                        .Window("ErrorStatus", "")
                        .Missing("not_run"));
    cases.push_back(RunCase("Run record", "ErrorCountIsALongString")
                        .RecordBefore("ErrorCount", Sz("12345"))
                        .Script("Vnot_run\r\n")
                        .Report("[Tarnwick Executor] Failed to get data for 'ErrorCount'.\n")
                        .Record("ErrorCount", Sz("12345"))
                        .Missing("not_run"));
    cases.push_back(RunCase("Run record", "ErrorCountIsFourBytesOfBinary")
                        .RecordBefore("ErrorCount", Binary(Bytes("\x01\0\0\0")))
                        .Script("Vnot_run\r\n")
                        .Report("[Tarnwick Executor] Invalid data type for 'ErrorCount'.\n")
                        .Record("ErrorCount", Binary(Bytes("\x01\0\0\0")))
                        .Missing("not_run"));
    cases.push_back(RunCase("Run record", "ErrorCountIsEightBytesOfBinary")
                        .RecordBefore("ErrorCount", Binary(std::string(8, '\x01')))
                        .Script("Vnot_run\r\n")
                        .Report("[Tarnwick Executor] Failed to get data for 'ErrorCount'.\n")
                        .Record("ErrorCount", Binary(std::string(8, '\x01')))
                        .Missing("not_run"));
    cases.push_back(RunCase("Run record", "ErrorCountOfTwoBytes")
                        .RecordBefore("ErrorCount", {platform::kRegDword, Bytes("\x02\0")})
                        .RecordBefore("ErrorString1", Sz("old1"))
                        .RecordBefore("ErrorString2", Sz("old2"))
                        .Script("Xscript ran\r\n")
                        .Messages({ran})
                        .Record("ErrorString2", std::nullopt));
    cases.push_back(RunCase("Run record", "ErrorCountNegative")
                        .RecordBefore("ErrorCount", Dword(0xFFFFFFFFu))
                        .RecordBefore("ErrorString1", Sz("old1"))
                        .RecordBefore("ErrorString2", Sz("old2"))
                        .Script("Xscript ran\r\n")
                        .Messages({ran})
                        .Record("ErrorString2", Sz("old2")));
    cases.push_back(RunCase("Run record", "ErrorCountFarTooLarge")
                        .RecordBefore("ErrorCount", Dword(0x7FFFFFFFu))
                        .RecordBefore("ErrorString1", Sz("old1"))
                        .RecordBefore("ErrorString2", Sz("old2"))
                        .RecordBefore("ErrorString3", Sz("old3"))
                        .RecordBefore("ErrorString5000", Sz("far"))
                        .Script("Xscript ran\r\n")
                        .Messages({ran})
                        .Record("ErrorString2", std::nullopt)
                        .Record("ErrorString3", std::nullopt)
                        .Record("ErrorString5000", Sz("far")));
    cases.push_back(
        RunCase("Run record", "MessagesAndTimeOfOtherTypes")
            .RecordBefore("ErrorCount", Dword(3))
            .RecordBefore("ErrorString1", Dword(1))
            .RecordBefore("ErrorString2", Binary("\x01\x02"))
            .RecordBefore("ErrorString3", {platform::kRegExpandSz, "%PATH%" + std::string(1, '\0')})
            .RecordBefore("ErrorUpdated", Dword(5))
            .Script("Xscript ran\r\n")
            .Messages({ran})
            .Record("ErrorString2", std::nullopt)
            .Record("ErrorString3", std::nullopt));

    // Writes that fail: a disk that takes no more bytes, folders and files
    // that may not be written.
    cases.push_back(
        RunCase("Failed writes", "DiskFullForCopiesAndIniFiles")
            .FileSizeLimit(64 * 1024)
            .File("work\\big.txt", std::string(200000, 'b'))
            .File("work\\old.txt", "old content")
            .File("work\\small.txt", "small")
            .File("work\\big.ini",
                  "[S]\r\nk=1\r\n" + Repeat("key=" + std::string(60, 'v') + "\r\n", 2000))
            .File("work\\small.ini", "[S]\r\nk=1\r\n")
            .Script("Cwork\\old.txt=work\\big.txt\r\nCwork\\new.txt=work\\big.txt\r\n"
                    "I[work\\big.ini]S.k=2\r\nI[work\\small.ini]S.k=2\r\n"
                    "Cwork\\copy.txt=work\\small.txt\r\n")
            .Messages({"Error copying work\\big.txt to work\\old.txt",
                       "Error copying work\\big.txt to work\\new.txt",
                       "Error loading work\\big.ini to change S.k to 2"})
            .Holds("work\\old.txt", "old content")
            .Missing("work\\new.txt")
            .Holds("work\\big.ini",
                   "[S]\r\nk=1\r\n" + Repeat("key=" + std::string(60, 'v') + "\r\n", 2000))
            .Holds("work\\small.ini", "[S]\r\nk=2\r\n")
            .Holds("work\\copy.txt", "small")
            .Entries("work",
                     {"big.ini", "big.txt", "copy.txt", "old.txt", "small.ini", "small.txt"}));
    cases.push_back(
        RunCase("Failed writes", "ReadOnlyFolderAndUnreadableSources")
            .Unprivileged()
            .File("work\\source.txt", "new")
            .File("work\\secret.txt", "secret", 0)
            .File("work\\secret.ini", "[S]\r\nk=1\r\n", 0)
            .File("locked\\app.ini", "[S]\r\nk=1\r\n")
            .File("locked\\old.txt", "old")
            .Folder("locked", 0555)
            .Script("Clocked\\new.txt=work\\source.txt\r\nClocked\\old.txt=work\\source.txt\r\n"
                    "I[locked\\new.ini]S.k=v\r\nI[locked\\app.ini]S.k=2\r\nVlocked\\sub\r\n"
                    "Cwork\\copy.txt=work\\secret.txt\r\nI[work\\secret.ini]S.k=2\r\n")
            .Messages({"Error copying work\\source.txt to locked\\new.txt",
                       "Error copying work\\source.txt to locked\\old.txt",
                       "Error loading locked\\new.ini to change S.k to v",
                       "Error loading locked\\app.ini to change S.k to 2",
                       "Error copying work\\secret.txt to work\\copy.txt",
                       "Error loading work\\secret.ini to change S.k to 2"})
            .Holds("locked\\app.ini", "[S]\r\nk=1\r\n")
            .Holds("locked\\old.txt", "old")
            .Entries("locked", {"app.ini", "old.txt"})
            .Holds("work\\secret.ini", "[S]\r\nk=1\r\n")
            .Missing("work\\copy.txt"));
    cases.push_back(
        RunCase("Failed writes", "ReadOnlyFiles")
            .File("work\\source.txt", "new")
            .File("work\\ro.txt", "old", 0444)
            .File("work\\ro.ini", "[S]\r\nk=1\r\n", 0444)
            .Script("Cwork\\ro.txt=work\\source.txt\r\ncwork\\ro.txt=work\\source.txt\r\n"
                    "I[work\\ro.ini]S.k=2\r\n")
            .Messages({"Error copying work\\source.txt to work\\ro.txt",
                       "Error loading work\\ro.ini to change S.k to 2"})
            .Holds("work\\ro.txt", "old")
            .Holds("work\\ro.ini", "[S]\r\nk=1\r\n"));
    return cases;
}

// ---- running the program ----

// What one run showed.
struct RunResult {
    int exitCode = -1;  // -1: it hung
    std::string report;
    std::map<std::string, std::string> drawn;  // control -> its line (stand-in) or text (Windows)
    std::vector<std::string> diagnostics;
    std::string failure;  // why the run could not be made
};

// One throwaway workstation: a login share with the program in it, and the
// registry the run record lands in.
class Workstation {
  public:
    Workstation();
    ~Workstation();
    Workstation(const Workstation&) = delete;
    Workstation& operator=(const Workstation&) = delete;

    void Lay(const ShareFile& file);
    void StoreRecordValue(const std::string& name, const Value& value);
    RunResult Run(uint64_t fileSizeLimit, bool unprivileged);

    // The share's folder as the program names it, with its separator.
    std::string ShareForMessages() const;
    std::string ProgramName() const;
    fs::path HostPath(const std::string& sharePath) const;
    std::optional<Value> Read(RegKey root, const std::string& key, const std::string& name);
    // Whether the platform's permissions hold for the program (not as root).
    bool CanRestrict() const;

  private:
    fs::path root_, share_;
#ifdef _WIN32
    void ClearRegistry();
    std::unique_ptr<platform::NativePlatform> platform_;
    std::optional<platform::ScopedServices> installed_;
#else
    fs::path state_;
#endif
};

fs::path ToHost(const fs::path& base, const std::string& path) {
    std::string relative = path;
#ifndef _WIN32
    std::replace(relative.begin(), relative.end(), '\\', '/');
#endif
    return base / fs::path(relative);
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

fs::path Workstation::HostPath(const std::string& sharePath) const {
    return ToHost(share_, sharePath);
}

std::optional<Value> Workstation::Read(RegKey root, const std::string& key,
                                       const std::string& name) {
#ifndef _WIN32
    platform::standin::StandinPlatform platform(state_);
    const platform::ScopedServices installed(platform.services());
#endif
    const auto stored = testsupport::ReadValue(root, key, name);
    if (!stored) {
        return std::nullopt;
    }
    return Value{stored->type, stored->data};
}

void Workstation::StoreRecordValue(const std::string& name, const Value& value) {
#ifndef _WIN32
    platform::standin::StandinPlatform platform(state_);
    const platform::ScopedServices installed(platform.services());
#endif
    testsupport::WriteValue(kHkeyCurrentUser, kRecordKey, name, value.type, value.data);
}

#ifndef _WIN32

Workstation::Workstation() {
    char pattern[] = "/tmp/tarnwick-catalogue-XXXXXX";
    root_ = ::mkdtemp(pattern);
    share_ = root_ / "share";
    state_ = root_ / "xdg" / "tarnwick";
    fs::create_directories(share_ / "GLOBAL");
    fs::create_directories(state_);
    fs::copy_file(TARNWICK_PROGRAM, share_ / "tarnwick");
    WriteBytes(state_ / "identity.ini", "User=jsmith\nMachine=WS01\n");
    // The ten seconds before the button is active become a tenth of one.
    WriteBytes(state_ / "toolkit.ini", "TimerScale=0.01\n");
}

Workstation::~Workstation() {
    // Give back every permission a case took away, so all of it goes.
    std::error_code ec, kind;
    for (fs::recursive_directory_iterator it(root_, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_symlink(kind)) {
            ::chmod(it->path().c_str(), it->is_directory(kind) ? 0755 : 0644);
        }
    }
    fs::remove_all(root_, ec);
}

bool Workstation::CanRestrict() const {
    return true;  // as root the run drops to an unprivileged user
}

std::string Workstation::ShareForMessages() const {
    return share_.string() + "/";
}

std::string Workstation::ProgramName() const {
    return "tarnwick";
}

void Workstation::Lay(const ShareFile& file) {
    const fs::path path = ToHost(file.inState ? state_ : share_, file.path);
    fs::create_directories(path.parent_path());
    switch (file.kind) {
        case Kind::kFile:
            WriteBytes(path, file.bytes);
            break;
        case Kind::kDirectory:
            fs::create_directories(path);
            break;
        case Kind::kFifo:
            ::mkfifo(path.c_str(), 0644);
            break;
    }
    if (file.mode >= 0) {
        ::chmod(path.c_str(), static_cast<mode_t>(file.mode));
    }
}

// Every line of the first window the stand-in drew, by control.
void ReadWindow(const std::string& out, RunResult* result) {
    std::istringstream lines(out);
    std::string line;
    int block = 0;
    while (std::getline(lines, line)) {
        if (line == "--- Login Script ---") {
            if (++block > 1) {
                return;
            }
            continue;
        }
        if (block != 1 || line == "--- end ---") {
            continue;
        }
        if (line.rfind("    ", 0) == 0) {
            result->diagnostics.push_back(line.substr(4));
        } else if (const auto colon = line.find(": "); colon != std::string::npos) {
            result->drawn[line.substr(0, colon)] = line;
        }
    }
}

RunResult Workstation::Run(uint64_t fileSizeLimit, bool unprivileged) {
    RunResult result;
    constexpr uid_t kNobody = 65534;
    const bool drop = unprivileged && ::geteuid() == 0;
    if (drop) {
        std::error_code ec;
        ::chown(root_.c_str(), kNobody, kNobody);
        for (fs::recursive_directory_iterator it(root_, ec), end; !ec && it != end;
             it.increment(ec)) {
            ::lchown(it->path().c_str(), kNobody, kNobody);
        }
    }
    const fs::path out = root_ / "out.txt", err = root_ / "err.txt";
    const pid_t pid = ::fork();
    if (pid < 0) {
        result.failure = "fork failed";
        return result;
    }
    if (pid == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(in, 0);
        ::dup2(o, 1);
        ::dup2(e, 2);
        if (drop &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            ::_exit(125);
        }
        if (fileSizeLimit > 0) {
            // A write past the limit then fails with EFBIG, as on a full disk,
            // instead of ending the process.
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (::chdir(share_.c_str()) != 0) {
            ::_exit(126);
        }
        ::setenv("XDG_STATE_HOME", (root_ / "xdg").c_str(), 1);
        ::execl((share_ / "tarnwick").c_str(), "tarnwick", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const auto end = std::chrono::steady_clock::now() + kHangLimit;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) != pid) {
        if (std::chrono::steady_clock::now() > end) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            result.failure = "the program did not end: it hangs";
            return result;
        }
        std::this_thread::sleep_for(5ms);
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (drop && result.exitCode == 125) {
        result.failure = "cannot run as an unprivileged user";
    }
    result.report = ReadBytes(err);
    ReadWindow(ReadBytes(out), &result);
    return result;
}

#else  // _WIN32

// The controls' identifiers: 100 + their place in the layout.
const char* const kControls[] = {
    "NameLabel", "NameFLabel", "MachineLabel", "DateLabel", "lUName",      "lUFName", "lMName",
    "lDTstring", "NewsLabel",  "NewsOfTheDay", "mCodeList", "ErrorStatus", "Continue"};
constexpr int kFirstControlId = 100;
constexpr int kContinueId = 112;
constexpr int kMessageBoxTextId = 0xFFFF;

// The whole text of a window of another process, however long (the
// diagnostics list of ten thousand macros); a hung window gives up.
std::string FullText(HWND window) {
    DWORD_PTR length = 0;
    ::SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                          SMTO_ABORTIFHUNG, 5000, &copied);
    text.resize(static_cast<size_t>(copied));
    return text;
}

HWND VisibleWindowOf(DWORD process, const char* className) {
    return testsupport::FindWindowOf(process, className, true);
}

Workstation::Workstation() : platform_(platform::CreateNativePlatform()) {
    static int counter = 0;
    char temp[MAX_PATH + 1] = {};
    ::GetTempPathA(MAX_PATH, temp);
    root_ = fs::path(temp) / ("tarnwick-catalogue-" + std::to_string(::GetCurrentProcessId()) +
                              "-" + std::to_string(counter++));
    std::error_code ec;
    fs::remove_all(root_, ec);
    share_ = root_;
    fs::create_directories(share_ / "GLOBAL");
    ::CopyFileA(TARNWICK_PROGRAM, (share_ / "tarnwick.exe").string().c_str(), FALSE);
    installed_.emplace(platform_->services());
    ClearRegistry();
}

// Every run starts from no run record and no values of earlier cases, and
// leaves none behind: a damaged run record would stop every later run.
void Workstation::ClearRegistry() {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kRecordKey);
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT}) {
        ::RegDeleteTreeA(root, kCatalogueKey);
    }
}

Workstation::~Workstation() {
    ClearRegistry();
    installed_.reset();
    std::error_code ec;
    fs::remove_all(root_, ec);
}

bool Workstation::CanRestrict() const {
    return false;
}

std::string Workstation::ShareForMessages() const {
    return share_.string() + "\\";
}

std::string Workstation::ProgramName() const {
    return "tarnwick.exe";
}

void Workstation::Lay(const ShareFile& file) {
    const fs::path path = ToHost(share_, file.path);
    fs::create_directories(path.parent_path());
    if (file.kind == Kind::kDirectory) {
        fs::create_directories(path);
    } else {
        WriteBytes(path, file.bytes);
    }
}

RunResult Workstation::Run(uint64_t, bool) {
    RunResult result;
    const std::string program = (share_ / "tarnwick.exe").string();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string command = "\"" + program + "\"";
    if (!::CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          share_.string().c_str(), &startup, &process)) {
        result.failure = "cannot start the program: " + std::to_string(::GetLastError());
        return result;
    }
    const DWORD start = ::GetTickCount();
    const DWORD limit = static_cast<DWORD>(std::chrono::milliseconds(kHangLimit).count());
    bool read = false, clicked = false;
    while (::WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) {
        if (::GetTickCount() - start > limit) {
            ::TerminateProcess(process.hProcess, 99);
            ::WaitForSingleObject(process.hProcess, 5000);
            result.failure = "the program did not end: it hangs";
            break;
        }
        if (HWND box = VisibleWindowOf(process.dwProcessId, "#32770")) {
            result.report +=
                "[" + FullText(box) + "] " + FullText(::GetDlgItem(box, kMessageBoxTextId)) + "\n";
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
            while (VisibleWindowOf(process.dwProcessId, "#32770") == box &&
                   ::WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) {
            }
            continue;
        }
        HWND window = VisibleWindowOf(process.dwProcessId, "TarnwickLoginWindow");
        if (!window) {
            continue;
        }
        if (!read) {
            // The show handler has finished before the window is visible.
            for (int i = 0; i < static_cast<int>(std::size(kControls)); ++i) {
                result.drawn[kControls[i]] = FullText(::GetDlgItem(window, kFirstControlId + i));
            }
            std::istringstream lines(result.drawn["mCodeList"]);
            for (std::string line; std::getline(lines, line);) {
                if (!line.empty() && line.back() == '\r') {
                    line.pop_back();
                }
                result.diagnostics.push_back(line);
            }
            read = true;
        }
        HWND button = ::GetDlgItem(window, kContinueId);
        if (!clicked && FullText(button) == "Press to continue") {
            ::PostMessageA(button, BM_CLICK, 0, 0);
            clicked = true;
        }
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    if (result.failure.empty()) {
        result.exitCode = static_cast<int>(code);
    }
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    return result;
}

#endif  // _WIN32

// ---- checking what a run left ----

std::string Expand(const Workstation& station, const std::string& text) {
    return Replaced(Replaced(text, kShareToken, station.ShareForMessages()), kProgramToken,
                    station.ProgramName());
}

// The run record's messages, ErrorString1 to ErrorString<ErrorCount>; none
// without a DWORD ErrorCount.
std::optional<std::vector<std::string>> RecordMessages(Workstation& station) {
    const auto count = station.Read(kHkeyCurrentUser, kRecordKey, "ErrorCount");
    if (!count || count->type != platform::kRegDword || count->data.size() != 4) {
        return std::nullopt;
    }
    std::vector<std::string> messages;
    uint32_t n = 0;
    for (int i = 3; i >= 0; --i) {
        n = (n << 8) | static_cast<uint8_t>(count->data[static_cast<size_t>(i)]);
    }
    for (uint32_t i = 1; i <= n; ++i) {
        const auto value =
            station.Read(kHkeyCurrentUser, kRecordKey, "ErrorString" + std::to_string(i));
        std::string text = value ? value->data : "<missing>";
        if (!text.empty() && text.back() == '\0') {
            text.pop_back();
        }
        messages.push_back(text);
    }
    return messages;
}

template <typename Case>
void CheckFilesAndRegistry(Workstation& station, const Case& c) {
    for (const FileCheck& check : c.fileChecks) {
        SCOPED_TRACE("file " + check.path);
        const fs::path path = station.HostPath(check.path);
        std::error_code ec;
        switch (check.what) {
            case FileCheck::kContents:
                ASSERT_TRUE(fs::is_regular_file(path, ec));
                EXPECT_EQ(ReadBytes(path), check.contents);
                break;
            case FileCheck::kMissing:
                EXPECT_FALSE(fs::exists(fs::symlink_status(path, ec)));
                break;
            case FileCheck::kDirectory:
                EXPECT_TRUE(fs::is_directory(path, ec));
                break;
            case FileCheck::kEntries: {
                std::vector<std::string> names;
                for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
                    names.push_back(it->path().filename().string());
                }
                std::sort(names.begin(), names.end());
                EXPECT_EQ(names, check.entries);
                break;
            }
        }
    }
    for (const RegCheck& check : c.regChecks) {
        SCOPED_TRACE("registry " + check.key + " value " + check.name);
        EXPECT_EQ(station.Read(check.root, check.key, check.name), check.value);
    }
}

std::string CaseName(const std::string& group, const std::string& name) {
    std::string id;
    for (char c : group) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            id += c;
        }
    }
    return id + "_" + name;
}

// ---- the script-line cases, all in one run ----

class ScriptLineTest : public ::testing::TestWithParam<LineCase> {
  public:
    static void SetUpTestSuite() {
#ifdef _WIN32
        if (!testsupport::DisplayAvailable()) {
            return;
        }
#endif
        station_ = std::make_unique<Workstation>();
        std::string script;
        for (const LineCase& c : LineCases()) {
            if (!c.RunsHere()) {
                continue;
            }
            for (const ShareFile& file : c.files) {
                station_->Lay(file);
            }
            script += Marker(c) + "\r\n";
            for (const std::string& line : c.lines) {
                script += line + "\r\n";
            }
        }
        station_->Lay({"tarnwick.INI", kDefaultSettings});
        station_->Lay({kScript, script});
        result_ = station_->Run(0, false);
        messages_ = RecordMessages(*station_).value_or(std::vector<std::string>{});
    }
    static void TearDownTestSuite() {
        station_.reset();
    }

  protected:
    static std::string Marker(const LineCase& c) {
        return "#case " + CaseName(c.group, c.name);
    }

    static std::unique_ptr<Workstation> station_;
    static RunResult result_;
    static std::vector<std::string> messages_;
};

std::unique_ptr<Workstation> ScriptLineTest::station_;
RunResult ScriptLineTest::result_;
std::vector<std::string> ScriptLineTest::messages_;

TEST_P(ScriptLineTest, LeavesExactlyItsMessagesAndEffects) {
    const LineCase& c = GetParam();
    if (!station_) {
        GTEST_SKIP() << "no display to show the window on";
    }
    if (!c.RunsHere()) {
        GTEST_SKIP() << "the stand-in's behaviour only";
    }
    ASSERT_EQ(result_.failure, "");
    ASSERT_EQ(result_.exitCode, 0) << result_.report;
    EXPECT_EQ(result_.report, "");
    const auto begin = std::find(messages_.begin(), messages_.end(), Unknown(Marker(c)));
    ASSERT_NE(begin, messages_.end()) << "the marker's message is missing";
    auto end = std::find_if(begin + 1, messages_.end(), [](const std::string& message) {
        return message.rfind(Unknown("#case "), 0) == 0;
    });
    const std::vector<std::string> found(begin + 1, end);
    ASSERT_EQ(found.size(), c.messages.size());
    for (size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i], Expand(*station_, c.messages[i])) << "message " << i + 1;
    }
    CheckFilesAndRegistry(*station_, c);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, ScriptLineTest, ::testing::ValuesIn(LineCases()),
                         [](const ::testing::TestParamInfo<LineCase>& info) {
                             return CaseName(info.param.group, info.param.name);
                         });

// ---- the cases with a run of their own ----

class RunCaseTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(RunCaseTest, EndsAsTheCatalogueSays) {
    const RunCase& c = GetParam();
    if (!c.RunsHere()) {
        GTEST_SKIP() << "the stand-in's behaviour only";
    }
#ifdef _WIN32
    if (!testsupport::DisplayAvailable()) {
        GTEST_SKIP() << "no display to show the window on";
    }
#endif
    Workstation station;
    if (c.unprivileged && !station.CanRestrict()) {
        GTEST_SKIP() << "permissions cannot be taken away here";
    }
    if (c.settings) {
        station.Lay({"tarnwick.INI", *c.settings});
    }
    for (const ShareFile& file : c.files) {
        station.Lay(file);
    }
    for (const auto& [name, value] : c.recordBefore) {
        station.StoreRecordValue(name, value);
    }
    const RunResult result = station.Run(c.fileSizeLimit, c.unprivileged);
    if (result.failure == "cannot run as an unprivileged user") {
        GTEST_SKIP() << result.failure;
    }
    ASSERT_EQ(result.failure, "");
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_EQ(result.report, Expand(station, c.report));

    if (c.messages) {
        std::vector<std::string> expected;
        for (const std::string& message : *c.messages) {
            expected.push_back(Expand(station, message));
        }
        const auto record = RecordMessages(station);
        ASSERT_TRUE(record.has_value()) << "no run record";
        const std::vector<std::string>& found = *record;
        ASSERT_EQ(found.size(), expected.size());
        for (size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i], expected[i]) << "message " << i + 1;
        }
        const auto updated = station.Read(kHkeyCurrentUser, kRecordKey, "ErrorUpdated");
        EXPECT_TRUE(updated && updated->type == platform::kRegSz) << "no new ErrorUpdated";
    }
    for (const auto& [name, value] : c.record) {
        SCOPED_TRACE("run record value " + name);
        EXPECT_EQ(station.Read(kHkeyCurrentUser, kRecordKey, name), value);
    }
    for (const WindowCheck& check : c.window) {
        SCOPED_TRACE("window control " + check.control);
        const auto drawn = result.drawn.find(check.control);
        ASSERT_NE(drawn, result.drawn.end());
#ifdef _WIN32
        if (check.control != "NewsOfTheDay") {
            EXPECT_EQ(drawn->second, check.text);
        }
#else
        EXPECT_EQ(drawn->second,
                  check.control + ": " + platform::standin::QuoteText(check.text) +
                      (check.background.empty() ? "" : " background=" + check.background));
#endif
    }
    if (!c.diagnostics.empty()) {
        std::vector<std::string> expected;
        for (const std::string& line : c.diagnostics) {
#ifdef _WIN32
            expected.push_back(line);
#else
            expected.push_back(platform::standin::PrintableText(line));
#endif
        }
        EXPECT_NE(std::search(result.diagnostics.begin(), result.diagnostics.end(),
                              expected.begin(), expected.end()),
                  result.diagnostics.end())
            << "the diagnostics list lacks these lines";
    }
    CheckFilesAndRegistry(station, c);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, RunCaseTest, ::testing::ValuesIn(RunCases()),
                         [](const ::testing::TestParamInfo<RunCase>& info) {
                             return CaseName(info.param.group, info.param.name);
                         });

}  // namespace
