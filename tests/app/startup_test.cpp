#include "app/startup.h"

#include <gtest/gtest.h>

#include "logon/identity.h"
#include "logon/settings.h"
#include "script/run.h"
#include "support/test_platform.h"

namespace {

using V = std::vector<std::string>;

class InitLogonTest : public testsupport::FakeServicesTest {
  protected:
    void SetUp() override {
        FakeServicesTest::SetUp();
        system().modulePath = At("RUN.EXE");
        system().computerName = "WS01";
        system().now = platform::LocalTime{2026, 12, 7, 1, 14, 5, 0, 0};  // a Monday
        network().user = "jsmith";
    }
};

TEST_F(InitLogonTest, BuiltInMacrosStandAboveTheFileAndAreExpandedIntoIt) {
    WriteFile(At("RUN.INI"), "Macros=" + At("MACROS.DAT") + "\r\nUserList=" + At("NAMES.DAT"));
    WriteFile(At("MACROS.DAT"),
              "Home=\\\\SRV\\HOME\\%UIDL%\r\nP=%P%;x\r\nuid=x\r\nWho=%Fullname% on %MachId%\r\n");
    WriteFile(At("NAMES.DAT"), "JSMITH=John Smith\r\n");
    app::InitLogon(context());
    EXPECT_EQ(Errors(), V{});
    EXPECT_EQ(context().MacroList->Lines(),
              (V{"Group=EVERYONE", "Fullname=John Smith", "UIDL=jsmith", "UID=JSmith",
                 "DateTime=Mon, Dec 7, 2026 02:05 PM", "MachId=WS01", "Home=\\\\SRV\\HOME\\jsmith",
                 "P=%P%;x;x", "uid=x", "Who=John Smith on WS01"}));
    EXPECT_EQ(context().UserName, "jsmith");
    EXPECT_EQ(context().FullName, "John Smith");
    EXPECT_EQ(context().GroupName, "EVERYONE");
}

TEST_F(InitLogonTest, StartUpFailuresAreRecordedInOrderAndStartUpGoesOn) {
    network().userError = 1222;
    system().computerNameError = 5;
    app::InitLogon(context());
    EXPECT_EQ(Errors(), (V{"Failed to load " + At("RUN.INI"), "Error 1222 getting user name",
                           "Error 5 getting computer name"}));
    EXPECT_EQ(context().MacroList->Lines(),
              (V{"Group=EVERYONE", "Fullname=", "UIDL=_error", "UID=_Error",
                 "DateTime=Mon, Dec 7, 2026 02:05 PM", "MachId=_Error"}));
    EXPECT_EQ(context().ProcessOrder, "*gGuUmM");
}

TEST_F(InitLogonTest, UidMapsOnlyAsciiLettersAndKeepsAtMost101Characters) {
    network().user = "jOHN\xe9Smith" + std::string(120, 'X');
    app::InitLogon(context());
    const std::string uid = context().MacroList->Get(3);
    EXPECT_EQ(uid.substr(0, 16), "UID=JOhn\xe9smithxx");
    EXPECT_EQ(uid.size(), 4u + 2u + 99u);
    EXPECT_EQ(context().MacroList->Get(2), "UIDL=john\xe9smith" + std::string(120, 'x'));
}

TEST_F(InitLogonTest, ReleasingTheContextFreesWhatStartUpCreated) {
    WriteFile(At("RUN.INI"), "");
    app::InitLogon(context());
    ASSERT_TRUE(context().ErrorList);
    ASSERT_TRUE(context().FullNameList);
    context().Release();
    EXPECT_FALSE(context().ErrorList);
    EXPECT_FALSE(context().FullNameList);
    EXPECT_FALSE(context().CodeList);
}

}  // namespace
