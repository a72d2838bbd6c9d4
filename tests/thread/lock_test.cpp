#include "thread/lock.h"

#include <gtest/gtest.h>

#include <atomic>

#include "platform/threads.h"
#include "run_on_threads.h"
#include "thread/spin_lock.h"

namespace kwCore {
namespace {

constexpr int threadCount = 8;
constexpr int stepsPerThread = 20000;

TEST(Lock, ReentersAndClearsOwnerOnEveryLeave) {
    Lock lock;
    EXPECT_EQ(lock.ownerThreadId.load(), 0u);
    lock.enter();
    lock.enter();
    EXPECT_EQ(lock.ownerThreadId.load(), platform::currentThreadId());
    lock.leave();
    EXPECT_EQ(lock.ownerThreadId.load(), 0u);  // still held once
    lock.leave();
    EXPECT_EQ(lock.ownerThreadId.load(), 0u);
}

struct HeldLock {
    Lock lock;
    std::atomic<bool> entered{false};
};

void enterOnce(void* argument) {
    auto* held = static_cast<HeldLock*>(argument);
    held->lock.enter();
    held->entered = true;
    held->lock.leave();
}

TEST(Lock, NestedEntryKeepsOtherThreadsOutUntilTheLastLeave) {
    HeldLock held;
    held.lock.enter();
    held.lock.enter();
    RunningThread other = startThread(enterOnce, &held);
    ASSERT_TRUE(other.isStarted());
    held.lock.leave();
    platform::sleepMilliseconds(50);
    EXPECT_FALSE(held.entered);
    held.lock.leave();
    other.wait();
    EXPECT_TRUE(held.entered);
}

struct LockedCounter {
    Lock lock;
    int64_t value = 0;  // deliberately plain: only the lock protects it
};

void countUnderLock(void* argument) {
    auto* counter = static_cast<LockedCounter*>(argument);
    for (int i = 0; i < stepsPerThread; ++i) {
        counter->lock.enter();
        counter->lock.enter();
        ++counter->value;
        counter->lock.leave();
        counter->lock.leave();
    }
}

TEST(Lock, ManyThreadsCountExactly) {
    LockedCounter counter;
    testutil::runOnThreads(threadCount, countUnderLock, &counter);
    EXPECT_EQ(counter.value, int64_t{threadCount} * stepsPerThread);
    EXPECT_EQ(counter.lock.ownerThreadId.load(), 0u);
}

struct SpinCounter {
    SpinLock lock;
    int64_t value = 0;
};

void countUnderSpinLock(void* argument) {
    auto* counter = static_cast<SpinCounter*>(argument);
    for (int i = 0; i < stepsPerThread; ++i) {
        counter->lock.acquire();
        ++counter->value;
        counter->lock.release();
    }
}

TEST(SpinLock, ManyThreadsCountExactly) {
    SpinCounter counter;
    testutil::runOnThreads(threadCount, countUnderSpinLock, &counter);
    EXPECT_EQ(counter.value, int64_t{threadCount} * stepsPerThread);
    EXPECT_EQ(counter.lock.word, 0);
}

void releaseFromElsewhere(void* argument) {
    static_cast<SpinLock*>(argument)->release();
}

TEST(SpinLock, OnlyTheHolderReleases) {
    SpinLock lock;
    lock.acquire();
    const auto self = static_cast<int32_t>(platform::currentThreadId());
    EXPECT_EQ(lock.word, self);
    startThread(releaseFromElsewhere, &lock).wait();
    EXPECT_EQ(lock.word, self);
    lock.release();
    EXPECT_EQ(lock.word, 0);
    lock.release();  // releasing a free lock leaves it free
    EXPECT_EQ(lock.word, 0);
}

}  // namespace
}  // namespace kwCore
