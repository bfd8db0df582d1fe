#include "check/checker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "check/report.h"
#include "core/string_list.h"
#include "logon/identity.h"
#include "logon/logon.h"
#include "logon/macros.h"
#include "logon/settings.h"
#include "script/interpreter.h"
#include "script/registry_commands.h"
#include "script/run.h"
#include "support/test_platform.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kWhen = "Mon, Dec 7, 2026 02:05 PM";

// Every entry under `dir` with its bytes ("<dir>" for a folder).
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        std::string bytes = "<dir>";
        if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        entries[entry.path().string()] = bytes;
    }
    return entries;
}

class CheckerTest : public testsupport::PlatformTest {
  protected:
    // A share in the scratch directory, its files given relative to it.
    void Share(const std::map<std::string, std::string>& files) {
        for (const auto& [path, text] : files) {
            WriteFile(At("share\\" + path), text);
        }
    }
    check::CheckRequest Request() {
        check::CheckRequest request;
        request.shareDir = testPlatform().HostPath(At("share"));
        request.user = "jsmith";
        request.machine = "WS01";
        request.dateTime = kWhen;
        return request;
    }
    check::CheckReport Check() { return check::CheckLogon(Request()); }

    static std::vector<std::string> Kinds(const std::vector<check::Finding>& findings) {
        std::vector<std::string> kinds;
        for (const auto& finding : findings) {
            kinds.push_back(finding.kind);
        }
        return kinds;
    }
    // Every line as "file:number expanded", for comparing assemblies.
    static std::vector<std::string> Lines(const check::CheckReport& report) {
        std::vector<std::string> lines;
        for (const auto& line : report.lines) {
            lines.push_back(line.file + ":" + std::to_string(line.number) + " " + line.expanded);
        }
        return lines;
    }
};

using Strings = std::vector<std::string>;

TEST_F(CheckerTest, AssemblesTheScriptInProcessOrderWithFileAndLineNumbers) {
    Share({{"tarnwick.ini", "Macros=MACROS.DAT\r\n"},
           {"MACROS.DAT", "Home=\\\\SRV\\HOME\\%UIDL%\r\n"},
           {"USERLIST.DAT", "JSMITH=John Smith\r\n"},
           {"GLOBAL\\_DEFAULT.DAT", "; global\r\nDH:=%Home%\r\n"},
           {"GROUP\\EVERYONE.DAT", "USoftware\\X.Group=S%Group%\r\n"},
           {"USER\\jsmith.DAT", "USoftware\\X.Who=S%Fullname% (%UID%) %DateTime%\r\n"},
           {"MACHINE\\WS01.DAT", "MSoftware\\X.Machine=S%MachId%\r\n"}});
    const check::CheckReport report = Check();
    EXPECT_TRUE(report.settingsLoaded);
    EXPECT_EQ(report.processOrder, "*gGuUmM");
    EXPECT_EQ(report.fullName, "John Smith");
    EXPECT_EQ(report.group, "EVERYONE");
    EXPECT_EQ(
        Lines(report),
        (Strings{"GLOBAL\\_DEFAULT.DAT:1 ; global",
                 "GLOBAL\\_DEFAULT.DAT:2 DH:=\\\\SRV\\HOME\\jsmith",
                 "GROUP\\EVERYONE.DAT:1 USoftware\\X.Group=SEVERYONE",
                 std::string("USER\\jsmith.DAT:1 USoftware\\X.Who=SJohn Smith (JSmith) ") + kWhen,
                 "MACHINE\\WS01.DAT:1 MSoftware\\X.Machine=SWS01"}));
    // The letters whose files are missing are listed, and only noted.
    ASSERT_EQ(report.files.size(), 7u);
    EXPECT_EQ(report.files[2].path, "GROUP\\_DEFAULT.DAT");
    EXPECT_FALSE(report.files[2].exists);
    EXPECT_EQ(report.files[0].lineCount, 2);
    EXPECT_EQ(Kinds(report.findings),
              (Strings{"missing-script-file", "missing-script-file", "missing-script-file"}));
    // Looking at no workstation, whether H: is free and the share of H:
    // depend on it; a standard user, the default, may not write the
    // machine's key.
    EXPECT_EQ(report.Count(check::Severity::kFlag), 1);
    EXPECT_EQ(Kinds(report.lines[1].findings), (Strings{"depends", "depends"}));
    EXPECT_EQ(Kinds(report.lines[4].findings), (Strings{"registry-fails", "rights"}));
    EXPECT_EQ(report.Count(check::Severity::kNote), 6);
}

