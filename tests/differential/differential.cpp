// The differential suite's driver: runs every share of a folder on this
// build's workstation and writes down what each run left (the registry
// values of the suite, the run record, the files and folders, the exit code
// and any message box), then compares what the stand-in left with what
// Windows left, allowing only the differences listed in kAccepted.
//
//   differential run <shares> <out> <program> [<identity file>]
//   differential compare <stand-in out> <windows out> <shares>
//
// A share is a folder holding a login share. In file names and contents,
// @USER@ and @MACHINE@ stand for the logon identity, which is the
// machine's own under Windows and is given to the stand-in from the
// Windows run's identity file. A share's "differential.ini" (not copied)
// may name a user hive file it attaches: Hive=<file>.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/reg_key.h"
#include "platform/registry.h"
#include "platform/registry_roots.h"
#include "workstation.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using differential::Identity;
using differential::Workstation;
using platform::RootName;

constexpr const char* kManifest = "differential.ini";
constexpr const char* kIdentityFile = "identity.txt";
constexpr const char* kUserMark = "@USER@";
constexpr const char* kMachineMark = "@MACHINE@";
constexpr const char* kSuiteKey = "Software\\TarnwickDiff";
constexpr const char* kClassesKey = "TarnwickDiff";
constexpr const char* kRunRecordKey = "Software\\Brackenlow\\Tarnwick\\Errors";
constexpr const char* kCountValue = "ErrorCount";
constexpr const char* kMessagePrefix = "ErrorString";
constexpr const char* kUpdatedValue = "ErrorUpdated";
constexpr const char* kShareMark = "<share>";
constexpr const char* kDriveFolder = "C:\\TarnwickDiff";
constexpr size_t kFileBytesShown = 4096;

// Where a snapshot shows the hive attached for the user.
std::string UserHiveRoot() {
    return RootName(platform::kHkeyUsers) + "\\" + kUserMark;
}

// Platform differences: what may differ between the stand-in and Windows,
// why, and how both snapshots are brought to a common form before they are
// compared. Everything else must match.
struct Difference {
    const char* name;
    const char* reason;
    // Rewrites one snapshot; `windows` tells which side it is.
    std::function<void(Lines&, bool windows, const std::string& hive)> apply;
    // Rewrites both, each in the light of the other, after every `apply`.
    std::function<void(Lines& standin, Lines& windows)> pair = nullptr;
};

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); !from.empty() && at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

bool StartsWith(const std::string& text, const std::string& head) {
    return text.compare(0, head.size(), head) == 0;
}

void DropIf(Lines& lines, const std::function<bool(const std::string&)>& drop) {
    lines.erase(std::remove_if(lines.begin(), lines.end(), drop), lines.end());
}

