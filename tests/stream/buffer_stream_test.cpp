#include "stream/buffer_stream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace kwCore {
namespace {

constexpr int64_t kLengthHighBits = int64_t{1} << 32;

// filled is a buffer holding size bytes, byte i being i mod 251.
void fill(Buffer& buffer, int32_t size) {
    std::vector<unsigned char> bytes(static_cast<size_t>(size));
    for (int32_t i = 0; i < size; ++i) {
        bytes[static_cast<size_t>(i)] = static_cast<unsigned char>(i % 251);
    }
    ASSERT_EQ(buffer.append(bytes.data(), size), size);
}

// Reads land in the middle of a guarded area; expectRead checks the bytes
// read and that no byte around them changed.
class Guarded {
  public:
    static constexpr int32_t kGuard = 16;
    explicit Guarded(int32_t room) : bytes(static_cast<size_t>(room + 2 * kGuard), 0xEE) {}
    void* destination() { return bytes.data() + kGuard; }
    void expectRead(int32_t from, int64_t count) const {
        for (size_t i = 0; i < bytes.size(); ++i) {
            const int64_t at = static_cast<int64_t>(i) - kGuard;
            const unsigned char expected =
                at >= 0 && at < count ? static_cast<unsigned char>((from + at) % 251) : 0xEE;
            ASSERT_EQ(bytes[i], expected) << "at offset " << at;
        }
    }

