// The randomized comparison of the checker with the run: makes up logons
// (logon_generator.h), and for each one runs `tarnwick-check --json` on the
// stand-in workstation, makes sure it left the workstation and the share as
// they were, then runs the real `tarnwick` on the same workstation and
// compares what the checker said each line would do with what the run did:
// the run record's messages, message for message, and every stated effect
// (the last one for each place) with the workstation afterwards.
//
//   random_logons [--seed N | --seed random] [--logons N] [--only K]
//                 [--show N] [--allow-disagreement] [--program P] [--check P]
//
// Without options it makes the 250 logons of the fixed seed 24, the test
// suite's run. --seed random picks a seed and prints it, so a failure can
// be replayed with --seed N; --only K makes logon K of that seed alone and
// keeps its folders. The exit code is 1 when a logon disagrees (0 with
// --allow-disagreement), 2 when the comparison cannot be made.
#include <sys/stat.h>

#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "check/logon_generator.h"
#include "core/text_decoder.h"
#include "platform/errors.h"
#include "platform/reg_key.h"
#include "platform/registry.h"
#include "platform/registry_roots.h"
#include "platform/standin/standin_platform.h"
#include "support/program.h"

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
using randomlogons::Logon;

constexpr const char* kRecordKey = "Software\\Brackenlow\\Tarnwick\\Errors";
constexpr uint64_t kFixedSeed = 24;
constexpr int kFixedLogons = 250;
constexpr std::chrono::seconds kLimit{30};

struct Disagreement {
    std::string kind;   // a short word: message, file, value, ini, trace, ...
    std::string where;  // "FILE:LINE  text", or "the logon"
    std::string expected, found;
};

// The JSON's text: UTF-8, as the programs' own text.
std::string Ansi(const Json& value) {
    return value.is_string() ? value.get<std::string>() : std::string();
}

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? ""
                                      : text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

// A digest of every name, kind, size, time and byte under `dir`.
constexpr off_t kHashedBytes = 1 << 20;
uint64_t Hash(const fs::path& dir) {
    std::map<std::string, std::string> entries;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        struct stat info {};
        ::lstat(it->path().c_str(), &info);
        std::string entry = std::to_string(info.st_mode) + " " + std::to_string(info.st_size) +
                            " " + std::to_string(info.st_mtim.tv_sec) + "." +
                            std::to_string(info.st_mtim.tv_nsec);
        // The program linked into the share is known by its size and time.
        if (S_ISREG(info.st_mode) && info.st_size < kHashedBytes) {
            entry += " " + testsupport::FileText(it->path());
        }
        entries[fs::relative(it->path(), dir).string()] = entry;
    }
    uint64_t hash = 0xCBF29CE484222325ull;
    for (const auto& [name, entry] : entries) {
        for (const std::string* part : {&name, &entry}) {
            for (const char c : *part + '\0') {
                hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
            }
        }
    }
    return hash;
}

void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// The folders of one logon, made from what the generator gave.
struct Site {
    fs::path work, share, xdg, state;
};