TEST_F(CheckerTest, SeesTheScriptTheExecutorRuns) {
    // The same share through the program's own run: the lines the checker
    // lists are those the executor receives, and the messages it flags are
    // those the executor records.
    Share({{"tarnwick.ini", "Macros=MACROS.DAT\r\nProcess=*u*\r\n"},
           {"MACROS.DAT", "Late=%Early%\r\nEarly=%UIDL%\r\n"},
           {"GLOBAL\\_DEFAULT.DAT", "XBad %Late%\r\nUSoftware\\Brackenlow\\CheckRun=Sx\r\n"},
           {"USER\\jsmith.DAT", "USoftware\\Brackenlow\\CheckRun.V=D%UIDL%\r\n"}});
    const check::CheckReport report = Check();

    Strings expected;
    for (const auto& line : report.lines) {
        for (const auto& finding : line.findings) {
            if (!finding.message.empty()) {
                expected.push_back(finding.message);
            }
        }
    }
    EXPECT_EQ(expected.size(), 5u);

    const fs::path previous = fs::current_path();
    fs::current_path(testPlatform().HostPath(At("share")));
    context().UserName = "jsmith";
    context().MachineName = "WS01";
    context().GroupName = "EVERYONE";
    ASSERT_TRUE(
        logon::LoadConfig(context(), testPlatform().HostPath(At("share")) + "/tarnwick.ini"));
    logon::DefineMacros(context());
    context().ErrorList = std::make_unique<core::TStringList>();
    context().CreateScriptRegistry();
    script::BuildCodeList(context(), context().ProcessOrder);
    logon::ExpandMacros(context(), *context().CodeList);
    Strings executed;
    for (const auto& line : context().CodeList->Lines()) {
        if (line.rfind(";---", 0) != 0) {
            executed.push_back(line);
        }
        script::ExecuteLine(context(), line);
    }
    fs::current_path(previous);

    Strings listed;
    for (const auto& line : report.lines) {
        listed.push_back(line.expanded);
    }
    EXPECT_EQ(listed, executed);
    EXPECT_EQ(context().ErrorList->Lines(), expected);
}

TEST_F(CheckerTest, TheFlagsShareTripsEveryFlag) {
    const fs::path source = fs::path(TARNWICK_SOURCE_DIR) / "tests/check/shares/flags";
    const fs::path share = testPlatform().HostPath(At("share"));
    fs::copy(source, share, fs::copy_options::recursive);
    const check::CheckReport report = Check();

    std::set<std::string> kinds;
    for (const auto& finding : report.findings) {
        kinds.insert(finding.kind);
    }
    std::map<std::string, std::string> firstLine;
    for (const auto& line : report.lines) {
        for (const auto& finding : line.findings) {
            kinds.insert(finding.kind);
            firstLine.emplace(finding.kind, line.file + ":" + std::to_string(line.number));
        }
    }
    for (const char* kind :
         {"shadowed-macro", "unknown-process-letter", "missing-script-file", "no-full-name",
          "unknown-command", "no-value-name", "bad-number", "no-type-letter",
          "backslash-in-value-name", "malformed-ini", "no-copy-target", "no-device",
          "undefined-macro", "macro-order", "self-reference", "long-line"}) {
        EXPECT_EQ(kinds.count(kind), 1u) << kind;
    }
    EXPECT_EQ(firstLine["unknown-command"], "GLOBAL\\_DEFAULT.DAT:2");
    EXPECT_EQ(firstLine["long-line"], "GLOBAL\\_DEFAULT.DAT:20");
    // Two of them are a standard user's refused M and R lines.
    EXPECT_EQ(report.Count(check::Severity::kFlag), 23);
    EXPECT_FALSE(report.stops);
}

