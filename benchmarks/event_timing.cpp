// The cost of the logon's event beside the whole run of a share: the logon
// context set up and the script run (InitLogon and RunScript, as the window
// runs them), then the event written, each timed over several runs.
//
//   event_timing <share folder> [runs, default 20]
//
// The share's settings file is copied next to this program (it reads
// event_timing.INI, as tarnwick reads tarnwick.INI), and the runs start in
// the share's folder. Natively everything lands in the stand-in's state
// directory, so give it a throwaway one:
//   XDG_STATE_HOME=$(mktemp -d) build/<dir>/event_timing examples/share
// Under Wine the event goes to Wine's event log:
//   WINEPREFIX=... wine build/<dir>/event_timing.exe Z:\path\to\share
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "app/logon_event.h"
#include "app/startup.h"
#include "logon/identity.h"
#include "logon/settings.h"
#include "platform/platform.h"
#include "platform/system.h"
#include "script/registry_commands.h"
#include "script/run.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: event_timing <share folder> [runs]\n");
        return 2;
    }
    const fs::path share = fs::absolute(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;

    auto native = platform::CreateNativePlatform();
    const platform::Services services = native->services();
    const std::string settings = app::ProgramConfigFileName(services);
    std::error_code ec;
    fs::copy_file(share / "tarnwick.ini", settings, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        std::fprintf(stderr, "cannot copy the settings to %s: %s\n", settings.c_str(),
                     ec.message().c_str());
        return 1;
    }
    fs::current_path(share);

    std::vector<double> run, event;
    for (int r = 0; r < runs; ++r) {
        logon::LogonContext context(services);
        auto start = Clock::now();
        app::InitLogon(context);
        script::RunScript(context);
        run.push_back(Milliseconds(Clock::now() - start));
        start = Clock::now();
        app::ReportLogonOutcome(context, nullptr);
        event.push_back(Milliseconds(Clock::now() - start));
    }
    const double runMs = Median(run), eventMs = Median(event);
    std::printf("%d runs of %s, medians:\n", runs, share.string().c_str());
    std::printf("  the run (InitLogon + RunScript): %9.3f ms\n", runMs);
    std::printf("  the logon's event:               %9.3f ms (%.1f %% of the run)\n", eventMs,
                runMs > 0 ? 100.0 * eventMs / runMs : 0.0);
    fs::remove(settings, ec);
    return 0;
}
