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

TEST(Lock, ReentryHoldsUntilTheLastLeaveAndEveryLeaveClearsTheOwner) {
    HeldLock held;
    held.lock.enter();
    held.lock.enter();
    EXPECT_EQ(held.lock.ownerThreadId.load(), platform::currentThreadId());
    RunningThread other = startThread(enterOnce, &held);
    held.lock.leave();
    EXPECT_EQ(held.lock.ownerThreadId.load(), 0u);
    platform::sleepMilliseconds(50);
    EXPECT_FALSE(held.entered);  // still held once
    held.lock.leave();
    other.wait();
    EXPECT_TRUE(held.entered);
}

// Counter is a plain count that only its lock protects.
template <class LockType>
struct Counter {
    LockType lock;
    int64_t value = 0;
};

void countUnderLock(void* argument) {
    auto* counter = static_cast<Counter<Lock>*>(argument);
    for (int i = 0; i < stepsPerThread; ++i) {
        counter->lock.enter();
        ++counter->value;
        counter->lock.leave();
    }
}

void countUnderSpinLock(void* argument) {
    auto* counter = static_cast<Counter<SpinLock>*>(argument);
    for (int i = 0; i < stepsPerThread; ++i) {
        counter->lock.acquire();
        ++counter->value;
        counter->lock.release();
    }
}

TEST(Lock, ManyThreadsCountExactly) {
    Counter<Lock> counter;
    testutil::runOnThreads(threadCount, countUnderLock, &counter);
    EXPECT_EQ(counter.value, int64_t{threadCount} * stepsPerThread);
}

TEST(SpinLock, ManyThreadsCountExactly) {
    Counter<SpinLock> counter;
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
}

}  // namespace
}  // namespace kwCore
