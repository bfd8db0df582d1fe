// The platform a test runs against: the stand-in workstation in a fresh
// temporary state directory on Linux, the real Windows calls under Wine.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "logon/context.h"
#include "platform/platform.h"
#include "support/fake_services.h"
#include "support/fake_toolkit.h"

namespace testsupport {

class TestPlatform {
  public:
    virtual ~TestPlatform() = default;
    virtual platform::Services services() = 0;
    // A fresh empty directory, as a Windows path without a trailing "\".
    virtual std::string ScratchDir() = 0;
    // Where a Windows path lies on the machine the test runs on.
    virtual std::string HostPath(const std::string& windowsPath) = 0;
    virtual bool IsStandin() const = 0;
    // True under Wine, which is not yet Windows in every detail: a test may
    // pin what Wine does where it differs.
    virtual bool IsWine() const = 0;
};

std::unique_ptr<TestPlatform> CreateTestPlatform();

// A name of this test run, the same for all its tests: what a run leaves in
// the real registry under Wine never meets another run's.
std::string RunId();

// A test with this build's platform installed, a scratch directory, and a
// logon context of its own on that platform, fresh for every test.
class PlatformTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Scratch directory (Windows path) and helpers to lay out files in it.
    const std::string& Scratch() const { return scratch_; }
    std::string At(const std::string& relative) const { return scratch_ + "\\" + relative; }
    void WriteFile(const std::string& windowsPath, const std::string& bytes);
    std::string ReadFile(const std::string& windowsPath);
    bool Exists(const std::string& windowsPath);
    void MakeDir(const std::string& windowsPath);
    bool IsStandin() const { return platform_->IsStandin(); }
    bool IsWine() const { return platform_->IsWine(); }
    // A key of this test's own below HKEY_CURRENT_USER:
    // Software\TarnwickTest\<run>\<test>.
    static std::string TestKey();
    TestPlatform& testPlatform() { return *platform_; }
    // Installs `services` in place of the test platform's own until the test
    // ends (a fake or an override of some of them); the logon context runs
    // on them from now on.
    void Install(const platform::Services& services);
    // The logon of this test: every setting at its default, nothing learned,
    // no list and no registry object yet.
    logon::LogonContext& context() { return *context_; }
    // The services the context runs on now.
    const platform::Services& services() const { return context_->services; }
    // The messages the context's ErrorList holds now.
    std::vector<std::string> Errors() const { return context_->Errors(); }

  private:
    std::unique_ptr<TestPlatform> platform_;
    std::optional<platform::ScopedServices> installed_;
    std::unique_ptr<logon::LogonContext> context_;
    std::string scratch_;
};

// A PlatformTest with the fakes in place of this build's system, network,
// files and toolkit. The first three forward to the real services until the
// test pins something; the toolkit is all fake.
class FakeServicesTest : public PlatformTest {
  protected:
    void SetUp() override;

    FakeSystem& system() { return *system_; }
    FakeNetwork& network() { return *network_; }
    FakeFiles& files() { return *files_; }
    FakeToolkit& toolkit() { return toolkit_; }
    // Where the toolkit's log first holds `entry` (its size when nowhere),
    // and whether it holds it.
    size_t IndexOf(const std::string& entry) const;
    bool Logged(const std::string& entry) const { return IndexOf(entry) < toolkit_.log.size(); }

  private:
    std::unique_ptr<FakeSystem> system_;
    std::unique_ptr<FakeNetwork> network_;
    std::unique_ptr<FakeFiles> files_;
    FakeToolkit toolkit_;
};

}  // namespace testsupport
