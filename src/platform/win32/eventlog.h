#pragma once
#include "platform/eventlog.h"

namespace platform::win32 {

class Win32EventLog : public EventLog {
  public:
    Win32Error ReportEventW(const std::string& source, uint16_t type, uint32_t eventId,
                            const std::string& text) override;
};

}  // namespace platform::win32
