#include "platform/standin/identity.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <fstream>

#include "platform/errors.h"
#include "support/standin/scratch_standin.h"

namespace {

namespace fs = std::filesystem;
using namespace platform;
using namespace platform::standin;

class StandinIdentityTest : public ::testing::Test {
  protected:
    void WriteIdentity(const std::string& text) { scratch_.Write("identity.ini", text); }
    platform::Win32Error GetUser(std::string* user, uint32_t size = 100) {
        return scratch_.services().network().GetUser("C:", size, user);
    }
    platform::Win32Error GetComputerName(std::string* name, uint32_t size = 100) {
        return scratch_.services().system().GetComputerNameW(size, name);
    }

    testsupport::ScratchStandin scratch_{"identity"};
    const fs::path& root_ = scratch_.dir();
};

TEST_F(StandinIdentityTest, WithoutAFileTheMachinesOwnNames) {
    const Identity identity = ReadIdentity(root_);
    EXPECT_EQ(identity.user, getpwuid(geteuid())->pw_name);
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    EXPECT_EQ(identity.machine, ComputerNameFromHostName(host));
    EXPECT_EQ(identity.userError, 0u);
    EXPECT_EQ(identity.machineError, 0u);
}

TEST_F(StandinIdentityTest, ComputerNameIsTheFirstLabelUpperCasedToFifteen) {
    EXPECT_EQ(ComputerNameFromHostName("build-host.example.com"), "BUILD-HOST");
    EXPECT_EQ(ComputerNameFromHostName("averyverylonghostname"), "AVERYVERYLONGHO");
    EXPECT_EQ(ComputerNameFromHostName("ws01"), "WS01");
}

TEST_F(StandinIdentityTest, FileOverridesWithIniConventions) {
    WriteIdentity(
        "\xEF\xBB\xBF[identity]\r\n; a comment\r\n  user = jsmith \r\nMACHINE=Ws01\r\n"
        "UserError=\r\n");
    const Identity identity = ReadIdentity(root_);
    EXPECT_EQ(identity.user, "jsmith");
    EXPECT_EQ(identity.machine, "Ws01");  // as written: the file says what Windows would give
    EXPECT_EQ(identity.userError, 0u);    // an empty code is ignored

    std::string user, machine;
    EXPECT_EQ(GetUser(&user), kErrorSuccess);
    EXPECT_EQ(user, "jsmith");
    EXPECT_EQ(GetComputerName(&machine), kErrorSuccess);
    EXPECT_EQ(machine, "Ws01");
}

TEST_F(StandinIdentityTest, ErrorCodesMakeTheQueriesFail) {
    WriteIdentity("User=jsmith\nUserError=1222\nMachineError=5\n");
    std::string user = "untouched", machine = "untouched";
    EXPECT_EQ(GetUser(&user), 1222u);
    EXPECT_EQ(GetComputerName(&machine), 5u);
    EXPECT_EQ(user, "untouched");
    EXPECT_EQ(machine, "untouched");

    // The file is read anew on each query.
    WriteIdentity("User=jsmith\nUserError=oops\nMachineError=-3\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(GetUser(&user), kErrorSuccess);
    EXPECT_EQ(GetComputerName(&machine), kErrorSuccess);
    const std::string warnings = testing::internal::GetCapturedStderr();
    EXPECT_NE(warnings.find("UserError=oops is not an error code"), std::string::npos);
    EXPECT_NE(warnings.find("MachineError=-3 is not an error code"), std::string::npos);
}

TEST_F(StandinIdentityTest, NamesMustFitTheBufferWithTheirNul) {
    WriteIdentity("User=" + std::string(99, 'u') + "\nMachine=" + std::string(99, 'M') + "\n");
    std::string user, machine;
    EXPECT_EQ(GetUser(&user), kErrorSuccess);
    EXPECT_EQ(user.size(), 99u);
    EXPECT_EQ(GetComputerName(&machine), kErrorSuccess);
    EXPECT_EQ(machine.size(), 99u);

    WriteIdentity("User=" + std::string(100, 'u') + "\nMachine=" + std::string(100, 'M') + "\n");
    EXPECT_EQ(GetUser(&user), kErrorMoreData);
    EXPECT_EQ(GetComputerName(&machine), kErrorBufferOverflow);
}

TEST_F(StandinIdentityTest, AnEmptyUserNameIsASuccess) {
    WriteIdentity("User=\n");
    std::string user = "untouched";
    EXPECT_EQ(GetUser(&user), kErrorSuccess);
    EXPECT_EQ(user, "");
}

// Rights=Standard is the default; another name is told and ignored.
TEST_F(StandinIdentityTest, RightsAreStandardUnlessTheFileSaysAdministrator) {
    const struct {
        const char* file;
        Rights rights;
        bool warned;
    } cases[] = {
        {"User=jsmith\n", Rights::kStandard, false},
        {"Rights=Administrator\n", Rights::kAdministrator, false},
        {" rights = administrator \r\n", Rights::kAdministrator, false},
        {"Rights=Standard\n", Rights::kStandard, false},
        {"Rights=root\n", Rights::kStandard, true},
    };
    for (const auto& c : cases) {
        WriteIdentity(c.file);
        testing::internal::CaptureStderr();
        EXPECT_EQ(ReadIdentity(root_).rights, c.rights) << c.file;
        EXPECT_EQ(scratch_.services().system().ProcessRights(), c.rights) << c.file;
        const std::string warnings = testing::internal::GetCapturedStderr();
        EXPECT_EQ(warnings.find("neither Standard nor Administrator") != std::string::npos,
                  c.warned)
            << c.file;
    }
}

}  // namespace
