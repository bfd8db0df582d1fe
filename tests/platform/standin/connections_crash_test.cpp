// The network profile's writer killed at random moments, many times over:
// the profile stays loadable and holds each connection change whole or not
// at all, nothing it acknowledged is lost, and the next writer is never kept
// waiting by the one killed. Writers in ten processes at once lose none of
// their connections.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "platform/errors.h"
#include "platform/standin/connections.h"
#include "platform/standin/crash_harness.h"
#include "support/standin/scratch_standin.h"

namespace {

using platform::standin::Connection;
using platform::standin::ConnectionStore;

constexpr int kDevices = 12;

std::string DeviceOf(long n) {
    return std::string(1, static_cast<char>('E' + n % kDevices)) + ":";
}
// Every seventh change removes its device's connection; the others connect
// it to a share whose name varies in length, so the file's size changes.
bool Removes(long n) {
    return n % 7 == 0;
}
Connection ConnectionOf(long n) {
    return Connection{n % 5 == 0 ? 2u : 1u,
                      "\\\\SRV" + std::to_string(n % 3) + "\\share" + std::to_string(n) +
                          std::string(static_cast<size_t>(n * 13 % 200), 'a' + n % 26)};
}

using State = std::map<std::string, std::pair<uint32_t, std::string>>;  // device -> type, remote

void Apply(State& state, long n) {
    if (Removes(n)) {
        state.erase(DeviceOf(n));
    } else {
        const Connection c = ConnectionOf(n);
        state[DeviceOf(n)] = {c.type, c.remoteName};
    }
}

// What a fresh process finds in the profile.
State ReadBack(const std::filesystem::path& file) {
    const ConnectionStore store(file);
    State state;
    for (int d = 0; d < kDevices; ++d) {
        const std::string device = DeviceOf(d);
        if (const auto found = store.Find(device)) {
            state[device] = {found->type, found->remoteName};
        }
    }
    return state;
}

class ConnectionsCrashTest : public ::testing::Test {
  protected:
    std::filesystem::path File() const { return scratch_.dir() / "profile" / "connections"; }

    testsupport::ScratchStandin scratch_{"connections-crash"};
};

TEST_F(ConnectionsCrashTest, KilledWriterLeavesEveryChangeWholeOrAbsent) {
    std::optional<ConnectionStore> store;  // made in each writer process
    State state;
    testsupport::KillWriterRepeatedly(
        30, 4711,
        [&](long n) {
            if (!store) {
                store.emplace(File());
            }
            return (Removes(n)
                        ? store->Remove(DeviceOf(n))
                        : store->Set(DeviceOf(n), ConnectionOf(n))) == platform::kErrorSuccess;
        },
        [&](long first, long last) {
            for (long m = first; m <= last; ++m) {
                Apply(state, m);
            }
            State withInFlight = state;
            Apply(withInFlight, last + 1);
            const State found = ReadBack(File());
            ASSERT_TRUE(found == state || found == withInFlight)
                << "last acknowledged change " << last;
            state = found;
        });
}

TEST_F(ConnectionsCrashTest, TenWritersSideBySideLoseNothing) {
    constexpr int kWriters = 10;
    constexpr int kDevicesEach = 20;
    const auto deviceOf = [](int writer, int d) {
        return "W" + std::to_string(writer) + "-" + std::to_string(d);
    };
    testsupport::RunSideBySide(kWriters, [&](int writer) {
        ConnectionStore store(File());
        for (int d = 0; d < kDevicesEach; ++d) {
            if (store.Set(deviceOf(writer, d), Connection{1, "\\\\SRV\\" + deviceOf(writer, d)}) !=
                platform::kErrorSuccess) {
                return false;
            }
        }
        // One of its own removed again: removals land as well.
        return store.Remove(deviceOf(writer, 0)) == platform::kErrorSuccess;
    });
    const ConnectionStore fresh(File());
    int wrong = 0;
    for (int writer = 0; writer < kWriters; ++writer) {
        EXPECT_FALSE(fresh.Find(deviceOf(writer, 0))) << deviceOf(writer, 0);
        for (int d = 1; d < kDevicesEach; ++d) {
            const auto found = fresh.Find(deviceOf(writer, d));
            if (!found || found->remoteName != "\\\\SRV\\" + deviceOf(writer, d)) {
                ++wrong;
            }
        }
    }
    EXPECT_EQ(wrong, 0) << "of " << kWriters * (kDevicesEach - 1) << " connections";
}

}  // namespace
