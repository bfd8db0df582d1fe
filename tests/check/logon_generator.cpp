#include "check/logon_generator.h"

#include <random>

namespace randomlogons {

namespace {

using Pool = std::vector<std::string>;

// The script lines: a weight and a text whose {slot}s are filled from the
// pools below. The malformed forms stand beside the well-formed ones.
struct LineTemplate {
    int weight;
    const char* text;
};

const LineTemplate kLines[] = {
    // Folders, copies, INI values.
    {6, "V{folder}"},
    {1, "VAB\\CD"},
    {5, "C{target}={source}"},
    {4, "c{target}={source}"},
    {1, "CC:\\Data\\e2.txt="},
    {1, "C={source}"},
    {5, "I[{ini}]{section}.{key}={value}"},
    {1, "I[{ini}]{key}={value}"},
    {1, "I[]S.k=v"},
    {1, "I[.\\local.ini]NoSection=1"},
    {1, "I[bare.ini]S.k=v"},
    {1, "I[{ini}]{section}.{key}"},
    {1, "I{ini}]{section}.{key}={value}"},
    // Network drives and printers.
    {5, "D{drive}={remote}"},
    {3, "P{port}={printer}"},
    {1, "DQQ:=\\\\FILES01\\SOFTWARE"},
    {1, "DLPT1=\\\\S\\X"},
    {1, "DC:=\\\\S\\X"},
    {1, "PLPT1\\\\PRINT01\\LASER"},
    {1, "D{drive}=FILES01\\SOFTWARE"},
    {1, "D={remote}"},
    // Hives.
    {3, "L{hive}"},
    // Registry values.
    {10, "{root}{regkey}.{name}={data}"},
    {1, "{root}{regkey}=S{text}"},
    {1, "USoftware\\{long}.Long=Sx"},
    {1, "{root}{regkey}.{name}"},
    // Comments, short lines, unknown commands, lower-case letters.
    {2, "; {text}"},
    {1, "Vab"},
    {1, "X"},
    {1, "X%UIDL% {text}"},
    {1, "   VC:\\Indented"},
    {2, "v{folder}"},
    {1, "d{drive}={remote}"},
    {1, "u{regkey}.{name}={data}"},
    {1, "i[{ini}]{section}.{key}={value}"},
};

// The pools of the slots. Relative paths are taken from the share.
const std::map<std::string, Pool>& Pools() {
    static const std::map<std::string, Pool> pools = {
        {"folder",
         {"C:\\Data", "C:\\Data\\Sub\\Deep", "C:\\Apps\\Tool\\Logs\\", "C:\\Users\\%UIDL%",
          "S:\\Made\\%UIDL%", "H:\\Docs", "\\\\FILES01\\SOFTWARE\\Made", "\\\\NOSERVER\\X\\Y",
          "Local\\Sub", "C:\\Data\\e2.txt", "Z:\\Nowhere", "D:\\Extra", "%Out%\\Macro",
          "C:\\Program Files\\Tarnwick", "C:\\Windows\\Temp\\%UIDL%",
          "C:\\Data\\\xC5\x81\xC3\xB3"
          "d\xC5\xBA\\\xE6\x9D\xB1\xE4\xBA\xAC"}},
        {"target",
         {"C:\\Data\\e2.txt", "C:\\Data\\copy.txt", "C:\\Data\\Sub\\x.txt", "C:\\NoFolder\\x.txt",
          "H:\\e2.txt", "C:\\Data", "local.txt", "\\\\FILES01\\HOME\\%UIDL%\\c.txt", "%Out%\\m.txt",
          "C:\\Data\\%UIDL%.txt", "C:\\root.txt", "C:\\Windows\\copy.txt",
          "C:\\Program Files\\Tarnwick\\x.txt"}},
        {"source",
         {"\\\\FILES01\\SOFTWARE\\Templates\\letter.dot", "S:\\Templates\\letter.dot",
          "C:\\Data\\e2.txt", "C:\\Data\\copy.txt", "src.txt", "C:\\missing.txt",
          "\\\\NOSERVER\\X\\f.txt", "C:\\Data", "C:\\Tarnwick\\app.ini"}},
        {"drive", {"H:", "S:", "Q:", "T:", "h:", "LPT2", "D:", "C:"}},
        {"remote",
         {"\\\\FILES01\\HOME\\%UIDL%", "\\\\FILES01\\SOFTWARE", "\\\\FILES01\\HOME",
          "\\\\NOSERVER\\NOSHARE", "\\\\FILES01\\NOSHARE", "\\\\PRINT01\\LASER",
          "\\\\files01\\software", "\\\\FILES01", "%Home%"}},
        {"port", {"LPT1", "LPT2", "LPT3", "Q:", "COM1"}},
        {"printer",
         {"\\\\PRINT01\\LASER", "\\\\PRINT01\\NOPRINTER", "\\\\NOSERVER\\P",
          "\\\\FILES01\\SOFTWARE"}},
        {"ini",
         {"C:\\Data\\app.ini", "C:\\Tarnwick\\app.ini", "C:\\NoSuchFolder\\app.ini", "app.ini",
          ".\\local.ini", "S:\\Defaults\\app.ini", "%Ini%", "C:\\Data", "C:\\root.ini",
          "C:\\Windows\\Temp\\t.ini"}},
        {"section",
         {"Server", "User", "Options", "", " sec ",
          "\xCE\xA3\xCF\x8D\xCE\xBD\xCE\xBF\xCF\x88\xCE\xB7"}},
        {"key", {"Name", "Login", "Last.Used", " key ", "\xC5\x81ukasz"}},
        {"value",
         {"FILES01", "%UIDL%", "%Fullname%", "", " spaced ", "%MachId% %Custom%",
          "\xE6\x9D\xB1\xE4\xBA\xAC caf\xC3\xA9"}},
        {"hive",
         {"C:\\Hives\\user.reg", "C:\\Hives\\bad.reg", "C:\\NoSuchHive.DAT", "hive.reg",
          "C:\\Data"}},
        {"root", {"U", "U", "U", "M", "R"}},
        {"regkey",
         {"Software\\Gen", "Software\\Gen\\Sub", "\\Software\\Gen", "Software\\Gen\\%UIDL%",
          "Control Panel\\Desktop", "Software\\Gen\\A\\B",
          "Software\\Gen\\\xE6\x9D\xB1\xE4\xBA\xAC"}},
        {"name",
         {"Name", "Count", "Bin", "", "Old", "A\\B", "\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7"}},
        {"data",
         {"S{text}", "S", "D12", "D-1", "D$10", "D$FFFFFFFF", "D2147483648", "Dtwelve", "D 7",
          "D7 ", "B01 ff,7a", "B", "-", "X1", "s%UIDL%", "d$1f", "b0A0b"}},
        {"text",
         {"hello", "%UIDL% on %MachId%", "%Fullname%", "%DateTime%", "%Custom%", "%NoSuch%",
          "two  blanks ", "%uidl%", "%Docs%", "\xC5\x81ukasz \xE6\x9D\xB1\xE4\xBA\xAC"}},
        {"long", {std::string(315, 'k')}},
    };
    return pools;
}

// The macros file's possible lines, each taken or not.
const Pool kMacroLines = {
    "Custom=custom-%UIDL%",
    "Ini=C:\\Data\\macro.ini",
    "Home=\\\\FILES01\\HOME\\%UIDL%",
    "uid=x",
    "Self=%Self%x",
    "Docs=%Home%\\DOCS",
    "Out=C:\\Data",
    "no equals sign",
};

class Random {
  public:
    explicit Random(uint64_t seed) : engine_(seed) {}
    // 0 .. n-1.
    size_t Below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(engine_); }
    bool Chance(int percent) { return Below(100) < static_cast<size_t>(percent); }
    const std::string& Pick(const Pool& pool) { return pool[Below(pool.size())]; }

