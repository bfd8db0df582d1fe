#include "app/tarnwick_form.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/application.h"
#include "logon/identity.h"
#include "logon/settings.h"
#include "platform/platform.h"
#include "script/registry_commands.h"
#include "script/run.h"
#include "support/test_platform.h"
#include "tarnwick_version.h"

namespace {

using testsupport::FakeToolkit;
using testsupport::FakeWindow;

constexpr platform::Color kLime = platform::RgbColor(0, 255, 0);
constexpr platform::Color kRed = platform::RgbColor(255, 0, 0);
constexpr long long kMsPerDay = 86400000;

class FormTest : public testsupport::FakeServicesTest {
  protected:
    void SetUp() override {
        FakeServicesTest::SetUp();
        system().now = platform::LocalTime{2024, 3, 10, 0, 12, 0, 0, 0};

        context().CreateScriptRegistry();
        context().ErrorList = std::make_unique<core::TStringList>();
        context().ConfigList = std::make_unique<core::TStringList>();
        context().MacroList = std::make_unique<core::TStringList>();

        context().UserName = "jsmith";
        context().MachineName = "WS01";
        context().FullName = "John Smith";
        context().GlobalDir = At("GLOBAL") + "\\";
        context().ProcessOrder = "*";
        context().NoticeFile = At("NOTICE.RTF");
        application_ = std::make_unique<app::TApplication>(toolkit());
        application_->SetTitle(app::kApplicationTitle);
    }
    void TearDown() override {
        application_.reset();
        PlatformTest::TearDown();
    }

    // Creates the window and runs the application: show, then `loop`.
    FakeWindow& Run(std::function<void(FakeWindow&)> loop = {}) {
        toolkit().loop = std::move(loop);
        application_->CreateLoginForm(context());
        FakeWindow& window = *toolkit().window;
        application_->Run();
        return window;
    }

    // A news file modified at 2024-03-10 00:00:00 + `offsetSeconds`, read
    // `days` days after that instant.
    void NewsWrittenDaysAgo(double days, int offsetSeconds = 0) {
        WriteFile(At("NOTICE.RTF"), "{\\rtf1 News}");
        files().writeTimes[At("NOTICE.RTF")] = {2024, 3, 10, 0, 0, offsetSeconds};
        const long long ms = static_cast<long long>(days * kMsPerDay) + offsetSeconds * 1000LL;
        const long long dayIndex = ms >= 0 ? ms / kMsPerDay : -((-ms + kMsPerDay - 1) / kMsPerDay);
        long long rest = ms - dayIndex * kMsPerDay;
        platform::LocalTime& now = *system().now;
        now.year = 2024;
        now.month = 3;
        now.day = 10 + static_cast<int>(dayIndex);
        now.hour = static_cast<int>(rest / 3600000);
        rest %= 3600000;
        now.minute = static_cast<int>(rest / 60000);
        rest %= 60000;
        now.second = static_cast<int>(rest / 1000);
        now.millisecond = static_cast<int>(rest % 1000);
    }

