#include "platform/standin/system.h"

#include <sys/time.h>
#include <unistd.h>

#include <array>
#include <ctime>

#include "platform/errors.h"
#include "platform/standin/case_fold.h"
#include "platform/standin/identity.h"
#include "platform/standin/text.h"

namespace platform::standin {

namespace {
// The stand-in's user locale is English (United States).
constexpr std::array<const char*, 7> kShortDays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 12> kShortMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
}  // namespace

Win32Error StandinSystem::GetComputerNameW(uint32_t bufferSize, std::string* name) {
    const Identity identity = ReadIdentity(stateDir_);
    if (identity.machineError != 0) {
        return identity.machineError;
    }
    // The name and its terminating NUL must fit the buffer, as on Windows,
    // counted in UTF-16 code units.
    if (Utf16Length(identity.machine) + 1 > bufferSize) {
        return kErrorBufferOverflow;
    }
    *name = identity.machine;
    return kErrorSuccess;
}

// identity.ini says which rights the user logs on with.
Rights StandinSystem::ProcessRights() {
    return ReadIdentity(stateDir_, /*warn=*/false).rights;
}

LocalTime StandinSystem::Now() {
    timeval now{};
    gettimeofday(&now, nullptr);
    std::tm local{};
    const time_t seconds = now.tv_sec;
    localtime_r(&seconds, &local);
    LocalTime result;
    result.year = local.tm_year + 1900;
    result.month = local.tm_mon + 1;
    result.day = local.tm_mday;
    result.dayOfWeek = local.tm_wday;
    result.hour = local.tm_hour;
    result.minute = local.tm_min;
    result.second = local.tm_sec;
    result.millisecond = static_cast<int>(now.tv_usec / 1000);
    return result;
}

std::string StandinSystem::ShortDayName(int dayOfWeek) {
    return (dayOfWeek >= 0 && dayOfWeek < 7) ? kShortDays[static_cast<size_t>(dayOfWeek)] : "";
}

std::string StandinSystem::ShortMonthName(int month) {
    return (month >= 1 && month <= 12) ? kShortMonths[static_cast<size_t>(month - 1)] : "";
}

std::string StandinSystem::TimeSeparator() {
    return ":";
}

std::string StandinSystem::ModulePath() {
    char buffer[4096] = {};
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

// A path the stand-in reads relative to the current folder ("\\" read as
// "/") becomes the host path it names; a drive, UNC or host path is already
// full and stays as it is.
std::string StandinSystem::FullPathName(const std::string& path) {
    const bool full =
        path.empty() || path[0] == '/' || path[0] == '\\' || (path.size() >= 2 && path[1] == ':');
    if (full) {
        return path;
    }
    std::string relative = path;
    for (char& c : relative) {
        if (c == '\\') {
            c = '/';
        }
    }
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    return error ? path : (current / relative).string();
}

bool StandinSystem::SameTextIgnoreCase(const std::string& a, const std::string& b) {
    return SameText(a, b);
}

}  // namespace platform::standin
