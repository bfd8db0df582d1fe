// The outcome of each logon in the event log, so that a network's failing
// logons can be collected in one place: one event per run of the program,
// under the source "Tarnwick" in the Application log.
//
//   Information, ID 1: the run produced no messages;
//   Warning, ID 2: it produced messages;
//   Error, ID 3: a failure ended the run, or the program before its window.
//
// The event never changes the run: a refusal is ignored, and nothing of it
// reaches ErrorList, the run record, the window or the exit code.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace app {

inline constexpr const char* kEventSource = "Tarnwick";
inline constexpr uint32_t kEventNoMessages = 1;
inline constexpr uint32_t kEventMessages = 2;
inline constexpr uint32_t kEventFailure = 3;

struct LogonOutcome {
    std::string user, machine, dateTime;
    std::vector<std::string> scriptFiles;  // in process order
    std::vector<std::string> messages;
    std::string failure;  // empty when no failure ended the run
};

// The event's one string: user, machine, date and time, the script files,
// the failure (if any), the number of messages, then each message on a
// line of its own.
std::string LogonEventText(const LogonOutcome& outcome);

// Writes the event of this run from the logon context as it stands, unless
// the settings turn it off or it was written already: a run leaves exactly
// one. `failure` is the text of the failure that ended the run; null when
// none did.
void ReportLogonOutcome(const std::string* failure);

// Forgets that the event was written (tests).
void ResetLogonEvent();

}  // namespace app