Site Materialize(const Logon& logon, const fs::path& work, const fs::path& program) {
    Site site{work, work / "share", work / "xdg", work / "xdg" / "tarnwick"};
    std::error_code ec;
    fs::remove_all(work, ec);
    for (const std::string& folder : logon.shareFolders) {
        fs::create_directories(site.share / folder);
    }
    for (const std::string& folder : logon.stateFolders) {
        fs::create_directories(site.state / folder);
    }
    for (const auto& [name, bytes] : logon.shareFiles) {
        Write(site.share / name, bytes);
    }
    for (const auto& [name, bytes] : logon.stateFiles) {
        Write(site.state / name, bytes);
    }
    // The program reads the settings file next to itself, so it lies in the
    // share: a link where the file system allows one, else a copy.
    fs::create_hard_link(program, site.share / "tarnwick", ec);
    if (ec) {
        fs::copy_file(program, site.share / "tarnwick");
    }
    if (!logon.values.empty()) {
        // The values are laid down by an administrator, as the machine's
        // can only be; the logon's own identity comes back after.
        const auto identity = logon.stateFiles.find("identity.ini");
        const std::string user = identity == logon.stateFiles.end() ? "" : identity->second;
        Write(site.state / "identity.ini", user + "Rights=Administrator\n");
        platform::standin::StandinPlatform standin(site.state);
        platform::Registry& registry = standin.services().registry();
        for (const randomlogons::SeedValue& value : logon.values) {
            const platform::RegKey root =
                value.root == "M" ? platform::kHkeyLocalMachine : platform::kHkeyCurrentUser;
            const platform::Win32Error rc =
                value.dword
                    ? platform::WriteRegDword(registry, root, value.key, value.name,
                                              static_cast<uint32_t>(std::stoul(value.data)))
                    : platform::WriteRegString(registry, root, value.key, value.name, value.data);
            if (rc != platform::kErrorSuccess) {
                throw std::runtime_error("cannot write the value " + value.name + " beforehand");
            }
        }
        Write(site.state / "identity.ini", user);
    }
    return site;
}

testsupport::ProgramResult Start(const fs::path& program, const std::vector<std::string>& args,
                                 const fs::path& directory, const Site& site, const char* name) {
    testsupport::ProgramStart start;
    start.program = program;
    start.args = args;
    start.directory = directory;
    start.environment = {{"XDG_STATE_HOME", site.xdg.string()}};
    start.output = site.work / (std::string(name) + ".out");
    start.errors = site.work / (std::string(name) + ".err");
    return testsupport::RunProgram(start, kLimit);
}

// The workstation after the run, read through a stand-in platform of its
// own. Relative Windows paths are taken from the share, as the run took
// them, so the comparison runs in the share's folder.
class Afterwards {
  public:
    Afterwards(const Site& site, const std::string& user)
        : previous_(fs::current_path()), standin_(site.state, false), user_(user) {
        fs::current_path(site.share);
    }
    ~Afterwards() { fs::current_path(previous_); }

    platform::Registry& registry() { return standin_.services().registry(); }
    platform::standin::Context& context() { return standin_.context(); }
    const std::string& user() const { return user_; }

    std::optional<fs::path> Host(const std::string& windowsPath) {
        return context().paths.Resolve(windowsPath);
    }

    // Attaches the hives of the L lines as the run did, one after another:
    // what the run wrote for the user while one was attached went into it.
    // Every L line turns the run's redirection off and only a load that
    // succeeds turns it on again, so the record went into a hive when the
    // last L line attached one.
    bool AttachHives(const Json& lines) {
        bool attached = false;
        for (const Json& line : lines) {
            const std::string text = Ansi(line["expanded"]);
            if (text.size() >= 5 && text[0] == 'L') {
                attached = registry().LoadKey(user_, text.substr(1)) == platform::kErrorSuccess;
            }
        }
        return attached;
    }

    // The run record's messages; none when there is no record.
    std::vector<std::string> Record(bool inHive) {
        const platform::RegKey root = inHive ? platform::kHkeyUsers : platform::kHkeyCurrentUser;
        const std::string key = inHive ? user_ + "\\" + kRecordKey : kRecordKey;
        uint32_t count = 0;
        std::vector<std::string> messages;
        if (platform::ReadRegDword(registry(), root, key, "ErrorCount", &count) !=
            platform::kErrorSuccess) {
            return messages;
        }
        for (uint32_t i = 1; i <= count; ++i) {
            std::string text;
            if (platform::ReadRegString(registry(), root, key, "ErrorString" + std::to_string(i),
                                        &text) != platform::kErrorSuccess) {
                text = "(no ErrorString" + std::to_string(i) + ")";
            }
            messages.push_back(text);
        }
        return messages;
    }

  private:
    fs::path previous_;
    platform::standin::StandinPlatform standin_;
    std::string user_;
};

