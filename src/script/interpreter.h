// ExecuteLine: one script line, recognised by its first character, cut into
// its arguments, then carried out; every failure becomes a line of ErrorList
// and the run goes on with the next line.
#pragma once
#include <string>

#include "platform/registry.h"
#include "script/line_parser.h"

namespace script {

void ExecuteLine(const std::string& line);

// The registry root of the M, R and U commands.
platform::RegKey RegistryRootOf(CommandKind kind);

}  // namespace script
