#include "verify/track_checksums.h"

#include <algorithm>

#include "verify/track_crc32.h"

namespace zemtra {

namespace {

// addRange adds the samples of the piece starting at sample position (its
// count samples at bytes) that fall within multipliers [first, last] to sums.
void addRange(const uint8_t* bytes, int64_t position, int64_t count, int64_t first, int64_t last,
              ArSums& sums) {
    const int64_t from = std::max(position, first - 1);
    const int64_t to = std::min(position + count, last);
    if (from < to) {
        addArSums(bytes + (from - position) * kBytesPerSample, static_cast<size_t>(to - from),
                  static_cast<uint32_t>(from + 1), sums);
    }
}

}  // namespace

CountedRange countedRange(const AudioTrack& track) noexcept {
    CountedRange range;
    range.first = track.first ? kSkippedAtDiscEdge + 1 : 1;
    range.last = track.last ? track.sampleCount - (kSkippedAtDiscEdge + 1) : track.sampleCount;
    return range;
}

TrackChecksums::TrackChecksums(const AudioTrack& track) noexcept
    : sampleCount(track.sampleCount), counted(countedRange(track)) {}

void TrackChecksums::feed(const uint8_t* bytes, size_t count) noexcept {
    const int64_t taken = std::min<int64_t>(static_cast<int64_t>(count), sampleCount - position);
    if (taken <= 0) {
        return;
    }
    // The piece stays in the cache between the two sums.
    crc = trackCrc32(crc, bytes, static_cast<size_t>(taken) * kBytesPerSample);
    addRange(bytes, position, taken, counted.first, counted.last, sums);
    // Sector 450's multipliers run 1 to 588 there, so its samples are added
    // from multiplier (position - frame start + 1).
    const int64_t frameStart = kFrame450 * kSamplesPerSector;
    addRange(bytes, position - frameStart, taken, 1, kSamplesPerSector, frameSums);
    position += taken;
}

TrackChecksumValues TrackChecksums::values() const noexcept {
    TrackChecksumValues values;
    values.v1 = sums.v1();
    values.v2 = sums.v2();
    values.frame450 = frameSums.v1();
    values.crc32 = crc;
    return values;
}

}  // namespace zemtra
