#include "platform/standin/rtf.h"
#include "platform/text_codes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/standin/toolkit.h"

namespace {

using platform::LooksLikeRtf;
using platform::standin::RtfToText;

struct Case {
    const char* what;
    std::string rtf;
    std::string text;
};

void ExpectTexts(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(RtfToText(c.rtf), c.text) << c.what;
    }
}

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
    // \uN stands in front of its fallback, which is skipped; \uc sets how
    // many characters that is, \' bytes counting as one.
    ExpectTexts({
        {"escaped braces and backslash", "{\\rtf1 a\\{b\\}c\\\\d}", "a{b}c\\d"},
        {"bytes", "{\\rtf1 Caf\\'e9 \\'80}", "Caf\u00E9 \u20AC"},
        {"fallback skipped", "{\\rtf1 \\u8364?x}", "\u20ACx"},
        {"uc2, bytes count as one", "{\\rtf1\\uc2 \\u233\\'65\\'65y}", "\u00E9y"},
        {"uc0", "{\\rtf1\\uc0 \\u233 z}", "\u00E9z"},
        {"U+F020, a symbol font's: its substitute", "{\\rtf1 \\u-4064?}", "?"},
        {"two characters", "{\\rtf1 \\u20013?\\u169?}", "\u4E2D\u00A9"},
        {"a group end ends a pending fallback", "{\\rtf1\\uc3 {\\u233}ok}", "\u00E9ok"},
        {"symbol words", "{\\rtf1 a\\~b\\_c\\-d\\emdash\\bullet\\lquote\\rdblquote}",
         "a\u00A0"
         "b-cd\u2014\u2022\u2018\u201D"},
    });
}

TEST(RtfTest, SkipsOptionalDestinationsAndBinaryData) {
    // \bin data may hold braces and backslashes; none of it is read as RTF.
    ExpectTexts({
        {"optional destinations", "{\\rtf1 a{\\*\\generator Writer;}b{\\*\\unknown {x}y}c}", "abc"},
        {"picture", "{\\rtf1 {\\pict\\pngblip 89504e47}after}", "after"},
        {"bin", "{\\rtf1 x\\bin5 {\\}{\\y}", "xy"},
        {"bin past the end", "{\\rtf1 x\\bin999999 abc", "x"},
        {"field result", "{\\rtf1 {\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}}", "link"},
    });
}

TEST(RtfTest, SurvivesMalformedInput) {
    // Truncated control sequences, stray braces and endless nesting.
    ExpectTexts({
        {"a lone backslash", "{\\rtf1 a\\", "a"},
        {"a byte without digits", "{\\rtf1 a\\'", "a"},
        {"a byte with one digit", "{\\rtf1 a\\'4", "a4"},
        {"a byte without hex digits", "{\\rtf1 a\\'zzb", "azzb"},
        {"stray braces", "}}}{\\rtf1 a}}}b", "ab"},
        {"numbers past their range",
         "{\\rtf1 \\u99999999999999999999?x\\uc99999999999999999 \\u65 yz}", "?xA"},
        {"endless nesting", std::string(200000, '{') + "deep" + std::string(200000, '}') + "end",
         "deepend"},
        {"nesting past the kept depth still follows skipped destinations",
         "{\\rtf1 {\\info " + std::string(1000, '{') + "hidden" + std::string(1000, '}') +
             "}shown}",
         "shown"},
        {"a long control word", "{\\rtf1 \\" + std::string(10000, 'a') + "1234 text}", "text"},
    });
}

// Whether `text` is made of whole UTF-8 sequences.
bool IsUtf8(const std::string& text) {
    for (size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const size_t length = lead < 0x80   ? 1
                              : lead < 0xC2 ? 0
                              : lead < 0xE0 ? 2
                              : lead < 0xF0 ? 3
                              : lead < 0xF5 ? 4
                                            : 0;
        if (length == 0 || at + length > text.size()) {
            return false;
        }
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        at += length;
    }
    return true;
}

TEST(RtfTest, RandomInputNeverGrowsTheText) {
    // Each piece of text comes from at least one byte of input, and takes
    // at most three bytes of UTF-8 (four for a pair written as two \uN).
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
        ASSERT_LE(text.size(), 3 * input.size()) << input;
        ASSERT_TRUE(IsUtf8(text)) << input;
    }
}

// A document whose font 0 has character set `charset` and then `body`.
std::string InFont(const std::string& charset, const std::string& body) {
    return "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset" + charset + " F;}}\\f0 " + body + "}";
}

