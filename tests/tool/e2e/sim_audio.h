// The audio of a simulated disc, shared by the simulated drive and the
// reference that computes what a reader of it must find. Header-only C++.
//
// Each audio track carries a generated signal: sample j of the track (j = 0
// at its INDEX 01) is a mix of its seed and j, so every track and every
// sample differ, and a shifted read never matches by chance. A silent track
// is all zero. Disc sample m is sample m - 588 * start of the track whose
// sectors hold it; sample m lies in sector m / 588, sector 0 at frame
// address 150. Samples outside every audio track (before sector 0, in data
// tracks, past the audio's end) are zero. The last audio track ends at the
// lead-out, or 11,400 sectors before a data track that follows it.
#pragma once

#include <stdint.h>
#include <stdio.h>

namespace simaudio {

struct AudioTrack {
    int64_t start;  // first sector
    int64_t end;    // sector after the last
    uint32_t seed;
    bool silent;
};

// parseTrack reads a track given on a helper's command line as
// "<number>:<start>:<end>:<seed>:<silent>"; false when it is not one.
inline bool parseTrack(const char* text, int& number, AudioTrack& track) {
    int silent = 0;
    long long start = 0, end = 0;
    unsigned seed = 0;
    if (sscanf(text, "%d:%lld:%lld:%u:%d", &number, &start, &end, &seed, &silent) != 5) {
        return false;
    }
    track = {start, end, seed, silent != 0};
    return true;
}

// sample returns sample j of a track with seed.
inline uint32_t sample(uint32_t seed, int64_t j) {
    uint64_t z = (uint64_t)seed * 0x9E3779B97F4A7C15ull + (uint64_t)j * 0xBF58476D1CE4E5B9ull;
    z ^= z >> 31;
    z *= 0x94D049BB133111EBull;
    z ^= z >> 29;
    return (uint32_t)z;
}

// discSample returns disc sample m of the count tracks.
inline uint32_t discSample(const AudioTrack* tracks, int count, int64_t m) {
    if (m < 0) {
        return 0;
    }
    const int64_t sector = m / 588;
    for (int i = 0; i < count; ++i) {
        if (sector >= tracks[i].start && sector < tracks[i].end) {
            return tracks[i].silent ? 0 : sample(tracks[i].seed, m - tracks[i].start * 588);
        }
    }
    return 0;
}

}  // namespace simaudio
