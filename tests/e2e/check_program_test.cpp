// The built checker on real share folders: what it prints, its exit codes,
// its JSON, and that it leaves the share (and the workstation) unchanged.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "support/program.h"
#include "support/test_platform.h"
#include "tarnwick_version.h"

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
constexpr std::chrono::seconds kGiveUpSeconds{120};

#ifndef _WIN32
// The stand-in's state directory of the checker runs, apart from the test's.
fs::path StateHome(const fs::path& work) {
    return work / "xdg";
}
#endif

Result RunChecker(const std::vector<std::string>& args, const fs::path& work) {
    testsupport::ProgramStart start;
    start.program = TARNWICK_CHECK_PROGRAM;
    start.args = args;
    start.directory = work;
    start.output = work / "out.txt";
    start.errors = work / "err.txt";
#ifndef _WIN32
    start.environment = {{"XDG_STATE_HOME", StateHome(work).string()}};
#endif
    const testsupport::ProgramResult run = testsupport::RunProgram(start, kGiveUpSeconds);
    Result result;
    if (run.ended) {
        result.exitCode = run.exitCode;
    }
    result.out = ReadAll(start.output);
    result.err = ReadAll(start.errors);
    return result;
}

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
    // The stand-in workstation the checker looks at holds the shares of
    // `from` (a folder of the source tree: SERVER\SHARE\...).
    void StandinNetwork(const std::string& from) {
#ifndef _WIN32
        fs::create_directories(StateHome(work_) / "tarnwick");
        fs::copy(fs::path(TARNWICK_SOURCE_DIR) / from, StateHome(work_) / "tarnwick" / "network",
                 fs::copy_options::recursive);
#else
        static_cast<void>(from);
#endif
    }

    fs::path work_;
};

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(CheckProgramTest, ShowsTheWholeLogonOfTheSampleShareAndChangesNothing) {
    CopyShare("examples/share", "share");
    StandinNetwork("examples/network");
    const auto before = Snapshot(work_ / "share");
#ifndef _WIN32
    const auto workstation = Snapshot(StateHome(work_));
#endif
    const Result result = Check({"--user", "jsmith", "--machine", "WS01", "share"});
    ASSERT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(result.err, "");
    for (const char* part : {
             "Logon of jsmith (John Smith) on WS01, group EVERYONE\n",
             "  m  MACHINE\\WS01.DAT: missing, skipped\n",
             "GLOBAL\\_DEFAULT.DAT:4  DH:=\\\\FILES01\\HOME\\jsmith\n"
             "  -> connect H: to \\\\FILES01\\HOME\\jsmith\n",
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
    EXPECT_EQ(Snapshot(StateHome(work_)), workstation);
#endif
}

TEST_F(CheckProgramTest, ExitsWithZeroWhenNothingIsFlagged) {
    CopyShare("tests/check/shares/clean", "clean");
    StandinNetwork("tests/check/shares/clean-network");
    const Result result = Check({"--user", "jsmith", "--machine", "WS01", "clean"});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_TRUE(Has(result.out, "0 flags, ")) << result.out;
}

TEST_F(CheckProgramTest, GivesEveryFlagOfTheFlagsShareAsJson) {
    CopyShare("tests/check/shares/flags", "flags");
    const Result result = Check({"--json", "--user=jsmith", "--machine=WS01", "flags"});
    ASSERT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(result.out.front(), '{');
    // A standard user, the stand-in's default and the checker's without a
    // workstation, may neither write the classes root's key nor load the
    // hive of USER\jsmith.DAT (which the stand-in also knows is missing).
    EXPECT_TRUE(Has(result.out, IsStandin() ? "\"flags\":23,\"notes\":6," : "\"flags\":23,"))
        << result.out;
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
