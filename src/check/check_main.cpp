// tarnwick-check: what a logon would do, told from the login share without
// carrying anything out.
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "check/checker.h"
#include "check/options.h"
#include "check/site_report.h"
#include "platform/arguments.h"
#include "platform/console.h"
#include "platform/platform.h"
#include "tarnwick_version.h"

namespace {

constexpr int kNothingFlagged = 0;
constexpr int kSomethingFlagged = 1;
constexpr int kCannotCheck = 2;

// What cannot be printed (the output is gone) leaves the exit code to tell.
int Fail(const std::string& text) {
    static_cast<void>(platform::WriteErr("tarnwick-check: " + text + "\n"));
    return kCannotCheck;
}

void Print(const std::string& out) {
    static_cast<void>(platform::WriteOut(out));
}

void PrintUsage() {
    static_cast<void>(platform::WriteErr(check::UsageText()));
}

// Every logon the options name, one report; the page written besides when
// asked for.
int CheckSite(const check::Options& options, const platform::Services& services) {
    const check::SiteReport report = [&] {
        const platform::ScopedServices installed(services);
        return check::CheckSite(options.Logons());
    }();
    if (!options.htmlFile.empty()) {
        // The name is the program's text, UTF-8, whatever the system's code page.
        std::ofstream page(std::filesystem::u8path(options.htmlFile),
                           std::ios::binary | std::ios::trunc);
        page << check::FormatSiteHtml(report);
        if (!page.flush()) {
            return Fail("cannot write " + options.htmlFile);
        }
    }
    Print(check::FormatReport(options, report));
    return report.flagged.empty() ? kNothingFlagged : kSomethingFlagged;
}

}  // namespace

int main(int argc, char** argv) {
    check::Options options;
    try {
        options = check::ParseOptions(platform::ProgramArguments(argc, argv));
    } catch (const check::UsageError& failure) {
        Fail(failure.what());
        PrintUsage();
        return kCannotCheck;
    }
    if (options.help) {
        Print(check::UsageText());
        return kNothingFlagged;
    }
    if (options.version) {
        Print("tarnwick-check " TARNWICK_VERSION "\n");
        return kNothingFlagged;
    }
    try {
        // The workstation is only read: every line runs on the what-if
        // platform over it, which changes nothing (check/what_if.h).
        const auto native = platform::CreateNativePlatform(platform::PlatformUse::kInspect);
        if (options.Site()) {
            return CheckSite(options, native->services());
        }
        check::CheckRequest request = options.request;
        request.sight = options.here || platform::ChecksLookHereByDefault()
                            ? check::Sight::kWorkstation
                            : check::Sight::kShareOnly;
        // A workstation looked at has its user's own rights.
        if (request.sight == check::Sight::kWorkstation && request.rights) {
            throw check::UsageError(
                "--rights is for a check that looks at no workstation: this one looks at the "
                "workstation, whose user has his own rights (identity.ini on the stand-in)");
        }
        const check::CheckReport report = check::CheckLogon(request, native->services());
        Print(check::FormatReport(options, report));
        return report.Count(check::Severity::kFlag) > 0 ? kSomethingFlagged : kNothingFlagged;
    } catch (const check::UsageError& failure) {
        Fail(failure.what());
        PrintUsage();
        return kCannotCheck;
    } catch (const std::exception& failure) {
        return Fail(failure.what());
    }
}
