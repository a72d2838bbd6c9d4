#include "text/string_format.h"

#include <gtest/gtest.h>

#include <string>

namespace kwCore {
namespace {

TEST(StringFormatTest, FormatsLikePrintf) {
    EXPECT_STREQ(format("%6d ", 12).cStr(), "    12 ");
    EXPECT_STREQ(format("%03d:%02d:%02d ", 1, 2, 3).cStr(), "001:02:03 ");
    EXPECT_STREQ(format("\\\\.\\%s", "D:").cStr(), "\\\\.\\D:");
    SharedString empty = format("%s", "");
    EXPECT_FALSE(empty.isNull());
    EXPECT_EQ(empty.getLength(), 0);
}

TEST(StringFormatTest, ResultsGrowThroughDoublingAttempts) {
    SharedString fits = format("%s", std::string(255, 'a').c_str());
    EXPECT_EQ(fits.getLength(), 255);
    EXPECT_EQ(fits.blockInfo().capacity, 260);  // the first attempt sufficed
    EXPECT_EQ(fits.blockInfo().cachedLength, 255);

    SharedString longer = format("%s", std::string(256, 'b').c_str());
    EXPECT_EQ(longer.getLength(), 256);
    EXPECT_EQ(longer.blockInfo().capacity, 516);

    SharedString shortText = format("%d", 7);
    EXPECT_EQ(shortText.blockInfo().capacity, 260);  // keeps the room of the attempt
}

TEST(StringFormatTest, OverlongResultsAreCut) {
    std::string huge(600000, 'z');
    SharedString cut = format("%s", huge.c_str());
    EXPECT_EQ(cut.getLength(), 524287);
    EXPECT_EQ(std::string(cut.cStr()), huge.substr(0, 524287));
}

TEST(StringFormatTest, FormatIntoLeavesSharersAlone) {
    SharedString original("before");
    SharedString copy(original);
    copy.formatInto("%s-%d", "after", 2);
    EXPECT_STREQ(copy.cStr(), "after-2");
    EXPECT_STREQ(original.cStr(), "before");

    // A private block of 256 bytes or more is reused.
    SharedString reused = format("%d", 1);
    const char* before = reused.cStr();
    reused.formatInto("%d", 22);
    EXPECT_EQ(reused.cStr(), before);
    EXPECT_STREQ(reused.cStr(), "22");
}

TEST(StringFormatTest, TrimRemovesOnlyTheSixBlanks) {
    SharedString padded = format("%6d ", 12);
    padded.trim();
    EXPECT_STREQ(padded.cStr(), "12");

    SharedString blanks(" \t\r");
    blanks.trim();
    EXPECT_FALSE(blanks.isNull());
    EXPECT_EQ(blanks.getLength(), 0);

    SharedString null;
    null.trim();
    EXPECT_TRUE(null.isNull());

    SharedString lineFeed("a\n");
    lineFeed.trimRight();
    EXPECT_STREQ(lineFeed.cStr(), "a");

    SharedString nbsp("a\xA0");
    nbsp.trimRight();
    EXPECT_STREQ(nbsp.cStr(), "a\xA0");

    SharedString inner(" \v\fa b\t ");
    inner.trimLeft();
    EXPECT_STREQ(inner.cStr(), "a b\t ");
    inner.trimRight();
    EXPECT_STREQ(inner.cStr(), "a b");

    SharedString clean("x y");
    SharedString sharer(clean);
    clean.trim();
    EXPECT_EQ(clean.cStr(), sharer.cStr());  // nothing to trim: no copy
}

TEST(StringFormatTest, CodePointsEncodeAsUtf8) {
    EXPECT_STREQ(fromCodePoint(0x41).cStr(), "A");
    EXPECT_STREQ(fromCodePoint(0x7F).cStr(), "\x7F");
    EXPECT_STREQ(fromCodePoint(0x80).cStr(), "\xC2\x80");
    EXPECT_STREQ(fromCodePoint(0xE9).cStr(), "\xC3\xA9");
    EXPECT_STREQ(fromCodePoint(0x7FF).cStr(), "\xDF\xBF");
    EXPECT_STREQ(fromCodePoint(0x800).cStr(), "\xE0\xA0\x80");
    EXPECT_STREQ(fromCodePoint(0x20AC).cStr(), "\xE2\x82\xAC");
    EXPECT_STREQ(fromCodePoint(0xD800).cStr(), "\xED\xA0\x80");
    EXPECT_STREQ(fromCodePoint(0x120AC).cStr(), "\xE2\x82\xAC");  // low 16 bits

    SharedString nul = fromCodePoint(0);
    EXPECT_FALSE(nul.isNull());
    EXPECT_EQ(nul.getLength(), 1);
    EXPECT_EQ(nul.cStr()[0], '\0');
}

}  // namespace
}  // namespace kwCore
