#include "core/exit_list.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ExitListTest, RunsLastRegisteredFirstAndEachOnlyOnce) {
    std::string order;
    core::AddExitProc([&] { order += "settings "; });
    core::AddExitProc([&] { order += "logon "; });
    core::AddExitProc([&] { order += "application "; });
    core::RunExitProcs();
    EXPECT_EQ(order, "application logon settings ");
    core::RunExitProcs();
    EXPECT_EQ(order, "application logon settings ");
}

TEST(ExitListTest, RoutinesRegisteredDuringShutdownStillRun) {
    std::string order;
    core::AddExitProc([&] {
        order += "a ";
        core::AddExitProc([&] { order += "late "; });
    });
    core::RunExitProcs();
    EXPECT_EQ(order, "a late ");
}

}  // namespace
