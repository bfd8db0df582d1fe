// Writers killed at random moments and writers working side by side: the
// store stays loadable, each change whole or absent, nothing acknowledged
// lost.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <thread>

#include "platform/errors.h"
#include "platform/standin/registry.h"
#include "platform/standin/standin_platform.h"
#include "support/standin/scratch_standin.h"

namespace {

using namespace platform;
using platform::standin::StandinPlatform;

constexpr const char* kKey = "Software\\Crash";
constexpr int kNames = 37;

std::string NameOf(long n) {
    return "V" + std::to_string(n % kNames);
}
// Change n deletes its value every eleventh time, else writes a text of a
// length that varies with n (so records differ in size).
bool Deletes(long n) {
    return n % 11 == 0;
}
std::string TextOf(long n) {
    return std::to_string(n) + "-" + std::string(static_cast<size_t>(n * 7 % 300), 'a' + n % 26);
}

using State = std::map<std::string, std::string>;  // name -> text; absent when deleted

void Apply(State& state, long n) {
    if (Deletes(n)) {
        state.erase(NameOf(n));
    } else {
        state[NameOf(n)] = TextOf(n);
    }
}

platform::Win32Error Change(Registry& reg, RegKey key, long n) {
    if (Deletes(n)) {
        const platform::Win32Error rc = reg.DeleteValue(key, NameOf(n));
        return rc == kErrorFileNotFound ? kErrorSuccess : rc;
    }
    const std::string text = TextOf(n);
    return reg.SetValue(key, NameOf(n), kRegSz, reinterpret_cast<const uint8_t*>(text.c_str()),
                        static_cast<uint32_t>(text.size() + 1));
}

// Everything the store holds for the names, read by a fresh process;
// nothing when the store cannot be read.
std::optional<State> ReadBack(const std::filesystem::path& stateDir) {
    StandinPlatform fresh(stateDir);
    Registry& reg = fresh.services().registry();
    RegKey key = 0;
    const platform::Win32Error rc = reg.OpenKey(kHkeyCurrentUser, kKey, &key);
    if (rc == kErrorFileNotFound) {
        return State();
    }
    if (rc != kErrorSuccess) {
        return std::nullopt;
    }
    State state;
    for (int i = 0; i < kNames; ++i) {
        const std::string name = "V" + std::to_string(i);
        std::string buffer(1024, '\0');
        uint32_t size = static_cast<uint32_t>(buffer.size());
        uint32_t type = 0;
        const platform::Win32Error q =
            reg.QueryValue(key, name, &type, reinterpret_cast<uint8_t*>(buffer.data()), &size);
        if (q == kErrorSuccess && type == kRegSz && size > 0) {
            state[name] = buffer.substr(0, size - 1);
        } else if (q != kErrorFileNotFound) {
            return std::nullopt;
        }
    }
    // The state is read; a close that fails changes nothing of it.
    static_cast<void>(reg.CloseKey(key));
    return state;
}

class RegCrashTest : public ::testing::Test {
  protected:
    std::filesystem::path StateDir() const { return scratch_.dir(); }

    testsupport::ScratchStandin scratch_{"crash"};
};

TEST_F(RegCrashTest, KilledWriterLeavesEveryChangeWholeOrAbsent) {
    std::mt19937 random(12345);
    State state;
    long next = 0;
    for (int round = 0; round < 25; ++round) {
        int acks[2];
        ASSERT_EQ(pipe(acks), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(acks[0]);
            StandinPlatform platform(StateDir());
            Registry& reg = platform.services().registry();
            RegKey key = 0;
            if (reg.CreateKey(kHkeyCurrentUser, kKey, &key) != kErrorSuccess) {
                _exit(2);
            }
            for (long n = next;; ++n) {
                if (Change(reg, key, n) != kErrorSuccess) {
                    _exit(3);
                }
                if (write(acks[1], &n, sizeof n) != static_cast<ssize_t>(sizeof n)) {
                    _exit(4);
                }
            }
        }
        close(acks[1]);
        // The kill lands at a random moment after the writer's first change,
        // so that a slow start on a busy machine does not use up the round.
        long last = next - 1;
        long n = 0;
        if (read(acks[0], &n, sizeof n) == static_cast<ssize_t>(sizeof n)) {
            last = n;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(1000 + random() % 30000));
        // A writer that fills the pipe just waits there; every change it
        // acknowledged is read after the kill.
        kill(child, SIGKILL);
        while (read(acks[0], &n, sizeof n) == static_cast<ssize_t>(sizeof n)) {
            last = n;
        }
        close(acks[0]);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "writer stopped by itself: " << status;

        for (long m = next; m <= last; ++m) {
            Apply(state, m);
        }
        State withInFlight = state;
        Apply(withInFlight, last + 1);
        const std::optional<State> found = ReadBack(StateDir());
        ASSERT_TRUE(found.has_value()) << "store unreadable after round " << round;
        ASSERT_TRUE(*found == state || *found == withInFlight)
            << "round " << round << ", last acknowledged change " << last;
        state = *found;
        next = last + 2;
    }
    EXPECT_GT(next, 25 * 2) << "the writers made no progress";
}

TEST_F(RegCrashTest, WritersSideBySideLoseNothing) {
    constexpr int kRounds = 2000;
    constexpr int kOwnNames = 25;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            StandinPlatform platform(StateDir());
            Registry& reg = platform.services().registry();
            RegKey key = 0;
            if (reg.CreateKey(kHkeyCurrentUser, "Software\\Shared", &key) != kErrorSuccess) {
                _exit(2);
            }
            for (int i = 0; i < kRounds; ++i) {
                const std::string name = std::to_string(c) + "-" + std::to_string(i % kOwnNames);
                const std::string text = std::to_string(i) + std::string(100, 'x');
                if (reg.SetValue(key, name, kRegSz, reinterpret_cast<const uint8_t*>(text.c_str()),
                                 static_cast<uint32_t>(text.size() + 1)) != kErrorSuccess) {
                    _exit(3);
                }
            }
            _exit(0);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    StandinPlatform fresh(StateDir());
    Registry& reg = fresh.services().registry();
    RegKey key = 0;
    ASSERT_EQ(reg.OpenKey(kHkeyCurrentUser, "Software\\Shared", &key), kErrorSuccess);
    for (int c = 0; c < 2; ++c) {
        for (int k = 0; k < kOwnNames; ++k) {
            const std::string name = std::to_string(c) + "-" + std::to_string(k);
            std::string buffer(256, '\0');
            uint32_t size = static_cast<uint32_t>(buffer.size());
            ASSERT_EQ(reg.QueryValue(key, name, nullptr, reinterpret_cast<uint8_t*>(buffer.data()),
                                     &size),
                      kErrorSuccess)
                << name;
            EXPECT_EQ(buffer.substr(0, size - 1),
                      std::to_string(kRounds - kOwnNames + k) + std::string(100, 'x'))
                << name;
        }
    }
}

}  // namespace
