// The catalogue of malformed inputs (malformed_input_cases.h), run end to
// end: each case's share is laid out, the built program runs on it on this
// build's workstation (the differential suite's: the stand-in in a
// throwaway state directory, or the real registry and file system under
// Wine, the window and message boxes found on the screen), and everything
// it leaves is compared with the case's outcome. Nothing may crash or
// hang, and nothing already stored may be lost.
//
// Script-line cases run together in one program run, each behind a marker
// line whose message separates its messages from the next case's. The
// other cases get a run of their own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "malformed_input_cases.h"
#include "platform/platform.h"
#include "platform/text_codes.h"
#include "support/registry_reader.h"
#include "support/test_platform.h"
#include "workstation.h"

namespace malformed {
namespace {

namespace fs = std::filesystem;
using platform::kHkeyCurrentUser;

// The catalogue is written in Windows-1252, as the scripts it lays out
// are; the program reads them into its own text, UTF-8, and its messages,
// names and values come back so.
std::string Program(const std::string& catalogueText) {
    return platform::Utf8From1252(catalogueText, platform::Unused1252::kControl);
}

// A path of the program's text, whatever the platform's narrow strings are.
fs::path Utf8Path(const std::string& text) {
    return fs::u8path(text);
}

std::string Utf8Name(const fs::path& path) {
    return path.filename().u8string();
}

bool IsText(uint32_t type) {
    return type == platform::kRegSz || type == platform::kRegExpandSz ||
           type == platform::kRegMultiSz;
}

// A run that has not ended by then hangs. It bounds a wait, it is no
// measure of speed.
constexpr std::chrono::seconds kHangLimit{180};
// The identity the stand-in is told; Windows has its own. The cases run
// on both, with an administrator's rights as every process under Wine.
const differential::Identity kIdentity{"jsmith", "WS01", "Administrator"};

// This build's workstation, asked about itself before any run.
differential::Workstation& ThisMachine() {
    static const auto machine = differential::CreateWorkstation({}, kIdentity);
    return *machine;
}

// The login name the program runs under.
const std::string& User() {
    static const std::string user = ThisMachine().identity().user;
    return user;
}

template <typename Case>
bool RunsHere(const Case& c) {
    return ThisMachine().IsStandin() || c.platforms == Platforms::kBoth;
}

std::string Replaced(std::string text, const std::string& token, const std::string& by) {
    for (size_t at = text.find(token); at != std::string::npos;
         at = text.find(token, at + by.size())) {
        text.replace(at, token.size(), by);
    }
    return text;
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A fresh folder of its own under the system's temporary folder.
fs::path FreshFolder() {
    static int counter = 0;
    const fs::path folder =
        fs::temp_directory_path() /
        ("tarnwick-catalogue-" + testsupport::RunId() + "-" + std::to_string(counter++));
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::create_directories(folder);
    return folder;
}

// One throwaway login share with the program in it, on this build's
// workstation, whose registry the run record lands in.
class Station {
  public:
    Station()
        : root_(FreshFolder()),
          share_(root_ / "share"),
          program_(share_ / fs::path(TARNWICK_PROGRAM).filename()),
          machine_(differential::CreateWorkstation(root_, kIdentity)) {
        fs::create_directories(share_ / "GLOBAL");
        fs::copy_file(TARNWICK_PROGRAM, program_);
        // Every run starts from no run record and no values of earlier
        // cases: a damaged run record would stop every later run.
        machine_->Reset({kCatalogueKey});
    }
    ~Station() {
        machine_->Reset({kCatalogueKey});
        // Give back every permission a case took away, so all of it goes.
        std::error_code ec, kind;
        for (fs::recursive_directory_iterator it(root_, ec), end; !ec && it != end;
             it.increment(ec)) {
            if (!it->is_symlink(kind)) {
                fs::permissions(it->path(),
                                it->is_directory(kind) ? fs::perms(0755) : fs::perms(0644), kind);
            }
        }
        fs::remove_all(root_, ec);
    }
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    void Lay(const ShareFile& file) {
        const fs::path path =
            file.onMachine ? machine_->HostPath(Program(file.path)) : HostPath(file.path);
        fs::create_directories(path.parent_path());
        switch (file.kind) {
            case Kind::kFile:
                WriteBytes(path, file.bytes);
                break;
            case Kind::kDirectory:
                fs::create_directories(path);
                break;
            case Kind::kFifo:
                ASSERT_TRUE(machine_->MakeFifo(path)) << path;
                break;
        }
        if (file.mode >= 0) {
            fs::permissions(path, static_cast<fs::perms>(file.mode));
        }
    }
    void StoreRecordValue(const std::string& name, const Value& value) {
        const platform::ScopedServices installed(machine_->services());
        testsupport::WriteValue(kHkeyCurrentUser, kRecordKey, name, value.type, value.data);
    }
    differential::RunResult Run(uint64_t fileSizeLimit = 0, bool unprivileged = false) {
        differential::RunOptions options;
        options.limit = kHangLimit;
        options.pressButton = true;
        options.fileSizeLimit = fileSizeLimit;
        options.unprivileged = unprivileged;
        return machine_->Run(program_, share_, options);
    }

    // A share path ("\" separated) on this machine.
    fs::path HostPath(const std::string& sharePath) const {
        std::string relative = Program(sharePath);
        std::replace(relative.begin(), relative.end(), '\\', '/');
        return share_ / Utf8Path(relative);
    }
    std::optional<Value> Read(platform::RegKey root, const std::string& key,
                              const std::string& name) {
        const platform::ScopedServices installed(machine_->services());
        const auto stored = testsupport::ReadValue(root, key, name);
        if (!stored) {
            return std::nullopt;
        }
        return Value{stored->type, stored->data};
    }
    // An expected text with the share's folder (with its separator) and the
    // program's file name put in.
    std::string Expand(const std::string& text) const {
        return Replaced(Replaced(Program(text), kShareToken, (share_ / "").string()), kProgramToken,
                        program_.filename().string());
    }
    differential::Workstation& machine() { return *machine_; }

  private:
    fs::path root_, share_, program_;
    std::unique_ptr<differential::Workstation> machine_;
};

// The run record's messages, ErrorString1 to ErrorString<ErrorCount>; none
// without a DWORD ErrorCount.
std::optional<std::vector<std::string>> RecordMessages(Station& station) {
    const auto count = station.Read(kHkeyCurrentUser, kRecordKey, "ErrorCount");
    if (!count || count->type != platform::kRegDword || count->data.size() != 4) {
        return std::nullopt;
    }
    std::vector<std::string> messages;
    uint32_t n = 0;
    for (int i = 3; i >= 0; --i) {
        n = (n << 8) | static_cast<uint8_t>(count->data[static_cast<size_t>(i)]);
    }
    for (uint32_t i = 1; i <= n; ++i) {
        const auto value =
            station.Read(kHkeyCurrentUser, kRecordKey, "ErrorString" + std::to_string(i));
        std::string text = value ? value->data : "<missing>";
        if (!text.empty() && text.back() == '\0') {
            text.pop_back();
        }
        messages.push_back(text);
    }
    return messages;
}

template <typename Case>
void CheckFilesAndRegistry(Station& station, const Case& c) {
    for (const FileCheck& check : c.fileChecks) {
        SCOPED_TRACE("file " + check.path);
        const fs::path path = station.HostPath(check.path);
        std::error_code ec;
        switch (check.what) {
            case FileCheck::kContents:
                ASSERT_TRUE(fs::is_regular_file(path, ec));
                EXPECT_EQ(ReadBytes(path),
                          ThisMachine().IsWine() && check.wine ? *check.wine : check.contents);
                break;
            case FileCheck::kMissing:
                EXPECT_FALSE(fs::exists(fs::symlink_status(path, ec)));
                break;
            case FileCheck::kDirectory:
                EXPECT_TRUE(fs::is_directory(path, ec));
                break;
            case FileCheck::kEntries: {
                std::vector<std::string> names;
                for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
                    names.push_back(Utf8Name(it->path()));
                }
                std::sort(names.begin(), names.end());
                std::vector<std::string> expected;
                for (const std::string& entry : check.entries) {
                    expected.push_back(Program(entry));
                }
                EXPECT_EQ(names, expected);
                break;
            }
        }
    }
    for (const RegCheck& check : c.regChecks) {
        SCOPED_TRACE("registry " + check.key + " value " + check.name);
        std::optional<Value> expected = check.value;
        if (expected && IsText(expected->type)) {
            expected->data = Program(expected->data);
        }
        EXPECT_EQ(station.Read(check.root, Program(check.key), Program(check.name)), expected);
    }
}

std::string CaseName(const std::string& group, const std::string& name) {
    std::string id;
    for (char c : group) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            id += c;
        }
    }
    return id + "_" + name;
}

