#include "verify/track_verdict.h"

namespace zemtra {

TrackVerdict judgeTrack(const std::vector<AccurateRipChunk>& chunks, size_t index,
                        const TrackChecksumValues& values) noexcept {
    TrackVerdict verdict;
    uint64_t matched = 0;
    uint64_t others = 0;
    bool matches = false;
    for (const AccurateRipChunk& chunk : chunks) {
        if (index >= chunk.tracks.size()) {
            continue;
        }
        const AccurateRipEntry& entry = chunk.tracks[index];
        if (entry.checksum == values.v2 || entry.checksum == values.v1) {
            matches = true;
            matched += entry.confidence;
            verdict.v2 = verdict.v2 || entry.checksum == values.v2;
        } else {
            others += entry.confidence;
        }
    }
    if (matches) {
        verdict.kind = TrackVerdictKind::accurate;
        verdict.confidence = matched;
    } else {
        verdict.kind = others != 0 ? TrackVerdictKind::notAccurate : TrackVerdictKind::notInRecord;
        verdict.confidence = others;
    }
    return verdict;
}

}  // namespace zemtra
