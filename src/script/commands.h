// The script commands, one row each in one table (commands.cpp): the letter
// that selects a command, its kind, the checker's word for it, the
// arguments it reads, the registry root it writes under and how it is
// carried out. ParseLine takes the letters from it, ExecuteLine carries a
// line out through it, and the checker takes its words and arguments from
// it; how the checker tells each command is its own table, keyed by kind.
#pragma once
#include <array>
#include <cstddef>
#include <string>

#include "logon/context.h"
#include "platform/registry.h"

namespace script {

struct ParsedLine;

enum class CommandKind {
    kTooShort,              // fewer than kMinimumLineLength characters: skipped
    kComment,               // ;
    kCopyReplacing,         // C destination=source
    kCopyIfMissing,         // c destination=source
    kConnectDrive,          // D device=remote name
    kConnectPrinter,        // P device=remote name
    kWriteIni,              // I[file]section.key=value
    kAttachHive,            // L hive file
    kRegistryLocalMachine,  // M key path.value name=type and data
    kRegistryClassesRoot,   // R as M
    kRegistryCurrentUser,   // U as M
    kMakeDirectory,         // V directory
    kUnknown,               // any other first character
};
inline constexpr size_t kCommandKinds = static_cast<size_t>(CommandKind::kUnknown) + 1;

// The arguments a command reads from its line; only those are cut to their
// limit, so only their length matters.
enum class CommandArguments {
    kNone,   // nothing: comments, and lines that are no command
    kValue,  // the destination before the first "=" and the value after it
    kRest,   // everything after the command letter
};

struct Command {
    CommandKind kind;
    char letter;       // the first character that selects it; 0 when none does
    const char* word;  // the checker's fixed word for it, for tools
    CommandArguments arguments;
    platform::RegKey root;  // the registry root that M, R and U write under; 0 for the rest
    // Carries a line of this command out: failures are appended to the
    // context's ErrorList or raised for ExecuteLine to report.
    void (*carryOut)(logon::LogonContext& context, const std::string& line,
                     const ParsedLine& parsed);
};

// Every row, in the order of CommandKind.
const std::array<Command, kCommandKinds>& Commands();
// The row of a kind.
const Command& CommandFor(CommandKind kind);
// The command of a line's first character, compared exactly.
CommandKind CommandOf(char first);

// True when a table keyed by kind holds one row for every kind, in the
// order of CommandKind: it is complete and can be indexed by kind. Tables
// that add to the command table assert it.
template <typename Row>
constexpr bool InKindOrder(const std::array<Row, kCommandKinds>& rows) {
    for (size_t i = 0; i < kCommandKinds; ++i) {
        if (rows[i].kind != static_cast<CommandKind>(i)) {
            return false;
        }
    }
    return true;
}

}  // namespace script
