#include "script/commands.h"

#include "platform/network.h"
#include "script/file_commands.h"
#include "script/line_parser.h"
#include "script/messages.h"
#include "script/network_commands.h"
#include "script/registry_commands.h"

namespace script {

namespace {

// How each command is carried out, with the arguments it takes from its line.
void Nothing(logon::LogonContext&, const std::string&, const ParsedLine&) {}

void CopyReplacing(logon::LogonContext& context, const std::string&, const ParsedLine& parsed) {
    CopyScriptFile(context, parsed.destination, parsed.value, true);
}

void CopyIfMissing(logon::LogonContext& context, const std::string&, const ParsedLine& parsed) {
    CopyScriptFile(context, parsed.destination, parsed.value, false);
}

void ConnectDrive(logon::LogonContext& context, const std::string&, const ParsedLine& parsed) {
    ConnectResource(context, platform::kResourceTypeDisk, parsed.destination, parsed.value);
}

void ConnectPrinter(logon::LogonContext& context, const std::string&, const ParsedLine& parsed) {
    ConnectResource(context, platform::kResourceTypePrint, parsed.destination, parsed.value);
}

void WriteIni(logon::LogonContext& context, const std::string&, const ParsedLine& parsed) {
    // A malformed I line would write somewhere it does not name (or write
    // the whole line as a value): it is reported, not written.
    if (parsed.iniFormValid) {
        WriteIniValue(context, parsed.file, parsed.sectionAndKey, parsed.value);
    } else {
        ReportIniFailure(context, parsed.file, parsed.sectionAndKey, parsed.value);
    }
}

void AttachHive(logon::LogonContext& context, const std::string&, const ParsedLine& parsed) {
    AttachUserHive(context, parsed.rest);
}

void WriteRegistry(logon::LogonContext& context, const std::string&, const ParsedLine& parsed) {
    ApplyRegistryCommand(context, CommandFor(parsed.kind).root, parsed.destination, parsed.value);
}

void MakeDirectory(logon::LogonContext& context, const std::string&, const ParsedLine& parsed) {
    EnsureDirectory(context, parsed.rest);
}

void ReportUnknown(logon::LogonContext& context, const std::string& line, const ParsedLine&) {
    context.AddError(UnknownCommandMessage(line));
}

using Kind = CommandKind;
using Uses = CommandArguments;
constexpr char kNoLetter = 0;
constexpr platform::RegKey kNoRoot = 0;
using platform::kHkeyClassesRoot;
using platform::kHkeyCurrentUser;
using platform::kHkeyLocalMachine;

// One row per command: kind, letter, the checker's word, the arguments it
// reads, its registry root, how it is carried out. The rows are plain C++
// rather than an X-macro list (a .def file expanded once per use): a row
// reads as it runs and the compiler checks each of its fields. What an
// X-macro list would give, that every table keyed by kind stays complete,
// InKindOrder asserts at build time, here and at the checker's own table
// (check/line_check.cpp), which adds how each command is told and stays in
// check/ so that script/ never depends on it. A new command is thus a kind
// in CommandKind, a row here and a row there; without either row the build
// fails.
constexpr std::array<Command, kCommandKinds> kCommands = {{
    {Kind::kTooShort, kNoLetter, "too-short", Uses::kNone, kNoRoot, Nothing},
    {Kind::kComment, ';', "comment", Uses::kNone, kNoRoot, Nothing},
    {Kind::kCopyReplacing, 'C', "copy", Uses::kValue, kNoRoot, CopyReplacing},
    {Kind::kCopyIfMissing, 'c', "copy-if-missing", Uses::kValue, kNoRoot, CopyIfMissing},
    {Kind::kConnectDrive, 'D', "drive", Uses::kValue, kNoRoot, ConnectDrive},
    {Kind::kConnectPrinter, 'P', "printer", Uses::kValue, kNoRoot, ConnectPrinter},
    {Kind::kWriteIni, 'I', "ini", Uses::kValue, kNoRoot, WriteIni},
    {Kind::kAttachHive, 'L', "hive", Uses::kRest, kNoRoot, AttachHive},
    {Kind::kRegistryLocalMachine, 'M', "registry", Uses::kValue, kHkeyLocalMachine, WriteRegistry},
    {Kind::kRegistryClassesRoot, 'R', "registry", Uses::kValue, kHkeyClassesRoot, WriteRegistry},
    {Kind::kRegistryCurrentUser, 'U', "registry", Uses::kValue, kHkeyCurrentUser, WriteRegistry},
    {Kind::kMakeDirectory, 'V', "folder", Uses::kRest, kNoRoot, MakeDirectory},
    {Kind::kUnknown, kNoLetter, "unknown", Uses::kNone, kNoRoot, ReportUnknown},
}};
static_assert(InKindOrder(kCommands), "one row for every kind, in the order of CommandKind");

}  // namespace

const std::array<Command, kCommandKinds>& Commands() {
    return kCommands;
}

const Command& CommandFor(CommandKind kind) {
    return kCommands[static_cast<size_t>(kind)];
}

CommandKind CommandOf(char first) {
    for (const Command& command : kCommands) {
        if (command.letter != kNoLetter && command.letter == first) {
            return command.kind;
        }
    }
    return CommandKind::kUnknown;
}

}  // namespace script
