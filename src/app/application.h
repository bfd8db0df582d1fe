// The application object and the program's entry: start-up in its fixed
// order, the event loop of the one window, the failure reports, and the
// exit list at the end.
#pragma once
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "logon/context.h"
#include "logon/logon.h"
#include "platform/platform.h"
#include "platform/toolkit.h"

namespace app {

class TTarnwickForm;

// The name of the running program in the task bar, and the caption of the
// failure reports of the window's handlers.
inline constexpr const char* kApplicationTitle = "Tarnwick Executor";
// The caption of the report of a failure that ends start-up.
inline constexpr const char* kStartupFailureCaption = "Application Error";

class TApplication {
  public:
    explicit TApplication(platform::Toolkit& toolkit);
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Raises core::Exception when the toolkit refuses the title.
    void SetTitle(const std::string& title);
    const std::string& Title() const { return title_; }

    // Creates the login window of `context`'s logon, hidden; it becomes the
    // main window.
    TTarnwickForm& CreateLoginForm(logon::LogonContext& context);
    TTarnwickForm* MainForm() const { return mainForm_.get(); }

    // Makes the main window visible (which runs its show handler) and
    // dispatches events until the main window is closed.
    void Run();

    // Runs a handler of a window; a failure that escapes it is reported in a
    // message box captioned with the title: its text followed by ".".
    void Guard(const std::function<void()>& handler) noexcept;
    void HandleException(const std::exception& failure) noexcept;

    // The application's release: destroys its windows. It runs when the
    // application ends, before the logon context it shows is released.
    void DestroyWindows();

    platform::Toolkit& toolkit() { return toolkit_; }

  private:
    platform::Toolkit& toolkit_;
    std::string title_;
    std::unique_ptr<TTarnwickForm> mainForm_;
};

// The text of the start-up failure report: the kind, the program's file
// name and the failure's text, then, after a blank line, `advice`: what
// failed in plain words and what to do (none when empty).
std::string StartupFailureText(const std::string& kind, const std::string& programPath,
                               const std::string& text, const std::string& advice = {});
// The plain words of a start-up failure of `kind` that came at `step` of
// the logon context: the full path of the file that could not be opened,
// the settings file that named it, that no script was run, and the remedy.
std::string StartupFailureAdvice(logon::LogonContext& context, const std::string& kind,
                                 logon::LogonStep step);

// The whole program on the logon `context` (fresh, on the services it is to
// run on): returns the exit code, 0 after the window closed, 1 when a
// failure ended start-up. However it ends, the window is destroyed first,
// then the context is released in the shutdown order (Release), before it
// returns.
int RunApplication(logon::LogonContext& context);

// The program's entry: creates this build's platform and runs on it.
int ProgramMain();

}  // namespace app
