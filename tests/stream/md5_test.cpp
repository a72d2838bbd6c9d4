#include "stream/md5.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "stream/md5_stream.h"

namespace kwCore {
namespace {

std::string hex(const Md5Digest& digest) {
    std::string text;
    for (uint8_t byte : digest) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", byte);
        text += pair;
    }
    return text;
}

std::string md5Of(const std::string& text) {
    Md5Stream stream;
    stream.write(text.data(), static_cast<int64_t>(text.size()));
    return hex(stream.digest());
}

TEST(Md5, TheStandardsTestSuite) {
    EXPECT_EQ(md5Of(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(md5Of("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(md5Of("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(md5Of("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(md5Of("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(md5Of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(md5Of("1234567890123456789012345678901234567890123456789012345678901234567890123456"
                    "7890"),
              "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(Md5, ADigestLeavesTheRunningStateAsItWas) {
    Md5Stream stream;
    stream.write("message ", 8);
    const Md5Context before = stream.context;
    EXPECT_EQ(hex(stream.digest()), md5Of("message "));
    EXPECT_EQ(0, std::memcmp(&before, &stream.context, sizeof before));
    stream.write("digest", 6);
    EXPECT_EQ(hex(stream.digest()), "f96b697d7cb7938d525a2f31aaf161d0");
}

TEST(Md5, AWholeBlockIsTransformedOnceAndLeavesTheBlockEmpty) {
    uint8_t data[64];
    for (int i = 0; i < 64; ++i) {
        data[i] = static_cast<uint8_t>(i * 7);
    }
    Md5Stream stream;
    const Md5Context fresh = stream.context;
    EXPECT_EQ(stream.write(data, 64), 64);
    uint32_t expected[4];
    std::memcpy(expected, fresh.state, sizeof expected);
    md5Transform(expected, data);
    EXPECT_EQ(0, std::memcmp(expected, stream.context.state, sizeof expected));
    EXPECT_EQ(stream.context.bitCount[0], 512u);
    EXPECT_EQ(stream.context.bitCount[1], 0u);
}

TEST(Md5, TheBitCountCarriesIntoItsHighWord) {
    Md5Context context;
    md5Start(context);
    context.bitCount[0] = 0xFFFFFFF8u;  // 63 bytes in the block
    uint8_t byte = 1;
    md5Update(context, &byte, 1);
    EXPECT_EQ(context.bitCount[0], 0u);
    EXPECT_EQ(context.bitCount[1], 1u);
    md5Update(context, &byte, 1);
    EXPECT_EQ(context.bitCount[0], 8u);
    EXPECT_EQ(context.block[0], 1);
}

}  // namespace
}  // namespace kwCore
