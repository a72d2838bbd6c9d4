#include "thread/interlocked.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <iterator>
#include <limits>
#include <memory>

#include "run_on_threads.h"

namespace kwCore {
namespace {

TEST(Interlocked32, ReturnValues) {
    int32_t value = 0;
    EXPECT_EQ(interlockedIncrement(&value), 1);
    EXPECT_EQ(interlockedDecrement(&value), 0);
    EXPECT_EQ(interlockedDecrement(&value), -1);
    EXPECT_EQ(value, -1);
    value = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(interlockedIncrement(&value), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(interlockedDecrement(&value), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(value, std::numeric_limits<int32_t>::max());

    // Compare-exchange answers the value it found, and stores only on a match.
    value = 5;
    EXPECT_EQ(interlockedCompareExchange(&value, 9, 4), 5);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(interlockedCompareExchange(&value, 9, 5), 5);
    EXPECT_EQ(value, 9);
    EXPECT_EQ(interlockedCompareExchange(&value, 0, 9), 9);
    EXPECT_EQ(value, 0);
}

// Under contention every increment still answers its own new value: the
// answers are exactly 1 to the number of increments.
constexpr int32_t incrementsPerThread = 20000;

struct Tally {
    int32_t counter = 0;
    std::atomic<int32_t> seen[8 * incrementsPerThread + 1]{};
};

void incrementAndTally(void* argument) {
    auto* tally = static_cast<Tally*>(argument);
    for (int32_t i = 0; i < incrementsPerThread; ++i) {
        const int32_t answer = interlockedIncrement(&tally->counter);
        if (answer > 0 && answer < static_cast<int32_t>(std::size(tally->seen))) {
            ++tally->seen[answer];
        }
    }
}

TEST(Interlocked32, ConcurrentIncrementsAnswerDistinctValues) {
    auto tally = std::make_unique<Tally>();
    testutil::runOnThreads(8, incrementAndTally, tally.get());
    EXPECT_EQ(tally->counter, 8 * incrementsPerThread);
    int32_t once = 0;
    for (int32_t i = 1; i <= 8 * incrementsPerThread; ++i) {
        once += tally->seen[i] == 1;
    }
    EXPECT_EQ(once, 8 * incrementsPerThread);
}

TEST(Atomic64, CarryAndBorrowCrossTheHalves) {
    int64_t value = 0xFFFFFFFFll;
    EXPECT_EQ(atomicIncrement64(&value), 0x100000000ll);
    EXPECT_EQ(value, 0x100000000ll);
    EXPECT_EQ(atomicDecrement64(&value), 0xFFFFFFFFll);

    value = 0;
    EXPECT_EQ(atomicDecrement64(&value), -1);
    EXPECT_EQ(static_cast<uint64_t>(value), 0xFFFFFFFFFFFFFFFFull);
    EXPECT_EQ(atomicIncrement64(&value), 0);

    value = std::numeric_limits<int64_t>::max();
    EXPECT_EQ(atomicIncrement64(&value), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(atomicDecrement64(&value), std::numeric_limits<int64_t>::max());
}

constexpr int threadCount = 8;
constexpr int stepsPerThread = 20000;

void countUpAndDown(void* argument) {
    auto* counters = static_cast<int64_t*>(argument);
    for (int i = 0; i < stepsPerThread; ++i) {
        atomicIncrement64(&counters[0]);
        atomicDecrement64(&counters[1]);
    }
}

TEST(Atomic64, ConcurrentCountsLoseNoStep) {
    // Start just below a carry and just above a borrow so both cross halves.
    int64_t counters[2] = {0xFFFFFF00ll, 0x100000100ll};
    testutil::runOnThreads(threadCount, countUpAndDown, counters);
    constexpr int64_t total = int64_t{threadCount} * stepsPerThread;
    EXPECT_EQ(counters[0], 0xFFFFFF00ll + total);
    EXPECT_EQ(counters[1], 0x100000100ll - total);
}

}  // namespace
}  // namespace kwCore
