// The event each run of the program leaves: its type, ID and string for
// the ways a run can end, recorded through a fake event log so that the
// same cases run on the stand-in and on Windows.
#include "app/logon_event.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/tarnwick_form.h"
#include "logon/identity.h"
#include "logon/settings.h"
#include "platform/errors.h"
#include "platform/eventlog.h"
#include "script/registry_commands.h"
#include "script/run.h"
#include "support/fake_services.h"
#include "support/fake_toolkit.h"
#include "support/registry_reader.h"
#include "support/test_platform.h"

namespace {

using app::kEventNoScriptFiles;

struct Event {
    std::string source;
    uint16_t type;
    uint32_t id;
    std::string text;
};

class RecordingEventLog : public platform::EventLog {
  public:
    platform::Win32Error ReportEventW(const std::string& source, uint16_t type, uint32_t id,
                                      const std::string& text) override {
        events.push_back({source, type, id, text});
        return result;
    }
    std::vector<Event> events;
    uint32_t result = 0;
};

struct Case {
    const char* name;
    std::string settings;  // after Process=* and Global=
    std::string script;    // GLOBAL\_DEFAULT.DAT
    bool wrongTypedCount;  // the previous run record's ErrorCount is a string
    int exitCode;
    bool event;
    uint16_t type;
    uint32_t id;
    std::vector<std::string> lines;  // the event string, after its date line
};

class LogonEventTest : public testsupport::PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        const platform::Services real = platform::Current();
        system_ = std::make_unique<testsupport::FakeSystem>(real.system());
        system_->modulePath = At("RUN.EXE");
        system_->now = platform::LocalTime{2024, 3, 10, 0, 12, 0, 0, 0};
        Install(real.With(*system_).With(toolkit_).With(log_));
        log_.events.clear();
        toolkit_.loop = [](testsupport::FakeWindow& w) {
            w.Tick();
            w.Click("Continue");
        };
    }

    void Run(const Case& c) {
        WriteFile(At("RUN.INI"), "Process=*\r\nGlobal=" + At("GLOBAL") + "\\\r\n" + c.settings);
        WriteFile(At("GLOBAL\\_DEFAULT.DAT"), c.script);
        if (c.wrongTypedCount) {
            testsupport::WriteValue(platform::kHkeyCurrentUser, script::kRunRecordKey, "ErrorCount",
                                    platform::kRegSz, std::string("3\0", 2));
        } else {
            testsupport::WriteValue(platform::kHkeyCurrentUser, script::kRunRecordKey, "ErrorCount",
                                    platform::kRegDword, std::string(4, '\0'));
        }
        EXPECT_EQ(app::RunApplication(context()), c.exitCode);
    }

    testsupport::FakeToolkit toolkit_;
    std::unique_ptr<testsupport::FakeSystem> system_;
    RecordingEventLog log_;
};

