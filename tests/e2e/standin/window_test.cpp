// The whole program on the stand-in workstation: a login share in a
// temporary directory, the program copied into it beside its settings file,
// the window drawn as text on standard output.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/program.h"
#include "tarnwick_version.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kBanner =
    "Continue: \"Tarnwick " TARNWICK_VERSION " - your login script is running\"";

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The blocks printed on standard output, each as its lines.
std::vector<std::vector<std::string>> Blocks(const std::string& out) {
    std::vector<std::vector<std::string>> blocks;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        if (line == "--- Login Script ---") {
            blocks.emplace_back();
        }
        if (!blocks.empty()) {
            blocks.back().push_back(line);
        }
    }
    return blocks;
}

bool Has(const std::vector<std::string>& block, const std::string& line) {
    return std::find(block.begin(), block.end(), line) != block.end();
}

class StandinProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarnwick-e2e-XXXXXX";
        root_ = ::mkdtemp(pattern);
        share_ = root_ / "share";
        state_ = root_ / "xdg" / "tarnwick";
        fs::create_directories(share_ / "GLOBAL");
        fs::create_directories(state_);
        fs::copy_file(TARNWICK_PROGRAM, share_ / "tarnwick");
        Write(state_ / "identity.ini", "User=jsmith\nMachine=WS01\n");
        // Ten seconds become a tenth of one, through the state directory only.
        Write(state_ / "toolkit.ini", "TimerScale=0.01\n");
        Write(share_ / "GLOBAL" / "_DEFAULT.DAT", "; hello\r\n");
        Write(share_ / "USERLIST.DAT", "jsmith=John Smith\r\n");
        Write(share_ / "NEWS.RTF", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Welcome\\par}");
    }
    void TearDown() override {
        program_.reset();
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    static void Write(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    // Starts the program in the share with standard input at /dev/null, or
    // at a pipe that the test holds open, with the arguments `args`.
    void Start(bool holdInput = false, std::vector<std::string> args = {}) {
        testsupport::ProgramStart start;
        start.program = share_ / "tarnwick";
        start.args = std::move(args);
        start.directory = share_;
        start.environment = {{"XDG_STATE_HOME", (root_ / "xdg").string()}};
        start.output = root_ / "out.txt";
        start.errors = root_ / "err.txt";
        start.inputPipe = holdInput;
        program_ = std::make_unique<testsupport::Program>(start);
        ASSERT_EQ(program_->startError(), "");
    }

    // The exit code, or -1 when the program is still running after `limit`.
    int Wait(std::chrono::milliseconds limit = 30s) { return program_->Wait(limit).value_or(-1); }

    std::string Out() const { return ReadAll(root_ / "out.txt"); }
    std::string Err() const { return ReadAll(root_ / "err.txt"); }

    fs::path root_, share_, state_;
    std::unique_ptr<testsupport::Program> program_;
};

TEST_F(StandinProgramTest, RunsTheScriptShowsTheWindowAndEndsThroughTheButton) {
    Write(share_ / "tarnwick.INI", "Process=*\r\nNotice=NEWS.RTF\r\n");
    Start();
    ASSERT_EQ(Wait(), 0) << Err();
    EXPECT_EQ(Err(), "");

    const auto blocks = Blocks(Out());
    ASSERT_EQ(blocks.size(), 2u) << Out();
    const std::vector<std::string>& shown = blocks[0];
    const std::vector<std::string> head(shown.begin(), shown.begin() + 12);
    EXPECT_EQ(head, (std::vector<std::string>{
                        "--- Login Script ---",
                        "NameLabel: \"Login Name\"",
                        "NameFLabel: \"Full Name\"",
                        "MachineLabel: \"Machine Name\"",
                        "DateLabel: \"Date and Time\"",
                        "lUName: \"jsmith\" background=#FFFFFF",
                        "lUFName: \"John Smith\" background=#FFFFFF",
                        "lMName: \"WS01\" background=#FFFFFF",
                        shown[8],  // the date and time of the moment
                        "NewsLabel: \"NEWS OF THE DAY\" background=#00FF00",
                        "NewsOfTheDay: \"Welcome\\n\"",
                        "mCodeList: \"\" hidden",
                    }));
    EXPECT_EQ(shown[8].rfind("lDTstring: \"", 0), 0u);
    const std::vector<std::string> diagnostics(shown.begin() + 12, shown.begin() + 18);
    EXPECT_EQ(diagnostics,
              (std::vector<std::string>{"    ;---GLOBAL\\_DEFAULT.DAT", "    ; hello",
                                        "    ---- CONFIG FILE ----", "    Process=*",
                                        "    Notice=NEWS.RTF", "    ---- MACROS FILE ----"}));
    EXPECT_TRUE(Has(shown, "    UIDL=jsmith"));
    EXPECT_TRUE(Has(shown, "ErrorStatus: \"\""));
    EXPECT_EQ(shown[shown.size() - 2], kBanner);
    EXPECT_EQ(shown.back(), "--- end ---");

    // After the tick only the button has changed.
    std::vector<std::string> expected = shown;
    expected[expected.size() - 2] = "Continue: \"Press to continue\"";
    EXPECT_EQ(blocks[1], expected);
}

TEST_F(StandinProgramTest, AMissingSettingsFileShowsTheWarningAndStillEndsWithZero) {
    Start();
    ASSERT_EQ(Wait(), 0) << Err();
    const auto blocks = Blocks(Out());
    ASSERT_EQ(blocks.size(), 2u) << Out();
    const auto& shown = blocks[0];
    EXPECT_TRUE(Has(shown,
                    "ErrorStatus: \"Possible problem, see administrator, note machine name and "
                    "time\" background=#FF0000"));
    const auto errors = std::find(shown.begin(), shown.end(), "    ---- ERRORS ----");
    ASSERT_NE(errors, shown.end());
    EXPECT_EQ(*(errors + 1), "    Failed to load " + (share_ / "tarnwick.INI").string());
    // The default news file NOTICE.RTF does not exist.
    EXPECT_TRUE(Has(shown, "NewsLabel: \"News of the Day\""));
    EXPECT_TRUE(Has(shown, "NewsOfTheDay: \"\""));
}

TEST_F(StandinProgramTest, AFailureInStartUpIsReportedAndEndsWithOne) {
    Write(share_ / "tarnwick.INI", "Macros=MISSING.DAT\r\n");
    Start();
    ASSERT_EQ(Wait(), 1);
    EXPECT_EQ(Out(), "");
    EXPECT_EQ(Err(),
              "[Application Error] Exception EFOpenError in module tarnwick.\n"
              "Cannot open file MISSING.DAT.\n\n"
              "The macros file " +
                  (share_ / "MISSING.DAT").string() +
                  ", named by the Macros line of the settings file " +
                  (share_ / "tarnwick.INI").string() +
                  ", cannot be opened. No script was run: put the file there, or correct or "
                  "remove the Macros line.\n");
    EXPECT_FALSE(fs::exists(state_ / "registry")) << "no run record, nor any other value";
}

TEST_F(StandinProgramTest, AMissingFullNameListLeavesTheFullNameEmptyAndTheScriptRuns) {
    fs::remove(share_ / "USERLIST.DAT");
    Write(share_ / "tarnwick.INI", "Process=*\r\n");
    Write(share_ / "GLOBAL" / "_DEFAULT.DAT", "Xscript ran\r\n");
    Start();
    ASSERT_EQ(Wait(), 0) << Err();
    const auto blocks = Blocks(Out());
    ASSERT_EQ(blocks.size(), 2u) << Out();
    EXPECT_TRUE(Has(blocks[0], "lUFName: \"\" background=#FFFFFF"));
    EXPECT_TRUE(Has(blocks[0], "    Unknown command : Xscript ran"));
}

TEST_F(StandinProgramTest, TheButtonIsPressedOnlyOnceStandardInputHasEnded) {
    Write(share_ / "tarnwick.INI", "Process=*\r\n");
    Start(true);
    const auto end = std::chrono::steady_clock::now() + 30s;
    while (Out().find("Press to continue") == std::string::npos &&
           std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_NE(Out().find("Press to continue"), std::string::npos) << Err();
    EXPECT_EQ(Wait(300ms), -1);  // active, but input is still open
    ASSERT_TRUE(program_->Input("typed ahead\n"));
    program_->CloseInput();
    EXPECT_EQ(Wait(), 0);
    EXPECT_EQ(Blocks(Out()).size(), 2u);
}

// Everything below a folder, as relative paths: what a run left there.
std::vector<std::string> Listing(const fs::path& dir) {
    std::vector<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        entries.push_back(fs::relative(entry.path(), dir).string());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

TEST_F(StandinProgramTest, AnswersHelpAndVersionAndRefusesOtherArgumentsWithoutALogon) {
    const std::string usage = "Usage: tarnwick [--help | --version]\n";
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string outStart, errStart;
    };
    const std::vector<Case> cases = {
        {{"--help"}, 0, usage, ""},
        {{"--version"}, 0, "tarnwick " TARNWICK_VERSION "\n", ""},
        {{"-h"}, 2, "", "tarnwick: unknown argument -h\n" + usage},
        {{"--user", "jsmith"}, 2, "", "tarnwick: unknown argument --user\n" + usage},
        {{"--help", "--verbose"}, 2, "", "tarnwick: unknown argument --verbose\n" + usage},
        {{"--help", "--version"},
         2,
         "",
         "tarnwick: --help and --version are taken alone\n" + usage},
        {{""}, 2, "", "tarnwick: unknown argument \n" + usage},
    };
    Write(share_ / "tarnwick.INI", "Process=*\r\n");
    const auto stateBefore = Listing(root_ / "xdg");
    for (const Case& c : cases) {
        const std::string name = "arguments: " + ::testing::PrintToString(c.args);
        Start(false, c.args);
        ASSERT_EQ(Wait(), c.exitCode) << name;
        EXPECT_EQ(Out().rfind(c.outStart, 0), 0u) << name << "\n" << Out();
        EXPECT_EQ(Err().rfind(c.errStart, 0), 0u) << name << "\n" << Err();
        EXPECT_EQ(c.outStart.empty(), Out().empty()) << name;
        EXPECT_EQ(Out().find("--- Login Script ---"), std::string::npos) << name;
        EXPECT_EQ(Listing(root_ / "xdg"), stateBefore) << name << ": the state folder was touched";
    }
    // The usage says where the stand-in keeps its state and what the exit codes are.
    Start(false, {"--help"});
    ASSERT_EQ(Wait(), 0);
    for (const char* part :
         {"$XDG_STATE_HOME/tarnwick", "identity.ini", "Exit status: 0 ", "\nOptions:\n  --help "}) {
        EXPECT_NE(Out().find(part), std::string::npos) << part;
    }
}

}  // namespace
