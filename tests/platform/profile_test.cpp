// The profile-string writer, pinned by bytes: the same calls run against the
// stand-in natively and against Windows' own writer under Wine, and both
// must leave exactly these files. Where Wine is not yet Windows, a case
// holds both: the stand-in (and Windows) must write what Windows writes,
// and Wine what Wine writes, so a change of either shows.
#include "platform/profile.h"

#include <gtest/gtest.h>

#include <cctype>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/errors.h"
#include "platform/platform.h"
#include "support/test_platform.h"
#include "support/utf16_file.h"

namespace {

using namespace std::string_literals;
using testsupport::Utf16File;

struct WriteCase {
    const char* name;
    std::optional<std::string> before;  // none: the file does not exist
    const char* section;
    const char* key;
    const char* value;
    std::string after;                               // what Windows writes
    std::optional<std::string> wine = std::nullopt;  // what Wine writes instead, if other
};

// The references for where Wine differs: Wine's own conformance test of the
// profile functions (dlls/kernel32/tests/profile.c: the empty section is
// "[]", its todo_wine cases on NUL bytes) and the measurements of the
// writer on Windows 10 in WelliSolutions/IniFileFormatReverseEngineering
// (documentation/WritePrivateProfileString.md: only spaces are stripped from
// names, the value is written as given, a key beginning with ";" is a
// comment).

const WriteCase kWriteCases[] = {
    {"missing file is created", std::nullopt, "S", "k", "v", "[S]\r\nk=v\r\n"},
    {"empty file", "", "A", "a", "2", "[A]\r\na=2\r\n"},
    {"new key after the section's last line, blank lines dropped",
     "[A]\r\na=1\r\n\r\n\r\n[B]\r\nb=1\r\n", "A", "c", "3", "[A]\r\na=1\r\nc=3\r\n[B]\r\nb=1\r\n"},
    {"new section at the end", "[A]\r\na=1\r\n\r\n", "B", "b", "2", "[A]\r\na=1\r\n[B]\r\nb=2\r\n"},
    {"no line break at the end", "[A]\r\na=1", "A", "b", "2", "[A]\r\na=1\r\nb=2\r\n"},
    {"section and key found ignoring case, their case kept", "[s]\r\nK=old\r\nx=1\r\n", "S", "k",
     "new", "[s]\r\nK=new\r\nx=1\r\n"},
    {"blanks around names and = ignored and dropped",
     "  [ S ]  \r\n  k  =  old  \r\n\tx\t=\t1 \r\n", "S", "k", "new", "[S]\r\nk=new\r\nx=1\r\n"},
    {"blanks around the names asked for are ignored", "[A]\r\na=1\r\n", " A ", " a ", "2",
     "[A]\r\na=2\r\n"},
    {"spaces around new names are dropped, the value is written as given", "[A]\r\n", " B ", " b ",
     "  x  ", "[A]\r\n[B]\r\nb=  x  \r\n", "[A]\r\n[B ]\r\nb =x  \r\n"},
    {"an I line with blanks around the dot and the =", "", " sec ", " key ", " value ",
     "[sec]\r\nkey= value \r\n", "[sec ]\r\nkey =value \r\n"},
    {"only spaces are stripped from names", std::nullopt, "\tT ", " \tk", "v", "[\tT]\r\n\tk=v\r\n",
     "[T ]\r\nk=v\r\n"},
    {"comments and lines without = are kept, a new key goes after them",
     ";top\r\n[S]\r\n;c1\r\nk=1\r\nplain\r\n\r\n[T]\r\n", "S", "j", "2",
     ";top\r\n[S]\r\n;c1\r\nk=1\r\nplain\r\nj=2\r\n[T]\r\n"},
    {"a line without = is a key", "[A]\r\nplain\r\na=1\r\n", "A", "PLAIN", "2",
     "[A]\r\nplain=2\r\na=1\r\n"},
    {"a key beginning with ; is a comment: never found, added at the end",
     ";top\r\n[S]\r\n;c1\r\nk=1\r\n", "S", ";c1", "2", ";top\r\n[S]\r\n;c1\r\nk=1\r\n;c1=2\r\n",
     ";top\r\n[S]\r\n;c1=2\r\nk=1\r\n"},
    {"a comment key is added even when the same line is there", "[S]\r\n;c=1\r\n", "S", " ;c", "1",
     "[S]\r\n;c=1\r\n;c=1\r\n", "[S]\r\n;c=1\r\n"},
    {"empty section is [] at the end", "[A]\r\na=1\r\n", "", "k", "v",
     "[A]\r\na=1\r\n[]\r\nk=v\r\n", "k=v\r\n[A]\r\na=1\r\n"},
    {"empty section is not the keys before the first section", "top=1\r\n[A]\r\na=1\r\n", "", "k",
     "v", "top=1\r\n[A]\r\na=1\r\n[]\r\nk=v\r\n", "top=1\r\nk=v\r\n[A]\r\na=1\r\n"},
    {"empty section: the [] one is changed, not the lines before the first header",
     "top=1\r\n[A]\r\n[]\r\nk=old\r\n", "", "k", "v", "top=1\r\n[A]\r\n[]\r\nk=v\r\n",
     "top=1\r\nk=v\r\n[A]\r\nk=old\r\n"},
    {"empty section in a new file", std::nullopt, "", "TestKey", "TestValue",
     "[]\r\nTestKey=TestValue\r\n", "TestKey=TestValue\r\n"},
    {"empty key", "[A]\r\na=1\r\n", "A", "", "v", "[A]\r\na=1\r\n=v\r\n"},
    {"empty key replaced", "[A]\r\n  =old\r\n", "A", "", "v", "[A]\r\n=v\r\n"},
    {"empty section and key", std::nullopt, "", "", "v", "[]\r\n=v\r\n", "=v\r\n"},
    {"empty value", "[A]\r\na=1\r\n", "A", "a", "", "[A]\r\na=\r\n"},
    {"LF and CR line ends become CR LF", "[A]\na=1\r[B]\nb=1\n", "A", "c", "3",
     "[A]\r\na=1\r\nc=3\r\n[B]\r\nb=1\r\n"},
    {"text after ] ignored, name up to the last ]", "[A] junk\r\n[B]C]\r\n", "B]C", "k", "1",
     "[A]\r\n[B]C]\r\nk=1\r\n"},
    {"a [ line without ] is a key", "[A\r\na=1\r\n", "A", "b", "2", "[A\r\na=1\r\n[A]\r\nb=2\r\n"},
    {"first of equal sections and keys", "[A]\r\na=1\r\nA=2\r\n[a]\r\na=3\r\n", "A", "a", "4",
     "[A]\r\na=4\r\nA=2\r\n[a]\r\na=3\r\n"},
    {"everything after the first = is the old value", "[A]\r\na=1=2\r\n", "A", "a", "3",
     "[A]\r\na=3\r\n"},
    {"quotes are plain text", "[A]\r\na=\"x\"\r\n", "A", "b", "\"y\"",
     "[A]\r\na=\"x\"\r\nb=\"y\"\r\n"},
    {"the same value leaves the file as it was", "[A]\r\n a = 1 \n\n\n", "A", "a", "1",
     "[A]\r\n a = 1 \n\n\n"},
    {"a UTF-8 byte order mark stays", "\xEF\xBB\xBF[A]\r\na=1\r\n", "A", "b", "2",
     "\xEF\xBB\xBF[A]\r\na=1\r\nb=2\r\n"},
    {"a UTF-16 file is written back in UTF-16", Utf16File("[A]\r\na=1\r\n"), "A", "b", "2",
     Utf16File("[A]\r\na=1\r\nb=2\r\n")},
    {"an accented name and value go into a UTF-16 file as their characters",
     Utf16File("[\xC3\x89T\xC3\x89]\r\na=1\r\n"), "\xC3\x89T\xC3\x89", "\xC3\xA9",
     "\xC3\xA0 bient\xC3\xB4t",
     Utf16File("[\xC3\x89T\xC3\x89]\r\na=1\r\n\xC3\xA9=\xC3\xA0 bient\xC3\xB4t\r\n")},
    {"names beyond any code page go into a UTF-16 file whole, found ignoring case",
     Utf16File("[\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7]\r\na=1\r\n"),
     "\xCE\x95\xCE\x9B\xCE\x88\xCE\x9D\xCE\x97", "\xC5\x81ukasz", "\xE6\x9D\xB1\xE4\xBA\xAC",
     Utf16File("[\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7]\r\na=1\r\n\xC5\x81ukasz="
               "\xE6\x9D\xB1\xE4\xBA\xAC\r\n"),
     // Wine 8 compares INI names ignoring the case of ASCII letters only
     // (measured: [Caf\xE9] and [CAF\xC9] are two sections there), where the
     // user locale's comparison folds every letter.
     Utf16File("[\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7]\r\na=1\r\n["
               "\xCE\x95\xCE\x9B\xCE\x88\xCE\x9D\xCE\x97]\r\n"
               "\xC5\x81ukasz=\xE6\x9D\xB1\xE4\xBA\xAC\r\n")},
    {"an ANSI file takes the code page's letters, and ? for those it lacks", "[A]\r\na=caf\xE9\r\n",
     "A", "b", "\xE6\x9D\xB1\xE4\xBA\xAC caf\xC3\xA9", "[A]\r\na=caf\xE9\r\nb=?? caf\xE9\r\n"},
    {"a NUL byte is written back with the rest", "[s]\r\nname1=val1\r\n\0"s, "s", "name5", "val5",
     "[s]\r\nname1=val1\r\n\0\r\nname5=val5\r\n"s, "[s]\r\nname1=val1\r\n\r\nname5=val5\r\n"},
    {"NUL bytes before the first section are kept", "Data \0 before \0 first \0 section"s,
     "section1", "key1", "string1",
     "Data \0 before \0 first \0 section\r\n[section1]\r\nkey1=string1\r\n"s,
     "Data \r\n[section1]\r\nkey1=string1\r\n"},
};

class ProfileTest : public testsupport::PlatformTest {
  protected:
    platform::Win32Error Write(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& file) {
        return platform::Current().profile().WritePrivateProfileStringW(section, key, value, file);
    }
};

TEST_F(ProfileTest, WritesTheSameBytesAsWindows) {
    int n = 0;
    for (const WriteCase& c : kWriteCases) {
        const std::string file = At("case" + std::to_string(n++) + ".ini");
        if (c.before) {
            WriteFile(file, *c.before);
        }
        EXPECT_EQ(Write(c.section, c.key, c.value, file), platform::kErrorSuccess) << c.name;
        EXPECT_EQ(ReadFile(file), IsWine() && c.wine ? *c.wine : c.after) << c.name;
    }
}

TEST_F(ProfileTest, SuccessiveWritesBuildTheFile) {
    const std::string file = At("build.ini");
    ASSERT_EQ(Write("Main", "One", "1", file), 0u);
    ASSERT_EQ(Write("Other", "Two", "2", file), 0u);
    ASSERT_EQ(Write("MAIN", "Three", "3", file), 0u);
    ASSERT_EQ(Write("main", "one", "first", file), 0u);
    EXPECT_EQ(ReadFile(file), "[Main]\r\nOne=first\r\nThree=3\r\n[Other]\r\nTwo=2\r\n");
}

TEST_F(ProfileTest, RefusesAnEmptyNameAMissingDirectoryAndADirectory) {
    MakeDir(At("adir"));
    EXPECT_EQ(Write("A", "a", "1", ""), platform::kErrorAccessDenied);
    EXPECT_EQ(Write("A", "a", "1", At("nodir\\x.ini")), platform::kErrorPathNotFound);
    EXPECT_EQ(Write("A", "a", "1", At("no1\\no2\\x.ini")), platform::kErrorPathNotFound);
    EXPECT_EQ(Write("A", "a", "1", At("adir")), platform::kErrorAccessDenied);
    EXPECT_FALSE(Exists(At("nodir")));
    EXPECT_EQ(Write("A", "a", "1", At("bar|x.ini")), platform::kErrorInvalidName);
    EXPECT_EQ(Write("A", "a", "1", At("ctl\x02x.ini")), platform::kErrorInvalidName);
    EXPECT_FALSE(Exists(At("bar|x.ini")));
}

TEST_F(ProfileTest, BareFileNameLiesInTheWindowsDirectory) {
    const std::string name = "tarnwick-profile-" +
                             std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                             "-" + std::to_string(reinterpret_cast<uintptr_t>(this)) + ".ini";
    const std::string inWindows = "C:\\WINDOWS\\" + name;
    // The place is told before anything is written, in any letter case;
    // a name with a folder stays as it is.
    const auto upper = [](std::string text) {
        for (char& c : text) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        return text;
    };
    EXPECT_EQ(upper(platform::Current().profile().PlaceOfFile(name)), upper(inWindows));
    EXPECT_EQ(platform::Current().profile().PlaceOfFile(".\\" + name), ".\\" + name);
    ASSERT_EQ(Write("A", "a", "1", name), 0u);
    EXPECT_EQ(ReadFile(inWindows), "[A]\r\na=1\r\n");
    std::error_code ec;
    std::filesystem::remove(testPlatform().HostPath(inWindows), ec);
}

}  // namespace
