// System calls: computer name, clock, locale, the program's own path.
#pragma once
#include <cstdint>
#include <string>

#include "platform/default_access.h"
#include "platform/errors.h"

namespace platform {

struct LocalTime {
    int year = 0, month = 0, day = 0;  // month 1..12
    int dayOfWeek = 0;                 // 0 = Sunday .. 6 = Saturday
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

class System {
  public:
    virtual ~System() = default;
    // GetComputerNameW with a buffer of `bufferSize` characters: 0 and the
    // name, or the thread's last error code after the failed call.
    virtual Win32Error GetComputerNameW(uint32_t bufferSize, std::string* name) = 0;
    virtual LocalTime Now() = 0;
    // The user locale's short day name (0 = Sunday) and short month name (1..12).
    virtual std::string ShortDayName(int dayOfWeek) = 0;
    virtual std::string ShortMonthName(int month) = 0;
    virtual std::string TimeSeparator() = 0;
    // The full path of the running program, as the system reports it.
    virtual std::string ModulePath() = 0;
    // The full path a relative path stands for from the current folder
    // (GetFullPathNameA), for messages that must say which file or folder
    // was meant; the path as it stands when the system cannot tell.
    virtual std::string FullPathName(const std::string& path) { return path; }
    // The user locale's case-insensitive comparison: true when equal.
    virtual bool SameTextIgnoreCase(const std::string& a, const std::string& b) = 0;
    // The rights the process runs with: an administrator's only when it is
    // elevated, as Windows' default security decides (default_access.h).
    virtual Rights ProcessRights() { return Rights::kStandard; }
};

}  // namespace platform
