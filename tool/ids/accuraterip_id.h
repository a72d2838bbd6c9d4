#pragma once

#include <cstdint>

#include "disc/disc_toc.h"
#include "text/shared_string.h"

namespace zemtra {

// AccurateRipId is the AccurateRip disc id: the disc's audio tracks and two
// sums of their offsets, keyed together with the freedb identifier.
struct AccurateRipId {
    int audioTracks = 0;    // the number of audio tracks (1 to 99)
    uint32_t id1 = 0;       // the audio tracks' offsets plus the lead-out
    uint32_t id2 = 0;       // each offset times the track's audio number, and the lead-out
    uint32_t freedbId = 0;  // the freedb identifier of every track
};

// findAccurateRipId fills id from toc and its freedb identifier freedbId
// (computeDiscId). Only audio tracks count (control bit 4 clear), numbered
// 1, 2, ... in disc order; offsets are frame addresses less 150, and the
// lead-out L is the TOC's own lead-out less 150, after any data session.
// id1 is the sum of the offsets plus L; id2 the sum of max(offset, 1) times
// the audio number plus L times (count + 1); both modulo 2^32. Returns
// false, leaving id alone, for a TOC that is not consistent
// (isTocConsistent) or has no audio track.
bool findAccurateRipId(const DiscToc& toc, uint32_t freedbId, AccurateRipId& id) noexcept;

// accurateRipId returns the id as "nnn-id1-id2-freedb": the audio track
// count in three decimal digits, then each value in eight lower-case hex
// digits.
kwCore::SharedString accurateRipId(const AccurateRipId& id);

// accurateRipUrl returns the address of the disc's record in the
// AccurateRip database: the directories are id1's last, second-last and
// third-last hex digits, the file "dBAR-" accurateRipId ".bin".
kwCore::SharedString accurateRipUrl(const AccurateRipId& id);

}  // namespace zemtra
