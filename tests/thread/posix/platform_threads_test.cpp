// The POSIX stand-ins for the thread calls where a POSIX system behaves
// otherwise than the Windows one: signals that cut sleeps short, a yield
// that must not sleep, thread ids across a fork, and the limited pool of
// thread-local keys.
#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/threads.h"
#include "posix/interrupter.h"
#include "thread/sleep.h"

namespace kwCore {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

long voluntarySwitches() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_nvcsw;
}

TEST(PosixSleep, SignalsDoNotCutASleepShortAndZeroOnlyYields) {
    {
        const testutil::Interrupter signals;
        for (uint32_t ms : {1u, 3u, 25u}) {
            const int before = testutil::Interrupter::deliveries();
            const auto start = steady_clock::now();
            EXPECT_TRUE(sleepMs(ms));
            EXPECT_GE(steady_clock::now() - start, milliseconds(ms)) << ms;
            if (ms == 25u) {
                EXPECT_GT(testutil::Interrupter::deliveries(), before);  // it was interrupted
            }
        }
    }

    // Zero never blocks, and another thread on the same processor runs
    // meanwhile. Both threads share one processor for this.
    cpu_set_t saved;
    ASSERT_EQ(sched_getaffinity(0, sizeof saved, &saved), 0);
    cpu_set_t one;
    CPU_ZERO(&one);
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (CPU_ISSET(cpu, &saved)) {
            CPU_SET(cpu, &one);
            break;
        }
    }
    ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    std::atomic<bool> stop{false};
    std::atomic<long> spins{0};
    std::thread spinner([&] {
        while (!stop.load(std::memory_order_relaxed)) {
            spins.fetch_add(1, std::memory_order_relaxed);
        }
    });
    ASSERT_EQ(pthread_setaffinity_np(spinner.native_handle(), sizeof one, &one), 0);
    while (spins.load() == 0) {
        sleepMs(1);
    }
    constexpr int kYields = 50;
    int othersRan = 0;
    const long switchesBefore = voluntarySwitches();
    for (int i = 0; i < kYields; ++i) {
        const long before = spins.load();
        EXPECT_TRUE(sleepMs(0));
        othersRan += spins.load() != before ? 1 : 0;
    }
    const long switchesAfter = voluntarySwitches();
    stop.store(true);
    spinner.join();
    sched_setaffinity(0, sizeof saved, &saved);
    EXPECT_EQ(switchesAfter, switchesBefore);  // no sleep: a yield is no voluntary switch
    EXPECT_GE(othersRan, kYields / 10) << othersRan;
}

TEST(PosixThreadId, TheSystemsIdOnEveryThreadAndAForkedChildsOwn) {
    const uint32_t main = platform::currentThreadId();
    EXPECT_EQ(main, static_cast<uint32_t>(gettid()));
    EXPECT_EQ(platform::currentThreadId(), main);  // the kept id stays right
    uint32_t other = 0;
    uint32_t otherSystem = 0;
    std::thread([&] {
        other = platform::currentThreadId();
        otherSystem = static_cast<uint32_t>(gettid());
    }).join();
    EXPECT_EQ(other, otherSystem);
    EXPECT_NE(other, main);

    // A forked child's only thread has the child's own id, not its parent's.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool own = platform::currentThreadId() == static_cast<uint32_t>(getpid()) &&
                         platform::currentThreadId() != main;
        _exit(own ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// cycleSlots allocates, checks, sets and frees far more slots than the system
// keeps keys, and counts the fresh slots that did not start empty.
void cycleSlots(int* stale) {
    int marker = 0;
    for (int i = 0; i < 3 * PTHREAD_KEYS_MAX; ++i) {
        const uint32_t index = platform::allocateThreadLocal();
        if (index == platform::invalidThreadLocalIndex) {
            ++*stale;
            return;
        }
        *stale += platform::threadLocalValue(index) != nullptr ? 1 : 0;
        *stale += platform::setThreadLocalValue(index, &marker) ? 0 : 1;
        *stale += platform::threadLocalValue(index) == &marker ? 0 : 1;
        *stale += platform::freeThreadLocal(index) ? 0 : 1;
    }
}

TEST(PosixThreadLocal, ManyCyclesOnTwoThreadsEachStartEmpty) {
    // A slot that held a value here and is then allocated again, on either
    // thread, starts empty on both.
    int staleHere = 0;
    int staleThere = 0;
    std::thread there(cycleSlots, &staleThere);
    cycleSlots(&staleHere);
    there.join();
    EXPECT_EQ(staleHere, 0);
    EXPECT_EQ(staleThere, 0);
}

}  // namespace
}  // namespace kwCore
