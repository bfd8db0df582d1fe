// Starting a program natively: fork and exec, in a process group of its own
// so that ending it ends whatever it started too.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <thread>

#include "support/program.h"

extern char** environ;

namespace testsupport {

namespace {

int OpenOutput(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

}  // namespace

Program::Program(const ProgramStart& start) {
    // Everything the started process needs is made before the fork: after
    // it, only calls that are safe in a copy of a threaded process are made.
    const std::string program = start.program.string();
    std::vector<std::string> args{program};
    args.insert(args.end(), start.args.begin(), start.args.end());
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        const auto equals = text.find('=');
        variables[text.substr(0, equals)] =
            equals == std::string::npos ? "" : text.substr(equals + 1);
    }
    for (const auto& [name, value] : start.environment) {
        if (value) {
            variables[name] = *value;
        } else {
            variables.erase(name);
        }
    }
    std::vector<std::string> environment;
    for (const auto& [name, value] : variables) {
        environment.push_back(name + "=" + value);
    }
    std::vector<char*> argv, envp;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    for (std::string& variable : environment) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);

    int pipeEnds[2] = {-1, -1};
    int in = -1;
    if (start.inputPipe) {
        if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
            startErrorCode_ = static_cast<unsigned long>(errno);
            startError_ = "cannot make a pipe: " + std::string(std::strerror(errno));
            return;
        }
        in = pipeEnds[0];
        input_ = pipeEnds[1];
    } else {
        in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    }
    const int out = start.output.empty() ? -1 : OpenOutput(start.output);
    const int err = start.errors.empty()           ? -1
                    : start.errors == start.output ? out
                                                   : OpenOutput(start.errors);
    const std::string directory = start.directory.string();

    const pid_t child = ::fork();
    if (child == 0) {
        ::setpgid(0, 0);
        ::dup2(in, 0);
        if (out >= 0) {
            ::dup2(out, 1);
        }
        if (err >= 0) {
            ::dup2(err, 2);
        }
        if (start.beforeStart) {
            if (const int code = start.beforeStart(); code != 0) {
                ::_exit(code);
            }
        }
        if (!directory.empty() && ::chdir(directory.c_str()) != 0) {
            ::_exit(126);
        }
        ::execve(program.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    const int forkError = errno;
    for (int fd : {in, out, err == out ? -1 : err}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    if (child < 0) {
        startErrorCode_ = static_cast<unsigned long>(forkError);
        startError_ = "cannot start " + program + ": " + std::strerror(forkError);
        CloseInput();
        return;
    }
    ::setpgid(child, child);
    id_ = static_cast<unsigned long>(child);
}

Program::~Program() {
    if (id_ != 0 && !exitCode_) {
        Kill();
    }
    CloseInput();
}

std::optional<int> Program::Wait(std::chrono::milliseconds limit) {
    if (exitCode_ || id_ == 0) {
        return exitCode_;
    }
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int status = 0;
        if (::waitpid(static_cast<pid_t>(id_), &status, WNOHANG) == static_cast<pid_t>(id_)) {
            Ended(status);
            return exitCode_;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void Program::Ended(int status) {
    signal_ = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + signal_;
}

void Program::Kill(unsigned) {
    if (id_ == 0 || exitCode_) {
        return;
    }
    const auto pid = static_cast<pid_t>(id_);
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    Ended(status);
}

bool Program::Input(const std::string& text) {
    return input_ >= 0 && ::write(static_cast<int>(input_), text.data(), text.size()) ==
                              static_cast<ssize_t>(text.size());
}

void Program::CloseInput() {
    if (input_ >= 0) {
        ::close(static_cast<int>(input_));
        input_ = -1;
    }
}

void Program::Release() {
    id_ = 0;
    CloseInput();
}

}  // namespace testsupport
