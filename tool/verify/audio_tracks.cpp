#include "verify/audio_tracks.h"

#include <algorithm>
#include <cstdint>

#include "disc/toc_tracks.h"
#include "disc/track_timing.h"
#include "ids/musicbrainz_id.h"

namespace zemtra {

namespace {

// kSectorZero is the frame address of sector 0.
constexpr int64_t kSectorZero = 150;

}  // namespace

bool AudioLayout::isReadable(int64_t sector) const noexcept {
    for (size_t i = 0; i + 1 < readable.size(); i += 2) {
        if (sector >= readable[i] && sector < readable[i + 1]) {
            return true;
        }
    }
    return false;
}

int64_t AudioLayout::runEnd(int64_t sector) const noexcept {
    for (size_t i = 0; i + 1 < readable.size(); i += 2) {
        if (sector < readable[i]) {
            return readable[i];
        }
        if (sector < readable[i + 1]) {
            return readable[i + 1];
        }
    }
    return INT64_MAX;
}

bool findAudioLayout(const DiscToc& toc, AudioLayout& layout) {
    layout = AudioLayout();
    MusicBrainzDisc disc;
    if (!findMusicBrainzDisc(toc, disc)) {
        return false;
    }
    const int count = tocTrackCount(toc);
    const int64_t audioEnd = disc.leadOut - kSectorZero;
    for (int k = 0; k < count; ++k) {
        const TocEntry& entry = toc.TrackData[k];
        const int64_t start = frameAddress(entry) - kSectorZero;
        if (isDataTrack(entry) || start >= audioEnd) {
            continue;
        }
        const int64_t end =
            std::min<int64_t>(frameAddress(toc.TrackData[k + 1]) - kSectorZero, audioEnd);
        AudioTrack track;
        track.number = toc.FirstTrack + k;
        track.firstSample = start * kSamplesPerSector;
        track.sampleCount = (end - start) * kSamplesPerSector;
        layout.tracks.push_back(track);
        // Runs of adjacent audio tracks merge; a track's pre-gap before
        // sector 0 is no readable sector.
        const int64_t first = std::max<int64_t>(start, 0);
        if (!layout.readable.empty() && layout.readable.back() == first) {
            layout.readable.back() = std::max<int64_t>(end, first);
        } else if (end > first) {
            layout.readable.push_back(first);
            layout.readable.push_back(end);
        }
    }
    if (layout.tracks.empty()) {
        layout = AudioLayout();
        return false;
    }
    layout.tracks.front().first = true;
    layout.tracks.back().last = true;
    return true;
}

}  // namespace zemtra
