#include <windows.h>

#include <atomic>
#include <filesystem>

#include "support/test_platform.h"
#include "support/win32/windows_on_screen.h"

namespace testsupport {

namespace {

class Win32TestPlatform : public TestPlatform {
  public:
    Win32TestPlatform() : platform_(platform::CreateNativePlatform()) {}
    ~Win32TestPlatform() override {
        std::error_code ec;
        for (const auto& dir : made_) {
            std::filesystem::remove_all(dir, ec);
        }
    }
    platform::Services services() override { return platform_->services(); }
    std::string ScratchDir() override {
        static std::atomic<int> counter{0};
        char temp[MAX_PATH + 1] = {};
        ::GetTempPathA(MAX_PATH, temp);
        std::string path = std::string(temp) + "tarnwick-test-" +
                           std::to_string(::GetCurrentProcessId()) + "-" +
                           std::to_string(counter++);
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
        std::filesystem::create_directories(path);
        made_.push_back(path);
        return path;
    }
    std::string HostPath(const std::string& windowsPath) override { return windowsPath; }
    bool IsStandin() const override { return false; }
    bool IsWine() const override { return UnderWine(); }

  private:
    std::unique_ptr<platform::NativePlatform> platform_;
    std::vector<std::string> made_;
};

}  // namespace

std::unique_ptr<TestPlatform> CreateTestPlatform() {
    return std::make_unique<Win32TestPlatform>();
}

}  // namespace testsupport
