// The stand-in workstation of one run: a fresh state directory with the
// identity chosen, no network (as under Wine), and the window's delay
// shortened so that a run takes a fraction of a second. The program reads
// no input, so its button presses itself once active.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/standin/standin_platform.h"
#include "workstation.h"

namespace differential {

namespace fs = std::filesystem;

namespace {

constexpr int kRunLimitSeconds = 60;

class StandinWorkstation : public Workstation {
  public:
    StandinWorkstation(fs::path scratch, Identity identity)
        : xdg_(std::move(scratch) / "xdg"), identity_(std::move(identity)) {}

    Identity identity() override { return identity_; }

    void Reset() override {
        platform_.reset();
        std::error_code ec;
        fs::remove_all(xdg_, ec);
        const fs::path state = xdg_ / "tarnwick";
        fs::create_directories(state / "network");
        std::ofstream(state / "identity.ini")
            << "User=" << identity_.user << "\nMachine=" << identity_.machine << "\n";
        std::ofstream(state / "toolkit.ini") << "TimerScale=0.001\n";
    }

    RunResult Run(const fs::path& program, const fs::path& share) override {
        const fs::path errors = xdg_ / "stderr.txt";
        const pid_t child = ::fork();
        if (child == 0) {
            ::setenv("XDG_STATE_HOME", xdg_.c_str(), 1);
            const int in = ::open("/dev/null", O_RDONLY);
            const int out = ::open("/dev/null", O_WRONLY);
            const int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(in, 0);
            ::dup2(out, 1);
            ::dup2(err, 2);
            if (::chdir(share.c_str()) == 0) {
                ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            }
            ::_exit(127);
        }
        RunResult result;
        int status = 0;
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::seconds(kRunLimitSeconds);
        while (::waitpid(child, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(child, SIGKILL);
                ::waitpid(child, &status, 0);
                return result;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        result.ended = WIFEXITED(status);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        // A message box is reported as "[caption] text" on standard error,
        // its text going on over the lines that follow.
        std::ifstream in(errors);
        std::string line;
        while (std::getline(in, line)) {
            if (!result.messageBox.empty()) {
                result.messageBox += "\n" + line;
            } else if (!line.empty() && line.front() == '[') {
                result.messageBox = line;
            }
        }
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
