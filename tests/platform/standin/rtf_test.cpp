#include "platform/standin/rtf.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using platform::standin::LooksLikeRtf;
using platform::standin::RtfToText;

TEST(RtfTest, KeepsTheTextAndDropsFormattingAndTables) {
    const std::string document =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1 Times;}}"
        "{\\colortbl;\\red255\\green0\\blue0;}"
        "{\\stylesheet{\\s0 Normal;}}{\\info{\\title Notice}{\\author IT}}"
        "\\pard\\f0\\fs20 Server {\\b down} tonight\\par\r\n"
        "Second\\line line\\tab end\\par}";
    EXPECT_EQ(RtfToText(document), "Server down tonight\r\nSecond\r\nline\tend\r\n");
}

TEST(RtfTest, DecodesEscapesBytesAndUnicodeWithTheirFallbacks) {
    EXPECT_EQ(RtfToText("{\\rtf1 a\\{b\\}c\\\\d}"), "a{b}c\\d");
    EXPECT_EQ(RtfToText("{\\rtf1 Caf\\'e9 \\'80}"), "Caf\xE9 \x80");
    // \uN stands in front of its fallback, which is skipped; \uc sets how
    // many characters that is, \' bytes counting as one.
    EXPECT_EQ(RtfToText("{\\rtf1 \\u8364?x}"), "\x80x");
    EXPECT_EQ(RtfToText("{\\rtf1\\uc2 \\u233\\'65\\'65y}"), "\xE9y");
    EXPECT_EQ(RtfToText("{\\rtf1\\uc0 \\u233 z}"), "\xE9z");
    EXPECT_EQ(RtfToText("{\\rtf1 \\u-4064?}"), "?");  // U+F020: not in code page 1252
    EXPECT_EQ(RtfToText("{\\rtf1 \\u20013?\\u169?}"), "?\xA9");
    // A group end ends a pending fallback.
    EXPECT_EQ(RtfToText("{\\rtf1\\uc3 {\\u233}ok}"), "\xE9ok");
    EXPECT_EQ(RtfToText("{\\rtf1 a\\~b\\_c\\-d\\emdash\\bullet\\lquote\\rdblquote}"),
              "a\xA0"
              "b-cd\x97\x95\x91\x94");
}

TEST(RtfTest, SkipsOptionalDestinationsAndBinaryData) {
    EXPECT_EQ(RtfToText("{\\rtf1 a{\\*\\generator Writer;}b{\\*\\unknown {x}y}c}"), "abc");
    EXPECT_EQ(RtfToText("{\\rtf1 {\\pict\\pngblip 89504e47}after}"), "after");
    // \bin data may hold braces and backslashes; none of it is read as RTF.
    EXPECT_EQ(RtfToText("{\\rtf1 x\\bin5 {\\}{\\y}"), "xy");
    EXPECT_EQ(RtfToText("{\\rtf1 x\\bin999999 abc"), "x");
    EXPECT_EQ(RtfToText("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}}"), "link");
}

TEST(RtfTest, SurvivesMalformedInput) {
    // Truncated control sequences, stray braces and endless nesting.
    EXPECT_EQ(RtfToText("{\\rtf1 a\\"), "a");
    EXPECT_EQ(RtfToText("{\\rtf1 a\\'"), "a");
    EXPECT_EQ(RtfToText("{\\rtf1 a\\'4"), "a4");
    EXPECT_EQ(RtfToText("{\\rtf1 a\\'zzb"), "azzb");
    EXPECT_EQ(RtfToText("}}}{\\rtf1 a}}}b"), "ab");
    EXPECT_EQ(RtfToText("{\\rtf1 \\u99999999999999999999?x\\uc99999999999999999 \\u65 yz}"), "?xA");
    EXPECT_EQ(RtfToText(std::string(200000, '{') + "deep" + std::string(200000, '}') + "end"),
              "deepend");
    // Nesting past the kept depth still follows skipped destinations.
    EXPECT_EQ(RtfToText("{\\rtf1 {\\info " + std::string(1000, '{') + "hidden" +
                        std::string(1000, '}') + "}shown}"),
              "shown");
    const std::string longWord = "{\\rtf1 \\" + std::string(10000, 'a') + "1234 text}";
    EXPECT_EQ(RtfToText(longWord), "text");
}

TEST(RtfTest, RandomInputNeverGrowsTheText) {
    // Each piece of text comes from at least one byte of input.
    const std::string alphabet = "{}\\'*uc0123456789abf -\r\nrtfparbinx~_";
    std::mt19937 random(20240310);
    for (int round = 0; round < 3000; ++round) {
        std::string input;
        const int length = static_cast<int>(random() % 200);
        for (int i = 0; i < length; ++i) {
            input += random() % 8 == 0 ? static_cast<char>(random() % 256)
                                       : alphabet[random() % alphabet.size()];
        }
        const std::string text = RtfToText(input);
        ASSERT_LE(text.size(), input.size()) << input;
    }
}

TEST(RtfTest, RecognisesRtfByItsHeader) {
    EXPECT_TRUE(LooksLikeRtf("{\\rtf1\\ansi}"));
    EXPECT_FALSE(LooksLikeRtf("Plain news {\\rtf1}"));
    EXPECT_FALSE(LooksLikeRtf(" {\\rtf1}"));
    EXPECT_FALSE(LooksLikeRtf("{\\rt"));
    EXPECT_FALSE(LooksLikeRtf(""));
}

}  // namespace
