// The cue sheet of a disc held in memory, in both layouts: its lines and
// their order, what is left out, and the texts as a cue reader takes them.
#include "report/cue_sheet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ids/disc_id.h"
#include "tool/toc_builder.h"

namespace zemtra {
namespace {

// Disc is the sample: hidden audio before track 1, track 2 with a pregap
// and INDEX 02, a data track 3 left out, track 4 whose gap is unknown.
struct Disc {
    DiscInfo info;
    DiscData data;

    Disc() {
        std::memset(static_cast<void*>(&info), 0, sizeof info);
        info.valid = true;
        info.toc = test::tocAt({450, 19500, 40000, 60000, 80000}, {2});
        info.toc.TrackData[0].Control = 2;  // copy permitted
        info.toc.TrackData[1].Control = 9;  // four channels, pre-emphasis
        info.discId = computeDiscId(info.toc);
        data.gaps.searched = true;
        data.gaps.track[0] = {300, true, {}};
        data.gaps.track[1] = {152, true, {21000}};
        data.gaps.track[3] = {kUnknownFrames, true, {}};
        std::strcpy(data.catalogNumber, "0724384260927");
        std::strcpy(data.isrc[0], "USRC17607839");
        data.cdText.own[0][0] = "Sample \"Album\"\\\\";
        data.cdText.own[0][1] = "The\x1b[2J Players";
        data.cdText.own[0][5] = "\\";  // nothing left: no line
        data.cdText.own[1][0] = "Overture";
        data.cdText.own[1][3] = "K\xc3\xb6nig";
        data.cdText.own[4][1] = "Guest";
    }
};

std::string sheet(const Disc& disc, CueLayout layout) {
    return cueSheet(disc.info, disc.data, layout, "zemtra 9.9").cStr();
}

std::string header(const Disc& disc) {
    char id[64];
    std::snprintf(id, sizeof id, "REM DISCID %08lX\n",
                  static_cast<unsigned long>(disc.info.discId));
    return std::string(id) +
           "REM COMMENT \"zemtra 9.9\"\n"
           "CATALOG 0724384260927\n"
           "PERFORMER \"The[2J Players\"\n"
           "TITLE \"Sample 'Album'\"\n";
}

TEST(CueSheetTest, SingleFile) {
    const Disc disc;
    EXPECT_EQ(sheet(disc, CueLayout::singleFile), header(disc) +
                                                      "FILE \"CDImage.wav\" WAVE\n"
                                                      "  TRACK 01 AUDIO\n"
                                                      "    TITLE \"Overture\"\n"
                                                      "    COMPOSER \"K\xc3\xb6nig\"\n"
                                                      "    ISRC USRC17607839\n"
                                                      "    FLAGS DCP\n"
                                                      "    INDEX 00 00:00:00\n"
                                                      "    INDEX 01 00:04:00\n"
                                                      "  TRACK 02 AUDIO\n"
                                                      "    FLAGS 4CH PRE\n"
                                                      "    INDEX 00 04:15:73\n"
                                                      "    INDEX 01 04:18:00\n"
                                                      "    INDEX 02 04:38:00\n"
                                                      "  REM GAP UNKNOWN 04\n"
                                                      "  TRACK 04 AUDIO\n"
                                                      "    PERFORMER \"Guest\"\n"
                                                      "    INDEX 01 13:18:00\n");
}

TEST(CueSheetTest, FilePerTrackWithGapsAppended) {
    const Disc disc;
    EXPECT_EQ(sheet(disc, CueLayout::filePerTrack), header(disc) +
                                                        "FILE \"Track01.wav\" WAVE\n"
                                                        "  TRACK 01 AUDIO\n"
                                                        "    TITLE \"Overture\"\n"
                                                        "    COMPOSER \"K\xc3\xb6nig\"\n"
                                                        "    ISRC USRC17607839\n"
                                                        "    FLAGS DCP\n"
                                                        "    PREGAP 00:04:00\n"
                                                        "    INDEX 01 00:00:00\n"
                                                        "  TRACK 02 AUDIO\n"
                                                        "    FLAGS 4CH PRE\n"
                                                        "    INDEX 00 04:11:73\n"
                                                        "FILE \"Track02.wav\" WAVE\n"
                                                        "    INDEX 01 00:00:00\n"
                                                        "    INDEX 02 00:20:00\n"
                                                        "REM GAP UNKNOWN 04\n"
                                                        "FILE \"Track04.wav\" WAVE\n"
                                                        "  TRACK 04 AUDIO\n"
                                                        "    PERFORMER \"Guest\"\n"
                                                        "    INDEX 01 00:00:00\n");
}

TEST(CueSheetTest, UnknownIndexesAndPlainDiscs) {
    Disc disc;
    disc.data.gaps.track[1].indexStarts = {kUnknownFrames, 22000};
    const std::string single = sheet(disc, CueLayout::singleFile);
    EXPECT_NE(single.find("  REM GAP UNKNOWN 02\n  TRACK 02"), std::string::npos);
    EXPECT_EQ(single.find("INDEX 02"), std::string::npos);
    EXPECT_NE(single.find("    INDEX 03 04:51:25\n"), std::string::npos);
    disc.data.gaps.track[1].indexStarts.clear();
    disc.data.gaps.track[1].indexesKnown = false;
    EXPECT_NE(sheet(disc, CueLayout::singleFile).find("REM GAP UNKNOWN 02"), std::string::npos);

    // Nothing but the TOC: no catalog, no texts, no flags; a first track at
    // LBA 0 and minutes beyond two digits.
    Disc plain;
    plain.data = DiscData{};
    plain.info.toc = test::tocAt({150, 500000, 600000});
    for (int k = 0; k < 2; ++k) {
        plain.data.gaps.track[k] = {0, true, {}};
    }
    const std::string plainSheet = sheet(plain, CueLayout::singleFile);
    EXPECT_EQ(plainSheet.substr(plainSheet.find("FILE")),
              "FILE \"CDImage.wav\" WAVE\n"
              "  TRACK 01 AUDIO\n"
              "    INDEX 01 00:00:00\n"
              "  TRACK 02 AUDIO\n"
              "    INDEX 01 111:04:50\n");
}

TEST(CueSheetTest, Texts) {
    EXPECT_STREQ(cueText("a\"b\"").cStr(), "a'b'");
    EXPECT_STREQ(cueText("back\\slash\\\\").cStr(), "back\\slash");
    EXPECT_STREQ(cueText("\x01x\x1f\x7fy\t").cStr(), "xy");
    EXPECT_STREQ(cueText("end\\\x01").cStr(), "end");  // dropped before the backslashes
    EXPECT_STREQ(cueText("\xc3\xa9").cStr(), "\xc3\xa9");
    EXPECT_STREQ(cueText("").cStr(), "");
}

}  // namespace
}  // namespace zemtra
