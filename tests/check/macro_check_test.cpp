#include "check/macro_check.h"

#include <gtest/gtest.h>

#include "logon/identity.h"
#include "logon/logon.h"
#include "logon/macros.h"
#include "logon/settings.h"
#include "support/test_platform.h"

namespace {

// context().MacroList as start-up leaves it for jsmith (John Smith) on WS01: the
// built-ins, then the macros file's lines, expanded in themselves.
class MacroCheckTest : public testsupport::PlatformTest {
  protected:
    core::TStringList& Macros(const std::vector<std::string>& fileLines) {
        context().UserName = "jsmith";
        context().MachineName = "WS01";
        context().FullName = "John Smith";
        context().GroupName = "EVERYONE";
        context().DateTimeText = "Mon, Dec 7, 2026 02:05 PM";
        context().MacroList = std::make_unique<core::TStringList>();
        for (const auto& line : fileLines) {
            context().MacroList->Add(line);
        }
        logon::DefineMacros(context());
        return *context().MacroList;
    }
    // The line as the run expands it, and the kinds of what it left.
    std::vector<std::string> Left(const std::string& line, std::string* expanded = nullptr) {
        core::TStringList script;
        script.Add(line);
        logon::ExpandMacros(context(), script);
        if (expanded != nullptr) {
            *expanded = script.Get(0);
        }
        std::vector<std::string> kinds;
        for (const auto& flag :
             check::LeftReferences(services().system(), script.Get(0), *context().MacroList)) {
            kinds.push_back(flag.kind + " " + flag.text.substr(0, flag.text.find(' ')));
        }
        return kinds;
    }
};

using Kinds = std::vector<std::string>;

TEST_F(MacroCheckTest, ExpandedReferencesLeaveNothing) {
    Macros({"Home=\\\\SRV\\HOME\\%UIDL%", "Docs=%Home%\\DOCS"});
    EXPECT_EQ(Left("V%Docs%\\%UIDL%-%UIDL% %Group%"), Kinds{});
}

TEST_F(MacroCheckTest, TellsWhyAReferenceStayed) {
    Macros({"Docs=%Home%\\DOCS", "Home=\\\\SRV\\HOME\\%UIDL%", "P=%P%;x"});
    std::string expanded;
    EXPECT_EQ(Left("V%Docs%", &expanded), Kinds{"macro-order %UIDL%"});
    EXPECT_EQ(expanded, "V\\\\SRV\\HOME\\%UIDL%\\DOCS");
    EXPECT_EQ(Left("V%P%", &expanded), Kinds{"self-reference the"});
    EXPECT_EQ(expanded, "V%P%;x;x");
    EXPECT_EQ(Left("V%NOSUCH% %uidl% %NOSUCH%"),
              (Kinds{"undefined-macro %NOSUCH%", "undefined-macro %uidl%"}));
}

TEST_F(MacroCheckTest, NamesTheMacroThatBroughtAReferenceInTooLate) {
    Macros({"Docs=%Home%\\DOCS", "Home=\\\\SRV\\HOME\\%UIDL%"});
    const auto flags = check::LeftReferences(services().system(), "V\\\\SRV\\HOME\\%UIDL%\\DOCS",
                                             *context().MacroList);
    ASSERT_EQ(flags.size(), 1u);
    EXPECT_NE(flags[0].text.find("value of %Docs%"), std::string::npos) << flags[0].text;
    const auto wrongCase =
        check::LeftReferences(services().system(), "V%uidl%", *context().MacroList);
    ASSERT_EQ(wrongCase.size(), 1u);
    EXPECT_NE(wrongCase[0].text.find("%UIDL% is defined"), std::string::npos);
}

TEST_F(MacroCheckTest, PercentSignsThatAreNoReferenceAreLeftAlone) {
    Macros({});
    // Blanks, paths and empty pairs between percent signs name no macro.
    EXPECT_EQ(Left("V50% OFF and 20% more"), Kinds{});
    EXPECT_EQ(Left("VC:\\100%\\x%"), Kinds{});
    EXPECT_EQ(Left("V%%%%"), Kinds{});
    // The closing sign of a non-reference may open a reference.
    EXPECT_EQ(Left("V50% x%NOSUCH%"), Kinds{"undefined-macro %NOSUCH%"});
    // A macro whose name is no plain word still counts once it is defined.
    Macros({"Odd Name=x %Odd Name%"});
    EXPECT_EQ(Left("V%Odd Name%"), Kinds{"self-reference the"});
}

TEST_F(MacroCheckTest, MacrosFileLinesThatLookupsNeverFindAreFlagged) {
    core::TStringList& macros =
        Macros({"Home=\\\\SRV", "uid=x", "Other=y", "HOME=\\\\OTHER", "no equals sign", ""});
    const auto flags = check::ShadowedMacros(services().system(), macros, 6, "MACROS.DAT");
    ASSERT_EQ(flags.size(), 2u);
    EXPECT_EQ(flags[0].kind, "shadowed-macro");
    EXPECT_EQ(flags[0].text,
              "line 2 of MACROS.DAT (uid=) is never used: the built-in macro UID has the same "
              "name, and every lookup takes the first");
    EXPECT_EQ(flags[1].text,
              "line 4 of MACROS.DAT (HOME=) is never used: line 1 defines Home already, and "
              "every lookup takes the first");
}

}  // namespace
