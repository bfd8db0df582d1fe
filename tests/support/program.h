// Starting a built program from a test, a test tool or a timing program:
// the one way they all do it, natively (fork and exec) and on Windows
// (CreateProcess, under Wine in the suite). Either RunProgram, which runs a
// program to its end and gives back its exit code and output, or a Program
// that is watched and driven while it runs (its window on the screen, its
// standard input) and ended when it goes out of scope.
// No test framework in it, so that tools without one can use it too.
#pragma once
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

struct ProgramStart {
    std::filesystem::path program;
    std::vector<std::string> args;
    // Windows: the whole command line, used as it is instead of program and
    // args (its first word names the program): "cmd /c ...", a Unix tool.
    std::string commandLine;
    std::filesystem::path directory;  // empty: this process's current folder
    // Variables set for the program, or removed where the value is nullopt.
    std::vector<std::pair<std::string, std::optional<std::string>>> environment;
    // Standard output and standard error go to these files (made anew; the
    // same file for both keeps them in one); empty: this process's own.
    std::filesystem::path output, errors;
    // Standard input: empty (the null device), or a pipe that the test
    // writes through Program::Input and closes through Program::CloseInput.
    bool inputPipe = false;
    // Natively only: run in the started process before the program replaces
    // it (privileges, resource limits); a result other than 0 ends the
    // process at once with that exit code.
    std::function<int()> beforeStart;
};

class Program {
  public:
    explicit Program(const ProgramStart& start);
    ~Program();  // ends the program if it is still running
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Empty when the program was started; else why not.
    const std::string& startError() const { return startError_; }
    // The system's error number of a failed start (errno, or GetLastError).
    unsigned long startErrorCode() const { return startErrorCode_; }
    unsigned long id() const { return id_; }
    // Windows: the process handle, for the calls that take one.
    void* handle() const { return handle_; }

    // The exit code (natively 128 + the signal's number when a signal ended
    // it) once the program has ended, waiting at most `limit`; nullopt
    // while it still runs.
    std::optional<int> Wait(std::chrono::milliseconds limit);
    // Natively: the signal that ended the program, 0 when it exited.
    int signal() const { return signal_; }
    // Ends the program (natively with everything it started) and waits for
    // it; on Windows `exitCode` is the code it ends with.
    void Kill(unsigned exitCode = 99);
    // Writes to the program's standard input pipe; false when it cannot.
    bool Input(const std::string& text);
    void CloseInput();
    // Lets go of the program without ending it or waiting for it (a Unix
    // program started by Wine, which Wine cannot wait for).
    void Release();

  private:
    void Ended(int status);  // natively: keeps what waitpid told

    std::string startError_;
    unsigned long startErrorCode_ = 0;
    unsigned long id_ = 0;
    void* handle_ = nullptr;  // Windows: the process handle
    // The write end of the input pipe: natively a file descriptor, on
    // Windows a handle; -1 when there is none.
    std::intptr_t input_ = -1;
    std::optional<int> exitCode_;
    int signal_ = 0;
};

struct ProgramResult {
    std::string startError;  // empty when it was started
    bool ended = false;      // false: still running at the limit, and ended then
    int exitCode = -1;
    int signal = 0;  // natively: the signal that ended it, 0 when it exited
    // What it wrote to standard output and standard error (through the
    // files ProgramStart names, or through files of its own when none is
    // named).
    std::string out, err;
};

// Runs the program until it ends, or for `limit` at most.
ProgramResult RunProgram(ProgramStart start, std::chrono::milliseconds limit);

// A file's bytes, as they are.
std::string FileText(const std::filesystem::path& path);

}  // namespace testsupport
