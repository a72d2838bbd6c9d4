#include "ids/musicbrainz_url.h"

#include <gtest/gtest.h>

#include <string>

#include "tool/toc_builder.h"

namespace zemtra {
namespace {

using test::tocAt;

TEST(MusicBrainzUrlTest, PublishedEnhancedCd) {
    // The data track is left out: ten tracks, the lead-out 11,400 frames
    // before the data track.
    MusicBrainzDisc disc;
    ASSERT_TRUE(findMusicBrainzDisc(tocAt({150, 12767, 40487, 63225, 93410, 118115, 151865, 184340,
                                           215260, 247455, 281735, 300000},
                                          {10}),
                                    disc));
    EXPECT_STREQ(musicBrainzSubmissionUrl(disc).cStr(),
                 "https://musicbrainz.org/cdtoc/attach?id=9AQWqQ0eCCwktwPPrIUIYkUw2Uo-&tracks=10"
                 "&toc=1+10+270335+150+12767+40487+63225+93410+118115+151865+184340+215260+247455");
    EXPECT_STREQ(musicBrainzWebServiceUrl(disc).cStr(),
                 "https://musicbrainz.org/ws/2/discid/9AQWqQ0eCCwktwPPrIUIYkUw2Uo-"
                 "?toc=1+10+270335+150+12767+40487+63225+93410+118115+151865+184340+215260+247455");
}

TEST(MusicBrainzUrlTest, TracksIsTheLastTrackNumber) {
    // Tracks 3 to 5: three tracks, the last numbered 5.
    MusicBrainzDisc disc;
    ASSERT_TRUE(findMusicBrainzDisc(tocAt({150, 10000, 20000, 30000}, {}, 3), disc));
    const std::string id = musicBrainzId(disc).cStr();
    EXPECT_EQ(musicBrainzSubmissionUrl(disc).cStr(),
              "https://musicbrainz.org/cdtoc/attach?id=" + id +
                  "&tracks=5&toc=3+5+30000+150+10000+20000");
    EXPECT_EQ(musicBrainzWebServiceUrl(disc).cStr(),
              "https://musicbrainz.org/ws/2/discid/" + id + "?toc=3+5+30000+150+10000+20000");
}

}  // namespace
}  // namespace zemtra
