#include "report/time_format.h"

#include <gtest/gtest.h>

#include <string>

namespace zemtra {
namespace {

std::string text(int32_t count, bool msf, bool secs, bool frames) {
    return formatTime(count, TimeFormat{msf, secs, frames}).cStr();
}

TEST(TimeFormatTest, NoFormGivesEmptyText) {
    EXPECT_TRUE(formatTime(150, TimeFormat{false, false, false}).isEmpty());
}

TEST(TimeFormatTest, EachFormAloneIsTrimmed) {
    EXPECT_EQ(text(150, true, false, false), "000:02:00");
    EXPECT_EQ(text(150, false, true, false), "2");
    EXPECT_EQ(text(150, false, false, true), "150");
    EXPECT_EQ(text(150, false, true, true), "2     150");
}

TEST(TimeFormatTest, FormsKeepTheirInnerWidths) {
    EXPECT_EQ(text(150, true, true, true), "000:02:00      2     150");
    EXPECT_EQ(text(53900, true, true, true), "011:58:50    718   53900");
    EXPECT_EQ(text(123456789, true, true, true), "27434:50:39 1646090 123456789");
}

TEST(TimeFormatTest, FieldsCarryAtTheirBounds) {
    EXPECT_EQ(text(74, true, false, false), "000:00:74");
    EXPECT_EQ(text(75, true, false, false), "000:01:00");
    EXPECT_EQ(text(4499, true, false, false), "000:59:74");
    EXPECT_EQ(text(450000, true, false, false), "100:00:00");
}

TEST(TimeFormatTest, NegativeCountsTruncateTowardZero) {
    EXPECT_EQ(text(-1, true, true, false), "000:00:-1      0");
    EXPECT_EQ(text(-76, true, true, true), "000:-1:-1     -1     -76");
    EXPECT_EQ(text(-4500, true, false, false), "-01:00:00");
}

}  // namespace
}  // namespace zemtra
