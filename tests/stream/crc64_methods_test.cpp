#include "stream/crc64_methods.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "processor_features.h"
#include "stream/crc64.h"
#include "stream/crc64_stream.h"

namespace kwCore {
namespace {

// bitwiseStep feeds one byte into crc one bit at a time, with no table.
uint64_t bitwiseStep(uint64_t crc, unsigned char byte) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) {
        crc = (crc & 1) ? (crc >> 1) ^ 0x95AC9329AC4BC9B5ull : crc >> 1;
    }
    return crc;
}

uint64_t bitwiseCrc64(const unsigned char* data, size_t length, uint64_t crc) {
    for (size_t i = 0; i < length; ++i) {
        crc = bitwiseStep(crc, data[i]);
    }
    return crc;
}

std::vector<unsigned char> randomBytes(std::mt19937_64& random, size_t count) {
    std::vector<unsigned char> bytes(count);
    for (auto& byte : bytes) {
        byte = static_cast<unsigned char>(random());
    }
    return bytes;
}

struct Method {
    const char* name;
    uint64_t (*crc)(uint64_t, const unsigned char*, size_t) noexcept;
    bool available;
};

// methods are every method this processor runs: the others are skipped.
std::vector<Method> methods() {
    detail::crc64EnsureTables();
    std::vector<Method> all = {
        {"tables", detail::crc64ByTables, true},
        {"folded", detail::crc64Folded, detail::crc64FoldedAvailable()},
        {"foldedWide", detail::crc64FoldedWide, detail::crc64FoldedWideAvailable()},
        {"foldedWidest", detail::crc64FoldedWidest, detail::crc64FoldedWidestAvailable()},
    };
    std::erase_if(all, [](const Method& m) { return !m.available; });
    return all;
}

TEST(Crc64Methods, TheTablesAndTheFoldingOnThisProcessorAreAvailable) {
    EXPECT_TRUE(detail::crc64FoldedAvailable() || !detail::crc64FoldedWideAvailable());
    EXPECT_TRUE(detail::crc64FoldedWideAvailable() || !detail::crc64FoldedWidestAvailable());
    for (const Method& m : methods()) {
        EXPECT_EQ(m.crc(0, reinterpret_cast<const unsigned char*>("123456789"), 9),
                  0xE9C6D914C4B8D9CAull)
            << m.name;
    }
}

// Each folding width is offered exactly where the processor has every
// feature it uses: on a processor without one it would stop on an illegal
// instruction. Run under emulated processor models too (label qemu).
TEST(Crc64Methods, EachIsAvailableExactlyWhereTheProcessorHasItsFeatures) {
    const testutil::ProcessorFeatures f = testutil::ProcessorFeatures::read();
    const bool folded = f.pclmul && f.sse41;
    const bool wide = folded && f.avx2 && f.vpclmulqdq;
    EXPECT_EQ(detail::crc64FoldedAvailable(), folded) << f.describe();
    EXPECT_EQ(detail::crc64FoldedWideAvailable(), wide) << f.describe();
    EXPECT_EQ(detail::crc64FoldedWidestAvailable(), wide && f.avx512f) << f.describe();
}

// Every length up to past two of the widest method's steps (512 bytes) and
// its tails, from every offset within a cache line, against the CRC of
// each prefix taken bit by bit.
TEST(Crc64Methods, EqualTheBitwiseCrcAtEveryLengthFromEveryOffset) {
    std::mt19937_64 random(19);
    const std::vector<unsigned char> data = randomBytes(random, 64 + 4200);
    for (const Method& m : methods()) {
        for (size_t offset = 0; offset < 64; ++offset) {
            const size_t longest = offset % 8 == 0 ? 4200 : 1100;
            const uint64_t start = random();
            const unsigned char* p = data.data() + offset;
            uint64_t expected = start;
            for (size_t length = 0; length <= longest; ++length) {
                ASSERT_EQ(m.crc(start, p, length), expected)
                    << m.name << " at offset " << offset << ", length " << length;
                if (length < longest) {
                    expected = bitwiseStep(expected, p[length]);
                }
            }
        }
    }
}

// Data that ends where its allocation ends, and data that starts where it
// starts: a method that reads a byte outside is caught by the address
// sanitizer.
TEST(Crc64Methods, ReadNothingOutsideTheData) {
    std::mt19937_64 random(64);
    for (const Method& m : methods()) {
        for (size_t length = 0; length <= 1100; ++length) {
            const std::vector<unsigned char> data = randomBytes(random, length);
            const uint64_t expected = detail::crc64ByTables(5, data.data(), length);
            ASSERT_EQ(m.crc(5, data.data(), length), expected) << m.name << " " << length;
        }
    }
}

// Random inputs of up to 64 KiB written in random pieces give the CRC of
// the whole.
TEST(Crc64Methods, RandomSplitsOfRandomInputsGiveTheWholeInputsCrc) {
    std::mt19937_64 random(7);
    for (int round = 0; round < 40; ++round) {
        const std::vector<unsigned char> data = randomBytes(random, random() % (64 << 10));
        Crc64Stream stream;
        size_t done = 0;
        while (done < data.size()) {
            // Short pieces as often as long ones.
            const size_t limit = size_t{1} << (random() % 17);
            const size_t piece = std::min(data.size() - done, random() % (limit + 1));
            ASSERT_EQ(stream.write(data.data() + done, static_cast<int64_t>(piece)),
                      static_cast<int64_t>(piece));
            done += piece;
        }
        ASSERT_EQ(stream.value(), bitwiseCrc64(data.data(), data.size(), Crc64Stream::kStart))
            << "round " << round << ", " << data.size() << " bytes";
    }
}

}  // namespace
}  // namespace kwCore