    std::unique_ptr<app::TApplication> application_;
};

TEST_F(FormTest, ShowFillsTheWindowRunsTheScriptAndOnlyThenPutsItOnTheScreen) {
    WriteFile(At("GLOBAL\\_DEFAULT.DAT"), "; first\r\n; second\r\n");
    context().ConfigList->Add("Process=*");
    context().MacroList->Add("Home=H:");

    FakeWindow& window = Run();

    EXPECT_EQ(window.Control("lUName").text, "jsmith");
    EXPECT_EQ(window.Control("lMName").text, "WS01");
    EXPECT_EQ(window.Control("lUFName").text, "John Smith");
    EXPECT_EQ(window.Control("lDTstring").text, logon::CurrentDateTimeText(context()));
    EXPECT_EQ(window.Control("lDTstring").text, "Sun, Mar 10, 2024 12:00 PM");
    // No news file: the heading and the box keep what the layout gives them.
    EXPECT_EQ(window.Control("NewsLabel").text, "News of the Day");
    EXPECT_FALSE(window.Control("NewsLabel").hasBackground);
    EXPECT_EQ(window.Control("NewsOfTheDay").text, "");
    // No errors: no warning and no errors section.
    EXPECT_EQ(window.Control("ErrorStatus").text, "");
    EXPECT_FALSE(window.Control("ErrorStatus").hasBackground);
    EXPECT_EQ(window.Control("mCodeList").lines,
              (std::vector<std::string>{";---" + At("GLOBAL\\_DEFAULT.DAT"), "; first", "; second",
                                        "---- CONFIG FILE ----", "Process=*",
                                        "---- MACROS FILE ----", "Home=H:"}));
    EXPECT_FALSE(window.Control("mCodeList").visible);
    EXPECT_TRUE(window.Control("NewsOfTheDay").visible);

    // The identity first, in its order; the list after the run; the window is
    // centred and shown after everything, and then the loop runs.
    const std::vector<size_t> order = {IndexOf("SetText lUName jsmith"),
                                       IndexOf("SetText lMName WS01"),
                                       IndexOf("SetText lUFName John Smith"),
                                       IndexOf("SetLines mCodeList"),
                                       IndexOf("Hide mCodeList"),
                                       IndexOf("Show NewsOfTheDay"),
                                       IndexOf("CenterOnScreen"),
                                       IndexOf("ShowWindow"),
                                       IndexOf("RunEventLoop")};
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    EXPECT_LT(order.back(), toolkit().log.size());
    EXPECT_TRUE(toolkit().boxes.empty());
    // The whole list is given to the box at once: each setting of a window
    // list box's text measures every line again.
    const auto& log = toolkit().log;
    EXPECT_EQ(std::count(log.begin(), log.end(), "SetLines mCodeList"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "AddLines mCodeList"), 0);
}

TEST_F(FormTest, ErrorsGiveTheRedWarningAndTheirOwnSection) {
    context().AddError("Failed to load C:\\RUN.INI");
    context().ConfigList->Add("Notice=N.RTF");

    FakeWindow& window = Run();

    EXPECT_EQ(window.Control("ErrorStatus").text,
              "Possible problem, see administrator, note machine name and time");
    EXPECT_TRUE(window.Control("ErrorStatus").hasBackground);
    EXPECT_EQ(window.Control("ErrorStatus").background, kRed);
    EXPECT_EQ(window.Control("mCodeList").lines,
              (std::vector<std::string>{"---- ERRORS ----", "Failed to load C:\\RUN.INI",
                                        "---- CONFIG FILE ----", "Notice=N.RTF",
                                        "---- MACROS FILE ----"}));
}

struct AgeCase {
    double days;
    const char* heading;
    bool lime;
};

TEST_F(FormTest, NewsHeadingAndColourFollowTheRoundedAge) {
    const AgeCase cases[] = {
        {0.4, "NEWS OF THE DAY", true},
        {0.5, "NEWS OF THE DAY", true},  // a half goes to the even neighbour, 0
        {1.2, "News of the Day (1 days old)", true},
        {1.5, "News of the Day (2 days old)", true},
        {2.5, "News of the Day (2 days old)", true},
        {2.6, "News of the Day (3 days old)", false},
        {3.5, "News of the Day (4 days old)", false},
        {-1.0, "NEWS OF THE DAY", true},  // modified in the future
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.days);
        TearDown();
        SetUp();
        NewsWrittenDaysAgo(c.days);
        FakeWindow& window = Run();
        EXPECT_EQ(window.Control("NewsLabel").text, c.heading);
        EXPECT_EQ(window.Control("NewsLabel").hasBackground, c.lime);
        if (c.lime) {
            EXPECT_EQ(window.Control("NewsLabel").background, kLime);
        }
        EXPECT_EQ(window.Control("NewsOfTheDay").text, "{\\rtf1 News}");
    }
}

TEST(NewsAgeTest, CountsAcrossMonthsAndLeapDaysAtTwoSecondResolution) {
    // 61.5 days across a leap February: the half goes to the even 62.
    EXPECT_EQ(app::NewsAgeDays({2024, 3, 2, 6, 11, 0, 0, 0}, {2023, 12, 31, 23, 0, 0}), 62);
    // A modification at an odd second counts from the even second before it:
    // half a day and one second is more than a half.
    EXPECT_EQ(app::NewsAgeDays({2024, 3, 10, 0, 12, 0, 1, 0}, {2024, 3, 10, 0, 0, 1}), 1);
    EXPECT_EQ(app::NewsAgeDays({2024, 3, 10, 0, 12, 0, 0, 0}, {2024, 3, 10, 0, 0, 0}), 0);
    // Milliseconds of the present count.
    EXPECT_EQ(app::NewsAgeDays({2024, 3, 10, 0, 12, 0, 0, 1}, {2024, 3, 10, 0, 0, 0}), 1);
    EXPECT_EQ(app::NewsAgeDays({2024, 3, 8, 0, 12, 0, 0, 0}, {2024, 3, 10, 0, 0, 0}), -2);
}

