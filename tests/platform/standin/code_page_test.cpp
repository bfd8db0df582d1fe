#include "platform/standin/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::standin::CodePageFromUtf8;
using platform::standin::IsKnownCodePage;
using platform::standin::Utf8FromCodePage;

// UTF-8 written in a code page: a character it lacks is its like character
// (1252's best fit) or "?", and counted;
// what it has reads back as the same UTF-8.
TEST(CodePageTest, WritesWhatTheCodePageHasAndQuestionMarksTheRest) {
    const std::string tokyo = "\xE6\x9D\xB1\xE4\xBA\xAC";  // 東京
    const struct {
        unsigned codePage;
        std::string utf8;
        std::string bytes;
        size_t replaced;
    } cases[] = {
        {1252, "caf\xC3\xA9 \xE2\x82\xAC", "caf\xE9 \x80", 0},  // café €
        {1252, tokyo, "??", 2},
        {1252, "\xC2\x81\xC2\x9D", "\x81\x9D", 0},  // the unused bytes' controls
        {1252, "a\xE9z", "a?z", 1},                 // not UTF-8
        // Letters 1252 lacks but has a like one of, as Windows writes them.
        {1252, "\xC5\x81\xC3\xB3\x64\xC5\xBA \xCE\x95",
         "L\xF3"
         "dz ?",
         3},                                                            // Łódź Ε
        {1250, "\xC5\x81\xC3\xB3\x64\xC5\xBA", "\xA3\xF3\x64\x9F", 0},  // Łódź
        {1250, "\xE2\x82\xAC\xC3\xA6", "\x80?", 1},  // € and æ (1250 has no æ)
        {1251, "\xD0\x96 \xCE\xB1", "\xC6 ?", 1},    // Ж α
        {932, tokyo + "x",
         "\x93\x8C\x8B\x9E"
         "x",
         0},
        {932, "\xCE\x95\xF0\x9F\x98\x80", "\x83\xA3?", 1},  // Ε, and an emoji it lacks
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.codePage) + ": " + c.utf8);
        size_t replaced = 0;
        EXPECT_EQ(CodePageFromUtf8(c.utf8, c.codePage, &replaced), c.bytes);
        EXPECT_EQ(replaced, c.replaced);
        if (c.replaced == 0) {
            EXPECT_EQ(Utf8FromCodePage(c.bytes, c.codePage), c.utf8);
        }
    }
}

TEST(CodePageTest, KnowsTheCodePagesIconvConverts) {
    for (const unsigned known : {1250u, 1251u, 1252u, 1253u, 874u, 932u, 936u, 949u, 950u}) {
        EXPECT_TRUE(IsKnownCodePage(known)) << known;
    }
    for (const unsigned unknown : {0u, 1u, 65999u}) {
        EXPECT_FALSE(IsKnownCodePage(unknown)) << unknown;
    }
}

}  // namespace
