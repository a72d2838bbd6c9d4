#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "verify/accuraterip_record.h"
#include "verify/audio_reader.h"
#include "verify/audio_tracks.h"
#include "verify/offset_search.h"
#include "verify/track_checksums.h"

namespace zemtra {

// VerifyRequest says how a disc's audio is read and what is done with it.
struct VerifyRequest {
    int64_t offset = 0;  // the drive's read offset in samples
    // record holds the chunks of the disc's AccurateRip record; the offset
    // search runs when it is given and search is set.
    const std::vector<AccurateRipChunk>* record = nullptr;
    bool search = false;
    // progress hears the number of the track being read, the fraction of it
    // read so far and the samples read since the read began; may be empty.
    std::function<void(int track, double fraction, int64_t samples)> progress;
};

// TrackResult is one audio track's outcome.
struct TrackResult {
    AudioTrack track;
    bool readable = true;
    int64_t failedSector = 0;  // the sector that failed, when not readable
    TrackChecksumValues values;
};

// VerifyResult is what one read of a disc's audio found.
struct VerifyResult {
    std::vector<TrackResult> tracks;
    int64_t filled = 0;                // zero samples within the tracks: the drive cannot give them
    std::vector<OffsetMatch> offsets;  // with the search: the matching offsets, best first
};

// verifyDisc reads every audio track of layout once through read, at the
// request's offset (with the search's margins around the tracks), and
// computes each track's checksums and, when asked, the offsets at which
// tracks match the record. A sector that fails makes each track whose
// samples it holds unreadable, and the read goes on at the next track. The
// offsets found are absolute: the request's offset plus the shift.
VerifyResult verifyDisc(const AudioLayout& layout, const VerifyRequest& request,
                        const SectorRead& read);

}  // namespace zemtra
