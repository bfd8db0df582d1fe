#include "logon/identity.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

#include "core/exceptions.h"
#include "platform/errors.h"
#include "platform/system.h"
#include "support/test_platform.h"

namespace {

using namespace logon;

using IdentityTest = testsupport::PlatformTest;

// The fakes answer the identity queries with what a test gives them, on a
// clock and locale of their own; name comparison is the real one.
class IdentityFakeTest : public testsupport::FakeServicesTest {
  protected:
    void SetUp() override {
        FakeServicesTest::SetUp();
        network().user = "jsmith";
        system().computerName = "WS01";
        system().now = platform::LocalTime{};
        system().locale = testsupport::FakeSystem::Locale{};
    }
    void At(int year, int month, int day, int dayOfWeek, int hour, int minute) {
        system().now = platform::LocalTime{year, month, day, dayOfWeek, hour, minute, 0, 0};
    }
    using FakeServicesTest::At;
    // The user and machine names the context gives now, then how often the
    // fakes were asked for each.
    std::tuple<std::string, std::string, int, int> Names() {
        return {CurrentUserName(context()), CurrentMachineName(context()), network().userCalls,
                system().computerNameCalls};
    }
};

TEST_F(IdentityFakeTest, UserAndMachineAreLearnedOnceAndKept) {
    EXPECT_EQ(CurrentUserName(context()), "jsmith");
    EXPECT_EQ(network().userAsked, "C:/100");
    EXPECT_EQ(CurrentMachineName(context()), "WS01");
    EXPECT_EQ(system().computerNameBufferSize, 100u);
    network().user = "other";
    system().computerName = "OTHER";
    EXPECT_EQ(Names(), std::make_tuple("jsmith", "WS01", 1, 1));
    EXPECT_EQ(context().UserName, "jsmith");
    EXPECT_EQ(context().MachineName, "WS01");
    EXPECT_EQ(Errors(), std::vector<std::string>{});
}

TEST_F(IdentityFakeTest, FailuresAreReportedOnceAndKeptAsError) {
    network().userError = platform::kErrorNoNetwork;
    system().computerNameError = platform::kErrorBufferOverflow;
    EXPECT_EQ(CurrentUserName(context()), "_Error");
    EXPECT_EQ(CurrentMachineName(context()), "_Error");
    network().userError = 0;
    system().computerNameError = 0;
    EXPECT_EQ(Names(), std::make_tuple("_Error", "_Error", 1, 1));
    EXPECT_EQ(Errors(), (std::vector<std::string>{"Error 1222 getting user name",
                                                  "Error 111 getting computer name"}));
}

TEST_F(IdentityFakeTest, AnEmptyNameIsAskedForAgain) {
    network().user = "";
    system().computerName = "";
    EXPECT_EQ(CurrentUserName(context()), "");
    EXPECT_EQ(CurrentMachineName(context()), "");
    LoadFullNameList(context(), IdentityTest::At("NONE.DAT"));
    EXPECT_EQ(CurrentFullName(context()), "");  // asks for the user name once more
    EXPECT_EQ(network().userCalls, 2);
    network().user = "late";
    system().computerName = "LATE";
    EXPECT_EQ(Names(), std::make_tuple("late", "LATE", 3, 2));
    EXPECT_EQ(Errors(), std::vector<std::string>{});
}

TEST_F(IdentityFakeTest, FullNameFromTheListIgnoringCase) {
    WriteFile(IdentityTest::At("USERLIST.DAT"),
              "ADMIN=Administrator\r\nJSMITH=John Smith\r\njsmith=Second\r\n_ERROR=Nobody\r\n");
    LoadFullNameList(context(), IdentityTest::At("USERLIST.DAT"));
    EXPECT_EQ(CurrentFullName(context()), "John Smith");
    EXPECT_EQ(context().UserName, "jsmith");
    EXPECT_EQ(context().FullName, "John Smith");

    // A failed user name is looked up as "_Error".
    context().ClearIdentity();
    context().FullNameList.reset();
    LoadFullNameList(context(), IdentityTest::At("USERLIST.DAT"));
    network().userError = 5;
    EXPECT_EQ(CurrentFullName(context()), "Nobody");
    EXPECT_EQ(Errors(), std::vector<std::string>{"Error 5 getting user name"});
}

TEST_F(IdentityFakeTest, UserWithoutAnEntryIsLookedUpAgainEachTime) {
    WriteFile(IdentityTest::At("USERLIST.DAT"), "ADMIN=Administrator\n");
    LoadFullNameList(context(), IdentityTest::At("USERLIST.DAT"));
    EXPECT_EQ(CurrentFullName(context()), "");
    context().FullNameList->Add("JSmith=John Smith");
    EXPECT_EQ(CurrentFullName(context()), "John Smith");
    context().FullNameList->Clear();
    EXPECT_EQ(CurrentFullName(context()), "John Smith");  // learned now
    EXPECT_EQ(network().userCalls, 1);
}

TEST_F(IdentityFakeTest, FullNameWithoutAListIsEmpty) {
    EXPECT_EQ(CurrentFullName(context()), "");
    EXPECT_EQ(CurrentGroupName(context()), "EVERYONE");
}

TEST_F(IdentityFakeTest, FullNameListIsOptionalAndADirectoryIsNoList) {
    LoadFullNameList(context(), IdentityTest::At("NONE.DAT"));
    ASSERT_TRUE(context().FullNameList);
    EXPECT_EQ(context().FullNameList->Count(), 0);

    MakeDir(IdentityTest::At("LISTDIR"));
    LoadFullNameList(context(), IdentityTest::At("LISTDIR"));
    ASSERT_TRUE(context().FullNameList);
    EXPECT_EQ(context().FullNameList->Count(), 0);

    // Loading anew replaces the old list.
    WriteFile(IdentityTest::At("USERLIST.DAT"), "A=1\nB=2");
    LoadFullNameList(context(), IdentityTest::At("USERLIST.DAT"));
    EXPECT_EQ(context().FullNameList->Count(), 2);
    LoadFullNameList(context(), IdentityTest::At("NONE.DAT"));
    EXPECT_EQ(context().FullNameList->Count(), 0);
}

// A list file that is there but cannot be read (held open without sharing,
// say) ends the start-up: the failure is not caught here.
TEST_F(IdentityFakeTest, ListFileThatCannotBeOpenedRaises) {
    files().locked.insert("\\\\SRV\\LOGON\\USERLIST.DAT");
    try {
        LoadFullNameList(context(), "\\\\SRV\\LOGON\\USERLIST.DAT");
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
        EXPECT_EQ(CurrentDateTimeText(context()), c.text);
    }
}

TEST_F(IdentityFakeTest, DateTimeTextUsesTheLocaleAndTheClockOfEachCall) {
    system().locale->days[0] = "So";
    system().locale->months[2] = "M\xe4r";
    system().locale->timeSeparator = ".";
    At(2027, 3, 14, 0, 9, 30);
    EXPECT_EQ(CurrentDateTimeText(context()), "So, M\xe4r 14, 2027 09.30 AM");
    At(2027, 3, 14, 0, 9, 31);
    EXPECT_EQ(CurrentDateTimeText(context()), "So, M\xe4r 14, 2027 09.31 AM");
    EXPECT_EQ(context().DateTimeText, "");  // the start-up value is the caller's to keep
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
    EXPECT_FALSE(CurrentUserName(context()).empty());
    EXPECT_FALSE(CurrentMachineName(context()).empty());
    EXPECT_NE(context().UserName, "_Error");
    EXPECT_NE(context().MachineName, "_Error");
    EXPECT_EQ(Errors(), std::vector<std::string>{});
}

TEST_F(IdentityPlatformTest, StandinIdentityFileEndToEnd) {
    if (!IsStandin()) {
        GTEST_SKIP() << "the identity file belongs to the stand-in";
    }
    WriteIdentity("User=JSMITH\nMachine=WS01\n");
    WriteFile(At("USERLIST.DAT"), "jsmith=John Smith\n");
    LoadFullNameList(context(), At("USERLIST.DAT"));
    EXPECT_EQ(CurrentUserName(context()), "JSMITH");
    EXPECT_EQ(CurrentMachineName(context()), "WS01");
    EXPECT_EQ(CurrentFullName(context()), "John Smith");

    // Names that do not fit their 100-character buffers fail with the codes
    // Windows gives.
    context().ClearIdentity();
    context().FullNameList.reset();
    WriteIdentity("User=" + std::string(100, 'u') + "\nMachine=" + std::string(100, 'M') + "\n");
    EXPECT_EQ(CurrentUserName(context()), "_Error");
    EXPECT_EQ(CurrentMachineName(context()), "_Error");

    context().ClearIdentity();
    context().FullNameList.reset();
    WriteIdentity("UserError=1222\nMachineError=5\n");
    EXPECT_EQ(CurrentUserName(context()), "_Error");
    EXPECT_EQ(CurrentMachineName(context()), "_Error");
    EXPECT_EQ(Errors(), (std::vector<std::string>{
                            "Error 234 getting user name", "Error 111 getting computer name",
                            "Error 1222 getting user name", "Error 5 getting computer name"}));
}

}  // namespace