  private:
    std::mt19937_64 engine_;
};

// Fills every {slot} of `text`, and the slots the filling brought in.
std::string Fill(std::string text, Random& random) {
    for (size_t open = text.find('{'); open != std::string::npos; open = text.find('{', open)) {
        const size_t close = text.find('}', open);
        const auto pool = Pools().find(text.substr(open + 1, close - open - 1));
        if (close == std::string::npos || pool == Pools().end()) {
            ++open;
            continue;
        }
        text.replace(open, close - open + 1, random.Pick(pool->second));
    }
    return text;
}

std::string ScriptLine(Random& random) {
    static const int total = [] {
        int sum = 0;
        for (const LineTemplate& line : kLines) {
            sum += line.weight;
        }
        return sum;
    }();
    int at = static_cast<int>(random.Below(static_cast<size_t>(total)));
    for (const LineTemplate& line : kLines) {
        if ((at -= line.weight) < 0) {
            return Fill(line.text, random);
        }
    }
    return std::string();
}

std::string Folder(const std::string& value) {
    return value.back() == '\\' ? value : value + "\\";
}

// A share path ("\" separated, as the settings name it) as a relative path.
std::string Relative(std::string path) {
    for (char& c : path) {
        c = c == '\\' ? '/' : c;
    }
    return path;
}

void MakeShare(Logon& logon, Random& random) {
    const std::string breaks[] = {"\r\n", "\n"};
    const std::string& end = breaks[random.Below(2)];
    std::map<std::string, std::string> settings;  // the keys set, for the script files
    std::string text;
    const auto set = [&](const std::string& key, const std::string& value) {
        settings[key] = value;
        text += key + "=" + value + end;
    };
    std::string order;
    const std::string letters = "*gGuUmM*x";
    for (size_t n = 1 + random.Below(6); n > 0; --n) {
        order += letters[random.Below(letters.size())];
    }
    if (random.Chance(30)) {
        text += "[Settings]" + end;
    }
    set("Process", order);
    if (random.Chance(25)) {
        set("User", random.Chance(50) ? "HOMES" : "HOMES\\");
    }
    if (random.Chance(20)) {
        set("Extension", ".SCR");
    }
    if (random.Chance(60)) {
        set("Macros", random.Chance(95) ? "MACROS.DAT" : "GONE.DAT");
    }
    if (random.Chance(70)) {
        set("UserList", "USERLIST.DAT");
    }
    if (random.Chance(95)) {
        logon.shareFiles["tarnwick.ini"] = text;
    } else {
        settings = {};  // no settings file: every default holds
    }
    std::string macros;
    for (const std::string& line : kMacroLines) {
        if (random.Chance(45)) {
            macros += line + end;
        }
    }
    logon.shareFiles["MACROS.DAT"] = macros;
    logon.shareFiles["USERLIST.DAT"] =
        "jsmith=John Smith" + end + "adoe=Alice Doe" + end +
        "mlopez=\xC5\x81ukasz \xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7" + end;

    const auto value = [&](const char* key, const char* fallback) {
        const auto it = settings.find(key);
        return it == settings.end() ? std::string(fallback) : it->second;
    };
    const std::string extension = value("Extension", ".DAT");
    const std::string user = Folder(value("User", "USER\\"));
    const std::map<char, std::string> files = {
        {'*', "GLOBAL\\_DEFAULT"},  {'g', "GROUP\\EVERYONE"}, {'G', "GROUP\\_DEFAULT"},
        {'u', user + logon.user},   {'U', user + "_DEFAULT"}, {'m', "MACHINE\\" + logon.machine},
        {'M', "MACHINE\\_DEFAULT"},
    };
    for (const auto& [letter, name] : files) {
        if (order.find(letter) == std::string::npos || random.Chance(20)) {
            continue;
        }
        std::string script = "; " + std::string(1, letter) + " script" + end;
        for (size_t n = 1 + random.Below(8); n > 0; --n) {
            script += ScriptLine(random) + end;
        }
        logon.shareFiles[Relative(name + extension)] = script;
    }
    if (random.Chance(60)) {
        logon.shareFiles["src.txt"] = "source in the share\r\n";
    }
    if (random.Chance(40)) {
        logon.shareFiles["hive.reg"] = "REGEDIT4\r\n\r\n";
    }
}

void MakeWorkstation(Logon& logon, Random& random) {
    // Most logons are a standard user's, the default; some say so.
    const std::string rights = random.Chance(35)   ? "Rights=Administrator\n"
                               : random.Chance(25) ? "Rights=Standard\n"
                                                   : "";
    logon.stateFiles["identity.ini"] =
        "User=" + logon.user + "\nMachine=" + logon.machine + "\n" + rights;
    // The window's ten seconds become a hundredth of a second.
    logon.stateFiles["toolkit.ini"] = "TimerScale=0.001\n";
    if (random.Chance(85)) {
        logon.stateFiles["network/FILES01/SOFTWARE/Templates/letter.dot"] = "letter template\r\n";
        logon.stateFiles["network/FILES01/SOFTWARE/Defaults/app.ini"] = "[Server]\r\nName=OLD\r\n";
        logon.stateFolders.push_back("network/FILES01/HOME");
        if (random.Chance(70)) {
            logon.stateFolders.push_back("network/FILES01/HOME/" + logon.user);
        }
    }
    if (random.Chance(80)) {
        logon.stateFiles["network/PRINT01/LASER/QUEUE.TXT"] = "";
    }
    logon.stateFolders.push_back("drives/c");
    if (random.Chance(50)) {
        logon.stateFolders.push_back("drives/c/Data");
        if (random.Chance(50)) {
            logon.stateFiles["drives/c/Data/e2.txt"] = "old e2\r\n";
        }
    }
    if (random.Chance(30)) {
        logon.stateFiles["drives/c/Tarnwick/app.ini"] = "[User]\r\nLogin=someone\r\n";
    }
    if (random.Chance(40)) {
        logon.stateFolders.push_back("drives/c/Windows/Temp");
        logon.stateFolders.push_back("drives/c/Program Files/Tarnwick");
    }
    if (random.Chance(25)) {
        logon.stateFiles["drives/c/root.txt"] = "at the root\r\n";
    }
    if (random.Chance(50)) {
        logon.stateFiles["drives/c/Hives/user.reg"] = "REGEDIT4\r\n\r\n";
    }
    if (random.Chance(30)) {
        logon.stateFiles["drives/c/Hives/bad.reg"] = "not a hive\r\n";
    }
    if (random.Chance(30)) {
        logon.stateFolders.push_back("drives/d");
    }
    // Connections an earlier logon left: in the user's store under
    // Network\<device>, as Windows keeps them, or in the one shared file of
    // an older state folder, which the run takes over; a device may be in
    // both, and the user's own connection then wins.
    struct Kept {
        std::string device, key, type, remote;
    };
    const std::vector<Kept> kept = {{"H:", "H", "1", "\\\\FILES01\\HOME\\" + logon.user},
                                    {"S:", "S", "1", "\\\\FILES01\\SOFTWARE"},
                                    {"Q:", "Q", "1", "\\\\GONE\\SHARE"},
                                    {"LPT1", "LPT1", "2", "\\\\PRINT01\\LASER"}};
    std::string connections;
    for (const Kept& connection : kept) {
        if (!random.Chance(30)) {
            continue;
        }
        const bool own = random.Chance(50);
        if (!own || random.Chance(20)) {
            connections += connection.device + "\t" + connection.type + "\t" +
                           (own ? "\\\\GONE\\OTHER" : connection.remote) + "\n";
        }
        if (own) {
            const std::string key = "Network\\" + connection.key;
            logon.values.push_back({"U", key, "ConnectionType", connection.type, true});
            logon.values.push_back({"U", key, "ConnectFlags", "0", true});
            logon.values.push_back({"U", key, "DeferFlags", "4", true});
            logon.values.push_back({"U", key, "ProviderName", "Microsoft Windows Network"});
            logon.values.push_back({"U", key, "ProviderType", "131072", true});
            logon.values.push_back({"U", key, "UserName", ""});
            logon.values.push_back({"U", key, "RemotePath", connection.remote});
        }
    }
    if (!connections.empty()) {
        logon.stateFiles["profile/connections"] = connections;
    }
    if (random.Chance(30)) {
        // An earlier run's record, which the logon must replace.
        const std::string record = "Software\\Brackenlow\\Tarnwick\\Errors";
        logon.values.push_back({"U", record, "ErrorCount", "2", true});
        logon.values.push_back({"U", record, "ErrorString1", "an old message"});
        logon.values.push_back({"U", record, "ErrorString2", "another old message"});
    }
    for (const char* root : {"U", "M"}) {
        if (random.Chance(40)) {
            logon.values.push_back({root, "Software\\Gen", "Old", "old value"});
        }
    }
    // A key of the user's own classes, where the R lines of a standard user
    // can write.
    if (random.Chance(30)) {
        logon.values.push_back({"U", "Software\\Classes\\Control Panel\\Desktop", "Old", "mine"});
    }
}

// SplitMix64's finaliser: neighbouring numbers give unrelated streams.
uint64_t Mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

}  // namespace

Logon GenerateLogon(uint64_t seed, uint64_t index) {
    // One stream per logon, from the seed and the logon's number.
    Random random(Mix(seed ^ Mix(index)));
    Logon logon;
    logon.user = random.Pick({"jsmith", "adoe", "bkent", "mlopez"});
    logon.machine = random.Pick({"WS01", "LAB07", "KIOSK3"});
    MakeShare(logon, random);
    MakeWorkstation(logon, random);
    return logon;
}

}  // namespace randomlogons
