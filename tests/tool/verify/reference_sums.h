#pragma once

// A straightforward AccurateRip and CRC-32 implementation for the tests:
// 64-bit products one sample at a time, the CRC one bit at a time, over
// samples held whole in memory.
#include <cstdint>
#include <vector>

#include "tool/e2e/sim_audio.h"
#include "verify/track_checksums.h"

namespace zemtra::testing {

inline uint32_t referenceCrc32(const std::vector<uint32_t>& samples) {
    uint32_t crc = 0xFFFFFFFF;
    for (const uint32_t sample : samples) {
        for (int b = 0; b < 4; ++b) {
            crc ^= (sample >> (8 * b)) & 0xFF;
            for (int bit = 0; bit < 8; ++bit) {
                crc = (crc >> 1) ^ ((crc & 1) != 0 ? 0xEDB88320u : 0);
            }
        }
    }
    return ~crc;
}

inline TrackChecksumValues referenceSums(const std::vector<uint32_t>& samples, bool first,
                                         bool last) {
    TrackChecksumValues values;
    const uint64_t n = samples.size();
    uint32_t high = 0;
    for (uint64_t k = 1; k <= n; ++k) {
        if ((first && k < 2940) || (last && k + 2940 > n)) {
            continue;
        }
        const uint64_t product = uint64_t{samples[k - 1]} * k;
        values.v1 += static_cast<uint32_t>(product);
        high += static_cast<uint32_t>(product >> 32);
    }
    values.v2 = values.v1 + high;
    if (n >= 451 * 588) {
        for (uint64_t j = 0; j < 588; ++j) {
            values.frame450 += samples[450 * 588 + j] * static_cast<uint32_t>(j + 1);
        }
    }
    values.crc32 = referenceCrc32(samples);
    return values;
}

// signal returns count samples of the generated signal with seed.
inline std::vector<uint32_t> signal(uint32_t seed, int64_t count) {
    std::vector<uint32_t> samples(static_cast<size_t>(count));
    for (int64_t j = 0; j < count; ++j) {
        samples[static_cast<size_t>(j)] = simaudio::sample(seed, j);
    }
    return samples;
}

}  // namespace zemtra::testing
