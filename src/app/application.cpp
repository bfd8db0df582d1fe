#include "app/application.h"

#include <new>
#include <string>

#include "app/logon_event.h"
#include "app/startup.h"
#include "app/tarnwick_form.h"
#include "core/exceptions.h"
#include "logon/settings.h"
#include "platform/console.h"
#include "platform/system.h"

namespace app {

namespace {

constexpr const char* kUnknownFailure = "Unknown failure";
constexpr const char* kTitleRefused = "Cannot set the application title (error %s)";
constexpr const char* kEventLoopFailed = "The event loop failed (error %s)";
// The kinds a start-up report names for failures outside the system's family.
constexpr const char* kOutOfMemoryKind = "EOutOfMemory";
constexpr const char* kOtherKind = "Exception";

// The program's own file name, the last part of its path.
std::string ProgramFileName(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

TApplication::TApplication(platform::Toolkit& toolkit) : toolkit_(toolkit) {}

TApplication::~TApplication() {
    DestroyWindows();
}

void TApplication::SetTitle(const std::string& title) {
    core::ThrowIfFailed(toolkit_.SetApplicationTitle(title), [](uint32_t code) {
        return core::Format(kTitleRefused, std::to_string(code));
    });
    title_ = title;
}

TTarnwickForm& TApplication::CreateLoginForm(logon::LogonContext& context) {
    mainForm_ = std::make_unique<TTarnwickForm>(*this, context);
    return *mainForm_;
}

void TApplication::Run() {
    if (!mainForm_) {
        return;
    }
    mainForm_->Show();
    core::ThrowIfFailed(toolkit_.RunEventLoop(), [](uint32_t code) {
        return core::Format(kEventLoopFailed, std::to_string(code));
    });
}

void TApplication::Guard(const std::function<void()>& handler) noexcept {
    try {
        handler();
    } catch (const std::exception& failure) {
        HandleException(failure);
    } catch (...) {
        // The message box is the last place a failure is shown.
        static_cast<void>(toolkit_.ShowMessageBox(title_, std::string(kUnknownFailure) + "."));
    }
}

void TApplication::HandleException(const std::exception& failure) noexcept {
    try {
        // The message box is the last place a failure is shown.
        static_cast<void>(toolkit_.ShowMessageBox(title_, std::string(failure.what()) + "."));
    } catch (...) {
        // Nothing is left to report with; the program goes on.
    }
}

void TApplication::DestroyWindows() {
    mainForm_.reset();
}

std::string StartupFailureText(const std::string& kind, const std::string& programPath,
                               const std::string& text, const std::string& advice) {
    std::string report =
        "Exception " + kind + " in module " + ProgramFileName(programPath) + ".\n" + text;
    if (report.empty() || report.back() != '.') {
        report += '.';
    }
    if (!advice.empty()) {
        report += "\n\n" + advice;
    }
    return report;
}

std::string StartupFailureAdvice(logon::LogonContext& context, const std::string& kind,
                                 logon::LogonStep step) {
    platform::System& system = context.services.system();
    const std::string settings = ProgramConfigFileName(context.services);
    const bool cannotOpen = kind == "EFOpenError";
    // The settings file was read when the macros file it names fails: a
    // settings file that cannot be read names no macros file.
    if (cannotOpen && step == logon::LogonStep::kSettings && context.ConfigList) {
        const std::string macros = context.ConfigList->ValueOf(logon::kMacrosKey, system);
        return "The macros file " + system.FullPathName(macros) +
               ", named by the Macros line of the settings file " + settings +
               ", cannot be opened. No script was run: put the file there, or correct or remove "
               "the Macros line.";
    }
    if (cannotOpen && step == logon::LogonStep::kFullNameList) {
        return "The full-name list " + system.FullPathName(context.UserListFile) +
               ", named by the UserList setting of the settings file " + settings +
               ", cannot be opened. No script was run: make the file readable, or correct the "
               "UserList line.";
    }
    return "Tarnwick stopped before its window opened. No script was run. Settings file: " +
           settings + ".";
}

namespace {

// Start-up, the event loop and the failure report; the application and its
// window end with this function, before the context is released.
int RunLogon(logon::LogonContext& context) {
    const platform::Services& services = context.services;
    platform::Toolkit& toolkit = services.toolkit();
    TApplication application(toolkit);
    logon::LogonProgress progress;
    // A start-up that failed: the event, then the message box, the last
    // place a failure is shown, so its own refusal is not examined.
    auto reportFailure = [&](const std::string& kind, const std::string& text) {
        ReportLogonOutcome(context, &text);
        static_cast<void>(toolkit.ShowMessageBox(
            kStartupFailureCaption,
            StartupFailureText(kind, services.system().ModulePath(), text,
                               StartupFailureAdvice(context, kind, progress.step))));
        return 1;
    };
    int exitCode = 0;
    try {
        InitLogon(context, &progress);
        application.SetTitle(kApplicationTitle);
        application.CreateLoginForm(context);
        application.Run();
    } catch (const core::Exception& failure) {
        exitCode = reportFailure(core::KindName(failure.Kind()), failure.what());
    } catch (const std::bad_alloc& failure) {
        exitCode = reportFailure(kOutOfMemoryKind, failure.what());
    } catch (const std::exception& failure) {
        exitCode = reportFailure(kOtherKind, failure.what());
    } catch (...) {
        exitCode = reportFailure(kOtherKind, kUnknownFailure);
    }
    return exitCode;
}

}  // namespace

int RunApplication(logon::LogonContext& context) {
    const int exitCode = RunLogon(context);
    context.Release();
    return exitCode;
}

int ProgramMain() {
    std::unique_ptr<platform::NativePlatform> native;
    try {
        native = platform::CreateNativePlatform();
    } catch (const std::exception& failure) {
        static_cast<void>(platform::WriteErr(std::string(failure.what()) + "\n"));
        return 1;
    }
    logon::LogonContext context(native->services());
    return RunApplication(context);
}

}  // namespace app
