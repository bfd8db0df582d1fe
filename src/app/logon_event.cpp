#include "app/logon_event.h"

#include <algorithm>
#include <functional>

#include "app/startup.h"
#include "logon/identity.h"
#include "logon/settings.h"
#include "platform/errors.h"
#include "platform/eventlog.h"
#include "platform/network.h"
#include "platform/system.h"
#include "script/run.h"

namespace app {

namespace {

// The identity as far as start-up learned it; a start-up that failed before
// that asks the system itself, quietly, so the event still names who and
// where (the logon's own accessors would report a failure to ErrorList).
std::string KnownOr(const std::string& known,
                    const std::function<platform::Win32Error(std::string*)>& ask) {
    std::string value = known;
    if (value.empty() && ask(&value) != 0) {
        value.clear();
    }
    return value;
}

std::string Joined(const std::vector<std::string>& items, const char* separator) {
    std::string text;
    for (const std::string& item : items) {
        text += (text.empty() ? "" : separator) + item;
    }
    return text;
}

// The folders the process order searches for script files, in order and
// each once, as full paths.
std::vector<std::string> FoldersSearched(logon::LogonContext& context) {
    std::vector<std::string> folders;
    for (const std::string& folder : script::ScriptFolders(context, context.ProcessOrder)) {
        folders.push_back(context.services.system().FullPathName(folder));
    }
    return folders;
}

}  // namespace

std::string LogonEventText(const LogonOutcome& outcome) {
    std::string text = "User: " + outcome.user + "\nMachine: " + outcome.machine +
                       "\nDate and time: " + outcome.dateTime + "\nScript files: " +
                       (outcome.scriptFiles.empty() ? "none" : Joined(outcome.scriptFiles, ", "));
    if (outcome.noScriptFiles) {
        text += "\nSettings file: " + outcome.settingsFile +
                (outcome.settingsRead ? "" : " (not found)") +
                "\nFolders searched: " + Joined(outcome.foldersSearched, ", ");
    }
    if (!outcome.failure.empty()) {
        text += "\nFailure: " + outcome.failure;
    }
    text += "\nMessages: " + std::to_string(outcome.messages.size());
    for (const std::string& message : outcome.messages) {
        text += "\n" + message;
    }
    return text;
}

void ReportLogonOutcome(logon::LogonContext& context, const std::string* failure) {
    if (context.EventReported || !logon::EventLogEnabled(context)) {
        return;
    }
    context.EventReported = true;
    try {
        LogonOutcome outcome;
        const platform::Services& services = context.services;
        outcome.user = KnownOr(context.UserName, [&](std::string* user) {
            return services.network().GetUser(logon::kUserDevice, logon::kIdentityBufferSize, user);
        });
        outcome.machine = KnownOr(context.MachineName, [&](std::string* machine) {
            return services.system().GetComputerNameW(logon::kIdentityBufferSize, machine);
        });
        outcome.dateTime = logon::CurrentDateTimeText(context);
        outcome.scriptFiles = context.CodeListFiles;
        outcome.messages = context.Errors();
        uint32_t eventId = outcome.messages.empty() ? kEventNoMessages : kEventMessages;
        uint16_t type = outcome.messages.empty() ? platform::kEventlogInformationType
                                                 : platform::kEventlogWarningType;
        if (failure != nullptr) {
            outcome.failure = *failure;
            eventId = kEventFailure;
            type = platform::kEventlogErrorType;
        } else if (outcome.scriptFiles.empty()) {
            outcome.noScriptFiles = true;
            outcome.settingsFile = ProgramConfigFileName(services);
            outcome.settingsRead = std::find(outcome.messages.begin(), outcome.messages.end(),
                                             logon::LoadFailureMessage(outcome.settingsFile)) ==
                                   outcome.messages.end();
            outcome.foldersSearched = FoldersSearched(context);
            eventId = kEventNoScriptFiles;
            type = platform::kEventlogWarningType;
        }
        // An event that cannot be written is lost: the event is an addition
        // to the run, as the handler below says.
        static_cast<void>(
            services.eventLog().ReportEventW(kEventSource, type, eventId, LogonEventText(outcome)));
    } catch (...) {
        // The event is an addition to the run; nothing of it may change it.
    }
}

}  // namespace app
