#include "logon/macros.h"

#include <gtest/gtest.h>

#include <random>

#include "logon/settings.h"
#include "support/test_platform.h"

namespace {

using core::TStringList;
using logon::ExpandMacros;
using V = std::vector<std::string>;

class MacrosTest : public testsupport::PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        context().MacroList = std::make_unique<TStringList>();
    }
    void Macros(const V& lines) {
        context().MacroList->Clear();
        for (const auto& line : lines) {
            context().MacroList->Add(line);
        }
    }
    // The built-ins of user jsmith on WS01, then the macros file's lines.
    void WithBuiltIns(const V& fileLines) {
        V lines = {"Group=EVERYONE",
                   "Fullname=John Smith",
                   "UIDL=jsmith",
                   "UID=JSmith",
                   "DateTime=Mon, Dec 7, 2026 02:05 PM",
                   "MachId=WS01"};
        lines.insert(lines.end(), fileLines.begin(), fileLines.end());
        Macros(lines);
        ExpandMacros(context(), *context().MacroList);
    }
    std::string Expand(const std::string& line) {
        TStringList list;
        list.Add(line);
        ExpandMacros(context(), list);
        return list.Get(0);
    }
};

TEST_F(MacrosTest, ValuesReferringToMacrosAboveThemAreExpandedAtStartUp) {
    WithBuiltIns({"Home=\\\\SRV\\HOME\\%UIDL%", "Docs=%Home%\\DOCS"});
    EXPECT_EQ(context().MacroList->Get(6), "Home=\\\\SRV\\HOME\\jsmith");
    EXPECT_EQ(context().MacroList->Get(7), "Docs=\\\\SRV\\HOME\\jsmith\\DOCS");
    EXPECT_EQ(Expand("D%Docs%"), "D\\\\SRV\\HOME\\jsmith\\DOCS");
}

TEST_F(MacrosTest, AMacroDefinedBelowIsNotExpandedIntoTheOneAbove) {
    WithBuiltIns({"Docs=%Home%\\DOCS", "Home=\\\\SRV\\HOME\\%UIDL%"});
    EXPECT_EQ(context().MacroList->Get(6), "Docs=\\\\SRV\\HOME\\%UIDL%\\DOCS");
    EXPECT_EQ(context().MacroList->Get(7), "Home=\\\\SRV\\HOME\\jsmith");
    EXPECT_EQ(Expand("%Docs%"), "\\\\SRV\\HOME\\%UIDL%\\DOCS");
}

TEST_F(MacrosTest, ReferencesMatchExactCaseValuesIgnoreCase) {
    WithBuiltIns({"uid=x"});
    EXPECT_EQ(Expand("%UIDL%-%UIDL%"), "jsmith-jsmith");
    EXPECT_EQ(Expand("%uidl%"), "%uidl%");
    EXPECT_EQ(Expand("%uid%"), "JSmith");  // the built-in UID line is found first
    EXPECT_EQ(Expand("%NOSUCH% %MachId%"), "%NOSUCH% WS01");
    // Expansion knows nothing of commands: the letter and name change too.
    EXPECT_EQ(Expand("%Group%=x"), "EVERYONE=x");
}

TEST_F(MacrosTest, AValueHoldingItsOwnReferenceIsSubstitutedOnce) {
    WithBuiltIns({"P=%P%;x"});
    EXPECT_EQ(context().MacroList->Get(6), "P=%P%;x;x");
    EXPECT_EQ(Expand("%P%"), "%P%;x;x");
}

TEST_F(MacrosTest, EmptyNamesReplacePercentPairs) {
    Macros({"A=1"});
    EXPECT_EQ(Expand("50%% OFF"), "50%% OFF");
    Macros({"A=1", "", "remark"});
    EXPECT_EQ(Expand("50%% OFF"), "50 OFF");
    EXPECT_EQ(Expand("%%%%"), "");
    Macros({"", "=[gap]"});
    EXPECT_EQ(Expand("a%%b"), "a[gap]b");
}

TEST_F(MacrosTest, TextAfterAReferenceIsCutAt999Characters) {
    Macros({"A=v"});
    const std::string tail(1200, 't');
    EXPECT_EQ(Expand("x%A%" + tail), "xv" + std::string(999, 't'));
    EXPECT_EQ(Expand(tail + tail), tail + tail);  // no reference: never shortened
}

TEST_F(MacrosTest, EmptyListStaysEmptyAndMacroListIsUntouched) {
    WithBuiltIns({"Home=H"});
    const V before = context().MacroList->Lines();
    TStringList empty;
    ExpandMacros(context(), empty);
    EXPECT_EQ(empty.Count(), 0);
    EXPECT_EQ(context().MacroList->Lines(), before);
}

