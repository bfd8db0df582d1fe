#include "platform/refusing.h"

#include "platform/errors.h"

namespace platform {

namespace {
constexpr uint32_t kRefused = kErrorAccessDenied;

char FoldAZ(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
}  // namespace

RefusingServices& RefusingServices::Instance() {
    static RefusingServices services;
    return services;
}

uint32_t RefusingRegistry::CreateKey(RegKey, const std::string&, RegKey*) {
    return kRefused;
}
uint32_t RefusingRegistry::OpenKey(RegKey, const std::string&, RegKey*) {
    return kRefused;
}
uint32_t RefusingRegistry::SetValue(RegKey, const std::string&, uint32_t, const uint8_t*,
                                    uint32_t) {
    return kRefused;
}
uint32_t RefusingRegistry::QueryValue(RegKey, const std::string&, uint32_t*, uint8_t*, uint32_t*) {
    return kRefused;
}
uint32_t RefusingRegistry::DeleteValue(RegKey, const std::string&) {
    return kRefused;
}
uint32_t RefusingRegistry::CloseKey(RegKey) {
    return kRefused;
}
uint32_t RefusingRegistry::LoadKey(const std::string&, const std::string&) {
    return kRefused;
}
uint32_t RefusingRegistry::EnumKey(RegKey, uint32_t, std::string*) {
    return kRefused;
}
uint32_t RefusingRegistry::EnumValue(RegKey, uint32_t, std::string*) {
    return kRefused;
}

uint32_t RefusingNetwork::GetUser(const std::string&, uint32_t, std::string*) {
    return kRefused;
}
uint32_t RefusingNetwork::CancelConnection(const std::string&, uint32_t, bool) {
    return kRefused;
}
uint32_t RefusingNetwork::AddConnection(const NetResource&, uint32_t) {
    return kRefused;
}

uint32_t RefusingSystem::GetComputerNameA(uint32_t, std::string*) {
    return kRefused;
}
LocalTime RefusingSystem::Now() {
    return {};
}
std::string RefusingSystem::ShortDayName(int) {
    return {};
}
std::string RefusingSystem::ShortMonthName(int) {
    return {};
}
std::string RefusingSystem::TimeSeparator() {
    return ":";
}
std::string RefusingSystem::ModulePath() {
    return {};
}
bool RefusingSystem::SameTextIgnoreCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAZ(a[i]) != FoldAZ(b[i])) {
            return false;
        }
    }
    return true;
}

uint32_t RefusingFiles::ReadWholeFile(const std::string&, std::string*) {
    return kRefused;
}
uint32_t RefusingFiles::FindFirst(const std::string&, bool*) {
    return kRefused;
}
uint32_t RefusingFiles::CopyFileA(const std::string&, const std::string&, bool) {
    return kRefused;
}
uint32_t RefusingFiles::GetFileAttributesA(const std::string&) {
    return kInvalidFileAttributes;
}
uint32_t RefusingFiles::CreateDirectoryA(const std::string&) {
    return kRefused;
}
uint32_t RefusingFiles::GetLastWriteTime(const std::string&, FileTime*) {
    return kRefused;
}

uint32_t RefusingProfile::WritePrivateProfileStringA(const std::string&, const std::string&,
                                                     const std::string&, const std::string&) {
    return kRefused;
}

uint32_t RefusingToolkit::SetApplicationTitle(const std::string&) {
    return kRefused;
}
uint32_t RefusingToolkit::CreateMainWindow(const WindowSpec&, WindowEvents*,
                                           std::unique_ptr<Window>*) {
    return kRefused;
}
uint32_t RefusingToolkit::RunEventLoop() {
    return kRefused;
}
uint32_t RefusingToolkit::ShowMessageBox(const std::string&, const std::string&) {
    return kRefused;
}

uint32_t RefusingEventLog::ReportEventA(const std::string&, uint16_t, uint32_t,
                                        const std::string&) {
    return kRefused;
}

}  // namespace platform
