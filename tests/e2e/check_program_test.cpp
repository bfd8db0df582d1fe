// The built checker on real share folders: what it prints, its exit codes,
// its JSON, and that it leaves the share (and the workstation) unchanged.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "support/test_platform.h"
#include "tarnwick_version.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#endif

namespace {

namespace fs = std::filesystem;

struct Result {
    int exitCode = -1;  // -1: still running when given up on
    std::string out, err;
};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The Windows build writes CR LF.
    std::string lf;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            lf += text[i];
        }
    }
    return lf;
}

std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> entries;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        entries[fs::relative(it->path(), dir).string()] =
            it->is_regular_file() ? ReadAll(it->path()) : std::string("<dir>");
    }
    return entries;
}

// A limit that only a hanging checker reaches.
constexpr int kGiveUpSeconds = 120;

#ifdef _WIN32

std::string Quoted(const std::string& arg) {
    std::string quoted = "\"";
    for (char c : arg) {
        if (c == '"') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

Result RunChecker(const std::vector<std::string>& args, const fs::path& work) {
    const fs::path outPath = work / "out.txt", errPath = work / "err.txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE out = ::CreateFileA(outPath.string().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                               CREATE_ALWAYS, 0, nullptr);
    HANDLE err = ::CreateFileA(errPath.string().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                               CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = out;
    startup.hStdError = err;
    std::string command = Quoted(TARNWICK_CHECK_PROGRAM);
    for (const auto& arg : args) {
        command += " " + Quoted(arg);
    }
    PROCESS_INFORMATION info{};
    Result result;
    if (::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                         work.string().c_str(), &startup, &info)) {
        if (::WaitForSingleObject(info.hProcess, kGiveUpSeconds * 1000) == WAIT_OBJECT_0) {
            DWORD code = 0;
            ::GetExitCodeProcess(info.hProcess, &code);
            result.exitCode = static_cast<int>(code);
        } else {
            ::TerminateProcess(info.hProcess, 1);
        }
        ::CloseHandle(info.hProcess);
        ::CloseHandle(info.hThread);
    }
    ::CloseHandle(out);
    ::CloseHandle(err);
    result.out = ReadAll(outPath);
    result.err = ReadAll(errPath);
    return result;
}

#else

// The stand-in's state directory of the checker runs, apart from the test's.
fs::path StateHome(const fs::path& work) {
    return work / "xdg";
}

Result RunChecker(const std::vector<std::string>& args, const fs::path& work) {
    const fs::path outPath = work / "out.txt", errPath = work / "err.txt";
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = ::open("/dev/null", O_RDONLY);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        if (::chdir(work.c_str()) != 0) {
            ::_exit(126);
        }
        ::setenv("XDG_STATE_HOME", StateHome(work).c_str(), 1);
        std::vector<char*> argv;
        std::string program = TARNWICK_CHECK_PROGRAM;
        argv.push_back(program.data());
        std::vector<std::string> copies(args);
        for (auto& arg : copies) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    Result result;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(kGiveUpSeconds);
    while (pid > 0 && std::chrono::steady_clock::now() < end) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (result.exitCode == -1 && pid > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    result.out = ReadAll(outPath);
    result.err = ReadAll(errPath);
    return result;
}

#endif

class CheckProgramTest : public testsupport::PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        work_ = testPlatform().HostPath(Scratch());
    }
    // A copy of a share of the source tree in the work folder, named `name`.
    void CopyShare(const std::string& from, const std::string& name) {
        fs::copy(fs::path(TARNWICK_SOURCE_DIR) / from, work_ / name, fs::copy_options::recursive);
    }
    Result Check(const std::vector<std::string>& args) { return RunChecker(args, work_); }

    fs::path work_;
};

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(CheckProgramTest, ShowsTheWholeLogonOfTheSampleShareAndChangesNothing) {
    CopyShare("examples/share", "share");
    const auto before = Snapshot(work_ / "share");
    const Result result = Check({"--user", "jsmith", "--machine", "WS01", "share"});
    ASSERT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(result.err, "");
    for (const char* part : {
             "Logon of jsmith (John Smith) on WS01, group EVERYONE\n",
             "  m  MACHINE\\WS01.DAT: missing, skipped\n",
             "GLOBAL\\_DEFAULT.DAT:4  DH:=\\\\FILES01\\HOME\\jsmith\n"
             "  -> map drive H: to \\\\FILES01\\HOME\\jsmith\n",
             "GLOBAL\\_DEFAULT.DAT:18  I[C:\\Tarnwick\\app.ini]User.Greeting=Welcome John Smith "
             "(JSmith) on WS01\n",
             "GROUP\\EVERYONE.DAT:3  USoftware\\Brackenlow\\Sample.Logons=D$10\n"
             "  -> write REG_DWORD 16 to HKEY_CURRENT_USER\\Software\\Brackenlow\\Sample\\Logons\n",
             "     the program's message: Unknown command :    VC:\\Indented\n",
         }) {
        EXPECT_TRUE(Has(result.out, part)) << part << "\n" << result.out;
    }
    EXPECT_EQ(Snapshot(work_ / "share"), before);
#ifndef _WIN32
    // The stand-in workstation is only looked at: not even its drive C is
    // made, nor a registry, a profile or a file.
    EXPECT_EQ(Snapshot(StateHome(work_)), (std::map<std::string, std::string>{}));
#endif
}

TEST_F(CheckProgramTest, ExitsWithZeroWhenNothingIsFlagged) {
    CopyShare("tests/check/shares/clean", "clean");
    const Result result = Check({"--user", "jsmith", "--machine", "WS01", "clean"});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_TRUE(Has(result.out, "0 flags, 0 notes.\n")) << result.out;
}

TEST_F(CheckProgramTest, GivesEveryFlagOfTheFlagsShareAsJson) {
    CopyShare("tests/check/shares/flags", "flags");
    const Result result = Check({"--json", "--user=jsmith", "--machine=WS01", "flags"});
    ASSERT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(result.out.front(), '{');
    EXPECT_TRUE(Has(result.out, "\"flags\":21,\"notes\":4,")) << result.out;
    for (const char* kind :
         {"shadowed-macro", "unknown-process-letter", "missing-script-file", "no-full-name",
          "unknown-command", "no-value-name", "bad-number", "no-type-letter",
          "backslash-in-value-name", "malformed-ini", "no-copy-target", "no-device",
          "undefined-macro", "macro-order", "self-reference", "long-line"}) {
        EXPECT_TRUE(Has(result.out, std::string("\"kind\":\"") + kind + "\"")) << kind;
    }
    EXPECT_TRUE(Has(result.out,
                    "\"message\":\"'twelve' is not a valid integer value : "
                    "USoftware\\\\Test.Count=Dtwelve\""));
}

TEST_F(CheckProgramTest, UsageErrorsAndMissingSharesExitWithTwo) {
    Result result = Check({"--user", "jsmith", "share"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(Has(result.err, "tarnwick-check: --machine is required\nUsage: tarnwick-check"))
        << result.err;

    result = Check({"--user", "jsmith", "--machine", "WS01", "--verbose", "share"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(Has(result.err, "unknown option --verbose")) << result.err;

    result = Check({"--user", "jsmith", "--machine", "WS01", "no-such-share"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(Has(result.err, "tarnwick-check: the share folder no-such-share does not exist\n"))
        << result.err;

    result = Check({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(Has(result.out, "Usage: tarnwick-check --user NAME --machine NAME"));

    result = Check({"--version"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "tarnwick-check " TARNWICK_VERSION "\n");
}

TEST_F(CheckProgramTest, AStartUpThatWouldStopIsFlagged) {
    fs::create_directories(work_ / "broken");
    std::ofstream(work_ / "broken" / "tarnwick.ini", std::ios::binary) << "Macros=GONE.DAT\r\n";
    const Result result = Check({"--user", "jsmith", "--machine", "WS01", "broken"});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_TRUE(Has(result.out, "     the program's message: Cannot open file GONE.DAT\n"))
        << result.out;
    EXPECT_TRUE(Has(result.out, "The logon stops before the script runs.\n"));
}

}  // namespace
