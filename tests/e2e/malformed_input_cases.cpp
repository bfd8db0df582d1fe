#include "malformed_input_cases.h"

#include <string>

namespace malformed {

namespace {

using platform::kHkeyClassesRoot;
using platform::kHkeyCurrentUser;
using platform::kHkeyLocalMachine;

constexpr const char* kWarning = "Possible problem, see administrator, note machine name and time";

std::string Repeat(const std::string& text, size_t times) {
    std::string out;
    out.reserve(text.size() * times);
    for (size_t i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

// A string literal with every byte it holds, NUL bytes included.
template <size_t N>
std::string Bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

Value Sz(const std::string& text) {
    return {platform::kRegSz, text + std::string(1, '\0')};
}
Value Dword(uint32_t number) {
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i) {
        data[static_cast<size_t>(i)] = static_cast<char>(number >> (8 * i));
    }
    return {platform::kRegDword, data};
}
Value Binary(const std::string& bytes) {
    return {platform::kRegBinary, bytes};
}

}  // namespace

std::string Unknown(const std::string& line) {
    return "Unknown command : " + line;
}

std::ostream& operator<<(std::ostream& out, const Value& value) {
    out << "type " << value.type << " [";
    for (unsigned char c : value.data.substr(0, 80)) {
        out << (c >= 0x20 && c < 0x7F ? std::string(1, static_cast<char>(c))
                                      : "\\x" + std::to_string(c));
    }
    return out << (value.data.size() > 80 ? "...]" : "]") << " (" << value.data.size() << " bytes)";
}

void PrintTo(const LineCase& c, std::ostream* out) {
    *out << c.group << ": " << c.name;
}
void PrintTo(const RunCase& c, std::ostream* out) {
    *out << c.group << ": " << c.name;
}

// ---- the catalogue: script lines ----

std::vector<LineCase> LineCases(const std::string& user) {
    std::vector<LineCase> cases;
    const std::string key = std::string(kCatalogueKey) + "\\";

    // Lines around the limits: 4 and 5 characters, values of 999 and 1000,
    // lines of 999, 1000 and 10,000 characters.
    cases.push_back(LineCase("Line length", "FourCharactersAreIgnored")
                        .Both()
                        .Lines({"Vln4", "Xab", ""})
                        .Messages({})
                        .Missing("ln4"));
    cases.push_back(LineCase("Line length", "FiveCharactersAreACommand")
                        .Both()
                        .Lines({"Vln05", "Xabcd"})
                        .Messages({Unknown("Xabcd")})
                        .IsFolder("ln05"));
    cases.push_back(
        LineCase("Line length", "ValuesAreCutAfter999Characters")
            .Both()
            .Folder("length")
            .Lines({"U" + key + "Length.Exact=S" + std::string(998, 'x'),
                    "U" + key + "Length.Over=S" + std::string(999, 'y'),
                    "I[length\\length.ini]S.k=" + std::string(1200, 'v')})
            .Messages({})
            .Registry(kHkeyCurrentUser, key + "Length", "Exact", Sz(std::string(998, 'x')))
            .Registry(kHkeyCurrentUser, key + "Length", "Over", Sz(std::string(998, 'y')))
            .Holds("length\\length.ini", "[S]\r\nk=" + std::string(999, 'v') + "\r\n"));
    cases.push_back(
        LineCase("Line length", "LongLinesAreReportedWhole")
            .Both()
            .Lines({"X" + std::string(998, 'a'), "X" + std::string(999, 'b'),
                    "X" + std::string(9999, 'c')})
            .Messages({Unknown("X" + std::string(998, 'a')), Unknown("X" + std::string(999, 'b')),
                       Unknown("X" + std::string(9999, 'c'))}));
    cases.push_back(
        LineCase("Line length", "CommandsOf10000CharactersUse999")
            .Both()
            .Lines({"Clength\\long.txt=" + std::string(9983, 's'),
                    "Vdeep\\" + Repeat("level\\", 1428)})
            .Messages({"Error copying " + std::string(999, 's') + " to length\\long.txt"})
            .IsFolder("deep\\level"));
    cases.push_back(LineCase("Line length", "TextAfterAMacroIsCutAt999Characters")
                        .Both()
                        .Lines({"X%UIDL%" + std::string(1200, 't')})
                        .Messages({Unknown("X" + Lower(user) + std::string(999, 't'))}));

    // Every first character. D and P depend on the network and have a case
    // of their own.
    {
        LineCase every("First character", "EveryFirstCharacter");
        every.Both().IsFolder("catalogue line \xE9");
        const std::string rest = "catalogue line \xE9";
        for (int c = 1; c < 256; ++c) {
            if (c == '\r' || c == '\n' || c == 'D' || c == 'P') {
                continue;  // a line break ends the line
            }
            const std::string line = std::string(1, static_cast<char>(c)) + rest;
            every.lines.push_back(line);
            switch (c) {
                case ';':
                case 'V':
                    break;
                case 'C':
                case 'c':
                    every.messages.push_back("Error copying " + line + " to ");
                    break;
                case 'I':
                    every.messages.push_back("Error loading  to change  to " + line);
                    break;
                case 'L':
                    every.messages.push_back("Error attaching " + rest + " to HKEY_USERS\\" + user);
                    break;
                case 'M':
                case 'R':
                case 'U':
                    every.messages.push_back("No value name in destination ");
                    break;
                default:
                    every.messages.push_back(Unknown(line));
                    break;
            }
        }
        cases.push_back(every);
    }
    cases.push_back(LineCase("First character", "DriveAndPrinterWithoutEquals")
                        .Lines({"Dcatalogue line", "Pcatalogue line"})
                        .Messages({"Error 67 on connecting  to Dcatalogue line",
                                   "Error 67 on connecting  to Pcatalogue line"}));
    cases.push_back(
        LineCase("First character", "BlanksAndIndentedCommands")
            .Both()
            .Lines({"     ", "\tVindented", "  ; a comment"})
            .Messages({Unknown("     "), Unknown("\tVindented"), Unknown("  ; a comment")})
            .Missing("indented"));

    // High-bit and control bytes (a NUL ends the file: see the script file
    // cases).
    cases.push_back(
        LineCase("High-bit and control bytes", "HighBitBytesAreKept")
            .Both()
            .Folder("high")
            .Lines({"U" + key + "High.Caf\xE9=S\xE9\xFF\x80\x81\x8D\x8F\x90\x9D end",
                    "I[high\\high.ini]Se\xE7tion.k\xEBy=v\xE4lue", "X\xE9\xFF\x01\x7F end"})
            .Messages({Unknown("X\xE9\xFF\x01\x7F end")})
            .Registry(kHkeyCurrentUser, key + "High", "Caf\xE9",
                      Sz("\xE9\xFF\x80\x81\x8D\x8F\x90\x9D end"))
            .Holds("high\\high.ini", "[Se\xE7tion]\r\nk\xEBy=v\xE4lue\r\n"));
    cases.push_back(
        LineCase("High-bit and control bytes", "NamesWindowsForbidsAreNeverMade")
            .Both()
            .File("names\\source.txt", "source")
            .Lines({"Vnames\\ctl\x01x", "Vnames\\star*x", "Vnames\\pipe|x",
                    "Cnames\\ctl\x02x=names\\source.txt", "Cnames\\quote\"x=names\\source.txt",
                    "I[names\\ctl\x03x.ini]S.k=v", "I[names\\ask?.ini]S.k=v"})
            .Messages({"Error copying names\\source.txt to names\\ctl\x02x",
                       "Error copying names\\source.txt to names\\quote\"x",
                       "Error loading names\\ctl\x03x.ini to change S.k to v",
                       "Error loading names\\ask?.ini to change S.k to v"})
            .Entries("names", {"source.txt"}));

    // "=", "[" and "]" in every order.
    cases.push_back(LineCase("Brackets and equals signs", "IniLineInEveryOrder")
                        .Both()
                        .Folder("ini")
                        .Lines({"I[ini\\a.ini]S.k=v", "I[ini\\b.ini=S.k]v", "I]ini\\c.ini[S.k=v",
                                "I]ini\\d.ini=S.k[v", "I=ini\\e.ini[S.k]v", "I=ini\\f.ini]S.k[v",
                                "I[ini\\g.ini]S.k", "I[ini\\h.ini S.k=v", "Iini\\i.ini]S.k=v",
                                "I=[ini\\u.ini]S.k", "I[ini\\x=y.ini]S.k=v", "I[]S.k=v"})
                        .Messages({"Error loading ini\\b.ini=S.k to change  to S.k]v",
                                   "Error loading  to change ini\\c.ini[S.k to v",
                                   "Error loading  to change ini\\d.ini to S.k[v",
                                   "Error loading  to change  to ini\\e.ini[S.k]v",
                                   "Error loading  to change  to ini\\f.ini]S.k[v",
                                   "Error loading ini\\g.ini to change  to I[ini\\g.ini]S.k",
                                   "Error loading  to change I[ini\\h.ini S.k to v",
                                   "Error loading  to change S.k to v",
                                   "Error loading  to change  to [ini\\u.ini]S.k",
                                   "Error loading ini\\x=y.ini to change  to y.ini]S.k=v",
                                   "Error loading  to change S.k to v"})
                        .Holds("ini\\a.ini", "[S]\r\nk=v\r\n")
                        .Entries("ini", {"a.ini"}));
    cases.push_back(
        LineCase("Brackets and equals signs", "IniNamesWithBracketsDotsAndEquals")
            .Both()
            .Folder("names2")
            .Lines({"I[names2\\j.ini]]S.k=v", "I[[names2\\k.ini]S.k=v", "I[names2\\l.ini]S.k==v",
                    "I[names2\\m.ini]=v", "I[names2\\o.ini].k=v", "I[names2\\p.ini]S.=v",
                    "I[names2\\q.ini]S.k=[v]", "I[names2\\s.ini]S]x.k=v",
                    "I[names2\\t.ini]nodot=v"})
            .Messages({"Error loading [names2\\k.ini to change S.k to v"})
            .Holds("names2\\j.ini", "[]S]\r\nk=v\r\n")
            .Holds("names2\\l.ini", "[S]\r\nk==v\r\n")
            // Without a section the key goes to the section "[]" on Windows
            // (Wine's conformance test of the profile functions), before the
            // first section under Wine.
            .Holds("names2\\m.ini", "[]\r\n=v\r\n", "=v\r\n")
            .Holds("names2\\o.ini", "[]\r\nk=v\r\n", "k=v\r\n")
            .Holds("names2\\p.ini", "[S]\r\n=v\r\n")
            .Holds("names2\\q.ini", "[S]\r\nk=[v]\r\n")
            .Holds("names2\\s.ini", "[S]x]\r\nk=v\r\n")
            .Holds("names2\\t.ini", "[]\r\nnodot=v\r\n", "nodot=v\r\n"));
    // A key that begins with "[" is written as it stands; Windows reads the
    // line back as a section header, and what a later write makes of it
    // differs from run to run, so only the stand-in's file is pinned.
    cases.push_back(LineCase("Brackets and equals signs", "IniKeyThatLooksLikeASection")
                        .Folder("names3")
                        .Lines({"I[names3\\r.ini]S.[k]=v"})
                        .Messages({})
                        .Holds("names3\\r.ini", "[S]\r\n[k]=v\r\n"));
    cases.push_back(
        LineCase("Brackets and equals signs", "RegistryLineInEveryOrder")
            .Both()
            .Lines({"U" + key + "Eq.a=b=Sc", "U=" + key + "Eq.x", "U" + key + "Eq=.a=S1",
                    "U" + key + "[Eq].a=S[1]", "U" + key + "Eq.a.b=S=", "U" + key + "Eq.=Sdefault",
                    "M" + key + "Eq.m=D=1", "R" + key + "Eq.r=S]["})
            .Messages({"No value name in destination ",
                       "No value name in destination " + key + "Eq",
                       "'=1' is not a valid integer value : M" + key + "Eq.m=D=1"})
            .Registry(kHkeyCurrentUser, key + "Eq", "a", Binary(""))
            .Registry(kHkeyCurrentUser, key + "[Eq]", "a", Sz("[1]"))
            .Registry(kHkeyCurrentUser, key + "Eq", "a.b", Sz("="))
            .Registry(kHkeyCurrentUser, key + "Eq", "", Sz("default"))
            .Registry(kHkeyLocalMachine, key + "Eq", "m", std::nullopt)
            .Registry(kHkeyClassesRoot, key + "Eq", "r", Sz("][")));
    cases.push_back(
        LineCase("Brackets and equals signs", "CopyLineInEveryOrder")
            .Both()
            .File("copies\\source.txt", "source")
            .Lines({"Ccopies\\eq.txt==copies\\source.txt", "C=copies\\source.txt",
                    "Ccopies\\eq2.txt=copies\\source.txt=x", "Ccopies\\[b].txt=copies\\source.txt"})
            .Messages({"Error copying =copies\\source.txt to copies\\eq.txt",
                       "Error copying copies\\source.txt to ",
                       "Error copying copies\\source.txt=x to copies\\eq2.txt"})
            .Holds("copies\\[b].txt", "source")
            .Entries("copies", {"[b].txt", "source.txt"}));

    // Network lines: the stand-in's shares only (Wine has no network).
    cases.push_back(
        LineCase("Network", "MalformedDevicesAndShares")
            .MachineFolder("\\\\SRV\\SHARE")
            .Lines({"DQ:=\\\\NOSERVER\\NOSHARE", "DQQ:=\\\\SRV\\SHARE", "DQ:==\\\\SRV\\SHARE",
                    "DLPT1=\\\\SRV\\SHARE", "DQ:=\\\\SRV\\SHARE\\" + std::string(2000, 'x'),
                    "D=\\\\SRV\\SHARE", "DR:=\\\\SRV\\SHARE", "PR:=\\\\SRV\\SHARE"})
            .Messages({"Error 53 on connecting Q: to \\\\NOSERVER\\NOSHARE",
                       "Error 1200 on connecting QQ: to \\\\SRV\\SHARE",
                       "Error 67 on connecting Q: to =\\\\SRV\\SHARE",
                       "Error 66 on connecting LPT1 to \\\\SRV\\SHARE",
                       "Error 67 on connecting Q: to \\\\SRV\\SHARE\\" + std::string(987, 'x'),
                       "Error 66 on connecting R: to \\\\SRV\\SHARE"}));
    return cases;
}

// ---- the catalogue: cases with a run of their own ----

std::vector<RunCase> RunCases(const std::string& user) {
    std::vector<RunCase> cases;
    const std::string ran = Unknown("Xscript ran");

    // The settings file.
    cases.push_back(
        RunCase("Settings file", "OnlyBlanks")
            .Settings("   \r\n\t\r\n \r\n\r\n")
            .Script("Xscript ran\r\n")
            .Messages({ran})
            .Diagnostics({"---- CONFIG FILE ----", "   ", "\t", " ", "", "---- MACROS FILE ----"}));
    cases.push_back(RunCase("Settings file", "Empty")
                        .Settings("")
                        .Script("Xscript ran\r\n")
                        .Messages({ran})
                        .Diagnostics({"---- CONFIG FILE ----", "---- MACROS FILE ----"}));
    cases.push_back(RunCase("Settings file", "IsAFolder")
                        .Settings(std::nullopt)
                        .Folder("tarnwick.INI")
                        .Script("Xscript ran\r\n")
                        .Messages({"Failed to load {share}tarnwick.INI", ran})
                        .Window("ErrorStatus", kWarning, "#FF0000"));
    cases.push_back(RunCase("Settings file", "Unreadable")
                        .Settings(std::nullopt)
                        .File("tarnwick.INI", "Process=*\r\nGlobal=ELSEWHERE\r\n", 0)
                        .Unprivileged()
                        .Script("Xscript ran\r\n")
                        .Messages({"Failed to load {share}tarnwick.INI", ran}));
    cases.push_back(
        RunCase("Settings file", "CutAtANulByte")
            .Settings(Bytes("Process=*\0\r\nGlobal=ELSEWHERE\r\n"))
            .File("ELSEWHERE\\_DEFAULT.DAT", "Xelsewhere\r\n")
            .Script("Xscript ran\r\n")
            .Messages({ran})
            .Diagnostics({"---- CONFIG FILE ----", "Process=*", "---- MACROS FILE ----"}));

    // The macros file.
    {
        std::string macros;
        for (int i = 0; i < 10000; ++i) {
            macros += "M" + std::to_string(i) + "=\\\\SRV\\%UIDL%\\" + std::to_string(i) + "\r\n";
        }
        cases.push_back(RunCase("Macros file", "TenThousandLines")
                            .Both()
                            .Settings("Process=*\r\nMacros=MACROS.DAT\r\n")
                            .File("MACROS.DAT", macros)
                            .Script("X%M0%\r\nX%M9999%\r\n")
                            .Messages({Unknown("X\\\\SRV\\" + Lower(user) + "\\0"),
                                       Unknown("X\\\\SRV\\" + Lower(user) + "\\9999")}));
    }
    cases.push_back(
        RunCase("Macros file", "AMacroThatReFormsItsReference")
            .Both()
            .Settings("Process=*\r\nMacros=MACROS.DAT\r\n")
            .File("MACROS.DAT", "A=A%%A\r\n")
            .Script("X%A%%\r\n")
            .Messages({Unknown("X" + std::string(1057, 'A') + "%%A%" + std::string(998, 'A'))}));
    cases.push_back(RunCase("Macros file", "Empty")
                        .Settings("Process=*\r\nMacros=MACROS.DAT\r\n")
                        .File("MACROS.DAT", "")
                        .Script("X%UIDL%%none%\r\n")
                        .Messages({Unknown("Xjsmith%none%")}));
    cases.push_back(RunCase("Macros file", "IsAFolder")
                        .Settings("Process=*\r\nMacros=MACROS.DAT\r\n")
                        .Folder("MACROS.DAT")
                        .StopsStartUp("MACROS.DAT"));
    cases.push_back(RunCase("Macros file", "Unreadable")
                        .Settings("Process=*\r\nMacros=MACROS.DAT\r\n")
                        .File("MACROS.DAT", "A=1\r\n", 0)
                        .Unprivileged()
                        .StopsStartUp("MACROS.DAT"));

    // The full-name list.
    cases.push_back(RunCase("Full-name list", "IsAFolder")
                        .Folder("USERLIST.DAT")
                        .Script("Xscript ran\r\n")
                        .Messages({ran})
                        .Window("lUFName", "", "#FFFFFF"));
    cases.push_back(RunCase("Full-name list", "Unreadable")
                        .File("USERLIST.DAT", "jsmith=John Smith\r\n", 0)
                        .Unprivileged()
                        .StopsStartUp("USERLIST.DAT"));

    // Script files.
    cases.push_back(
        RunCase("Script file", "IsAFolder")
            .Both()
            .Folder(kScript)
            .Messages({})
            .Window("ErrorStatus", "")
            .Diagnostics({"---- CONFIG FILE ----", "Process=*", "---- MACROS FILE ----"}));
    cases.push_back(RunCase("Script file", "Empty")
                        .Script("")
                        .Messages({})
                        .Diagnostics({";---GLOBAL\\_DEFAULT.DAT", "---- CONFIG FILE ----"}));
    cases.push_back(RunCase("Script file", "CutAtANulByte")
                        .Script(Bytes("Xbefore\r\nXcut here\0Xafter\r\nXlost line\r\n"))
                        .Messages({Unknown("Xbefore"), Unknown("Xcut here")}));
    cases.push_back(
        RunCase("Script file", "TwoHundredThousandLines")
            .Script(Repeat("; a comment line of the huge script\r\n", 200000) + "Xlast\r\n")
            .Messages({Unknown("Xlast")}));
    cases.push_back(RunCase("Script file", "OneLineOfAMillionCharacters")
                        .Script("X" + std::string(999999, 'm'))
                        .Messages({Unknown("X" + std::string(999999, 'm'))}));
    cases.push_back(RunCase("Script file", "Unreadable")
                        .File(kScript, "Vnot_run\r\n", 0)
                        .Unprivileged()
                        .Report("[Tarnwick Executor] Cannot open file GLOBAL\\_DEFAULT.DAT.\n")
                        .Record("ErrorCount", Dword(0))
                        .Record("ErrorUpdated", std::nullopt)
                        .Window("ErrorStatus", "")
                        .Missing("not_run"));
    cases.push_back(RunCase("Script file", "IsAFifo")
                        .Fifo(kScript)
                        .Report("[Tarnwick Executor] Cannot open file GLOBAL\\_DEFAULT.DAT.\n")
                        .Record("ErrorCount", Dword(0))
                        .Record("ErrorUpdated", std::nullopt)
                        .Window("ErrorStatus", ""));

    // The news file.
    {
        std::string everyByte;
        for (int c = 0; c < 256; ++c) {
            everyByte += static_cast<char>(c);
        }
        cases.push_back(RunCase("News file", "Binary")
                            .Both()
                            .File("NOTICE.RTF", everyByte + everyByte)
                            .Script("Xscript ran\r\n")
                            .Messages({ran})
                            .Window("NewsLabel", "NEWS OF THE DAY", "#00FF00")
                            .Window("NewsOfTheDay", everyByte + everyByte));
        cases.push_back(RunCase("News file", "BrokenRichText")
                            .File("NOTICE.RTF", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 Hello \\u" +
                                                    everyByte + "{{{{\\bin99999")
                            .Script("Xscript ran\r\n")
                            .Messages({ran})
                            .Window("NewsLabel", "NEWS OF THE DAY", "#00FF00"));
    }
    cases.push_back(RunCase("News file", "Empty")
                        .File("NOTICE.RTF", "")
                        .Script("Xscript ran\r\n")
                        .Messages({ran})
                        .Window("NewsLabel", "NEWS OF THE DAY", "#00FF00")
                        .Window("NewsOfTheDay", ""));
    cases.push_back(RunCase("News file", "IsAFolder")
                        .Folder("NOTICE.RTF")
                        .Script("Xscript ran\r\n")
                        .Messages({ran})
                        .Window("NewsLabel", "News of the Day")
                        .Window("NewsOfTheDay", ""));
    cases.push_back(RunCase("News file", "Unreadable")
                        .File("NOTICE.RTF", "{\\rtf1 secret}", 0)
                        .Unprivileged()
                        .Script("Vnot_run\r\n")
                        .Report("[Tarnwick Executor] Cannot open file NOTICE.RTF.\n")
                        .Record("ErrorCount", std::nullopt)
                        .Window("lUName", "jsmith", "#FFFFFF")
                        .Window("NewsLabel", "News of the Day")
                        .Missing("not_run"));
    cases.push_back(RunCase("News file", "IsAFifo")
                        .Fifo("NOTICE.RTF")
                        .Script("Vnot_run\r\n")
                        .Report("[Tarnwick Executor] Cannot open file NOTICE.RTF.\n")
                        .Record("ErrorCount", std::nullopt)
                        .Missing("not_run"));

    // The run record of the last run, of the wrong type or shape.
    cases.push_back(RunCase("Run record", "ErrorCountIsAShortString")
                        .Both()
                        .RecordBefore("ErrorCount", Sz("3"))
                        .RecordBefore("ErrorString1", Sz("old"))
                        .Script("Vnot_run\r\n")
                        .Report("[Tarnwick Executor] Invalid data type for 'ErrorCount'.\n")
                        .Record("ErrorCount", Sz("3"))
                        .Record("ErrorString1", Sz("old"))
                        .Record("ErrorUpdated", std::nullopt)
                        .Window("ErrorStatus", "")
                        .Missing("not_run"));
    cases.push_back(RunCase("Run record", "ErrorCountIsALongString")
                        .RecordBefore("ErrorCount", Sz("12345"))
                        .Script("Vnot_run\r\n")
                        .Report("[Tarnwick Executor] Failed to get data for 'ErrorCount'.\n")
                        .Record("ErrorCount", Sz("12345"))
                        .Missing("not_run"));
    cases.push_back(RunCase("Run record", "ErrorCountIsFourBytesOfBinary")
                        .RecordBefore("ErrorCount", Binary(Bytes("\x01\0\0\0")))
                        .Script("Vnot_run\r\n")
                        .Report("[Tarnwick Executor] Invalid data type for 'ErrorCount'.\n")
                        .Record("ErrorCount", Binary(Bytes("\x01\0\0\0")))
                        .Missing("not_run"));
    cases.push_back(RunCase("Run record", "ErrorCountIsEightBytesOfBinary")
                        .RecordBefore("ErrorCount", Binary(std::string(8, '\x01')))
                        .Script("Vnot_run\r\n")
                        .Report("[Tarnwick Executor] Failed to get data for 'ErrorCount'.\n")
                        .Record("ErrorCount", Binary(std::string(8, '\x01')))
                        .Missing("not_run"));
    cases.push_back(RunCase("Run record", "ErrorCountOfTwoBytes")
                        .RecordBefore("ErrorCount", {platform::kRegDword, Bytes("\x02\0")})
                        .RecordBefore("ErrorString1", Sz("old1"))
                        .RecordBefore("ErrorString2", Sz("old2"))
                        .Script("Xscript ran\r\n")
                        .Messages({ran})
                        .Record("ErrorString2", std::nullopt));
    cases.push_back(RunCase("Run record", "ErrorCountNegative")
                        .RecordBefore("ErrorCount", Dword(0xFFFFFFFFu))
                        .RecordBefore("ErrorString1", Sz("old1"))
                        .RecordBefore("ErrorString2", Sz("old2"))
                        .Script("Xscript ran\r\n")
                        .Messages({ran})
                        .Record("ErrorString2", Sz("old2")));
    cases.push_back(RunCase("Run record", "ErrorCountFarTooLarge")
                        .RecordBefore("ErrorCount", Dword(0x7FFFFFFFu))
                        .RecordBefore("ErrorString1", Sz("old1"))
                        .RecordBefore("ErrorString2", Sz("old2"))
                        .RecordBefore("ErrorString3", Sz("old3"))
                        .RecordBefore("ErrorString5000", Sz("far"))
                        .Script("Xscript ran\r\n")
                        .Messages({ran})
                        .Record("ErrorString2", std::nullopt)
                        .Record("ErrorString3", std::nullopt)
                        .Record("ErrorString5000", std::nullopt));
    cases.push_back(
        RunCase("Run record", "MessagesAndTimeOfOtherTypes")
            .RecordBefore("ErrorCount", Dword(3))
            .RecordBefore("ErrorString1", Dword(1))
            .RecordBefore("ErrorString2", Binary("\x01\x02"))
            .RecordBefore("ErrorString3", {platform::kRegExpandSz, "%PATH%" + std::string(1, '\0')})
            .RecordBefore("ErrorUpdated", Dword(5))
            .Script("Xscript ran\r\n")
            .Messages({ran})
            .Record("ErrorString2", std::nullopt)
            .Record("ErrorString3", std::nullopt));

    // Writes that fail: a disk that takes no more bytes, folders and files
    // that may not be written.
    cases.push_back(
        RunCase("Failed writes", "DiskFullForCopiesAndIniFiles")
            .FileSizeLimit(64 * 1024)
            .File("work\\big.txt", std::string(200000, 'b'))
            .File("work\\old.txt", "old content")
            .File("work\\small.txt", "small")
            .File("work\\big.ini",
                  "[S]\r\nk=1\r\n" + Repeat("key=" + std::string(60, 'v') + "\r\n", 2000))
            .File("work\\small.ini", "[S]\r\nk=1\r\n")
            .Script("Cwork\\old.txt=work\\big.txt\r\nCwork\\new.txt=work\\big.txt\r\n"
                    "I[work\\big.ini]S.k=2\r\nI[work\\small.ini]S.k=2\r\n"
                    "Cwork\\copy.txt=work\\small.txt\r\n")
            .Messages({"Error copying work\\big.txt to work\\old.txt",
                       "Error copying work\\big.txt to work\\new.txt",
                       "Error loading work\\big.ini to change S.k to 2"})
            .Holds("work\\old.txt", "old content")
            .Missing("work\\new.txt")
            .Holds("work\\big.ini",
                   "[S]\r\nk=1\r\n" + Repeat("key=" + std::string(60, 'v') + "\r\n", 2000))
            .Holds("work\\small.ini", "[S]\r\nk=2\r\n")
            .Holds("work\\copy.txt", "small")
            .Entries("work",
                     {"big.ini", "big.txt", "copy.txt", "old.txt", "small.ini", "small.txt"}));
    cases.push_back(
        RunCase("Failed writes", "ReadOnlyFolderAndUnreadableSources")
            .Unprivileged()
            .File("work\\source.txt", "new")
            .File("work\\secret.txt", "secret", 0)
            .File("work\\secret.ini", "[S]\r\nk=1\r\n", 0)
            .File("locked\\app.ini", "[S]\r\nk=1\r\n")
            .File("locked\\old.txt", "old")
            .Folder("locked", 0555)
            .Script("Clocked\\new.txt=work\\source.txt\r\nClocked\\old.txt=work\\source.txt\r\n"
                    "I[locked\\new.ini]S.k=v\r\nI[locked\\app.ini]S.k=2\r\nVlocked\\sub\r\n"
                    "Cwork\\copy.txt=work\\secret.txt\r\nI[work\\secret.ini]S.k=2\r\n")
            .Messages({"Error copying work\\source.txt to locked\\new.txt",
                       "Error copying work\\source.txt to locked\\old.txt",
                       "Error loading locked\\new.ini to change S.k to v",
                       "Error loading locked\\app.ini to change S.k to 2",
                       "Error copying work\\secret.txt to work\\copy.txt",
                       "Error loading work\\secret.ini to change S.k to 2"})
            .Holds("locked\\app.ini", "[S]\r\nk=1\r\n")
            .Holds("locked\\old.txt", "old")
            .Entries("locked", {"app.ini", "old.txt"})
            .Holds("work\\secret.ini", "[S]\r\nk=1\r\n")
            .Missing("work\\copy.txt"));
    cases.push_back(
        RunCase("Failed writes", "ReadOnlyFiles")
            .File("work\\source.txt", "new")
            .File("work\\ro.txt", "old", 0444)
            .File("work\\ro.ini", "[S]\r\nk=1\r\n", 0444)
            .Script("Cwork\\ro.txt=work\\source.txt\r\ncwork\\ro.txt=work\\source.txt\r\n"
                    "I[work\\ro.ini]S.k=2\r\n")
            .Messages({"Error copying work\\source.txt to work\\ro.txt",
                       "Error loading work\\ro.ini to change S.k to 2"})
            .Holds("work\\ro.txt", "old")
            .Holds("work\\ro.ini", "[S]\r\nk=1\r\n"));
    return cases;
}

}  // namespace malformed
