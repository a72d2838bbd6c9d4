#include "ids/disc_id.h"

#include "disc/toc_tracks.h"

namespace zemtra {

namespace {

// wholeSeconds returns an entry's address in whole seconds; frames are dropped.
int32_t wholeSeconds(const TocEntry& entry) {
    return entry.Address[1] * 60 + entry.Address[2];
}

int32_t digitSum(int32_t value) {
    int32_t sum = 0;
    for (; value > 0; value /= 10) {
        sum += value % 10;
    }
    return sum;
}

}  // namespace

uint32_t computeDiscId(const DiscToc& toc) noexcept {
    const int n = tocTrackCount(toc);
    if (n == 0) {
        return 0;
    }
    int32_t sum = 0;
    for (int k = 0; k < n; ++k) {
        sum += digitSum(wholeSeconds(toc.TrackData[k]));
    }
    // The identifier counts tracks by number from 1: on a disc numbered from
    // a later track the absent tracks start at 0, so they add nothing to
    // the checksum, the length runs from 0 and the last byte is LastTrack.
    // This is how the freedb databases' other readers key such discs.
    const int32_t start = toc.FirstTrack == 1 ? wholeSeconds(toc.TrackData[0]) : 0;
    const int32_t seconds = wholeSeconds(tocLeadOut(toc)) - start;
    // The length is not masked: as in the published algorithm, a length of
    // 65536 seconds or more runs into the checksum byte.
    return (static_cast<uint32_t>(sum % 255) << 24) | (static_cast<uint32_t>(seconds) << 8) |
           static_cast<uint32_t>(toc.LastTrack);
}

}  // namespace zemtra
