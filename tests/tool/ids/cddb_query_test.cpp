#include "ids/cddb_query.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tool/toc_builder.h"

namespace zemtra {
namespace {

using test::tocAt;

TEST(CddbQueryTest, EveryTrackAndTheWholeSeconds) {
    // Data tracks count like any other; 54050 frames are 720.67 seconds.
    EXPECT_STREQ(cddbQuery(tocAt({150, 19012, 40135, 54050}, {2}), 0x1902ce03).cStr(),
                 "1902ce03 3 150 19012 40135 720");
    EXPECT_STREQ(cddbQuery(tocAt({150, 19012, 54074}), 0).cStr(), "00000000 2 150 19012 720");
    EXPECT_STREQ(cddbQuery(tocAt({150, 19012, 54075}), 0xffffffff).cStr(),
                 "ffffffff 2 150 19012 721");
    // Tracks numbered from 5: the count is the TOC's, LastTrack - FirstTrack + 1.
    EXPECT_STREQ(cddbQuery(tocAt({33, 4500, 9000}, {}, 5), 0x0a007806).cStr(),
                 "0a007806 2 33 4500 120");
}

TEST(CddbQueryTest, NinetyNineTracksAndNone) {
    std::vector<int> frames;
    std::string wanted = "00000063 99";
    for (int k = 0; k < 99; ++k) {
        frames.push_back(150 + 10000 * k);
        wanted += " " + std::to_string(150 + 10000 * k);
    }
    frames.push_back(1000000);
    wanted += " 13333";
    EXPECT_EQ(cddbQuery(tocAt(frames), 99).cStr(), wanted);

    DiscToc toc;
    std::memset(&toc, 0, sizeof toc);
    EXPECT_STREQ(cddbQuery(toc, 0).cStr(), "00000000 0 0");
}

}  // namespace
}  // namespace zemtra
