// Services that refuse every call with ERROR_ACCESS_DENIED: what the
// system meets where no platform is installed, and what a tool that must
// not change anything (the checker) installs for the services it does not
// need. The refusing system has no clock, no names and no program path.
#pragma once
#include "platform/errors.h"
#include "platform/eventlog.h"
#include "platform/files.h"
#include "platform/network.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/toolkit.h"

namespace platform {

// What every refused call returns.
inline constexpr uint32_t kRefusedCall = kErrorAccessDenied;

class RefusingRegistry : public Registry {
  public:
    Win32Error CreateKey(RegKey, const std::string&, RegKey*) override { return kRefusedCall; }
    Win32Error OpenKey(RegKey, const std::string&, RegKey*) override { return kRefusedCall; }
    Win32Error SetValue(RegKey, const std::string&, uint32_t, const uint8_t*, uint32_t) override {
        return kRefusedCall;
    }
    Win32Error QueryValue(RegKey, const std::string&, uint32_t*, uint8_t*, uint32_t*) override {
        return kRefusedCall;
    }
    Win32Error DeleteValue(RegKey, const std::string&) override { return kRefusedCall; }
    Win32Error CloseKey(RegKey) override { return kRefusedCall; }
    Win32Error LoadKey(const std::string&, const std::string&) override { return kRefusedCall; }
    Win32Error EnumKey(RegKey, uint32_t, std::string*) override { return kRefusedCall; }
    Win32Error EnumValue(RegKey, uint32_t, std::string*) override { return kRefusedCall; }
};

class RefusingNetwork : public Network {
  public:
    Win32Error GetUser(const std::string&, uint32_t, std::string*) override { return kRefusedCall; }
    Win32Error CancelConnection(const std::string&, uint32_t, bool) override {
        return kRefusedCall;
    }
    Win32Error AddConnection(const NetResource&, uint32_t) override { return kRefusedCall; }
};

class RefusingSystem : public System {
  public:
    Win32Error GetComputerNameW(uint32_t, std::string*) override { return kRefusedCall; }
    LocalTime Now() override { return {}; }
    std::string ShortDayName(int) override { return {}; }
    std::string ShortMonthName(int) override { return {}; }
    std::string TimeSeparator() override { return ":"; }
    std::string ModulePath() override { return {}; }
    // Letters A to Z and a to z compared ignoring case, every other byte exactly.
    bool SameTextIgnoreCase(const std::string& a, const std::string& b) override;
};

class RefusingFiles : public Files {
  public:
    Win32Error ReadWholeFile(const std::string&, std::string*) override { return kRefusedCall; }
    Win32Error FindFirst(const std::string&, bool*) override { return kRefusedCall; }
    Win32Error CopyFileW(const std::string&, const std::string&, bool) override {
        return kRefusedCall;
    }
    uint32_t GetFileAttributesW(const std::string&) override { return kInvalidFileAttributes; }
    Win32Error CreateDirectoryW(const std::string&) override { return kRefusedCall; }
    Win32Error GetLastWriteTime(const std::string&, FileTime*) override { return kRefusedCall; }
};

class RefusingProfile : public Profile {
  public:
    Win32Error WritePrivateProfileStringW(const std::string&, const std::string&,
                                          const std::string&, const std::string&) override {
        return kRefusedCall;
    }
};

class RefusingToolkit : public Toolkit {
  public:
    Win32Error SetApplicationTitle(const std::string&) override { return kRefusedCall; }
    Win32Error CreateMainWindow(const WindowSpec&, WindowEvents*,
                                std::unique_ptr<Window>*) override {
        return kRefusedCall;
    }
    Win32Error RunEventLoop() override { return kRefusedCall; }
    Win32Error ShowMessageBox(const std::string&, const std::string&) override {
        return kRefusedCall;
    }
};

class RefusingEventLog : public EventLog {
  public:
    Win32Error ReportEventW(const std::string&, uint16_t, uint32_t, const std::string&) override {
        return kRefusedCall;
    }
};

// One refusing object of each service, for the whole process.
struct RefusingServices {
    RefusingRegistry registry;
    RefusingNetwork network;
    RefusingSystem system;
    RefusingFiles files;
    RefusingProfile profile;
    RefusingToolkit toolkit;
    RefusingEventLog eventLog;

    static RefusingServices& Instance();
};

}  // namespace platform