std::string Where(const Json& line) {
    return Ansi(line["file"]) + ":" + std::to_string(line.value("line", 0)) + "  " +
           Ansi(line["text"]);
}

std::string Joined(const std::vector<std::string>& messages, size_t from, size_t count) {
    std::string out;
    for (size_t i = from; i < from + count && i < messages.size(); ++i) {
        out += (out.empty() ? "" : " | ") + messages[i];
    }
    return out.empty() ? "(none)" : out;
}

// The run record against the messages of every line in order. A line with
// a depends note may leave any messages, so the record is matched past it
// to the next line's first message.
void CompareMessages(const Json& report, const std::vector<std::string>& found,
                     std::vector<Disagreement>& out) {
    struct Part {
        std::string where;
        std::vector<std::string> messages;
        bool any = false;  // a depends line: any number of messages
    };
    std::vector<Part> parts;
    Part start{"the start-up", {}, false};
    if (report.contains("messages")) {
        for (const Json& message : report["messages"]) {
            start.messages.push_back(Ansi(message));
        }
    } else {
        for (const Json& finding : report.value("findings", Json::array())) {
            if (finding.value("kind", "") == "settings-missing" && finding.contains("message")) {
                start.messages.push_back(Ansi(finding["message"]));
            }
        }
    }
    parts.push_back(start);
    for (const Json& line : report.value("lines", Json::array())) {
        Part part{Where(line), {}, !line.value("depends", Json::array()).empty()};
        for (const Json& message : line.value("messages", Json::array())) {
            part.messages.push_back(Ansi(message));
        }
        if (part.any || !part.messages.empty()) {
            parts.push_back(part);
        }
    }
    size_t at = 0;
    bool skipping = false;
    for (const Part& part : parts) {
        if (part.any) {
            skipping = true;
            continue;
        }
        const auto matches = [&](size_t from) {
            if (from + part.messages.size() > found.size()) {
                return false;
            }
            return std::equal(part.messages.begin(), part.messages.end(), found.begin() + from);
        };
        size_t from = at;
        while (skipping && !matches(from) && from < found.size()) {
            ++from;
        }
        if (!matches(from)) {
            // Either the record holds messages that no line before this one
            // states, or this line's are not there.
            const auto next = std::find(found.begin() + static_cast<long>(at), found.end(),
                                        part.messages.front());
            if (next != found.end()) {
                out.push_back({"message", "before " + part.where, "(none)",
                               Joined(found, at, static_cast<size_t>(next - found.begin()) - at)});
            } else {
                out.push_back({"message", part.where,
                               Joined(part.messages, 0, part.messages.size()),
                               Joined(found, at, part.messages.size())});
            }
            return;
        }
        at = from + part.messages.size();
        skipping = false;
    }
    if (!skipping && at < found.size()) {
        out.push_back(
            {"message", "after the last line", "(none)", Joined(found, at, found.size() - at)});
    }
}

std::string RegistryData(const platform::RegValue& value) {
    std::string data = value.data;
    switch (value.type) {
        case platform::kRegSz:
            if (!data.empty() && data.back() == '\0') {
                data.pop_back();
            }
            return "REG_SZ " + data;
        case platform::kRegDword: {
            uint32_t number = 0;
            for (size_t i = 0; i < 4 && i < data.size(); ++i) {
                number |= static_cast<uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
            }
            return "REG_DWORD " + std::to_string(static_cast<int32_t>(number));
        }
        case platform::kRegBinary: {
            std::string hex;
            char pair[3];
            for (const unsigned char c : data) {
                std::snprintf(pair, sizeof pair, "%02X", c);
                hex += pair;
            }
            return "REG_BINARY " + hex;
        }
        default:
            return "type " + std::to_string(value.type);
    }
}

