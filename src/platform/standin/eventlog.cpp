#include "platform/standin/eventlog.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>

#include "platform/errors.h"
#include "platform/standin/state.h"
#include "platform/standin/unique_fd.h"

namespace platform::standin {

namespace {

constexpr const char* kIndent = "    ";

struct TypeName {
    uint16_t type;
    const char* name;
};
constexpr std::array<TypeName, 3> kTypeNames = {{
    {kEventlogErrorType, "Error"},
    {kEventlogWarningType, "Warning"},
    {kEventlogInformationType, "Information"},
}};

std::string TypeNameOf(uint16_t type) {
    for (const TypeName& entry : kTypeNames) {
        if (entry.type == type) {
            return entry.name;
        }
    }
    return std::to_string(type);
}

std::string TimeText(const LocalTime& now) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", now.year, now.month, now.day,
                  now.hour, now.minute, now.second);
    return text;
}

}  // namespace

StandinEventLog::StandinEventLog(std::filesystem::path stateDir, System& system)
    : file_(std::move(stateDir) / "eventlog" / "Application.log"), system_(system) {}

Win32Error StandinEventLog::ReportEventW(const std::string& source, uint16_t type, uint32_t eventId,
                                         const std::string& text) {
    std::error_code ec;
    std::filesystem::create_directories(file_.parent_path(), ec);
    const UniqueFd log(::open(file_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (!log) {
        return ErrnoToWin32(errno);
    }
    // The lock goes with the descriptor: a writer that is killed drops it.
    while (::flock(log.get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            return ErrnoToWin32(errno);
        }
    }
    std::string record =
        FormatEventRecord({TimeText(system_.Now()), source, TypeNameOf(type), eventId, text});
    // A record cut short by a killed writer may lack its last line break;
    // the next one must not run on from it.
    const off_t size = ::lseek(log.get(), 0, SEEK_END);
    char last = '\n';
    if (size > 0 && ::pread(log.get(), &last, 1, size - 1) == 1 && last != '\n') {
        record.insert(0, "\n");
    }
    return WriteAll(log.get(), record) ? kErrorSuccess : ErrnoToWin32(errno);
}

std::string FormatEventRecord(const EventRecord& record) {
    std::string out = record.time + " " + record.source + " " + record.type + " " +
                      std::to_string(record.eventId) + "\n";
    size_t start = 0;
    while (start <= record.text.size()) {
        const size_t end = record.text.find('\n', start);
        const size_t stop = end == std::string::npos ? record.text.size() : end;
        std::string line = record.text.substr(start, stop - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        out += kIndent + line + "\n";
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return out;
}

std::vector<EventRecord> ParseEventLog(const std::string& text) {
    std::vector<EventRecord> records;
    bool inRecord = false;
    bool firstLine = false;  // the next indented line is the string's first
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.rfind(kIndent, 0) == 0) {
            if (inRecord) {
                std::string& recordText = records.back().text;
                recordText += (firstLine ? "" : "\n") + line.substr(4);
                firstLine = false;
            }
            continue;
        }
        // yyyy-mm-dd hh:mm:ss source type id
        EventRecord record;
        char date[11] = {}, clock[9] = {}, source[256] = {}, type[32] = {};
        unsigned id = 0;
        int used = 0;
        inRecord = std::sscanf(line.c_str(), "%10s %8s %255s %31s %u%n", date, clock, source, type,
                               &id, &used) == 5 &&
                   static_cast<size_t>(used) == line.size();
        firstLine = inRecord;
        if (inRecord) {
            record.time = std::string(date) + " " + clock;
            record.source = source;
            record.type = type;
            record.eventId = id;
            records.push_back(std::move(record));
        }
    }
    return records;
}

}  // namespace platform::standin
