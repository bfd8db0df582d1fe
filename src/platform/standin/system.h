#pragma once
#include <filesystem>

#include "platform/system.h"

namespace platform::standin {

class StandinSystem : public System {
  public:
    explicit StandinSystem(std::filesystem::path stateDir) : stateDir_(std::move(stateDir)) {}
    Win32Error GetComputerNameW(uint32_t bufferSize, std::string* name) override;
    LocalTime Now() override;
    std::string ShortDayName(int dayOfWeek) override;
    std::string ShortMonthName(int month) override;
    std::string TimeSeparator() override;
    std::string ModulePath() override;
    std::string FullPathName(const std::string& path) override;
    bool SameTextIgnoreCase(const std::string& a, const std::string& b) override;
    Rights ProcessRights() override;

  private:
    std::filesystem::path stateDir_;
};

}  // namespace platform::standin