// "HKEY_CURRENT_USER\Software\X" as its root and path.
bool SplitKey(const std::string& key, platform::RegKey* root, std::string* path) {
    const size_t slash = key.find('\\');
    for (const platform::RegistryRoot& known : platform::kRegistryRoots) {
        if (key.substr(0, slash) == known.name) {
            *root = known.key;
            *path = slash == std::string::npos ? "" : key.substr(slash + 1);
            return true;
        }
    }
    return false;
}

// The value of `key` in [section] of an INI file's text, as the writer
// left it; nothing when the section or the key is not there. Lines before
// the first header are the empty section's, as a "[]" header's are. Of
// two lines of the key the last counts: a name written in a code page that
// lacks its letters is no longer found by the next write, which adds
// another line.
std::optional<std::string> IniValue(const std::string& text, const std::string& section,
                                    const std::string& key) {
    std::string current;
    std::optional<std::string> found;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::string bare = Trim(line);
        if (!bare.empty() && bare.front() == '[' && bare.find(']') != std::string::npos) {
            current = Trim(bare.substr(1, bare.rfind(']') - 1));
            continue;
        }
        const size_t equals = line.find('=');
        if (equals != std::string::npos && Upper(current) == Upper(Trim(section)) &&
            Upper(Trim(line.substr(0, equals))) == Upper(Trim(key))) {
            found = line.substr(equals + 1);
        }
    }
    return found;
}

std::string FileKind(const std::optional<fs::path>& host) {
    std::error_code ec;
    if (!host) {
        return "the path names no place";
    }
    if (fs::is_regular_file(*host, ec)) {
        return "a file";
    }
    return fs::is_directory(*host, ec) ? "a folder" : "nothing";
}

// Where an effect acts: later effects on the same place replace it.
std::string Place(const Json& effect) {
    const std::string kind = effect.value("kind", "");
    if (kind == "file" || kind == "folder") {
        return "path " + Upper(Ansi(effect["path"]));
    }
    if (kind == "registry" || kind == "delete") {
        return "value " + Upper(Ansi(effect["key"])) + '\n' + Upper(Ansi(effect["name"]));
    }
    if (kind == "ini") {
        return "ini " + Upper(Ansi(effect["file"])) + '\n' + Upper(Trim(Ansi(effect["section"]))) +
               '\n' + Upper(Trim(Ansi(effect["key"])));
    }
    if (kind == "connection" || kind == "disconnection") {
        return "device " + Upper(Ansi(effect["device"]));
    }
    return kind + " " + effect.dump();
}

