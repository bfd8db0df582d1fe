// The settings file, with the macros file it may name ("M.DAT" holds the
// second part of the input), loaded as the program loads them at start-up.
#include <unistd.h>

#include <cstdint>
#include <string>

#include "core/exceptions.h"
#include "fuzz_state.h"
#include "logon/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzzing::TwoParts parts = fuzzing::SplitInput(data, size);
    fuzzing::FreshState state("settings");
    const auto settings = state.Write("work/TARNWICK.INI", fuzzing::Confined(parts.first));
    state.Write("work/M.DAT", parts.second);
    if (::chdir(settings.parent_path().c_str()) != 0) {
        return 0;
    }
    logon::LogonContext context(state.services());
    try {
        (void)logon::LoadConfig(context, settings.string());
    } catch (const core::Exception&) {
        // A macros file that cannot be read stops the start-up with its
        // message; that is the program's answer, not a fault.
    }
    (void)logon::ConfigFileNameFor(parts.first.substr(0, 300));
    ::chdir("/");
    return 0;
}