TEST_F(LogonEventTest, EachWayARunEndsLeavesOneEventOfItsKind) {
    const std::vector<Case> cases = {
        {"clean run",
         "",
         "; nothing to do\r\n",
         false,
         0,
         true,
         platform::kEventlogInformationType,
         1,
         {"Messages: 0"}},
        {"run with messages",
         "",
         "Xbogus\r\n; fine\r\nYbogus\r\n",
         false,
         0,
         true,
         platform::kEventlogWarningType,
         2,
         {"Messages: 2", "Unknown command : Xbogus", "Unknown command : Ybogus"}},
        {"wrong-typed ErrorCount",
         "",
         "Xnever run\r\n",
         true,
         0,
         true,
         platform::kEventlogErrorType,
         3,
         {"Failure: Invalid data type for 'ErrorCount'", "Messages: 0"}},
        {"start-up failure",
         "Macros=" + At("NONE.DAT") + "\r\n",
         "Xnever run\r\n",
         false,
         1,
         true,
         platform::kEventlogErrorType,
         3,
         {"Script files: none", "Failure: Cannot open file " + At("NONE.DAT"), "Messages: 0"}},
        {"no script file",
         "Default=NONE\r\n",
         "Xnever run\r\n",
         false,
         0,
         true,
         platform::kEventlogWarningType,
         4,
         {"Script files: none", "Messages: 0"}},
        {"EventLog=0", "EventLog=0\r\n", "Xbogus\r\n", false, 0, false, 0, 0, {}},
        {"EventLog=no",
         "EventLog=no\r\n",
         "; nothing\r\n",
         false,
         0,
         true,
         platform::kEventlogInformationType,
         1,
         {"Messages: 0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Run(c);
        if (!c.event) {
            EXPECT_TRUE(log_.events.empty());
            continue;
        }
        ASSERT_EQ(log_.events.size(), 1u);
        const Event& event = log_.events[0];
        EXPECT_EQ(event.source, "Tarnwick");
        EXPECT_EQ(event.type, c.type);
        EXPECT_EQ(event.id, c.id);
        for (const std::string& line : c.lines) {
            EXPECT_NE(event.text.find("\n" + line), std::string::npos) << line << " not in\n"
                                                                       << event.text;
        }
        // The first lines name who logged on where; the messages come last.
        EXPECT_EQ(event.text.rfind("User: ", 0), 0u) << event.text;
        EXPECT_NE(event.text.find("\nMachine: "), std::string::npos);
        EXPECT_NE(event.text.find("\nDate and time: "), std::string::npos);
        if (c.id == kEventNoScriptFiles) {
            // The settings file and the folders, as full paths of this run.
            EXPECT_NE(event.text.find("\nSettings file: " + At("RUN.INI") +
                                      "\nFolders searched: " + At("GLOBAL") + "\\\n"),
                      std::string::npos)
                << event.text;
        }
        if (c.id == 1 || c.id == 2) {
            EXPECT_NE(event.text.find("\nScript files: " + At("GLOBAL\\_DEFAULT.DAT")),
                      std::string::npos)
                << event.text;
        }
    }
}

TEST_F(LogonEventTest, ARefusedEventChangesNothingOfTheRun) {
    log_.result = platform::kErrorAccessDenied;
    Run({"refused", "", "Xbogus\r\n", false, 0, true, 0, 0, {}});
    ASSERT_EQ(log_.events.size(), 1u);
    EXPECT_TRUE(toolkit_.boxes.empty());
    EXPECT_EQ(
        testsupport::ReadDword(platform::kHkeyCurrentUser, script::kRunRecordKey, "ErrorCount"),
        1u);
}

TEST(LogonEventTextTest, ListsTheFilesTheFailureAndEveryMessage) {
    app::LogonOutcome outcome;
    outcome.user = "jsmith";
    outcome.machine = "WS01";
    outcome.dateTime = "Tue, Dec 8, 2026 11:44 AM";
    outcome.scriptFiles = {"GLOBAL\\_DEFAULT.DAT", "USER\\jsmith.DAT"};
    outcome.messages = {"first", "second"};
    outcome.failure = "Cannot open file X";
    EXPECT_EQ(app::LogonEventText(outcome),
              "User: jsmith\nMachine: WS01\nDate and time: Tue, Dec 8, 2026 11:44 AM\n"
              "Script files: GLOBAL\\_DEFAULT.DAT, USER\\jsmith.DAT\n"
              "Failure: Cannot open file X\nMessages: 2\nfirst\nsecond");

    app::LogonOutcome none = outcome;
    none.scriptFiles.clear();
    none.messages.clear();
    none.failure.clear();
    none.noScriptFiles = true;
    none.settingsFile = "C:\\Windows\\System32\\tarnwick.INI";
    none.settingsRead = false;
    none.foldersSearched = {"C:\\Windows\\System32\\GLOBAL\\", "C:\\Windows\\System32\\USER\\"};
    EXPECT_EQ(app::LogonEventText(none),
              "User: jsmith\nMachine: WS01\nDate and time: Tue, Dec 8, 2026 11:44 AM\n"
              "Script files: none\nSettings file: C:\\Windows\\System32\\tarnwick.INI (not found)\n"
              "Folders searched: C:\\Windows\\System32\\GLOBAL\\, C:\\Windows\\System32\\USER\\\n"
              "Messages: 0");
}

}  // namespace
