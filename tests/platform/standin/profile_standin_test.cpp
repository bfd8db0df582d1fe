// Stand-in INI writer behaviour beyond what Wine shows: where Wine would
// lose or garble data the stand-in keeps it, the encodings files are kept
// in, and Windows' treatment of read-only files and symbolic links.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "platform/errors.h"
#include "platform/profile.h"
#include "support/standin/scratch_standin.h"
#include "support/utf16_file.h"

namespace {

using testsupport::Utf16File;

namespace fs = std::filesystem;
using namespace std::string_literals;

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

// UTF-16 that is not whole cannot be rewritten without losing a
// character: the write is refused and the file left as it was.
TEST_F(StandinProfileTest, Utf16FileThatIsNotWholeIsRefusedAndLeftAlone) {
    const struct {
        const char* what;
        std::string file;
    } cases[] = {
        {"half a character at the end", std::string("\xff\xfe[\0A\0]\0\r", 9)},
        {"a lone surrogate", std::string("\xff\xfe[\0A\0]\0\x00\xd8", 10)},
        {"a lone big-endian surrogate", std::string("\xfe\xff\0[\0A\0]\xd8\x00", 10)},
    };
    for (const auto& c : cases) {
        Put(c_ / "u.ini", c.file);
        EXPECT_EQ(Write("A", "b", "2", "C:\\u.ini"), platform::kErrorInvalidData) << c.what;
        EXPECT_EQ(Read(c_ / "u.ini"), c.file) << c.what;
    }
}

// A write keeps the file's encoding: UTF-16 and UTF-8 files every
// character, a file without a mark the workstation's code page, with "?"
// for a character it lacks; the lines it does not change stay byte for byte.
TEST_F(StandinProfileTest, WritesKeepTheFilesEncoding) {
    const std::string tokyo = "\xE6\x9D\xB1\xE4\xBA\xAC";  // 東京
    const struct {
        const char* what;
        const char* identity;
        std::string before;
        std::string section, key, value;
        std::string after;
    } cases[] = {
        {"UTF-16 keeps every character", "", Utf16File("[A]\r\n"), "A", tokyo, tokyo,
         Utf16File("[A]\r\n") + "\x71\x67\xAC\x4E=\0\x71\x67\xAC\x4E\r\0\n\0"s},
        {"UTF-16 finds a key ignoring case", "", Utf16File("[A]\r\nKey=1\r\n"), "a", "KEY", "2",
         Utf16File("[A]\r\nKey=2\r\n")},
        {"big-endian UTF-16 stays big-endian", "", Utf16File("[A]", true), "A", tokyo, "1",
         Utf16File("[A]\r\n", true) + "\x67\x71\x4E\xAC\0=\0\x31\0\r\0\n"s},
        {"UTF-8 behind its mark stays UTF-8", "", "\xEF\xBB\xBF[A]\r\n", "A", "k", tokyo,
         "\xEF\xBB\xBF[A]\r\nk=" + tokyo + "\r\n"},
        {"1252 writes ? for what it lacks and keeps \xE9", "", "[A]\r\n\xE9=1\r\n", "A", "k",
         tokyo + " caf\xC3\xA9", "[A]\r\n\xE9=1\r\nk=?? caf\xE9\r\n"},
        {"1252 names match ignoring case", "", "[\xC9T\xC9]\r\n\xE9=1\r\n", "\xC3\xA9t\xC3\xA9",
         "\xC3\x89", "2", "[\xC9T\xC9]\r\n\xE9=2\r\n"},
        {"1250 keeps \xA3", "CodePage=1250\n", "[A]\r\n\xA3=1\r\n", "A", "\xC5\x82",
         "\xC5\x81ukasz", "[A]\r\n\xA3=\xA3ukasz\r\n"},
        {"1251 new file", "CodePage=1251\n", "", "A", "k", "\xD0\x96 " + tokyo,
         "[A]\r\nk=\xC6 ??\r\n"},
        {"932 keeps double-byte names", "CodePage=932\n", "[\x93\x8C]\r\n", "\xE6\x9D\xB1", "k",
         tokyo, "[\x93\x8C]\r\nk=\x93\x8C\x8B\x9E\r\n"},
        {"untouched lines byte for byte", "", "[A]\r\nx=\x81\x8D\r\n[B]\r\ny=1\r\n", "B", "y", "2",
         "[A]\r\nx=\x81\x8D\r\n[B]\r\ny=2\r\n"},
        {"bytes 932 cannot read stay", "CodePage=932\n", "[A]\r\nx=\x93 \x93\r\n", "A", "y", "2",
         "[A]\r\nx=\x93 \x93\r\ny=2\r\n"},
    };
    fs::create_directories(c_ / "data");  // a standard user may create files there
    for (const auto& c : cases) {
        scratch_.Write("identity.ini", c.identity);
        fs::remove(c_ / "data" / "e.ini");
        if (!c.before.empty()) {
            Put(c_ / "data" / "e.ini", c.before);
        }
        EXPECT_EQ(Write(c.section, c.key, c.value, "C:\\data\\e.ini"), 0u) << c.what;
        EXPECT_EQ(Read(c_ / "data" / "e.ini"), c.after) << c.what;
    }
}

TEST_F(StandinProfileTest, ReadOnlyFileIsRefusedAndLeftAlone) {
    Put(c_ / "ro.ini", "[A]\r\na=1\r\n");
    ::chmod((c_ / "ro.ini").c_str(), 0444);
    EXPECT_EQ(Write("A", "a", "2", "C:\\ro.ini"), platform::kErrorAccessDenied);
    EXPECT_EQ(Read(c_ / "ro.ini"), "[A]\r\na=1\r\n");
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
