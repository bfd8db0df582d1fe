#include "script/interpreter.h"

#include <array>
#include <exception>

#include "core/error_list.h"
#include "core/exceptions.h"
#include "platform/network.h"
#include "platform/registry.h"
#include "script/file_commands.h"
#include "script/line_parser.h"
#include "script/messages.h"
#include "script/network_commands.h"
#include "script/registry_commands.h"

namespace script {

namespace {

struct RegistryRoot {
    CommandKind kind;
    platform::RegKey root;
};
constexpr std::array<RegistryRoot, 3> kRegistryRoots = {{
    {CommandKind::kRegistryLocalMachine, platform::kHkeyLocalMachine},
    {CommandKind::kRegistryClassesRoot, platform::kHkeyClassesRoot},
    {CommandKind::kRegistryCurrentUser, platform::kHkeyCurrentUser},
}};

void CarryOut(const std::string& line, const ParsedLine& parsed) {
    switch (parsed.kind) {
        case CommandKind::kTooShort:
        case CommandKind::kComment:
            return;
        case CommandKind::kCopyReplacing:
            CopyScriptFile(parsed.destination, parsed.value, true);
            return;
        case CommandKind::kCopyIfMissing:
            CopyScriptFile(parsed.destination, parsed.value, false);
            return;
        case CommandKind::kConnectDrive:
            ConnectResource(platform::kResourceTypeDisk, parsed.destination, parsed.value);
            return;
        case CommandKind::kConnectPrinter:
            ConnectResource(platform::kResourceTypePrint, parsed.destination, parsed.value);
            return;
        case CommandKind::kWriteIni:
            // A malformed I line would write somewhere it does not name (or
            // write the whole line as a value): it is reported, not written.
            if (parsed.iniFormValid) {
                WriteIniValue(parsed.file, parsed.sectionAndKey, parsed.value);
            } else {
                ReportIniFailure(parsed.file, parsed.sectionAndKey, parsed.value);
            }
            return;
        case CommandKind::kAttachHive:
            AttachUserHive(parsed.rest);
            return;
        case CommandKind::kRegistryLocalMachine:
        case CommandKind::kRegistryClassesRoot:
        case CommandKind::kRegistryCurrentUser:
            ApplyRegistryCommand(RegistryRootOf(parsed.kind), parsed.destination, parsed.value);
            return;
        case CommandKind::kMakeDirectory:
            EnsureDirectory(parsed.rest);
            return;
        case CommandKind::kUnknown:
            core::AddError(UnknownCommandMessage(line));
            return;
    }
}

}  // namespace

platform::RegKey RegistryRootOf(CommandKind kind) {
    for (const RegistryRoot& entry : kRegistryRoots) {
        if (entry.kind == kind) {
            return entry.root;
        }
    }
    return platform::kHkeyCurrentUser;  // not reached: only the three kinds ask
}

void ExecuteLine(const std::string& line) {
    if (line.size() < kMinimumLineLength) {
        return;
    }
    // No failure of one line stops the run: the system's own failures carry
    // their message; anything else the standard library raises is caught
    // the same way, so nothing escapes a line.
    try {
        CarryOut(line, ParseLine(line));
    } catch (const core::Exception& failure) {
        core::AddError(LineFailureMessage(failure.Message(), line));
    } catch (const std::exception& failure) {
        core::AddError(LineFailureMessage(failure.what(), line));
    }
}

}  // namespace script
