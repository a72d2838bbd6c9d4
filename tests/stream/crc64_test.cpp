#include "stream/crc64.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <vector>

#include "platform/threads.h"
#include "thread/run_on_threads.h"

namespace kwCore {
namespace {

// bitwiseCrc64 is the CRC one bit at a time, with no table.
uint64_t bitwiseCrc64(const unsigned char* data, size_t length, uint64_t crc) {
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) ? (crc >> 1) ^ 0x95AC9329AC4BC9B5ull : crc >> 1;
        }
    }
    return crc;
}

constexpr int kThreads = 8;

struct FirstUse {
    std::atomic<int> ready{0};
    std::atomic<int> correct{0};
};

void firstWrite(void* argument) {
    auto* use = static_cast<FirstUse*>(argument);
    // Every thread waits for all others, so that they reach the first
    // write at once.
    use->ready.fetch_add(1);
    while (use->ready.load() < kThreads) {
        platform::yieldProcessor();
    }
    if (crc64Update(9, "123456789", 0) == 0xE9C6D914C4B8D9CAull) {
        use->correct.fetch_add(1);
    }
}

// Runs first in its own process (each case is one natively): the tables
// must then be built exactly once while every thread waits for them.
TEST(Crc64, ManyThreadsMakingTheFirstWriteTogetherGetOneCompleteTable) {
    if (crc64Table()[0] != 1) {
        GTEST_SKIP() << "an earlier test in this process built the table";
    }
    FirstUse use;
    testutil::runOnThreads(kThreads, firstWrite, &use);
    EXPECT_EQ(use.correct.load(), kThreads);
    EXPECT_EQ(crc64Table()[0], 0u);
}

TEST(Crc64, CheckValuesForBothStarts) {
    EXPECT_EQ(crc64Update(9, "123456789", 0), 0xE9C6D914C4B8D9CAull);
    EXPECT_EQ(crc64Update(9, "123456789", ~uint64_t{0}), 0xCAA717168609F281ull);
    EXPECT_EQ(crc64Update(0, "123456789", 42), 42u);
    EXPECT_EQ(crc64Update(9, nullptr, 42), 42u);
    const uint64_t* table = crc64Table();
    for (int i = 0; i < 256; ++i) {
        const auto byte = static_cast<unsigned char>(i);
        ASSERT_EQ(table[i], bitwiseCrc64(&byte, 1, 0)) << i;
    }
}

TEST(Crc64, EqualsTheBitwiseCrcAtEveryLengthAndAlignment) {
    std::mt19937_64 random(77);
    std::vector<unsigned char> data(4200);
    for (auto& byte : data) {
        byte = static_cast<unsigned char>(random());
    }
    for (size_t length = 0; length < 300; ++length) {
        const size_t offset = length % 8;
        const uint64_t start = random();
        ASSERT_EQ(crc64Update(static_cast<uint32_t>(length), data.data() + offset, start),
                  bitwiseCrc64(data.data() + offset, length, start))
            << length;
    }
    for (int round = 0; round < 20; ++round) {
        const size_t offset = random() % 8;
        const size_t length = random() % (data.size() - offset);
        const uint64_t start = random();
        ASSERT_EQ(crc64Update(static_cast<uint32_t>(length), data.data() + offset, start),
                  bitwiseCrc64(data.data() + offset, length, start));
    }
}

}  // namespace
}  // namespace kwCore
