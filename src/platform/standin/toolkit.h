// The stand-in's window toolkit: the window drawn as text.
//
// Without a terminal the window's state is printed as a block (see
// toolkit_render.h) each time it changes while the window is on the screen.
// On a terminal it is drawn as a window (see toolkit_screen.h) and redrawn in
// place when it changes; a terminal too small for it gets the list of its
// controls instead. Unless standard input is a terminal too, a button is
// pressed once it has a click action and standard input has ended (read to
// its end without ever blocking the event loop). With both, the window is
// live: Enter or a click on the button presses it, `n` or a double-click
// elsewhere stands for a double-click on the window. Failure reports go to
// standard error as "[<caption>] <text>", and on a terminal under the window.
//
// The timer runs in real time. Only the stand-in's state directory can
// shorten it, for tests: <state>/toolkit.ini with a line TimerScale=<factor>
// (0.01 makes ten seconds a tenth of one).
#pragma once
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/standin/toolkit_render.h"
#include "platform/standin/toolkit_screen.h"
#include "platform/toolkit.h"

namespace platform::standin {

struct ToolkitOptions {
    int inputFd = 0;
    std::FILE* out = stdout;
    std::FILE* err = stderr;
    bool live = false;  // drawn live on a terminal, read key by key
    // Set when `out` is a terminal: the window drawn as a window, in the
    // terminal's style.
    std::optional<TerminalStyle> screen;
    double timerScale = 1.0;
};

// Sets `live` and `screen` for these descriptors: the window is drawn on
// `outputFd` when it is a terminal (in the style $TERM and $NO_COLOR ask
// for), and live when `inputFd` is one as well.
void DetectTerminal(int inputFd, int outputFd, ToolkitOptions* options);

// The options of the running process: the terminal of standard input and
// output (DetectTerminal); the timer scale from <state>/toolkit.ini. A bad line there
// is reported on standard error and changes nothing.
ToolkitOptions ProcessToolkitOptions(const std::filesystem::path& stateDir);

// Reads TimerScale from a toolkit.ini text; `warnings` gets one line per bad line.
double ParseTimerScale(const std::string& text, std::vector<std::string>* warnings);

class StandinWindow;

class StandinToolkit : public Toolkit {
  public:
    explicit StandinToolkit(ToolkitOptions options);
    ~StandinToolkit() override;

    Win32Error SetApplicationTitle(const std::string& title) override;
    Win32Error CreateMainWindow(const WindowSpec& spec, WindowEvents* events,
                                std::unique_ptr<Window>* window) override;
    Win32Error RunEventLoop() override;
    Win32Error ShowMessageBox(const std::string& caption, const std::string& text) override;

    const std::string& title() const { return title_; }

    // Called by the window.
    void WindowChanged();
    void WindowDestroyed(StandinWindow* window);

  private:
    using Clock = std::chrono::steady_clock;

    void Flush();
    bool DrawOnScreen();
    void Dispatch(const std::function<void()>& event);
    bool PressActiveButton();
    void HandleInput(const char* data, size_t size);
    void HandleMouse(int button, int row, bool press);

    ToolkitOptions options_;
    std::string title_;
    StandinWindow* main_ = nullptr;
    int dispatching_ = 0;
    std::string lastDrawn_;
    std::vector<std::string> reports_;  // shown under the live window
    std::vector<DrawnLine> liveLines_;  // what the terminal shows, for clicks
    std::vector<std::string> screen_;   // the lines the terminal shows the window in
    std::string pendingInput_;
    Clock::time_point lastClick_{};
    bool inputEnded_ = false;
};

class StandinWindow : public Window {
  public:
    StandinWindow(StandinToolkit& toolkit, const WindowSpec& spec, WindowEvents* events,
                  std::chrono::steady_clock::duration timerInterval);
    ~StandinWindow() override;

    Win32Error SetText(ControlId control, const std::string& text) override;
    Win32Error SetBackground(ControlId control, Color color) override;
    Win32Error SetVisible(ControlId control, bool visible) override;
    Win32Error LoadRichText(ControlId control, const std::string& data) override;
    Win32Error SetLines(ControlId control, const std::vector<std::string>& lines) override;
    Win32Error AddLines(ControlId control, const std::vector<std::string>& lines) override;
    Win32Error SetClickAction(ControlId control, std::function<void()> action) override;
    Win32Error StopTimer() override;
    Win32Error CenterOnScreen() override { return 0; }
    Win32Error Show() override;
    Win32Error Close() override;

    const WindowState& state() const { return state_; }
    const WindowSpec& layout() const { return layout_; }
    bool onScreen() const { return onScreen_; }
    bool closed() const { return closed_; }
    WindowEvents* events() const { return events_; }

    // The timer: armed from creation until stopped; each tick re-arms it
    // one interval later.
    bool timerArmed() const { return timerArmed_; }
    std::chrono::steady_clock::time_point timerDue() const { return timerDue_; }
    void TimerTicked();

    // The first button with a click action, and how often actions were set.
    ControlState* ActiveButton();
    unsigned actionGeneration() const { return actionGeneration_; }

  private:
    ControlState* Find(ControlId control);  // null for an identifier of no control
    ControlState* Find(ControlId control, ControlKind kind);
    void Changed();
    // Applies `change` to the control `c` and shows the window again;
    // refuses a null `c` (no such control, or not of the kind asked for).
    template <typename Change>
    uint32_t Update(ControlState* c, Change change);

    StandinToolkit& toolkit_;
    WindowEvents* events_;
    WindowSpec layout_;
    WindowState state_;
    std::chrono::steady_clock::duration timerInterval_;
    std::chrono::steady_clock::time_point timerDue_;
    bool timerArmed_ = false;
    bool onScreen_ = false;
    bool closed_ = false;
    unsigned actionGeneration_ = 0;
};

}  // namespace platform::standin
