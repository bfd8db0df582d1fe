#include "check/options.h"

#include <gtest/gtest.h>

namespace {

using check::ParseOptions;
using check::UsageError;
using Args = std::vector<std::string>;

TEST(OptionsTest, ReadsEveryOptionInBothForms) {
    const check::Options options =
        ParseOptions({"--user", "jsmith", "--machine=WS01", "--userlist=N.DAT", "--settings",
                      "LOGON.INI", "--datetime=Mon, Dec 7, 2026 02:05 PM", "--json", "share"});
    EXPECT_EQ(options.request.user, "jsmith");
    EXPECT_EQ(options.request.machine, "WS01");
    EXPECT_EQ(options.request.userList, "N.DAT");
    EXPECT_EQ(options.request.settingsFile, "LOGON.INI");
    EXPECT_EQ(options.request.dateTime, "Mon, Dec 7, 2026 02:05 PM");
    EXPECT_EQ(options.request.shareDir, "share");
    EXPECT_TRUE(options.json);

    const check::Options plain = ParseOptions({"share", "--machine", "WS01", "--user", "j"});
    EXPECT_FALSE(plain.json);
    EXPECT_FALSE(plain.request.userList);
    EXPECT_FALSE(plain.request.dateTime);
    EXPECT_EQ(plain.request.settingsFile, "");
    // After "--" everything is the share, even what looks like an option.
    EXPECT_EQ(ParseOptions({"--user", "j", "--machine", "m", "--", "--odd"}).request.shareDir,
              "--odd");
    // A value may itself begin with a dash.
    EXPECT_EQ(ParseOptions({"--user", "-x", "--machine", "m", "s"}).request.user, "-x");
}

TEST(OptionsTest, HelpAndVersionNeedNothingElse) {
    EXPECT_TRUE(ParseOptions({"--help"}).help);
    EXPECT_TRUE(ParseOptions({"-h", "--user", "j"}).help);
    EXPECT_TRUE(ParseOptions({"--version"}).version);
    EXPECT_FALSE(ParseOptions({"--help"}).version);
    EXPECT_NE(check::UsageText().find("--machine NAME"), std::string::npos);
}

TEST(OptionsTest, RefusesCommandLinesItCannotUse) {
    const std::string longName(100, 'a');
    const struct {
        Args args;
        const char* why;
    } cases[] = {
        {{"--machine", "m", "s"}, "--user is required"},
        {{"--user", "j", "s"}, "--machine is required"},
        {{"--user", "j", "--machine", "m"}, "the share folder is missing"},
        {{"--user", "", "--machine", "m", "s"}, "--user must not be empty"},
        {{"--user", longName, "--machine", "m", "s"},
         "--user must be shorter than 100 characters: the system cannot supply a longer name"},
        {{"--user", "j", "--machine", "m", "s", "t"}, "the share folder is given twice"},
        {{"--user", "j", "--user", "k", "--machine", "m", "s"}, "--user is given twice"},
        {{"--user", "j", "--machine", "m", "--colour", "s"}, "unknown option --colour"},
        // The program's group is always EVERYONE: no group can be asked for.
        {{"--user", "j", "--machine", "m", "--group", "STAFF", "s"}, "unknown option --group"},
        {{"--user", "j", "--machine"}, "--machine needs a value"},
        {{"--user", "j", "--machine", "m", "--json=yes", "s"}, "--json takes no value"},
        {{"--version=2"}, "--version takes no value"},
        {{"--all-users", "--machine", "m", "--rights", "root", "s"},
         "--rights takes standard or administrator, not \"root\""},
        {{"--user", "j", "--machine", "m", "--here", "--rights=standard", "s"},
         "--rights is for a check that looks at no workstation: with --here the rights are "
         "those of the user running the check"},
    };
    for (const auto& c : cases) {
        try {
            ParseOptions(c.args);
            ADD_FAILURE() << "accepted: " << c.why;
        } catch (const UsageError& failure) {
            EXPECT_STREQ(failure.what(), c.why);
        }
    }
    // Rights are named in any letter case; without them, none are asked for.
    EXPECT_EQ(
        ParseOptions({"--all-users", "--machine=m", "--rights=Administrator", "s"}).request.rights,
        platform::Rights::kAdministrator);
    EXPECT_FALSE(ParseOptions({"--all-users", "--machine=m", "s"}).request.rights.has_value());
    // A name of 99 characters is one the system can supply.
    EXPECT_EQ(ParseOptions({"--user", std::string(99, 'a'), "--machine", "m", "s"}).request.user,
              std::string(99, 'a'));
}

}  // namespace
