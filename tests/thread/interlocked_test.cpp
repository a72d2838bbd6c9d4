#include "thread/interlocked.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "run_on_threads.h"

namespace kwCore {
namespace {

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
