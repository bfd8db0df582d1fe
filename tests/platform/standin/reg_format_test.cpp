#include "platform/standin/reg_format.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/registry.h"

namespace {

using namespace platform::standin::regfile;
using platform::kRegBinary;
using platform::kRegDword;
using platform::kRegSz;

TEST(RegFormatTest, ValueLinesReadBackAsWritten) {
    const struct {
        std::string name;
        uint32_t type;
        std::string data;
        std::string line;
    } cases[] = {
        {"Wallpaper", kRegSz, std::string("(None)\0", 7), "\"Wallpaper\"=\"(None)\""},
        {"Say \"hi\"", kRegSz, std::string("C:\\dir\\\0", 8),
         "\"Say \\\"hi\\\"\"=\"C:\\\\dir\\\\\""},
        {"", kRegSz, std::string("\0", 1), "@=\"\""},
        {"@", kRegDword, std::string("\x0a\0\0\0", 4), "\"@\"=dword:0000000a"},
        {"Neg", kRegDword, std::string("\x00\x00\x00\x80", 4), "\"Neg\"=dword:80000000"},
        {"Bin", kRegBinary, std::string("\x01\xff\x7a", 3), "\"Bin\"=hex:01,ff,7a"},
        {"Empty", kRegBinary, std::string(), "\"Empty\"=hex:"},
        // Forms that cannot carry the data fall back to typed hex bytes.
        {"Lines", kRegSz, std::string("a\nb\0", 4), "\"Lines\"=hex(1):61,0a,62,00"},
        {"NoZero", kRegSz, std::string("ab"), "\"NoZero\"=hex(1):61,62"},
        {"Short", kRegDword, std::string("\x07\x00", 2), "\"Short\"=hex(4):07,00"},
        {"Multi", 7, std::string("a\0\0", 3), "\"Multi\"=hex(7):61,00,00"},
        {"None", 0, std::string(), "\"None\"=hex(0):"},
        {"Huge", 0xfffffffe, std::string("\x10", 1), "\"Huge\"=hex(fffffffe):10"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatValueLine(c.name, c.type, c.data), c.line);
        const ParsedLine parsed = ParseLine(c.line);
        ASSERT_EQ(parsed.kind, ParsedLine::kValue) << c.line;
        EXPECT_EQ(parsed.name, c.name) << c.line;
        EXPECT_EQ(parsed.type, c.type) << c.line;
        EXPECT_EQ(parsed.data, c.data) << c.line;
    }
    const ParsedLine deletion = ParseLine(FormatDeletionLine("Gone"));
    EXPECT_EQ(deletion.kind, ParsedLine::kDeletion);
    EXPECT_EQ(deletion.name, "Gone");
    const ParsedLine keyDeletion = ParseLine(FormatKeyDeletion("HKEY_CURRENT_USER\\Network\\S"));
    EXPECT_EQ(keyDeletion.kind, ParsedLine::kKeyDeletion);
    EXPECT_EQ(keyDeletion.keyPath, "HKEY_CURRENT_USER\\Network\\S");
}

TEST(RegFormatTest, HandWrittenLinesAreReadLeniently) {
    // A path written without doubled backslashes, blanks around "=",
    // upper-case hex and a CR line end.
    ParsedLine line = ParseLine("\"Path\" = \"C:\\Temp\"\r");
    ASSERT_EQ(line.kind, ParsedLine::kValue);
    EXPECT_EQ(line.data, std::string("C:\\Temp\0", 8));
    line = ParseLine("@=DWORD:0000FFFF");
    ASSERT_EQ(line.kind, ParsedLine::kValue);
    EXPECT_EQ(line.data, std::string("\xff\xff\0\0", 4));
    EXPECT_EQ(ParseLine("  ; a comment").kind, ParsedLine::kBlank);
    EXPECT_EQ(ParseLine("[HKEY_CURRENT_USER\\a]b]").keyPath, "HKEY_CURRENT_USER\\a]b");
}

TEST(RegFormatTest, MalformedLinesAreRecognised) {
    for (const char* text :
         {"Name=\"x\"", "\"Name\"", "\"Name\"=\"open", "\"Name\"=\"x\" y", "\"N\"=dword:0000",
          "\"N\"=dword:0000000g", "\"N\"=hex:1", "\"N\"=hex:01,", "\"N\"=hex:01 02",
          "\"N\"=hex(zz):01", "\"N\"=hex(123456789):01", "\"N\"=text", "[]", "[-]", "[-HKEY_USERS",
          "[HKEY_USERS"}) {
        EXPECT_EQ(ParseLine(text).kind, ParsedLine::kMalformed) << text;
    }
}

TEST(RegFormatTest, OnlyCompleteLinesAreScanned) {
    std::vector<std::string> lines;
    const auto collect = [&lines](std::string_view line) {
        lines.emplace_back(line);
        return true;
    };
    // A wrapped hex value is one line; a last line without its end is not
    // read, nor is a wrapped value whose last piece lacks it.
    const std::string text = "[K]\r\n\"B\"=hex:01,02,\\\r\n  03,04\r\n\"C\"=hex:05,\\\n  06";
    LineScan scan = ScanCompleteLines(text, collect);
    EXPECT_TRUE(scan.ok);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(ParseLine(lines[1]).data, "\x01\x02\x03\x04");
    EXPECT_EQ(scan.end, text.find("\"C\""));

    lines.clear();
    scan = ScanCompleteLines("\"A\"=dword:0000", collect);
    EXPECT_EQ(scan.end, 0u);
    EXPECT_TRUE(lines.empty());

    scan = ScanCompleteLines("a\nb\nc\n", [](std::string_view line) { return line != "b"; });
    EXPECT_FALSE(scan.ok);
}

}  // namespace
