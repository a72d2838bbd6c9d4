#include "stream/sha1_stream.h"

#include "stream/sha1_blocks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "processor_features.h"

namespace kwCore {
namespace {

std::string hex(const Sha1Stream::Digest& digest) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (uint8_t byte : digest) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

std::string sha1Hex(const std::string& text) {
    Sha1Stream stream;
    stream.write(text.data(), static_cast<int64_t>(text.size()));
    return hex(stream.digest());
}

// pattern returns length bytes that differ from one length to the next.
std::vector<uint8_t> pattern(size_t length) {
    std::vector<uint8_t> bytes(length);
    for (size_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + length * 13 + (i >> 8));
    }
    return bytes;
}

bool sameContext(const Sha1Context& x, const Sha1Context& y) {
    const uint32_t used = (x.bitCount[0] >> 3) & 63;
    return std::memcmp(x.state, y.state, sizeof x.state) == 0 &&
           std::memcmp(x.bitCount, y.bitCount, sizeof x.bitCount) == 0 &&
           std::memcmp(x.block, y.block, used) == 0;
}

TEST(Sha1StreamTest, PublishedExamples) {
    EXPECT_EQ(sha1Hex(""), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(sha1Hex("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d");
    // 56 bytes: the padding needs a second block.
    EXPECT_EQ(sha1Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
    EXPECT_EQ(sha1Hex("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklm"
                      "nopqklmnopqrlmnopqrsmnopqrstnopqrstu"),
              "a49b2446a02c645bf419f995b67091253a04a259");

    Sha1Stream stream;
    const std::string thousand(1000, 'a');
    for (int i = 0; i < 1000; ++i) {
        stream.write(thousand.data(), 1000);
    }
    EXPECT_EQ(hex(stream.digest()), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
}

TEST(Sha1StreamTest, EveryPaddingLengthMatchesKnownDigests) {
    // The digests of pattern(0) to pattern(299), each written whole, fed in
    // turn into one more digest. Every length modulo 64 occurs, so every
    // case of the padding (one block or two) takes part.
    Sha1Stream all;
    for (size_t length = 0; length < 300; ++length) {
        const std::vector<uint8_t> bytes = pattern(length);
        Sha1Stream one;
        one.write(bytes.data(), static_cast<int64_t>(length));
        const Sha1Stream::Digest digest = one.digest();
        all.write(digest.data(), digest.size());
    }
    EXPECT_EQ(hex(all.digest()), "4472a4092f5725b4b51fc63e8a91db20f503eaa2");
}

TEST(Sha1StreamTest, AnySplitGivesTheSameContext) {
    const std::vector<uint8_t> bytes = pattern(200);
    Sha1Stream whole;
    whole.write(bytes.data(), 200);
    for (int64_t first = 0; first <= 200; ++first) {
        for (int64_t second : {int64_t{0}, int64_t{1}, int64_t{63}, int64_t{64}, int64_t{65}}) {
            second = std::min(second, 200 - first);
            Sha1Stream split;
            EXPECT_EQ(split.write(bytes.data(), first), first);
            EXPECT_EQ(split.write(bytes.data() + first, second), second);
            EXPECT_EQ(split.write(bytes.data() + first + second, 200 - first - second),
                      200 - first - second);
            ASSERT_TRUE(sameContext(split.context, whole.context)) << first << " " << second;
            ASSERT_EQ(split.digest(), whole.digest());
        }
    }
}

TEST(Sha1StreamTest, DigestLeavesTheRunningStateAlone) {
    const std::vector<uint8_t> bytes = pattern(150);
    Sha1Stream running;
    running.write(bytes.data(), 70);
    const Sha1Context before = running.context;
    const Sha1Stream::Digest early = running.digest();
    EXPECT_EQ(std::memcmp(&before, &running.context, sizeof before), 0);
    EXPECT_EQ(running.digest(), early);

    running.write(bytes.data() + 70, 80);
    Sha1Stream whole;
    whole.write(bytes.data(), 150);
    EXPECT_EQ(running.digest(), whole.digest());

    running.reset();
    EXPECT_EQ(hex(running.digest()), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    running.write("abc", 3);
    EXPECT_EQ(hex(running.digest()), "a9993e364706816aba3e25717850c26c9cd0d89d");
}

TEST(Sha1StreamTest, WriteFeedsOnlyTheLowThirtyTwoBits) {
    Sha1Stream stream;
    EXPECT_TRUE(stream.canWrite());
    EXPECT_TRUE(stream.isOpen());
    const int64_t length = (int64_t{1} << 32) + 3;
    EXPECT_EQ(stream.write("abcdef", length), length);
    EXPECT_EQ(hex(stream.digest()), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(stream.context.bitCount[0], 24u);
    EXPECT_EQ(stream.context.bitCount[1], 0u);

    const Sha1Context before = stream.context;
    EXPECT_EQ(stream.write("x", 0), 0);
    EXPECT_EQ(stream.write(nullptr, 5), 5);
    EXPECT_EQ(std::memcmp(&before, &stream.context, sizeof before), 0);
}

TEST(Sha1StreamTest, BitCountCarriesIntoTheHighWord) {
    Sha1Stream stream;
    stream.context.bitCount[0] = 0xFFFFFE00;  // a whole number of blocks
    const std::vector<uint8_t> bytes = pattern(72);
    stream.write(bytes.data(), 72);
    EXPECT_EQ(stream.context.bitCount[0], 0x40u);
    EXPECT_EQ(stream.context.bitCount[1], 1u);
    // The padding carries both words: the length field reads 2^32 + 64.
    EXPECT_EQ(hex(stream.digest()), "403264814745619fcd617b5277f5e22364f195c7");
}

TEST(Sha1StreamTest, TransformCompressesOneBlock) {
    // "abc" padded by hand into its single block.
    uint8_t block[64] = {'a', 'b', 'c', 0x80};
    block[63] = 24;
    uint32_t state[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    sha1Transform(state, block);
    const uint32_t expected[5] = {0xA9993E36, 0x4706816A, 0xBA3E2571, 0x7850C26C, 0x9CD0D89D};
    EXPECT_EQ(std::memcmp(state, expected, sizeof state), 0);
}

TEST(Sha1StreamTest, PortableCompressionAgreesWithTheProcessorsOwn) {
    // sha1Blocks takes the processor's SHA instructions where it has them;
    // the portable path must give the same chaining values.
    const std::vector<uint8_t> bytes = pattern(64 * 9);
    for (size_t blocks = 1; blocks <= 9; ++blocks) {
        uint32_t fast[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
        uint32_t portable[5];
        std::memcpy(portable, fast, sizeof fast);
        fast[4] ^= static_cast<uint32_t>(blocks);
        portable[4] ^= static_cast<uint32_t>(blocks);
        sha1Blocks(fast, bytes.data() + 64 * (9 - blocks), blocks);
        sha1BlocksPortable(portable, bytes.data() + 64 * (9 - blocks), blocks);
        EXPECT_EQ(std::memcmp(fast, portable, sizeof fast), 0) << blocks << " blocks";
    }
}

// The SHA instructions are taken exactly where the processor has them and
// the SSSE3 and SSE4.1 ones that go with them here.
TEST(Sha1StreamTest, ShaInstructionsAreAvailableExactlyWhereTheProcessorHasThem) {
    const testutil::ProcessorFeatures f = testutil::ProcessorFeatures::read();
    EXPECT_EQ(sha1InstructionsAvailable(), f.sha && f.ssse3 && f.sse41) << f.describe();
}

}  // namespace
}  // namespace kwCore