// The group is always EVERYONE, as the program's: GROUP\\STAFF.DAT never runs.
TEST_F(CheckerTest, IdentityOptionsReplaceWhatTheProgramWouldLearn) {
    Share({{"tarnwick.ini", "Process=gu\r\n"},
           {"NAMES.TXT", "adoe=Alice Doe\r\n"},
           {"GROUP\\STAFF.DAT", "USoftware\\X.G=SSTAFF\r\n"},
           {"GROUP\\EVERYONE.DAT", "USoftware\\X.G=S%Group% %Fullname% %DateTime%\r\n"},
           {"USER\\adoe.DAT", "VC:\\%UIDL%\r\n"}});
    check::CheckRequest request = Request();
    request.user = "ADoe";
    request.userList = "NAMES.TXT";
    request.dateTime = "now";
    const check::CheckReport report = check::CheckLogon(request);
    EXPECT_EQ(Lines(report),
              (Strings{"GROUP\\EVERYONE.DAT:1 USoftware\\X.G=SEVERYONE Alice Doe now",
                       "USER\\ADoe.DAT:1 VC:\\adoe"}));
    EXPECT_TRUE(report.findings.empty());
}

TEST_F(CheckerTest, AMissingFullNameIsNoted) {
    Share({{"tarnwick.ini", "\r\n"}, {"GLOBAL\\_DEFAULT.DAT", "VC:\\X\r\n"}});
    EXPECT_EQ(Kinds(Check().findings),
              (Strings{"no-full-name", "missing-script-file", "missing-script-file",
                       "missing-script-file", "missing-script-file", "missing-script-file",
                       "missing-script-file"}));
    Share({{"USERLIST.DAT", "adoe=Alice Doe\r\n"}});
    const auto findings = Check().findings;
    ASSERT_FALSE(findings.empty());
    EXPECT_EQ(findings[0].text, "USERLIST.DAT has no entry for jsmith: %Fullname% is empty");
}

TEST_F(CheckerTest, TellsWhetherTheLogonWritesItsEvent) {
    for (const auto& [settings, on] : std::vector<std::pair<std::string, bool>>{
             {"EventLog=0\r\n", false}, {"EventLog=off\r\n", true}, {"\r\n", true}}) {
        Share({{"tarnwick.ini", settings}});
        const check::CheckReport report = Check();
        EXPECT_EQ(report.eventLog, on) << settings;
        EXPECT_EQ(check::FormatText(report).find("EventLog=0: ") != std::string::npos, !on);
    }
}

TEST_F(CheckerTest, AMissingSettingsFileIsFlaggedAndTheDefaultsHold) {
    Share({{"GLOBAL\\_DEFAULT.DAT", "VC:\\X\r\n"}, {"USERLIST.DAT", "jsmith=J\r\n"}});
    const check::CheckReport report = Check();
    EXPECT_FALSE(report.settingsLoaded);
    ASSERT_FALSE(report.findings.empty());
    EXPECT_EQ(report.findings[0].kind, "settings-missing");
    EXPECT_EQ(report.findings[0].message.rfind("Failed to load ", 0), 0u);
    EXPECT_NE(report.findings[0].message.find("tarnwick.INI"), std::string::npos);
    EXPECT_EQ(Lines(report), Strings{"GLOBAL\\_DEFAULT.DAT:1 VC:\\X"});
}

// A logon that finds no script file runs nothing: the program warns of it in
// its event, and the check flags it, naming the folders it searched.
TEST_F(CheckerTest, ALogonWithoutAnyScriptFileIsFlagged) {
    Share({{"tarnwick.ini", "Process=*u\r\nUser=PEOPLE\r\n"}, {"USERLIST.DAT", "jsmith=J\r\n"}});
    const check::CheckReport report = Check();
    EXPECT_EQ(Kinds(report.findings),
              (Strings{"no-script-files", "missing-script-file", "missing-script-file"}));
    EXPECT_NE(report.findings[0].text.find("(searched: GLOBAL\\, PEOPLE\\)"), std::string::npos)
        << report.findings[0].text;
    EXPECT_EQ(report.findings[0].severity, check::Severity::kFlag);
}