std::string Escaped(const std::string& bytes) {
    std::string out;
    char hex[8];
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

// The INI files that Wine's writer leaves otherwise than Windows' own: the
// file as a snapshot shows it, Wine's bytes and Windows' bytes. Windows'
// are those of Wine's conformance test of the profile functions
// (dlls/kernel32/tests/profile.c: the empty section is "[]", and NUL bytes
// are kept, where its todo_wine marks Wine's difference) and of the
// measurements of the writer on Windows 10 in
// WelliSolutions/IniFileFormatReverseEngineering
// (documentation/WritePrivateProfileString.md: only spaces are stripped from
// section and key names, the value is written as given, a key that begins
// with ";" is a comment, never matched and added at the end).
struct IniAsWindows {
    const char* file;
    std::string wine;
    std::string windows;
};

const std::vector<IniAsWindows>& IniFilesAsWindows() {
    using namespace std::string_literals;
    static const std::vector<IniAsWindows> files = {
        {"share\\blanks.ini", "[sec ]\r\nkey =value \r\n", "[sec]\r\nkey= value \r\n"},
        {"share\\comment.ini", "[S]\r\n;note=new\r\n", "[S]\r\n;note=old\r\n;note=new\r\n"},
        {"share\\zero.ini", "[s]\r\nname1=val1\r\n\r\nname5=val5\r\n",
         "[s]\r\nname1=val1\r\n\0\r\nname5=val5\r\n"s},
        {"share\\empty.ini", "top=1\r\nk=new\r\n[A]\r\na=1\r\nk=old\r\n",
         "top=1\r\n[A]\r\na=1\r\n[]\r\nk=new\r\n"},
        {"share\\nosection.ini", "TestKey=TestValue\r\n", "[]\r\nTestKey=TestValue\r\n"},
    };
    return files;
}

std::string FileLine(const std::string& shown, const std::string& bytes) {
    return "file " + shown + " " + std::to_string(bytes.size()) + " " +
           Escaped(bytes.substr(0, kFileBytesShown));
}

const std::vector<Difference>& Accepted() {
    static const std::vector<Difference> accepted = {
        {"no network",
         "Wine has no network provider: every connection fails there with 1222, and cancelling "
         "one first is an unknown error; the stand-in's network is empty, so its servers are "
         "unknown (53). The error numbers are masked and the cancel notes dropped.",
         [](Lines& lines, bool, const std::string&) {
             static const std::regex code("^(record [^ ]+ message Error )[0-9]+( on connecting )");
             for (std::string& line : lines) {
                 line = std::regex_replace(line, code, "$1#$2");
             }
             static const std::regex note("^record [^ ]+ message Unknown error deleting ");
             DropIf(lines, [](const std::string& line) { return std::regex_search(line, note); });
         }},
        {"profile under the user's name",
         "Windows keeps the logged-on user's HKEY_CURRENT_USER under HKEY_USERS\\<his SID> "
         "(Microsoft's documentation of the predefined keys: HKEY_CURRENT_USER maps to the "
         "user's key under HKEY_USERS); the stand-in, which has no SIDs, shows it under "
         "HKEY_USERS\\<his name>, the name an L line attaches its hive under, and the hive takes "
         "its place while attached. Without a hive attached, what the stand-in shows there "
         "repeats its HKEY_CURRENT_USER, and is dropped.",
         [](Lines& lines, bool windows, const std::string& hive) {
             static const std::regex refused("^record [^ ]+ message Error attaching ");
             const bool attached =
                 !hive.empty() && std::none_of(lines.begin(), lines.end(), [](const auto& line) {
                     return std::regex_search(line, refused);
                 });
             if (windows || attached) {
                 return;
             }
             const std::string root = UserHiveRoot();
             DropIf(lines, [&root](const std::string& line) {
                 for (const char* kind : {"key ", "value ", "record "}) {
                     if (StartsWith(line, kind + root + "\\") ||
                         StartsWith(line, kind + root + " ")) {
                         return true;
                     }
                 }
                 return false;
             });
         }},
        {"INI writer as on Windows",
         "Wine's WritePrivateProfileStringA writes a key without a section before the first "
         "section, where Windows writes it under \"[]\"; drops the NUL bytes of a file; strips "
         "every blank before a name and keeps those after it, and the blanks before the value, "
         "where Windows strips the spaces at both ends of names and writes the value as given; "
         "and finds a key that begins with \";\", where to Windows it is a comment. The "
         "stand-in writes as Windows does (references: Wine's conformance test "
         "dlls/kernel32/tests/profile.c and its todo_wine cases; the Windows 10 measurements "
         "of WelliSolutions/IniFileFormatReverseEngineering). Each such file that Wine leaves "
         "is compared as the one Windows leaves.",
         [](Lines& lines, bool windows, const std::string&) {
             if (!windows) {
                 return;
             }
             for (std::string& line : lines) {
                 for (const IniAsWindows& file : IniFilesAsWindows()) {
                     if (line == FileLine(file.file, file.wine)) {
                         line = FileLine(file.file, file.windows);
                     }
                 }
             }
         }},
        {"a standard user's rights",
         "Wine runs every process with an administrator's rights; the stand-in's suite logs on "
         "as a standard user, its default, and refuses what Windows' default security refuses "
         "one: opening or making keys of HKEY_LOCAL_MACHINE, and of HKEY_CLASSES_ROOT where "
         "they are the machine's (Microsoft's pages Registry Key Security and Access Rights, and "
         "HKEY_CLASSES_ROOT Key), and making files in C:\\Windows, where an INI file of a bare "
         "name lies, in C:\\Program Files and at the root of C: (the default access lists of "
         "Windows 10 and 11). Loading a hive is refused on both (1314): Wine asks for no "
         "privilege, the stand-in's standard user holds none. What Wine wrote under the "
         "machine's roots is dropped, and each stand-in message of a line so refused that "
         "Windows did not record.",
         [](Lines&, bool, const std::string&) {},
         [](Lines& standin, Lines& windows) {
             const auto upper = [](std::string text) {
                 for (char& c : text) {
                     c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                 }
                 return text;
             };
             std::set<std::string> machineKeys;  // upper-cased, below their root
             const std::string roots[] = {RootName(platform::kHkeyLocalMachine),
                                          RootName(platform::kHkeyClassesRoot)};
             DropIf(windows, [&](const std::string& line) {
                 for (const std::string& root : roots) {
                     for (const char* kind : {"key ", "value "}) {
                         const std::string head = kind + root + "\\";
                         if (StartsWith(line, head)) {
                             const std::string rest = line.substr(head.size());
                             machineKeys.insert(upper(rest.substr(0, rest.find(" | "))));
                             return true;
                         }
                     }
                 }
                 return false;
             });
             const std::set<std::string> recorded(windows.begin(), windows.end());
             // A message as the run wrote it: the snapshot writes "\" as "\x5C".
             static const std::regex open(
                 R"(^record [^ ]+ message Failed to open \\+(.*) in create mode\.$)");
             static const std::regex ini(
                 R"(^record [^ ]+ message Error loading [^\\/]+ to change )");
             static const std::regex copy(
                 R"(^record [^ ]+ message Error copying .* to C:\\(Windows\\|Program Files\\|[^\\]+$))",
                 std::regex::icase);
             DropIf(standin, [&](const std::string& line) {
                 if (recorded.count(line) != 0) {
                     return false;
                 }
                 const std::string message = ReplaceAll(line, "\\x5C", "\\");
                 std::smatch match;
                 if (std::regex_search(message, match, open)) {
                     return machineKeys.count(upper(match[1])) != 0;
                 }
                 return std::regex_search(message, ini) || std::regex_search(message, copy);
             });
         }},
        {"program file name",
         "The program is tarnwick.exe on Windows and tarnwick on Linux; reports that name the "
         "module differ in that name only.",
         [](Lines& lines, bool windows, const std::string&) {
             if (!windows) {
                 return;
             }
             for (std::string& line : lines) {
                 if (StartsWith(line, "messagebox ")) {
                     line = ReplaceAll(line, "tarnwick.exe", "tarnwick");
                 }
             }
         }},
    };
    return accepted;
}

std::string TypeName(uint32_t type) {
    switch (type) {
        case platform::kRegSz:
            return "REG_SZ";
        case platform::kRegExpandSz:
            return "REG_EXPAND_SZ";
        case platform::kRegBinary:
            return "REG_BINARY";
        case platform::kRegDword:
            return "REG_DWORD";
        case platform::kRegMultiSz:
            return "REG_MULTI_SZ";
        default:
            return "type " + std::to_string(type);
    }
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::map<std::string, std::string> ReadManifest(const fs::path& share) {
    std::map<std::string, std::string> values;
    std::ifstream in(share / kManifest);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const auto eq = line.find('=');
        if (eq != std::string::npos && line[0] != ';') {
            values[line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return values;
}

// Reads a key's values and sub-keys, depth first.
class RegistryReader {
  public:
    RegistryReader(platform::Registry& registry, Lines& out) : registry_(registry), out_(out) {}

    void Walk(platform::RegKey root, const std::string& rootName, const std::string& path,
              const std::string& shownPath) {
        platform::UniqueRegKey opened;
        if (platform::OpenRegKey(registry_, root, path, &opened) != platform::kErrorSuccess) {
            return;
        }
        const platform::RegKey key = opened.get();
        const std::string shown = rootName + "\\" + shownPath;
        out_.push_back("key " + shown);
        std::string name;
        for (uint32_t i = 0; registry_.EnumValue(key, i, &name) == platform::kErrorSuccess; ++i) {
            out_.push_back("value " + shown + " | " + Escaped(name) + " = " + Value(key, name));
        }
        Lines subKeys;
        for (uint32_t i = 0; registry_.EnumKey(key, i, &name) == platform::kErrorSuccess; ++i) {
            subKeys.push_back(name);
        }
        opened.reset();  // closed before the walk goes deeper
        for (const std::string& sub : subKeys) {
            Walk(root, rootName, path + "\\" + sub, shownPath + "\\" + sub);
        }
    }

    // The run record: its count, its messages in order, the shape of its
    // time stamp, and any other value (a message numbered past the count
    // among them). Each line names the root the record lies under.
    void Record(platform::RegKey root, const std::string& rootName, const std::string& path) {
        platform::UniqueRegKey opened;
        if (platform::OpenRegKey(registry_, root, path, &opened) != platform::kErrorSuccess) {
            return;
        }
        const platform::RegKey key = opened.get();
        const std::string head = "record " + rootName + " ";
        uint32_t type = 0;
        const std::string countBytes = Bytes(key, kCountValue, &type);
        uint32_t count = 0;
        if (type == platform::kRegDword && countBytes.size() == 4) {
            std::memcpy(&count, countBytes.data(), 4);
            out_.push_back(head + "count " + std::to_string(count));
        } else {
            out_.push_back(head + "count is " + Value(key, kCountValue));
        }
        std::string name;
        for (uint32_t i = 0; registry_.EnumValue(key, i, &name) == platform::kErrorSuccess; ++i) {
            const std::string number =
                StartsWith(name, kMessagePrefix) ? name.substr(std::strlen(kMessagePrefix)) : "";
            const bool message = !number.empty() && number.size() < 10 &&
                                 number.find_first_not_of("0123456789") == std::string::npos &&
                                 number[0] != '0' && std::stoul(number) <= count;
            if (!message && name != kCountValue && name != kUpdatedValue) {
                out_.push_back(head + "other " + Escaped(name) + " = " + Value(key, name));
            }
        }
        for (uint32_t i = 1; i <= count && i <= 100000; ++i) {
            out_.push_back(head + "message " + Text(key, kMessagePrefix + std::to_string(i)));
        }
        std::string updated = Text(key, kUpdatedValue);
        std::replace_if(
            updated.begin(), updated.end(), [](char c) { return c >= '0' && c <= '9'; }, '9');
        out_.push_back(head + "updated " + updated);
    }

  private:
    // The value's bytes and type; none and 0 when it cannot be read.
    std::string Bytes(platform::RegKey key, const std::string& name, uint32_t* type) {
        platform::RegValue value;
        // A value that cannot be read leaves `value` empty, which is the answer.
        static_cast<void>(platform::ReadRegValue(registry_, key, name, &value));
        *type = value.type;
        return value.data;
    }
    std::string Value(platform::RegKey key, const std::string& name) {
        uint32_t type = 0;
        const std::string bytes = Bytes(key, name, &type);
        return TypeName(type) + " " + Escaped(bytes);
    }
    // A string value without its terminating NUL.
    std::string Text(platform::RegKey key, const std::string& name) {
        uint32_t type = 0;
        std::string bytes = Bytes(key, name, &type);
        while (!bytes.empty() && bytes.back() == '\0') {
            bytes.pop_back();
        }
        return Escaped(bytes);
    }

    platform::Registry& registry_;
    Lines& out_;
};

void ListFiles(const fs::path& base, const std::string& label, const std::string& skip,
               Lines& out) {
    std::error_code ec;
    if (!fs::is_directory(base, ec)) {
        return;
    }
    for (auto it = fs::recursive_directory_iterator(base, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        // Names are listed in UTF-8 on both platforms.
        std::string relative = fs::relative(it->path(), base, ec).generic_u8string();
        std::replace(relative.begin(), relative.end(), '/', '\\');
        if (relative == skip) {
            continue;
        }
        const std::string shown = label + "\\" + relative;
        if (it->is_directory(ec)) {
            out.push_back("dir " + shown);
        } else {
            const std::string bytes = ReadAll(it->path());
            out.push_back("file " + shown + " " + std::to_string(bytes.size()) + " " +
                          Escaped(bytes.substr(0, kFileBytesShown)));
        }
    }
}

// Copies a share, putting the identity in for its marks.
void CopyShare(const fs::path& from, const fs::path& to, const Identity& identity) {
    auto mark = [&identity](std::string text) {
        return ReplaceAll(ReplaceAll(std::move(text), kUserMark, identity.user), kMachineMark,
                          identity.machine);
    };
    fs::create_directories(to);
    for (auto it = fs::recursive_directory_iterator(from); it != fs::end(it); ++it) {
        std::string relative = fs::relative(it->path(), from).generic_u8string();
        if (relative == kManifest) {
            continue;
        }
        const fs::path target = to / fs::u8path(mark(relative));
        if (it->is_directory()) {
            fs::create_directories(target);
        } else {
            std::ofstream(target, std::ios::binary) << mark(ReadAll(it->path()));
        }
    }
}

Lines Snapshot(Workstation& station, const differential::RunResult& result, const fs::path& share,
               const std::string& programName, const std::string& hive, const Identity& identity) {
    Lines out;
    out.push_back(std::string("ended ") + (result.ended ? "yes" : "no, killed"));
    out.push_back("exit " + std::to_string(result.exitCode));
    platform::Registry& registry = station.services().registry();
    if (!hive.empty()) {
        // Attached again to read it; Windows refuses as it did for the run,
        // and the walk below then reports the keys as they are.
        const fs::path previous = fs::current_path();
        fs::current_path(share);
        static_cast<void>(registry.LoadKey(identity.user, hive));
        fs::current_path(previous);
    }
    Lines lines;
    RegistryReader reader(registry, lines);
    const std::string userRoot = UserHiveRoot();
    reader.Walk(platform::kHkeyCurrentUser, RootName(platform::kHkeyCurrentUser), kSuiteKey,
                kSuiteKey);
    reader.Walk(platform::kHkeyLocalMachine, RootName(platform::kHkeyLocalMachine), kSuiteKey,
                kSuiteKey);
    reader.Walk(platform::kHkeyClassesRoot, RootName(platform::kHkeyClassesRoot), kClassesKey,
                kClassesKey);
    reader.Walk(platform::kHkeyUsers, userRoot, identity.user + "\\" + kSuiteKey, kSuiteKey);
    reader.Record(platform::kHkeyCurrentUser, RootName(platform::kHkeyCurrentUser), kRunRecordKey);
    reader.Record(platform::kHkeyUsers, userRoot, identity.user + "\\" + kRunRecordKey);
    ListFiles(share, "share", programName, lines);
    ListFiles(station.HostPath(kDriveFolder), kDriveFolder, "", lines);
    // Where the share lay is no part of what the run did, nor of the full
    // paths a message box gives.
    if (!result.messageBox.empty()) {
        lines.insert(lines.begin(), "messagebox " + Escaped(result.messageBox));
    }
    const fs::path where = fs::absolute(share);
    fs::path preferred = where;
    preferred.make_preferred();
    for (std::string& line : lines) {
        for (const std::string& form : {Escaped(preferred.string()),
                                        Escaped(where.generic_string()), Escaped(where.string())}) {
            line = ReplaceAll(line, form + "/", std::string(kShareMark) + Escaped("\\"));
            line = ReplaceAll(line, form, kShareMark);
        }
    }
    out.insert(out.end(), lines.begin(), lines.end());
    return out;
}

void WriteLines(const fs::path& path, const Lines& lines) {
    std::ofstream out(path, std::ios::binary);
    for (const std::string& line : lines) {
        out << line << "\n";
    }
}

Lines ReadLines(const fs::path& path) {
    Lines lines;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<fs::path> Shares(const fs::path& folder) {
    std::vector<fs::path> shares;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_directory()) {
            shares.push_back(entry.path());
        }
    }
    std::sort(shares.begin(), shares.end());
    return shares;
}

int Run(const fs::path& sharesDir, const fs::path& outDir, const fs::path& program,
        const fs::path& identityFile) {
    Identity given{"tester", "WS01", ""};
    if (!identityFile.empty()) {
        const Lines identity = ReadLines(identityFile);
        if (identity.size() < 2) {
            std::cerr << "differential: cannot read the identity in " << identityFile << "\n";
            return 2;
        }
        given = {identity[0], identity[1], ""};
    }
    std::error_code ec;
    fs::remove_all(outDir, ec);
    fs::create_directories(outDir);
    const fs::path scratch = fs::absolute(outDir) / "work";
    auto station = differential::CreateWorkstation(scratch, given);
    const Identity identity = station->identity();
    WriteLines(outDir / kIdentityFile, {identity.user, identity.machine});
    const std::string programName = program.filename().string();
    for (const fs::path& source : Shares(sharesDir)) {
        const std::string name = source.filename().string();
        const fs::path share = scratch / name;
        CopyShare(source, share, identity);
        fs::copy_file(program, share / programName, fs::copy_options::overwrite_existing);
        const std::string hive = ReadManifest(source)["Hive"];
        station->Reset({});
        const differential::RunResult result =
            station->Run(fs::absolute(share / programName), fs::absolute(share), {});
        WriteLines(outDir / (name + ".txt"),
                   Snapshot(*station, result, share, programName, hive, identity));
        std::cout << "ran " << name << (result.ended ? "" : " (killed)") << "\n";
    }
    return 0;
}

int Compare(const fs::path& standinDir, const fs::path& windowsDir, const fs::path& sharesDir) {
    std::cout << "Accepted platform differences:\n";
    for (const Difference& difference : Accepted()) {
        std::cout << "  " << difference.name << ": " << difference.reason << "\n";
    }
    int failed = 0;
    const auto shares = Shares(sharesDir);
    for (const fs::path& source : shares) {
        const std::string name = source.filename().string();
        const std::string hive = ReadManifest(source)["Hive"];
        Lines sides[2] = {ReadLines(standinDir / (name + ".txt")),
                          ReadLines(windowsDir / (name + ".txt"))};
        Lines problems;
        for (int side = 0; side < 2; ++side) {
            Lines& lines = sides[side];
            if (lines.empty()) {
                problems.push_back(std::string("no snapshot from ") +
                                   (side ? "Windows" : "the stand-in"));
                continue;
            }
            if (lines[0] != "ended yes") {
                problems.push_back(std::string("the program did not end by itself on ") +
                                   (side ? "Windows" : "the stand-in"));
            }
            for (const Difference& difference : Accepted()) {
                difference.apply(lines, side == 1, hive);
            }
        }
        for (const Difference& difference : Accepted()) {
            if (difference.pair) {
                difference.pair(sides[0], sides[1]);
            }
        }
        for (Lines& lines : sides) {
            // A record's count is compared as the number of its messages
            // left after the rules.
            std::map<std::string, int> messages;
            static const std::regex message("^record ([^ ]+) message ");
            static const std::regex count("^record ([^ ]+) count [0-9]+$");
            std::smatch match;
            for (const std::string& line : lines) {
                if (std::regex_search(line, match, message)) {
                    ++messages[match[1]];
                } else if (std::regex_search(line, match, count)) {
                    messages[match[1]] += 0;
                }
            }
            DropIf(lines, [](const std::string& line) { return std::regex_search(line, count); });
            for (const auto& [root, number] : messages) {
                lines.push_back("record " + root + " messages " + std::to_string(number));
            }
        }
        Lines onlyStandin, onlyWindows;
        Lines a = sides[0], b = sides[1];
        // A fact reported twice (a key seen in two places that the rules
        // made one) is one fact.
        std::sort(a.begin(), a.end());
        a.erase(std::unique(a.begin(), a.end()), a.end());
        std::sort(b.begin(), b.end());
        b.erase(std::unique(b.begin(), b.end()), b.end());
        std::set_difference(a.begin(), a.end(), b.begin(), b.end(),
                            std::back_inserter(onlyStandin));
        std::set_difference(b.begin(), b.end(), a.begin(), a.end(),
                            std::back_inserter(onlyWindows));
        // The run record's messages also keep their order.
        Lines orderA, orderB;
        static const std::regex message("^record [^ ]+ message ");
        for (const std::string& line : sides[0]) {
            if (std::regex_search(line, message))
                orderA.push_back(line);
        }
        for (const std::string& line : sides[1]) {
            if (std::regex_search(line, message))
                orderB.push_back(line);
        }
        if (onlyStandin.empty() && onlyWindows.empty() && orderA != orderB) {
            problems.push_back("the run record's messages come in another order");
        }
        for (const std::string& line : onlyStandin)
            problems.push_back("stand-in only: " + line);
        for (const std::string& line : onlyWindows)
            problems.push_back("Windows only:  " + line);
        if (problems.empty()) {
            std::cout << "same     " << name << "\n";
        } else {
            ++failed;
            std::cout << "DIFFERS  " << name << "\n";
            for (const std::string& problem : problems) {
                std::cout << "    " << problem << "\n";
            }
        }
    }
    std::cout << shares.size() - failed << " of " << shares.size() << " shares left the same\n";
    return failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() >= 4 && args[0] == "run") {
            return Run(args[1], args[2], args[3], args.size() > 4 ? args[4] : "");
        }
        if (args.size() == 4 && args[0] == "compare") {
            return Compare(args[1], args[2], args[3]);
        }
    } catch (const std::exception& failure) {
        std::cerr << "differential: " << failure.what() << "\n";
        return 2;
    }
    std::cerr << "usage: differential run <shares> <out> <program> [<identity file>]\n"
                 "       differential compare <stand-in out> <windows out> <shares>\n";
    return 2;
}