// One stated effect against the workstation: what was found, or nothing
// when it holds. `superseded`: a later effect of another kind changed the
// file it relies on (a copy's target or source, an INI file), which then
// need not hold what this one left.
std::optional<Disagreement> CheckEffect(const Json& effect, Afterwards& after, bool superseded) {
    const std::string kind = effect.value("kind", "");
    std::error_code ec;
    if (kind == "file" || kind == "folder") {
        const std::string path = Ansi(effect["path"]);
        const auto host = after.Host(path);
        const std::string found = FileKind(host);
        if (found != (kind == "file" ? "a file" : "a folder")) {
            return Disagreement{kind, "", kind + " " + path, found};
        }
        // A copy's bytes are the source's, where the source is named
        // without a drive that a connection may have moved meanwhile.
        const std::string source = Ansi(effect.value("source", Json()));
        const bool fixed = source.rfind("\\\\", 0) == 0 || Upper(source).rfind("C:", 0) == 0;
        const auto from = fixed && !superseded ? after.Host(source) : std::nullopt;
        if (kind == "file" && from && fs::is_regular_file(*from, ec) &&
            testsupport::FileText(*host) != testsupport::FileText(*from)) {
            return Disagreement{"content", "", path + " holds the bytes of " + source,
                                "other bytes"};
        }
        return std::nullopt;
    }
    if (kind == "key" || kind == "registry" || kind == "delete") {
        const std::string key = Ansi(effect["key"]);
        platform::RegKey root = 0;
        std::string path;
        if (!SplitKey(key, &root, &path)) {
            return Disagreement{kind, "", "a key under a known root", key};
        }
        if (kind == "key") {
            platform::RegKey opened = 0;
            if (after.registry().OpenKey(root, path, &opened) != platform::kErrorSuccess) {
                return Disagreement{"key", "", key, "no such key"};
            }
            static_cast<void>(after.registry().CloseKey(opened));
            return std::nullopt;
        }
        const std::string name = Ansi(effect["name"]);
        platform::RegValue value;
        const bool exists = platform::ReadRegValue(after.registry(), root, path, name, &value) ==
                            platform::kErrorSuccess;
        const std::string found = exists ? RegistryData(value) : "no such value";
        if (kind == "delete") {
            return exists ? std::optional<Disagreement>(
                                {"delete", "", key + "\\" + name + " gone", found})
                          : std::nullopt;
        }
        const std::string expected = Ansi(effect["type"]) + " " + Ansi(effect["data"]);
        return found == expected ? std::nullopt
                                 : std::optional<Disagreement>(
                                       {"value", "", key + "\\" + name + " " + expected, found});
    }
    if (kind == "ini" && superseded) {
        return std::nullopt;
    }
    if (kind == "ini") {
        const std::string file = Ansi(effect["file"]);
        const std::string section = Ansi(effect["section"]), key = Ansi(effect["key"]);
        // A value is read without the blanks around it, and a later write to
        // the same file rewrites every value that way: those blanks are no
        // part of what is compared.
        const auto host = after.Host(file);
        const std::string bytes = host ? testsupport::FileText(*host) : std::string();
        const std::string expected = "[" + section + "] " + key + "=" + Trim(Ansi(effect["value"]));
        if (!host || !fs::is_regular_file(*host, ec)) {
            return Disagreement{"ini", "", file + " " + expected, "no such file"};
        }
        const auto value = IniValue(core::DecodeText(bytes).text, section, key);
        const std::string found =
            value ? "[" + section + "] " + key + "=" + Trim(*value) : "no such key";
        return found == expected ? std::nullopt
                                 : std::optional<Disagreement>(
                                       {"ini", "", file + " " + expected, file + " " + found});
    }
    if (kind == "connection" || kind == "disconnection") {
        const std::string device = Ansi(effect["device"]);
        const auto connection = after.context().connections.Find(device);
        const std::string found =
            connection ? device + " to " + connection->remoteName : device + " not connected";
        const std::string expected = kind == "connection" ? device + " to " + Ansi(effect["remote"])
                                                          : device + " not connected";
        return found == expected ? std::nullopt
                                 : std::optional<Disagreement>({kind, "", expected, found});
    }
    if (kind == "hive") {
        return std::nullopt;  // the attach lasts for the run only
    }
    return Disagreement{"unknown-effect", "", "a known kind", effect.dump()};
}

