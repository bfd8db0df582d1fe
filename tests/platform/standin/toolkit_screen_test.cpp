// The login window drawn as a window on a terminal.
#include "platform/standin/toolkit_screen.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/tarnwick_form.h"
#include "platform/standin/toolkit.h"

namespace {

using platform::standin::DrawScreen;
using platform::standin::ScreenUpdate;
using platform::standin::TerminalStyle;
using platform::standin::WindowState;

constexpr TerminalStyle kPlain{true, false};
constexpr TerminalStyle kColours{true, true};
constexpr TerminalStyle kDumb{false, false};

void Set(WindowState& state, const std::string& name, const std::string& text) {
    for (auto& control : state.controls) {
        if (control.name == name) {
            control.text = text;
        }
    }
}

// The login window after its show handler: the identity (an empty full
// name), fresh news longer than its box, the warning.
WindowState ShownLoginWindow() {
    WindowState state = platform::standin::InitialState(app::LoginWindowLayout());
    Set(state, "lUName", "jsmith");
    Set(state, "lMName", "WS01");
    Set(state, "lDTstring", "Tue, Dec 8, 2026 11:44 AM");
    Set(state, "NewsLabel", "NEWS OF THE DAY");
    Set(state, "NewsOfTheDay",
        "News\r\nThe file server FILES01 will be down on Saturday.\r\n\tIndented\r\n"
        "Caf\xC3\xA9 \x1B[2J\r\n5\r\n6\r\n7\r\n8");
    Set(state, "ErrorStatus", "Possible problem, see administrator, note machine name and time");
    Set(state, "Continue", "Tarnwick 9.9.9 - your login script is running");
    for (auto& control : state.controls) {
        if (control.name == "lUName" || control.name == "lUFName") {
            control.background = platform::RgbColor(255, 255, 255);
        } else if (control.name == "NewsLabel") {
            control.background = platform::RgbColor(0, 255, 0);
        } else if (control.name == "ErrorStatus") {
            control.background = platform::RgbColor(255, 0, 0);
        }
    }
    return state;
}

std::vector<std::string> Texts(const std::vector<platform::standin::DrawnLine>& lines) {
    std::vector<std::string> texts;
    for (const auto& line : lines) {
        texts.push_back(line.text);
    }
    return texts;
}

// 397 x 362 pixels are 50 x 23 cells; evenly spaced lines stay even; the
// warning grows into the blank row below it; the button cuts its text.
TEST(ScreenTest, TheLoginWindowKeepsItsLayoutInCells) {
    const auto lines = DrawScreen(app::LoginWindowLayout(), ShownLoginWindow(), kPlain);
    const std::vector<std::string> expected = {
        "┌─ Login Script ───────────────────────────────────┐",
        "│   Login Name                            jsmith   │",
        "│                                                  │",
        "│   Full Name                                      │",
        "│                                                  │",
        "│   Machine Name                            WS01   │",
        "│                                                  │",
        "│   Date and Time      Tue, Dec 8, 2026 11:44 AM   │",
        "│                                                  │",
        "│                 NEWS OF THE DAY                  │",
        "│                                                  │",
        "│   ┌──────────────────────────────────────────┐   │",
        "│   │News                                     ▲│   │",
        "│   │The file server FILES01 will be down on  ░│   │",
        "│   │Saturday.                                ░│   │",
        "│   │      Indented                           ░│   │",
        "│   │Café �[2J                                ░│   │",
        "│   │5                                        ░│   │",
        "│   │6                                        ▼│   │",
        "│   └──────────────────────────────────────────┘   │",
        "│                                                  │",
        "│    Possible problem, see administrator, note     │",
        "│              machine name and time               │",
        "│   [Tarnwick 9.9.9 - your login script is run…]   │",
        "└──────────────────────────────────────────────────┘",
    };
    EXPECT_EQ(Texts(lines), expected);
    EXPECT_EQ(lines[23].control, 12);  // a click on that row is one on the button
    EXPECT_EQ(lines[22].control, -1);
}

TEST(ScreenTest, ColoursWhereTheTerminalHasThemAsciiWhereItIsDumb) {
    const auto coloured = Texts(DrawScreen(app::LoginWindowLayout(), ShownLoginWindow(), kColours));
    struct Case {
        size_t row;
        const char* drawn;
    } cases[] = {
        {0, "\x1b[0;1;97;44m┌─ Login Script ─"},           // the caption bar
        {1, "\x1b[0;30;107mjsmith\x1b[0;30;47m"},          // white value on the face
        {3, "\x1b[0;30;107m \x1b[0;30;47m   │"},           // an empty value: one blank
        {9, "\x1b[0;1;30;102m              NEWS OF THE"},  // lime, bold
        {12, "\x1b[0;30;107mNews                                     ▲"},  // more than fits
        {21, "\x1b[0;30;101m Possible problem"},                           // red, on both rows
        {22, "\x1b[0;30;101m           machine name"},
    };
    for (const auto& c : cases) {
        EXPECT_NE(coloured[c.row].find(c.drawn), std::string::npos)
            << c.row << ": " << coloured[c.row];
    }

    WindowState shortNews = ShownLoginWindow();
    Set(shortNews, "NewsOfTheDay", "Short");
    const auto dimmed = Texts(DrawScreen(app::LoginWindowLayout(), shortNews, kColours));
    EXPECT_NE(dimmed[12].find("\x1b[0;90;107m▲"), std::string::npos) << dimmed[12];

    const auto dumb = Texts(DrawScreen(app::LoginWindowLayout(), ShownLoginWindow(), kDumb));
    EXPECT_EQ(dumb[0].substr(0, 19), "+- Login Script ---");
    EXPECT_EQ(dumb[12], "|   |News                                     ^|   |");
    for (const auto& line : dumb) {
        EXPECT_EQ(line.find_first_of("\x1b\xE2"), std::string::npos) << line;
    }
}

TEST(ScreenTest, TheStyleFollowsTermAndNoColor) {
    struct Case {
        const char* term;
        const char* noColor;
        bool escapes, colours;
    } cases[] = {
        {"xterm-256color", nullptr, true, true},
        {nullptr, nullptr, true, true},
        {"dumb", nullptr, false, false},
        {"xterm", "1", true, false},
        {"xterm", "", true, true},  // an empty NO_COLOR asks for nothing
    };
    for (const auto& c : cases) {
        const TerminalStyle style = platform::standin::StyleForTerminal(c.term, c.noColor);
        EXPECT_EQ(style.escapes, c.escapes) << (c.term ? c.term : "-");
        EXPECT_EQ(style.colours, c.colours) << (c.noColor ? c.noColor : "-");
    }
}

// Wide characters take two columns, a combining mark none, and a line breaks
// at a blank or, for a word longer than the line, at the width.
TEST(ScreenTest, LinesBreakByColumnsNotBytes) {
    EXPECT_EQ(platform::standin::ScreenLines("バー ab e\xCC\x81tude", 7),
              (std::vector<std::string>{"バー ab", "e\xCC\x81tude"}));
    EXPECT_EQ(platform::standin::ScreenLines("abcdefgh ij\nk", 3),
              (std::vector<std::string>{"abc", "def", "gh", "ij", "k"}));
    EXPECT_EQ(platform::standin::ScreenLines("バ", 1), (std::vector<std::string>{"バ"}));
}

TEST(ScreenTest, ChangesAreRedrawnInPlaceRowByRow) {
    const std::vector<std::string> first = {"a", "b", "c"};
    struct Case {
        std::vector<std::string> before, after;
        TerminalStyle style;
        std::string written;
    } cases[] = {
        {{}, first, kPlain, "\x1b[H\x1b[2Ja\nb\nc\x1b[4;1H"},
        {first, first, kPlain, ""},
        {first, {"a", "B", "c", "d"}, kPlain, "\x1b[2;1HB\x1b[K\x1b[4;1Hd\x1b[K\x1b[5;1H"},
        {first, {"a"}, kPlain, "\x1b[2;1H\x1b[J"},
        {first, {"a", "B", "c"}, kDumb, "a\nB\nc\n"},  // a teletype gets it all again
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScreenUpdate(c.before, c.after, c.style), c.written);
    }
}

