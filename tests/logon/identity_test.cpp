#include "logon/identity.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/error_list.h"
#include "core/exceptions.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/network.h"
#include "platform/system.h"
#include "support/test_platform.h"

namespace {

using namespace logon;

using testsupport::Errors;

using IdentityTest = testsupport::PlatformTest;

// A network that answers the user name query with what it is given.
class FakeNetwork : public platform::Network {
  public:
    uint32_t GetUser(const std::string& localName, uint32_t bufferSize,
                     std::string* user) override {
        ++calls;
        asked = localName + "/" + std::to_string(bufferSize);
        if (result == 0) {
            *user = name;
        }
        return result;
    }
    uint32_t CancelConnection(const std::string&, uint32_t, bool) override { return 0; }
    uint32_t AddConnection(const platform::NetResource&, uint32_t) override { return 0; }
    std::string name = "jsmith";
    uint32_t result = 0;
    int calls = 0;
    std::string asked;
};

// A system with a fixed clock and locale; name comparison is the real one.
class FakeSystem : public platform::System {
  public:
    explicit FakeSystem(platform::System& real) : real_(real) {}
    uint32_t GetComputerNameA(uint32_t bufferSize, std::string* out) override {
        ++calls;
        asked = bufferSize;
        if (result == 0) {
            *out = name;
        }
        return result;
    }
    platform::LocalTime Now() override { return now; }
    std::string ShortDayName(int d) override { return days[d]; }
    std::string ShortMonthName(int m) override { return months[m - 1]; }
    std::string TimeSeparator() override { return separator; }
    std::string ModulePath() override { return real_.ModulePath(); }
    bool SameTextIgnoreCase(const std::string& a, const std::string& b) override {
        return real_.SameTextIgnoreCase(a, b);
    }

    std::string name = "WS01";
    uint32_t result = 0;
    int calls = 0;
    uint32_t asked = 0;
    platform::LocalTime now;
    std::vector<std::string> days = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::vector<std::string> months = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string separator = ":";

  private:
    platform::System& real_;
};

class IdentityFakeTest : public IdentityTest {
  protected:
    void SetUp() override {
        IdentityTest::SetUp();
        system_ = std::make_unique<FakeSystem>(testPlatform().services().system());
        services_ = testPlatform().services();
        services_ = services_.With(network_);
        services_ = services_.With(*system_);
        Install(services_);
    }
    void At(int year, int month, int day, int dayOfWeek, int hour, int minute) {
        system_->now.year = year;
        system_->now.month = month;
        system_->now.day = day;
        system_->now.dayOfWeek = dayOfWeek;
        system_->now.hour = hour;
        system_->now.minute = minute;
    }
    using IdentityTest::At;