TEST(RtfTest, ReadsBytesInTheCodePageOfTheDocumentAndOfEachFont) {
    ExpectTexts({
        {"ansicpg", "{\\rtf1\\ansi\\ansicpg1251 \\'c0\\'e1\\par}", "\u0410\u0431\r\n"},
        {"mac", "{\\rtf1\\mac\\ansicpg10000 \\'80\\'8e\\par}", "\u00C4\u00E9\r\n"},
        {"mac alone", "{\\rtf1\\mac \\'80\\'8e}", "\u00C4\u00E9"},
        {"pc", "{\\rtf1\\pc \\'82\\'e1}", "\u00E9\u00DF"},
        {"pca", "{\\rtf1\\pca \\'82\\'9b}", "\u00E9\u00F8"},
        {"unknown code page", "{\\rtf1\\ansicpg4242 \\'e9}", "\u00E9"},
        {"shift-jis", InFont("128", "\\'83\\'6f\\'81\\'5b"), "\u30D0\u30FC"},
        {"trail bytes as they stand", InFont("128", "\\'83o\\'81["), "\u30D0\u30FC"},
        {"gbk", InFont("134", "\\'d6\\'d0"), "\u4E2D"},
        {"big5", InFont("136", "\\'a4\\'a4"), "\u4E2D"},
        {"korean", InFont("129", "\\'c7\\'d1"), "\uD55C"},
        {"greek", InFont("161", "\\'e1"), "\u03B1"},
        {"charset 0 is ANSI, 1252, whatever the document's",
         "{\\rtf1\\ansicpg1251{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset204 B;}}"
         "\\f0\\'e1{\\f1\\'e1}\\'e1\\f2\\'e1}",
         "\u00E1\u0431\u00E1\u0431"},
        {"plain returns to the default font",
         "{\\rtf1\\deff1{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset204 "
         "B;}}\\f0\\'e1\\plain\\'e1}",
         "\u00E1\u0431"},
        {"cpg", InFont("0\\cpg1253", "\\'e1"), "\u03B1"},
        {"symbol charset", InFont("2", "\\'b7 a"), "\u2022 \u03B1"},
        {"named Symbol", "{\\rtf1{\\fonttbl{\\f3 Symbol;}}{\\f3\\'b7}\\'b7}", "\u2022\u00B7"},
        {"a lead byte alone", InFont("128", "\\'83}x"), "\uFFFDx"},
        {"a byte the code page lacks", "{\\rtf1 \\'81}", "\uFFFD"},
        {"C1 control", "{\\rtf1\\ansicpg28591 \\'9b}", "\uFFFD"},
    });
}

TEST(RtfTest, ShowsUnicodeOrTheFilesOwnSubstitute) {
    ExpectTexts({
        {"pair", "{\\rtf1 \\u-10179?\\u-8704?!}", "\U0001F600!"},
        {"pair, two-byte substitutes", "{\\rtf1\\uc2\\u55357\\'3f\\'3f\\u56832\\'3f\\'3f!}",
         "\U0001F600!"},
        {"high half alone", "{\\rtf1 \\u55357?x}", "?x"},
        {"high half, then no low", "{\\rtf1 \\u55357?\\u65?}", "?A"},
        {"low half alone", "{\\rtf1 \\u56832*x}", "*x"},
        {"control character", "{\\rtf1\\uc6 \\u7[bell]}", "[bell]"},
        {"C1 control", "{\\rtf1 \\u155?}", "?"},
        {"noncharacter", "{\\rtf1 \\u-1?}", "?"},
        {"past Unicode", "{\\rtf1 \\u1114112?}", "?"},
        {"symbol character", "{\\rtf1{\\fonttbl{\\f3\\fcharset2 Symbol;}}\\f3\\u-3913\\'b7}",
         "\u2022"},
        {"no substitute", "{\\rtf1\\uc0 \\u55357 x}", "x"},
    });
}

TEST(RtfTest, HidesHiddenTextAndSeparatesNestedCells) {
    ExpectTexts({
        {"v to v0", "{\\rtf1 a\\v b\\v0 c}", "ac"},
        {"v to the group's end", "{\\rtf1 a{\\v b\\par}c}", "ac"},
        {"v to plain", "{\\rtf1 a\\v b\\plain c}", "ac"},
        {"hidden unicode", "{\\rtf1 a{\\v\\u20013?}b}", "ab"},
        {"nested table",
         "{\\rtf1 \\intbl a\\cell\\itap2 b\\nestcell c\\nestcell"
         "{\\*\\nesttableprops\\trowd\\nestrow}{\\nonesttables\\par}\\cell\\row}",
         "a\tb\tc\t\r\n\t\r\n"},
    });
}

TEST(RtfTest, TheNewsBoxShowsRtfAsUnicodeAndPlainNewsAsItsUtf8) {
    platform::WindowSpec spec;
    spec.caption = "C";
    spec.controls.push_back({});
    spec.controls.back().name = "News";
    spec.controls.back().kind = platform::ControlKind::RichEdit;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::tmpfile(), std::fclose);
    platform::standin::ToolkitOptions options;
    options.out = out.get();
    platform::standin::StandinToolkit toolkit(options);
    std::unique_ptr<platform::Window> window;
    ASSERT_EQ(toolkit.CreateMainWindow(spec, nullptr, &window), 0u);
    EXPECT_EQ(window->Show(), 0u);
    EXPECT_EQ(window->LoadRichText(0, "{\\rtf1\\ansicpg1251 \\'c0\\'e1}"), 0u);
    EXPECT_EQ(window->LoadRichText(0, "Caf\xC3\xA9"), 0u);
    EXPECT_EQ(window->LoadRichText(0, "\xE6\x9D\xB1\xE4\xBA\xAC\xE9"), 0u);
    std::fflush(out.get());
    std::rewind(out.get());
    std::string shown(4096, '\0');
    shown.resize(std::fread(shown.data(), 1, shown.size(), out.get()));
    EXPECT_NE(shown.find("News: \"\u0410\u0431\"\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("News: \"Caf\u00E9\"\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("News: \"\u6771\u4EAC\uFFFD\"\n"), std::string::npos) << shown;
}

