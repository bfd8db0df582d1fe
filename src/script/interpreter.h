// ExecuteLine: one script line, recognised by its first character, cut into
// its arguments, then carried out as its row of the command table says;
// every failure becomes a line of ErrorList and the run goes on with the
// next line.
#pragma once
#include <string>

namespace script {

void ExecuteLine(const std::string& line);

}  // namespace script