// ---- the script-line cases, all in one run ----

class ScriptLineTest : public ::testing::TestWithParam<LineCase> {
  public:
    static void SetUpTestSuite() {
        station_ = std::make_unique<Station>();
        std::string script;
        for (const LineCase& c : LineCases(User())) {
            if (!RunsHere(c)) {
                continue;
            }
            for (const ShareFile& file : c.files) {
                station_->Lay(file);
            }
            script += Marker(c) + "\r\n";
            for (const std::string& line : c.lines) {
                script += line + "\r\n";
            }
        }
        station_->Lay({"tarnwick.INI", kDefaultSettings});
        station_->Lay({kScript, script});
        result_ = station_->Run();
        messages_ = RecordMessages(*station_).value_or(std::vector<std::string>{});
    }
    static void TearDownTestSuite() { station_.reset(); }

  protected:
    static std::string Marker(const LineCase& c) { return "#case " + CaseName(c.group, c.name); }

    static std::unique_ptr<Station> station_;
    static differential::RunResult result_;
    static std::vector<std::string> messages_;
};

std::unique_ptr<Station> ScriptLineTest::station_;
differential::RunResult ScriptLineTest::result_;
std::vector<std::string> ScriptLineTest::messages_;

TEST_P(ScriptLineTest, LeavesExactlyItsMessagesAndEffects) {
    const LineCase& c = GetParam();
    if (!result_.unsupported.empty()) {
        GTEST_SKIP() << result_.unsupported;
    }
    if (!RunsHere(c)) {
        GTEST_SKIP() << "the stand-in's behaviour only";
    }
    ASSERT_EQ(result_.failure, "");
    ASSERT_EQ(result_.exitCode, 0u) << result_.report;
    EXPECT_EQ(result_.report, "");
    const auto begin = std::find(messages_.begin(), messages_.end(), Unknown(Marker(c)));
    ASSERT_NE(begin, messages_.end()) << "the marker's message is missing";
    auto end = std::find_if(begin + 1, messages_.end(), [](const std::string& message) {
        return message.rfind(Unknown("#case "), 0) == 0;
    });
    const std::vector<std::string> found(begin + 1, end);
    ASSERT_EQ(found.size(), c.messages.size());
    for (size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i], station_->Expand(c.messages[i])) << "message " << i + 1;
    }
    CheckFilesAndRegistry(*station_, c);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, ScriptLineTest, ::testing::ValuesIn(LineCases(User())),
                         [](const ::testing::TestParamInfo<LineCase>& info) {
                             return CaseName(info.param.group, info.param.name);
                         });

