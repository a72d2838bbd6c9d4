#include "track_timing.h"

namespace zemtra {

namespace {

bool isTrackIndex(int k) {
    return k >= 0 && k < DiscToc::kMaxTracks;
}

}  // namespace

int32_t frameAddress(const TocEntry& entry) noexcept {
    return entry.Address[1] * kFramesPerMinute + entry.Address[2] * kFramesPerSecond +
           entry.Address[3];
}

int32_t trackStart(const DiscToc& toc, int k) noexcept {
    if (!isTrackIndex(k)) {
        return 0;
    }
    return frameAddress(toc.TrackData[k]);
}

int32_t trackLength(const DiscToc& toc, int k) noexcept {
    if (!isTrackIndex(k)) {
        return 0;
    }
    return frameAddress(toc.TrackData[k + 1]) - frameAddress(toc.TrackData[k]);
}

int32_t trackEnd(const DiscToc& toc, int k) noexcept {
    return trackStart(toc, k) + trackLength(toc, k);
}

int32_t discLength(const DiscToc& toc) noexcept {
    const int n = toc.LastTrack;
    if (n > DiscToc::kMaxTracks) {
        return 0;
    }
    return frameAddress(toc.TrackData[n]) - frameAddress(toc.TrackData[0]);
}

}  // namespace zemtra