// The real documents of rtf_corpus/ (see its README) that the reader reads
// word for word as LibreOffice's text export does, and the fewest words of
// all the documents it must read alike.
constexpr std::string_view kCorpusFullMatches[] = {
    "abiword-french",  "libreoffice-annotation", "nisus-mac-437",         "pca",
    "richedit-greek",  "richedit-japanese",      "richedit-korean",       "richedit-turkish",
    "textedit-breaks", "textedit-cp950",         "textedit-mac-cyrillic", "word-hidden-cp1250"};
constexpr size_t kCorpusWordsAtLeast = 54;

// The words of a text: what white space (ASCII's and Unicode's) separates.
std::vector<std::string> Words(std::string_view text) {
    static const std::vector<std::string> kSpaces = [] {
        std::vector<std::string> spaces = {" ",      "\t",     "\r",     "\n",     "\f",
                                           "\v",     "\u00A0", "\u1680", "\u2028", "\u2029",
                                           "\u202F", "\u205F", "\u3000"};
        for (char32_t c = 0x2000; c <= 0x200A; ++c) {
            spaces.push_back("\xE2\x80" + std::string(1, static_cast<char>(0x80 + (c - 0x2000))));
        }
        return spaces;
    }();
    std::vector<std::string> words(1);
    while (!text.empty()) {
        const auto space = std::find_if(kSpaces.begin(), kSpaces.end(), [&](const std::string& s) {
            return text.substr(0, s.size()) == s;
        });
        if (space == kSpaces.end()) {
            words.back() += text.front();
            text.remove_prefix(1);
        } else {
            if (!words.back().empty()) {
                words.emplace_back();
            }
            text.remove_prefix(space->size());
        }
    }
    if (words.back().empty()) {
        words.pop_back();
    }
    return words;
}

// How many words two texts share in the same order (their longest common
// subsequence).
size_t CommonWords(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::vector<size_t> row(b.size() + 1, 0);
    for (const auto& word : a) {
        size_t diagonal = 0;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = word == b[j - 1] ? diagonal + 1 : std::max(row[j], row[j - 1]);
            diagonal = above;
        }
    }
    return row.back();
}

std::string ReadWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(RtfTest, ReadsRealDocumentsAsLibreOfficeDoes) {
    const std::filesystem::path corpus =
        std::filesystem::path(TARNWICK_SOURCE_DIR) / "tests/platform/standin/rtf_corpus";
    std::vector<std::filesystem::path> documents;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        if (entry.path().extension() == ".rtf") {
            documents.push_back(entry.path());
        }
    }
    std::sort(documents.begin(), documents.end());
    ASSERT_GE(documents.size(), 8u);
    size_t matching = 0, words = 0, common = 0;
    for (const auto& document : documents) {
        std::string reference =
            ReadWhole(std::filesystem::path(document).replace_extension(".txt"));
        if (reference.rfind("\xEF\xBB\xBF", 0) == 0) {
            reference.erase(0, 3);  // the export's byte order mark
        }
        const auto expected = Words(reference);
        const auto read = Words(RtfToText(ReadWhole(document)));
        const std::string name = document.stem().string();
        const bool full = read == expected;
        if (!full) {
            std::printf("[ corpus   ] %s: %zu of %zu words alike\n", name.c_str(),
                        CommonWords(read, expected), expected.size());
        }
        matching += full;
        words += expected.size();
        common += CommonWords(read, expected);
        if (std::find(std::begin(kCorpusFullMatches), std::end(kCorpusFullMatches), name) !=
            std::end(kCorpusFullMatches)) {
            EXPECT_TRUE(full) << name << " no longer reads as LibreOffice reads it";
        }
    }
    std::printf(
        "[ corpus   ] %zu of %zu real documents read word for word alike; %zu of %zu words\n",
        matching, documents.size(), common, words);
    EXPECT_GE(common, kCorpusWordsAtLeast);
}

TEST(RtfTest, RecognisesRtfByItsHeader) {
    EXPECT_TRUE(LooksLikeRtf("{\\rtf1\\ansi}"));
    EXPECT_FALSE(LooksLikeRtf("Plain news {\\rtf1}"));
    EXPECT_FALSE(LooksLikeRtf(" {\\rtf1}"));
    EXPECT_FALSE(LooksLikeRtf("{\\rt"));
    EXPECT_FALSE(LooksLikeRtf(""));
}

}  // namespace
