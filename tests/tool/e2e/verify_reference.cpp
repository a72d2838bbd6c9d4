// The checksum lines a correct reader of a simulated disc prints, computed
// the straightforward way: every sample held in memory, 64-bit products one
// sample at a time, the CRC one bit at a time.
// Usage: verify_reference <offset> <drive offset> <track>...
// where each track is "number:start:end:seed:silent" (sectors; the audio
// tracks in disc order, as the simulated drive lays them out).
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "sim_audio.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        return 2;
    }
    const int64_t offset = std::atoll(argv[1]);
    const int64_t driveOffset = std::atoll(argv[2]);
    std::vector<simaudio::AudioTrack> tracks;
    std::vector<int> numbers;
    for (int a = 3; a < argc; ++a) {
        int number = 0;
        simaudio::AudioTrack track;
        if (!simaudio::parseTrack(argv[a], number, track)) {
            return 2;
        }
        numbers.push_back(number);
        tracks.push_back(track);
    }
    const int count = static_cast<int>(tracks.size());
    int64_t filled = 0;
    for (int t = 0; t < count; ++t) {
        std::vector<uint32_t> samples;
        for (int64_t i = tracks[t].start * 588; i < tracks[t].end * 588; ++i) {
            // The drive's sample i + offset: zero where no audio track lies.
            const int64_t d = i + offset;
            bool readable = false;
            for (const simaudio::AudioTrack& track : tracks) {
                readable = readable || (d >= 0 && d >= track.start * 588 && d < track.end * 588);
            }
            filled += readable ? 0 : 1;
            samples.push_back(readable ? simaudio::discSample(tracks.data(), count, d - driveOffset)
                                       : 0);
        }
        const uint64_t n = samples.size();
        uint32_t v1 = 0, high = 0, frame = 0, crc = 0xFFFFFFFF;
        for (uint64_t k = 1; k <= n; ++k) {
            const uint32_t x = samples[k - 1];
            for (int b = 0; b < 4; ++b) {
                crc ^= (x >> (8 * b)) & 0xFF;
                for (int bit = 0; bit < 8; ++bit) {
                    crc = (crc >> 1) ^ ((crc & 1) ? 0xEDB88320u : 0);
                }
            }
            if ((t == 0 && k < 2940) || (t == count - 1 && k + 2940 > n)) {
                continue;
            }
            const uint64_t product = uint64_t{x} * k;
            v1 += static_cast<uint32_t>(product);
            high += static_cast<uint32_t>(product >> 32);
        }
        if (n >= 451 * 588) {
            for (uint64_t j = 0; j < 588; ++j) {
                frame += samples[450 * 588 + j] * static_cast<uint32_t>(j + 1);
            }
        }
        std::printf("Track %d checksums: AR1 %08" PRIx32 " AR2 %08" PRIx32 " AR450 %08" PRIx32
                    " CRC32 %08" PRIx32 "\n",
                    numbers[t], v1, v1 + high, frame, ~crc);
    }
    if (filled != 0) {
        std::printf("Offset fill: %" PRId64 " samples\n", filled);
    }
    return 0;
}
