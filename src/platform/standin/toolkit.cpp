#include "platform/standin/toolkit.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "platform/errors.h"
#include "platform/standin/case_fold.h"
#include "platform/standin/rtf.h"
#include "platform/standin/state.h"
#include "platform/standin/text.h"

namespace platform::standin {

namespace {

constexpr const char* kToolkitIni = "toolkit.ini";
constexpr const char* kTimerScaleKey = "TimerScale";
// Blanks and stray line-end characters around a toolkit.ini line, name or value.
constexpr std::string_view kLineBlanks = " \t\r\n";
constexpr double kMaxTimerScale = 1000.0;
constexpr auto kDoubleClickTime = std::chrono::milliseconds(500);
constexpr size_t kMaxPendingInput = 64;

// The live terminal's saved mode, put back on every way out (also when a
// signal ends the process).
termios g_savedMode;
int g_terminalFd = -1;
int g_outputFd = -1;

constexpr const char* kMouseOn = "\x1b[?1000h\x1b[?1006h";
constexpr const char* kMouseOff = "\x1b[?1006l\x1b[?1000l";
constexpr const char* kClearScreen = "\x1b[H\x1b[2J";
constexpr const char* kLiveHint = "(Enter or click the button: continue; n or double-click: news)";

void RestoreTerminal() {
    if (g_terminalFd >= 0) {
        ::tcsetattr(g_terminalFd, TCSANOW, &g_savedMode);
        if (g_outputFd >= 0) {
            const ssize_t ignored = ::write(g_outputFd, kMouseOff, std::strlen(kMouseOff));
            (void)ignored;
        }
        g_terminalFd = -1;
    }
}

extern "C" void RestoreAndReraise(int signal) {
    RestoreTerminal();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Raw keys and mouse reports from the terminal for as long as it lives; a
// descriptor that is no terminal is left as it is.
class LiveTerminal {
  public:
    LiveTerminal(int input, std::FILE* output) : output_(output) {
        if (::isatty(input) != 1 || ::tcgetattr(input, &g_savedMode) != 0) {
            return;
        }
        termios raw = g_savedMode;
        raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        if (::tcsetattr(input, TCSANOW, &raw) != 0) {
            return;
        }
        g_terminalFd = input;
        g_outputFd = ::fileno(output);
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
            std::signal(signal, RestoreAndReraise);
        }
        std::fputs(kMouseOn, output_);
        std::fflush(output_);
    }
    ~LiveTerminal() {
        std::fflush(output_);
        RestoreTerminal();
    }
    LiveTerminal(const LiveTerminal&) = delete;
    LiveTerminal& operator=(const LiveTerminal&) = delete;

  private:
    std::FILE* output_;
};

}  // namespace

// ---- options ----

double ParseTimerScale(const std::string& text, std::vector<std::string>* warnings) {
    double scale = 1.0;
    ForEachLine(text, [&](std::string_view raw) {
        const std::string_view line = Trim(raw, kLineBlanks);
        if (line.empty() || line[0] == ';' || line[0] == '#' || line[0] == '[') {
            return;
        }
        const auto split = SplitNameValue(line, kLineBlanks);
        if (!split || !SameText(split->name, kTimerScaleKey)) {
            warnings->push_back(std::string(kToolkitIni) + ": unknown setting \"" +
                                std::string(line) + "\" ignored");
            return;
        }
        const std::string value(split->value);
        char* rest = nullptr;
        errno = 0;
        const double parsed = std::strtod(value.c_str(), &rest);
        if (value.empty() || *rest != '\0' || errno != 0 || !std::isfinite(parsed) || parsed < 0 ||
            parsed > kMaxTimerScale) {
            warnings->push_back(std::string(kToolkitIni) + ": " + kTimerScaleKey +
                                " must be a number from 0 to 1000, not \"" + value +
                                "\"; the timer keeps its interval");
            return;
        }
        scale = parsed;
    });
    return scale;
}

void DetectTerminal(int inputFd, int outputFd, ToolkitOptions* options) {
    const bool drawn = ::isatty(outputFd) == 1;
    options->live = drawn && ::isatty(inputFd) == 1;
    options->screen.reset();
    if (drawn) {
        options->screen = StyleForTerminal(std::getenv("TERM"), std::getenv("NO_COLOR"));
    }
}

ToolkitOptions ProcessToolkitOptions(const std::filesystem::path& stateDir) {
    ToolkitOptions options;
    DetectTerminal(STDIN_FILENO, STDOUT_FILENO, &options);
    std::string text;
    if (ReadHostFile(stateDir / kToolkitIni, &text)) {
        std::vector<std::string> warnings;
        options.timerScale = ParseTimerScale(text, &warnings);
        for (const auto& warning : warnings) {
            std::fprintf(stderr, "%s\n", warning.c_str());
        }
    }
    return options;
}

// ---- the window ----

StandinWindow::StandinWindow(StandinToolkit& toolkit, const WindowSpec& spec, WindowEvents* events,
                             std::chrono::steady_clock::duration interval)
    : toolkit_(toolkit),
      events_(events),
      layout_(spec),
      state_(InitialState(spec)),
      timerInterval_(interval) {
    if (spec.timerIntervalMs > 0) {
        timerArmed_ = true;
        timerDue_ = std::chrono::steady_clock::now() + timerInterval_;
    }
}

StandinWindow::~StandinWindow() {
    toolkit_.WindowDestroyed(this);
}

ControlState* StandinWindow::Find(ControlId control) {
    if (control < 0 || static_cast<size_t>(control) >= state_.controls.size()) {
        return nullptr;
    }
    return &state_.controls[static_cast<size_t>(control)];
}

ControlState* StandinWindow::Find(ControlId control, ControlKind kind) {
    ControlState* c = Find(control);
    return c != nullptr && c->kind == kind ? c : nullptr;
}

void StandinWindow::Changed() {
    if (onScreen_) {
        toolkit_.WindowChanged();
    }
}

template <typename Change>
uint32_t StandinWindow::Update(ControlState* c, Change change) {
    if (!c) {
        return kErrorInvalidHandle;
    }
    change(*c);
    Changed();
    return kErrorSuccess;
}

Win32Error StandinWindow::SetText(ControlId control, const std::string& text) {
    ControlState* c = Find(control, ControlKind::Label);
    return Update(c ? c : Find(control, ControlKind::Button),
                  [&text](ControlState& found) { found.text = text; });
}

Win32Error StandinWindow::SetBackground(ControlId control, Color color) {
    return Update(Find(control), [color](ControlState& found) { found.background = color; });
}

Win32Error StandinWindow::SetVisible(ControlId control, bool visible) {
    return Update(Find(control), [visible](ControlState& found) { found.visible = visible; });
}

Win32Error StandinWindow::LoadRichText(ControlId control, const std::string& data) {
    return Update(Find(control, ControlKind::RichEdit), [&data](ControlState& found) {
        if (LooksLikeRtf(data)) {
            found.text = RtfToText(data);
        } else {
            // Plain text is taken whole: the rich edit control keeps even a NUL
            // byte as a character, and the text after it.
            found.text = data;
        }
    });
}

Win32Error StandinWindow::SetLines(ControlId control, const std::vector<std::string>& lines) {
    return Update(Find(control, ControlKind::Memo),
                  [&lines](ControlState& found) { found.lines = lines; });
}

Win32Error StandinWindow::AddLines(ControlId control, const std::vector<std::string>& lines) {
    return Update(Find(control, ControlKind::Memo), [&lines](ControlState& found) {
        found.lines.insert(found.lines.end(), lines.begin(), lines.end());
    });
}

Win32Error StandinWindow::SetClickAction(ControlId control, std::function<void()> action) {
    ControlState* c = Find(control, ControlKind::Button);
    if (!c) {
        return kErrorInvalidHandle;
    }
    c->click = std::move(action);
    ++actionGeneration_;
    return kErrorSuccess;
}

Win32Error StandinWindow::StopTimer() {
    timerArmed_ = false;
    return kErrorSuccess;
}

void StandinWindow::TimerTicked() {
    // Re-armed before the handler runs, so that stopping it there is final.
    timerDue_ += timerInterval_;
    if (events_) {
        events_->OnTimer();
    }
}

Win32Error StandinWindow::Show() {
    if (closed_) {
        return kErrorInvalidHandle;
    }
    if (!onScreen_) {
        onScreen_ = true;
        toolkit_.WindowChanged();
    }
    return kErrorSuccess;
}

Win32Error StandinWindow::Close() {
    onScreen_ = false;
    closed_ = true;
    return kErrorSuccess;
}

ControlState* StandinWindow::ActiveButton() {
    for (auto& c : state_.controls) {
        if (c.kind == ControlKind::Button && c.click) {
            return &c;
        }
    }
    return nullptr;
}

// ---- the toolkit ----

StandinToolkit::StandinToolkit(ToolkitOptions options) : options_(options) {}

StandinToolkit::~StandinToolkit() = default;

Win32Error StandinToolkit::SetApplicationTitle(const std::string& title) {
    title_ = title;
    return kErrorSuccess;
}

Win32Error StandinToolkit::CreateMainWindow(const WindowSpec& spec, WindowEvents* events,
                                            std::unique_ptr<Window>* window) {
    if (!window) {
        return kErrorInvalidParameter;
    }
    const auto interval = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double, std::milli>(spec.timerIntervalMs * options_.timerScale));
    auto created = std::make_unique<StandinWindow>(*this, spec, events, interval);
    main_ = created.get();
    lastDrawn_.clear();
    *window = std::move(created);
    return kErrorSuccess;
}

