// Cost of one registry change as the store grows: U-command writes of
// distinct values through ApplyRegistryCommand, timed in blocks of 1,000,
// optionally after filling the store with many other values first. Every
// value is deleted again at the end (also timed).
//
//   registry_timing [preloaded values] [timed writes]     (defaults 0 10000)
//
// Natively it writes into the stand-in's state directory, so give it a
// throwaway one:
//   XDG_STATE_HOME=$(mktemp -d) build/<dir>/registry_timing 100000 10000
// Under Wine it writes the real registry below
// HKEY_CURRENT_USER\Software\TarnwickTiming:
//   WINEPREFIX=... wine build/<dir>/registry_timing.exe 0 10000
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "platform/registry.h"
#include "script/registry_commands.h"

namespace {

using Clock = std::chrono::steady_clock;

double Microseconds(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

void Write(logon::LogonContext& context, const std::string& key, long i) {
    script::ApplyRegistryCommand(context, platform::kHkeyCurrentUser,
                                 key + ".Value" + std::to_string(i),
                                 "SSome text of a usual length, number " + std::to_string(i));
}

void Delete(logon::LogonContext& context, const std::string& key, long i) {
    script::ApplyRegistryCommand(context, platform::kHkeyCurrentUser,
                                 key + ".Value" + std::to_string(i), "-");
}

}  // namespace

int main(int argc, char** argv) {
    const long preload = argc > 1 ? std::atol(argv[1]) : 0;
    const long writes = argc > 2 ? std::atol(argv[2]) : 10000;
    constexpr long kBlock = 1000;

    auto native = platform::CreateNativePlatform();
    logon::LogonContext context(native->services());
    context.CreateScriptRegistry();

    const std::string base = "Software\\TarnwickTiming\\" +
                             std::to_string(Clock::now().time_since_epoch().count() % 1000000007);
    const std::string filler = base + "\\Filler";
    const std::string timed = base + "\\Timed";

    auto start = Clock::now();
    for (long i = 0; i < preload; ++i) {
        Write(context, filler, i);
    }
    if (preload > 0) {
        std::printf("preloaded %ld values: %.2f us per change\n", preload,
                    Microseconds(Clock::now() - start) / static_cast<double>(preload));
    }

    std::printf("%ld writes into a store holding %ld values, per block of %ld:\n", writes, preload,
                kBlock);
    for (long done = 0; done < writes; done += kBlock) {
        const long end = std::min(writes, done + kBlock);
        start = Clock::now();
        for (long i = done; i < end; ++i) {
            Write(context, timed, i);
        }
        std::printf("  writes %6ld-%6ld: %8.2f us per change\n", done + 1, end,
                    Microseconds(Clock::now() - start) / static_cast<double>(end - done));
    }

    start = Clock::now();
    for (long i = 0; i < writes; ++i) {
        Delete(context, timed, i);
    }
    std::printf("deleting them again: %.2f us per change\n",
                Microseconds(Clock::now() - start) / static_cast<double>(writes > 0 ? writes : 1));
    for (long i = 0; i < preload; ++i) {
        Delete(context, filler, i);
    }
    return 0;
}
