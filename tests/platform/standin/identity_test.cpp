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
    // Fifteen characters, not bytes, in the case Windows compares names in.
    EXPECT_EQ(ComputerNameFromHostName("\xC5\x82\xC3\xB3"
                                       "d\xC5\xBA-stacja-robocza.pl"),
              "\xC5\x81\xC3\x93"
              "D\xC5\xB9-STACJA-ROB");  // ŁÓDŹ-STACJA-ROB
    EXPECT_EQ(ComputerNameFromHostName(std::string(20, '\xE6')), std::string(15, '\xE6'));
}

// The file is UTF-8 when it is valid UTF-8 (with or without a mark), and
// Windows-1252 when not, as an older editor may have saved it.
TEST_F(StandinIdentityTest, FileIsReadAsUtf8OrElseAsWindows1252) {
    const struct {
        const char* file;
        const char* user;
    } cases[] = {
        {"User=\xC5\x81ukasz\n", "\xC5\x81ukasz"},                       // Łukasz
        {"\xEF\xBB\xBFUser=\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7\n",  // Ελένη, marked
         "\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7"},
        {"User=Jos\xE9\n", "Jos\xC3\xA9"},                                // José in 1252
        {"User=\xE6\x9D\xB1\xE4\xBA\xAC\n", "\xE6\x9D\xB1\xE4\xBA\xAC"},  // 東京
    };
    for (const auto& c : cases) {
        WriteIdentity(c.file);
        EXPECT_EQ(ReadIdentity(root_).user, c.user) << c.file;
    }
}

// CodePage= gives the workstation's ANSI code page: the one text files
// without a mark that are not UTF-8 are read in.
TEST_F(StandinIdentityTest, CodePageSaysHowAnsiTextReads) {
    const struct {
        const char* file;
        unsigned codePage;
        std::string ansi;
        const char* utf8;
        bool warned;
    } cases[] = {
        {"", 1252, "\xA3\x80\x81", "\xC2\xA3\xE2\x82\xAC\xC2\x81", false},  // £€ and U+0081
        {"CodePage=1250\n", 1250, "\xA3ukasz", "\xC5\x81ukasz", false},     // Łukasz
        {"codepage = 1251\n", 1251, "\xC6\xE5\xED\xFF", "\xD0\x96\xD0\xB5\xD0\xBD\xD1\x8F",
         false},                                                                         // Женя
        {"CodePage=932\n", 932, "\x93\x8C\x8B\x9E", "\xE6\x9D\xB1\xE4\xBA\xAC", false},  // 東京
        // A lead byte before a byte that cannot follow it, and one cut short.
        {"CodePage=932\n", 932, "a\x93 b\x93", "a\xEF\xBF\xBD b\xEF\xBF\xBD", false},
        {"CodePage=65999\n", 1252, "\xE9", "\xC3\xA9", true},
        {"CodePage=Latin2\n", 1252, "\xE9", "\xC3\xA9", true},
        {"CodePage=-1250\n", 1252, "\xE9", "\xC3\xA9", true},
        {"CodePage=\n", 1252, "\xE9", "\xC3\xA9", true},
    };
    for (const auto& c : cases) {
        WriteIdentity(c.file);
        testing::internal::CaptureStderr();
        EXPECT_EQ(ReadIdentity(root_).codePage, c.codePage) << c.file;
        const std::string warnings = testing::internal::GetCapturedStderr();
        EXPECT_EQ(warnings.find("is not a code page") != std::string::npos, c.warned) << c.file;
        EXPECT_EQ(scratch_.services().files().Utf8FromAnsi(c.ansi), c.utf8) << c.file;
    }
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

// The buffer counts UTF-16 code units, as the W calls do: Łukasz takes six,
// a character beyond U+FFFF two.
TEST_F(StandinIdentityTest, BufferSizesCountUtf16CodeUnitsNotBytes) {
    WriteIdentity("User=\xC5\x81ukasz\nMachine=\xE6\x9D\xB1\xF0\x9F\x98\x80\n");  // 東😀
    std::string user, machine;
    EXPECT_EQ(GetUser(&user, 7), kErrorSuccess);
    EXPECT_EQ(user, "\xC5\x81ukasz");
    EXPECT_EQ(GetUser(&user, 6), kErrorMoreData);
    EXPECT_EQ(GetComputerName(&machine, 4), kErrorSuccess);
    EXPECT_EQ(machine, "\xE6\x9D\xB1\xF0\x9F\x98\x80");
    EXPECT_EQ(GetComputerName(&machine, 3), kErrorBufferOverflow);
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
