// Writes part of a simulated disc's audio as a rip holds it: the disc's
// samples from one sector to another, as a WAVE file (when the name ends
// in ".wav") or as raw samples (for a FLAC encoder).
// Usage: sim_rip <file> <from sector> <to sector> <track>...
// where each track is "number:start:end:seed:silent" (sectors; the audio
// tracks in disc order, as the simulated drive lays them out).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "sim_audio.h"

namespace {

void putLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: sim_rip <file> <from> <to> <track>...\n");
        return 2;
    }
    const int64_t from = std::atoll(argv[2]);
    const int64_t to = std::atoll(argv[3]);
    std::vector<simaudio::AudioTrack> tracks;
    for (int a = 4; a < argc; ++a) {
        int number = 0;
        simaudio::AudioTrack track;
        if (!simaudio::parseTrack(argv[a], number, track)) {
            return 2;
        }
        tracks.push_back(track);
    }
    const size_t length = std::strlen(argv[1]);
    const bool wave = length > 4 && std::strcmp(argv[1] + length - 4, ".wav") == 0;
    const uint32_t bytes = static_cast<uint32_t>((to - from) * 2352);
    std::vector<uint8_t> out;
    if (wave) {
        out.insert(out.end(), {'R', 'I', 'F', 'F'});
        putLittleEndian(out, 36 + bytes, 4);
        out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
        putLittleEndian(out, 16, 4);
        putLittleEndian(out, 1, 2);
        putLittleEndian(out, 2, 2);
        putLittleEndian(out, 44100, 4);
        putLittleEndian(out, 176400, 4);
        putLittleEndian(out, 4, 2);
        putLittleEndian(out, 16, 2);
        out.insert(out.end(), {'d', 'a', 't', 'a'});
        putLittleEndian(out, bytes, 4);
    }
    for (int64_t m = from * 588; m < to * 588; ++m) {
        putLittleEndian(out,
                        simaudio::discSample(tracks.data(), static_cast<int>(tracks.size()), m), 4);
    }
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr || std::fwrite(out.data(), 1, out.size(), file) != out.size()) {
        return 1;
    }
    return std::fclose(file) == 0 ? 0 : 1;
}
