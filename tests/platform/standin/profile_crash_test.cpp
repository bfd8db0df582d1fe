// The INI writer killed at random moments, many times over: the file stays
// a whole INI file that holds each write whole or not at all, nothing the
// writer acknowledged is lost, and the next writer is never kept waiting by
// the one killed. Writers in ten processes at once lose none of their keys.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/errors.h"
#include "platform/profile.h"
#include "platform/standin/crash_harness.h"
#include "platform/standin/standin_platform.h"
#include "support/standin/scratch_standin.h"

namespace {

using platform::standin::StandinPlatform;

constexpr const char* kFile = "C:\\App\\crash.ini";

// Write n: one of five sections, one of eight keys, a value whose length
// varies with n, so the file grows and shrinks.
std::string SectionOf(long n) {
    return "Section" + std::to_string(n % 5);
}
std::string KeyOf(long n) {
    return "key" + std::to_string(n / 5 % 8);
}
std::string ValueOf(long n) {
    return std::to_string(n) + ":" + std::string(static_cast<size_t>(n * 17 % 400), 'a' + n % 26);
}

// The file the writes must give: sections in the order they were first
// written, each key in its section in the order it was first written.
class Model {
  public:
    void Apply(long n) {
        auto section = sections_.begin();
        while (section != sections_.end() && section->first != SectionOf(n)) {
            ++section;
        }
        if (section == sections_.end()) {
            sections_.push_back({SectionOf(n), {}});
            section = sections_.end() - 1;
        }
        for (auto& [key, value] : section->second) {
            if (key == KeyOf(n)) {
                value = ValueOf(n);
                return;
            }
        }
        section->second.push_back({KeyOf(n), ValueOf(n)});
    }
    std::string Bytes() const {
        std::string text;
        for (const auto& [name, keys] : sections_) {
            text += "[" + name + "]\r\n";
            for (const auto& [key, value] : keys) {
                text += key + "=" + value + "\r\n";
            }
        }
        return text;
    }

  private:
    std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> sections_;
};

class ProfileCrashTest : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::create_directories(scratch_.Drive() / "App"); }
    std::string FileBytes() const {
        return testsupport::ScratchStandin::Read(scratch_.Drive() / "App" / "crash.ini");
    }

    testsupport::ScratchStandin scratch_{"profile-crash"};
};

TEST_F(ProfileCrashTest, KilledWriterLeavesEveryWriteWholeOrAbsent) {
    std::optional<StandinPlatform> workstation;  // made in each writer process
    Model acknowledged;
    testsupport::KillWriterRepeatedly(
        30, 8088,
        [&](long n) {
            if (!workstation) {
                workstation.emplace(scratch_.dir());
            }
            return workstation->services().profile().WritePrivateProfileStringW(
                       SectionOf(n), KeyOf(n), ValueOf(n), kFile) == platform::kErrorSuccess;
        },
        [&](long first, long last) {
            for (long m = first; m <= last; ++m) {
                acknowledged.Apply(m);
            }
            Model withInFlight = acknowledged;
            withInFlight.Apply(last + 1);
            const std::string found = FileBytes();
            if (found == withInFlight.Bytes()) {
                acknowledged = withInFlight;
            } else {
                ASSERT_EQ(found, acknowledged.Bytes()) << "last acknowledged write " << last;
            }
        });
}

// As when users log on together at a terminal server: ten programs write 50
// keys each into one file, at the same time.
TEST_F(ProfileCrashTest, TenWritersSideBySideLoseNothing) {
    constexpr int kWriters = 10;
    constexpr int kKeys = 50;
    testsupport::RunSideBySide(kWriters, [&](int writer) {
        StandinPlatform workstation(scratch_.dir());
        for (int k = 0; k < kKeys; ++k) {
            if (workstation.services().profile().WritePrivateProfileStringW(
                    "Writer" + std::to_string(writer), "key" + std::to_string(k),
                    std::to_string(writer * 1000 + k), kFile) != platform::kErrorSuccess) {
                return false;
            }
        }
        return true;
    });
    const std::string found = FileBytes();
    int lost = 0;
    for (int writer = 0; writer < kWriters; ++writer) {
        const std::string header = "[Writer" + std::to_string(writer) + "]\r\n";
        const size_t section = found.find(header);
        ASSERT_NE(section, std::string::npos) << header;
        const size_t end = found.find('[', section + 1);
        const std::string keys = found.substr(section, end - section);
        for (int k = 0; k < kKeys; ++k) {
            const std::string line =
                "\r\nkey" + std::to_string(k) + "=" + std::to_string(writer * 1000 + k) + "\r\n";
            if (keys.find(line) == std::string::npos) {
                ++lost;
            }
        }
    }
    EXPECT_EQ(lost, 0) << "of " << kWriters * kKeys << " keys";
}

}  // namespace
