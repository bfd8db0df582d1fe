// The logon context: what a fresh one holds, that two never share state,
// and the shutdown order of its release.
#include "logon/context.h"

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "support/test_platform.h"

namespace {

using ContextTest = testsupport::PlatformTest;

// Everything a logon fills in, set on `context`.
void FillEverything(logon::LogonContext& context, const std::string& key) {
    context.CreateScriptRegistry();
    ASSERT_TRUE(context.ScriptRegistry->OpenKey("\\" + key));
    for (auto* list : {&context.ErrorList, &context.CodeList, &context.ConfigList,
                       &context.MacroList, &context.FullNameList}) {
        *list = std::make_unique<core::TStringList>();
    }
    context.CodeListFiles = {"GLOBAL\\_DEFAULT.DAT"};
    context.AttachedHive = "C:\\hive.dat";
    context.GlobalDir = "ELSEWHERE\\";
    context.UserName = "jsmith";
    context.NewsHidden = true;
    context.AddError("a failure");
}

TEST_F(ContextTest, AFreshContextHoldsTheDefaultsAndNothingElse) {
    FillEverything(context(), TestKey());
    // A second logon on the same services starts from nothing of the first.
    logon::LogonContext next(services());
    EXPECT_EQ(next.GlobalDir, "GLOBAL\\");
    EXPECT_EQ(next.MachineDir, "MACHINE\\");
    EXPECT_EQ(next.ProcessOrder, "*gGuUmM");
    EXPECT_EQ(next.ScriptExtension, ".DAT");
    EXPECT_EQ(next.UserName, "");
    EXPECT_EQ(next.AttachedHive, "");
    EXPECT_FALSE(next.NewsHidden);
    EXPECT_FALSE(next.ScriptRegistry || next.ErrorList || next.CodeList || next.ConfigList ||
                 next.MacroList || next.FullNameList);
    EXPECT_FALSE(next.HasErrors());
    EXPECT_EQ(context().Errors(), std::vector<std::string>{"a failure"});
}

TEST_F(ContextTest, ReleaseFollowsTheShutdownStepsAndCanRunTwice) {
    FillEverything(context(), TestKey());
    context().FreeLogon();
    EXPECT_FALSE(context().ScriptRegistry || context().ErrorList || context().FullNameList ||
                 context().CodeList);
    EXPECT_TRUE(context().CodeListFiles.empty());
    // FreeSettings' lists are still there until their own step.
    EXPECT_TRUE(context().ConfigList && context().MacroList);
    context().Release();
    EXPECT_FALSE(context().ConfigList || context().MacroList);
    context().Release();  // nothing left: no harm
    // What the logon learned and attached stays: only the objects go.
    EXPECT_EQ(context().AttachedHive, "C:\\hive.dat");
    EXPECT_EQ(context().UserName, "jsmith");
}

}  // namespace