// Every stated effect, the last one for each place, against the
// workstation; gives how many places were compared.
size_t CompareEffects(const Json& report, Afterwards& after, std::vector<Disagreement>& out) {
    struct Last {
        const Json* effect;
        const Json* line;
        size_t order;
    };
    std::map<std::string, Last> last;
    // The last copy or folder, and the last INI write, at each path; the
    // last connection change of each device.
    std::map<std::string, size_t> replaced, written, remapped;
    size_t order = 0;
    static const Json kNone = Json::array();
    const Json& lines = report.contains("lines") ? report["lines"] : kNone;
    const auto text = [](const Json& effect, const char* field) {
        return effect.contains(field) ? Ansi(effect[field]) : std::string();
    };
    for (const Json& line : lines) {
        if (!line.value("depends", kNone).empty() || !line.contains("effects")) {
            continue;
        }
        for (const Json& effect : line["effects"]) {
            last[Place(effect)] = {&effect, &line, ++order};
            const std::string kind = effect.value("kind", "");
            if (kind == "file" || kind == "folder") {
                replaced[Upper(text(effect, "path"))] = order;
            } else if (kind == "ini") {
                written[Upper(text(effect, "file"))] = order;
            } else if (kind == "connection" || kind == "disconnection") {
                remapped[Upper(text(effect, "device"))] = order;
            }
        }
    }
    const auto later = [](const std::map<std::string, size_t>& at, const std::string& path,
                          size_t than) {
        const auto found = at.find(Upper(path));
        return found != at.end() && found->second > than;
    };
    size_t compared = 0;
    for (const auto& [place, entry] : last) {
        const Json& effect = *entry.effect;
        const size_t at = entry.order;
        const bool ini = effect.value("kind", "") == "ini";
        const std::string path = text(effect, ini ? "file" : "path");
        const std::string source = text(effect, "source");
        // A drive letter that a later line connects elsewhere no longer
        // leads to what this effect made.
        if (path.size() >= 2 && path[1] == ':' && later(remapped, path.substr(0, 2), at)) {
            continue;
        }
        ++compared;
        const bool superseded = ini ? later(replaced, path, at)
                                    : later(replaced, path, at) || later(written, path, at) ||
                                          later(replaced, source, at) || later(written, source, at);
        if (auto disagreement = CheckEffect(effect, after, superseded)) {
            disagreement->where = Where(*entry.line);
            out.push_back(*disagreement);
        }
    }
    return compared;
}

struct Outcome {
    std::vector<Disagreement> disagreements;
    size_t messages = 0, places = 0;  // how many were compared
};

// One logon from its making to its comparison.
Outcome RunLogon(const Logon& logon, const Site& site, const fs::path& checker) {
    Outcome outcome;
    std::vector<Disagreement>& out = outcome.disagreements;
    const auto digest = [&site] { return Hash(site.xdg) ^ (Hash(site.share) * 31); };
    const uint64_t before = digest();
    const auto check = Start(checker,
                             {"--json", "--user", logon.user, "--machine", logon.machine,
                              site.share.filename().string()},
                             site.work, site, "check");
    if (digest() != before) {
        out.push_back({"trace", "the logon", "the workstation and the share unchanged",
                       "the check changed them"});
    }
    const Json report = Json::parse(check.out, nullptr, false);
    if (!check.ended || check.exitCode == 2 || !report.is_object()) {
        out.push_back({"check-failed", "the logon", "a JSON report",
                       "exit " + std::to_string(check.exitCode) + ": " + check.err.substr(0, 200)});
        return outcome;
    }
    // A logon that stops before its window writes no record: the one it
    // found stays.
    bool stops = false;
    for (const Json& finding : report.value("findings", Json::array())) {
        stops = stops || finding.value("kind", "") == "startup-stops";
    }
    const std::vector<std::string> earlier =
        stops ? Afterwards(site, logon.user).Record(false) : std::vector<std::string>();
    const auto run = Start(site.share / "tarnwick", {}, site.share, site, "run");
    if (!run.ended) {
        out.push_back({"run-failed", "the logon", "a run that ends",
                       run.startError.empty() ? "killed after the limit" : run.startError});
        return outcome;
    }
    Afterwards after(site, logon.user);
    const Json lines = report.value("lines", Json::array());
    const bool inHive = after.AttachHives(lines);
    const std::vector<std::string> record = after.Record(inHive);
    if (!stops) {
        CompareMessages(report, record, out);
    } else if (record != earlier) {
        out.push_back({"message", "the logon, which stops before its window",
                       Joined(earlier, 0, earlier.size()), Joined(record, 0, record.size())});
    }
    outcome.messages = record.size();
    outcome.places = CompareEffects(report, after, out);
    return outcome;
}

// %DateTime% has the minute: a pair of runs that would straddle the turn
// of a minute waits for the next one.
void AwayFromTheMinute() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    if (local.tm_sec >= 58) {
        std::this_thread::sleep_for(std::chrono::seconds(61 - local.tm_sec));
    }
}

