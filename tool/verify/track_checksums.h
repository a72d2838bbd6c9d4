#pragma once

#include <cstddef>
#include <cstdint>

#include "verify/ar_sums.h"
#include "verify/audio_tracks.h"

namespace zemtra {

// kSkippedAtDiscEdge is the number of samples at the start of the disc's
// first audio track (and, plus one, at the end of its last) that the
// AccurateRip checksums leave out.
inline constexpr int64_t kSkippedAtDiscEdge = 2939;

// kFrame450 is the sector, counted from a track's start, that the frame-450
// checksum covers.
inline constexpr int64_t kFrame450 = 450;

// TrackChecksumValues are a track's four checksums.
struct TrackChecksumValues {
    uint32_t v1 = 0;        // AccurateRip v1
    uint32_t v2 = 0;        // AccurateRip v2
    uint32_t frame450 = 0;  // the v1 sum of sector 450 alone, multipliers 1 to 588
    uint32_t crc32 = 0;     // zlib's CRC-32 of the track's bytes
};

// CountedRange gives the multipliers (1 to the track's sample count) whose
// samples the AccurateRip sums count: from first to last, both included.
struct CountedRange {
    int64_t first = 1;
    int64_t last = 0;
};

// countedRange returns the counted multipliers of track: all but, on the
// disc's first audio track, the first 2,939, and on its last audio track
// the last 2,940.
CountedRange countedRange(const AudioTrack& track) noexcept;

// TrackChecksums computes one track's checksums in one pass over its
// samples, handed over in order and in pieces of any size.
class TrackChecksums {
  public:
    explicit TrackChecksums(const AudioTrack& track) noexcept;

    // feed takes the next count samples of the track at bytes (4 bytes
    // each); samples past the track's end are ignored.
    void feed(const uint8_t* bytes, size_t count) noexcept;

    // fed returns the number of samples taken so far.
    int64_t fed() const noexcept { return position; }

    // values returns the checksums of the samples taken so far.
    TrackChecksumValues values() const noexcept;

  private:
    int64_t sampleCount;
    CountedRange counted;
    int64_t position = 0;
    ArSums sums;
    ArSums frameSums;
    uint32_t crc = 0;
};

}  // namespace zemtra
