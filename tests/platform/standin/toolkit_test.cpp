#include "platform/standin/toolkit.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/standin/toolkit_render.h"
#include "support/standin/scratch_standin.h"

namespace {

using platform::ControlKind;
using platform::standin::StandinToolkit;
using platform::standin::ToolkitOptions;

class Events : public platform::WindowEvents {
  public:
    void OnDoubleClick() override {
        log.push_back("double-click");
        if (onDoubleClick) {
            onDoubleClick();
        }
    }
    void OnTimer() override {
        log.push_back("tick");
        if (onTimer) {
            onTimer();
        }
    }
    std::function<void()> onDoubleClick, onTimer;
    std::vector<std::string> log;
};

enum : platform::ControlId { kHeading, kValue, kNews, kList, kGo };

platform::WindowSpec Spec(unsigned timerMs = 10000) {
    platform::WindowSpec spec;
    spec.caption = "Caption";
    spec.timerIntervalMs = timerMs;
    auto add = [&](const char* name, ControlKind kind, const char* text) {
        platform::ControlSpec control;
        control.name = name;
        control.kind = kind;
        control.text = text;
        spec.controls.push_back(control);
        return &spec.controls.back();
    };
    add("Heading", ControlKind::Label, "Hello");
    add("Value", ControlKind::Label, "")->background = platform::RgbColor(255, 255, 255);
    add("News", ControlKind::RichEdit, "");
    add("List", ControlKind::Memo, "")->visible = false;
    add("Go", ControlKind::Button, "Wait");
    return spec;
}

class StandinToolkitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        out_ = std::tmpfile();
        err_ = std::tmpfile();
        ASSERT_EQ(::pipe(input_), 0);
    }
    void TearDown() override {
        window_.reset();
        toolkit_.reset();
        std::fclose(out_);
        std::fclose(err_);
        CloseInput();
        if (input_[0] >= 0) {
            ::close(input_[0]);
        }
    }
    StandinToolkit& Toolkit(bool live = false, double scale = 0.001) {
        ToolkitOptions options;
        options.inputFd = input_[0];
        options.out = out_;
        options.err = err_;
        options.live = live;
        options.timerScale = scale;
        toolkit_ = std::make_unique<StandinToolkit>(options);
        return *toolkit_;
    }
    platform::Window& Create(const platform::WindowSpec& spec = Spec()) {
        EXPECT_EQ(toolkit_->CreateMainWindow(spec, &events_, &window_), 0u);
        return *window_;
    }
    // Gives the button the action that logs "click" and closes `window`.
    platform::Win32Error ClickCloses(platform::Window& window) {
        return window.SetClickAction(kGo, [this, &window] {
            events_.log.push_back("click");
            EXPECT_EQ(window.Close(), 0u);
        });
    }
    void CloseInput() {
        if (input_[1] >= 0) {
            ::close(input_[1]);
            input_[1] = -1;
        }
    }
    void Input(const std::string& bytes) {
        ASSERT_EQ(::write(input_[1], bytes.data(), bytes.size()),
                  static_cast<ssize_t>(bytes.size()));
    }
    static std::string Read(std::FILE* file) {
        std::fflush(file);
        std::rewind(file);
        std::string text;
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            text.append(buffer, n);
        }
        std::fseek(file, 0, SEEK_END);
        return text;
    }
    static int Blocks(const std::string& text) {
        int count = 0;
        for (size_t at = text.find("--- Caption ---"); at != std::string::npos;
             at = text.find("--- Caption ---", at + 1)) {
            ++count;
        }
        return count;
    }

    std::FILE* out_ = nullptr;
    std::FILE* err_ = nullptr;
    int input_[2] = {-1, -1};
    Events events_;
    std::unique_ptr<StandinToolkit> toolkit_;
    std::unique_ptr<platform::Window> window_;
};