// ---- the cases with a run of their own ----

class RunCaseTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(RunCaseTest, EndsAsTheCatalogueSays) {
    const RunCase& c = GetParam();
    if (!RunsHere(c)) {
        GTEST_SKIP() << "the stand-in's behaviour only";
    }
    Station station;
    if (c.settings) {
        station.Lay({"tarnwick.INI", *c.settings});
    }
    for (const ShareFile& file : c.files) {
        station.Lay(file);
    }
    for (const auto& [name, value] : c.recordBefore) {
        station.StoreRecordValue(name, value);
    }
    const differential::RunResult result = station.Run(c.fileSizeLimit, c.unprivileged);
    if (!result.unsupported.empty()) {
        GTEST_SKIP() << result.unsupported;
    }
    ASSERT_EQ(result.failure, "");
    EXPECT_EQ(result.exitCode, static_cast<unsigned long>(c.exitCode));
    EXPECT_EQ(result.report, station.Expand(c.report));

    if (c.messages) {
        std::vector<std::string> expected;
        for (const std::string& message : *c.messages) {
            expected.push_back(station.Expand(message));
        }
        const auto record = RecordMessages(station);
        ASSERT_TRUE(record.has_value()) << "no run record";
        const std::vector<std::string>& found = *record;
        ASSERT_EQ(found.size(), expected.size());
        for (size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i], expected[i]) << "message " << i + 1;
        }
        const auto updated = station.Read(kHkeyCurrentUser, kRecordKey, "ErrorUpdated");
        EXPECT_TRUE(updated && updated->type == platform::kRegSz) << "no new ErrorUpdated";
    }
    for (const auto& [name, value] : c.record) {
        SCOPED_TRACE("run record value " + name);
        EXPECT_EQ(station.Read(kHkeyCurrentUser, kRecordKey, name), value);
    }
    for (const WindowCheck& check : c.window) {
        SCOPED_TRACE("window control " + check.control);
        const auto drawn = result.window.find(check.control);
        ASSERT_NE(drawn, result.window.end());
        if (const auto expected =
                station.machine().Drawn(check.control, Program(check.text), check.background)) {
            EXPECT_EQ(drawn->second, *expected);
        }
    }
    if (!c.diagnostics.empty()) {
        std::vector<std::string> expected;
        for (const std::string& line : c.diagnostics) {
            expected.push_back(station.machine().DrawnLine(Program(line)));
        }
        EXPECT_NE(std::search(result.diagnostics.begin(), result.diagnostics.end(),
                              expected.begin(), expected.end()),
                  result.diagnostics.end())
            << "the diagnostics list lacks these lines";
    }
    CheckFilesAndRegistry(station, c);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, RunCaseTest, ::testing::ValuesIn(RunCases(User())),
                         [](const ::testing::TestParamInfo<RunCase>& info) {
                             return CaseName(info.param.group, info.param.name);
                         });

}  // namespace
}  // namespace malformed
