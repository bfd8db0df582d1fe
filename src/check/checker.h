// The logon of one user on one machine, told without carrying anything out:
// the settings, the process order's script files, the macros and every
// script line with what it would do, read from a login share with the same
// code the program runs.
#pragma once
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "check/finding.h"
#include "check/what_if.h"
#include "platform/platform.h"

namespace check {

// The program's settings file, next to it in the share: tarnwick.exe (or
// the Linux tarnwick) reads tarnwick.INI. A check reads it unless the
// request names another.
inline constexpr const char* kSettingsFileName = "tarnwick.INI";

struct CheckRequest {
    // The login share's folder, a path of the machine the checker runs on;
    // every other path is taken as the program takes it, relative to it.
    std::string shareDir;
    std::string settingsFile;  // empty: tarnwick.INI in the share
    std::string user;
    std::string machine;
    std::optional<std::string> userList;  // default: the UserList setting
    std::optional<std::string> dateTime;  // default: now, as the program formats it
    // What the logon's lines are run on: the workstation the services show,
    // or none (only the share is read, and every other fact depends).
    Sight sight = Sight::kShareOnly;
    // The user's rights; none: the workstation's where the check sees one,
    // else a standard user's, as most logons are.
    std::optional<platform::Rights> rights;
    platform::Rights RightsOn(const platform::Services& workstation) const;
};

// A request the checker cannot work on (a share folder that is not there).
class CheckError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct ScriptFile {
    char letter = 0;
    std::string path;  // as the program names it
    bool exists = false;
    bool loaded = false;
    int lineCount = 0;
    std::string encoding;  // how its bytes were read (core/text_decoder.h), once loaded
};

struct CheckedLine {
    std::string file;      // the script file, as the program names it
    int number = 0;        // 1-based line of that file
    std::string text;      // as the file holds it
    std::string expanded;  // as ExecuteLine receives it
    std::string command;   // a fixed word: "copy", "registry", "comment", ...
    std::string action;    // what the line would do
    // Each message the run records for the line, as a flag with the message;
    // each fact of the workstation it depends on, as a note (kind::kDepends).
    std::vector<Finding> findings;
    std::vector<Effect> effects;  // what it changes, in order
};

struct CheckReport {
    std::string shareDir;
    std::string settingsFile;  // as given, or the default name
    bool settingsLoaded = false;
    bool macrosFileFailed = false;  // the settings were read, their macros file was not
    std::string user, machine, fullName, group, dateTime;
    std::string processOrder;
    bool eventLog = true;           // the settings leave the logon's event on
    std::vector<Finding> findings;  // about the logon as a whole
    std::vector<ScriptFile> files;  // the process order's letters, in order
    std::vector<CheckedLine> lines;
    // The program stops before the script's lines run (a file it must read
    // cannot be opened); `lines` then holds what was read before that.
    bool stops = false;
    // The script lines checked; `lines` holds them all unless the check
    // was asked to keep only the lines with findings.
    int lineCount = 0;

    int Count(Severity severity) const;
};

// The share as every logon of a check reads it: the settings, the macros
// file, the full-name list and each script file are read and cut once;
// each logon then computes only what depends on who logs on where (its
// macros, its expansion, its flags). It enters the share folder and holds
// the program's logon context for its lifetime, so one exists at a time.
// Raises CheckError when the share folder cannot be entered.
class ShareReader {
  public:
    // The request's user and machine are not used: Check names them. The
    // share is read through `services`.
    explicit ShareReader(const CheckRequest& request,
                         const platform::Services& services = platform::Current());
    ~ShareReader();
    ShareReader(const ShareReader&) = delete;
    ShareReader& operator=(const ShareReader&) = delete;

    // The logon of `user` on `machine`, told as CheckLogon tells it. With
    // `everyLine` false, only the lines with findings are kept, and neither
    // the effects of the lines nor the facts of the workstation they depend
    // on are told: what is left are the findings certain from the share.
    CheckReport Check(const std::string& user, const std::string& machine, bool everyLine = true);

    // Every login name with a script file of its own (the default file
    // excluded) or an entry in the full-name list; every machine name with
    // a script file of its own. Each name once (ignoring letter case), sorted.
    std::vector<std::string> Users() const;
    std::vector<std::string> Machines() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// Reads the share and tells the logon. The settings, macros, full-name and
// script files are read through `services` (the installed platform unless
// told); nothing is written.
// Raises CheckError when the share folder cannot be entered.
CheckReport CheckLogon(const CheckRequest& request,
                       const platform::Services& services = platform::Current());

}  // namespace check