void StandinToolkit::WindowDestroyed(StandinWindow* window) {
    if (main_ == window) {
        main_ = nullptr;
    }
}

void StandinToolkit::WindowChanged() {
    // Changes made by an event handler are drawn once the handler is done.
    if (dispatching_ == 0) {
        Flush();
    }
}

void StandinToolkit::Flush() {
    if (!main_ || !main_->onScreen()) {
        return;
    }
    if (options_.screen && DrawOnScreen()) {
        return;
    }
    if (!options_.live) {
        const std::string block = RenderBlock(main_->state());
        if (block != lastDrawn_) {
            lastDrawn_ = block;
            std::fputs(block.c_str(), options_.out);
            std::fflush(options_.out);
        }
        return;
    }
    liveLines_ = DrawWindow(main_->state(), true);
    std::string screen = kClearScreen;
    for (const auto& line : liveLines_) {
        screen += line.text + "\n";
    }
    screen += std::string(kLiveHint) + "\n";
    for (const auto& report : reports_) {
        screen += PrintableText(report) + "\n";
    }
    if (screen != lastDrawn_) {
        lastDrawn_ = screen;
        std::fputs(screen.c_str(), options_.out);
        std::fflush(options_.out);
    }
}

bool StandinToolkit::DrawOnScreen() {
    const ScreenSize size = DrawnSize(main_->layout());
    winsize terminal{};
    const bool sized = ::ioctl(::fileno(options_.out), TIOCGWINSZ, &terminal) == 0 &&
                       terminal.ws_col > 0 && terminal.ws_row > 0;
    if (sized && (terminal.ws_col < size.columns || terminal.ws_row < size.rows)) {
        // The list of controls takes the terminal until the window fits again.
        screen_.clear();
        return false;
    }
    liveLines_ = DrawScreen(main_->layout(), main_->state(), *options_.screen);
    std::vector<std::string> notes;
    if (options_.live) {
        notes.push_back(kLiveHint);
    }
    for (const auto& report : reports_) {
        notes.push_back(PrintableText(report));
    }
    for (const auto& note : notes) {
        for (auto& line : ScreenLines(note, size.columns)) {
            liveLines_.push_back({std::move(line), -1});
        }
    }
    if (sized && liveLines_.size() > static_cast<size_t>(terminal.ws_row)) {
        // More lines than the terminal has would scroll the window away.
        liveLines_.resize(static_cast<size_t>(terminal.ws_row));
    }
    std::vector<std::string> lines;
    for (const auto& line : liveLines_) {
        lines.push_back(line.text);
    }
    const std::string update = ScreenUpdate(screen_, lines, *options_.screen);
    screen_ = std::move(lines);
    lastDrawn_.clear();
    std::fputs(update.c_str(), options_.out);
    std::fflush(options_.out);
    return true;
}

