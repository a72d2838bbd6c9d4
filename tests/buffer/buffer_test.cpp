#include "buffer/buffer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace kwCore {
namespace {

constexpr unsigned char guard = 0xA5;

// patterned returns count pseudo-random bytes, so a byte from the wrong
// place shows.
std::vector<char> patterned(size_t count, uint32_t seed = 1) {
    std::vector<char> bytes(count);
    for (auto& byte : bytes) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<char>(seed >> 24);
    }
    return bytes;
}

std::vector<char> contents(const Buffer& buffer) {
    std::vector<char> bytes(static_cast<size_t>(buffer.size()));
    EXPECT_EQ(buffer.readAt(0, -1, bytes.data()), buffer.size());
    return bytes;
}

TEST(Buffer, BlocksAreAddedExactlyAtBlockEndsAndRunsStopThere) {
    const std::vector<char> bytes = patterned(20000);
    Buffer buffer;
    EXPECT_EQ(buffer.append(bytes.data(), BlockSize), BlockSize);
    EXPECT_EQ(buffer.blockCount(), 1);
    EXPECT_EQ(buffer.append(bytes.data() + BlockSize, 1), 1);
    EXPECT_EQ(buffer.blockCount(), 2);
    EXPECT_EQ(buffer.append(bytes.data(), 0) + buffer.append(bytes.data(), -5), 0);
    EXPECT_EQ(buffer.size(), BlockSize + 1);

    buffer.clear();
    EXPECT_EQ(buffer.size() + buffer.blockCount(), 0);
    EXPECT_EQ(buffer.append(bytes.data(), 20000), 20000);
    EXPECT_EQ(buffer.blockCount(), 3);
    EXPECT_EQ(contents(buffer), bytes);

    struct Run {
        int32_t position, request, length;
    };
    for (const Run& r :
         {Run{8190, 10, 2}, Run{8192, 9000, BlockSize}, Run{16384, BlockSize, 3616},
          Run{19999, 5, 1}, Run{20000, 1, 0}, Run{-1, 1, 0}, Run{0, 0, 0}, Run{0, -1, 0}}) {
        int32_t length = r.request;
        const char* run = buffer.contiguousAt(r.position, length);
        if (r.length == 0) {
            EXPECT_EQ(run, nullptr) << r.position << " " << r.request;
        } else {
            ASSERT_NE(run, nullptr) << r.position;
            EXPECT_EQ(length, r.length) << r.position;
            EXPECT_EQ(std::memcmp(run, bytes.data() + r.position, length), 0) << r.position;
        }
    }
}

TEST(Buffer, ReadAtCopiesOnlyTheBytesHeldAndNothingBeyond) {
    const std::vector<char> bytes = patterned(10000);
    Buffer buffer;
    buffer.append(bytes.data(), 10000);
    struct Case {
        int32_t position, length, expected;
    };
    for (const Case& c : {Case{0, -1, 10000}, Case{9000, 5000, 1000}, Case{8190, 4, 4},
                          Case{10000, -1, 0}, Case{20000, 5, 0}, Case{-1, 10, 0},
                          Case{INT32_MIN, -1, 0}, Case{5, -2, 0}, Case{1, INT32_MAX, 9999}}) {
        SCOPED_TRACE(testing::Message() << "position " << c.position << " length " << c.length);
        std::vector<unsigned char> target(10002, guard);
        EXPECT_EQ(buffer.readAt(c.position, c.length, target.data() + 1), c.expected);
        EXPECT_EQ(target[0], guard);
        EXPECT_EQ(target[static_cast<size_t>(c.expected) + 1], guard);
        if (c.expected > 0) {
            EXPECT_EQ(std::memcmp(target.data() + 1, bytes.data() + c.position, c.expected), 0);
        }
    }
}

TEST(Buffer, CompareOrdersBySizeThenByUnsignedBytes) {
    auto of = [](std::vector<unsigned char> bytes) {
        auto buffer = std::make_unique<Buffer>();
        buffer->append(bytes.data(), static_cast<int32_t>(bytes.size()));
        return buffer;
    };
    EXPECT_EQ(Buffer::compare(*of({0x7A, 0x7A, 0x7A}), *of({0x61, 0x61, 0x61, 0x61})), -1);
    EXPECT_EQ(Buffer::compare(*of({0x61, 0x61, 0x61, 0x61}), *of({0x7A, 0x7A, 0x7A})), 1);
    EXPECT_EQ(Buffer::compare(*of({0x61, 0x62, 0x63}), *of({0x61, 0x62, 0x64})), -1);
    EXPECT_EQ(Buffer::compare(*of({0x80}), *of({0x7F})), 1);
    EXPECT_EQ(Buffer::compare(*of({}), *of({})), 0);

    // Equal across a block end; then a difference in the last byte only.
    std::vector<unsigned char> bytes(BlockSize + 100, 0x33);
    const auto whole = of(bytes);
    EXPECT_EQ(Buffer::compare(*whole, *of(bytes)), 0);
    bytes.back() = 0x34;
    EXPECT_EQ(Buffer::compare(*whole, *of(bytes)), -1);
}

