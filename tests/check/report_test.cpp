#include "check/report.h"

#include <gtest/gtest.h>

namespace {

check::CheckReport Sample() {
    check::CheckReport report;
    report.shareDir = "share";
    report.settingsFile = "tarnwick.INI";
    report.settingsLoaded = true;
    report.user = "jsmith";
    report.machine = "WS01";
    report.fullName = "John Smith";
    report.group = "EVERYONE";
    report.dateTime = "now";
    report.processOrder = "*m";
    report.files = {{'*', "GLOBAL\\_DEFAULT.DAT", true, true, 2, "ANSI"},
                    {'m', "MACHINE\\WS01.DAT", false, false, 0, ""}};
    report.findings = {check::Note("missing-script-file", "MACHINE\\WS01.DAT is missing")};
    check::CheckedLine comment{"GLOBAL\\_DEFAULT.DAT", 1,  "; hi", "; hi", "comment",
                               "nothing: a comment",   {}, {}};
    check::CheckedLine bad{
        "GLOBAL\\_DEFAULT.DAT",
        2,
        "X%UIDL%",
        "Xjsmith",
        "unknown",
        "nothing: unknown command",
        {check::Flag("unknown-command", "\"X\" is no command", "Unknown command : Xjsmith")},
        {}};
    report.lines = {comment, bad};
    return report;
}

TEST(ReportTest, TextShowsEveryLineWithWhatItDoesAndASummary) {
    EXPECT_EQ(check::FormatText(Sample()),
              "Logon of jsmith (John Smith) on WS01, group EVERYONE\n"
              "Share share, settings file tarnwick.INI\n"
              "%DateTime% is now\n"
              "  note missing-script-file: MACHINE\\WS01.DAT is missing\n"
              "\n"
              "Script files in the process order *m:\n"
              "  *  GLOBAL\\_DEFAULT.DAT (2 lines)\n"
              "  m  MACHINE\\WS01.DAT: missing, skipped\n"
              "\n"
              "GLOBAL\\_DEFAULT.DAT:1  ; hi\n"
              "GLOBAL\\_DEFAULT.DAT:2  Xjsmith\n"
              "  -> nothing: unknown command\n"
              "  !! unknown-command: \"X\" is no command\n"
              "     the program's message: Unknown command : Xjsmith\n"
              "\n"
              "Flagged:\n"
              "  GLOBAL\\_DEFAULT.DAT:2  unknown-command\n"
              "1 flag, 1 note.\n");
}

TEST(ReportTest, TextSaysWhenTheLogonStops) {
    check::CheckReport report;
    report.shareDir = "s";
    report.settingsFile = "tarnwick.INI";
    report.user = "j";
    report.machine = "m";
    report.stops = true;
    report.findings = {check::Flag("startup-stops", "it stops", "Cannot open file M.DAT")};
    const std::string text = check::FormatText(report);
    EXPECT_NE(text.find("settings file tarnwick.INI (not read)\n"), std::string::npos);
    EXPECT_NE(text.find("The logon stops before the script runs.\n"), std::string::npos);
    EXPECT_NE(text.find("Flagged:\n  startup-stops: it stops\n1 flag, 0 notes.\n"),
              std::string::npos);
}

TEST(ReportTest, JsonHoldsTheWholeReport) {
    const std::string json = check::FormatJson(Sample());
    for (const char* part :
         {"\"user\":\"jsmith\"", "\"fullName\":\"John Smith\"", "\"stops\":false", "\"flags\":1",
          "\"notes\":1", "\"findings\":[{\"severity\":\"note\",\"kind\":\"missing-script-file\"",
          "{\"letter\":\"m\",\"path\":\"MACHINE\\\\WS01.DAT\",\"exists\":false,\"loaded\":false,"
          "\"lines\":0}",
          "{\"file\":\"GLOBAL\\\\_DEFAULT.DAT\",\"line\":2,\"text\":\"X%UIDL%\",\"expanded\":"
          "\"Xjsmith\",\"command\":\"unknown\",\"action\":\"nothing: unknown command\","
          "\"messages\":[\"Unknown command : Xjsmith\"],\"effects\":[],\"depends\":[],"
          "\"findings\":[{\"severity\":\"flag\",\"kind\":\"unknown-command\",\"text\":\"\\\"X\\\" "
          "is no command\",\"message\":\"Unknown command : Xjsmith\"}]}"}) {
        EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
    }
    EXPECT_EQ(json.back(), '\n');
}

TEST(ReportTest, JsonStringsAreAsciiWhateverTheScriptHolds) {
    EXPECT_EQ(check::JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(check::JsonString("\t\r\n\x01\x7f"), "\"\\t\\r\\n\\u0001\\u007f\"");
    // The program's UTF-8 text, a character beyond U+FFFF as its two
    // surrogates; a byte of no UTF-8 character as U+FFFD.
    EXPECT_EQ(check::JsonString("\xE2\x82\xAC\xC3\xA9\xE6\x9D\xB1\xF0\x9F\x98\x80"),
              "\"\\u20ac\\u00e9\\u6771\\ud83d\\ude00\"");
    EXPECT_EQ(check::JsonString("M\xFCller"), "\"M\\ufffdller\"");
    EXPECT_EQ(check::JsonString(std::string("a\0b", 3)), "\"a\\u0000b\"");
}

}  // namespace
