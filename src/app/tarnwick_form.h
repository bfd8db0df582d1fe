// The login window: its layout, its controls, and the logic of its four
// handlers. The window itself belongs to the platform's toolkit; this class
// only tells it what to show and when.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "core/string_list.h"
#include "logon/context.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/toolkit.h"

namespace app {

class TApplication;

// The window's layout: caption, size, fonts and every control, in the order
// in which the controls are listed (and drawn as text by the stand-in).
const platform::WindowSpec& LoginWindowLayout();

// The age of the news in whole days: (now - modified) in days with the time
// of day as a fraction, rounded to the nearest whole number, an exact half to
// the even neighbour. The modification time counts at two-second resolution,
// as a DOS file time holds it; `now` counts to the millisecond.
long long NewsAgeDays(const platform::LocalTime& now, const platform::FileTime& modified);

// Handles on the controls of the toolkit's window. A toolkit call that fails
// raises core::Exception naming the control.
class TControl {
  public:
    void Bind(platform::Window* window, platform::ControlId id, std::string name);
    void Show();
    void Hide();

  protected:
    void Check(platform::Win32Error result, const char* operation) const;
    platform::Window* window_ = nullptr;
    platform::ControlId id_ = -1;
    std::string name_;
};

class TLabel : public TControl {
  public:
    void SetCaption(const std::string& text);
    void SetColor(platform::Color color);
};

class TRichEdit : public TControl {
  public:
    // Replaces the content by the file, as rich text or else as plain text.
    // Raises EFOpenError "Cannot open file %s" when the file cannot be
    // opened through `files`, and "Failed to Load Stream" when it cannot be
    // read either way.
    void LoadFromFile(platform::Files& files, const std::string& path);
};

class TMemo : public TControl {
  public:
    void Assign(const core::TStringList& lines);
    void Add(const std::string& line);
    void AddStrings(const core::TStringList& lines);
};

class TButton : public TControl {
  public:
    void SetCaption(const std::string& text);
    // The click action; an empty one leaves the button inert.
    void SetOnClick(std::function<void()> action);
};

class TTimer {
  public:
    void Bind(platform::Window* window) { window_ = window; }
    // Stops and releases the timer, also from inside its own tick.
    void Release();

  private:
    platform::Window* window_ = nullptr;
};

class TTarnwickForm : private platform::WindowEvents {
  public:
    // Creates the window hidden from its layout through the application's
    // toolkit; the timer counts from now. It shows and runs the logon of
    // `context`, and keeps its news toggle there (NewsHidden belongs to the
    // logon, not to the window). Raises core::Exception when the toolkit
    // cannot create it.
    TTarnwickForm(TApplication& owner, logon::LogonContext& context);
    ~TTarnwickForm() override;
    TTarnwickForm(const TTarnwickForm&) = delete;
    TTarnwickForm& operator=(const TTarnwickForm&) = delete;

    // Makes the window visible: the first time, FormShow runs before the
    // window is on the screen (a failure in it is reported and the window is
    // shown all the same) and the window is centred.
    void Show();
    void Close();

    // The handlers.
    void FormShow();
    void FormDblClick();
    void tDelayTimerTimer();
    void ContinueClick();

    // The controls, in declared order.
    TRichEdit NewsOfTheDay;
    TButton Continue;
    TLabel NameLabel;
    TLabel MachineLabel;
    TLabel DateLabel;
    TLabel lUName;
    TLabel lMName;
    TLabel lDTstring;
    TLabel NewsLabel;
    TLabel ErrorStatus;
    TLabel NameFLabel;
    TLabel lUFName;
    TMemo mCodeList;
    TTimer tDelayTimer;

  private:
    // Events from the toolkit, each running its handler under the
    // application's failure report.
    void OnDoubleClick() override;
    void OnTimer() override;
    // FormShow's steps: the identity, the news and the script run; then the
    // warning and the diagnostics list.
    void ShowIdentityAndRun();
    void FillDiagnostics();

    TApplication& owner_;
    logon::LogonContext& context_;
    std::unique_ptr<platform::Window> window_;
    bool shown_ = false;
};

}  // namespace app
