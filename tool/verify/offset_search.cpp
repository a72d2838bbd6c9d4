#include "verify/offset_search.h"

#include <algorithm>

#include "verify/ar_sums.h"
#include "verify/track_checksums.h"

namespace zemtra {

namespace {

constexpr int64_t kShifts = 2 * kOffsetSearchRange + 1;

uint32_t low32(int64_t value) {
    return static_cast<uint32_t>(static_cast<uint64_t>(value));
}

}  // namespace

OffsetSearch::OffsetSearch(const std::vector<AudioTrack>& tracks,
                           const std::vector<AccurateRipChunk>& chunks)
    : chunks(chunks), matchingTracks(kShifts), confidence(kShifts) {
    for (const AudioTrack& track : tracks) {
        Probe probe;
        probe.track = track;
        const CountedRange counted = countedRange(track);
        probe.a = counted.first;
        probe.b = counted.last;
        const int64_t s = track.firstSample;
        probe.start.first = s + probe.a - 1 - kOffsetSearchRange;
        probe.start.last = s + probe.a - 1 + kOffsetSearchRange;
        probe.finish.first = s + probe.b - kOffsetSearchRange;
        probe.finish.last = s + probe.b + kOffsetSearchRange;
        probe.hasFrame = track.sampleCount >= (kFrame450 + 1) * kSamplesPerSector;
        if (probe.hasFrame) {
            const int64_t frame = s + kFrame450 * kSamplesPerSector;
            probe.frame.first = frame - kOffsetSearchRange;
            probe.frame.last = frame + kSamplesPerSector + kOffsetSearchRange;
        }
        // A track too short to count any sample matches nothing, and a
        // capture that is not needed holds no position.
        probe.judged = probe.b < probe.a;
        for (Capture* capture : {&probe.start, &probe.finish, &probe.frame}) {
            if (probe.judged || (capture == &probe.frame && !probe.hasFrame)) {
                capture->first = INT64_MAX;
                capture->last = INT64_MIN;
            }
        }
        probes.push_back(probe);
    }
}

int64_t OffsetSearch::begin() const noexcept {
    return probes.empty() ? 0 : probes.front().track.firstSample - kOffsetSearchRange;
}

int64_t OffsetSearch::end() const noexcept {
    return probes.empty() ? 0 : probes.back().track.endSample() + kOffsetSearchRange;
}

void OffsetSearch::exclude(size_t index) noexcept {
    if (index < probes.size()) {
        probes[index].excluded = true;
    }
}

uint32_t OffsetSearch::sumAt(int64_t base, uint32_t q0Before, uint32_t q1Before, uint32_t q0After,
                             uint32_t q1After) noexcept {
    return (q1After - q1Before) - low32(base - 1) * (q0After - q0Before);
}

// holding returns the captures that hold position, allocated.
std::vector<OffsetSearch::Capture*> OffsetSearch::holding(int64_t at) {
    std::vector<Capture*> found;
    for (Probe& probe : probes) {
        for (Capture* capture : {&probe.start, &probe.finish, &probe.frame}) {
            if (!probe.judged && capture->holds(at)) {
                if (capture->q0.empty()) {
                    const size_t size = static_cast<size_t>(capture->last - capture->first + 1);
                    capture->q0.assign(size, 0);
                    capture->q1.assign(size, 0);
                }
                found.push_back(capture);
            }
        }
    }
    return found;
}

// record stores the sums before the sample at position in captures.
void OffsetSearch::record(const std::vector<Capture*>& captures, int64_t at) const {
    for (Capture* capture : captures) {
        const size_t index = static_cast<size_t>(at - capture->first);
        capture->q0[index] = q0;
        capture->q1[index] = q1;
    }
}

// nextBoundary returns the first position after position at which a
// capture begins or ends (INT64_MAX when none does).
int64_t OffsetSearch::nextBoundary(int64_t at) const noexcept {
    int64_t next = INT64_MAX;
    for (const Probe& probe : probes) {
        for (const Capture* capture : {&probe.start, &probe.finish, &probe.frame}) {
            if (probe.judged) {
                continue;
            }
            if (capture->first > at) {
                next = std::min(next, capture->first);
            } else if (capture->last >= at) {
                next = std::min(next, capture->last + 1);
            }
        }
    }
    return next;
}

void OffsetSearch::feed(const uint8_t* bytes, int64_t at, size_t count) {
    if (!started) {
        started = true;
        position = at;
    }
    const int64_t stop = at + static_cast<int64_t>(count);
    while (position < stop) {
        const int64_t boundary = std::min(nextBoundary(position), stop);
        const uint8_t* piece = bytes + (position - at) * static_cast<int64_t>(kBytesPerSample);
        // Within a piece that ends at the next boundary the same captures
        // hold every position.
        const std::vector<Capture*> captures = holding(position);
        if (!captures.empty()) {
            for (int64_t p = position; p < boundary; ++p) {
                record(captures, p);
                const uint32_t sample = loadSample(piece);
                q0 += sample;
                q1 += sample * low32(p);
                piece += kBytesPerSample;
            }
        } else {
            ArSums sums;
            addArSums(piece, static_cast<size_t>(boundary - position), low32(position), sums);
            q0 += sums.samples;
            q1 += sums.v1();
        }
        position = boundary;
        for (Probe& probe : probes) {
            if (!probe.judged && position > probe.finish.last && position > probe.start.last &&
                (!probe.hasFrame || position > probe.frame.last)) {
                judge(probe);
            }
        }
    }
}

void OffsetSearch::judge(Probe& probe) {
    probe.judged = true;
    const size_t index = static_cast<size_t>(&probe - probes.data());
    if (!probe.excluded && !probe.start.q0.empty() && !probe.finish.q0.empty()) {
        const int64_t s = probe.track.firstSample;
        const int64_t frame = s + kFrame450 * kSamplesPerSector;
        const bool useFrame = probe.hasFrame && !probe.frame.q0.empty();
        for (int64_t shift = 0; shift < kShifts; ++shift) {
            const size_t i = static_cast<size_t>(shift);
            const int64_t o = shift - kOffsetSearchRange;
            const uint32_t v1 = sumAt(s + o, probe.start.q0[i], probe.start.q1[i],
                                      probe.finish.q0[i], probe.finish.q1[i]);
            uint32_t frameSum = 0;
            if (useFrame) {
                const size_t after = i + static_cast<size_t>(kSamplesPerSector);
                frameSum = sumAt(frame + o, probe.frame.q0[i], probe.frame.q1[i],
                                 probe.frame.q0[after], probe.frame.q1[after]);
            }
            // A zero sum (silence) tells nothing of where a track lies.
            uint64_t matched = 0;
            bool matches = false;
            for (const AccurateRipChunk& chunk : chunks) {
                const AccurateRipEntry& entry = chunk.tracks[index];
                if ((v1 != 0 && entry.checksum == v1) ||
                    (useFrame && frameSum != 0 && entry.frame450 == frameSum)) {
                    matches = true;
                    matched += entry.confidence;
                }
            }
            if (matches) {
                ++matchingTracks[i];
                confidence[i] += matched;
            }
        }
    }
    for (Capture* capture : {&probe.start, &probe.finish, &probe.frame}) {
        capture->q0 = std::vector<uint32_t>();
        capture->q1 = std::vector<uint32_t>();
    }
}

std::vector<OffsetMatch> OffsetSearch::finish() {
    record(holding(position), position);
    for (Probe& probe : probes) {
        if (!probe.judged) {
            judge(probe);
        }
    }
    std::vector<OffsetMatch> matches;
    for (int64_t shift = 0; shift < kShifts; ++shift) {
        const size_t i = static_cast<size_t>(shift);
        if (matchingTracks[i] != 0) {
            matches.push_back(
                {shift - kOffsetSearchRange, static_cast<int>(matchingTracks[i]), confidence[i]});
        }
    }
    std::sort(matches.begin(), matches.end(), [](const OffsetMatch& x, const OffsetMatch& y) {
        if (x.tracks != y.tracks) {
            return x.tracks > y.tracks;
        }
        if (x.confidence != y.confidence) {
            return x.confidence > y.confidence;
        }
        const int64_t ax = x.offset < 0 ? -x.offset : x.offset;
        const int64_t ay = y.offset < 0 ? -y.offset : y.offset;
        return ax != ay ? ax < ay : x.offset < y.offset;
    });
    return matches;
}

}  // namespace zemtra
