#include <gtest/gtest.h>

#include "report/report_options.h"

namespace zemtra {
namespace {

TEST(ValueSwitchesTest, OffsetWithinItsRange) {
    const struct {
        const char* text;
        int offset;
    } accepted[] = {{"-offset=0", 0},     {"-offset=6", 6},        {"-offset=+6", 6},
                    {"-offset=-1", -1},   {"-offset=5000", 5000},  {"-offset=-5000", -5000},
                    {"-offset=+0005", 5}, {"-offset=-2939", -2939}};
    for (const auto& entry : accepted) {
        ReportOptions options;
        EXPECT_TRUE(options.take(kwCore::SharedString(entry.text))) << entry.text;
        EXPECT_EQ(options.offset, entry.offset) << entry.text;
        EXPECT_FALSE(options.readsAudio()) << entry.text;
    }
    for (const char* text :
         {"-offset=", "-offset=5001", "-offset=-5001", "-offset=+", "-offset=-", "-offset=1x",
          "-offset= 1", "-offset=--1", "-offset=99999999999", "-offset", "-offset6", "-OFFSET=6"}) {
        ReportOptions options;
        EXPECT_FALSE(options.take(kwCore::SharedString(text))) << text;
        EXPECT_EQ(options.offset, 0) << text;
    }
}

TEST(ValueSwitchesTest, RecordFileAndTheAudioSwitches) {
    ReportOptions options;
    EXPECT_FALSE(options.take(kwCore::SharedString("-ardb=")));
    EXPECT_FALSE(options.take(kwCore::SharedString("-ardb")));
    EXPECT_FALSE(options.readsAudio());
    EXPECT_TRUE(options.take(kwCore::SharedString("-ardb=a=b.bin")));
    EXPECT_STREQ(options.arDb.cStr(), "a=b.bin");
    EXPECT_TRUE(options.readsAudio());
    EXPECT_TRUE(options.drive.isNull());

    for (const char* text : {"-arcrc", "-findoffset"}) {
        ReportOptions audio;
        EXPECT_TRUE(audio.take(kwCore::SharedString(text)));
        EXPECT_TRUE(audio.readsAudio()) << text;
    }
    ReportOptions ctdb;
    EXPECT_TRUE(ctdb.take(kwCore::SharedString("-ctdbid")));
    EXPECT_TRUE(ctdb.ctdbId);
    EXPECT_FALSE(ctdb.readsAudio());
}

}  // namespace
}  // namespace zemtra
