#include "ids/accuraterip_id.h"

#include <algorithm>

#include "disc/toc_tracks.h"
#include "disc/track_timing.h"
#include "text/string_format.h"

namespace zemtra {

namespace {

// kSectorZero is the frame address of sector 0, after the 2-second pre-gap.
constexpr int32_t kSectorZero = 150;

// sectorOf returns an entry's sector: negative for an address before sector 0.
int32_t sectorOf(const TocEntry& entry) {
    return frameAddress(entry) - kSectorZero;
}

}  // namespace

bool findAccurateRipId(const DiscToc& toc, uint32_t freedbId, AccurateRipId& id) noexcept {
    if (!isTocConsistent(toc)) {
        return false;
    }
    // The sums are unsigned, so they wrap modulo 2^32; an offset before
    // sector 0 adds its negative value to id1 and 1 times its number to id2.
    AccurateRipId found;
    const int count = tocTrackCount(toc);
    for (int k = 0; k < count; ++k) {
        const TocEntry& entry = toc.TrackData[k];
        if (isDataTrack(entry)) {
            continue;
        }
        const int32_t offset = sectorOf(entry);
        ++found.audioTracks;
        found.id1 += static_cast<uint32_t>(offset);
        found.id2 +=
            static_cast<uint32_t>(std::max(offset, 1)) * static_cast<uint32_t>(found.audioTracks);
    }
    if (found.audioTracks == 0) {
        return false;
    }
    const uint32_t leadOut = static_cast<uint32_t>(sectorOf(tocLeadOut(toc)));
    found.id1 += leadOut;
    found.id2 += leadOut * static_cast<uint32_t>(found.audioTracks + 1);
    found.freedbId = freedbId;
    id = found;
    return true;
}

kwCore::SharedString accurateRipId(const AccurateRipId& id) {
    return kwCore::format("%03d-%08lx-%08lx-%08lx", id.audioTracks,
                          static_cast<unsigned long>(id.id1), static_cast<unsigned long>(id.id2),
                          static_cast<unsigned long>(id.freedbId));
}

kwCore::SharedString accurateRipUrl(const AccurateRipId& id) {
    return kwCore::format("http://www.accuraterip.com/accuraterip/%lx/%lx/%lx/dBAR-%s.bin",
                          static_cast<unsigned long>(id.id1 & 0xF),
                          static_cast<unsigned long>(id.id1 >> 4 & 0xF),
                          static_cast<unsigned long>(id.id1 >> 8 & 0xF), accurateRipId(id).cStr());
}

}  // namespace zemtra
