#pragma once

#include <vector>

#include "verify/accuraterip_record.h"
#include "verify/disc_verification.h"
#include "verify/track_verdict.h"

namespace zemtra {

// Verification is what one read of the disc's audio found and what the
// record says of it: the values that the verification lines and the JSON
// document both show.
struct Verification {
    VerifyResult read;
    bool judged = false;  // checked against a record
    // verdicts holds, when judged, the verdict of each of read.tracks (an
    // unreadable track's is not judged and stays notInRecord).
    std::vector<TrackVerdict> verdicts;
    int accurate = 0;       // the tracks judged accurate
    bool searched = false;  // the offset search ran: read.offsets holds its results

    // good tells whether every track was read and, when judged, is accurate.
    bool good() const noexcept;
    // exitStatus is 0 when good, 2 otherwise.
    int exitStatus() const noexcept { return good() ? 0 : 2; }
};

// judgeVerification returns the verification of read: with record, each
// readable track judged against it (judgeTrack) and the accurate ones
// counted; search tells whether the offset search ran (it runs only with a
// record).
Verification judgeVerification(VerifyResult read, const std::vector<AccurateRipChunk>* record,
                               bool search);

}  // namespace zemtra
