// The outcome of each logon in the event log, so that a network's failing
// logons can be collected in one place: one event per run of the program,
// under the source "Tarnwick" in the Application log.
//
//   Information, ID 1: the run produced no messages;
//   Warning, ID 2: it produced messages;
//   Error, ID 3: a failure ended the run, or the program before its window;
//   Warning, ID 4: the run found no script file at all. Such a logon does
//     nothing and its record is clean, yet it is almost always a program
//     started from the wrong folder or a settings file that names folders
//     that are not there; the event names the settings file and the folders
//     searched, as full paths, so the mistake shows where logons are watched.
//
// The event never changes the run: a refusal is ignored, and nothing of it
// reaches ErrorList, the run record, the window or the exit code.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "logon/context.h"

namespace app {

inline constexpr const char* kEventSource = "Tarnwick";
inline constexpr uint32_t kEventNoMessages = 1;
inline constexpr uint32_t kEventMessages = 2;
inline constexpr uint32_t kEventFailure = 3;
inline constexpr uint32_t kEventNoScriptFiles = 4;

struct LogonOutcome {
    std::string user, machine, dateTime;
    std::vector<std::string> scriptFiles;  // in process order
    std::vector<std::string> messages;
    std::string failure;  // empty when no failure ended the run
    // Told when no script file was found: the settings file (its full path,
    // and whether it was read) and the full paths of the folders searched.
    bool noScriptFiles = false;
    std::string settingsFile;
    bool settingsRead = true;
    std::vector<std::string> foldersSearched;
};

// The event's one string: user, machine, date and time, the script files,
// where they were searched when none was found, the failure (if any), the
// number of messages, then each message on a line of its own.
std::string LogonEventText(const LogonOutcome& outcome);

// Writes the event of this run from the logon context as it stands, unless
// the settings turn it off or it was written already: a run leaves exactly
// one. `failure` is the text of the failure that ended the run; null when
// none did.
void ReportLogonOutcome(logon::LogonContext& context, const std::string* failure);

}  // namespace app
