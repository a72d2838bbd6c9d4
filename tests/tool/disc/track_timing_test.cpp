#include "disc/track_timing.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tool/toc_builder.h"

namespace zemtra {
namespace {

TEST(TrackTimingTest, FrameAddressIgnoresFirstAddressByte) {
    TocEntry entry{};
    entry.Address[0] = 0xFF;
    entry.Address[1] = 4;
    entry.Address[2] = 13;
    entry.Address[3] = 37;
    EXPECT_EQ(frameAddress(entry), 19012);
    // The bytes are unsigned: the largest address stays positive.
    entry.Address[1] = entry.Address[2] = entry.Address[3] = 0xFF;
    EXPECT_EQ(frameAddress(entry), 255 * 4500 + 255 * 75 + 255);
}

TEST(TrackTimingTest, WorkedExampleRowsAndLength) {
    const DiscToc toc = test::workedExampleToc();
    const int32_t rows[3][3] = {{150, 18862, 19012}, {19012, 21123, 40135}, {40135, 13915, 54050}};
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(trackStart(toc, k), rows[k][0]);
        EXPECT_EQ(trackLength(toc, k), rows[k][1]);
        EXPECT_EQ(trackEnd(toc, k), rows[k][2]);
    }
    EXPECT_EQ(discLength(toc), 53900);
}

TEST(TrackTimingTest, EachEndIsTheNextStart) {
    const DiscToc toc =
        test::makeToc({{0, 2, 0}, {0, 2, 74}, {3, 59, 1}, {60, 0, 0}, {79, 59, 74}});
    const int32_t starts[] = {150, 224, 17926, 270000, 359999};
    for (int k = 0; k < toc.LastTrack; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(trackStart(toc, k), starts[k]);
        EXPECT_EQ(trackEnd(toc, k), starts[k + 1]);
        EXPECT_EQ(trackLength(toc, k), starts[k + 1] - starts[k]);
    }
}

TEST(TrackTimingTest, DecreasingAddressesGiveNegativeLengths) {
    // A device may report nonsense; the arithmetic stays signed.
    const DiscToc toc = test::makeToc({{10, 0, 0}, {2, 0, 0}});
    EXPECT_EQ(trackLength(toc, 0), -8 * 4500);
    EXPECT_EQ(discLength(toc), -8 * 4500);
}

TEST(TrackTimingTest, AllZeroTocHasZeroLength) {
    DiscToc toc;
    std::memset(&toc, 0, sizeof toc);
    EXPECT_EQ(discLength(toc), 0);
}

TEST(TrackTimingTest, RowsOutsideTheTocGiveZero) {
    DiscToc toc;
    std::memset(&toc, 0xFF, sizeof toc);
    EXPECT_EQ(trackStart(toc, 0), 0);  // tracks 255 to 255: no room for the lead-out
    toc.FirstTrack = 1;
    toc.LastTrack = 99;
    // Row 99 (k = 98) still has its lead-out in entry 99.
    EXPECT_EQ(trackLength(toc, 98), 0);
    EXPECT_EQ(trackStart(toc, 98), 255 * 4500 + 255 * 75 + 255);
    for (int k : {-1, 99, 100, 255}) {
        SCOPED_TRACE(k);
        EXPECT_EQ(trackStart(toc, k), 0);
        EXPECT_EQ(trackLength(toc, k), 0);
        EXPECT_EQ(trackEnd(toc, k), 0);
    }
    EXPECT_EQ(discLength(toc), 0);  // every entry holds the same address
    toc.LastTrack = 100;
    EXPECT_EQ(discLength(toc), 0);
    EXPECT_EQ(trackStart(toc, 0), 0);

    // Tracks 3 to 5: three rows, the lead-out in entry 3.
    DiscToc numbered = test::makeToc({{0, 2, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}}, 3);
    std::memset(&numbered.TrackData[4], 0xFF, sizeof numbered.TrackData[4]);
    EXPECT_EQ(trackEnd(numbered, 2), 3 * 4500);
    EXPECT_EQ(trackStart(numbered, 3), 0);
    EXPECT_EQ(discLength(numbered), 3 * 4500 - 150);
}

}  // namespace
}  // namespace zemtra
