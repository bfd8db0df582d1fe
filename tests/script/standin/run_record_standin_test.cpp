// The run record on a stand-in workstation that several users log on to:
// each user's logon reads and clears only his own record, as each Windows
// user has an HKEY_CURRENT_USER of his own.
#include <gtest/gtest.h>

#include "logon/identity.h"
#include "logon/settings.h"
#include "script/registry_commands.h"
#include "script/run.h"
#include "support/registry_reader.h"
#include "support/standin/scratch_standin.h"

namespace {

constexpr platform::RegKey kHkcu = platform::kHkeyCurrentUser;

class RunRecordPerUserTest : public ::testing::Test {
  protected:
    void SetUp() override {
        scratch_.Install();
        scratch_.Write("drives/c/Share/GLOBAL/_DEFAULT.DAT", "Xbogus %UIDL%\r\n");
        scratch_.Write("drives/c/Share/USER/adoe.DAT", "; clean\r\n");
    }

    // One logon of `user`, in a process of its own: his user script runs
    // after the global one.
    void LogOn(const std::string& user) {
        context_.reset();  // the last logon's process ends before the next starts
        scratch_.WriteIdentity("User=" + user + "\n");
        scratch_.Restart();
        context_.emplace(scratch_.services());
        context().GlobalDir = "C:\\Share\\GLOBAL\\";
        context().UserDir = "C:\\Share\\USER\\";
        context().GroupDir = context().MachineDir = "C:\\Share\\NONE\\";
        context().UserName = user;
        context().MacroList = std::make_unique<core::TStringList>();
        context().MacroList->Add("UIDL=" + user);
        context().ErrorList = std::make_unique<core::TStringList>();
        context().CreateScriptRegistry();
        script::RunScript(context());
    }
    std::string Record() {
        const auto count = testsupport::ReadDword(kHkcu, script::kRunRecordKey, "ErrorCount");
        const auto first = testsupport::ReadString(kHkcu, script::kRunRecordKey, "ErrorString1");
        return (count ? std::to_string(*count) : "-") + " " + first.value_or("-");
    }

    logon::LogonContext& context() { return *context_; }

    testsupport::ScratchStandin scratch_{"runrecord"};
    std::optional<logon::LogonContext> context_;
};

TEST_F(RunRecordPerUserTest, EachLogonKeepsItsOwnRecord) {
    const std::pair<std::string, std::string> logons[] = {
        {"jsmith", "1 Unknown command : Xbogus jsmith"},
        {"adoe", "1 Unknown command : Xbogus adoe"},
        {"bjones", "1 Unknown command : Xbogus bjones"},
    };
    for (const auto& [user, record] : logons) {
        LogOn(user);
        EXPECT_EQ(Record(), record) << user;
    }
    // A later logon of adoe clears her record only; jsmith's stays.
    scratch_.Write("drives/c/Share/GLOBAL/_DEFAULT.DAT", "; fixed\r\n");
    LogOn("ADOE");
    EXPECT_EQ(Record(), "0 -");
    scratch_.WriteIdentity("User=jsmith\n");
    EXPECT_EQ(Record(), "1 Unknown command : Xbogus jsmith");
}

}  // namespace
