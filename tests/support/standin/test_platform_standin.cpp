#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>

#include "platform/standin/standin_platform.h"
#include "support/test_platform.h"

namespace testsupport {

namespace {

class StandinTestPlatform : public TestPlatform {
public:
    StandinTestPlatform() {
        char pattern[] = "/tmp/tarnwick-test-XXXXXX";
        root_ = mkdtemp(pattern);
        platform_ = std::make_unique<platform::standin::StandinPlatform>(root_ / "state");
    }
    ~StandinTestPlatform() override {
        platform_.reset();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    platform::Services services() override { return platform_->services(); }
    std::string ScratchDir() override {
        static std::atomic<int> counter{0};
        const std::string path = "C:\\scratch" + std::to_string(counter++);
        std::filesystem::create_directories(HostPath(path));
        return path;
    }
    std::string HostPath(const std::string& windowsPath) override {
        const auto host = platform_->context().paths.Resolve(windowsPath);
        return host ? host->string() : std::string();
    }
    bool IsStandin() const override { return true; }

private:
    std::filesystem::path root_;
    std::unique_ptr<platform::standin::StandinPlatform> platform_;
};

}  // namespace

std::unique_ptr<TestPlatform> CreateTestPlatform() {
    return std::make_unique<StandinTestPlatform>();
}

}  // namespace testsupport