struct Options {
    uint64_t seed = kFixedSeed;
    bool randomSeed = false;
    int logons = kFixedLogons;
    long only = -1;
    size_t show = 40;
    bool allowDisagreement = false;
    fs::path program = TARNWICK_PROGRAM, checker = TARNWICK_CHECK_PROGRAM;
};

bool Parse(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--allow-disagreement") {
            options->allowDisagreement = true;
        } else if (arg == "--seed" && hasValue) {
            const std::string value = argv[++i];
            options->randomSeed = value == "random";
            options->seed = options->randomSeed
                                ? std::random_device()() * 65536ull + std::random_device()() % 65536
                                : std::stoull(value);
        } else if (arg == "--logons" && hasValue) {
            options->logons = std::stoi(argv[++i]);
        } else if (arg == "--only" && hasValue) {
            options->only = std::stol(argv[++i]);
        } else if (arg == "--show" && hasValue) {
            options->show = std::stoul(argv[++i]);
        } else if (arg == "--program" && hasValue) {
            options->program = argv[++i];
        } else if (arg == "--check" && hasValue) {
            options->checker = argv[++i];
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    try {
        if (!Parse(argc, argv, &options)) {
            std::fprintf(stderr,
                         "usage: random_logons [--seed N|random] [--logons N] [--only K] "
                         "[--show N] [--allow-disagreement] [--program P] [--check P]\n");
            return 2;
        }
    } catch (const std::exception&) {
        std::fprintf(stderr, "random_logons: a number was expected\n");
        return 2;
    }
    std::printf("seed %llu%s\n", static_cast<unsigned long long>(options.seed),
                options.randomSeed ? " (random; replay with --seed and this number)" : "");
    const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path work = base / ("random-logons-" + std::to_string(::getpid()));
    const fs::path program = fs::absolute(options.program), checker = fs::absolute(options.checker);
    std::map<std::string, int> byKind;
    int agreeing = 0, total = 0;
    size_t shown = 0, messages = 0, places = 0;
    const auto started = std::chrono::steady_clock::now();
    for (int index = 0; index < options.logons; ++index) {
        if (options.only >= 0 && index != options.only) {
            continue;
        }
        ++total;
        AwayFromTheMinute();
        const Logon logon = randomlogons::GenerateLogon(options.seed, static_cast<uint64_t>(index));
        Outcome outcome;
        try {
            const Site site = Materialize(logon, work / "logon", program);
            outcome = RunLogon(logon, site, checker);
        } catch (const std::exception& failure) {
            std::fprintf(stderr, "random_logons: logon %d: %s\n", index, failure.what());
            return 2;
        }
        messages += outcome.messages;
        places += outcome.places;
        agreeing += outcome.disagreements.empty() ? 1 : 0;
        for (const Disagreement& each : outcome.disagreements) {
            ++byKind[each.kind];
            if (shown++ < options.show) {
                std::printf("logon %d (%s on %s): %s  %s\n    expected: %s\n    found:    %s\n",
                            index, logon.user.c_str(), logon.machine.c_str(), each.kind.c_str(),
                            each.where.c_str(), each.expected.c_str(), each.found.c_str());
            }
        }
    }
    if (options.only >= 0) {
        std::printf("its folders are kept in %s\n", (work / "logon").c_str());
    } else {
        std::error_code ec;
        fs::remove_all(work, ec);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (shown > options.show) {
        std::printf("(%zu more disagreements not shown; --show N shows more)\n",
                    shown - options.show);
    }
    std::printf(
        "%d of %d logons agree (%.1f s; %zu recorded messages and %zu stated effects "
        "compared)\n",
        agreeing, total, seconds, messages, places);
    for (const auto& [kind, count] : byKind) {
        std::printf("  %s: %d\n", kind.c_str(), count);
    }
    if (agreeing != total) {
        std::printf("replay one logon: random_logons --seed %llu --only K\n",
                    static_cast<unsigned long long>(options.seed));
    }
    return agreeing == total || options.allowDisagreement ? 0 : 1;
}