void StandinToolkit::Dispatch(const std::function<void()>& event) {
    ++dispatching_;
    event();
    --dispatching_;
    Flush();
}

bool StandinToolkit::PressActiveButton() {
    if (!main_ || !main_->onScreen()) {
        return false;
    }
    ControlState* button = main_->ActiveButton();
    if (!button) {
        return false;
    }
    const auto action = button->click;  // the action may replace itself
    Dispatch(action);
    return true;
}

void StandinToolkit::HandleMouse(int button, int row, bool press) {
    if (!press || button != 0 || !main_) {
        return;
    }
    const size_t index = static_cast<size_t>(row - 1);
    if (row >= 1 && index < liveLines_.size() && liveLines_[index].control >= 0) {
        const auto& control =
            main_->state().controls[static_cast<size_t>(liveLines_[index].control)];
        if (control.kind == ControlKind::Button) {
            if (control.click) {
                const auto action = control.click;
                Dispatch(action);
            }
            lastClick_ = {};
            return;
        }
    }
    const auto now = Clock::now();
    if (lastClick_ != Clock::time_point{} && now - lastClick_ <= kDoubleClickTime) {
        lastClick_ = {};
        if (auto* events = main_->events()) {
            Dispatch([events] { events->OnDoubleClick(); });
        }
    } else {
        lastClick_ = now;
    }
}

