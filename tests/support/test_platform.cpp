#include "support/test_platform.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace testsupport {

void PlatformTest::SetUp() {
    platform_ = CreateTestPlatform();
    Install(platform_->services());
    scratch_ = platform_->ScratchDir();
    ResetModuleState();
}

void PlatformTest::TearDown() {
    ResetModuleState();
    installed_.reset();
    platform_.reset();
}

void PlatformTest::Install(const platform::Services& services) {
    installed_.reset();
    installed_.emplace(services);
}

void PlatformTest::WriteFile(const std::string& windowsPath, const std::string& bytes) {
    const std::filesystem::path host(platform_->HostPath(windowsPath));
    std::filesystem::create_directories(host.parent_path());
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << host;
}

std::string PlatformTest::ReadFile(const std::string& windowsPath) {
    std::ifstream in(std::filesystem::path(platform_->HostPath(windowsPath)), std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

bool PlatformTest::Exists(const std::string& windowsPath) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::path(platform_->HostPath(windowsPath)), ec);
}

void PlatformTest::MakeDir(const std::string& windowsPath) {
    std::filesystem::create_directories(std::filesystem::path(platform_->HostPath(windowsPath)));
}

}  // namespace testsupport
