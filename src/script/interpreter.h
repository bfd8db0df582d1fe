// ExecuteLine: one script line, recognised by its first character, cut into
// its arguments, then carried out as its row of the command table says;
// every failure becomes a line of ErrorList and the run goes on with the
// next line.
#pragma once
#include <string>

#include "logon/context.h"

namespace script {

void ExecuteLine(logon::LogonContext& context, const std::string& line);

}  // namespace script
