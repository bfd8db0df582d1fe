#include <atomic>
#include <filesystem>

#include "support/standin/scratch_standin.h"
#include "support/test_platform.h"

namespace testsupport {

namespace {

class StandinTestPlatform : public TestPlatform {
  public:
    platform::Services services() override { return scratch_.services(); }
    std::string ScratchDir() override {
        static std::atomic<int> counter{0};
        const std::string path = "C:\\scratch" + std::to_string(counter++);
        std::filesystem::create_directories(HostPath(path));
        return path;
    }
    std::string HostPath(const std::string& windowsPath) override {
        const auto host = scratch_.platform().context().paths.Resolve(windowsPath);
        return host ? host->string() : std::string();
    }
    bool IsStandin() const override { return true; }
    bool IsWine() const override { return false; }

  private:
    ScratchStandin scratch_{"test"};
};

}  // namespace

std::unique_ptr<TestPlatform> CreateTestPlatform() {
    return std::make_unique<StandinTestPlatform>();
}

}  // namespace testsupport
