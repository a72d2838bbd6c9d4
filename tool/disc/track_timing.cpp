#include "disc/track_timing.h"

#include "disc/toc_tracks.h"

namespace zemtra {

namespace {

bool isTrackIndex(const DiscToc& toc, int k) {
    return k >= 0 && k < tocTrackCount(toc);
}

}  // namespace

int32_t frameAddress(const TocEntry& entry) noexcept {
    return entry.Address[1] * kFramesPerMinute + entry.Address[2] * kFramesPerSecond +
           entry.Address[3];
}

int32_t trackStart(const DiscToc& toc, int k) noexcept {
    if (!isTrackIndex(toc, k)) {
        return 0;
    }
    return frameAddress(toc.TrackData[k]);
}

int32_t trackLength(const DiscToc& toc, int k) noexcept {
    if (!isTrackIndex(toc, k)) {
        return 0;
    }
    return frameAddress(toc.TrackData[k + 1]) - frameAddress(toc.TrackData[k]);
}

int32_t trackEnd(const DiscToc& toc, int k) noexcept {
    return trackStart(toc, k) + trackLength(toc, k);
}

int32_t discLength(const DiscToc& toc) noexcept {
    if (tocTrackCount(toc) == 0) {
        return 0;
    }
    return frameAddress(tocLeadOut(toc)) - frameAddress(toc.TrackData[0]);
}

}  // namespace zemtra