TEST(Buffer, RandomAppendsAndReadsMatchAPlainByteVector) {
    std::mt19937 random(12345);
    const std::vector<char> source = patterned(3 * BlockSize, 7);
    Buffer buffer;
    std::vector<char> model;
    // Inline copies (odd lengths and multiples of 4), fastCopy, and pieces
    // crossing one or more block ends.
    const int32_t largest[] = {33, 9, 2000, 2 * BlockSize + 2};
    while (model.size() < 200000) {
        const int kind = static_cast<int>(random() % 4);
        const auto length = static_cast<int32_t>(random() % largest[kind]) * (kind == 1 ? 4 : 1);
        const size_t from = random() % (source.size() - static_cast<size_t>(length));
        ASSERT_EQ(buffer.append(source.data() + from, length), length);
        model.insert(model.end(), source.begin() + from, source.begin() + from + length);
    }
    EXPECT_EQ(buffer.blockCount(), (buffer.size() + BlockSize - 1) / BlockSize);
    EXPECT_EQ(contents(buffer), model);

    std::vector<unsigned char> target(3 * BlockSize + 2);
    for (int round = 0; round < 2000; ++round) {
        const auto position = static_cast<int32_t>(random() % (model.size() + 10));
        const auto length = static_cast<int32_t>(random() % (3 * BlockSize));
        std::fill(target.begin(), target.end(), guard);
        const int32_t expected =
            std::max(0, std::min(length, static_cast<int32_t>(model.size()) - position));
        ASSERT_EQ(buffer.readAt(position, length, target.data() + 1), expected);
        ASSERT_EQ(target[0], guard);
        ASSERT_EQ(target[static_cast<size_t>(expected) + 1], guard);
        if (expected > 0) {
            ASSERT_EQ(std::memcmp(target.data() + 1, model.data() + position, expected), 0);
        }
    }
}

// RationedBuffer hands out a set number of system blocks, then none.
class RationedBuffer : public Buffer {
  public:
    ~RationedBuffer() override { clear(); }
    void* allocateBlock() override { return left-- > 0 ? Buffer::allocateBlock() : nullptr; }
    int left = 2;
};

TEST(Buffer, AppendStopsWhenNoBlockCanBeHadAndKeepsWhatItStored) {
    const std::vector<char> bytes = patterned(3 * BlockSize);
    RationedBuffer buffer;
    EXPECT_EQ(buffer.append(bytes.data(), 100), 100);
    EXPECT_EQ(buffer.append(bytes.data() + 100, 3 * BlockSize - 100), 2 * BlockSize - 100);
    EXPECT_EQ(buffer.append(bytes.data(), 1), 0);
    EXPECT_EQ(buffer.size(), 2 * BlockSize);
    EXPECT_EQ(contents(buffer), std::vector<char>(bytes.begin(), bytes.begin() + 2 * BlockSize));

    buffer.left = 1;  // blocks can be had again: appending resumes
    EXPECT_EQ(buffer.append(bytes.data() + 2 * BlockSize, BlockSize), BlockSize);
    EXPECT_EQ(contents(buffer), bytes);
}

// TapeBuffer maps every block to one scratch block, so a buffer can reach
// the largest size without holding 2 GiB.
class TapeBuffer : public Buffer {
  public:
    ~TapeBuffer() override { clear(); }
    void* allocateBlock() override { return scratch.data(); }
    void releaseBlock(void*) override {}
    std::vector<char> scratch = std::vector<char>(BlockSize);
};

TEST(Buffer, AppendStopsAtTheLargestSize) {
    const std::vector<char> bytes = patterned(2 * BlockSize);
    TapeBuffer buffer;
    for (int32_t i = 0; i < INT32_MAX / BlockSize; ++i) {
        ASSERT_EQ(buffer.append(bytes.data(), BlockSize), BlockSize);
    }
    EXPECT_EQ(buffer.append(bytes.data(), 2 * BlockSize), BlockSize - 1);
    EXPECT_EQ(buffer.append(bytes.data(), 1), 0);
    EXPECT_EQ(buffer.size(), INT32_MAX);
    char last = 0;
    EXPECT_EQ(buffer.readAt(INT32_MAX - 1, -1, &last), 1);
    EXPECT_EQ(last, bytes[BlockSize - 2]);
}

}  // namespace
}  // namespace kwCore