// The toolkit on a pseudo-terminal: the window is drawn there, redrawn in
// place, and replaced by the list of controls on a terminal too small for it.
class PseudoTerminalTest : public ::testing::Test {
  protected:
    void Open(unsigned short columns, unsigned short rows) {
        winsize size{rows, columns, 0, 0};
        ASSERT_EQ(::openpty(&master_, &slave_, nullptr, nullptr, &size), 0);
        ::fcntl(master_, F_SETFL, O_NONBLOCK);
        out_ = ::fdopen(::dup(slave_), "w");
    }
    void TearDown() override {
        window_.reset();
        toolkit_.reset();
        if (out_) {
            std::fclose(out_);
        }
        for (int fd : {master_, slave_}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    platform::Window& Show() {
        platform::standin::ToolkitOptions options;
        options.out = out_;
        options.screen = kPlain;
        toolkit_ = std::make_unique<platform::standin::StandinToolkit>(options);
        EXPECT_EQ(toolkit_->CreateMainWindow(app::LoginWindowLayout(), nullptr, &window_), 0u);
        EXPECT_EQ(window_->Show(), 0u);
        return *window_;
    }
    std::string Read() {
        std::string text;
        char buffer[4096];
        pollfd ready{master_, POLLIN, 0};
        while (::poll(&ready, 1, 100) > 0) {
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            text.append(buffer, static_cast<size_t>(n));
        }
        return text;
    }

    int master_ = -1, slave_ = -1;
    std::FILE* out_ = nullptr;
    std::unique_ptr<platform::standin::StandinToolkit> toolkit_;
    std::unique_ptr<platform::Window> window_;
};

TEST_F(PseudoTerminalTest, TheWindowIsDrawnThenOnlyItsChangedRowsAreRewritten) {
    Open(80, 30);
    platform::Window& window = Show();
    const std::string first = Read();
    EXPECT_EQ(first.rfind("\x1b[H\x1b[2J┌─ Login Script ─", 0), 0u) << first;

    EXPECT_EQ(window.SetText(12, "Press to continue"), 0u);
    EXPECT_EQ(Read(),
              "\x1b[24;1H│   [            Press to continue             ]   │\x1b[K\x1b[26;1H");
}

TEST_F(PseudoTerminalTest, ATerminalTooSmallForTheWindowGetsTheList) {
    Open(40, 30);
    Show();
    EXPECT_NE(Read().find("--- Login Script ---"), std::string::npos);
}

TEST_F(PseudoTerminalTest, TheWindowIsDrawnWhenStandardOutputIsATerminal) {
    Open(80, 30);
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const char* term = std::getenv("TERM");
    const std::string saved = term ? term : "";
    ::setenv("TERM", "dumb", 1);
    struct Case {
        int input, output;
        bool screen, live;
    } cases[] = {{pipe[0], slave_, true, false},
                 {slave_, slave_, true, true},
                 {slave_, pipe[1], false, false}};
    for (const auto& c : cases) {
        platform::standin::ToolkitOptions options;
        platform::standin::DetectTerminal(c.input, c.output, &options);
        EXPECT_EQ(options.screen.has_value(), c.screen);
        EXPECT_EQ(options.live, c.live);
        EXPECT_FALSE(options.screen && options.screen->escapes);
    }
    if (term) {
        ::setenv("TERM", saved.c_str(), 1);
    } else {
        ::unsetenv("TERM");
    }
    ::close(pipe[0]);
    ::close(pipe[1]);
}

}  // namespace
