// Macro expansion with a fuzzed macro list over fuzzed lines. The fast
// expansion must give exactly what the plain one gives, line for line, and
// both must end (the runaway guard), whatever the macros do to each other.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/string_list.h"
#include "fuzz_state.h"
#include "logon/macros.h"
#include "logon/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Macro list, then 0xFF, then the script lines.
    const fuzzing::TwoParts parts = fuzzing::SplitInput(data, size);
    // The names compare as the workstation's locale does.
    static fuzzing::FreshState state("expand-macros");
    logon::LogonContext context(state.services());
    context.MacroList = std::make_unique<core::TStringList>();
    context.MacroList->SetText(parts.first);
    core::TStringList fast;
    fast.SetText(parts.second);
    core::TStringList plain;
    plain.Assign(fast);

    logon::ExpandMacros(context, fast);
    logon::ExpandMacrosPlain(context, plain);
    if (fast.Lines() != plain.Lines()) {
        std::abort();
    }
    return 0;
}
