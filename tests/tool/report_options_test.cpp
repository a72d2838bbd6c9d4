#include "report_options.h"

#include <gtest/gtest.h>

namespace zemtra {
namespace {

TEST(ReportOptionsTest, EachSwitchSetsItsOwnFlag) {
    struct Case {
        const char* text;
        bool ReportOptions::*flag;
    };
    const Case cases[] = {
        {"-toc", &ReportOptions::toc},
        {"-tocstart", &ReportOptions::tocStart},
        {"-toclength", &ReportOptions::tocLength},
        {"-tocend", &ReportOptions::tocEnd},
        {"-tocctrl", &ReportOptions::tocCtrl},
        {"-tocidx", &ReportOptions::tocIdx},
        {"-cdid", &ReportOptions::cdid},
        {"-length", &ReportOptions::length},
        {"-tracks", &ReportOptions::tracks},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ReportOptions options;
        ASSERT_TRUE(options.take(c.text));
        int set = 0;
        for (const Case& other : cases) {
            set += options.*other.flag ? 1 : 0;
        }
        EXPECT_EQ(set, 1);
        EXPECT_TRUE(options.*c.flag);
        EXPECT_TRUE(options.drive.isEmpty());
    }
}

TEST(ReportOptionsTest, TimeSwitchesOnlyAddForms) {
    ReportOptions options;
    EXPECT_TRUE(options.timeFormat.msf);
    EXPECT_FALSE(options.timeFormat.secs);
    EXPECT_FALSE(options.timeFormat.frames);
    ASSERT_TRUE(options.take("-msf"));
    ASSERT_TRUE(options.take("-frames"));
    EXPECT_TRUE(options.timeFormat.msf);
    EXPECT_FALSE(options.timeFormat.secs);
    EXPECT_TRUE(options.timeFormat.frames);
    ASSERT_TRUE(options.take("-secs"));
    EXPECT_TRUE(options.timeFormat.secs);
}

TEST(ReportOptionsTest, SwitchesMatchOnlyExactly) {
    for (const char* text : {"-", "-TOC", "-to", "-tocs", "--toc", "-toc ", "-cdid2", "-Secs"}) {
        SCOPED_TRACE(text);
        ReportOptions options;
        EXPECT_FALSE(options.take(text));
        EXPECT_FALSE(options.toc || options.tocStart || options.cdid || options.timeFormat.secs);
    }
}

TEST(ReportOptionsTest, LastNonSwitchArgumentIsTheDrive) {
    ReportOptions options;
    EXPECT_TRUE(options.take("D:"));
    EXPECT_TRUE(options.take(""));  // empty arguments are skipped
    EXPECT_TRUE(options.take(kwCore::SharedString()));
    EXPECT_STREQ(options.drive.cStr(), "D:");
    EXPECT_TRUE(options.take("/toc"));  // no hyphen: a drive, not a switch
    EXPECT_STREQ(options.drive.cStr(), "/toc");
    EXPECT_FALSE(options.toc);
}

TEST(ReportOptionsTest, OneCharacterDriveGetsAColon) {
    const char* cases[][2] = {
        {"D", "D:"}, {"d", "d:"}, {"D:", "D:"}, {"D:\\", "D:\\"}, {"/dev/sr0", "/dev/sr0"}};
    for (const auto& c : cases) {
        ReportOptions options;
        options.take(c[0]);
        options.normaliseDrive();
        EXPECT_STREQ(options.drive.cStr(), c[1]);
    }
}

TEST(ReportOptionsTest, TableDefaultsToStartAndLength) {
    ReportOptions plain;
    plain.toc = true;
    plain.tocCtrl = plain.tocIdx = true;  // these do not count as time columns
    plain.applyDefaultColumns();
    EXPECT_TRUE(plain.tocStart && plain.tocLength);
    EXPECT_FALSE(plain.tocEnd);

    ReportOptions endOnly;
    endOnly.toc = endOnly.tocEnd = true;
    endOnly.applyDefaultColumns();
    EXPECT_FALSE(endOnly.tocStart || endOnly.tocLength);

    ReportOptions noTable;
    noTable.applyDefaultColumns();
    EXPECT_FALSE(noTable.tocStart || noTable.tocLength);
}

}  // namespace
}  // namespace zemtra
