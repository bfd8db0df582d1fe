#include "app/application.h"

#include <cstdio>
#include <new>

#include "app/logon_event.h"
#include "app/startup.h"
#include "app/tarnwick_form.h"
#include "core/exceptions.h"
#include "logon/settings.h"
#include "platform/system.h"

namespace app {

namespace {

constexpr const char* kUnknownFailure = "Unknown failure";
constexpr const char* kTitleRefused = "Cannot set the application title (error %s)";
constexpr const char* kEventLoopFailed = "The event loop failed (error %s)";

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
    const uint32_t result = toolkit_.SetApplicationTitle(title);
    if (result != 0) {
        throw core::Exception(core::Format(kTitleRefused, std::to_string(result)));
    }
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
    const uint32_t result = toolkit_.RunEventLoop();
    if (result != 0) {
        throw core::Exception(core::Format(kEventLoopFailed, std::to_string(result)));
    }
}

void TApplication::Guard(const std::function<void()>& handler) noexcept {
    try {
        handler();
    } catch (const std::exception& failure) {
        HandleException(failure);
    } catch (...) {
        toolkit_.ShowMessageBox(title_, std::string(kUnknownFailure) + ".");
    }
}

void TApplication::HandleException(const std::exception& failure) noexcept {
    try {
        toolkit_.ShowMessageBox(title_, std::string(failure.what()) + ".");
    } catch (...) {
        // Nothing is left to report with; the program goes on.
    }
}

void TApplication::DestroyWindows() {
    mainForm_.reset();
}

std::string FailureKind(const std::exception& failure) {
    if (dynamic_cast<const core::EFOpenError*>(&failure)) {
        return "EFOpenError";
    }
    if (dynamic_cast<const core::ERegistryException*>(&failure)) {
        return "ERegistryException";
    }
    if (dynamic_cast<const core::EConvertError*>(&failure)) {
        return "EConvertError";
    }
    if (dynamic_cast<const core::EStringListError*>(&failure)) {
        return "EStringListError";
    }
    if (dynamic_cast<const std::bad_alloc*>(&failure)) {
        return "EOutOfMemory";
    }
    return "Exception";
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
    try {
        InitLogon(context, &progress);
        application.SetTitle(kApplicationTitle);
        application.CreateLoginForm(context);
        application.Run();
    } catch (const std::exception& failure) {
        const std::string text = failure.what();
        ReportLogonOutcome(context, &text);
        const std::string kind = FailureKind(failure);
        toolkit.ShowMessageBox(
            kStartupFailureCaption,
            StartupFailureText(kind, services.system().ModulePath(), failure.what(),
                               StartupFailureAdvice(context, kind, progress.step)));
        return 1;
    } catch (...) {
        const std::string text = kUnknownFailure;
        ReportLogonOutcome(context, &text);
        toolkit.ShowMessageBox(
            kStartupFailureCaption,
            StartupFailureText("Exception", services.system().ModulePath(), kUnknownFailure,
                               StartupFailureAdvice(context, "Exception", progress.step)));
        return 1;
    }
    return 0;
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
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    logon::LogonContext context(native->services());
    return RunApplication(context);
}

}  // namespace app
