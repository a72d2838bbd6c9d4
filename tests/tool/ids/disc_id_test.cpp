#include "ids/disc_id.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "tool/toc_builder.h"

namespace zemtra {
namespace {

using test::makeToc;

TEST(DiscIdTest, WorkedExampleGivesPublishedIdentifier) {
    // Digit sums 2 + 10 + 13 = 25, length 720 - 2 = 718 seconds, 3 tracks.
    EXPECT_EQ(computeDiscId(test::workedExampleToc()), 0x1902CE03u);
}

TEST(DiscIdTest, AllZeroTocGivesZero) {
    DiscToc toc;
    std::memset(&toc, 0, sizeof toc);
    EXPECT_EQ(computeDiscId(toc), 0u);
}

TEST(DiscIdTest, SingleTrackUsesItsLeadOut) {
    // One track at 2 s (digit sum 2), lead-out at 3:20 = 200 s: length 198.
    EXPECT_EQ(computeDiscId(makeToc({{0, 2, 0}, {3, 20, 74}})), 0x0200C601u);
}

TEST(DiscIdTest, FramesAreDroppedBeforeSubtracting) {
    // 0:02:74 to 0:04:00 is 1.01 s of audio but 2 whole seconds apart.
    EXPECT_EQ(computeDiscId(makeToc({{0, 2, 74}, {0, 4, 0}})) >> 8 & 0xFFFF, 2u);
}

TEST(DiscIdTest, TrackInFirstSecondAddsNoDigits) {
    // 0:00:32 is 0 s (nothing), 1:05 is 65 s (11); lead-out 2:00 = 120 s.
    EXPECT_EQ(computeDiscId(makeToc({{0, 0, 32}, {1, 5, 0}, {2, 0, 0}})), 0x0B007802u);
}

TEST(DiscIdTest, ChecksumIsTakenModulo255) {
    // 30 tracks starting at 0:59 (digit sum 14) give 420 = 255 + 165.
    DiscToc toc = makeToc({{0, 59, 0}});
    toc.LastTrack = 30;
    for (int k = 0; k < 30; ++k) {
        toc.TrackData[k].Address[2] = 59;
    }
    toc.TrackData[30].Address[1] = 1;
    toc.TrackData[30].Address[2] = 59;
    EXPECT_EQ(computeDiscId(toc), (165u << 24) | (60u << 8) | 30u);
}

TEST(DiscIdTest, TracksCountFromTheFirstTrackNumber) {
    // Digit sums 2 + 3 and the lead-out after the last track, whatever
    // number the first track carries. Numbered from 1: length 570 - 2 = 568
    // seconds, 2 tracks. From a later number the absent tracks start at 0:
    // length 570 seconds, and the last byte is the last track's number.
    const DiscToc toc = makeToc({{0, 2, 0}, {5, 0, 0}, {9, 30, 0}});
    EXPECT_EQ(computeDiscId(toc), 0x05023802u);
    for (int first : {2, 3, 98}) {
        DiscToc numbered = makeToc({{0, 2, 0}, {5, 0, 0}, {9, 30, 0}}, first);
        numbered.TrackData[3] = numbered.TrackData[1];  // past the lead-out: never read
        EXPECT_EQ(computeDiscId(numbered), 0x05023A00u | static_cast<uint32_t>(first + 1)) << first;
    }
}

TEST(DiscIdTest, NinetyNineTracksReadTheLastEntryAsLeadOut) {
    DiscToc toc;
    std::memset(&toc, 0, sizeof toc);
    toc.FirstTrack = 1;
    toc.LastTrack = 99;
    int32_t sum = 0;
    for (int k = 0; k < 99; ++k) {
        toc.TrackData[k].Address[1] = static_cast<uint8_t>(k / 2);
        toc.TrackData[k].Address[2] = static_cast<uint8_t>(2 + (k % 2) * 30);
        for (int v = k / 2 * 60 + 2 + (k % 2) * 30; v > 0; v /= 10) {
            sum += v % 10;
        }
    }
    toc.TrackData[99].Address[1] = 70;  // lead-out at 70:00
    const uint32_t expected = (static_cast<uint32_t>(sum % 255) << 24) | ((4200u - 2u) << 8) | 99u;
    EXPECT_EQ(computeDiscId(toc), expected);
}

TEST(DiscIdTest, HeadersWithoutTracksGiveZero) {
    // No lead-out fits after a 100th track; nothing past entry 99 is read.
    // A first track above the last, or numbered 0, describes no tracks.
    DiscToc toc = makeToc({{0, 2, 0}, {5, 0, 0}});
    ASSERT_NE(computeDiscId(toc), 0u);
    for (auto [first, last] : {std::pair{1, 100}, {1, 255}, {0, 1}, {2, 1}, {1, 0}}) {
        toc.FirstTrack = static_cast<uint8_t>(first);
        toc.LastTrack = static_cast<uint8_t>(last);
        EXPECT_EQ(computeDiscId(toc), 0u) << first << " " << last;
    }
}

}  // namespace
}  // namespace zemtra
