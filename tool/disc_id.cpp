#include "disc_id.h"

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
    const int n = toc.LastTrack;
    if (n > DiscToc::kMaxTracks) {
        return 0;
    }
    int32_t sum = 0;
    for (int k = 0; k < n; ++k) {
        sum += digitSum(wholeSeconds(toc.TrackData[k]));
    }
    const int32_t seconds = wholeSeconds(toc.TrackData[n]) - wholeSeconds(toc.TrackData[0]);
    // The length is not masked: as in the published algorithm, a length of
    // 65536 seconds or more runs into the checksum byte.
    return (static_cast<uint32_t>(sum % 255) << 24) | (static_cast<uint32_t>(seconds) << 8) |
           static_cast<uint32_t>(n);
}

}  // namespace zemtra
