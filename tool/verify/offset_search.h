#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "verify/accuraterip_record.h"
#include "verify/audio_tracks.h"

namespace zemtra {

// kOffsetSearchRange is the largest shift, in samples either way, that the
// offset search tries.
inline constexpr int64_t kOffsetSearchRange = 2939;

// OffsetMatch is one shift at which tracks match the record.
struct OffsetMatch {
    int64_t offset = 0;       // the shift in samples
    int tracks = 0;           // the tracks that match at it
    uint64_t confidence = 0;  // the confidence of the chunks they match, summed
};

// OffsetSearch finds, from one read, every shift o in -2,939 to +2,939 at
// which tracks match the record by v1 or frame-450 checksum, where the
// track shifted by o is the samples o later in the read. It keeps two
// running sums over the read, Q0(p) of the samples before position p and
// Q1(p) of each such sample times its position, both modulo 2^32, and
// records them where a shifted track's counted samples and its sector 450
// begin and end; the v1 of a track's multipliers a to b at shift o, its
// samples x from position s = S + o on, is then
//   Q1(s + b) - Q1(s + a - 1) - (s - 1) (Q0(s + b) - Q0(s + a - 1)),
// so the search costs one more multiplication and addition a sample. A
// track is judged, and its recorded sums let go, once the read has passed
// them.
class OffsetSearch {
  public:
    // OffsetSearch searches for tracks (the disc's audio tracks, positions
    // as the read numbers them) and the record's chunks, which must hold an
    // entry for each track.
    OffsetSearch(const std::vector<AudioTrack>& tracks,
                 const std::vector<AccurateRipChunk>& chunks);

    // begin returns the first position the search needs and end the one
    // after its last: the tracks with kOffsetSearchRange on each side.
    int64_t begin() const noexcept;
    int64_t end() const noexcept;

    // feed takes the next count samples at bytes, the first at position
    // (each piece follows the one before it).
    void feed(const uint8_t* bytes, int64_t position, size_t count);

    // exclude leaves track index (in tracks) out of every match: its read
    // failed.
    void exclude(size_t index) noexcept;

    // finish judges the tracks not judged yet and returns every shift at
    // which a track matches, best first: the most tracks, then the most
    // confidence, then the smallest size.
    std::vector<OffsetMatch> finish();

  private:
    // Capture holds Q0 and Q1 at every position from first to last.
    struct Capture {
        int64_t first = 0;
        int64_t last = -1;
        std::vector<uint32_t> q0;
        std::vector<uint32_t> q1;

        bool holds(int64_t position) const noexcept {
            return position >= first && position <= last;
        }
    };
    // Probe is one track's captures: where its counted samples begin (at
    // every shift) and end, and its sector 450.
    struct Probe {
        AudioTrack track;
        int64_t a = 1, b = 0;  // the counted multipliers
        Capture start, finish, frame;
        bool hasFrame = false;
        bool judged = false;
        bool excluded = false;
    };

    // sumAt returns the v1 of multipliers a to b of a track whose
    // multiplier 1 is at position base, given the sums at the positions
    // before and after them.
    static uint32_t sumAt(int64_t base, uint32_t q0Before, uint32_t q1Before, uint32_t q0After,
                          uint32_t q1After) noexcept;
    std::vector<Capture*> holding(int64_t position);
    void record(const std::vector<Capture*>& captures, int64_t position) const;
    void judge(Probe& probe);
    int64_t nextBoundary(int64_t position) const noexcept;

    const std::vector<AccurateRipChunk>& chunks;
    std::vector<Probe> probes;
    std::vector<uint32_t> matchingTracks;  // by shift + range
    std::vector<uint64_t> confidence;      // by shift + range
    int64_t position = 0;
    bool started = false;
    uint32_t q0 = 0;
    uint32_t q1 = 0;
};

}  // namespace zemtra
