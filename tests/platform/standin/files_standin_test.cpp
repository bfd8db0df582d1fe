// Stand-in file behaviour that Wine, running as root, does not show and so
// cannot be pinned under Wine: the read-only attribute, FIFOs and devices.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "platform/errors.h"
#include "platform/files.h"
#include "support/standin/scratch_standin.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ScratchStandin;

class StandinFilesTest : public ::testing::Test {
  protected:
    platform::Files& files() { return scratch_.services().files(); }
    static std::string Read(const fs::path& path) { return ScratchStandin::Read(path); }

    ScratchStandin scratch_{"files"};
    const fs::path c_ = scratch_.Drive('c');
};

TEST_F(StandinFilesTest, ReadOnlyTargetIsNotReplacedAndTheCopyKeepsTheSourceMode) {
    std::ofstream(c_ / "src.txt") << "new";
    std::ofstream(c_ / "ro.txt") << "old";
    ::chmod((c_ / "ro.txt").c_str(), 0444);
    EXPECT_EQ(files().CopyFileW("C:\\src.txt", "C:\\ro.txt", false), platform::kErrorAccessDenied);
    EXPECT_EQ(Read(c_ / "ro.txt"), "old");
    EXPECT_NE(files().GetFileAttributesW("C:\\ro.txt") & 0x1u, 0u);  // FILE_ATTRIBUTE_READONLY

    ::chmod((c_ / "src.txt").c_str(), 0600);
    ASSERT_EQ(files().CopyFileW("C:\\src.txt", "C:\\copy.txt", false), 0u);
    struct stat info {};
    ASSERT_EQ(::stat((c_ / "copy.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(StandinFilesTest, CopyLeavesNoTemporaryFileBehind) {
    std::ofstream(c_ / "src.txt") << "data";
    ASSERT_EQ(files().CopyFileW("C:\\src.txt", "C:\\dst.txt", false), 0u);
    ASSERT_EQ(files().CopyFileW("C:\\src.txt", "C:\\dst.txt", false), 0u);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(c_)) {
        ++entries;
    }
    EXPECT_EQ(entries, 2);
}

// A FIFO or a device in the share is no file Windows could have: reading it
// as one must fail at once, not wait for a writer or read forever.
TEST_F(StandinFilesTest, FifosAndDevicesAreNotReadAsFiles) {
    ASSERT_EQ(::mkfifo((c_ / "pipe").c_str(), 0644), 0);
    std::string contents = "unchanged";
    EXPECT_EQ(files().ReadWholeFile("C:\\pipe", &contents), platform::kErrorAccessDenied);
    EXPECT_EQ(files().ReadWholeFile("/dev/zero", &contents), platform::kErrorAccessDenied);
    EXPECT_EQ(contents, "unchanged");
    EXPECT_EQ(files().CopyFileW("C:\\pipe", "C:\\copy.txt", false), platform::kErrorAccessDenied);
    EXPECT_FALSE(fs::exists(c_ / "copy.txt"));
}

// "?" stands for one character however many bytes it takes in UTF-8, and
// letters beyond ASCII match in either case.
TEST_F(StandinFilesTest, WildcardsMatchCharactersNotBytes) {
    std::ofstream(c_ / "\xE6\x9D\xB1\xE4\xBA\xAC.txt") << "x";  // 東京.txt
    std::ofstream(c_ / "\xC5\x81ukasz.ini") << "x";             // Łukasz.ini
    const struct {
        const char* pattern;
        bool found;
    } cases[] = {
        {"C:\\??.txt", true},          {"C:\\?\xE4\xBA\xAC.TXT", true},
        {"C:\\???.txt", false},        {"C:\\*\xE4\xBA\xAC.txt", true},
        {"C:\\\xC5\x82UKASZ.*", true}, {"C:\\?ukasz.ini", true},
        {"C:\\??ukasz.ini", false},    {"C:\\*\xC5\x82*", true},
    };
    for (const auto& c : cases) {
        bool isDirectory = true;
        EXPECT_EQ(files().FindFirst(c.pattern, &isDirectory) == platform::kErrorSuccess, c.found)
            << c.pattern;
    }
}

}  // namespace