TEST_F(FormTest, NewsThatCannotBeOpenedIsReportedAndSkipsTheRun) {
    WriteFile(At("GLOBAL\\_DEFAULT.DAT"), "; never run\r\n");
    files().locked.insert(At("NOTICE.RTF"));

    FakeWindow& window = Run([](FakeWindow& w) {
        w.Tick();
        w.Click("Continue");
    });

    ASSERT_EQ(toolkit().boxes.size(), 1u);
    EXPECT_EQ(toolkit().boxes[0].first, "Tarnwick Executor");
    EXPECT_EQ(toolkit().boxes[0].second, "Cannot open file " + At("NOTICE.RTF") + ".");
    // The identity is there, nothing after the failing step ran.
    EXPECT_EQ(window.Control("lUName").text, "jsmith");
    EXPECT_EQ(window.Control("NewsLabel").text, "News of the Day");
    EXPECT_FALSE(Logged("SetLines mCodeList"));
    EXPECT_EQ(context().CodeList, nullptr);
    // The window is still centred and shown, and the button works as usual.
    EXPECT_LT(IndexOf("MessageBox [Tarnwick Executor] Cannot open file " + At("NOTICE.RTF") + "."),
              IndexOf("CenterOnScreen"));
    EXPECT_TRUE(Logged("ShowWindow"));
    EXPECT_EQ(window.Control("Continue").text, "Press to continue");
    EXPECT_TRUE(window.closed);
}

TEST_F(FormTest, NewsThatCannotBeReadEvenAsPlainTextFailsToLoadTheStream) {
    WriteFile(At("NOTICE.RTF"), "not rich text");
    toolkit().loadRichTextResult = 13;

    Run();

    ASSERT_EQ(toolkit().boxes.size(), 1u);
    EXPECT_EQ(toolkit().boxes[0].second, "Failed to Load Stream.");
    EXPECT_EQ(context().CodeList, nullptr);
    EXPECT_TRUE(Logged("ShowWindow"));
}

TEST_F(FormTest, AFailureThatEscapesTheRunIsReportedAndEndsTheHandler) {
    // The global script file is there but cannot be opened.
    files().locked.insert(At("GLOBAL\\_DEFAULT.DAT"));

    FakeWindow& window = Run();

    ASSERT_EQ(toolkit().boxes.size(), 1u);
    EXPECT_EQ(toolkit().boxes[0].first, "Tarnwick Executor");
    EXPECT_EQ(toolkit().boxes[0].second, "Cannot open file " + At("GLOBAL\\_DEFAULT.DAT") + ".");
    EXPECT_FALSE(Logged("SetLines mCodeList"));
    EXPECT_EQ(window.Control("ErrorStatus").text, "");
    EXPECT_TRUE(Logged("ShowWindow"));
}

TEST_F(FormTest, ButtonIsInertUntilTheTickAndThenClosesTheWindow) {
    FakeWindow& window = Run([](FakeWindow& w) {
        w.Click("Continue");  // before the tick: nothing
        EXPECT_FALSE(w.closed);
        EXPECT_EQ(w.Control("Continue").text,
                  "Tarnwick " TARNWICK_VERSION " - your login script is running");
        w.Tick();
        EXPECT_EQ(w.Control("Continue").text, "Press to continue");
        EXPECT_FALSE(w.timerRunning);
        w.Tick();  // a stopped timer never ticks again
        w.Click("Continue");
    });
    EXPECT_TRUE(window.closed);
    EXPECT_EQ(std::count(toolkit().log.begin(), toolkit().log.end(), "StopTimer"), 1);
    EXPECT_EQ(std::count(toolkit().log.begin(), toolkit().log.end(), "Close"), 1);
}

TEST_F(FormTest, DoubleClicksToggleTheNewsAndNeverShowTheDiagnostics) {
    Run([this](FakeWindow& w) {
        w.DoubleClick();
        EXPECT_FALSE(w.Control("NewsOfTheDay").visible);
        EXPECT_FALSE(w.Control("mCodeList").visible);  // the news area is empty
        EXPECT_TRUE(context().NewsHidden);
        w.DoubleClick();
        EXPECT_TRUE(w.Control("NewsOfTheDay").visible);
        EXPECT_FALSE(context().NewsHidden);
        w.Tick();  // the toggle is independent of the button's state
        w.DoubleClick();
        EXPECT_FALSE(w.Control("NewsOfTheDay").visible);
        EXPECT_FALSE(w.Control("mCodeList").visible);
    });
}

TEST_F(FormTest, AFailingTimerHandlerIsReportedAndLeavesTheButtonInert) {
    FakeWindow& window = Run([this](FakeWindow& w) {
        toolkit().failCall = "SetText Continue";
        w.Tick();
        w.Click("Continue");
    });
    ASSERT_EQ(toolkit().boxes.size(), 1u);
    EXPECT_EQ(toolkit().boxes[0].second, "SetCaption failed on Continue (error 5).");
    EXPECT_FALSE(window.closed);
}

}  // namespace
