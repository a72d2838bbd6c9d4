#include "ids/accuraterip_id.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ids/disc_id.h"
#include "tool/toc_builder.h"

namespace zemtra {
namespace {

using test::tocAt;

// aridOf returns the AccurateRip id line's value for a TOC, or "" when the
// TOC has none.
std::string aridOf(const DiscToc& toc) {
    AccurateRipId id;
    if (!findAccurateRipId(toc, computeDiscId(toc), id)) {
        return "";
    }
    return accurateRipId(id).cStr();
}

TEST(AccurateRipIdTest, PublishedDiscs) {
    // An enhanced CD: the lead-out is the disc's own, after the data session.
    const DiscToc enhanced = tocAt(
        {150, 12767, 40487, 63225, 93410, 118115, 151865, 184340, 215260, 247455, 281735, 333801},
        {10});
    EXPECT_EQ(aridOf(enhanced), "010-00164419-00b9f6e2-9e11600b");
    AccurateRipId id;
    ASSERT_TRUE(findAccurateRipId(enhanced, computeDiscId(enhanced), id));
    EXPECT_STREQ(accurateRipUrl(id).cStr(),
                 "http://www.accuraterip.com/accuraterip/9/1/4/"
                 "dBAR-010-00164419-00b9f6e2-9e11600b.bin");

    // A data track first: the audio tracks are numbered from 1 after it.
    EXPECT_EQ(aridOf(tocAt(
                  {150,    66728,  76502,  85963,  93760,  104048, 116066, 124743, 134206, 142916,
                   151852, 160720, 169425, 178731, 188459, 196711, 206354, 214845, 223686, 225746,
                   226384, 232668, 239447, 239931, 244989, 254264, 260066, 261222, 261674, 261976},
                  {0})),
              "028-00517a54-05a845d2-af0da31d");

    // One track at sector 0, which counts as 1 in the second sum.
    EXPECT_EQ(aridOf(tocAt({150, 279187})), "001-000441fd-000883fb-020e8801");
    // A first track after the usual 150 frames.
    EXPECT_EQ(aridOf(tocAt({183, 107633, 179103, 284840, 356440})),
              "004-000e26d9-00380804-3e128e04");
}

TEST(AccurateRipIdTest, OffsetsAndSumsAtTheirEdges) {
    // A first track before sector 0: its offset -117 is added to id1, and
    // counts as 1 in id2. 49583 = -117 + 19850 + 29850 and
    // 129251 = 1 + 19850 * 2 + 29850 * 3.
    AccurateRipId id;
    DiscToc toc = tocAt({33, 20000, 30000});
    ASSERT_TRUE(findAccurateRipId(toc, 0x12345678, id));
    EXPECT_EQ(id.audioTracks, 2);
    EXPECT_EQ(id.id1, 49583u);
    EXPECT_EQ(id.id2, 129251u);
    EXPECT_EQ(id.freedbId, 0x12345678u);

    // 99 tracks past 222 minutes (the TOC's minute byte allows 255): the
    // second sum passes 2^32 and wraps.
    std::vector<int> frames;
    for (int k = 0; k < 99; ++k) {
        frames.push_back(1000000 + k);
    }
    frames.push_back(1100000);
    toc = tocAt(frames);
    ASSERT_TRUE(findAccurateRipId(toc, 0, id));
    EXPECT_STREQ(accurateRipId(id).cStr(), "099-05f73ffb-2d92d94c-00000000");
    EXPECT_STREQ(accurateRipUrl(id).cStr(),
                 "http://www.accuraterip.com/accuraterip/b/f/f/"
                 "dBAR-099-05f73ffb-2d92d94c-00000000.bin");
}

TEST(AccurateRipIdTest, DataTracksBetweenAudioTracksAreSkipped) {
    // Audio numbers 1, 2, 3 at sectors 0, 29850, 59850; L = 79850.
    AccurateRipId id;
    ASSERT_TRUE(findAccurateRipId(tocAt({150, 20000, 30000, 40000, 60000, 80000}, {1, 3}), 0, id));
    EXPECT_EQ(id.audioTracks, 3);
    EXPECT_EQ(id.id1, 0u + 29850 + 59850 + 79850);
    EXPECT_EQ(id.id2, 1u + 29850 * 2 + 59850 * 3 + 79850 * 4);
}

TEST(AccurateRipIdTest, NoIdWithoutAudioOrForAnInconsistentToc) {
    AccurateRipId id;
    id.id1 = 77;
    DiscToc toc;
    std::memset(&toc, 0, sizeof toc);
    EXPECT_FALSE(findAccurateRipId(toc, 0, id));                                 // no tracks
    EXPECT_FALSE(findAccurateRipId(tocAt({150, 20000, 30000}, {0, 1}), 0, id));  // data only
    EXPECT_FALSE(findAccurateRipId(tocAt({150, 20000, 20000}), 0, id));  // lead-out on a start
    EXPECT_FALSE(findAccurateRipId(tocAt({150, 150, 30000}), 0, id));    // two tracks at one start
    EXPECT_EQ(id.id1, 77u);
    EXPECT_EQ(id.audioTracks, 0);
}

}  // namespace
}  // namespace zemtra
