// Runs every example of the administrator's guide and compares what it does
// with what the guide shows under it: the messages of script lines, the
// checker's report, and on Linux the shell sessions.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "check/checker.h"
#include "check/options.h"
#include "logon/macros.h"
#include "logon/settings.h"
#include "script/interpreter.h"
#include "script/registry_commands.h"
#include "support/program.h"
#include "support/test_platform.h"

namespace {

struct Block {
    std::string kind;  // the fence's info string
    std::vector<std::string> lines;
    int firstLine = 0;
};

std::vector<Block> FencedBlocks(const std::string& path) {
    std::ifstream in(path);
    std::vector<Block> blocks;
    std::string line;
    Block* open = nullptr;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.rfind("```", 0) == 0) {
            if (open == nullptr) {
                blocks.push_back({line.substr(3), {}, number + 1});
                open = &blocks.back();
            } else {
                open = nullptr;
            }
        } else if (open != nullptr) {
            open->lines.push_back(line);
        }
    }
    return blocks;
}

class GuideTest : public testsupport::PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        context().ErrorList = std::make_unique<core::TStringList>();
        context().CreateScriptRegistry();
        // What the examples copy and change.
        WriteFile("C:\\Share\\source.txt", "source\r\n");
        WriteFile("C:\\Share\\other.txt", "other\r\n");
        WriteFile("C:\\Share\\app.ini", "[Server]\r\nName=OLD\r\n");
    }
    void UseMacros(const std::vector<std::string>& fileLines) {
        context().MacroList = std::make_unique<core::TStringList>();
        for (const char* builtIn :
             {"Group=EVERYONE", "Fullname=John Smith", "UIDL=jsmith", "UID=JSmith",
              "DateTime=Mon, Dec 7, 2026 02:05 PM", "MachId=WS01"}) {
            context().MacroList->Add(builtIn);
        }
        for (const auto& line : fileLines) {
            context().MacroList->Add(line);
        }
        logon::ExpandMacros(context(), *context().MacroList);
    }
};

TEST_F(GuideTest, EveryExampleLeavesTheMessagesShownUnderIt) {
    if (!IsStandin()) {
        GTEST_SKIP() << "the guide's examples show the stand-in's network";
    }
    const auto blocks = FencedBlocks(std::string(TARNWICK_SOURCE_DIR) + "/docs/guide.md");
    int examples = 0;
    std::vector<std::string> macros;
    for (size_t b = 0; b < blocks.size(); ++b) {
        if (blocks[b].kind == "macros") {
            macros = blocks[b].lines;
            continue;
        }
        if (blocks[b].kind != "example") {
            continue;
        }
        ++examples;
        UseMacros(macros);
        macros.clear();
        core::TStringList script;
        for (const auto& line : blocks[b].lines) {
            script.Add(line);
        }
        logon::ExpandMacros(context(), script);
        context().ErrorList->Clear();
        for (const auto& line : script.Lines()) {
            script::ExecuteLine(context(), line);
        }
        std::vector<std::string> expected;
        if (b + 1 < blocks.size() && blocks[b + 1].kind == "messages") {
            expected = blocks[b + 1].lines;
        }
        EXPECT_EQ(context().ErrorList->Lines(), expected)
            << "the example at docs/guide.md line " << blocks[b].firstLine;
    }
    EXPECT_GE(examples, 7);
}

// A checker block: "$ tarnwick-check" and its arguments (blanks separate
// them, double quotes hold blanks in), then the output it shows, checked
// from the source tree's top folder. The output does not depend on the
// workstation, so the blocks hold on both platforms.
std::vector<std::string> CommandWords(const std::string& command) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, inWord = false;
    for (char c : command) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (c == ' ' && !quoted) {
            if (inWord) {
                words.push_back(word);
            }
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) {
        words.push_back(word);
    }
    return words;
}

class GuideCheckTest : public testsupport::PlatformTest {};

TEST_F(GuideCheckTest, EveryCheckerExampleShowsWhatTheCheckerPrints) {
    const auto blocks = FencedBlocks(std::string(TARNWICK_SOURCE_DIR) + "/docs/guide.md");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(TARNWICK_SOURCE_DIR);
    int examples = 0;
    for (const Block& block : blocks) {
        if (block.kind != "check") {
            continue;
        }
        ++examples;
        ASSERT_FALSE(block.lines.empty());
        std::vector<std::string> words = CommandWords(block.lines[0]);
        ASSERT_GE(words.size(), 2u) << "docs/guide.md line " << block.firstLine;
        ASSERT_EQ(words[0], "$");
        ASSERT_EQ(words[1], "tarnwick-check");
        std::string out;
        try {
            const check::Options options =
                check::ParseOptions(std::vector<std::string>(words.begin() + 2, words.end()));
            out = options.Site() ? check::FormatReport(options, check::CheckSite(options.Logons()))
                                 : check::FormatReport(options, check::CheckLogon(options.request));
        } catch (const std::exception& failure) {
            out = std::string("tarnwick-check: ") + failure.what() + "\n";
        }
        std::string shown;
        for (size_t i = 1; i < block.lines.size(); ++i) {
            shown += block.lines[i] + "\n";
        }
        EXPECT_EQ(out, shown) << "the checker example at docs/guide.md line " << block.firstLine;
    }
    std::filesystem::current_path(previous);
    EXPECT_GE(examples, 1);
}

#ifndef _WIN32
namespace fs = std::filesystem;

