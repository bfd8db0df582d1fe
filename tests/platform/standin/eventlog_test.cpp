// The stand-in's Application log: records as ordinary text, read back
// whole, also after writers that run at once or are killed halfway.
#include "platform/standin/eventlog.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/standin/crash_harness.h"
#include "platform/standin/system.h"

namespace {

using platform::standin::EventRecord;
using platform::standin::FormatEventRecord;
using platform::standin::ParseEventLog;
using platform::standin::StandinEventLog;

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class StandinEventLogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarnwick-eventlog-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    std::filesystem::path root_;
    platform::standin::StandinSystem system_{root_};
};

TEST(EventRecordTest, RecordsReadBackAsTheyWereWritten) {
    const std::vector<EventRecord> records = {
        {"2026-12-08 11:44:03", "Tarnwick", "Warning", 2, "User: jsmith\nMessages: 1\nlast"},
        {"2026-12-08 11:45:00", "Tarnwick", "Information", 1, ""},
        {"2026-12-08 11:46:00", "Tarnwick", "Error", 3, "  indented\n\nafter a blank line"},
    };
    std::string text;
    for (const EventRecord& record : records) {
        text += FormatEventRecord(record);
    }
    EXPECT_EQ(FormatEventRecord(records[0]),
              "2026-12-08 11:44:03 Tarnwick Warning 2\n    User: jsmith\n    Messages: 1\n"
              "    last\n");
    const std::vector<EventRecord> read = ParseEventLog(text);
    ASSERT_EQ(read.size(), records.size());
    for (size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].time, records[i].time);
        EXPECT_EQ(read[i].type, records[i].type);
        EXPECT_EQ(read[i].eventId, records[i].eventId);
        EXPECT_EQ(read[i].text, records[i].text);
    }
    // A record cut short keeps the ones around it readable.
    const std::string cut =
        FormatEventRecord(records[0]).substr(0, 20) + "\n" + FormatEventRecord(records[1]);
    ASSERT_EQ(ParseEventLog(cut).size(), 1u);
    EXPECT_EQ(ParseEventLog(cut)[0].eventId, 1u);
}

TEST_F(StandinEventLogTest, WritersAtOnceAndKilledWritersLeaveEveryRecordWhole) {
    StandinEventLog log(root_, system_);
    const std::string text(3000, 'x');  // long enough to need more than one block
    constexpr int kWriters = 4, kEach = 50;
    for (int w = 0; w < kWriters; ++w) {
        if (::fork() == 0) {
            for (int i = 0; i < kEach; ++i) {
                // The parent counts what arrived; a child has no one to tell of a refusal.
                static_cast<void>(
                    log.ReportEventW("Tarnwick", platform::kEventlogWarningType, 2, text));
            }
            ::_exit(0);
        }
    }
    for (int w = 0; w < kWriters; ++w) {
        int status = 0;
        ::wait(&status);
    }
    // Only the record in flight when its writer was killed may be cut
    // short, at most one a round; every other one reads back whole.
    constexpr int kRounds = 10;
    long acknowledged = 0;
    testsupport::KillWriterRepeatedly(
        kRounds, 4242,
        [&](long n) {
            return log.ReportEventW("Tarnwick", platform::kEventlogErrorType, 3,
                                    "record " + std::to_string(n) + "\n" + text) == 0;
        },
        [&](long first, long last) {
            acknowledged += last - first + 1;
            int cut = 0;
            for (const EventRecord& record : ParseEventLog(ReadAll(log.LogFile()))) {
                const bool whole =
                    record.text.size() >= text.size() &&
                    record.text.compare(record.text.size() - text.size(), text.size(), text) == 0;
                ASSERT_TRUE(whole || record.eventId == 3) << "a finished record was cut";
                cut += whole ? 0 : 1;
            }
            ASSERT_LE(cut, kRounds);
        });
    size_t warnings = 0, errors = 0;
    for (const EventRecord& record : ParseEventLog(ReadAll(log.LogFile()))) {
        (record.eventId == 2 ? warnings : errors)++;
    }
    EXPECT_EQ(warnings, static_cast<size_t>(kWriters * kEach));
    EXPECT_GE(errors, static_cast<size_t>(acknowledged));
}

}  // namespace
