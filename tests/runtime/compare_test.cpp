#include "runtime/compare.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kwCore {
namespace {

TEST(Compare, TheFirstDifferingByteDecidesAsUnsigned) {
    unsigned char a[16];
    unsigned char b[16];
    std::memset(a, 0x41, sizeof a);
    std::memset(b, 0x41, sizeof b);
    EXPECT_EQ(compare16(a, b), 0);

    b[15] = 0x42;  // only the last byte differs
    EXPECT_EQ(compare16(a, b), -1);
    EXPECT_EQ(compare16(b, a), 1);
    EXPECT_EQ(compareBytes(a, b, 15), 0);
    EXPECT_EQ(compareBytes(a, b, 0), 0);

    a[3] = 0xFF;  // an earlier byte outweighs the later one; 0xFF is above 0x00
    b[3] = 0x00;
    EXPECT_EQ(compare16(a, b), 1);
    EXPECT_EQ(compare16(b, a), -1);
}

}  // namespace
}  // namespace kwCore