// A session block: what an administrator types into a shell on Linux, each
// command after "$ " (it goes on over the next lines while a quote is open
// or a line ends with a backslash), and under it what it prints. A line
// "..." stands for any number of lines.
struct Session {
    std::string script;
    std::vector<std::string> shown;
};

// Whether a command that has `text` so far goes on over the next line.
bool Continues(const std::string& text) {
    char quote = 0;
    bool escaped = false;
    for (char c : text) {
        if (escaped) {
            escaped = false;
        } else if (quote == '\'') {
            quote = c == '\'' ? 0 : quote;
        } else if (c == '\\') {
            escaped = true;
        } else if (quote == '"') {
            quote = c == '"' ? 0 : quote;
        } else if (c == '\'' || c == '"') {
            quote = c;
        }
    }
    return quote != 0 || escaped;
}

Session ParseSession(const Block& block) {
    Session session;
    std::string command;
    for (const std::string& line : block.lines) {
        if (!command.empty() && Continues(command)) {
            command += "\n" + line;
            continue;
        }
        if (!command.empty()) {
            session.script += command + "\n";
            command.clear();
        }
        if (line.rfind("$ ", 0) == 0) {
            command = line.substr(2);
        } else {
            session.shown.push_back(line);
        }
    }
    session.script += command + "\n";
    return session;
}

// A line as it is compared: the date and time, and the version in the
// button's banner, change from run to run and from release to release.
std::string Comparable(const std::string& line) {
    static const std::regex dateTime(
        "(Mon|Tue|Wed|Thu|Fri|Sat|Sun), [A-Z][a-z][a-z] [0-9]{1,2}, [0-9]{4} [0-9]{2}:[0-9]{2} "
        "[AP]M");
    static const std::regex version("Tarnwick [0-9][0-9.]* - ");
    return std::regex_replace(std::regex_replace(line, dateTime, "<date and time>"), version,
                              "Tarnwick <version> - ");
}

std::vector<std::string> ComparableLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();  // a terminal shows CR LF as a line end too
        }
        lines.push_back(Comparable(line));
    }
    return lines;
}

bool Matches(const std::vector<std::string>& out, size_t o, const std::vector<std::string>& shown,
             size_t s) {
    if (s == shown.size()) {
        return o == out.size();
    }
    if (shown[s] == "...") {
        for (size_t skip = o; skip <= out.size(); ++skip) {
            if (Matches(out, skip, shown, s + 1)) {
                return true;
            }
        }
        return false;
    }
    return o < out.size() && out[o] == shown[s] && Matches(out, o + 1, shown, s + 1);
}

// The sessions run one after another, each in a shell of its own started in
// a copy of the source tree's top folder (the examples, and the programs
// under test as build/native/tarnwick and tarnwick-check), with a home of
// their own and no XDG_STATE_HOME. The stand-in's state folder there names
// jsmith on WS01 until a session says otherwise, and its toolkit.ini makes
// the window's ten seconds a tenth of one.
class GuideSessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarnwick-guide-XXXXXX";
        root_ = ::mkdtemp(pattern);
        tree_ = root_ / "tree";
        home_ = root_ / "home";
        fs::create_directories(tree_ / "build" / "native");
        fs::copy_file(TARNWICK_PROGRAM, tree_ / "build" / "native" / "tarnwick");
        fs::copy_file(TARNWICK_CHECK_PROGRAM, tree_ / "build" / "native" / "tarnwick-check");
        fs::copy(fs::path(TARNWICK_SOURCE_DIR) / "examples", tree_ / "examples",
                 fs::copy_options::recursive);
        const fs::path state = home_ / ".local" / "state" / "tarnwick";
        fs::create_directories(state);
        std::ofstream(state / "identity.ini") << "User=jsmith\nMachine=WS01\n";
        std::ofstream(state / "toolkit.ini") << "TimerScale=0.01\n";
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    std::string Run(const std::string& script) {
        std::ofstream(root_ / "session.sh") << script;
        testsupport::ProgramStart start;
        start.program = "/bin/bash";
        start.args = {"--noprofile", "--norc", (root_ / "session.sh").string()};
        start.directory = tree_;
        start.environment = {{"XDG_STATE_HOME", std::nullopt}, {"HOME", home_.string()}};
        start.output = start.errors = root_ / "out.txt";
        const testsupport::ProgramResult run =
            testsupport::RunProgram(start, std::chrono::seconds(120));
        EXPECT_EQ(run.startError, "");
        // The session's home folder is printed as "~", as the guide writes it.
        std::string text = run.out;
        const std::string home = home_.string();
        for (size_t at = text.find(home); at != std::string::npos; at = text.find(home, at + 1)) {
            text.replace(at, home.size(), "~");
        }
        return text;
    }

    fs::path root_, tree_, home_;
};

TEST_F(GuideSessionTest, EverySessionPrintsWhatTheGuideShows) {
    int sessions = 0;
    for (const Block& block : FencedBlocks(std::string(TARNWICK_SOURCE_DIR) + "/docs/guide.md")) {
        if (block.kind != "session") {
            continue;
        }
        ++sessions;
        const Session session = ParseSession(block);
        const std::string out = Run(session.script);
        std::vector<std::string> shown;
        for (const std::string& line : session.shown) {
            shown.push_back(Comparable(line));
        }
        EXPECT_TRUE(Matches(ComparableLines(out), 0, shown, 0))
            << "the session at docs/guide.md line " << block.firstLine << " printed:\n"
            << out;
    }
    EXPECT_GE(sessions, 8);
}
#endif

}  // namespace
