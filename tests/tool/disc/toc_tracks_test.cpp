#include "disc/toc_tracks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "tool/toc_builder.h"

namespace zemtra {
namespace {

TEST(TocTracksTest, CountAndLeadOutFollowTheHeader) {
    // Tracks 3 to 5: entries 0 to 2, the lead-out in entry 3.
    DiscToc toc = test::makeToc({{0, 2, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}}, 3);
    EXPECT_EQ(tocTrackCount(toc), 3);
    EXPECT_EQ(&tocLeadOut(toc), &toc.TrackData[3]);
    toc.FirstTrack = 1;
    toc.LastTrack = 99;
    EXPECT_EQ(tocTrackCount(toc), 99);
    EXPECT_EQ(&tocLeadOut(toc), &toc.TrackData[99]);  // the last entry, never past it
    for (auto [first, last] : {std::pair{0, 0}, {1, 0}, {0, 5}, {6, 5}, {1, 100}, {255, 255}}) {
        toc.FirstTrack = static_cast<uint8_t>(first);
        toc.LastTrack = static_cast<uint8_t>(last);
        EXPECT_EQ(tocTrackCount(toc), 0) << first << " " << last;
        EXPECT_EQ(&tocLeadOut(toc), &toc.TrackData[0]);
    }
}

TEST(TocTracksTest, ConsistentTocsStartEachTrackAfterTheLast) {
    EXPECT_TRUE(isTocConsistent(test::makeToc({{0, 2, 0}, {0, 2, 1}})));
    EXPECT_TRUE(isTocConsistent(test::makeToc({{0, 2, 0}, {4, 0, 0}, {9, 0, 0}}, 7)));
    EXPECT_FALSE(isTocConsistent(test::makeToc({{0, 2, 0}, {0, 2, 0}})));  // lead-out on the start
    EXPECT_FALSE(isTocConsistent(test::makeToc({{0, 2, 0}, {0, 1, 74}})));
    EXPECT_FALSE(isTocConsistent(test::makeToc({{0, 2, 0}, {4, 0, 0}, {4, 0, 0}, {9, 0, 0}})));
    EXPECT_FALSE(isTocConsistent(test::makeToc({{4, 0, 0}, {0, 2, 0}, {9, 0, 0}})));
    DiscToc empty;
    std::memset(&empty, 0, sizeof empty);
    EXPECT_FALSE(isTocConsistent(empty));
    // Only the real entries count: what lies past the lead-out is not read.
    DiscToc numbered = test::makeToc({{0, 2, 0}, {4, 0, 0}, {9, 0, 0}}, 3);
    std::memset(&numbered.TrackData[3], 0, sizeof numbered.TrackData[3]);
    EXPECT_TRUE(isTocConsistent(numbered));
}

}  // namespace
}  // namespace zemtra