    FakeNetwork network_;
    std::unique_ptr<FakeSystem> system_;
    platform::Services services_;
};

TEST_F(IdentityFakeTest, UserAndMachineAreLearnedOnceAndKept) {
    EXPECT_EQ(CurrentUserName(), "jsmith");
    EXPECT_EQ(network_.asked, "C:/100");
    EXPECT_EQ(CurrentMachineName(), "WS01");
    EXPECT_EQ(system_->asked, 100u);
    network_.name = "other";
    system_->name = "OTHER";
    EXPECT_EQ(CurrentUserName(), "jsmith");
    EXPECT_EQ(CurrentMachineName(), "WS01");
    EXPECT_EQ(network_.calls, 1);
    EXPECT_EQ(system_->calls, 1);
    EXPECT_EQ(UserName, "jsmith");
    EXPECT_EQ(MachineName, "WS01");
    EXPECT_EQ(Errors(), std::vector<std::string>{});
}

TEST_F(IdentityFakeTest, FailuresAreReportedOnceAndKeptAsError) {
    network_.result = platform::kErrorNoNetwork;
    system_->result = platform::kErrorBufferOverflow;
    EXPECT_EQ(CurrentUserName(), "_Error");
    EXPECT_EQ(CurrentMachineName(), "_Error");
    network_.result = 0;
    system_->result = 0;
    EXPECT_EQ(CurrentUserName(), "_Error");
    EXPECT_EQ(CurrentMachineName(), "_Error");
    EXPECT_EQ(network_.calls, 1);
    EXPECT_EQ(system_->calls, 1);
    EXPECT_EQ(Errors(), (std::vector<std::string>{"Error 1222 getting user name",
                                                  "Error 111 getting computer name"}));
}

TEST_F(IdentityFakeTest, AnEmptyNameIsAskedForAgain) {
    network_.name = "";
    system_->name = "";
    EXPECT_EQ(CurrentUserName(), "");
    EXPECT_EQ(CurrentMachineName(), "");
    LoadFullNameList(IdentityTest::At("NONE.DAT"));
    EXPECT_EQ(CurrentFullName(), "");  // asks for the user name once more
    EXPECT_EQ(network_.calls, 2);
    network_.name = "late";
    system_->name = "LATE";
    EXPECT_EQ(CurrentUserName(), "late");
    EXPECT_EQ(CurrentMachineName(), "LATE");
    EXPECT_EQ(network_.calls, 3);
    EXPECT_EQ(system_->calls, 2);
    EXPECT_EQ(Errors(), std::vector<std::string>{});
}

TEST_F(IdentityFakeTest, FullNameFromTheListIgnoringCase) {
    WriteFile(IdentityTest::At("USERLIST.DAT"),
              "ADMIN=Administrator\r\nJSMITH=John Smith\r\njsmith=Second\r\n_ERROR=Nobody\r\n");
    LoadFullNameList(IdentityTest::At("USERLIST.DAT"));
    EXPECT_EQ(CurrentFullName(), "John Smith");
    EXPECT_EQ(UserName, "jsmith");
    EXPECT_EQ(FullName, "John Smith");

    // A failed user name is looked up as "_Error".
    ResetIdentity();
    LoadFullNameList(IdentityTest::At("USERLIST.DAT"));
    network_.result = 5;
    EXPECT_EQ(CurrentFullName(), "Nobody");
    EXPECT_EQ(Errors(), std::vector<std::string>{"Error 5 getting user name"});
}

TEST_F(IdentityFakeTest, UserWithoutAnEntryIsLookedUpAgainEachTime) {
    WriteFile(IdentityTest::At("USERLIST.DAT"), "ADMIN=Administrator\n");
    LoadFullNameList(IdentityTest::At("USERLIST.DAT"));
    EXPECT_EQ(CurrentFullName(), "");
    FullNameList->Add("JSmith=John Smith");
    EXPECT_EQ(CurrentFullName(), "John Smith");
    FullNameList->Clear();
    EXPECT_EQ(CurrentFullName(), "John Smith");  // learned now
    EXPECT_EQ(network_.calls, 1);
}

TEST_F(IdentityFakeTest, FullNameWithoutAListIsEmpty) {
    EXPECT_EQ(CurrentFullName(), "");
    EXPECT_EQ(CurrentGroupName(), "EVERYONE");
}

TEST_F(IdentityFakeTest, FullNameListIsOptionalAndADirectoryIsNoList) {
    LoadFullNameList(IdentityTest::At("NONE.DAT"));
    ASSERT_TRUE(FullNameList);
    EXPECT_EQ(FullNameList->Count(), 0);

    MakeDir(IdentityTest::At("LISTDIR"));
    LoadFullNameList(IdentityTest::At("LISTDIR"));
    ASSERT_TRUE(FullNameList);
    EXPECT_EQ(FullNameList->Count(), 0);

    // Loading anew replaces the old list.
    WriteFile(IdentityTest::At("USERLIST.DAT"), "A=1\nB=2");
    LoadFullNameList(IdentityTest::At("USERLIST.DAT"));
    EXPECT_EQ(FullNameList->Count(), 2);
    LoadFullNameList(IdentityTest::At("NONE.DAT"));
    EXPECT_EQ(FullNameList->Count(), 0);
}

// A list file that is there but cannot be read (held open without sharing,
// say) ends the start-up: the failure is not caught here.
TEST_F(IdentityFakeTest, ListFileThatCannotBeOpenedRaises) {
    struct LockedFiles : platform::Files {
        uint32_t ReadWholeFile(const std::string&, std::string*) override {
            return platform::kErrorSharingViolation;
        }
        uint32_t FindFirst(const std::string&, bool* isDirectory) override {
            *isDirectory = false;
            return 0;
        }
        uint32_t CopyFileA(const std::string&, const std::string&, bool) override { return 5; }
        uint32_t GetFileAttributesA(const std::string&) override { return 0x20; }
        uint32_t CreateDirectoryA(const std::string&) override { return 5; }
        uint32_t GetLastWriteTime(const std::string&, platform::FileTime*) override { return 5; }
    } locked;
    services_ = services_.With(locked);
    Install(services_);
    try {
        LoadFullNameList("\\\\SRV\\LOGON\\USERLIST.DAT");
        FAIL() << "no exception";
    } catch (const core::EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file \\\\SRV\\LOGON\\USERLIST.DAT");
    }
}

TEST_F(IdentityFakeTest, DateTimeTextOnTheTwelveHourClock) {
    const struct {
        int day, dayOfWeek, hour, minute;
        const char* text;
    } cases[] = {
        {7, 1, 14, 5, "Mon, Dec 7, 2026 02:05 PM"},
        {7, 1, 0, 0, "Mon, Dec 7, 2026 12:00 AM"},  // midnight
        {7, 1, 0, 59, "Mon, Dec 7, 2026 12:59 AM"},
        {7, 1, 1, 0, "Mon, Dec 7, 2026 01:00 AM"},
        {7, 1, 11, 59, "Mon, Dec 7, 2026 11:59 AM"},
        {7, 1, 12, 0, "Mon, Dec 7, 2026 12:00 PM"},  // noon
        {7, 1, 13, 0, "Mon, Dec 7, 2026 01:00 PM"},
        {31, 4, 23, 59, "Thu, Dec 31, 2026 11:59 PM"},
    };
    for (const auto& c : cases) {
        At(2026, 12, c.day, c.dayOfWeek, c.hour, c.minute);
        EXPECT_EQ(CurrentDateTimeText(), c.text);
    }
}

TEST_F(IdentityFakeTest, DateTimeTextUsesTheLocaleAndTheClockOfEachCall) {
    system_->days[0] = "So";
    system_->months[2] = "M\xe4r";
    system_->separator = ".";
    At(2027, 3, 14, 0, 9, 30);
    EXPECT_EQ(CurrentDateTimeText(), "So, M\xe4r 14, 2027 09.30 AM");
    At(2027, 3, 14, 0, 9, 31);
    EXPECT_EQ(CurrentDateTimeText(), "So, M\xe4r 14, 2027 09.31 AM");
    EXPECT_EQ(DateTimeText, "");  // the start-up value is the caller's to keep
}

TEST(IdentityMacroValuesTest, UidAndUidlChangeAsciiLettersOnly) {
    EXPECT_EQ(UidMacroValue("jsmith"), "JSmith");
    EXPECT_EQ(UidMacroValue("JSMITH"), "JSmith");
    EXPECT_EQ(UidlMacroValue("JSMITH"), "jsmith");
    EXPECT_EQ(UidMacroValue("j"), "J");
    EXPECT_EQ(UidlMacroValue("j"), "j");
    EXPECT_EQ(UidMacroValue(""), "");
    EXPECT_EQ(UidMacroValue("_Error"), "_Error");
    EXPECT_EQ(UidlMacroValue("_Error"), "_error");
    EXPECT_EQ(UidMacroValue("\xe9MILE-D\xc9"), "\xe9Mile-d\xc9");  // accented letters stay
    EXPECT_EQ(UidlMacroValue("\xc9MILE"), "\xc9mile");
    const std::string longName = "ab" + std::string(120, 'X');
    EXPECT_EQ(UidMacroValue(longName), "AB" + std::string(99, 'x'));
    EXPECT_EQ(UidlMacroValue(longName), "ab" + std::string(120, 'x'));
}

// Against this build's platform: the stand-in's identity file, or the real
// calls under Wine.
class IdentityPlatformTest : public IdentityTest {
  protected:
    // The stand-in's state directory: drive C lies at <state>/drives/c.
    std::filesystem::path StateDir() {
        return std::filesystem::path(testPlatform().HostPath("C:\\")).parent_path().parent_path();
    }
    void WriteIdentity(const std::string& text) {
        std::ofstream(StateDir() / "identity.ini", std::ios::binary) << text;
    }
};

TEST_F(IdentityPlatformTest, RealIdentityIsLearnedWithoutErrors) {
    EXPECT_FALSE(CurrentUserName().empty());
    EXPECT_FALSE(CurrentMachineName().empty());
    EXPECT_NE(UserName, "_Error");
    EXPECT_NE(MachineName, "_Error");
    EXPECT_EQ(Errors(), std::vector<std::string>{});
}

TEST_F(IdentityPlatformTest, StandinIdentityFileEndToEnd) {
    if (!IsStandin()) {
        GTEST_SKIP() << "the identity file belongs to the stand-in";
    }
    WriteIdentity("User=JSMITH\nMachine=WS01\n");
    WriteFile(At("USERLIST.DAT"), "jsmith=John Smith\n");
    LoadFullNameList(At("USERLIST.DAT"));
    EXPECT_EQ(CurrentUserName(), "JSMITH");
    EXPECT_EQ(CurrentMachineName(), "WS01");
    EXPECT_EQ(CurrentFullName(), "John Smith");

    // Names that do not fit their 100-character buffers fail with the codes
    // Windows gives.
    ResetIdentity();
    WriteIdentity("User=" + std::string(100, 'u') + "\nMachine=" + std::string(100, 'M') + "\n");
    EXPECT_EQ(CurrentUserName(), "_Error");
    EXPECT_EQ(CurrentMachineName(), "_Error");

    ResetIdentity();
    WriteIdentity("UserError=1222\nMachineError=5\n");
    EXPECT_EQ(CurrentUserName(), "_Error");
    EXPECT_EQ(CurrentMachineName(), "_Error");
    EXPECT_EQ(Errors(), (std::vector<std::string>{
                            "Error 234 getting user name", "Error 111 getting computer name",
                            "Error 1222 getting user name", "Error 5 getting computer name"}));
}

}  // namespace
