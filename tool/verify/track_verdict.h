#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "verify/accuraterip_record.h"
#include "verify/track_checksums.h"

namespace zemtra {

// TrackVerdict is what the record says of one track's checksums.
enum class TrackVerdictKind {
    accurate,     // a chunk holds its v2 or v1 checksum
    notAccurate,  // the record has rips of the track, none with its checksum
    notInRecord,  // the record has no rip of the track
};

struct TrackVerdict {
    TrackVerdictKind kind = TrackVerdictKind::notInRecord;
    // confidence: for an accurate track, the summed confidence of the
    // chunks it matches; otherwise the rips of the other pressings.
    uint64_t confidence = 0;
    bool v2 = false;  // an accurate track matched a chunk by its v2 checksum
};

// judgeTrack judges the track at index (among the disc's audio tracks) by
// its checksums against every chunk of the record, each of which holds an
// entry for every audio track.
TrackVerdict judgeTrack(const std::vector<AccurateRipChunk>& chunks, size_t index,
                        const TrackChecksumValues& values) noexcept;

}  // namespace zemtra
