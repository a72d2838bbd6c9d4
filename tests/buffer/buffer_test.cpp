#include "buffer/buffer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <vector>

#include "runtime/system_block.h"

namespace kwCore {
namespace {

constexpr unsigned char guard = 0xA5;

// patterned returns count bytes that differ from their neighbours and from
// the same offset in the next block, so a byte from the wrong place shows.
std::vector<char> patterned(size_t count, uint32_t seed = 1) {
    std::vector<char> bytes(count);
    uint32_t state = seed;
    for (auto& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

std::vector<char> contents(const Buffer& buffer) {
    std::vector<char> bytes(static_cast<size_t>(buffer.size()));
    EXPECT_EQ(buffer.readAt(0, -1, bytes.data()), buffer.size());
    return bytes;
}

TEST(Buffer, AppendAddsBlocksExactlyAtBlockEnds) {
    const std::vector<char> bytes = patterned(20000);
    Buffer buffer;
    EXPECT_EQ(buffer.append(bytes.data(), BlockSize), BlockSize);
    EXPECT_EQ(buffer.blockCount(), 1);
    EXPECT_EQ(buffer.append(bytes.data() + BlockSize, 1), 1);
    EXPECT_EQ(buffer.blockCount(), 2);
    EXPECT_EQ(buffer.append(bytes.data(), 0), 0);
    EXPECT_EQ(buffer.append(bytes.data(), -5), 0);
    EXPECT_EQ(buffer.size(), BlockSize + 1);

    Buffer large;
    EXPECT_EQ(large.append(bytes.data(), 20000), 20000);
    EXPECT_EQ(large.blockCount(), 3);
    int32_t length = BlockSize;
    ASSERT_NE(large.contiguousAt(2 * BlockSize, length), nullptr);
    EXPECT_EQ(length, 3616);
    EXPECT_EQ(contents(large), bytes);

    large.clear();
    EXPECT_EQ(large.size(), 0);
    EXPECT_EQ(large.blockCount(), 0);
    EXPECT_EQ(large.append(bytes.data(), 3), 3);
    EXPECT_EQ(contents(large), std::vector<char>(bytes.begin(), bytes.begin() + 3));
}

TEST(Buffer, ReadAtCopiesOnlyTheBytesHeldAndNothingBeyond) {
    const std::vector<char> bytes = patterned(10000);
    Buffer buffer;
    buffer.append(bytes.data(), 10000);

    struct Case {
        int32_t position, length, expected;
    };
    for (const Case& c :
         {Case{0, -1, 10000}, Case{9000, 5000, 1000}, Case{8190, 4, 4}, Case{10000, 1, 0},
          Case{10000, -1, 0}, Case{20000, 5, 0}, Case{-1, 10, 0}, Case{INT32_MIN, -1, 0},
          Case{5, 0, 0}, Case{5, -2, 0}, Case{1, INT32_MAX, 9999}}) {
        SCOPED_TRACE(testing::Message() << "position " << c.position << " length " << c.length);
        std::vector<unsigned char> target(10002, guard);
        EXPECT_EQ(buffer.readAt(c.position, c.length, target.data() + 1), c.expected);
        EXPECT_EQ(target[0], guard);
        if (c.expected > 0) {
            EXPECT_EQ(std::memcmp(target.data() + 1, bytes.data() + c.position, c.expected), 0);
        }
        EXPECT_EQ(target[static_cast<size_t>(c.expected) + 1], guard);
    }
}

TEST(Buffer, ContiguousAtStopsAtBlockEndsAndTheEnd) {
    const std::vector<char> bytes = patterned(10000);
    Buffer buffer;
    buffer.append(bytes.data(), 10000);

    int32_t length = 10;
    const char* run = buffer.contiguousAt(8190, length);
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(length, 2);
    EXPECT_EQ(std::memcmp(run, bytes.data() + 8190, 2), 0);

    length = 5000;
    run = buffer.contiguousAt(8192, length);
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(length, 10000 - 8192);
    EXPECT_EQ(run[0], bytes[8192]);

    for (int32_t position : {-1, 10000, INT32_MAX}) {
        length = 1;
        EXPECT_EQ(buffer.contiguousAt(position, length), nullptr) << position;
    }
    for (int32_t request : {0, -1}) {
        length = request;
        EXPECT_EQ(buffer.contiguousAt(0, length), nullptr) << request;
    }
}

Buffer& filled(Buffer& buffer, std::initializer_list<unsigned char> bytes) {
    for (unsigned char byte : bytes) {
        buffer.append(&byte, 1);
    }
    return buffer;
}

TEST(Buffer, CompareOrdersBySizeThenByUnsignedBytes) {
    Buffer a, b, c, d, e, f, empty1, empty2;
    EXPECT_EQ(Buffer::compare(filled(a, {0x7A, 0x7A, 0x7A}), filled(b, {0x61, 0x61, 0x61, 0x61})),
              -1);
    EXPECT_EQ(Buffer::compare(b, a), 1);
    EXPECT_EQ(Buffer::compare(filled(c, {0x61, 0x62, 0x63}), filled(d, {0x61, 0x62, 0x64})), -1);
    EXPECT_EQ(Buffer::compare(filled(e, {0x80}), filled(f, {0x7F})), 1);
    EXPECT_EQ(Buffer::compare(empty1, empty2), 0);

    // Equal over a block end, then a difference only in the last byte.
    std::vector<char> bytes = patterned(BlockSize + 100);
    Buffer g, h;
    g.append(bytes.data(), static_cast<int32_t>(bytes.size()));
    h.append(bytes.data(), static_cast<int32_t>(bytes.size()));
    EXPECT_EQ(Buffer::compare(g, h), 0);
    bytes.back() = static_cast<char>(static_cast<unsigned char>(bytes.back()) ^ 0x80);
    Buffer i;
    i.append(bytes.data(), static_cast<int32_t>(bytes.size()));
    const int order = Buffer::compare(g, i);
    EXPECT_NE(order, 0);
    EXPECT_EQ(Buffer::compare(i, g), -order);
}

TEST(Buffer, RandomAppendsAndReadsMatchAPlainByteVector) {
    std::mt19937 random(12345);
    const std::vector<char> source = patterned(3 * BlockSize, 7);
    Buffer buffer;
    std::vector<char> model;
    // Pieces of every size class: inline copies (odd and multiples of 4),
    // fastCopy, and pieces crossing one or more block ends.
    std::uniform_int_distribution<int> sizeClass(0, 3);
    while (model.size() < 200000) {
        int32_t length = 0;
        switch (sizeClass(random)) {
            case 0:
                length = static_cast<int32_t>(random() % 33);
                break;
            case 1:
                length = 4 * static_cast<int32_t>(random() % 9);
                break;
            case 2:
                length = static_cast<int32_t>(random() % 2000);
                break;
            default:
                length = static_cast<int32_t>(random() % (2 * BlockSize + 2));
                break;
        }
        const size_t from = random() % (source.size() - static_cast<size_t>(length));
        ASSERT_EQ(buffer.append(source.data() + from, length), length);
        model.insert(model.end(), source.begin() + from, source.begin() + from + length);
        ASSERT_EQ(buffer.size(), static_cast<int32_t>(model.size()));
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

// RationedBuffer hands out a fixed number of system blocks, then none.
class RationedBuffer : public Buffer {
  public:
    explicit RationedBuffer(int blocks) : left(blocks) {}
    ~RationedBuffer() override { clear(); }
    void* allocateBlock() override { return left-- > 0 ? Buffer::allocateBlock() : nullptr; }
    int left;
};

TEST(Buffer, AppendStopsWhenNoBlockCanBeHadAndKeepsWhatItStored) {
    const std::vector<char> bytes = patterned(3 * BlockSize);
    RationedBuffer buffer(2);
    EXPECT_EQ(buffer.append(bytes.data(), 100), 100);
    EXPECT_EQ(buffer.append(bytes.data() + 100, 3 * BlockSize - 100), 2 * BlockSize - 100);
    EXPECT_EQ(buffer.size(), 2 * BlockSize);
    EXPECT_EQ(buffer.blockCount(), 2);
    EXPECT_EQ(buffer.append(bytes.data(), 1), 0);
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
    EXPECT_EQ(buffer.size(), INT32_MAX);
    EXPECT_EQ(buffer.append(bytes.data(), 1), 0);
    EXPECT_EQ(buffer.size(), INT32_MAX);
    char last = 0;
    EXPECT_EQ(buffer.readAt(INT32_MAX - 1, -1, &last), 1);
    EXPECT_EQ(last, bytes[BlockSize - 2]);
}

// RecordingPool hands out system blocks and records which it handed out and
// which came back.
class RecordingPool : public PoolBufferPoolBase {
  public:
    void* allocateBlock() override {
        void* block = allocateSystemBlock();
        handedOut.insert(block);
        return block;
    }
    void releaseBlock(void* block) override {
        returned.insert(block);
        releaseSystemBlock(block);
    }
    void getUsage(int32_t&, int32_t&, int32_t&) const override {}
    void getCounters(uint64_t&, uint64_t&, uint64_t&) const override {}
    void prefill() override {}
    void trim() override {}
    std::set<void*> handedOut, returned;
};

std::set<void*> blocksOf(const Buffer& buffer) {
    std::set<void*> blocks;
    for (int32_t position = 0; position < buffer.size(); position += BlockSize) {
        int32_t length = 1;
        blocks.insert(const_cast<char*>(buffer.contiguousAt(position, length)));
    }
    return blocks;
}

TEST(PoolBuffer, SwapAsBufferKeepsEachObjectsPoolSwapAsPoolBufferMovesThem) {
    const std::vector<char> bytes = patterned(3 * BlockSize);
    RecordingPool poolA, poolB;
    std::set<void*> plainBlocks;
    {
        PoolBuffer pooled(&poolA);
        pooled.append(bytes.data(), 2 * BlockSize);
        pooled.spare0 = 1;
        Buffer plain;
        plain.append(bytes.data(), 3 * BlockSize);
        plain.spare1 = 2;
        plainBlocks = blocksOf(plain);

        pooled.swap(static_cast<Buffer&>(plain));
        EXPECT_EQ(pooled.size(), 3 * BlockSize);
        EXPECT_EQ(plain.size(), 2 * BlockSize);
        EXPECT_EQ(pooled.spare1, 2u);
        EXPECT_EQ(plain.spare0, 1u);
        EXPECT_EQ(pooled.pool(), &poolA);
        EXPECT_EQ(blocksOf(plain), poolA.handedOut);
        EXPECT_EQ(contents(pooled), bytes);
    }
    // The plain buffer freed poolA's blocks to the system; the pooled one
    // returned the plain buffer's blocks to poolA.
    EXPECT_EQ(poolA.returned, plainBlocks);

    {
        PoolBuffer first(&poolA), second(&poolB);
        first.append(bytes.data(), 1);
        const std::set<void*> firstBlocks = blocksOf(first);
        first.swap(second);
        EXPECT_EQ(first.pool(), &poolB);
        EXPECT_EQ(second.pool(), &poolA);
        EXPECT_EQ(first.size(), 0);
        EXPECT_EQ(second.size(), 1);
        poolA.returned.clear();
        second.clear();
        EXPECT_EQ(poolA.returned, firstBlocks);
    }
    EXPECT_TRUE(poolB.returned.empty());
}

}  // namespace
}  // namespace kwCore
