#include "verify/verification.h"

#include <utility>

namespace zemtra {

bool Verification::good() const noexcept {
    for (const TrackResult& track : read.tracks) {
        if (!track.readable) {
            return false;
        }
    }
    return !judged || accurate == static_cast<int>(read.tracks.size());
}

Verification judgeVerification(VerifyResult read, const std::vector<AccurateRipChunk>* record,
                               bool search) {
    Verification verification;
    verification.read = std::move(read);
    if (record == nullptr) {
        return verification;
    }
    verification.judged = true;
    verification.searched = search;
    const std::vector<TrackResult>& tracks = verification.read.tracks;
    verification.verdicts.resize(tracks.size());
    for (size_t t = 0; t < tracks.size(); ++t) {
        if (!tracks[t].readable) {
            continue;
        }
        verification.verdicts[t] = judgeTrack(*record, t, tracks[t].values);
        if (verification.verdicts[t].kind == TrackVerdictKind::accurate) {
            ++verification.accurate;
        }
    }
    return verification;
}

}  // namespace zemtra
