// The Linux program's arguments: taken as they are, and only --help and
// --version answered.
#include "platform/arguments.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using Arguments = std::vector<std::string>;

TEST(StandinArgumentsTest, TakesMainsArgumentsAfterTheProgramsNameAsTheyAre) {
    const char* const argv[] = {"tarnwick-check", "--user", "\xE6\x9D\xB1\xE4\xBA\xAC", ""};
    EXPECT_EQ(platform::ProgramArguments(4, argv),
              (Arguments{"--user", "\xE6\x9D\xB1\xE4\xBA\xAC", ""}));
    EXPECT_EQ(platform::ProgramArguments(1, argv), Arguments{});
    EXPECT_EQ(platform::ProgramArguments(0, nullptr), Arguments{});
}

TEST(StandinArgumentsTest, AnswersHelpAndVersionAloneAndRefusesAnythingElse) {
    const struct {
        Arguments arguments;
        std::optional<int> exitCode;
        const char* out;  // found in what is printed on standard output
        const char* err;  // found in what is printed on standard error
    } cases[] = {
        {{}, std::nullopt, "", ""},
        {{"--help"}, 0, "Usage: tarnwick", ""},
        {{"--version"}, 0, "tarnwick ", ""},
        {{"--help", "--version"}, 2, "", "--help and --version are taken alone"},
        {{"--help", "\xC5\x81ukasz"}, 2, "", "unknown argument \xC5\x81ukasz\nUsage: tarnwick"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.empty() ? "none" : c.arguments.back());
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_EQ(platform::HandleProgramArguments(c.arguments), c.exitCode);
        const std::string out = testing::internal::GetCapturedStdout();
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(out.find(c.out), std::string::npos) << out;
        EXPECT_NE(err.find(c.err), std::string::npos) << err;
        EXPECT_EQ(out.empty(), *c.out == '\0');
        EXPECT_EQ(err.empty(), *c.err == '\0');
    }
}

}  // namespace
