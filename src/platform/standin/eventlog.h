// The stand-in's event log: the workstation's Application log as a text
// file, <state>/eventlog/Application.log, readable with ordinary tools.
//
// One record per event: a first line with the local time, the source, the
// type and the event ID, then the event's string, each of its lines
// indented by four spaces:
//
//   2026-12-08 11:44:03 Tarnwick Warning 2
//       User: jsmith
//       ...
//
// Each record is appended in one write while the file is locked, so
// records of programs that run at once never mix. A writer killed halfway
// can leave a record cut short, never one that runs into the next: a
// record always starts on a line of its own.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "platform/eventlog.h"
#include "platform/system.h"

namespace platform::standin {

class StandinEventLog : public EventLog {
  public:
    StandinEventLog(std::filesystem::path stateDir, System& system);
    Win32Error ReportEventW(const std::string& source, uint16_t type, uint32_t eventId,
                            const std::string& text) override;

    const std::filesystem::path& LogFile() const { return file_; }

  private:
    std::filesystem::path file_;
    System& system_;
};

// One record of the log, as FormatEventRecord writes it.
struct EventRecord {
    std::string time;  // yyyy-mm-dd hh:mm:ss
    std::string source;
    std::string type;  // "Information", "Warning", "Error" or the number
    uint32_t eventId = 0;
    std::string text;  // the lines joined by "\n"
};

// The text of one record, ending in a line break.
std::string FormatEventRecord(const EventRecord& record);
// Every record of a log file's text; a line that belongs to no record (a
// record cut short by a killed writer leaves at most its own lines) is
// passed over.
std::vector<EventRecord> ParseEventLog(const std::string& text);

}  // namespace platform::standin