  private:
    std::vector<unsigned char> bytes;
};

TEST(BufferStream, ReadWindowFromStartWithoutLimit) {
    Buffer buffer;
    fill(buffer, 100);
    BufferStream stream;
    ASSERT_TRUE(stream.open(&buffer, false, 10, -1));
    EXPECT_TRUE(stream.canRead() && stream.canSeek() && stream.canTell() && stream.isOpen());
    EXPECT_FALSE(stream.canWrite() || stream.hasSize() || stream.isInteractive());
    EXPECT_EQ(stream.position(), 10);
    EXPECT_EQ(stream.seek(5), 10);
    EXPECT_EQ(stream.seek(500), 100);
    EXPECT_TRUE(stream.atEnd());
    EXPECT_EQ(stream.seek(kLengthHighBits + 10), 10);  // only the low 32 bits count

    Guarded out(200);
    EXPECT_EQ(stream.read(out.destination(), 200), 90);
    out.expectRead(10, 90);
    EXPECT_TRUE(stream.atEnd());
    EXPECT_EQ(stream.read(out.destination(), 200), 0);
    EXPECT_EQ(stream.size(), 100);
    EXPECT_EQ(stream.write("x", 1), -1);
}

TEST(BufferStream, ReadWindowStopsAtLimit) {
    Buffer buffer;
    fill(buffer, 100);
    BufferStream stream;
    ASSERT_TRUE(stream.open(&buffer, false, 10, 50));
    Guarded out(200);
    EXPECT_EQ(stream.read(out.destination(), 200), 40);
    out.expectRead(10, 40);
    EXPECT_TRUE(stream.atEnd());
    EXPECT_EQ(stream.read(out.destination(), 200), 0);
    EXPECT_EQ(stream.seek(80), 50);
    EXPECT_EQ(stream.seek(49), 49);
    EXPECT_FALSE(stream.atEnd());
    EXPECT_EQ(stream.size(), 100);  // the whole buffer, whatever the window
    // With a limit, a negative length reads nothing.
    EXPECT_EQ(stream.read(out.destination(), -1), 0);

    // A window that starts past its limit yields nothing.
    ASSERT_TRUE(stream.open(&buffer, false, 51, 50));
    Guarded none(8);
    EXPECT_EQ(stream.read(none.destination(), 8), 0);
    none.expectRead(0, 0);
    EXPECT_TRUE(stream.atEnd());
}

TEST(BufferStream, ReadsToTheEndAndAcrossBlocks) {
    Buffer buffer;
    fill(buffer, 20000);
    BufferStream stream;
    ASSERT_TRUE(stream.open(&buffer, false));
    EXPECT_EQ(stream.seek(8000), 8000);
    Guarded all(12000);
    EXPECT_EQ(stream.read(all.destination(), -1), 12000);
    all.expectRead(8000, 12000);

    ASSERT_TRUE(stream.open(&buffer, false, 8100, 8300));
    Guarded window(300);
    EXPECT_EQ(stream.read(window.destination(), kLengthHighBits + 300), 200);
    window.expectRead(8100, 200);

    // A negative start reads from 0, and no seek leaves the reading mode.
    ASSERT_TRUE(stream.open(&buffer, false, -7, -1));
    EXPECT_EQ(stream.position(), 0);
    EXPECT_EQ(stream.seek(-1), 0);
    EXPECT_TRUE(stream.canRead());
    Guarded head(5);
    EXPECT_EQ(stream.read(head.destination(), kLengthHighBits + 5), 5);
    head.expectRead(0, 5);
}

TEST(BufferStream, WritesAppendAndLimitCapsEachCall) {
    Buffer buffer;
    fill(buffer, 3);
    BufferStream stream;
    ASSERT_TRUE(stream.open(&buffer, true));
    EXPECT_TRUE(stream.canWrite());
    EXPECT_FALSE(stream.canRead() || stream.canSeek() || stream.canTell());
    EXPECT_EQ(stream.position(), -1);
    EXPECT_EQ(stream.seek(0), -1);
    char byte;
    EXPECT_EQ(stream.read(&byte, 1), -1);
    EXPECT_TRUE(stream.atEnd());

    const std::vector<char> data(10000, 'w');
    EXPECT_EQ(stream.write(data.data(), 10000), 10000);
    EXPECT_EQ(stream.size(), 10003);
    // Only the low 32 bits of a length reach the buffer, and the count says so.
    EXPECT_EQ(stream.write(data.data(), kLengthHighBits + 5), 5);
    EXPECT_EQ(stream.write(data.data(), -1), 0);
    EXPECT_EQ(stream.size(), 10008);

    ASSERT_TRUE(stream.open(&buffer, true, 500, 9));  // start plays no part in writing
    EXPECT_EQ(stream.write(data.data(), 100), 10);
    EXPECT_EQ(stream.write(data.data(), -3), 0);
    EXPECT_EQ(stream.write(data.data(), 4), 4);
    EXPECT_EQ(buffer.size(), 10022);
    char tail[4];
    EXPECT_EQ(buffer.readAt(0, 3, tail), 3);
    EXPECT_EQ(tail[2], 2);  // the bytes there before stay first
}

// BlockLimitedBuffer can have only a few blocks, as when the system runs out.
class BlockLimitedBuffer : public Buffer {
  public:
    explicit BlockLimitedBuffer(int blocks) : remaining(blocks) {}
    ~BlockLimitedBuffer() override { clear(); }
    void* allocateBlock() override { return remaining-- > 0 ? Buffer::allocateBlock() : nullptr; }
    int remaining;
};

TEST(BufferStream, WriteReportsOnlyWhatTheBufferStored) {
    BlockLimitedBuffer buffer(1);
    BufferStream stream;
    ASSERT_TRUE(stream.open(&buffer, true));
    const std::vector<char> data(BlockSize + 100, 'z');
    EXPECT_EQ(stream.write(data.data(), BlockSize + 100), BlockSize);
    EXPECT_EQ(stream.write(data.data(), 1), 0);
}

TEST(BufferStream, ClosedStreamsAndBadWindows) {
    BufferStream stream;
    EXPECT_STREQ(stream.name(), "BufferStream");
    EXPECT_FALSE(stream.isOpen() || stream.canRead() || stream.canWrite());
    EXPECT_EQ(stream.size(), -1);
    EXPECT_EQ(stream.position(), -1);
    EXPECT_TRUE(stream.atEnd());
    EXPECT_EQ(stream.write("x", 1), -1);

    Buffer buffer;
    fill(buffer, 10);
    ASSERT_TRUE(stream.open(&buffer, false));
    EXPECT_FALSE(stream.open(nullptr, false));  // closes the stream first
    EXPECT_FALSE(stream.isOpen());
    EXPECT_FALSE(stream.open(&buffer, false, 0, -2));
    EXPECT_FALSE(stream.isOpen());
    EXPECT_EQ(stream.limit, -1);

    ASSERT_TRUE(stream.open(&buffer, true, 0, 3));
    stream.close();
    EXPECT_EQ(stream.buffer, nullptr);
    EXPECT_EQ(stream.start, 0);
    EXPECT_EQ(stream.limit, -1);
    EXPECT_EQ(buffer.size(), 10);  // closing leaves the buffer as it was
    EXPECT_STREQ(stream.name(), "BufferStream");
}

}  // namespace
}  // namespace kwCore
