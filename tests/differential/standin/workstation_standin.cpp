// The stand-in workstation of one run: a fresh state directory with the
// identity chosen, no network (as under Wine), and the window's delay
// shortened so that a run takes a fraction of a second. The program reads
// no input, so its button presses itself once active; the window it draws
// on standard output is read back from there.
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "platform/standin/standin_platform.h"
#include "platform/standin/toolkit_render.h"
#include "support/program.h"
#include "workstation.h"

namespace differential {

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;
constexpr int kCannotDropPrivileges = 125;

// Every line of the first window the program drew, by control, and the
// lines of its diagnostics list.
void ReadWindow(const std::string& out, RunResult* result) {
    std::istringstream lines(out);
    std::string line;
    int block = 0;
    while (std::getline(lines, line)) {
        if (line == "--- Login Script ---") {
            if (++block > 1) {
                return;
            }
            continue;
        }
        if (block != 1 || line == "--- end ---") {
            continue;
        }
        if (line.rfind("    ", 0) == 0) {
            result->diagnostics.push_back(line.substr(4));
        } else if (const auto colon = line.find(": "); colon != std::string::npos) {
            result->window[line.substr(0, colon)] = line;
        }
    }
}

// A message box is reported as "[caption] text" on standard error, its
// text going on over the lines that follow.
std::string LastMessageBox(const std::string& errors) {
    std::istringstream in(errors);
    std::string box, line;
    while (std::getline(in, line)) {
        if (!box.empty()) {
            box += "\n" + line;
        } else if (!line.empty() && line.front() == '[') {
            box = line;
        }
    }
    return box;
}

void GiveToNobody(const fs::path& dir) {
    std::error_code ec;
    ::chown(dir.c_str(), kNobody, kNobody);
    for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        ::lchown(it->path().c_str(), kNobody, kNobody);
    }
}

class StandinWorkstation : public Workstation {
  public:
    StandinWorkstation(fs::path scratch, Identity identity)
        : xdg_(std::move(scratch) / "xdg"), identity_(std::move(identity)) {}

    bool IsStandin() const override { return true; }
    bool IsWine() const override { return false; }
    Identity identity() override { return identity_; }

    void Reset(const std::vector<std::string>&) override {
        // A new state directory holds no registry keys to remove.
        platform_.reset();
        std::error_code ec;
        fs::remove_all(xdg_, ec);
        const fs::path state = xdg_ / "tarnwick";
        fs::create_directories(state / "network");
        std::ofstream(state / "identity.ini")
            << "User=" << identity_.user << "\nMachine=" << identity_.machine << "\n"
            << (identity_.rights.empty() ? "" : "Rights=" + identity_.rights + "\n");
        std::ofstream(state / "toolkit.ini") << "TimerScale=0.001\n";
    }

    RunResult Run(const fs::path& program, const fs::path& share,
                  const RunOptions& options) override {
        RunResult result;
        const bool drop = options.unprivileged && ::geteuid() == 0;
        if (drop) {
            GiveToNobody(share);
            GiveToNobody(xdg_);
        }
        testsupport::ProgramStart start;
        start.program = program;
        start.directory = share;
        start.environment = {{"XDG_STATE_HOME", xdg_.string()}};
        start.output = xdg_ / "stdout.txt";
        start.errors = xdg_ / "stderr.txt";
        const uint64_t fileSizeLimit = options.fileSizeLimit;
        start.beforeStart = [drop, fileSizeLimit] {
            if (drop && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 ||
                         ::setuid(kNobody) != 0)) {
                return kCannotDropPrivileges;
            }
            if (fileSizeLimit > 0) {
                // A write past the limit then fails with EFBIG, as on a full
                // disk, instead of ending the process.
                ::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{fileSizeLimit, fileSizeLimit};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            }
            return 0;
        };
        const testsupport::ProgramResult run = testsupport::RunProgram(
            start, std::chrono::duration_cast<std::chrono::milliseconds>(options.limit));
        if (!run.startError.empty()) {
            result.failure = run.startError;
            return result;
        }
        if (!run.ended) {
            result.failure = "the program did not end: it hangs";
            return result;
        }
        result.ended = run.signal == 0;
        result.exitCode = static_cast<unsigned long>(run.exitCode);
        if (drop && result.exitCode == kCannotDropPrivileges) {
            result.unsupported = "cannot run as an unprivileged user";
        }
        result.report = run.err;
        result.messageBox = LastMessageBox(result.report);
        ReadWindow(run.out, &result);
        return result;
    }

    platform::Services services() override {
        if (!platform_) {
            platform_ = std::make_unique<platform::standin::StandinPlatform>(xdg_ / "tarnwick");
        }
        return platform_->services();
    }

    fs::path HostPath(const std::string& windowsPath) override {
        services();
        const auto host = platform_->context().paths.Resolve(windowsPath);
        return host ? *host : fs::path();
    }

    bool MakeFifo(const fs::path& path) override { return ::mkfifo(path.c_str(), 0644) == 0; }

    std::optional<std::string> Drawn(const std::string& control, const std::string& text,
                                     const std::string& background) override {
        return control + ": " + platform::standin::QuoteText(text) +
               (background.empty() ? "" : " background=" + background);
    }

    std::string DrawnLine(const std::string& line) override {
        return platform::standin::PrintableText(line);
    }

  private:
    fs::path xdg_;
    Identity identity_;
    std::unique_ptr<platform::standin::StandinPlatform> platform_;
};

}  // namespace

std::unique_ptr<Workstation> CreateWorkstation(const fs::path& scratch, const Identity& identity) {
    return std::make_unique<StandinWorkstation>(scratch, identity);
}

}  // namespace differential
