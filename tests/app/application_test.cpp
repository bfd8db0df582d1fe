#include "app/application.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <stdexcept>

#include "app/tarnwick_form.h"
#include "core/exceptions.h"
#include "logon/settings.h"
#include "platform/platform.h"
#include "script/run.h"
#include "support/test_platform.h"

namespace {

using testsupport::FakeWindow;

class ApplicationTest : public testsupport::FakeServicesTest {
  protected:
    void SetUp() override {
        FakeServicesTest::SetUp();
        system().modulePath = At("RUN.EXE");
        system().now = platform::LocalTime{2024, 3, 10, 0, 12, 0, 0, 0};
    }
    void WriteSettings(const std::string& extra = "") {
        WriteFile(At("RUN.INI"), "Process=*\r\nGlobal=" + At("GLOBAL") +
                                     "\\\r\nNotice=" + At("NOTICE.RTF") + "\r\n" + extra);
    }
};

TEST_F(ApplicationTest, RunsTheWindowAndReleasesTheWindowBeforeTheLogonContext) {
    WriteSettings();
    WriteFile(At("GLOBAL\\_DEFAULT.DAT"), "; hello\r\n");
    bool contextAliveAtDestroy = false;
    toolkit().onDestroy = [&] {
        contextAliveAtDestroy = context().ErrorList && context().ConfigList && context().MacroList;
    };
    toolkit().loop = [](FakeWindow& w) {
        w.Tick();
        w.Click("Continue");
    };

    EXPECT_EQ(app::RunApplication(context()), 0);

    EXPECT_EQ(toolkit().title, "Tarnwick Executor");
    EXPECT_EQ(toolkit().spec.caption, "Login Script");
    const std::vector<size_t> order = {IndexOf("SetApplicationTitle Tarnwick Executor"),
                                       IndexOf("CreateMainWindow"),
                                       IndexOf("SetLines mCodeList"),
                                       IndexOf("ShowWindow"),
                                       IndexOf("RunEventLoop"),
                                       IndexOf("Close"),
                                       IndexOf("DestroyWindow")};
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    EXPECT_LT(order.back(), toolkit().log.size());
    EXPECT_TRUE(toolkit().boxes.empty());
    EXPECT_TRUE(contextAliveAtDestroy);
    // Everything is released, and nothing is left on the exit list.
    EXPECT_EQ(context().ErrorList, nullptr);
    EXPECT_EQ(context().CodeList, nullptr);
    EXPECT_EQ(context().ConfigList, nullptr);
    EXPECT_EQ(context().MacroList, nullptr);
}

TEST_F(ApplicationTest, MissingSettingsFileShowsTheWarningAndStillEndsWithZero) {
    std::vector<std::string> diagnostics;
    platform::Color warning = 0;
    toolkit().loop = [&](FakeWindow& w) {
        diagnostics = w.Control("mCodeList").lines;
        warning = w.Control("ErrorStatus").background;
        w.Tick();
        w.Click("Continue");
    };

    EXPECT_EQ(app::RunApplication(context()), 0);

    EXPECT_EQ(warning, platform::RgbColor(255, 0, 0));
    ASSERT_GE(diagnostics.size(), 2u);
    const auto errors = std::find(diagnostics.begin(), diagnostics.end(), "---- ERRORS ----");
    ASSERT_NE(errors, diagnostics.end());
    EXPECT_EQ(*(errors + 1), "Failed to load " + At("RUN.INI"));
}

// The plain words under the report name the file that failed and the
// settings file that named it; a failure of another kind, or at another
// step, says only that start-up stopped and where its settings came from.
TEST_F(ApplicationTest, TheStartUpReportSaysInPlainWordsWhatFailed) {
    WriteSettings("UserList=" + At("NAMES.DAT") + "\r\n");
    logon::LoadConfig(context(), At("RUN.INI"));
    const std::string stopped =
        "Tarnwick stopped before its window opened. No script was run. Settings file: " +
        At("RUN.INI") + ".";
    const struct {
        const char* kind;
        logon::LogonStep step;
        std::string advice;
    } cases[] = {
        {"EFOpenError", logon::LogonStep::kFullNameList,
         "The full-name list " + At("NAMES.DAT") +
             ", named by the UserList setting of the settings file " + At("RUN.INI") +
             ", cannot be opened. No script was run: make the file readable, or correct the "
             "UserList line."},
        {"ERegistryException", logon::LogonStep::kSettings, stopped},
        {"EOutOfMemory", logon::LogonStep::kFullNameList, stopped},
        {"EFOpenError", logon::LogonStep::kMacros, stopped},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        EXPECT_EQ(app::StartupFailureAdvice(context(), c.kind, c.step), c.advice);
    }
    context().FreeSettings();
}

TEST_F(ApplicationTest, AFailureInStartUpIsReportedBeforeAnyWindowAndEndsWithOne) {
    WriteSettings("Macros=" + At("NONE.DAT") + "\r\n");

    EXPECT_EQ(app::RunApplication(context()), 1);

    ASSERT_EQ(toolkit().boxes.size(), 1u);
    EXPECT_EQ(toolkit().boxes[0].first, "Application Error");
    EXPECT_EQ(toolkit().boxes[0].second,
              "Exception EFOpenError in module RUN.EXE.\nCannot open file " + At("NONE.DAT") +
                  ".\n\nThe macros file " + At("NONE.DAT") +
                  ", named by the Macros line of the settings file " + At("RUN.INI") +
                  ", cannot be opened. No script was run: put the file there, or correct or "
                  "remove the Macros line.");
    EXPECT_FALSE(Logged("CreateMainWindow"));
    // The routines registered so far ran.
    EXPECT_EQ(context().ErrorList, nullptr);
    EXPECT_EQ(context().ConfigList, nullptr);
}

TEST_F(ApplicationTest, AWindowThatCannotBeCreatedEndsStartUp) {
    WriteSettings();
    toolkit().createResult = 8;

    EXPECT_EQ(app::RunApplication(context()), 1);

    ASSERT_EQ(toolkit().boxes.size(), 1u);
    EXPECT_EQ(toolkit().boxes[0].first, "Application Error");
    EXPECT_EQ(
        toolkit().boxes[0].second,
        "Exception Exception in module RUN.EXE.\nCannot create the login window (error 8).\n\n"
        "Tarnwick stopped before its window opened. No script was run. Settings file: " +
            At("RUN.INI") + ".");
    EXPECT_FALSE(Logged("RunEventLoop"));
    EXPECT_EQ(context().ErrorList, nullptr);
}

TEST_F(ApplicationTest, AShowHandlerFailingBeforeTheRunStillEndsWithZero) {
    WriteSettings();
    WriteFile(At("GLOBAL\\_DEFAULT.DAT"), "; never run\r\n");
    files().locked.insert(At("NOTICE.RTF"));
    toolkit().loop = [](FakeWindow& w) {
        w.Tick();
        w.Click("Continue");
    };

    EXPECT_EQ(app::RunApplication(context()), 0);

    ASSERT_EQ(toolkit().boxes.size(), 1u);
    EXPECT_EQ(toolkit().boxes[0].first, "Tarnwick Executor");
    EXPECT_FALSE(Logged("SetLines mCodeList"));
    EXPECT_TRUE(Logged("DestroyWindow"));
}

// The report names the system's exceptions by their class, running out of
// memory as EOutOfMemory, and anything else as a plain Exception.
TEST_F(ApplicationTest, AFailureOfTheRunIsReportedUnderTheNameOfItsKind) {
    const struct {
        std::function<void()> raise;
        std::string firstLines;
    } cases[] = {
        {[] { throw core::EFOpenError("Cannot open file X"); },
         "Exception EFOpenError in module RUN.EXE.\nCannot open file X."},
        {[] { throw core::ERegistryException("r"); },
         "Exception ERegistryException in module RUN.EXE.\nr."},
        {[] { throw core::EConvertError("c"); }, "Exception EConvertError in module RUN.EXE.\nc."},
        {[] { throw core::EStringListError("s"); },
         "Exception EStringListError in module RUN.EXE.\ns."},
        {[] { throw core::Exception("e"); }, "Exception Exception in module RUN.EXE.\ne."},
        {[] { throw std::bad_alloc(); },
         "Exception EOutOfMemory in module RUN.EXE.\nstd::bad_alloc."},
        {[] { throw std::runtime_error("o"); }, "Exception Exception in module RUN.EXE.\no."},
        {[] { throw 7; }, "Exception Exception in module RUN.EXE.\nUnknown failure."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.firstLines);
        WriteSettings();
        toolkit().boxes.clear();
        toolkit().loop = [&c](FakeWindow&) { c.raise(); };

        EXPECT_EQ(app::RunApplication(context()), 1);

        ASSERT_EQ(toolkit().boxes.size(), 1u);
        EXPECT_EQ(toolkit().boxes[0].second.substr(0, c.firstLines.size()), c.firstLines);
    }
}

}  // namespace
