// Stand-in INI writer behaviour beyond what Wine shows: where Wine would
// lose or garble data the stand-in keeps it, and Windows' treatment of
// read-only files, accented names and symbolic links.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "platform/errors.h"
#include "platform/profile.h"
#include "support/standin/scratch_standin.h"

namespace {

namespace fs = std::filesystem;

class StandinProfileTest : public ::testing::Test {
  protected:
    platform::Win32Error Write(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& file) {
        return scratch_.services().profile().WritePrivateProfileStringW(section, key, value, file);
    }
    static void Put(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string Read(const fs::path& path) {
        return testsupport::ScratchStandin::Read(path);
    }

    testsupport::ScratchStandin scratch_{"profile"};
    const fs::path c_ = scratch_.Drive('c');
};

TEST_F(StandinProfileTest, EmptySectionHeaderIsKeptSoItsKeysStayInIt) {
    Put(c_ / "a.ini", "[A]\r\nx=1\r\n[]\r\na=1\r\n");
    ASSERT_EQ(Write("A", "y", "2", "C:\\a.ini"), 0u);
    EXPECT_EQ(Read(c_ / "a.ini"), "[A]\r\nx=1\r\ny=2\r\n[]\r\na=1\r\n");
}

// The stand-in reads a UTF-16 file as ANSI text: one it cannot read so
// without losing a character, or a value with a byte the code page leaves
// undefined, is refused and the file left as it was.
TEST_F(StandinProfileTest, Utf16FileThatAnsiTextCannotHoldIsRefusedAndLeftAlone) {
    const struct {
        const char* what;
        std::string file;
        const char* value;
    } cases[] = {
        {"a Cyrillic letter", std::string("\xff\xfe[\0A\0]\0\r\0\n\0\x16\x04=\0", 16), "2"},
        {"half a character at the end", std::string("\xff\xfe[\0A\0]\0\r", 9), "2"},
        {"a lone surrogate", std::string("\xff\xfe[\0A\0]\0\x00\xd8", 10), "2"},
        {"an undefined byte in the value", std::string("\xff\xfe[\0A\0]\0", 8), "\x81"},
        {"big-endian UTF-16", std::string("\xfe\xff\0[\0A\0]", 8), "2"},
    };
    for (const auto& c : cases) {
        Put(c_ / "u.ini", c.file);
        EXPECT_EQ(Write("A", "b", c.value, "C:\\u.ini"), platform::kErrorInvalidData) << c.what;
        EXPECT_EQ(Read(c_ / "u.ini"), c.file) << c.what;
    }
}

TEST_F(StandinProfileTest, ReadOnlyFileIsRefusedAndLeftAlone) {
    Put(c_ / "ro.ini", "[A]\r\na=1\r\n");
    ::chmod((c_ / "ro.ini").c_str(), 0444);
    EXPECT_EQ(Write("A", "a", "2", "C:\\ro.ini"), platform::kErrorAccessDenied);
    EXPECT_EQ(Read(c_ / "ro.ini"), "[A]\r\na=1\r\n");
}

TEST_F(StandinProfileTest, AccentedNamesMatchIgnoringCaseAsInTheWindowsLocale) {
    Put(c_ / "e.ini", "[\xc9T\xc9]\r\n\xe9=1\r\n");
    ASSERT_EQ(Write("\xe9t\xe9", "\xc9", "2", "C:\\e.ini"), 0u);
    EXPECT_EQ(Read(c_ / "e.ini"), "[\xc9T\xc9]\r\n\xe9=2\r\n");
}

TEST_F(StandinProfileTest, ReplacesTheFileWholeKeepingItsModeAndLinks) {
    fs::create_directories(c_ / "real");
    Put(c_ / "real" / "t.ini", "[A]\r\na=1\r\n");
    ::chmod((c_ / "real" / "t.ini").c_str(), 0640);
    fs::create_symlink(c_ / "real" / "t.ini", c_ / "link.ini");
    ASSERT_EQ(Write("A", "a", "2", "C:\\LINK.INI"), 0u);
    EXPECT_TRUE(fs::is_symlink(c_ / "link.ini"));
    EXPECT_EQ(Read(c_ / "real" / "t.ini"), "[A]\r\na=2\r\n");
    struct stat info {};
    ASSERT_EQ(::stat((c_ / "real" / "t.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(c_ / "real")) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);  // no temporary file left beside it
}

TEST_F(StandinProfileTest, BareNameCreatesTheWindowsDirectoryWhenMissing) {
    ASSERT_FALSE(fs::exists(c_ / "WINDOWS"));
    ASSERT_EQ(Write("A", "a", "1", "APP.INI"), 0u);
    EXPECT_EQ(Read(c_ / "WINDOWS" / "APP.INI"), "[A]\r\na=1\r\n");
    fs::rename(c_ / "WINDOWS", c_ / "windows");
    ASSERT_EQ(Write("A", "a", "2", "app.ini"), 0u);
    EXPECT_EQ(Read(c_ / "windows" / "APP.INI"), "[A]\r\na=2\r\n");
    EXPECT_EQ(Write("A", "a", "1", "Q:\\x.ini"), platform::kErrorPathNotFound);
}

}  // namespace
