// Platform services that forward to the installed ones except for what a
// test pins: the program's path, the identity, the clock.
#pragma once
#include <optional>
#include <string>

#include "platform/network.h"
#include "platform/platform.h"
#include "platform/system.h"

namespace testsupport {

class SystemOverride : public platform::System {
  public:
    explicit SystemOverride(platform::System& real) : real_(real) {}
    std::optional<std::string> modulePath;
    std::optional<std::string> computerName;
    uint32_t computerNameError = 0;
    std::optional<platform::LocalTime> now;

    uint32_t GetComputerNameA(uint32_t bufferSize, std::string* name) override;
    platform::LocalTime Now() override { return now ? *now : real_.Now(); }
    std::string ShortDayName(int d) override { return real_.ShortDayName(d); }
    std::string ShortMonthName(int m) override { return real_.ShortMonthName(m); }
    std::string TimeSeparator() override { return real_.TimeSeparator(); }
    std::string ModulePath() override { return modulePath ? *modulePath : real_.ModulePath(); }
    bool SameTextIgnoreCase(const std::string& a, const std::string& b) override {
        return real_.SameTextIgnoreCase(a, b);
    }

  private:
    platform::System& real_;
};

class NetworkOverride : public platform::Network {
  public:
    explicit NetworkOverride(platform::Network& real) : real_(real) {}
    std::optional<std::string> user;
    uint32_t userError = 0;

    uint32_t GetUser(const std::string& localName, uint32_t bufferSize,
                     std::string* result) override;
    uint32_t CancelConnection(const std::string& name, uint32_t flags, bool force) override {
        return real_.CancelConnection(name, flags, force);
    }
    uint32_t AddConnection(const platform::NetResource& resource, uint32_t flags) override {
        return real_.AddConnection(resource, flags);
    }

  private:
    platform::Network& real_;
};

}  // namespace testsupport
