#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "stream/adler32_crc32_stream.h"
#include "stream/adler32_stream.h"
#include "stream/crc32_stream.h"
#include "stream/crc64_stream.h"
#include "stream/md5_stream.h"

namespace kwCore {
namespace {

constexpr char kDigits[] = "123456789";
constexpr int64_t kHighHalf = int64_t{1} << 32;

// AllSums writes the same bytes to one stream of every checksum class.
struct AllSums {
    Adler32Stream adler;
    Crc32Stream crc32;
    Adler32Crc32Stream both;
    Crc64Stream crc64;
    Md5Stream md5;

    void write(const void* data, int64_t length) {
        for (Stream* stream : {static_cast<Stream*>(&adler), static_cast<Stream*>(&crc32),
                               static_cast<Stream*>(&both), static_cast<Stream*>(&crc64),
                               static_cast<Stream*>(&md5)}) {
            EXPECT_EQ(stream->write(data, length), length);
        }
    }
};

void expectSame(const AllSums& a, const AllSums& b) {
    EXPECT_EQ(a.adler.value(), b.adler.value());
    EXPECT_EQ(a.crc32.value(), b.crc32.value());
    EXPECT_EQ(a.both.crc32Value(), b.both.crc32Value());
    EXPECT_EQ(a.both.adler32Value(), b.both.adler32Value());
    EXPECT_EQ(a.crc64.value(), b.crc64.value());
    EXPECT_EQ(0, std::memcmp(a.md5.context.state, b.md5.context.state, 16));
    EXPECT_EQ(0, std::memcmp(a.md5.context.bitCount, b.md5.context.bitCount, 8));
    const size_t used = (a.md5.context.bitCount[0] / 8) % 64;
    EXPECT_EQ(0, std::memcmp(a.md5.context.block, b.md5.context.block, used));
    EXPECT_EQ(a.md5.digest(), b.md5.digest());
}

TEST(ChecksumStreams, CheckValuesOfTheNineDigits) {
    AllSums sums;
    sums.write(kDigits, 9);
    EXPECT_EQ(sums.adler.value(), 0x091E01DEu);
    EXPECT_EQ(sums.crc32.value(), 0xCBF43926u);
    EXPECT_EQ(sums.both.adler32Value(), 0x091E01DEu);
    EXPECT_EQ(sums.both.crc32Value(), 0xCBF43926u);
    EXPECT_EQ(sums.crc64.value(), 0xE9C6D914C4B8D9CAull);
    EXPECT_EQ(sums.both.adler, sums.adler.adler);
    EXPECT_EQ(sums.both.crc, sums.crc32.crc);
}

TEST(ChecksumStreams, EmptyAndOverlongWritesFeedOnlyTheLowHalf) {
    AllSums fresh;
    AllSums sums;
    sums.write(kDigits, 0);
    expectSame(sums, fresh);
    sums.write(kDigits, kHighHalf);
    expectSame(sums, fresh);
    sums.write(kDigits, kHighHalf + 3);
    AllSums three;
    three.write(kDigits, 3);
    expectSame(sums, three);
    EXPECT_EQ(sums.md5.context.bitCount[0], 24u);
    EXPECT_EQ(sums.md5.context.bitCount[1], 0u);
}

TEST(ChecksumStreams, NullDataRestartsAdlerAndCrc32AndFeedsNothingElse) {
    AllSums sums;
    sums.write(kDigits, 9);
    AllSums digits;
    digits.write(kDigits, 9);
    sums.write(nullptr, 5);
    EXPECT_EQ(sums.adler.value(), 1u);
    EXPECT_EQ(sums.crc32.value(), 0u);
    EXPECT_EQ(sums.both.adler32Value(), 1u);
    EXPECT_EQ(sums.both.crc32Value(), 0u);
    EXPECT_EQ(sums.crc64.value(), digits.crc64.value());
    EXPECT_EQ(sums.md5.digest(), digits.md5.digest());
    EXPECT_EQ(sums.md5.context.bitCount[0], 72u);
}

TEST(ChecksumStreams, ResetStartsAgain) {
    AllSums sums;
    sums.write(kDigits, 9);
    sums.adler.reset();
    sums.crc32.reset();
    sums.both.reset();
    sums.crc64.reset();
    sums.md5.reset();
    sums.write("abc", 3);
    AllSums abc;
    abc.write("abc", 3);
    expectSame(sums, abc);
}

TEST(ChecksumStreams, AnySplitOfTheInputGivesTheSameValues) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 200; ++round) {
        const size_t length = round < 150 ? round : random() % 5000;
        std::vector<unsigned char> data(length);
        for (auto& byte : data) {
            byte = static_cast<unsigned char>(random());
        }
        AllSums whole;
        whole.write(data.data(), static_cast<int64_t>(length));
        AllSums pieces;
        for (size_t at = 0; at < length;) {
            const size_t piece = std::min<size_t>(length - at, random() % 150);
            pieces.write(data.data() + at, static_cast<int64_t>(piece));
            at += piece;
        }
        SCOPED_TRACE(length);
        expectSame(whole, pieces);
    }
}

}  // namespace
}  // namespace kwCore
