#include "app/tarnwick_form.h"

#include <utility>

#include "app/application.h"
#include "app/logon_event.h"
#include "core/exceptions.h"
#include "core/file_exists.h"
#include "core/text_decoder.h"
#include "logon/identity.h"
#include "logon/settings.h"
#include "platform/platform.h"
#include "platform/text_codes.h"
#include "script/run.h"
#include "tarnwick_version.h"

namespace app {

namespace {

// The controls in the order of the layout table; each is its index there.
enum LoginControl : platform::ControlId {
    kNameLabel,
    kNameFLabel,
    kMachineLabel,
    kDateLabel,
    klUName,
    klUFName,
    klMName,
    klDTstring,
    kNewsLabel,
    kNewsOfTheDay,
    kmCodeList,
    kErrorStatus,
    kContinue,
    kControlCount
};

constexpr platform::Color kWhite = platform::RgbColor(255, 255, 255);
constexpr platform::Color kLime = platform::RgbColor(0, 255, 0);
constexpr platform::Color kRed = platform::RgbColor(255, 0, 0);

constexpr unsigned kDelayMs = 10000;

// The window's texts.
constexpr const char* kCaption = "Login Script";
constexpr const char* kBanner = "Tarnwick " TARNWICK_VERSION " - your login script is running";
constexpr const char* kPressToContinue = "Press to continue";
constexpr const char* kNewsFresh = "NEWS OF THE DAY";
constexpr const char* kNewsAged = "News of the Day (%s days old)";
constexpr const char* kProblem = "Possible problem, see administrator, note machine name and time";
constexpr const char* kErrorsSection = "---- ERRORS ----";
constexpr const char* kConfigSection = "---- CONFIG FILE ----";
constexpr const char* kMacrosSection = "---- MACROS FILE ----";

// Failures of the toolkit and of the news file.
constexpr const char* kCannotOpenFile = "Cannot open file %s";
constexpr const char* kFailedToLoadStream = "Failed to Load Stream";
constexpr const char* kCannotCreateWindow = "Cannot create the login window (error %s)";
constexpr const char* kControlCallFailed = "%s failed on ";

platform::WindowSpec BuildLayout() {
    using platform::Alignment;
    using platform::ControlKind;
    using platform::ControlSpec;
    const platform::FontSpec arial16{"Arial", 16, false};

    // A control's look, before `at` names and places it.
    auto style = [](ControlKind kind, platform::FontSpec font, Alignment alignment) {
        ControlSpec spec;
        spec.kind = kind;
        spec.font = std::move(font);
        spec.alignment = alignment;
        return spec;
    };

    // "Login Name" and the other captions on the left.
    ControlSpec caption = style(ControlKind::Label, arial16, Alignment::Left);
    caption.autoSize = true;

    // The value labels, right-aligned at 375.
    ControlSpec value = style(ControlKind::Label, arial16, Alignment::Right);
    value.autoSize = true;
    value.background = kWhite;

    auto at = [](ControlSpec spec, const char* name, int left, int top, int width, int height,
                 const char* text) {
        spec.name = name;
        spec.left = left;
        spec.top = top;
        spec.width = width;
        spec.height = height;
        spec.text = text;
        return spec;
    };

    platform::WindowSpec layout;
    layout.caption = kCaption;
    layout.clientWidth = 397;
    layout.clientHeight = 362;
    layout.font = {"MS Sans Serif", 10, false};
    layout.timerIntervalMs = kDelayMs;
    auto& c = layout.controls;
    c.push_back(at(caption, "NameLabel", 20, 5, 85, 18, "Login Name"));
    c.push_back(at(caption, "NameFLabel", 20, 30, 70, 18, "Full Name"));
    c.push_back(at(caption, "MachineLabel", 20, 56, 105, 18, "Machine Name"));
    c.push_back(at(caption, "DateLabel", 20, 81, 103, 18, "Date and Time"));
    c.push_back(at(value, "lUName", 371, 7, 4, 18, ""));
    c.push_back(at(value, "lUFName", 371, 31, 4, 18, ""));
    c.push_back(at(value, "lMName", 371, 55, 4, 18, ""));
    c.push_back(at(value, "lDTstring", 371, 79, 4, 18, ""));

    const ControlSpec heading = style(ControlKind::Label, {"Arial", 19, true}, Alignment::Center);
    c.push_back(at(heading, "NewsLabel", 20, 111, 358, 22, "News of the Day"));

    ControlSpec news = style(ControlKind::RichEdit, {}, Alignment::Left);
    news.tabOrder = 0;
    c.push_back(at(news, "NewsOfTheDay", 20, 143, 358, 150, ""));

    ControlSpec memo = style(ControlKind::Memo, {}, Alignment::Left);
    memo.visible = false;
    memo.tabOrder = 2;
    c.push_back(at(memo, "mCodeList", 20, 143, 358, 150, ""));

    const ControlSpec warning =
        style(ControlKind::Label, {"Arial Narrow", 13, false}, Alignment::Center);
    c.push_back(at(warning, "ErrorStatus", 20, 299, 358, 20, ""));

    ControlSpec button = style(ControlKind::Button, arial16, Alignment::Left);
    button.tabOrder = 1;
    c.push_back(at(button, "Continue", 20, 325, 358, 27, kBanner));
    return layout;
}

// Days since 1 March of year 0 in the proleptic Gregorian calendar; only
// differences matter.
long long DayNumber(long long year, long long month, long long day) {
    year -= month <= 2 ? 1 : 0;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra;
}

constexpr long long kMsPerDay = 86400000;

long long MillisecondsOf(long long year, long long month, long long day, long long hour,
                         long long minute, long long second, long long millisecond) {
    return DayNumber(year, month, day) * kMsPerDay + ((hour * 60 + minute) * 60 + second) * 1000 +
           millisecond;
}

// Floor division, for differences that may be negative.
long long FloorDiv(long long a, long long b) {
    const long long q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

const core::TStringList& OrEmpty(const std::unique_ptr<core::TStringList>& list) {
    static const core::TStringList empty;
    return list ? *list : empty;
}

}  // namespace

const platform::WindowSpec& LoginWindowLayout() {
    static const platform::WindowSpec layout = BuildLayout();
    return layout;
}

long long NewsAgeDays(const platform::LocalTime& now, const platform::FileTime& modified) {
    const int evenSecond = modified.second - modified.second % 2;
    const long long diff = MillisecondsOf(now.year, now.month, now.day, now.hour, now.minute,
                                          now.second, now.millisecond) -
                           MillisecondsOf(modified.year, modified.month, modified.day,
                                          modified.hour, modified.minute, evenSecond, 0);
    // Exact integer rounding of diff / kMsPerDay, halves to the even neighbour.
    long long days = FloorDiv(diff, kMsPerDay);
    const long long rest = diff - days * kMsPerDay;  // 0 <= rest < kMsPerDay
    if (2 * rest > kMsPerDay || (2 * rest == kMsPerDay && days % 2 != 0)) {
        ++days;
    }
    return days;
}

// ---- controls ----

void TControl::Bind(platform::Window* window, platform::ControlId id, std::string name) {
    window_ = window;
    id_ = id;
    name_ = std::move(name);
}

void TControl::Check(platform::Win32Error result, const char* operation) const {
    core::ThrowIfFailed(result, [&](uint32_t code) {
        return core::Format(kControlCallFailed, operation) + name_ + " (error " +
               std::to_string(code) + ")";
    });
}

void TControl::Show() {
    Check(window_->SetVisible(id_, true), "Show");
}

void TControl::Hide() {
    Check(window_->SetVisible(id_, false), "Hide");
}

void TLabel::SetCaption(const std::string& text) {
    Check(window_->SetText(id_, text), "SetCaption");
}

void TLabel::SetColor(platform::Color color) {
    Check(window_->SetBackground(id_, color), "SetColor");
}

void TRichEdit::LoadFromFile(platform::Files& files, const std::string& path) {
    std::string data;
    core::ThrowIfFailed<core::EFOpenError>(files.ReadWholeFile(path, &data), kCannotOpenFile, path);
    // RTF names its own code page and goes to the box as it stands; any
    // other file is read as every text file is.
    if (!platform::LooksLikeRtf(data)) {
        data = core::DecodeText(data, [&files](std::string_view ansi) {
                   return files.Utf8FromAnsi(ansi);
               }).text;
    }
    core::ThrowIfFailed(window_->LoadRichText(id_, data), kFailedToLoadStream);
}

void TMemo::Assign(const core::TStringList& lines) {
    Check(window_->SetLines(id_, lines.Lines()), "Assign");
}

void TMemo::Add(const std::string& line) {
    Check(window_->AddLines(id_, {line}), "Add");
}

void TMemo::AddStrings(const core::TStringList& lines) {
    Check(window_->AddLines(id_, lines.Lines()), "AddStrings");
}

void TButton::SetCaption(const std::string& text) {
    Check(window_->SetText(id_, text), "SetCaption");
}

void TButton::SetOnClick(std::function<void()> action) {
    Check(window_->SetClickAction(id_, std::move(action)), "SetOnClick");
}

void TTimer::Release() {
    if (window_) {
        // The window stops its timer when it goes anyway; a refusal here
        // leaves nothing to do.
        static_cast<void>(window_->StopTimer());
    }
}

// ---- the window ----

TTarnwickForm::TTarnwickForm(TApplication& owner, logon::LogonContext& context)
    : owner_(owner), context_(context) {
    const platform::Win32Error result =
        owner_.toolkit().CreateMainWindow(LoginWindowLayout(), this, &window_);
    if (result || !window_) {
        throw core::Exception(core::Format(kCannotCreateWindow, std::to_string(result.code())));
    }
    platform::Window* w = window_.get();
    const auto& controls = LoginWindowLayout().controls;
    auto bind = [&](TControl& control, LoginControl id) {
        control.Bind(w, id, controls[static_cast<size_t>(id)].name);
    };
    bind(NewsOfTheDay, kNewsOfTheDay);
    bind(Continue, kContinue);
    bind(NameLabel, kNameLabel);
    bind(MachineLabel, kMachineLabel);
    bind(DateLabel, kDateLabel);
    bind(lUName, klUName);
    bind(lMName, klMName);
    bind(lDTstring, klDTstring);
    bind(NewsLabel, kNewsLabel);
    bind(ErrorStatus, kErrorStatus);
    bind(NameFLabel, kNameFLabel);
    bind(lUFName, klUFName);
    bind(mCodeList, kmCodeList);
    tDelayTimer.Bind(w);
    static_assert(kControlCount == 13, "every control of the layout has a field");
}

TTarnwickForm::~TTarnwickForm() = default;

void TTarnwickForm::Show() {
    if (!shown_) {
        shown_ = true;
        owner_.Guard([this] { FormShow(); });
        // A window that cannot be moved is shown where it is.
        static_cast<void>(window_->CenterOnScreen());
    }
    // The window is where failures are shown: one that cannot be shown has
    // nowhere to say so, and the program goes on as if it were.
    static_cast<void>(window_->Show());
}

void TTarnwickForm::Close() {
    // Closing is the last thing asked of the window: a refusal has nowhere
    // left to be shown.
    static_cast<void>(window_->Close());
}

void TTarnwickForm::FormShow() {
    // The event of the logon goes out once the run record is written, or
    // once a failure has ended the handler before that.
    try {
        ShowIdentityAndRun();
    } catch (const std::exception& failure) {
        const std::string text = failure.what();
        ReportLogonOutcome(context_, &text);
        throw;
    }
    ReportLogonOutcome(context_, nullptr);
    FillDiagnostics();
}

void TTarnwickForm::ShowIdentityAndRun() {
    lUName.SetCaption(logon::CurrentUserName(context_));
    lMName.SetCaption(logon::CurrentMachineName(context_));
    lUFName.SetCaption(logon::CurrentFullName(context_));
    lDTstring.SetCaption(logon::CurrentDateTimeText(context_));

    platform::Files& files = context_.services.files();
    const std::string& notice = context_.NoticeFile;
    if (core::FileExists(files, notice)) {
        NewsOfTheDay.LoadFromFile(files, notice);
        // A file whose time cannot be read keeps the plain heading: its age
        // is unknown, and that is no reason to skip the script run.
        platform::FileTime modified;
        if (files.GetLastWriteTime(notice, &modified) == 0) {
            const long long age = NewsAgeDays(context_.services.system().Now(), modified);
            if (age >= 1) {
                NewsLabel.SetCaption(core::Format(kNewsAged, std::to_string(age)));
            } else {
                NewsLabel.SetCaption(kNewsFresh);
            }
            if (age < 3) {
                NewsLabel.SetColor(kLime);
            }
        }
    }

    script::RunScript(context_);
}

void TTarnwickForm::FillDiagnostics() {
    // The list is put together here and given to the box in one pass: a
    // window's list box measures every line it holds each time its text is
    // set, so filling it part by part cost a long script a visible delay.
    core::TStringList diagnostics;
    diagnostics.Assign(OrEmpty(context_.CodeList));
    if (context_.HasErrors()) {
        ErrorStatus.SetCaption(kProblem);
        ErrorStatus.SetColor(kRed);
        diagnostics.Add(kErrorsSection);
        diagnostics.AddStrings(OrEmpty(context_.ErrorList));
    }
    diagnostics.Add(kConfigSection);
    diagnostics.AddStrings(OrEmpty(context_.ConfigList));
    diagnostics.Add(kMacrosSection);
    diagnostics.AddStrings(OrEmpty(context_.MacroList));
    mCodeList.Assign(diagnostics);
    mCodeList.Hide();
    NewsOfTheDay.Show();
}

void TTarnwickForm::FormDblClick() {
    if (context_.NewsHidden) {
        NewsOfTheDay.Show();
    } else {
        NewsOfTheDay.Hide();
    }
    context_.NewsHidden = !context_.NewsHidden;
}

void TTarnwickForm::tDelayTimerTimer() {
    Continue.SetCaption(kPressToContinue);
    Continue.SetOnClick([this] { owner_.Guard([this] { ContinueClick(); }); });
    tDelayTimer.Release();
}

void TTarnwickForm::ContinueClick() {
    Close();
}

void TTarnwickForm::OnDoubleClick() {
    owner_.Guard([this] { FormDblClick(); });
}

void TTarnwickForm::OnTimer() {
    owner_.Guard([this] { tDelayTimerTimer(); });
}

}  // namespace app
