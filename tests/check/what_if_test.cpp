#include "check/what_if.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>

#include "core/text_decoder.h"
#include "logon/context.h"
#include "script/interpreter.h"
#include "support/test_platform.h"

namespace {

using check::Sight;
using check::WhatIfPlatform;

// What a list of lines recorded and changed.
struct Outcome {
    std::vector<std::string> messages;
    std::vector<std::string> effects;  // "kind path-or-key"
    std::vector<std::string> depends;
};

class WhatIfTest : public testsupport::PlatformTest {
  protected:
    // The lines run by the program's own code on the what-if workstation.
    // Without rights given, the workstation's own.
    Outcome Told(const std::vector<std::string>& lines, Sight sight,
                 std::optional<platform::Rights> rights = std::nullopt) {
        WhatIfPlatform whatIf(services(), sight, Scratch(),
                              rights ? *rights : services().system().ProcessRights());
        logon::LogonContext logon(whatIf.services());
        Prepare(logon);
        Outcome outcome;
        for (const std::string& line : lines) {
            script::ExecuteLine(logon, line);
            for (const check::Effect& effect : whatIf.TakeEffects()) {
                outcome.effects.push_back(effect.kind + " " + effect.fields.front().second);
            }
            for (const std::string& fact : whatIf.TakeDepends()) {
                outcome.depends.push_back(fact);
            }
        }
        outcome.messages = logon.Errors();
        return outcome;
    }
    // The same lines really run.
    std::vector<std::string> Run(const std::vector<std::string>& lines) {
        Prepare(context());
        for (const std::string& line : lines) {
            script::ExecuteLine(context(), line);
        }
        return Errors();
    }
    void Prepare(logon::LogonContext& logon) {
        logon.UserName = "tarnwick-what-if";
        logon.ErrorList = std::make_unique<core::TStringList>();
        logon.CreateScriptRegistry();
    }
};

// Looking at the workstation, the what-if tells every message the run
// records and changes nothing, while the run after it makes what it told.
TEST_F(WhatIfTest, TellsWhatTheRunRecordsAndChangesNothing) {
    WriteFile(At("source.txt"), "text");
    const std::string key = TestKey();
    struct Case {
        std::vector<std::string> lines;
        std::vector<std::string> effects;
        bool standinOnly = false;  // the device rules Wine does not follow
    };
    const std::vector<Case> cases = {
        {{"C" + At("copy.txt") + "=" + At("source.txt")}, {"file " + At("copy.txt")}},
        // A copy whose source an earlier line makes.
        {{"C" + At("a.txt") + "=" + At("source.txt"), "C" + At("b.txt") + "=" + At("a.txt")},
         {"file " + At("a.txt"), "file " + At("b.txt")}},
        {{"C" + At("e2.txt") + "="}, {}},
        {{"C" + At("x.txt") + "=" + At("missing.txt")}, {}},
        {{"C" + At("no\\such\\x.txt") + "=" + At("source.txt")}, {}},
        {{"c" + At("source.txt") + "=" + At("missing.txt")}, {}},
        {{"V" + At("a\\b")}, {"folder " + At("a"), "folder " + At("a\\b")}},
        {{"V" + At("d\\e"), "C" + At("d\\e\\c.txt") + "=" + At("source.txt")},
         {"folder " + At("d"), "folder " + At("d\\e"), "file " + At("d\\e\\c.txt")}},
        {{"I[" + At("local.ini") + "]NoSection=1"}, {"ini " + At("local.ini")}},
        {{"I[]S.k=v", "I[" + At("none\\x.ini") + "]S.k=v"}, {}},
        {{"U" + key + "\\" + std::string(315, 'k') + ".V=S1",
          "U" + key + "\\" + std::string(315, 'k') + ".B=B01"},
         {}},
        {{"U" + key + ".V=Sone", "U" + key + ".N=Dtwelve", "U" + key + ".V=-"},
         {"key HKEY_CURRENT_USER\\" + key, "registry HKEY_CURRENT_USER\\" + key,
          "delete HKEY_CURRENT_USER\\" + key}},
        {{"L" + At("missing.dat"), "L" + At("missing.dat")}, {}},
        {{"DQQ:=\\\\FILES01\\SOFTWARE", "DLPT1=\\\\S\\X", "DH:=FILES01", "PLPT1\\\\PRINT01\\LASER",
          "DC:=\\\\S\\X"},
         {},
         true},
    };
    for (const Case& c : cases) {
        if (c.standinOnly && !IsStandin()) {
            continue;
        }
        const Outcome told = Told(c.lines, Sight::kWorkstation);
        EXPECT_TRUE(told.depends.empty()) << c.lines.front();
        EXPECT_EQ(told.effects, c.effects) << c.lines.front();
        for (const std::string& effect : c.effects) {
            if (effect.compare(0, 5, "file ") == 0 || effect.compare(0, 7, "folder ") == 0) {
                EXPECT_FALSE(Exists(effect.substr(effect.find(' ') + 1))) << effect;
            }
        }
        EXPECT_EQ(told.messages, Run(c.lines)) << c.lines.front();
        for (const std::string& effect : c.effects) {
            if (effect.compare(0, 5, "file ") == 0 || effect.compare(0, 7, "folder ") == 0) {
                EXPECT_TRUE(Exists(effect.substr(effect.find(' ') + 1))) << effect;
            }
        }
    }
}

// An INI line is told as the file will hold it: a file of the ANSI code
// page (Windows-1252 here) takes a like letter or "?" for one it lacks, a
// UTF-16 file every letter; and the run writes just that.
TEST_F(WhatIfTest, IniLinesAreToldAsTheFileWillHoldThem) {
    using namespace std::string_literals;
    WriteFile(At("unicode.ini"), "\xFF\xFE[\0A\0]\0\r\0\n\0"s);
    WriteFile(At("ansi.ini"), "[A]\r\n");
    const std::string value =
        "\xC5\x81\xC3\xB3"
        "d\xC5\xBA \xE6\x9D\xB1\xE4\xBA\xAC";  // Łódź 東京
    const std::string inAnsi =
        "L\xC3\xB3"
        "dz ??";
    const struct {
        std::string file, told;
    } cases[] = {{"unicode.ini", value}, {"ansi.ini", inAnsi}, {"new.ini", inAnsi}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string line = "I[" + At(c.file) + "]A.k=" + value;
        WhatIfPlatform whatIf(services(), Sight::kWorkstation, Scratch(),
                              services().system().ProcessRights());
        logon::LogonContext logon(whatIf.services());
        Prepare(logon);
        script::ExecuteLine(logon, line);
        const std::vector<check::Effect> effects = whatIf.TakeEffects();
        ASSERT_EQ(effects.size(), 1u);
        EXPECT_NE(std::find(effects[0].fields.begin(), effects[0].fields.end(),
                            std::make_pair(std::string("value"), c.told)),
                  effects[0].fields.end());
        EXPECT_EQ(Run({line}), std::vector<std::string>{});
        EXPECT_NE(core::DecodeText(ReadFile(At(c.file))).text.find("k=" + c.told + "\r\n"),
                  std::string::npos);
    }
}

// Random runs of lines over a scratch folder and a key of the test's own
// (what Wine carries as Windows does): each run is told by the what-if,
// then really made, and the two must agree message for message, with
// every file and folder the what-if stated there afterwards.
TEST_F(WhatIfTest, RandomRunsOfLinesAgreeWithTheRun) {
    std::mt19937 random(20261209);
    const auto pick = [&random](const std::vector<std::string>& pool) {
        return pool[std::uniform_int_distribution<size_t>(0, pool.size() - 1)(random)];
    };
    int compared = 0;
    for (int run = 0; run < 100; ++run) {
        const std::string dir = At("r" + std::to_string(run));
        MakeDir(dir);
        WriteFile(dir + "\\source.txt", "text");
        const std::vector<std::string> files = {dir + "\\source.txt",       dir + "\\a.txt",
                                                dir + "\\sub\\b.txt",       dir + "\\missing.txt",
                                                dir + "\\sub\\deep\\c.ini", ""};
        const std::vector<std::string> folders = {dir + "\\sub", dir + "\\sub\\deep",
                                                  dir + "\\source.txt", dir + "\\x\\y"};
        const std::string key = "U" + TestKey() + "\\R" + std::to_string(run);
        const std::vector<std::string> templates = {
            "C{file}={file}", "c{file}={file}", "V{folder}", "I[{file}]S.k=v",
            "I[{file}]k=v",   "{key}.V=S1",     "{key}.V=-", "{key}.N=Dx",
            "{key}=S1",       "{key}.B=B0a",    "L{file}",   "XUnknown",
        };
        std::vector<std::string> lines;
        for (int n = 0; n < 8; ++n) {
            std::string line = pick(templates);
            for (size_t at; (at = line.find('{')) != std::string::npos;) {
                const size_t end = line.find('}', at);
                const std::string slot = line.substr(at + 1, end - at - 1);
                line.replace(at, end - at + 1,
                             slot == "file"     ? pick(files)
                             : slot == "folder" ? pick(folders)
                                                : key);
            }
            lines.push_back(line);
        }
        SCOPED_TRACE("run " + std::to_string(run));
        const Outcome told = Told(lines, Sight::kWorkstation);
        const std::vector<std::string> recorded = Run(lines);
        // What the what-if could not know (a hive file's contents, which
        // Windows tells only by loading it) leaves the run uncompared.
        if (!told.depends.empty()) {
            continue;
        }
        ++compared;
        EXPECT_EQ(told.messages, recorded);
        for (const std::string& effect : told.effects) {
            if (effect.compare(0, 5, "file ") == 0 || effect.compare(0, 7, "folder ") == 0) {
                EXPECT_TRUE(Exists(effect.substr(effect.find(' ') + 1))) << effect;
            }
        }
    }
    EXPECT_GE(compared, 60);
}

// Knowing no workstation, what its text and the user's rights decide is
// still certain; what the workstation decides is a fact the line depends
// on, never a failure.
TEST_F(WhatIfTest, WithoutAWorkstationTheWorkstationsFactsDepend) {
    using platform::Rights;
    struct Case {
        std::string line;
        Rights rights;
        size_t messages;
        bool depends;
    };
    const Case cases[] = {
        {"CC:\\Data\\x.txt=C:\\Data\\missing.txt", Rights::kStandard, 0, true},
        {"CC:\\Data\\e2.txt=", Rights::kStandard, 1, false},
        {"DQQ:=\\\\FILES01\\SOFTWARE", Rights::kStandard, 1, false},
        {"DH:=\\\\FILES01\\HOME", Rights::kStandard, 0, true},
        {"I[]S.k=v", Rights::kStandard, 1, false},
        {"I[C:\\Data\\app.ini]S.k=v", Rights::kStandard, 0, true},
        {"USoftware\\" + std::string(315, 'k') + ".V=S1", Rights::kStandard, 1, false},
        // What the rights decide: the machine's keys, hives, the files of
        // the system's folders and of the root of C:.
        {"MSoftware\\Tarnwick.V=S1", Rights::kStandard, 1, false},
        {"MSoftware\\Tarnwick.V=S1", Rights::kAdministrator, 0, false},
        {"RTarnwick.File.V=S1", Rights::kStandard, 1, true},
        {"RTarnwick.File.V=S1", Rights::kAdministrator, 0, false},
        {"LC:\\Data\\hive.dat", Rights::kStandard, 1, false},
        {"LC:\\Data\\hive.dat", Rights::kAdministrator, 0, true},
        {"I[C:\\Program Files\\app.ini]S.k=v", Rights::kStandard, 1, false},
        {"I[C:\\Windows\\Temp\\app.ini]S.k=v", Rights::kStandard, 0, true},
        {"I[C:\\root.ini]S.k=v", Rights::kStandard, 0, true},
        {"I[bare.ini]S.k=v", Rights::kAdministrator, 0, true},
    };
    for (const Case& c : cases) {
        const Outcome told = Told({c.line}, Sight::kShareOnly, c.rights);
        EXPECT_EQ(told.messages.size(), c.messages) << c.line;
        EXPECT_EQ(!told.depends.empty(), c.depends) << c.line;
    }
    // A second attach under the same name fails whatever the file holds.
    EXPECT_EQ(
        Told({"LC:\\Data\\hive.dat", "LC:\\Data\\hive.dat"}, Sight::kShareOnly).messages.size(),
        1u);
}

}  // namespace
