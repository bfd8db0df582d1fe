// The reset every fixture relies on: whatever one test leaves in any module
// is gone before the next one starts, and the exit list has run.
#include "support/module_state.h"

#include <gtest/gtest.h>

#include "app/tarnwick_form.h"
#include "core/error_list.h"
#include "core/exit_list.h"
#include "logon/identity.h"
#include "logon/settings.h"
#include "script/registry_commands.h"
#include "script/run.h"

namespace {

TEST(ResetModuleStateTest, LeavesEveryModuleAsAFreshProcessHasIt) {
    bool registryAtExit = false;
    core::AddExitProc([&] { registryAtExit = script::ScriptRegistry != nullptr; });
    app::NewsHidden = true;
    script::CreateScriptRegistry();
    script::AttachedHive = "jsmith";
    core::ErrorList = std::make_unique<core::TStringList>();
    script::CodeList = std::make_unique<core::TStringList>();
    logon::ConfigList = std::make_unique<core::TStringList>();
    logon::MacroList = std::make_unique<core::TStringList>();
    logon::FullNameList = std::make_unique<core::TStringList>();
    logon::GlobalDir = "ELSEWHERE\\";
    logon::UserName = "jsmith";

    testsupport::ResetModuleState();

    EXPECT_TRUE(registryAtExit);  // the exit list ran first
    EXPECT_FALSE(app::NewsHidden);
    EXPECT_EQ(app::TarnwickForm, nullptr);
    EXPECT_EQ(script::ScriptRegistry, nullptr);
    EXPECT_EQ(script::AttachedHive, "");
    EXPECT_EQ(core::ErrorList, nullptr);
    EXPECT_EQ(script::CodeList, nullptr);
    EXPECT_EQ(logon::ConfigList, nullptr);
    EXPECT_EQ(logon::MacroList, nullptr);
    EXPECT_EQ(logon::FullNameList, nullptr);
    EXPECT_EQ(logon::GlobalDir, "GLOBAL\\");
    EXPECT_EQ(logon::UserName, "");
}

}  // namespace
