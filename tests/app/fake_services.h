// Wrappers around the installed platform's services that let a test fix the
// clock, the program's path and a file's modification time, and make a file
// exist but refuse to open.
#pragma once
#include <map>
#include <set>
#include <string>

#include "platform/files.h"
#include "platform/system.h"

namespace testsupport {

class FixedClockSystem : public platform::System {
  public:
    explicit FixedClockSystem(platform::System* inner) : inner_(inner) {}
    uint32_t GetComputerNameA(uint32_t size, std::string* name) override {
        return inner_->GetComputerNameA(size, name);
    }
    platform::LocalTime Now() override { return now; }
    std::string ShortDayName(int day) override { return inner_->ShortDayName(day); }
    std::string ShortMonthName(int month) override { return inner_->ShortMonthName(month); }
    std::string TimeSeparator() override { return inner_->TimeSeparator(); }
    std::string ModulePath() override {
        return modulePath.empty() ? inner_->ModulePath() : modulePath;
    }
    bool SameTextIgnoreCase(const std::string& a, const std::string& b) override {
        return inner_->SameTextIgnoreCase(a, b);
    }

    platform::LocalTime now{2024, 3, 10, 0, 12, 0, 0, 0};
    std::string modulePath;

  private:
    platform::System* inner_;
};

class ScriptedFiles : public platform::Files {
  public:
    explicit ScriptedFiles(platform::Files* inner) : inner_(inner) {}
    uint32_t ReadWholeFile(const std::string& path, std::string* contents) override {
        if (locked.count(path)) {
            return 32;  // ERROR_SHARING_VIOLATION: there, but held by another program
        }
        return inner_->ReadWholeFile(path, contents);
    }
    uint32_t FindFirst(const std::string& path, bool* isDirectory) override {
        if (locked.count(path)) {
            *isDirectory = false;
            return 0;
        }
        return inner_->FindFirst(path, isDirectory);
    }
    uint32_t CopyFileA(const std::string& existing, const std::string& target,
                       bool failIfExists) override {
        return inner_->CopyFileA(existing, target, failIfExists);
    }
    uint32_t GetFileAttributesA(const std::string& path) override {
        return inner_->GetFileAttributesA(path);
    }
    uint32_t CreateDirectoryA(const std::string& path) override {
        return inner_->CreateDirectoryA(path);
    }
    uint32_t GetLastWriteTime(const std::string& path, platform::FileTime* time) override {
        const auto found = writeTimes.find(path);
        if (found != writeTimes.end()) {
            *time = found->second;
            return 0;
        }
        return inner_->GetLastWriteTime(path, time);
    }

    std::set<std::string> locked;                          // exist, cannot be opened
    std::map<std::string, platform::FileTime> writeTimes;  // modification times to report

  private:
    platform::Files* inner_;
};

}  // namespace testsupport