TEST_F(StandinToolkitTest, DrawsTheWindowAsABlockOncePerChangeWhileItIsOnTheScreen) {
    Toolkit();
    platform::Window& window = Create();
    EXPECT_EQ(window.SetText(kValue, "Caf\xC3\xA9 \"q\" \\ end"), 0u);
    EXPECT_EQ(window.SetBackground(kHeading, platform::RgbColor(0, 255, 0)), 0u);
    EXPECT_EQ(window.LoadRichText(kNews, "{\\rtf1{\\fonttbl{\\f0 Arial;}}x\\par y}"), 0u);
    EXPECT_EQ(window.AddLines(kList, {"one", "  two"}), 0u);
    EXPECT_EQ(Read(out_), "");  // nothing is drawn before the window is shown

    EXPECT_EQ(window.Show(), 0u);
    EXPECT_EQ(Read(out_),
              "--- Caption ---\n"
              "Heading: \"Hello\" background=#00FF00\n"
              "Value: \"Caf\xC3\xA9 \\\"q\\\" \\\\ end\" background=#FFFFFF\n"
              "News: \"x\\ny\"\n"
              "List: \"\" hidden\n"
              "    one\n"
              "      two\n"
              "Go: \"Wait\"\n"
              "--- end ---\n");

    EXPECT_EQ(window.SetText(kGo, "Wait"), 0u);  // no change, no block
    EXPECT_EQ(Blocks(Read(out_)), 1);
    EXPECT_EQ(window.SetVisible(kNews, false), 0u);
    const std::string text = Read(out_);
    EXPECT_EQ(Blocks(text), 2);
    EXPECT_NE(text.find("News: \"x\\ny\" hidden\n"), std::string::npos);
}

TEST_F(StandinToolkitTest, NewsThatIsNotRtfIsShownWholeAsPlainText) {
    Toolkit();
    platform::Window& window = Create();
    EXPECT_EQ(window.LoadRichText(kNews, std::string("line1\r\nline2\tx\0rest", 19)), 0u);
    EXPECT_EQ(window.Show(), 0u);
    EXPECT_NE(Read(out_).find("News: \"line1\\nline2\\tx\\x00rest\"\n"), std::string::npos)
        << Read(out_);
}

TEST_F(StandinToolkitTest, PressesTheActiveButtonOnceInputHasEnded) {
    Toolkit();
    platform::Window& window = Create();
    events_.onTimer = [&] {
        EXPECT_EQ(window.SetText(kGo, "Press"), 0u);
        EXPECT_EQ(ClickCloses(window), 0u);
        EXPECT_EQ(window.StopTimer(), 0u);
    };
    EXPECT_EQ(window.Show(), 0u);
    CloseInput();

    EXPECT_EQ(toolkit_->RunEventLoop(), 0u);

    EXPECT_EQ(events_.log, (std::vector<std::string>{"tick", "click"}));
    const std::string text = Read(out_);
    EXPECT_EQ(Blocks(text), 2);  // shown, then the tick's change; closing draws nothing
    EXPECT_NE(text.find("Go: \"Press\""), std::string::npos);
}

TEST_F(StandinToolkitTest, WaitsForTheEndOfInputBeforePressing) {
    Toolkit();
    platform::Window& window = Create();
    int ticks = 0;
    events_.onTimer = [&] {
        if (++ticks == 1) {
            EXPECT_EQ(ClickCloses(window), 0u);
            Input("ignored input\n");
        } else {
            CloseInput();
            EXPECT_EQ(window.StopTimer(), 0u);
        }
    };
    EXPECT_EQ(window.Show(), 0u);

    EXPECT_EQ(toolkit_->RunEventLoop(), 0u);

    EXPECT_EQ(events_.log, (std::vector<std::string>{"tick", "tick", "click"}));
}

TEST_F(StandinToolkitTest, LiveInputPressesTheButtonAndTogglesByKeyOrDoubleClick) {
    Toolkit(true, 1000.0);  // the timer never comes into it
    platform::Window& window = Create();
    EXPECT_EQ(ClickCloses(window), 0u);
    EXPECT_EQ(window.Show(), 0u);
    // Drawn live, without the hidden box: caption, Heading, Value, News, Go.
    // "n", a double-click on Heading's row, a single click there, then a
    // click on the button's row.
    Input("n\x1b[<0;1;2M\x1b[<0;1;2m\x1b[<0;1;2M\x1b[A\x1b[<0;1;2M\x1b[<0;3;5M");

    EXPECT_EQ(toolkit_->RunEventLoop(), 0u);

    EXPECT_EQ(events_.log, (std::vector<std::string>{"double-click", "double-click", "click"}));
}

TEST_F(StandinToolkitTest, EnterIsInertWithoutAClickAction) {
    Toolkit(true, 0.001);
    platform::Window& window = Create();
    events_.onTimer = [&] {
        EXPECT_EQ(ClickCloses(window), 0u);
        EXPECT_EQ(window.StopTimer(), 0u);
        Input("\r");
    };
    EXPECT_EQ(window.Show(), 0u);
    Input("\r\r");  // before the tick: nothing happens

    EXPECT_EQ(toolkit_->RunEventLoop(), 0u);

    EXPECT_EQ(events_.log, (std::vector<std::string>{"tick", "click"}));
}

