#include "script/interpreter.h"

#include <exception>

#include "core/exceptions.h"
#include "script/commands.h"
#include "script/line_parser.h"
#include "script/messages.h"

namespace script {

void ExecuteLine(logon::LogonContext& context, const std::string& line) {
    if (line.size() < kMinimumLineLength) {
        return;
    }
    // No failure of one line stops the run: the system's own failures carry
    // their message; anything else the standard library raises is caught
    // the same way, so nothing escapes a line.
    try {
        const ParsedLine parsed = ParseLine(line);
        CommandFor(parsed.kind).carryOut(context, line, parsed);
    } catch (const core::Exception& failure) {
        context.AddError(LineFailureMessage(failure.Message(), line));
    } catch (const std::exception& failure) {
        context.AddError(LineFailureMessage(failure.what(), line));
    }
}

}  // namespace script