TEST_F(CheckerTest, FilesThatCannotBeOpenedStopTheLogon) {
    // A macros file that is not there ends start-up.
    Share({{"tarnwick.ini", "Macros=NOSUCH.DAT\r\n"}, {"GLOBAL\\_DEFAULT.DAT", "VC:\\X\r\n"}});
    check::CheckReport report = Check();
    EXPECT_TRUE(report.stops);
    ASSERT_EQ(Kinds(report.findings), Strings{"startup-stops"});
    EXPECT_EQ(report.findings[0].message, "Cannot open file NOSUCH.DAT");
    EXPECT_TRUE(report.lines.empty());

    // A script file that the search finds but that cannot be read (here a
    // wildcard in the default name) ends the run before any line runs.
    Share({{"tarnwick.ini", "Default=_DEF*\r\nProcess=u*\r\n"},
           {"USER\\jsmith.DAT", "VC:\\X\r\n"},
           {"GLOBAL\\_DEFAULT.DAT", "VC:\\Y\r\n"}});
    report = Check();
    EXPECT_TRUE(report.stops);
    EXPECT_EQ(Kinds(report.findings), (Strings{"no-full-name", "run-stops"}));
    EXPECT_EQ(report.findings[1].message, "Cannot open file GLOBAL\\_DEF*.DAT");
    ASSERT_EQ(report.files.size(), 2u);
    EXPECT_TRUE(report.files[0].loaded);
    EXPECT_TRUE(report.files[1].exists);
    EXPECT_FALSE(report.files[1].loaded);
}

TEST_F(CheckerTest, AFolderThatIsNoShareIsRefused) {
    check::CheckRequest request = Request();
    request.shareDir = testPlatform().HostPath(At("nowhere"));
    EXPECT_THROW(check::CheckLogon(request), check::CheckError);
}

TEST_F(CheckerTest, ChecksChangeNothingAndLeaveNoLogonStateBehind) {
    const fs::path source = fs::path(TARNWICK_SOURCE_DIR) / "tests/check/shares/flags";
    const fs::path share = testPlatform().HostPath(At("share"));
    fs::copy(source, share, fs::copy_options::recursive);
    const auto before = Snapshot(share);
    const fs::path cwd = fs::current_path();
    Check();
    EXPECT_EQ(fs::current_path(), cwd);
    EXPECT_FALSE(context().MacroList);
    EXPECT_TRUE(context().UserName.empty());
    EXPECT_EQ(context().ProcessOrder, "*gGuUmM");
    const auto after = Snapshot(share);
    EXPECT_EQ(after, before);
}

// Each script file is read as its bytes say: the report names the
// encoding, and flags what no single encoding reads rightly.
TEST_F(CheckerTest, ScriptFilesAreReadInTheirEncodingAndFlaggedWhereTheyCannotBe) {
    using namespace std::string_literals;
    Share({{"tarnwick.ini", "Process=*gGuU\r\n"},
           // UTF-16 LE with its mark: "VC:\Data" and a line end.
           {"GLOBAL\\_DEFAULT.DAT",
            "\xFF\xFE"
            "V\0C\0:\0\\\0D\0a\0t\0a\0\r\0\n\0"s},
           // UTF-8 among Windows-1252 bytes.
           {"GROUP\\EVERYONE.DAT", "; M\xFCller and M\xC3\xBCller\r\n"},
           // A NUL ends what is read.
           {"GROUP\\_DEFAULT.DAT", "; before\0; after\r\n"s},
           // UTF-8 with letters that Windows-1252 lacks, cut short at its end.
           {"USER\\jsmith.DAT", "\xEF\xBB\xBF; \xE6\x9D\xB1\xE4\xBA\xAC \xE6\x9D"}});
    const check::CheckReport report = Check();
    std::map<std::string, std::string> encodings;
    for (const auto& file : report.files) {
        encodings[file.path] = file.encoding;
    }
    EXPECT_EQ(encodings["GLOBAL\\_DEFAULT.DAT"], "UTF-16 LE");
    EXPECT_EQ(encodings["GROUP\\EVERYONE.DAT"], "ANSI");
    EXPECT_EQ(encodings["USER\\jsmith.DAT"], "UTF-8 with a byte-order mark");
    ASSERT_FALSE(report.lines.empty());
    EXPECT_EQ(report.lines[0].expanded, "VC:\\Data");
    EXPECT_EQ(report.lines.back().expanded, "; \xE6\x9D\xB1\xE4\xBA\xAC \xEF\xBF\xBD\xEF\xBF\xBD");
    std::vector<std::string> kinds;
    for (const auto& finding : report.findings) {
        if (finding.severity == check::Severity::kFlag) {
            kinds.push_back(finding.kind);
        }
    }
    EXPECT_EQ(kinds, (Strings{"mixed-encoding", "not-text", "lost-characters"}));
}

}  // namespace
