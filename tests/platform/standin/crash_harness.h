// A writer killed at random moments, many times over, for the tests that
// show a stand-in store survives a crash at any point of a write; and
// writers in processes side by side, for the tests that show none of their
// writes is lost.
#pragma once
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// Each round forks a writer that makes the changes next, next + 1, ... with
// `change` (false: the change failed, which ends the test) and acknowledges
// each through a pipe. Once it has made its first change it is killed at a
// random moment of its writing. `check` then gets the first and last change
// of the round that were acknowledged (none when last < first); change
// last + 1 may or may not have been made. The next round starts at last + 2,
// so the change that was in flight is never made again.
constexpr int kFirstChangeMs = 20000;

inline void KillWriterRepeatedly(int rounds, unsigned seed, const std::function<bool(long)>& change,
                                 const std::function<void(long first, long last)>& check) {
    std::mt19937 random(seed);
    long next = 0;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        int acks[2];
        ASSERT_EQ(::pipe(acks), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(acks[0]);
            for (long n = next;; ++n) {
                if (!change(n)) {
                    ::_exit(3);
                }
                if (::write(acks[1], &n, sizeof n) != static_cast<ssize_t>(sizeof n)) {
                    ::_exit(4);
                }
            }
        }
        ::close(acks[1]);
        long last = next - 1;
        long n = 0;
        // The writer waits for the lock that the writer killed in the round
        // before may have held: the kernel must have released it.
        pollfd first{acks[0], POLLIN, 0};
        if (::poll(&first, 1, kFirstChangeMs) != 1) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            ::close(acks[0]);
            FAIL() << "the writer made no change in " << kFirstChangeMs << " ms";
        }
        if (::read(acks[0], &n, sizeof n) == static_cast<ssize_t>(sizeof n)) {
            last = n;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500 + random() % 20000));
        ::kill(child, SIGKILL);
        while (::read(acks[0], &n, sizeof n) == static_cast<ssize_t>(sizeof n)) {
            last = n;
        }
        ::close(acks[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself: " << status;
        check(next, last);
        if (::testing::Test::HasFatalFailure()) {
            return;
        }
        next = last + 2;
    }
    EXPECT_GT(next, rounds * 2) << "the writers made no progress";
}

// Runs `work` in `processes` processes at once (`work` gets the number of
// its process, and says whether all of its writes succeeded); they start
// together, so their writes overlap.
inline void RunSideBySide(int processes, const std::function<bool(int process)>& work) {
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::vector<pid_t> children;
    for (int p = 0; p < processes; ++p) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(start[1]);
            char go = 0;
            if (::read(start[0], &go, 1) != 0) {  // the end of the pipe starts all
                ::_exit(4);
            }
            ::_exit(work(p) ? 0 : 3);
        }
        children.push_back(child);
    }
    ::close(start[0]);
    ::close(start[1]);
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "writer status " << status;
    }
}

}  // namespace testsupport
