// The catalogue of malformed inputs: every case lays out a login share
// (settings file, script, macros, full-name list, news) and sometimes a
// damaged run record, a disk that takes no more bytes or folders the
// program may not write, and gives everything the program must leave: the
// run record, files and registry values afterwards, message boxes, the
// exit code and the window. malformed_input_test.cpp runs them.
//
// The tables of malformed_input_cases.cpp are the catalogue;
// docs/malformed-inputs.md mirrors them for administrators, so a case added
// or changed there is changed in the document too.
//
// Script-line cases run together in one program run; the other cases
// change a whole file or the machine and get a run of their own. Cases not
// marked for both platforms pin the stand-in's behaviour alone.
#pragma once
#include <algorithm>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry.h"

namespace malformed {

inline constexpr const char* kRecordKey = "Software\\Brackenlow\\Tarnwick\\Errors";
inline constexpr const char* kCatalogueKey = "Software\\Tarnwick Catalogue";
inline constexpr const char* kScript = "GLOBAL\\_DEFAULT.DAT";
inline constexpr const char* kDefaultSettings = "Process=*\r\n";
// Replaced in expected texts by the share's folder (with its separator) and
// by the program's file name.
inline constexpr const char* kShareToken = "{share}";
inline constexpr const char* kProgramToken = "{program}";

std::string Unknown(const std::string& line);

enum class Kind { kFile, kDirectory, kFifo };

struct ShareFile {
    std::string path;  // relative to the share, "\" separated
    std::string bytes;
    Kind kind = Kind::kFile;
    int mode = -1;           // permissions set once it is laid out (-1: as created)
    bool onMachine = false;  // a Windows path of the workstation instead
};

struct Value {
    uint32_t type = 0;
    std::string data;  // as stored, a string's terminating zero included
    bool operator==(const Value& other) const { return type == other.type && data == other.data; }
};

// How a failed comparison shows a value.
std::ostream& operator<<(std::ostream& out, const Value& value);

struct RegCheck {
    platform::RegKey root;
    std::string key, name;
    std::optional<Value> value;  // none: the value must not exist
};

struct FileCheck {
    enum What { kContents, kMissing, kDirectory, kEntries } what;
    std::string path;  // relative to the share
    std::string contents;
    std::vector<std::string> entries;  // sorted
    std::optional<std::string> wine;   // the contents Wine leaves, where it is not Windows
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
    // A folder at a Windows path of the workstation (a share of the
    // stand-in's network, say).
    Self& MachineFolder(const std::string& windowsPath) {
        files.push_back({windowsPath, "", Kind::kDirectory, -1, true});
        return self();
    }
    Self& Holds(const std::string& path, const std::string& contents) {
        fileChecks.push_back({FileCheck::kContents, path, contents, {}, std::nullopt});
        return self();
    }
    // Windows' contents, and Wine's where Wine is not Windows yet.
    Self& Holds(const std::string& path, const std::string& contents, const std::string& wine) {
        fileChecks.push_back({FileCheck::kContents, path, contents, {}, wine});
        return self();
    }
    Self& Missing(const std::string& path) {
        fileChecks.push_back({FileCheck::kMissing, path, "", {}, std::nullopt});
        return self();
    }
    Self& IsFolder(const std::string& path) {
        fileChecks.push_back({FileCheck::kDirectory, path, "", {}, std::nullopt});
        return self();
    }
    Self& Entries(const std::string& path, std::vector<std::string> names) {
        std::sort(names.begin(), names.end());
        fileChecks.push_back({FileCheck::kEntries, path, "", names, std::nullopt});
        return self();
    }
    Self& Registry(platform::RegKey root, const std::string& key, const std::string& name,
                   std::optional<Value> value) {
        regChecks.push_back({root, key, name, value});
        return self();
    }

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
    // `file` is there but cannot be read, and start-up needs it: the
    // Application Error box names it, says in plain words where it is and
    // which setting named it, and the program ends with exit code 1 before
    // its script runs, writing no run record.
    RunCase& StopsStartUp(const std::string& file) {
        const bool macros = file == "MACROS.DAT";
        return Script("Vnot_run\r\n")
            .ExitCode(1)
            .Report(
                "[Application Error] Exception EFOpenError in module {program}.\n"
                "Cannot open file " +
                file + ".\n\n" + (macros ? "The macros file " : "The full-name list ") + "{share}" +
                file + (macros ? ", named by the Macros line" : ", named by the UserList setting") +
                " of the settings file {share}tarnwick.INI, cannot be opened. No script was "
                "run: " +
                (macros ? "put the file there, or correct or remove the Macros line."
                        : "make the file readable, or correct the UserList line.") +
                "\n")
            .Record("ErrorCount", std::nullopt)
            .Missing("not_run");
    }
};

// Test names and failure reports name a case by its group and name.
void PrintTo(const LineCase& c, std::ostream* out);
void PrintTo(const RunCase& c, std::ostream* out);

// The catalogue, for a program that runs as `user`.
std::vector<LineCase> LineCases(const std::string& user);
std::vector<RunCase> RunCases(const std::string& user);

}  // namespace malformed
