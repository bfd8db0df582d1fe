// The site check against the single check, on a generated share of 10,000
// users: a 200-line global script, a 50-line group script and a 20-line
// script for each user, a full-name list of every user and a macros file.
// Reports, in one run:
//   - the whole site, as `tarnwick-check --all-users --machine WS01` makes
//     it (the report formatted as text);
//   - the single check run once per user for a sample of users, scaled to
//     every user;
//   - their ratio and the process's peak memory.
// Goals: the site under 3 s on a 2-core machine, at least 50 times faster
// than the single check per user.
//
//   site_check [--users N] [--sample N] [--keep]
//
// Build it in a Release tree and run it there:
//   cmake -S . -B build/speed-native -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
//   cmake --build build/speed-native -j2 --target site_check
//   build/speed-native/site_check
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "check/checker.h"
#include "check/site.h"
#include "check/site_report.h"
#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

void Write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string UserName(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "u%05d", i);
    return name;
}

// Lines of every kind the checker tells, some with macros, a few flagged.
std::string ScriptLine(int i, const std::string& tag) {
    switch (i % 10) {
        case 0:
            return "; " + tag + " line " + std::to_string(i);
        case 1:
            return "USoftware\\Site\\" + tag + ".Value" + std::to_string(i) + "=S%UID% on %MachId%";
        case 2:
            return "MSoftware\\Site\\" + tag + ".Count" + std::to_string(i) + "=D" +
                   std::to_string(i);
        case 3:
            return "C%Local%\\" + tag + "\\file" + std::to_string(i) + ".txt=%Software%\\f.txt";
        case 4:
            return "I[%Local%\\" + tag + ".ini]Section.Key" + std::to_string(i) + "=%Fullname%";
        case 5:
            return "V%Local%\\" + tag + "\\dir" + std::to_string(i);
        case 6:
            return "DH:=%Home%";
        case 7:  // one mistake in each file
            return "USoftware\\Site\\" + tag + ".Number" + std::to_string(i) +
                   (i == 7 ? "=Dtwelve" : "=D12");
        case 8:
            return "c%Local%\\" + tag + "\\copy" + std::to_string(i) + ".dat=%Software%\\c.dat";
        default:
            return "RSoftware\\Site\\" + tag + ".Name" + std::to_string(i) + "=Sfixed text";
    }
}

std::string Script(int lines, const std::string& tag) {
    std::string text;
    for (int i = 0; i < lines; ++i) {
        text += ScriptLine(i, tag) + "\r\n";
    }
    return text;
}

void MakeShare(const fs::path& share, int users) {
    Write(share / "tarnwick.ini", "Macros=MACROS.DAT\r\nUserList=USERLIST.DAT\r\n");
    Write(share / "MACROS.DAT",
          "Server=\\\\FILES01\r\nHome=%Server%\\HOME\\%UIDL%\r\n"
          "Software=%Server%\\SOFTWARE\r\nLocal=C:\\Site\r\n");
    Write(share / "GLOBAL" / "_DEFAULT.DAT", Script(200, "Global"));
    Write(share / "GROUP" / "EVERYONE.DAT", Script(50, "Group"));
    std::string list;
    for (int i = 0; i < users; ++i) {
        const std::string name = UserName(i);
        list += name + "=User Number " + std::to_string(i) + "\r\n";
        Write(share / "USER" / (name + ".DAT"), Script(20, "User"));
    }
    Write(share / "USERLIST.DAT", list);
}

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
    int users = 10000, sample = 200;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--users" && i + 1 < argc) {
            users = std::atoi(argv[++i]);
        } else if (arg == "--sample" && i + 1 < argc) {
            sample = std::atoi(argv[++i]);
        } else if (arg == "--keep") {
            keep = true;
        } else {
            std::fprintf(stderr, "usage: site_check [--users N] [--sample N] [--keep]\n");
            return 2;
        }
    }
    const fs::path share = fs::temp_directory_path() / ("site_check." + std::to_string(getpid()));
    MakeShare(share, users);
    // The share's files reach the disk before any timing starts: the
    // check is timed, not the writing back of the share just made.
    ::sync();

    const auto native = platform::CreateNativePlatform();
    const platform::ScopedServices installed(native->services());

    check::SiteRequest site;
    site.base.shareDir = share.string();
    site.base.machine = "WS01";
    site.base.dateTime = "Mon, Dec 7, 2026 02:05 PM";
    site.allUsers = true;
    auto start = Clock::now();
    const check::SiteReport report = check::CheckSite(site);
    const std::string text = check::FormatSiteText(report);
    const double siteSeconds = Seconds(start);

    start = Clock::now();
    long long lines = 0;
    const int step = users / sample > 0 ? users / sample : 1;
    int sampled = 0;
    for (int i = 0; i < users && sampled < sample; i += step, ++sampled) {
        check::CheckRequest one = site.base;
        one.user = UserName(i);
        lines += check::CheckLogon(one).lineCount;
    }
    const double perUser = Seconds(start) / sampled;
    const double loopSeconds = perUser * users;

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("share: %d users, 200 + 50 + 20 lines each (%lld script lines in the site)\n",
                users, report.scriptLines);
    std::printf("site check (--all-users):      %8.3f s  (%d logons, %zu findings, %zu bytes)\n",
                siteSeconds, report.logons, report.findings.size(), text.size());
    std::printf("single check per user, scaled: %8.3f s  (%d sampled, %.3f ms each)\n", loopSeconds,
                sampled, perUser * 1000);
    std::printf("ratio:                         %8.1f x\n", loopSeconds / siteSeconds);
    std::printf("peak memory (ru_maxrss):       %8.1f MiB\n", usage.ru_maxrss / 1024.0);
    std::printf("goals: site under 3 s %s, at least 50 x %s\n", siteSeconds < 3 ? "met" : "MISSED",
                loopSeconds / siteSeconds >= 50 ? "met" : "MISSED");
    if (!keep) {
        fs::remove_all(share);
    } else {
        std::printf("share kept in %s\n", share.string().c_str());
    }
    return 0;
}
