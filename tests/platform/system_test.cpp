#include "platform/system.h"

#include <gtest/gtest.h>

#include "core/file_exists.h"
#include "platform/errors.h"
#include "support/test_platform.h"

namespace {

using namespace platform;

class SystemTest : public testsupport::PlatformTest {
  protected:
    System& sys() { return Current().system(); }
};

// The computer name is the NetBIOS name: upper case, at most 15 characters.
TEST_F(SystemTest, ComputerNameIsTheUpperCaseNetbiosName) {
    std::string name;
    ASSERT_EQ(sys().GetComputerNameW(100, &name), kErrorSuccess);
    ASSERT_FALSE(name.empty());
    EXPECT_LE(name.size(), 15u);
    for (char c : name) {
        EXPECT_FALSE(c >= 'a' && c <= 'z') << name;
    }

    // The name and its NUL must fit: ERROR_BUFFER_OVERFLOW otherwise.
    std::string tooSmall = "untouched";
    EXPECT_EQ(sys().GetComputerNameW(static_cast<uint32_t>(name.size()), &tooSmall),
              kErrorBufferOverflow);
    EXPECT_EQ(tooSmall, "untouched");
    EXPECT_EQ(sys().GetComputerNameW(static_cast<uint32_t>(name.size() + 1), &tooSmall),
              kErrorSuccess);
    EXPECT_EQ(tooSmall, name);
}

// The tests run as an administrator: under Wine every process is one (its
// token holds the Administrators group enabled), and the stand-in's test
// workstation logs its user on with those rights.
TEST_F(SystemTest, TheTestsRunWithAnAdministratorsRights) {
    EXPECT_EQ(sys().ProcessRights(), Rights::kAdministrator);
}

TEST_F(SystemTest, LocaleNamesOfTheEnglishUserLocale) {
    const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    for (int d = 0; d < 7; ++d) {
        EXPECT_EQ(sys().ShortDayName(d), days[d]);
    }
    const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(sys().ShortMonthName(m), months[m - 1]);
    }
    EXPECT_EQ(sys().ShortDayName(7), "");
    EXPECT_EQ(sys().ShortDayName(-1), "");
    EXPECT_EQ(sys().ShortMonthName(0), "");
    EXPECT_EQ(sys().ShortMonthName(13), "");
    EXPECT_EQ(sys().TimeSeparator(), ":");
}

TEST_F(SystemTest, NowIsAPlausibleLocalTime) {
    const LocalTime t = sys().Now();
    EXPECT_GE(t.year, 2024);
    EXPECT_TRUE(t.month >= 1 && t.month <= 12);
    EXPECT_TRUE(t.day >= 1 && t.day <= 31);
    EXPECT_TRUE(t.dayOfWeek >= 0 && t.dayOfWeek <= 6);
    EXPECT_TRUE(t.hour >= 0 && t.hour <= 23);
    EXPECT_TRUE(t.minute >= 0 && t.minute <= 59);
    EXPECT_TRUE(t.second >= 0 && t.second <= 59);
    EXPECT_TRUE(t.millisecond >= 0 && t.millisecond <= 999);
}

TEST_F(SystemTest, CaseInsensitiveComparisonOfTheUserLocale) {
    EXPECT_TRUE(sys().SameTextIgnoreCase("UserList", "USERLIST"));
    EXPECT_TRUE(sys().SameTextIgnoreCase("", ""));
    // Letters of every script fold, accented or not.
    EXPECT_TRUE(sys().SameTextIgnoreCase("Jos\xC3\xA9", "JOS\xC3\x89"));
    EXPECT_TRUE(sys().SameTextIgnoreCase("\xC5\x81ukasz", "\xC5\x82UKASZ"));
    EXPECT_TRUE(sys().SameTextIgnoreCase("\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7",
                                         "\xCE\xB5\xCE\x9B\xCE\x88\xCE\x9D\xCE\x97"));
    EXPECT_TRUE(sys().SameTextIgnoreCase("\xE6\x9D\xB1\xE4\xBA\xAC", "\xE6\x9D\xB1\xE4\xBA\xAC"));
    EXPECT_FALSE(sys().SameTextIgnoreCase("\xE6\x9D\xB1", "\xE4\xBA\xAC"));
    EXPECT_FALSE(sys().SameTextIgnoreCase("a", ""));
    EXPECT_FALSE(sys().SameTextIgnoreCase("", "a"));
    EXPECT_FALSE(sys().SameTextIgnoreCase("ab", "abc"));
    EXPECT_FALSE(sys().SameTextIgnoreCase("a b", "ab"));
}

TEST_F(SystemTest, ModulePathNamesTheRunningProgram) {
    const std::string path = sys().ModulePath();
    ASSERT_FALSE(path.empty());
    EXPECT_NE(path.find("platform_tests"), std::string::npos) << path;
    EXPECT_TRUE(core::FileExists(services().files(), path)) << path;
}

}  // namespace
