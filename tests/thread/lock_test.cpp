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
    // strangerOwners counts the times a holder found another id (or none)
    // recorded as the lock's owner.
    std::atomic<int> strangerOwners{0};
};

void countUnderLock(void* argument) {
    auto* counter = static_cast<Counter<Lock>*>(argument);
    const uint32_t self = platform::currentThreadId();
    for (int i = 0; i < stepsPerThread; ++i) {
        counter->lock.enter();
        ++counter->value;
        if (counter->lock.ownerThreadId.load() != self) {
            ++counter->strangerOwners;
        }
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

TEST(Lock, ManyThreadsCountExactlyAndEachHolderIsTheRecordedOwner) {
    Counter<Lock> counter;
    testutil::runOnThreads(threadCount, countUnderLock, &counter);
    EXPECT_EQ(counter.value, int64_t{threadCount} * stepsPerThread);
    EXPECT_EQ(counter.strangerOwners, 0);
    EXPECT_EQ(counter.lock.ownerThreadId.load(), 0u);
}

// TwoHolders: another thread holds the lock while this one waits for it.
struct TwoHolders {
    Lock lock;
    std::atomic<uint32_t> holderId{0};
    std::atomic<bool> release{false};
};

void holdUntilReleased(void* argument) {
    auto* shared = static_cast<TwoHolders*>(argument);
    shared->lock.enter();
    shared->holderId = platform::currentThreadId();
    while (!shared->release) {
        platform::yieldProcessor();
    }
    shared->lock.leave();
}

TEST(Lock, OwnerFollowsTheHolderAcrossThreads) {
    TwoHolders shared;
    RunningThread holder = startThread(holdUntilReleased, &shared);
    while (shared.holderId == 0) {
        platform::yieldProcessor();
    }
    EXPECT_EQ(shared.lock.ownerThreadId.load(), shared.holderId.load());
    EXPECT_NE(shared.holderId.load(), platform::currentThreadId());
    shared.release = true;
    shared.lock.enter();  // waits for the holder's leave
    EXPECT_EQ(shared.lock.ownerThreadId.load(), platform::currentThreadId());
    holder.wait();
    EXPECT_EQ(shared.lock.ownerThreadId.load(), platform::currentThreadId());
    shared.lock.leave();
    EXPECT_EQ(shared.lock.ownerThreadId.load(), 0u);
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
