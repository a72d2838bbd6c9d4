#include "stream/memory_stream.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kwCore {
namespace {

TEST(MemoryStream, ReadsAMeasuredTextToItsEnd) {
    MemoryStream stream;
    ASSERT_TRUE(stream.open("abc", -1));
    EXPECT_EQ(stream.length, 3);
    EXPECT_TRUE(stream.isOpen() && stream.canRead() && stream.canSeek() && stream.hasSize());
    EXPECT_FALSE(stream.canWrite());
    EXPECT_STREQ(stream.name(), "MemoryStream");

    char out[8];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(stream.read(out, 2), 2);
    EXPECT_FALSE(stream.atEnd());
    EXPECT_EQ(stream.read(out + 2, 2), 1);  // only the NUL-less length counts
    EXPECT_EQ(stream.read(out + 3, 2), 0);
    EXPECT_TRUE(stream.atEnd());
    EXPECT_EQ(std::string(out, sizeof out), "abc#####");
    EXPECT_EQ(stream.position(), 3);
    EXPECT_EQ(stream.size(), 3);
    EXPECT_EQ(stream.write("x", 1), -1);
}

TEST(MemoryStream, NegativeReadsAndSeeksStayInsideTheBlock) {
    const char block[] = "0123456789";
    MemoryStream stream;
    ASSERT_TRUE(stream.open(block, 4));  // a length, not a text: stops before "4"
    char out[16];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(stream.read(out, -1), 0);
    EXPECT_EQ(stream.read(out, INT64_MIN), 0);
    EXPECT_EQ(stream.position(), 0);
    EXPECT_EQ(stream.seek(-5), 0);
    EXPECT_EQ(stream.seek(100), 4);
    EXPECT_EQ(stream.read(out, 10), 0);
    EXPECT_EQ(stream.seek(1), 1);
    EXPECT_EQ(stream.read(out, INT64_MAX), 3);
    EXPECT_EQ(std::string(out, 5), "123##");
}

TEST(MemoryStream, NullOrBadBlocksLeaveItClosed) {
    MemoryStream stream;
    EXPECT_TRUE(stream.atEnd());
    EXPECT_EQ(stream.size(), -1);
    EXPECT_EQ(stream.position(), -1);
    EXPECT_EQ(stream.seek(0), -1);

    ASSERT_TRUE(stream.open("abcdef", -1));
    char out[4];
    EXPECT_EQ(stream.read(out, 2), 2);
    EXPECT_FALSE(stream.open(nullptr, 5));
    EXPECT_EQ(stream.length, 0);
    EXPECT_EQ(stream.offset, 0);
    EXPECT_FALSE(stream.isOpen());
    EXPECT_EQ(stream.read(out, 4), 0);

    EXPECT_FALSE(stream.open("abc", -2));  // no block has a negative length
    EXPECT_FALSE(stream.isOpen());
    EXPECT_EQ(stream.read(out, 4), 0);

    ASSERT_TRUE(stream.open("", -1));
    EXPECT_TRUE(stream.isOpen());
    EXPECT_TRUE(stream.atEnd());
    stream.close();
    EXPECT_FALSE(stream.isOpen());
    EXPECT_EQ(stream.data, nullptr);
}

}  // namespace
}  // namespace kwCore