void StandinToolkit::HandleInput(const char* data, size_t size) {
    pendingInput_.append(data, size);
    size_t i = 0;
    while (i < pendingInput_.size() && main_ && !main_->closed()) {
        const char c = pendingInput_[i];
        if (c == '\x1b') {
            // A mouse report: ESC [ < button ; column ; row (M press, m release).
            const size_t end = pendingInput_.find_first_of("Mm", i);
            if (pendingInput_.compare(i, 3, "\x1b[<") != 0 && pendingInput_.size() - i >= 3) {
                ++i;  // another escape sequence: its bytes are skipped one by one
                continue;
            }
            if (end == std::string::npos) {
                break;  // incomplete, wait for the rest
            }
            int button = 0, column = 0, row = 0;
            const std::string report = pendingInput_.substr(i + 3, end - i - 3);
            if (std::sscanf(report.c_str(), "%d;%d;%d", &button, &column, &row) == 3) {
                HandleMouse(button, row, pendingInput_[end] == 'M');
            }
            i = end + 1;
            continue;
        }
        ++i;
        if (c == '\r' || c == '\n') {
            PressActiveButton();
        } else if (c == 'n' || c == 'N') {
            if (auto* events = main_->events()) {
                Dispatch([events] { events->OnDoubleClick(); });
            }
        }
    }
    pendingInput_.erase(0, i);
    if (pendingInput_.size() > kMaxPendingInput) {
        pendingInput_.clear();
    }
}

Win32Error StandinToolkit::RunEventLoop() {
    if (!main_) {
        return kErrorInvalidHandle;
    }
    std::unique_ptr<LiveTerminal> terminal;
    if (options_.live) {
        terminal = std::make_unique<LiveTerminal>(options_.inputFd, options_.out);
        lastDrawn_.clear();
        Flush();
    }
    unsigned pressedGeneration = ~0u;
    while (main_ && !main_->closed()) {
        const auto now = Clock::now();
        if (main_->timerArmed() && now >= main_->timerDue()) {
            StandinWindow* window = main_;
            Dispatch([window] { window->TimerTicked(); });
            continue;
        }
        // Once input has ended, a button with a click action is pressed,
        // once for each action it is given.
        if (inputEnded_ && main_->onScreen() && main_->actionGeneration() != pressedGeneration &&
            main_->ActiveButton()) {
            pressedGeneration = main_->actionGeneration();
            PressActiveButton();
            continue;
        }
        int timeout = -1;
        if (main_->timerArmed()) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(main_->timerDue() - now);
            timeout = static_cast<int>(std::max<long long>(0, wait.count()));
        }
        if (inputEnded_) {
            if (timeout < 0) {
                // Nothing is left that could close the window.
                std::fprintf(options_.err,
                             "The window waits for nothing more and cannot be closed\n");
                return kErrorInvalidHandle;
            }
            ::poll(nullptr, 0, timeout);
            continue;
        }
        pollfd input{options_.inputFd, POLLIN, 0};
        const int ready = ::poll(&input, 1, timeout);
        if (ready < 0) {
            if (errno != EINTR) {
                inputEnded_ = true;
            }
            continue;
        }
        if (ready == 0) {
            continue;
        }
        if (input.revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) {
            char buffer[4096];
            const ssize_t n =
                (input.revents & POLLNVAL) ? 0 : ::read(options_.inputFd, buffer, sizeof buffer);
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
                continue;
            }
            if (n <= 0) {
                inputEnded_ = true;
                continue;
            }
            if (options_.live) {
                HandleInput(buffer, static_cast<size_t>(n));
            }
        }
    }
    return kErrorSuccess;
}

Win32Error StandinToolkit::ShowMessageBox(const std::string& caption, const std::string& text) {
    const std::string report = "[" + caption + "] " + text;
    std::fprintf(options_.err, "%s\n", PrintableText(report).c_str());
    std::fflush(options_.err);
    if (options_.live || options_.screen) {
        // Drawn whole again: the report on standard error may have moved
        // the terminal's lines.
        reports_.push_back(report);
        lastDrawn_.clear();
        screen_.clear();
        Flush();
    }
    return kErrorSuccess;
}

}  // namespace platform::standin
