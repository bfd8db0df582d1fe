#include "check/site.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "check/options.h"
#include "check/report.h"
#include "check/site_report.h"
#include "support/test_platform.h"

namespace {

constexpr const char* kWhen = "Mon, Dec 7, 2026 02:05 PM";

// A share where logons differ: macros that name the user, a hive line, a
// user whose own file has a mistake, names spelt in two cases, a machine.
const std::map<std::string, std::string> kShare = {
    {"tarnwick.ini", "Macros=MACROS.DAT\r\n"},
    {"MACROS.DAT", "Home=\\\\SRV\\HOME\\%UIDL%\r\nTwice=1\r\nTWICE=2\r\n"},
    {"USERLIST.DAT", "JSMITH=John Smith\r\nadoe=Alice Doe\r\nnofile=No File\r\n"},
    {"GLOBAL\\_DEFAULT.DAT",
     "DH:=%Home%\r\nUSoftware\\X.Who=S%UID%\r\nXbad %UID%\r\nUSoftware\\X.N=D%Fullname%\r\n"},
    {"USER\\jsmith.DAT", "LUSER\\%UID%.DAT\r\nUSoftware\\X.After=S1\r\n%Nope%\r\n"},
    {"USER\\adoe.DAT", "USoftware\\X.Fine=S1\r\n"},
    {"USER\\_DEFAULT.DAT", "; the default\r\n"},
    {"MACHINE\\WS01.DAT", "MSoftware\\X.M=S%MachId%\r\n"},
    {"MACHINE\\ws02.DAT", "<script>alert(1)</script>\r\n\"><img src=x onerror=alert(1)>\r\n"},
};

class SiteTest : public testsupport::PlatformTest {
  protected:
    void SetUp() override {
        testsupport::PlatformTest::SetUp();
        for (const auto& [path, text] : kShare) {
            WriteFile(At("share\\" + path), text);
        }
    }
    check::SiteRequest Request(bool allUsers, bool allMachines) {
        check::SiteRequest request;
        request.base.shareDir = testPlatform().HostPath(At("share"));
        request.base.user = "jsmith";
        request.base.machine = "WS01";
        request.base.dateTime = kWhen;
        request.allUsers = allUsers;
        request.allMachines = allMachines;
        return request;
    }
};

// Every finding of a logon as one line, in order; the facts of the
// workstation that a site check, which looks at none, leaves untold apart.
std::vector<std::string> Told(const check::CheckReport& report) {
    std::vector<std::string> out;
    for (const auto& finding : report.findings) {
        out.push_back(finding.kind + " " + finding.text + " " + finding.message);
    }
    for (const auto& line : report.lines) {
        for (const auto& finding : line.findings) {
            if (finding.kind == check::kind::kDepends) {
                continue;
            }
            out.push_back(line.file + ":" + std::to_string(line.number) + " " + finding.kind + " " +
                          finding.text + " " + finding.message);
        }
    }
    return out;
}

std::vector<std::string> Told(const check::SiteReport& site, const check::FlaggedLogon& logon) {
    std::vector<std::string> out;
    for (const size_t index : logon.findings) {
        const check::SiteFinding& finding = site.findings[index];
        out.push_back((finding.file.empty()
                           ? std::string()
                           : finding.file + ":" + std::to_string(finding.line) + " ") +
                      finding.kind + " " + finding.text + " " + finding.message);
    }
    return out;
}

TEST_F(SiteTest, EachLogonIsToldExactlyAsTheSingleCheckTellsIt) {
    const struct {
        bool allUsers, allMachines;
        int logons;
        const char* scope;
    } cases[] = {
        {true, false, 3, "every user (3) on WS01"},
        {false, true, 2, "jsmith on every machine (2)"},
        {true, true, 6, "every user (3) on every machine (2)"},
        {false, false, 1, "jsmith on WS01"},
    };
    for (const auto& c : cases) {
        const check::SiteRequest request = Request(c.allUsers, c.allMachines);
        const check::SiteReport site = check::CheckSite(request);
        EXPECT_EQ(site.scope, c.scope);
        EXPECT_EQ(site.logons, c.logons);
        std::map<std::string, std::vector<std::string>> flagged;
        for (const check::FlaggedLogon& logon : site.flagged) {
            flagged[logon.user + "@" + logon.machine] = Told(site, logon);
        }
        long long lines = 0;
        int clean = 0;
        for (const char* user : {"adoe", "jsmith", "nofile"}) {
            for (const char* machine : {"WS01", "ws02"}) {
                const bool inSite = (c.allUsers || std::string(user) == "jsmith") &&
                                    (c.allMachines || std::string(machine) == "WS01");
                if (!inSite) {
                    continue;
                }
                check::CheckRequest one = request.base;
                one.user = user;
                one.machine = machine;
                const check::CheckReport single = check::CheckLogon(one);
                lines += single.lineCount;
                const std::string key = std::string(user) + "@" + machine;
                if (single.Count(check::Severity::kFlag) == 0) {
                    ++clean;
                    EXPECT_EQ(flagged.count(key), 0u) << key;
                } else {
                    EXPECT_EQ(flagged[key], Told(single)) << key;
                }
            }
        }
        EXPECT_EQ(site.scriptLines, lines);
        EXPECT_EQ(site.Clean(), clean);
    }
}

// A site of many logons is read by two readers side by side: every logon is
// still told as the single check tells it, in the order of the logons.
TEST_F(SiteTest, ManyLogonsAreToldInOrderAsTheSingleCheckTellsThem) {
    std::string names;
    for (int i = 0; i < 80; ++i) {
        const std::string user = "u" + std::to_string(100 + i);
        names += user + "=User " + std::to_string(i) + "\r\n";
        // Every third user's own file has a mistake of its own.
        WriteFile(At("many\\USER\\" + user + ".DAT"),
                  i % 3 == 0 ? "Xbad " + std::to_string(i) + "\r\n" : "USoftware\\X.V=S1\r\n");
    }
    WriteFile(At("many\\USERLIST.DAT"), names);
    WriteFile(At("many\\GLOBAL\\_DEFAULT.DAT"),
              "USoftware\\X.N=D%Fullname%\r\nVC:\\Site\\%UID%\r\n");
    check::SiteRequest request = Request(true, false);
    request.base.shareDir = testPlatform().HostPath(At("many"));
    const check::SiteReport site = check::CheckSite(request);
    ASSERT_EQ(site.logons, 80);
    ASSERT_EQ(site.flagged.size(), 80u);
    for (size_t i = 0; i < site.flagged.size(); ++i) {
        const check::FlaggedLogon& logon = site.flagged[i];
        EXPECT_EQ(logon.user, "u" + std::to_string(100 + i));
        check::CheckRequest one = request.base;
        one.user = logon.user;
        EXPECT_EQ(Told(site, logon), Told(check::CheckLogon(one))) << logon.user;
    }
}

TEST_F(SiteTest, AFindingSharedByLogonsIsReportedOnceWithTheirNames) {
    const check::SiteReport site = check::CheckSite(Request(true, true));
    int unknown = 0;
    for (const check::SiteFinding& finding : site.findings) {
        if (finding.kind == "unknown-command" && finding.file == "GLOBAL\\_DEFAULT.DAT") {
            ++unknown;  // "Xbad %UID%" differs by user only
            EXPECT_EQ(finding.logons, 2);
            EXPECT_EQ(finding.lineText, "Xbad %UID%");
        }
        EXPECT_LE(finding.firstNames.size(), check::kFirstNames);
    }
    EXPECT_EQ(unknown, 3);
    EXPECT_NE(check::FormatSiteText(site).find("2 logons: adoe on WS01, adoe on ws02"),
              std::string::npos);
}

// A standard user may write neither WS01's machine key nor jsmith's hive;
// an administrator may.
TEST_F(SiteTest, TheLinesTheRightsRefuseAreCountedWithEveryUserTheyHit) {
    check::SiteRequest request = Request(true, false);
    const check::SiteReport standard = check::CheckSite(request);
    EXPECT_EQ(standard.refusedLines, 4);
    std::vector<std::string> users = standard.refusedUsers;
    std::sort(users.begin(), users.end());
    EXPECT_EQ(users, (std::vector<std::string>{"adoe", "jsmith", "nofile"}));
    EXPECT_NE(check::FormatSiteText(standard).find("Refused for the user's rights: 4 lines, "
                                                   "hitting 3 users: "),
              std::string::npos);

    request.base.rights = platform::Rights::kAdministrator;
    const check::SiteReport administrator = check::CheckSite(request);
    EXPECT_EQ(administrator.refusedLines, 0);
    EXPECT_TRUE(administrator.refusedUsers.empty());
}

TEST_F(SiteTest, ShareTextIsNeverMarkupNorAFormula) {
    const check::SiteReport site = check::CheckSite(Request(false, true));
    const std::string page = check::FormatSiteHtml(site);
    EXPECT_EQ(page.find("<script>alert"), std::string::npos);
    EXPECT_EQ(page.find("<img"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(page.find("&quot;&gt;&lt;img src=x onerror=alert(1)&gt;"), std::string::npos);
    EXPECT_EQ(page.find("src=\"http"), std::string::npos);

    const struct {
        const char* cell;
        const char* written;
    } cells[] = {
        {"=1+2", "\"'=1+2\""},
        {"+1", "\"'+1\""},
        {"-1", "\"'-1\""},
        {"@SUM(A1)", "\"'@SUM(A1)\""},
        {"a \"b\"", "\"a \"\"b\"\"\""},
        {"plain", "\"plain\""},
    };
    for (const auto& c : cells) {
        EXPECT_EQ(check::CsvCell(c.cell), c.written);
    }
    const std::string csv = check::FormatSiteCsv(site);
    EXPECT_EQ(csv.find(",\"=\""), std::string::npos);
    // The header row is quoted as the rows under it are.
    EXPECT_EQ(csv.substr(0, csv.find("\r\n") + 2),
              "\"severity\",\"kind\",\"file\",\"line\",\"script line\",\"finding\",\"message\","
              "\"logons\",\"first logons\"\r\n");
    EXPECT_EQ(check::HtmlEscape("<a href='x'>&</a>"), "&lt;a href=&#39;x&#39;&gt;&amp;&lt;/a&gt;");
}

TEST(SiteOptionsTest, ReadsTheSiteOptionsAndRefusesWhatCannotGoTogether) {
    const check::Options both =
        check::ParseOptions({"--all-users", "--all-machines", "--csv", "--html", "p.html", "s"});
    EXPECT_TRUE(both.allUsers && both.allMachines && both.csv && both.Site());
    EXPECT_EQ(both.htmlFile, "p.html");
    EXPECT_FALSE(check::ParseOptions({"--user", "j", "--machine", "m", "s"}).Site());
    const struct {
        std::vector<std::string> args;
        const char* why;
    } cases[] = {
        {{"--all-users", "--user", "j", "--machine", "m", "s"},
         "--user and --all-users exclude each other"},
        {{"--all-users", "s"}, "--machine is required"},
        {{"--all-users", "--machine", "m", "--json", "--csv", "s"},
         "--json and --csv exclude each other"},
        {{"--all-users=1", "--machine", "m", "s"}, "--all-users takes no value"},
        {{"--all-users", "--machine", "m", "--html"}, "--html needs a value"},
    };
    for (const auto& c : cases) {
        try {
            check::ParseOptions(c.args);
            ADD_FAILURE() << "accepted: " << c.why;
        } catch (const check::UsageError& failure) {
            EXPECT_STREQ(failure.what(), c.why);
        }
    }
}

}  // namespace
