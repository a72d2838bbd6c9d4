#include "verify/audio_tracks.h"

#include <gtest/gtest.h>

#include "tool/toc_builder.h"

namespace zemtra {
namespace {

using test::makeToc;
using test::Msf;

Msf msf(int frames) {
    return Msf{frames / 4500, frames / 75 % 60, frames % 75};
}

// An enhanced CD: two audio tracks, the data track 20,000 frames after the
// second; the audio ends 11,400 sectors before it.
TEST(AudioLayoutTest, EnhancedCdEndsBeforeItsDataSession) {
    DiscToc toc = makeToc({msf(150), msf(1150), msf(23150), msf(30000)});
    toc.TrackData[2].Control = 4;
    AudioLayout layout;
    ASSERT_TRUE(findAudioLayout(toc, layout));
    ASSERT_EQ(layout.tracks.size(), 2u);
    EXPECT_EQ(layout.tracks[0].firstSample, 0);
    EXPECT_EQ(layout.tracks[0].sampleCount, 1000 * 588);
    EXPECT_TRUE(layout.tracks[0].first);
    EXPECT_EQ(layout.tracks[1].number, 2);
    EXPECT_EQ(layout.tracks[1].endSample(), (23000 - 11400) * 588);
    EXPECT_TRUE(layout.tracks[1].last);
    EXPECT_EQ(layout.readable, (std::vector<int64_t>{0, 23000 - 11400}));
    EXPECT_TRUE(layout.isReadable(23000 - 11401));
    EXPECT_FALSE(layout.isReadable(23000 - 11400));
    EXPECT_FALSE(layout.isReadable(-1));
    EXPECT_EQ(layout.runEnd(-5), 0);
    EXPECT_EQ(layout.runEnd(0), 23000 - 11400);
    EXPECT_EQ(layout.runEnd(23000 - 11400), INT64_MAX);
}

// A data track first is neither read nor readable; a track that starts
// before sector 0 (a hidden pre-gap) is read from sector 0 only.
TEST(AudioLayoutTest, DataFirstAndTracksBeforeSectorZero) {
    DiscToc toc = makeToc({msf(150), msf(5150), msf(9150)}, 3);
    toc.TrackData[0].Control = 4;
    AudioLayout layout;
    ASSERT_TRUE(findAudioLayout(toc, layout));
    ASSERT_EQ(layout.tracks.size(), 1u);
    EXPECT_EQ(layout.tracks[0].number, 4);
    EXPECT_TRUE(layout.tracks[0].first && layout.tracks[0].last);
    EXPECT_EQ(layout.readable, (std::vector<int64_t>{5000, 9000}));

    ASSERT_TRUE(findAudioLayout(makeToc({msf(100), msf(1150)}), layout));
    EXPECT_EQ(layout.tracks[0].firstSample, -50 * 588);
    EXPECT_EQ(layout.readable, (std::vector<int64_t>{0, 1000}));

    DiscToc dataOnly = makeToc({msf(150), msf(1150)});
    dataOnly.TrackData[0].Control = 4;
    EXPECT_FALSE(findAudioLayout(dataOnly, layout));
    EXPECT_TRUE(layout.tracks.empty());
}

}  // namespace
}  // namespace zemtra
