#include "ids/musicbrainz_id.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tool/toc_builder.h"

namespace zemtra {
namespace {

using test::tocAt;

MusicBrainzDisc discOf(const DiscToc& toc) {
    MusicBrainzDisc disc;
    EXPECT_TRUE(findMusicBrainzDisc(toc, disc));
    return disc;
}

TEST(MusicBrainzIdTest, PublishedEnhancedCd) {
    const DiscToc toc = tocAt(
        {150, 12767, 40487, 63225, 93410, 118115, 151865, 184340, 215260, 247455, 281735, 300000},
        {10});
    const MusicBrainzDisc disc = discOf(toc);
    EXPECT_STREQ(musicBrainzId(disc).cStr(), "9AQWqQ0eCCwktwPPrIUIYkUw2Uo-");
    EXPECT_STREQ(musicBrainzLookupToc(disc).cStr(),
                 "1 10 270335 150 12767 40487 63225 93410 118115 151865 184340 215260 247455");
}

TEST(MusicBrainzIdTest, TrailingDataTracksAreLeftOut) {
    // Two audio tracks, then two data tracks: the lead-out comes from the
    // first of them, and neither keeps an offset.
    MusicBrainzDisc disc = discOf(tocAt({150, 20000, 60000, 70000, 90000}, {2, 3}));
    EXPECT_EQ(disc.firstTrack, 1);
    EXPECT_EQ(disc.lastTrack, 2);
    EXPECT_EQ(disc.leadOut, 60000 - 11400);
    EXPECT_EQ(disc.offsets[2], 20000);
    EXPECT_EQ(disc.offsets[3], 0);
    EXPECT_EQ(disc.offsets[4], 0);
    EXPECT_STREQ(musicBrainzLookupToc(disc).cStr(), "1 2 48600 150 20000");

    // A data track before the last audio track counts as usual.
    disc = discOf(tocAt({150, 20000, 60000, 70000}, {0}));
    EXPECT_EQ(disc.lastTrack, 3);
    EXPECT_EQ(disc.leadOut, 70000);
    EXPECT_STREQ(musicBrainzLookupToc(disc).cStr(), "1 3 70000 150 20000 60000");

    // Audio only: the lead-out as the TOC gives it.
    EXPECT_STREQ(musicBrainzLookupToc(discOf(tocAt({150, 20000}))).cStr(), "1 1 20000 150");
}

TEST(MusicBrainzIdTest, NothingToIdentify) {
    MusicBrainzDisc disc;
    disc.leadOut = 1234;
    DiscToc toc;
    std::memset(&toc, 0, sizeof toc);
    EXPECT_FALSE(findMusicBrainzDisc(toc, disc));                                 // no TOC
    EXPECT_FALSE(findMusicBrainzDisc(tocAt({150, 20000, 30000}, {0, 1}), disc));  // data only
    toc = tocAt({150, 20000});
    toc.FirstTrack = 0;
    EXPECT_FALSE(findMusicBrainzDisc(toc, disc));
    toc.FirstTrack = 2;  // first after last
    EXPECT_FALSE(findMusicBrainzDisc(toc, disc));
    toc.FirstTrack = 1;
    toc.LastTrack = 100;  // no room for a lead-out
    EXPECT_FALSE(findMusicBrainzDisc(toc, disc));
    // A data track less than 11,400 frames after the last audio track's
    // start, or a lead-out before it.
    EXPECT_FALSE(findMusicBrainzDisc(tocAt({150, 11549, 30000}, {1}), disc));
    EXPECT_FALSE(findMusicBrainzDisc(tocAt({150, 20000, 19999}), disc));
    // The lead-out may fall on the last track's start, as the peer allows.
    EXPECT_TRUE(findMusicBrainzDisc(tocAt({150, 11550, 30000}, {1}), disc));
    EXPECT_EQ(disc.leadOut, 150);
    disc.leadOut = 1234;
    EXPECT_EQ(disc.leadOut, 1234);
}

TEST(MusicBrainzIdTest, TracksAreTakenByNumberFromTheFirst) {
    // Tracks 3 to 5: entries 0 to 2, the lead-out in entry 3; offsets of
    // tracks 1 and 2 stay 0, and nothing past the lead-out is read.
    DiscToc toc = tocAt({150, 10000, 20000, 30000}, {}, 3);
    toc.TrackData[4].Address[1] = 70;
    const MusicBrainzDisc disc = discOf(toc);
    EXPECT_EQ(disc.firstTrack, 3);
    EXPECT_EQ(disc.lastTrack, 5);
    EXPECT_EQ(disc.offsets[2], 0);
    EXPECT_EQ(disc.offsets[3], 150);
    EXPECT_EQ(disc.offsets[6], 0);
    EXPECT_STREQ(musicBrainzLookupToc(disc).cStr(), "3 5 30000 150 10000 20000");
}

}  // namespace
}  // namespace zemtra
