// Runs every example of the administrator's guide and compares the messages
// it leaves with the ones the guide shows under it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "check/checker.h"
#include "check/options.h"
#include "check/report.h"
#include "core/error_list.h"
#include "logon/macros.h"
#include "logon/settings.h"
#include "script/interpreter.h"
#include "script/registry_commands.h"
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
        core::ErrorList = std::make_unique<core::TStringList>();
        script::CreateScriptRegistry();
        // What the examples copy and change.
        WriteFile("C:\\Share\\source.txt", "source\r\n");
        WriteFile("C:\\Share\\other.txt", "other\r\n");
        WriteFile("C:\\Share\\app.ini", "[Server]\r\nName=OLD\r\n");
    }
    void UseMacros(const std::vector<std::string>& fileLines) {
        logon::MacroList = std::make_unique<core::TStringList>();
        for (const char* builtIn :
             {"Group=EVERYONE", "Fullname=John Smith", "UIDL=jsmith", "UID=JSmith",
              "DateTime=Mon, Dec 7, 2026 02:05 PM", "MachId=WS01"}) {
            logon::MacroList->Add(builtIn);
        }
        for (const auto& line : fileLines) {
            logon::MacroList->Add(line);
        }
        logon::ExpandMacros(*logon::MacroList);
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
        logon::ExpandMacros(script);
        core::ErrorList->Clear();
        for (const auto& line : script.Lines()) {
            script::ExecuteLine(line);
        }
        std::vector<std::string> expected;
        if (b + 1 < blocks.size() && blocks[b + 1].kind == "messages") {
            expected = blocks[b + 1].lines;
        }
        EXPECT_EQ(core::ErrorList->Lines(), expected)
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
            const check::CheckReport report = check::CheckLogon(options.request);
            out = options.json ? check::FormatJson(report) : check::FormatText(report);
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

}  // namespace
