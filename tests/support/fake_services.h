// The fakes of the platform's services that tests put in place of the
// installed ones (with Services::With): each forwards to the real service it
// wraps, except for what a test pins (a name, a failure, the clock, a file
// that will not open) and what it records. Unset means "as the real one".
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/network.h"
#include "platform/system.h"

namespace testsupport {

// The base of each fake: the installed service it forwards to.
template <typename Service>
class Wrapping : public Service {
  public:
    explicit Wrapping(Service& real) : real_(real) {}

  protected:
    Service& real_;
};

class FakeSystem : public Wrapping<platform::System> {
  public:
    using Wrapping::Wrapping;

    // A user locale of its own: English (United States) until a test
    // changes a name.
    struct Locale {
        std::vector<std::string> days = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
        std::vector<std::string> months = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        std::string timeSeparator = ":";
    };

    std::optional<std::string> modulePath;
    std::optional<std::string> computerName;
    uint32_t computerNameError = 0;  // the query fails with it
    std::optional<platform::LocalTime> now;
    std::optional<Locale> locale;
    // The computer-name queries made, and the buffer size of the last one.
    int computerNameCalls = 0;
    uint32_t computerNameBufferSize = 0;

    platform::Win32Error GetComputerNameW(uint32_t bufferSize, std::string* name) override;
    platform::LocalTime Now() override { return now ? *now : real_.Now(); }
    std::string ShortDayName(int day) override;
    std::string ShortMonthName(int month) override;
    std::string TimeSeparator() override;
    std::string ModulePath() override { return modulePath ? *modulePath : real_.ModulePath(); }
    bool SameTextIgnoreCase(const std::string& a, const std::string& b) override {
        return real_.SameTextIgnoreCase(a, b);
    }
};

class FakeNetwork : public Wrapping<platform::Network> {
  public:
    using Wrapping::Wrapping;

    std::optional<std::string> user;
    uint32_t userError = 0;  // the user-name query fails with it
    // The user-name queries made, and the last one as "<local name>/<buffer size>".
    int userCalls = 0;
    std::string userAsked;

    // Every connection call is recorded; one with a result set is answered
    // with it instead of reaching the real network.
    std::optional<uint32_t> cancelResult;
    std::optional<uint32_t> addResult;
    std::vector<std::string> calls;
    std::vector<platform::NetResource> added;

    platform::Win32Error GetUser(const std::string& localName, uint32_t bufferSize,
                                 std::string* result) override;
    platform::Win32Error CancelConnection(const std::string& name, uint32_t flags,
                                          bool force) override;
    platform::Win32Error AddConnection(const platform::NetResource& resource,
                                       uint32_t flags) override;
};

class FakeFiles : public Wrapping<platform::Files> {
  public:
    using Wrapping::Wrapping;

    // Files that exist but cannot be opened (held by another program).
    std::set<std::string> locked;
    // Modification times to report.
    std::map<std::string, platform::FileTime> writeTimes;
    // Run before the copy or attribute call they name is made: the platform
    // never throws, but a test may show what a throw would do.
    std::function<void()> onCopy, onAttributes;

    platform::Win32Error ReadWholeFile(const std::string& path, std::string* contents) override;
    platform::Win32Error FindFirst(const std::string& path, bool* isDirectory) override;
    platform::Win32Error CopyFileW(const std::string& existing, const std::string& target,
                                   bool failIfExists) override;
    uint32_t GetFileAttributesW(const std::string& path) override;
    platform::Win32Error CreateDirectoryW(const std::string& path) override {
        return real_.CreateDirectoryW(path);
    }
    platform::Win32Error GetLastWriteTime(const std::string& path,
                                          platform::FileTime* time) override;
};

}  // namespace testsupport
