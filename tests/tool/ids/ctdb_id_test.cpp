#include "ids/ctdb_id.h"

#include <gtest/gtest.h>

#include "tool/toc_builder.h"

namespace zemtra {
namespace {

using test::makeToc;
using test::Msf;

// msf returns the address of frame address frames.
Msf msf(int frames) {
    return Msf{frames / 4500, frames / 75 % 60, frames % 75};
}

TEST(CtdbIdTest, PublishedExample) {
    const DiscToc toc = makeToc({msf(150), msf(11563), msf(25174), msf(45863), msf(55370)});
    kwCore::SharedString id;
    ASSERT_TRUE(findCtdbId(toc, id));
    EXPECT_STREQ(id.cStr(), "VukMWWItblELRM.CEFpXxw0FlME-");
}

// An enhanced CD's data track counts neither as a track nor as the end:
// the audio ends 11,400 frames before it. A leading data track counts
// neither.
TEST(CtdbIdTest, OnlyTheAudioCounts) {
    kwCore::SharedString audio;
    ASSERT_TRUE(
        findCtdbId(makeToc({msf(150), msf(11563), msf(25174), msf(45863), msf(55370)}), audio));
    DiscToc enhanced =
        makeToc({msf(150), msf(11563), msf(25174), msf(45863), msf(55370 + 11400), msf(90000)});
    enhanced.TrackData[4].Control = 4;
    kwCore::SharedString id;
    ASSERT_TRUE(findCtdbId(enhanced, id));
    EXPECT_STREQ(id.cStr(), audio.cStr());

    // The same gaps shifted after a data track: the id is the same.
    DiscToc dataFirst =
        makeToc({msf(150), msf(1150), msf(12563), msf(26174), msf(46863), msf(56370)});
    dataFirst.TrackData[0].Control = 4;
    ASSERT_TRUE(findCtdbId(dataFirst, id));
    EXPECT_STREQ(id.cStr(), audio.cStr());
}

TEST(CtdbIdTest, NoIdForATocThatCannotBeRight) {
    kwCore::SharedString id("unchanged");
    EXPECT_FALSE(findCtdbId(makeToc({msf(150), msf(100), msf(5000)}), id));
    DiscToc dataOnly = makeToc({msf(150), msf(5000)});
    dataOnly.TrackData[0].Control = 4;
    EXPECT_FALSE(findCtdbId(dataOnly, id));
    EXPECT_STREQ(id.cStr(), "unchanged");
}

}  // namespace
}  // namespace zemtra
