#include "core/text_decoder.h"

#include <gtest/gtest.h>

#include <string>

#include "support/utf16_file.h"

namespace {

using core::DecodeText;
using core::TextEncoding;
using testsupport::Utf16File;

// The same text in every encoding a file may come in reads as the same
// UTF-8 text, every character kept; ANSI (Windows-1252 here) reads as the
// code page holds it.
TEST(TextDecoderTest, EveryEncodingReadsAsTheSameText) {
    const std::string texts[] = {
        "VC:\\Data\r\nUSoftware\\X.Who=SM\xC3\xBCller \xE2\x82\xAC \xC5\x93\r\n",
        "USoftware\\X.Who=S\xC5\x81ukasz \xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7 "
        "\xE6\x9D\xB1\xE4\xBA\xAC\r\n",
        "emoji \xF0\x9F\x98\x80\r\n",
    };
    for (const std::string& utf8 : texts) {
        const struct {
            std::string bytes;
            TextEncoding encoding;
        } files[] = {
            {utf8, TextEncoding::kUtf8},
            {"\xEF\xBB\xBF" + utf8, TextEncoding::kUtf8WithMark},
            {Utf16File(utf8, false), TextEncoding::kUtf16Le},
            {Utf16File(utf8, true), TextEncoding::kUtf16Be},
        };
        for (const auto& file : files) {
            const auto decoded = DecodeText(file.bytes);
            EXPECT_EQ(decoded.text, utf8) << core::EncodingName(file.encoding);
            EXPECT_EQ(decoded.facts.encoding, file.encoding);
            EXPECT_EQ(decoded.facts.replaced, 0u) << core::EncodingName(file.encoding);
        }
    }
    // Text in the ANSI code page, as it always was read, through the reader
    // the platform gives; ASCII never reaches it.
    const std::string ansi = "SM\xFCller \x80\r\n";
    EXPECT_EQ(DecodeText(ansi).text, "SM\xC3\xBCller \xE2\x82\xAC\r\n");
    EXPECT_EQ(DecodeText(ansi).facts.encoding, TextEncoding::kAnsi);
    int asked = 0;
    const auto reader = [&asked](std::string_view bytes) {
        ++asked;
        return "<" + std::string(bytes) + ">";
    };
    EXPECT_EQ(DecodeText(ansi, reader).text, "<" + ansi + ">");
    EXPECT_EQ(DecodeText("plain\r\n", reader).text, "plain\r\n");
    EXPECT_EQ(asked, 1);
}

// What a file holds besides text, for the checker to tell.
TEST(TextDecoderTest, TellsBrokenMixedAndControlBytes) {
    const struct {
        std::string bytes;
        TextEncoding encoding;
        std::string text;
        size_t replaced;
        bool mixed, controls;
    } cases[] = {
        {"plain ASCII\r\n", TextEncoding::kAnsi, "plain ASCII\r\n", 0, false, false},
        {"M\xFCller and M\xC3\xBCller", TextEncoding::kAnsi,
         "M\xC3\xBCller and M\xC3\x83\xC2\xBCller", 0, true, false},
        {std::string("a\0b", 3), TextEncoding::kAnsi, std::string("a\0b", 3), 0, false, true},
        {"tab\tform\f", TextEncoding::kAnsi, "tab\tform\f", 0, false, false},
        {"\xEF\xBB\xBF"
         "cut \xC3",
         TextEncoding::kUtf8WithMark, "cut \xEF\xBF\xBD", 1, false, false},
        {"\xEF\xBB\xBF"
         "long \xC0\xAF",
         TextEncoding::kUtf8WithMark, "long \xEF\xBF\xBD\xEF\xBF\xBD", 2, false, false},
        {std::string("\xFF\xFE"
                     "a\0\x00\xD8"
                     "b\0",
                     8),
         TextEncoding::kUtf16Le,
         "a\xEF\xBF\xBD"
         "b",
         1, false, false},
        {std::string("\xFF\xFE"
                     "a\0b",
                     5),
         TextEncoding::kUtf16Le, "a\xEF\xBF\xBD", 1, false, false},
        {std::string("\xFF\xFE"
                     "\x01\0",
                     4),
         TextEncoding::kUtf16Le, "\x01", 0, false, true},
    };
    for (const auto& c : cases) {
        const auto decoded = DecodeText(c.bytes);
        EXPECT_EQ(decoded.facts.encoding, c.encoding) << c.bytes;
        EXPECT_EQ(decoded.text, c.text) << c.bytes;
        EXPECT_EQ(decoded.facts.replaced, c.replaced) << c.bytes;
        EXPECT_EQ(decoded.facts.mixed, c.mixed) << c.bytes;
        EXPECT_EQ(decoded.facts.controls, c.controls) << c.bytes;
    }
}

}  // namespace
