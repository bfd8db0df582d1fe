// tarnwick-check: what a logon would do, told from the login share without
// carrying anything out.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "check/checker.h"
#include "check/options.h"
#include "check/read_only.h"
#include "check/report.h"
#include "platform/platform.h"
#include "tarnwick_version.h"

namespace {

constexpr int kNothingFlagged = 0;
constexpr int kSomethingFlagged = 1;
constexpr int kCannotCheck = 2;

int Fail(const std::string& text) {
    std::fprintf(stderr, "tarnwick-check: %s\n", text.c_str());
    return kCannotCheck;
}

}  // namespace

int main(int argc, char** argv) {
    check::Options options;
    try {
        options = check::ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const check::UsageError& failure) {
        Fail(failure.what());
        std::fputs(check::UsageText().c_str(), stderr);
        return kCannotCheck;
    }
    if (options.help) {
        std::fputs(check::UsageText().c_str(), stdout);
        return kNothingFlagged;
    }
    if (options.version) {
        std::fputs("tarnwick-check " TARNWICK_VERSION "\n", stdout);
        return kNothingFlagged;
    }
    try {
        const auto native = platform::CreateNativePlatform();
        check::ReadOnlyPlatform readOnly(native->services());
        const check::CheckReport report = [&] {
            const platform::ScopedServices installed(readOnly.services());
            return check::CheckLogon(options.request);
        }();
        const std::string out =
            options.json ? check::FormatJson(report) : check::FormatText(report);
        std::fwrite(out.data(), 1, out.size(), stdout);
        std::fflush(stdout);
        return report.Count(check::Severity::kFlag) > 0 ? kSomethingFlagged : kNothingFlagged;
    } catch (const std::exception& failure) {
        return Fail(failure.what());
    }
}
