// The connections' writer killed at random moments, many times over: the
// user's store stays loadable and holds each connection change whole or
// not at all, nothing it acknowledged is lost, and the next writer is never
// kept waiting by the one killed. Ten processes of several users at once
// lose none of their connections and none lands with another user; two
// processes starting at once take the shared connections of old over once.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/standin/context.h"
#include "platform/standin/crash_harness.h"
#include "support/standin/scratch_standin.h"

namespace {

namespace fs = std::filesystem;
using platform::standin::Connection;
using platform::standin::Context;

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

// The devices a user has connected, as a fresh process finds them in his
// store: every key below Network.
std::set<std::string> NetworkKeys(Context& context) {
    std::vector<std::string> names;
    context.userStores.Current().ListKeys({"Network"}, &names);
    return {names.begin(), names.end()};
}

class ConnectionsCrashTest : public ::testing::Test {
  protected:
    void SetUp() override { scratch_.Write("identity.ini", "User=alice\n"); }
    State ReadBack() {
        Context context(scratch_.dir());
        State state;
        for (int d = 0; d < kDevices; ++d) {
            const std::string device = DeviceOf(d);
            if (const auto found = context.connections.Find(device)) {
                state[device] = {found->type, found->remoteName};
            }
        }
        return state;
    }
    // A state folder of `user`'s own whose registry and profile folders are
    // the workstation's: his processes and another user's work side by side.
    fs::path As(const std::string& user) {
        const fs::path view = scratch_.dir() / "as" / user;
        if (!fs::exists(view)) {
            fs::create_directories(view);
            for (const char* shared : {"registry", "profile"}) {
                fs::create_directories(scratch_.dir() / shared);
                fs::create_directory_symlink(scratch_.dir() / shared, view / shared);
            }
            std::ofstream(view / "identity.ini") << "User=" << user << "\n";
        }
        return view;
    }

    testsupport::ScratchStandin scratch_{"connections-crash"};
};

TEST_F(ConnectionsCrashTest, KilledWriterLeavesEveryChangeWholeOrAbsent) {
    std::optional<Context> context;  // made in each writer process
    State state;
    testsupport::KillWriterRepeatedly(
        30, 4711,
        [&](long n) {
            if (!context) {
                context.emplace(scratch_.dir());
            }
            auto& store = context->connections;
            return (Removes(n)
                        ? store.Remove(DeviceOf(n))
                        : store.Set(DeviceOf(n), ConnectionOf(n))) == platform::kErrorSuccess;
        },
        [&](long first, long last) {
            for (long m = first; m <= last; ++m) {
                Apply(state, m);
            }
            State withInFlight = state;
            Apply(withInFlight, last + 1);
            const State found = ReadBack();
            ASSERT_TRUE(found == state || found == withInFlight)
                << "last acknowledged change " << last;
            state = found;
        });
}

// Ten processes, of three users, each connecting devices of its own and
// cancelling one again: every user has afterwards exactly the connections
// his processes left, none lost and none of another user's.
TEST_F(ConnectionsCrashTest, TenProcessesOfSeveralUsersLoseNothing) {
    constexpr int kProcesses = 10;
    constexpr int kDevicesEach = 20;
    const std::vector<std::string> users = {"alice", "bob", "carol"};
    const auto userOf = [&](int process) { return users[static_cast<size_t>(process) % 3]; };
    const auto deviceOf = [](int process, int d) {
        return "P" + std::to_string(process) + "-" + std::to_string(d);
    };
    for (const std::string& user : users) {
        As(user);
    }
    const auto start = std::chrono::steady_clock::now();
    testsupport::RunSideBySide(kProcesses, [&](int process) {
        Context context(As(userOf(process)));
        for (int d = 0; d < kDevicesEach; ++d) {
            if (context.connections.Set(deviceOf(process, d),
                                        Connection{1, "\\\\SRV\\" + deviceOf(process, d)}) !=
                platform::kErrorSuccess) {
                return false;
            }
        }
        // One of its own removed again: removals land as well.
        return context.connections.Remove(deviceOf(process, 0)) == platform::kErrorSuccess;
    });
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    int lost = 0;
    int kept = 0;
    for (const std::string& user : users) {
        SCOPED_TRACE(user);
        Context context(As(user));
        std::set<std::string> expected;
        for (int process = 0; process < kProcesses; ++process) {
            if (userOf(process) != user) {
                continue;
            }
            for (int d = 1; d < kDevicesEach; ++d) {
                expected.insert(deviceOf(process, d));
                const auto found = context.connections.Find(deviceOf(process, d));
                if (!found || found->remoteName != "\\\\SRV\\" + deviceOf(process, d)) {
                    ++lost;
                }
            }
        }
        EXPECT_EQ(NetworkKeys(context), expected);
        kept += static_cast<int>(expected.size());
    }
    EXPECT_EQ(lost, 0) << "of " << kept << " connections";
    std::cout << "[ figure   ] " << kProcesses << " processes of " << users.size()
              << " users side by side, " << kDevicesEach
              << " connections and 1 removal each: " << kept - lost << " of " << kept
              << " connections kept, " << lost << " lost, in " << static_cast<long>(ms) << " ms\n";
}

// Two processes that start at once on a workstation whose connections are
// still in the one shared file of old: of the same user, they take the file
// over once, and a connection the first one's script cancels is not brought
// back by the second; of two users, one of them gets it all.
TEST_F(ConnectionsCrashTest, TwoProcessesStartingAtOnceTakeTheSharedFileOverOnce) {
    const struct {
        const char* name;
        std::string first, second;
    } cases[] = {{"same user", "alice", "alice"}, {"two users", "alice", "bob"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(scratch_.dir() / "registry");
        fs::remove_all(scratch_.dir() / "profile");
        fs::remove_all(scratch_.dir() / "as");
        const fs::path first = As(c.first);
        const fs::path second = As(c.second);
        {
            Context own(first);  // the first user's own S: stays as it is
            ASSERT_EQ(own.connections.Set("S:", Connection{1, "\\\\FS01\\MINE"}), 0u);
        }
        scratch_.Write("profile/connections",
                       "H:\t1\t\\\\FS01\\HOME\nS:\t1\t\\\\FS01\\SALES\nLPT1\t2\t\\\\PR\\LASER\n");
        testsupport::RunSideBySide(2, [&](int process) {
            Context context(process == 0 ? first : second);
            if (!context.connections.Find("H:")) {
                return true;  // the other process's user took the file
            }
            // The first process's script cancels H: once it has it.
            return process != 0 || context.connections.Remove("H:") == platform::kErrorSuccess;
        });
        EXPECT_FALSE(fs::exists(scratch_.dir() / "profile" / "connections"));
        for (const auto& entry : fs::directory_iterator(scratch_.dir() / "profile")) {
            ADD_FAILURE() << "left behind: " << entry.path();
        }
        Context a(first);
        Context b(second);
        const bool toFirst = NetworkKeys(a).count("LPT1") != 0;
        const bool toSecond = NetworkKeys(b).count("LPT1") != 0;
        EXPECT_TRUE(toFirst || toSecond);
        if (c.first == c.second) {
            EXPECT_FALSE(a.connections.Find("H:")) << "cancelled, then taken over again";
        } else {
            EXPECT_NE(toFirst, toSecond) << "taken over by both users";
        }
        ASSERT_TRUE(a.connections.Find("S:"));
        EXPECT_EQ(a.connections.Find("S:")->remoteName, "\\\\FS01\\MINE");
    }
}

}  // namespace