TEST_F(StandinToolkitTest, AWindowThatNothingCanCloseEndsTheLoopInsteadOfHanging) {
    Toolkit();
    platform::Window& window = Create(Spec(0));
    EXPECT_EQ(window.Show(), 0u);
    CloseInput();
    EXPECT_NE(toolkit_->RunEventLoop(), 0u);
    EXPECT_NE(Read(err_).find("cannot be closed"), std::string::npos);
}

TEST_F(StandinToolkitTest, MessageBoxesGoToStandardError) {
    Toolkit();
    EXPECT_EQ(toolkit_->ShowMessageBox("Tarnwick Executor", "Cannot open file N\xC3\x89WS.RTF."),
              0u);
    EXPECT_EQ(Read(err_), "[Tarnwick Executor] Cannot open file N\xC3\x89WS.RTF.\n");
    EXPECT_EQ(Read(out_), "");
}

// Script lines and file names reach the box and the reports unchanged; their
// control characters must not reach the terminal as they are.
TEST_F(StandinToolkitTest, ControlCharactersOfBoxLinesAndReportsAreShownEscaped) {
    Toolkit();
    platform::Window& window = Create();
    EXPECT_EQ(window.AddLines(kList, {"\x1B]0;title\x07\x1B[31mred\tx\x7F\\y"}), 0u);
    EXPECT_EQ(window.Show(), 0u);
    EXPECT_NE(Read(out_).find("    \\x1B]0;title\\x07\\x1B[31mred\tx\\x7F\\y\n"), std::string::npos)
        << Read(out_);
    EXPECT_EQ(toolkit_->ShowMessageBox("Application Error", "Exception\nCannot open file \x1B[2J."),
              0u);
    EXPECT_EQ(Read(err_), "[Application Error] Exception\nCannot open file \\x1B[2J.\n");
}

// The window's text is UTF-8: every character shown as it is but the
// control characters, C1 ones too (U+009B starts a terminal command as ESC
// [ does), and a byte that is not UTF-8 shown as U+FFFD.
TEST(ShownTextTest, ControlCharactersEscapedAndBytesThatAreNotUtf8Replaced) {
    const struct {
        std::string text;
        const char* printed;
        const char* quoted;
    } cases[] = {
        {"\xC5\x81ukasz \xE6\x9D\xB1\xE4\xBA\xAC", "\xC5\x81ukasz \xE6\x9D\xB1\xE4\xBA\xAC",
         "\"\xC5\x81ukasz \xE6\x9D\xB1\xE4\xBA\xAC\""},
        {"\xC2\x9B"
         "2J\xC2\x85",
         "\\x9B2J\\x85", "\"\\x9B2J\\x85\""},
        {"a\tb\r\nc\n", "a\tb\\x0D\nc\n", "\"a\\tb\\nc\\n\""},
        {"Caf\xE9 \xC3", "Caf\xEF\xBF\xBD \xEF\xBF\xBD", "\"Caf\xEF\xBF\xBD \xEF\xBF\xBD\""},
        {"\\\"\x7F\r", "\\\"\\x7F\\x0D", "\"\\\\\\\"\\x7F\\r\""},
        {std::string("\0\xC2\xA0", 3), "\\x00\xC2\xA0", "\"\\x00\xC2\xA0\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::standin::PrintableText(c.text), c.printed) << c.text;
        EXPECT_EQ(platform::standin::QuoteText(c.text), c.quoted) << c.text;
    }
}

TEST(TimerScaleTest, ReadsTheScaleAndReportsBadLines) {
    std::vector<std::string> warnings;
    EXPECT_DOUBLE_EQ(
        platform::standin::ParseTimerScale("; tests\r\ntimerscale = 0.01\r\n", &warnings), 0.01);
    EXPECT_TRUE(warnings.empty());
    EXPECT_DOUBLE_EQ(platform::standin::ParseTimerScale(
                         "TimerScale=fast\nTimerScale=-1\nTimerScale=inf\nSpeed=2\n", &warnings),
                     1.0);
    ASSERT_EQ(warnings.size(), 4u);
    EXPECT_NE(warnings[0].find("not \"fast\""), std::string::npos);
    EXPECT_NE(warnings[3].find("unknown setting \"Speed=2\""), std::string::npos);
}

TEST(TimerScaleTest, TheProcessOptionsComeFromTheStateDirectory) {
    const testsupport::ScratchStandin scratch("toolkit");
    EXPECT_DOUBLE_EQ(platform::standin::ProcessToolkitOptions(scratch.dir()).timerScale, 1.0);
    scratch.Write("toolkit.ini", "TimerScale=0.25\n");
    EXPECT_DOUBLE_EQ(platform::standin::ProcessToolkitOptions(scratch.dir()).timerScale, 0.25);
}

}  // namespace
