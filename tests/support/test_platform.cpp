#include "support/test_platform.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace testsupport {

std::string RunId() {
    static const std::string id = [] {
        std::random_device device;
        std::ostringstream text;
        text << std::hex << device() << device();
        return text.str();
    }();
    return id;
}

std::string PlatformTest::TestKey() {
    return "Software\\TarnwickTest\\" + RunId() + "\\" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

void PlatformTest::SetUp() {
    platform_ = CreateTestPlatform();
    context_ = std::make_unique<logon::LogonContext>(platform_->services());
    Install(platform_->services());
    scratch_ = platform_->ScratchDir();
}

void PlatformTest::TearDown() {
    context_.reset();
    installed_.reset();
    platform_.reset();
}

void PlatformTest::Install(const platform::Services& services) {
    installed_.reset();
    installed_.emplace(services);
    context_->services = services;
}

void PlatformTest::WriteFile(const std::string& windowsPath, const std::string& bytes) {
    const std::filesystem::path host = std::filesystem::u8path(platform_->HostPath(windowsPath));
    std::filesystem::create_directories(host.parent_path());
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << host;
}

std::string PlatformTest::ReadFile(const std::string& windowsPath) {
    std::ifstream in(std::filesystem::u8path(platform_->HostPath(windowsPath)), std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

bool PlatformTest::Exists(const std::string& windowsPath) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::u8path(platform_->HostPath(windowsPath)), ec);
}

void PlatformTest::MakeDir(const std::string& windowsPath) {
    std::filesystem::create_directories(std::filesystem::u8path(platform_->HostPath(windowsPath)));
}

size_t FakeServicesTest::IndexOf(const std::string& entry) const {
    const auto& log = toolkit_.log;
    return static_cast<size_t>(std::find(log.begin(), log.end(), entry) - log.begin());
}

void FakeServicesTest::SetUp() {
    PlatformTest::SetUp();
    const platform::Services real = testPlatform().services();
    system_ = std::make_unique<FakeSystem>(real.system());
    network_ = std::make_unique<FakeNetwork>(real.network());
    files_ = std::make_unique<FakeFiles>(real.files());
    Install(real.With(*system_).With(*network_).With(*files_).With(toolkit_));
}

}  // namespace testsupport
