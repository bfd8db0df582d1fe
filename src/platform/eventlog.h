// The event log: one event at a time, under an event source, into the
// Application log.
#pragma once
#include <cstdint>
#include <string>

#include "platform/errors.h"

namespace platform {

// The types of an event, with the values Windows gives them.
inline constexpr uint16_t kEventlogErrorType = 0x0001;
inline constexpr uint16_t kEventlogWarningType = 0x0002;
inline constexpr uint16_t kEventlogInformationType = 0x0004;

class EventLog {
  public:
    virtual ~EventLog() = default;
    // RegisterEventSourceW(NULL, source), then ReportEventW(source, type,
    // category 0, eventId, no user, the one string `text`, no data), then
    // DeregisterEventSource: 0 or the error code of the call that failed.
    virtual Win32Error ReportEventW(const std::string& source, uint16_t type, uint32_t eventId,
                                    const std::string& text) = 0;
};

}  // namespace platform
