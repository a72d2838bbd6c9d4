#include "runtime/random_generator.h"

#include <gtest/gtest.h>

namespace kwCore {
namespace {

TEST(RandomGenerator, SeedZeroGivesTheKnownWords) {
    RandomGenerator generator{};
    generator.index = 7;
    generator.seed(0);
    EXPECT_EQ(generator.state[0], 0x00000000u);
    EXPECT_EQ(generator.state[1], 0x00011C59u);
    EXPECT_EQ(generator.state[2], 0xC3592E13u);
    EXPECT_EQ(generator.state[623], 0xAC6C2C0Du);
    EXPECT_EQ(generator.index, 624);
}

TEST(RandomGenerator, SeedOneGivesTheKnownWords) {
    RandomGenerator generator{};
    generator.seed(1);
    EXPECT_EQ(generator.state[0], 0x00000001u);
    EXPECT_EQ(generator.state[1], 0x1C59C359u);
    EXPECT_EQ(generator.state[2], 0x2E13E723u);
    EXPECT_EQ(generator.state[623], 0x2C0D46FEu);
    EXPECT_EQ(generator.index, 624);
}

}  // namespace
}  // namespace kwCore
