#pragma once
#include "platform/system.h"

namespace platform::win32 {

class Win32System : public System {
  public:
    Win32Error GetComputerNameW(uint32_t bufferSize, std::string* name) override;
    LocalTime Now() override;
    std::string ShortDayName(int dayOfWeek) override;
    std::string ShortMonthName(int month) override;
    std::string TimeSeparator() override;
    std::string ModulePath() override;
    std::string FullPathName(const std::string& path) override;
    bool SameTextIgnoreCase(const std::string& a, const std::string& b) override;
    Rights ProcessRights() override;
};

}  // namespace platform::win32
