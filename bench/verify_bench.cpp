// The audio checks' throughput: the four checksums of a track in one pass
// (AccurateRip v1 and v2, frame 450, CRC32) against the straightforward
// loop (64-bit products one sample at a time, then zlib's CRC-32 over the
// same bytes); and a read with the offset search against one without it.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "verify/disc_verification.h"
#include "verify/track_checksums.h"

namespace {

// kPiece is the size of one read: 27 sectors.
constexpr size_t kPiece = 27 * 2352;
constexpr size_t kTrackBytes = size_t{64} << 20;

const std::vector<uint8_t>& audio() {
    static const std::vector<uint8_t> bytes = [] {
        std::vector<uint8_t> data(kTrackBytes);
        uint32_t x = 12345;
        for (size_t i = 0; i < data.size(); i += 4) {
            x = x * 1664525 + 1013904223;
            std::memcpy(&data[i], &x, 4);
        }
        return data;
    }();
    return bytes;
}

zemtra::AudioTrack trackOf(size_t bytes) {
    zemtra::AudioTrack track;
    track.sampleCount = static_cast<int64_t>(bytes / 4);
    track.first = true;
    track.last = true;
    return track;
}

void onePass(benchmark::State& state) {
    const std::vector<uint8_t>& data = audio();
    for (auto _ : state) {
        zemtra::TrackChecksums sums(trackOf(data.size()));
        for (size_t at = 0; at < data.size(); at += kPiece) {
            const size_t n = std::min(kPiece, data.size() - at);
            sums.feed(data.data() + at, n / 4);
        }
        benchmark::DoNotOptimize(sums.values());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}

void straightforward(benchmark::State& state) {
    const std::vector<uint8_t>& data = audio();
    for (auto _ : state) {
        const uint64_t n = data.size() / 4;
        uint32_t v1 = 0, high = 0, frame = 0;
        for (uint64_t k = 1; k <= n; ++k) {
            uint32_t x;
            std::memcpy(&x, &data[(k - 1) * 4], 4);
            if (k >= 2940 && k + 2940 <= n) {
                const uint64_t product = uint64_t{x} * k;
                v1 += static_cast<uint32_t>(product);
                high += static_cast<uint32_t>(product >> 32);
            }
            if (k > 450 * 588 && k <= 451 * 588) {
                frame += x * static_cast<uint32_t>(k - 450 * 588);
            }
        }
        uLong crc = crc32(0, nullptr, 0);
        for (size_t at = 0; at < data.size(); at += kPiece) {
            crc =
                crc32(crc, data.data() + at, static_cast<uInt>(std::min(kPiece, data.size() - at)));
        }
        benchmark::DoNotOptimize(v1 + high);
        benchmark::DoNotOptimize(frame);
        benchmark::DoNotOptimize(crc);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}

// read runs verifyDisc over ten tracks of the audio from memory, with the
// offset search when search is set.
void read(benchmark::State& state, bool search) {
    const std::vector<uint8_t>& data = audio();
    zemtra::AudioLayout layout;
    const int64_t sectors = static_cast<int64_t>(data.size() / 2352);
    for (int t = 0; t < 10; ++t) {
        zemtra::AudioTrack track;
        track.number = t + 1;
        track.firstSample = t * sectors / 10 * 588;
        track.sampleCount = sectors / 10 * 588;
        track.first = t == 0;
        track.last = t == 9;
        layout.tracks.push_back(track);
    }
    layout.readable = {0, sectors / 10 * 10};
    std::vector<zemtra::AccurateRipChunk> record(1);
    record[0].tracks.resize(10, zemtra::AccurateRipEntry{1, 1, 1});
    zemtra::VerifyRequest request;
    request.record = &record;
    request.search = search;
    const zemtra::SectorRead fromMemory = [&](int64_t lba, int count, uint8_t* out) {
        std::memcpy(out, data.data() + lba * 2352, static_cast<size_t>(count) * 2352);
        return zemtra::ReadStatus::done;
    };
    for (auto _ : state) {
        benchmark::DoNotOptimize(zemtra::verifyDisc(layout, request, fromMemory));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}

void withoutSearch(benchmark::State& state) {
    read(state, false);
}
void withSearch(benchmark::State& state) {
    read(state, true);
}

}  // namespace

BENCHMARK(onePass)->Name("BM_TrackChecksums/onePass")->Unit(benchmark::kMillisecond);
BENCHMARK(straightforward)
    ->Name("BM_TrackChecksums/straightforward")
    ->Unit(benchmark::kMillisecond);
// The search's cost: its read against the same read without it (a ratio
// above 0.5 means the search costs less than a second checksum pass).
BENCHMARK(withSearch)->Name("BM_OffsetSearch/withSearch")->Unit(benchmark::kMillisecond);
BENCHMARK(withoutSearch)->Name("BM_OffsetSearch/withoutSearch")->Unit(benchmark::kMillisecond);
