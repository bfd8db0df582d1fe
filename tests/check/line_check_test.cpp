#include "check/line_check.h"

#include <gtest/gtest.h>

#include "script/commands.h"

namespace {

using check::AdviseLine;
using check::LineAdvice;

std::vector<std::string> NoteKinds(const LineAdvice& advice) {
    std::vector<std::string> kinds;
    for (const auto& note : advice.notes) {
        kinds.push_back(note.kind);
    }
    return kinds;
}

using Kinds = std::vector<std::string>;

// Every kind of the command table has its advice, under the table's word.
TEST(LineCheckTest, AdvisesEveryKindOfTheCommandTable) {
    for (const script::Command& row : script::Commands()) {
        std::string line = std::string(1, row.letter) + "Software\\X.V=S1";
        if (row.kind == script::CommandKind::kTooShort) {
            line = "VC:\\";
        } else if (row.kind == script::CommandKind::kUnknown) {
            line = "XBadLine";
        }
        const LineAdvice advice = AdviseLine(line, line);
        EXPECT_EQ(advice.kind, row.kind) << line;
        EXPECT_EQ(advice.command, row.word) << line;
        EXPECT_FALSE(advice.failureKind.empty()) << line;
        EXPECT_FALSE(advice.idle.empty()) << line;
    }
}

// Why a line fails, where its text alone tells: the finding the run's
// message is told as.
TEST(LineCheckTest, TellsWhyAFailureHappensWhereTheTextTells) {
    struct Case {
        const char* line;
        const char* kind;
        const char* text;  // empty: not compared
    };
    const Case cases[] = {
        {"dH:=\\\\SRV\\HOME", "unknown-command",
         "\"d\" is no command: command letters are case-sensitive, did you mean D?"},
        {"   VC:\\X", "unknown-command",
         "the line is indented: the command letter must be its first character"},
        {"      ", "unknown-command", "a line of blanks is no command"},
        {"   hello", "unknown-command", "a line that begins with a blank is no command"},
        {"XBadLine", "unknown-command", "\"X\" is no command"},
        {"IC:\\A.INI]S.K=v", "malformed-ini",
         "the \"[\" must follow the I directly: the line is not of the form "
         "I[file]section.key=value"},
        {"I[C:\\A.INI S.K=v", "malformed-ini", ""},
        {"I[C:\\A.INI]S.K", "malformed-ini", ""},
        {"I[]S.k=v", "ini-fails", "no file name between the brackets"},
        {"I[C:\\A.INI]S.K=v", "ini-fails", ""},
        {"USoftware\\X=Sx", "no-value-name",
         "the destination Software\\X has no \".\" before a value name"},
        {"USoftware\\X.V=Dtwelve", "bad-number", "\"twelve\" is not a number"},
        {"USoftware\\X.V=S1", "registry-fails", ""},
        {"DQQ:=\\\\FILES01\\SOFTWARE", "bad-device", ""},
        {"DLPT1=\\\\S\\X", "bad-device", "LPT1 is a printer port, not a drive"},
        {"PH:=\\\\S\\X", "bad-device", "H: is a drive, not a printer port"},
        {"DH:=FILES01\\HOME", "bad-network-name", ""},
        {"PLPT1\\\\PRINT01\\LASER", "no-device", ""},
        {"DH:=\\\\FILES01\\HOME", "connect-fails", ""},
        {"CC:\\Data\\e2.txt=", "no-copy-source", "the source after the \"=\" is empty"},
        {"C=C:\\S.TXT", "no-copy-target", "the target before the \"=\" is empty"},
        {"CC:\\T.TXT=C:\\S.TXT", "copy-fails", ""},
        {"LC:\\H.DAT", "hive-fails", ""},
    };
    for (const Case& c : cases) {
        const LineAdvice advice = AdviseLine(c.line, c.line);
        EXPECT_EQ(advice.failureKind, c.kind) << c.line;
        if (*c.text != '\0') {
            EXPECT_EQ(advice.failureText, c.text) << c.line;
        }
    }
    const std::string longKey = "USoftware\\" + std::string(300, 'k') + ".V=S1";
    EXPECT_EQ(AdviseLine(longKey, longKey).failureKind, "key-too-long");
}

// Mistakes the run records nothing for, and lines that lose their end.
TEST(LineCheckTest, NotesMistakesThatTheRunDoesNotReport) {
    struct Case {
        std::string raw, line;
        Kinds kinds;
    };
    const Case cases[] = {
        {"", "USoftware\\X.V=Xabc", {"no-type-letter"}},
        {"", "USoftware\\X.V=", {"no-type-letter"}},
        {"", "RApp.Name\\Shell.=Sx", {"backslash-in-value-name"}},
        {"", "USoftware\\X.V=S" + std::string(1000, 'x'), {"long-line"}},
        {"", "USoftware\\X.V=S" + std::string(998, 'x'), {}},
        {"", "VC:\\" + std::string(997, 'x'), {"long-line"}},
        {"", "VC:\\" + std::string(996, 'x'), {}},
        {"", ";" + std::string(1200, 'x'), {}},
        // A long line that expansion changed may have lost its end there.
        {"VC:\\%UIDL%\\" + std::string(1000, 'y'),
         "VC:\\jsmith\\" + std::string(999, 'y'),
         {"long-line", "long-line"}},
        {";%UIDL%" + std::string(1000, 'y'), ";jsmith", {}},
    };
    for (const Case& c : cases) {
        const LineAdvice advice = AdviseLine(c.raw.empty() ? c.line : c.raw, c.line);
        EXPECT_EQ(NoteKinds(advice), c.kinds) << c.line.substr(0, 40);
    }
    const LineAdvice longValue = AdviseLine("USoftware\\X.V=S" + std::string(1000, 'x'),
                                            "USoftware\\X.V=S" + std::string(1000, 'x'));
    EXPECT_NE(longValue.notes[0].text.find("2 are dropped"), std::string::npos);
}

}  // namespace
