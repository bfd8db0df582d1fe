// Services that refuse every call with ERROR_ACCESS_DENIED: what the
// system meets where no platform is installed, and what a tool that must
// not change anything (the checker) installs for the services it does not
// need. The refusing system has no clock, no names and no program path.
#pragma once
#include "platform/eventlog.h"
#include "platform/files.h"
#include "platform/network.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/toolkit.h"

namespace platform {

class RefusingRegistry : public Registry {
  public:
    uint32_t CreateKey(RegKey base, const std::string& subKey, RegKey* result) override;
    uint32_t OpenKey(RegKey base, const std::string& subKey, RegKey* result) override;
    uint32_t SetValue(RegKey key, const std::string& name, uint32_t type, const uint8_t* data,
                      uint32_t size) override;
    uint32_t QueryValue(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                        uint32_t* size) override;
    uint32_t DeleteValue(RegKey key, const std::string& name) override;
    uint32_t CloseKey(RegKey key) override;
    uint32_t LoadKey(const std::string& subKey, const std::string& file) override;
    uint32_t EnumKey(RegKey key, uint32_t index, std::string* name) override;
    uint32_t EnumValue(RegKey key, uint32_t index, std::string* name) override;
};

class RefusingNetwork : public Network {
  public:
    uint32_t GetUser(const std::string& localName, uint32_t bufferSize, std::string* user) override;
    uint32_t CancelConnection(const std::string& name, uint32_t flags, bool force) override;
    uint32_t AddConnection(const NetResource& resource, uint32_t flags) override;
};

class RefusingSystem : public System {
  public:
    uint32_t GetComputerNameA(uint32_t bufferSize, std::string* name) override;
    LocalTime Now() override;
    std::string ShortDayName(int dayOfWeek) override;
    std::string ShortMonthName(int month) override;
    std::string TimeSeparator() override;
    std::string ModulePath() override;
    // Letters A to Z and a to z compared ignoring case, every other byte exactly.
    bool SameTextIgnoreCase(const std::string& a, const std::string& b) override;
};

class RefusingFiles : public Files {
  public:
    uint32_t ReadWholeFile(const std::string& path, std::string* contents) override;
    uint32_t FindFirst(const std::string& path, bool* isDirectory) override;
    uint32_t CopyFileA(const std::string& existing, const std::string& target,
                       bool failIfExists) override;
    uint32_t GetFileAttributesA(const std::string& path) override;
    uint32_t CreateDirectoryA(const std::string& path) override;
    uint32_t GetLastWriteTime(const std::string& path, FileTime* time) override;
};

class RefusingProfile : public Profile {
  public:
    uint32_t WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                        const std::string& value, const std::string& file) override;
};

class RefusingToolkit : public Toolkit {
  public:
    uint32_t SetApplicationTitle(const std::string& title) override;
    uint32_t CreateMainWindow(const WindowSpec& spec, WindowEvents* events,
                              std::unique_ptr<Window>* window) override;
    uint32_t RunEventLoop() override;
    uint32_t ShowMessageBox(const std::string& caption, const std::string& text) override;
};

class RefusingEventLog : public EventLog {
  public:
    uint32_t ReportEventA(const std::string& source, uint16_t type, uint32_t eventId,
                          const std::string& text) override;
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
