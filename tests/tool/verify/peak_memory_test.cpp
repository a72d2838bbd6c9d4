#include <gtest/gtest.h>

#include <cstring>

#include "platform/process.h"
#include "verify/disc_verification.h"

namespace zemtra {
namespace {

// A 20-minute disc of 10 tracks read with the offset search streams
// through: the process's peak resident size grows by a few MiB at most,
// where holding the audio would take 211 MB.
TEST(PeakMemory, AudioStreamsThrough) {
    AudioLayout layout;
    const int64_t trackSectors = 9000;
    for (int t = 0; t < 10; ++t) {
        AudioTrack track;
        track.number = t + 1;
        track.firstSample = t * trackSectors * kSamplesPerSector;
        track.sampleCount = trackSectors * kSamplesPerSector;
        track.first = t == 0;
        track.last = t == 9;
        layout.tracks.push_back(track);
    }
    layout.readable = {0, 10 * trackSectors};
    std::vector<AccurateRipChunk> record(1);
    record[0].tracks.resize(10, AccurateRipEntry{1, 1, 1});
    VerifyRequest request;
    request.record = &record;
    request.search = true;
    request.offset = 667;

    const uint64_t before = kwCore::platform::peakResidentBytes();
    ASSERT_GT(before, 0u);
    uint32_t value = 1;
    const VerifyResult result = verifyDisc(layout, request, [&](int64_t, int count, uint8_t* out) {
        for (size_t i = 0; i < static_cast<size_t>(count) * 2352; i += 4) {
            value = value * 1664525 + 1013904223;
            std::memcpy(out + i, &value, 4);
        }
        return ReadStatus::done;
    });
    const uint64_t growth = kwCore::platform::peakResidentBytes() - before;
    EXPECT_EQ(result.tracks.size(), 10u);
    EXPECT_LT(growth, uint64_t{4} << 20) << growth;
}

}  // namespace
}  // namespace zemtra