TEST_F(MacrosTest, ExpandMacroReportsWhetherToTryAgain) {
    Macros({"A=a", "S=%S%"});
    std::string line = "%A%%A%";
    EXPECT_TRUE(logon::ExpandMacro(context(), "A", line));
    EXPECT_EQ(line, "a%A%");
    EXPECT_TRUE(logon::ExpandMacro(context(), "A", line));
    EXPECT_FALSE(logon::ExpandMacro(context(), "A", line));
    EXPECT_EQ(line, "aa");
    line = "%S%";
    EXPECT_FALSE(logon::ExpandMacro(context(), "S", line));  // replaced, but the value holds it
}

TEST_F(MacrosTest, RunawayReferenceReformingStops) {
    // A=A%%A re-forms its reference with a following "%" at every step.
    Macros({"A=A%%A"});
    const std::string result = Expand("%A%%");
    EXPECT_NE(result.find("%A%"), std::string::npos);  // stopped, still re-forming
    Macros({"B=%", "A=A%%A"});
    const std::string other = Expand("x%A%%y");
    EXPECT_EQ(other.substr(0, 1), "x");
    // A re-formation that ends by itself is carried out to the end.
    Macros({"A=%A"});
    EXPECT_EQ(Expand("%A%%"), "%A");
}

// Texts of up to `most` characters drawn from an alphabet heavy in "%".
class RandomText {
  public:
    RandomText(std::mt19937& random, std::string alphabet)
        : random_(random), alphabet_(std::move(alphabet)) {}
    std::string operator()(size_t most) {
        std::string s;
        const size_t length = random_() % (most + 1);
        for (size_t i = 0; i < length; ++i) {
            s += alphabet_[random_() % alphabet_.size()];
        }
        return s;
    }
    // Fewer than `count` macros-file lines: a name of up to `name`
    // characters, in three lines of four "=", and a value of up to `value`.
    V MacroLines(size_t count, size_t name, size_t value) {
        V lines;
        const size_t made = random_() % count;
        for (size_t i = 0; i < made; ++i) {
            lines.push_back((*this)(name) + (random_() % 4 ? "=" : "") + (*this)(value));
        }
        return lines;
    }

  private:
    std::mt19937& random_;
    std::string alphabet_;
};

// The fast expansion must give exactly the lists of the plain algorithm.
TEST_F(MacrosTest, FastExpansionMatchesThePlainAlgorithm) {
    std::mt19937 random(20261208);
    RandomText text(random, "%%%%=ABab.;x");
    for (int round = 0; round < 400; ++round) {
        const V macros = text.MacroLines(8, 3, 5);
        TStringList plain, fast;
        for (int i = 0; i < 6; ++i) {
            const std::string line = text(14);
            plain.Add(line);
            fast.Add(line);
        }
        Macros(macros);
        logon::ExpandMacrosPlain(context(), plain);
        ExpandMacros(context(), fast);
        ASSERT_EQ(fast.Lines(), plain.Lines()) << "round " << round;
    }
}

// context().MacroList expanded in place, as start-up does, gives the plain algorithm's
// list; the names and values it changes on the way are seen by later lines.
TEST_F(MacrosTest, ExpandingMacroListItselfMatchesThePlainAlgorithm) {
    std::mt19937 random(20261209);
    RandomText text(random, "%%%%==ABab.x");
    for (int round = 0; round < 600; ++round) {
        const V macros = text.MacroLines(9, 4, 6);
        Macros(macros);
        logon::ExpandMacrosPlain(context(), *context().MacroList);
        const V plain = context().MacroList->Lines();
        Macros(macros);
        ExpandMacros(context(), *context().MacroList);
        ASSERT_EQ(context().MacroList->Lines(), plain) << "round " << round;
    }
}

// A macros file of ten thousand lines, each referring to a built-in and
// every tenth to the line above it, is expanded at start-up without trying
// every macro on every line.
TEST_F(MacrosTest, TenThousandMacrosAreExpandedInPlace) {
    V lines;
    for (int i = 0; i < 10000; ++i) {
        std::string line = "M" + std::to_string(i) + "=\\\\SRV\\%UIDL%\\" + std::to_string(i);
        if (i % 10 == 1) {
            line += "+%M" + std::to_string(i - 1) + "%";
        }
        lines.push_back(line);
    }
    WithBuiltIns(lines);
    ASSERT_EQ(context().MacroList->Count(), 10006);
    EXPECT_EQ(context().MacroList->Get(6), "M0=\\\\SRV\\jsmith\\0");
    EXPECT_EQ(context().MacroList->Get(10006 - 9),
              "M9991=\\\\SRV\\jsmith\\9991+\\\\SRV\\jsmith\\9990");
    EXPECT_EQ(context().MacroList->Get(10005), "M9999=\\\\SRV\\jsmith\\9999");
}

}  // namespace
