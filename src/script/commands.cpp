#include "script/commands.h"

#include "core/error_list.h"
#include "platform/network.h"
#include "script/file_commands.h"
#include "script/line_parser.h"
#include "script/messages.h"
#include "script/network_commands.h"
#include "script/registry_commands.h"

namespace script {

namespace {

// How each command is carried out, with the arguments it takes from its line.
void Nothing(const std::string&, const ParsedLine&) {}

void CopyReplacing(const std::string&, const ParsedLine& parsed) {
    CopyScriptFile(parsed.destination, parsed.value, true);
}

void CopyIfMissing(const std::string&, const ParsedLine& parsed) {
    CopyScriptFile(parsed.destination, parsed.value, false);
}

void ConnectDrive(const std::string&, const ParsedLine& parsed) {
    ConnectResource(platform::kResourceTypeDisk, parsed.destination, parsed.value);
}

void ConnectPrinter(const std::string&, const ParsedLine& parsed) {
    ConnectResource(platform::kResourceTypePrint, parsed.destination, parsed.value);
}

void WriteIni(const std::string&, const ParsedLine& parsed) {
    // A malformed I line would write somewhere it does not name (or write
    // the whole line as a value): it is reported, not written.
    if (parsed.iniFormValid) {
        WriteIniValue(parsed.file, parsed.sectionAndKey, parsed.value);
    } else {
        ReportIniFailure(parsed.file, parsed.sectionAndKey, parsed.value);
    }
}

void AttachHive(const std::string&, const ParsedLine& parsed) {
    AttachUserHive(parsed.rest);
}

void WriteRegistry(const std::string&, const ParsedLine& parsed) {
    ApplyRegistryCommand(CommandFor(parsed.kind).root, parsed.destination, parsed.value);
}

void MakeDirectory(const std::string&, const ParsedLine& parsed) {
    EnsureDirectory(parsed.rest);
}

void ReportUnknown(const std::string& line, const ParsedLine&) {
    core::AddError(UnknownCommandMessage(line));
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
