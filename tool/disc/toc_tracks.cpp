#include "disc/toc_tracks.h"

#include "disc/track_timing.h"

namespace zemtra {

int tocTrackCount(const DiscToc& toc) noexcept {
    const int first = toc.FirstTrack;
    const int last = toc.LastTrack;
    if (first < 1 || first > last || last > DiscToc::kMaxTracks) {
        return 0;
    }
    return last - first + 1;
}

const TocEntry& tocLeadOut(const DiscToc& toc) noexcept {
    return toc.TrackData[tocTrackCount(toc)];
}

bool isTocConsistent(const DiscToc& toc) noexcept {
    const int count = tocTrackCount(toc);
    if (count == 0) {
        return false;
    }
    // Entry count is the lead-out, so this walks every track and then it.
    for (int k = 1; k <= count; ++k) {
        if (frameAddress(toc.TrackData[k]) <= frameAddress(toc.TrackData[k - 1])) {
            return false;
        }
    }
    return true;
}

}  // namespace zemtra
