#include "verify/track_checksums.h"

#include <gtest/gtest.h>

#include <cstring>

#include "processor_features.h"
#include "tool/verify/reference_sums.h"
#include "verify/ar_sums.h"

namespace zemtra {
namespace {

using testing::referenceSums;
using testing::signal;

AudioTrack trackOf(int64_t samples, bool first, bool last) {
    AudioTrack track;
    track.number = 1;
    track.sampleCount = samples;
    track.first = first;
    track.last = last;
    return track;
}

// sumsInPieces feeds the samples in pieces of the given sizes, in turn.
TrackChecksumValues sumsInPieces(const std::vector<uint32_t>& samples, const AudioTrack& track,
                                 std::initializer_list<size_t> sizes) {
    TrackChecksums sums(track);
    size_t at = 0;
    auto size = sizes.begin();
    while (at < samples.size()) {
        const size_t n = std::min(*size, samples.size() - at);
        sums.feed(reinterpret_cast<const uint8_t*>(samples.data() + at), n);
        at += n;
        if (++size == sizes.end()) {
            size = sizes.begin();
        }
    }
    return sums.values();
}

void expectSame(const TrackChecksumValues& got, const TrackChecksumValues& wanted) {
    EXPECT_EQ(got.v1, wanted.v1);
    EXPECT_EQ(got.v2, wanted.v2);
    EXPECT_EQ(got.frame450, wanted.frame450);
    EXPECT_EQ(got.crc32, wanted.crc32);
}

// A track of 460 sectors (sector 450 inside) and 7 samples more, whatever
// its place on the disc and however it is cut into pieces, including
// pieces that straddle the 2,939-sample edges and sector 450.
TEST(TrackChecksums, MatchStraightforwardSums) {
    const int64_t count = 460 * 588 + 7;
    const std::vector<uint32_t> samples = signal(17, count);
    for (const bool first : {false, true}) {
        for (const bool last : {false, true}) {
            const AudioTrack track = trackOf(count, first, last);
            const TrackChecksumValues wanted = referenceSums(samples, first, last);
            expectSame(sumsInPieces(samples, track, {static_cast<size_t>(count)}), wanted);
            expectSame(sumsInPieces(samples, track, {1, 2938, 2, 587, 15876, 3}), wanted);
        }
    }
}

TEST(TrackChecksums, SilenceIsZeroButForItsCrc) {
    const std::vector<uint32_t> samples(500 * 588, 0);
    const TrackChecksumValues values =
        sumsInPieces(samples, trackOf(500 * 588, true, true), {4096});
    EXPECT_EQ(values.v1, 0u);
    EXPECT_EQ(values.v2, 0u);
    EXPECT_EQ(values.frame450, 0u);
    EXPECT_EQ(values.crc32, testing::referenceCrc32(samples));
}

// Sector 450 is the track's 451st: a track of 450 sectors has none, one of
// 451 has it as its last.
TEST(TrackChecksums, Frame450NeedsSector450) {
    for (const int64_t sectors : {450, 451}) {
        const std::vector<uint32_t> samples = signal(3, sectors * 588);
        const TrackChecksumValues values =
            sumsInPieces(samples, trackOf(sectors * 588, false, false), {1000});
        EXPECT_EQ(values.frame450, referenceSums(samples, false, false).frame450);
        EXPECT_EQ(values.frame450 != 0, sectors == 451);
    }
}

// The largest samples and a multiplier past 2^32 - 8 exercise every carry.
#if defined(__x86_64__)
// The 256-bit sums are taken exactly where the processor has AVX2 and the
// system saves its registers: elsewhere they would stop on an illegal
// instruction. Run under emulated processor models too (label qemu).
TEST(ArSums, WideIsAvailableExactlyWhereTheProcessorHasAvx2) {
    const kwCore::testutil::ProcessorFeatures f = kwCore::testutil::ProcessorFeatures::read();
    EXPECT_EQ(detail::arSumsWideAvailable(), f.avx2) << f.describe();
}
#endif

TEST(ArSums, VectorsAgreeWithThePortableLoopAtTheExtremes) {
    std::vector<uint32_t> samples = signal(5, 1001);
    for (size_t i = 0; i < 40; ++i) {
        samples[i] = 0xFFFFFFFF;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(samples.data());
    for (const uint32_t multiplier : {1u, 0xFFFFFFF0u, 0x80000001u}) {
        for (const size_t count : {size_t{0}, size_t{7}, size_t{8}, size_t{1001}}) {
            ArSums portable;
            ArSums fast;
            detail::addArSumsPortable(bytes, count, multiplier, portable);
            addArSums(bytes, count, multiplier, fast);
            EXPECT_EQ(fast.low, portable.low);
            EXPECT_EQ(fast.products, portable.products);
            EXPECT_EQ(fast.samples, portable.samples);
            uint32_t v1 = 0;
            uint32_t high = 0;
            for (size_t i = 0; i < count; ++i) {
                const uint64_t product = uint64_t{samples[i]} * uint32_t(multiplier + i);
                v1 += static_cast<uint32_t>(product);
                high += static_cast<uint32_t>(product >> 32);
            }
            EXPECT_EQ(fast.v1(), v1);
            EXPECT_EQ(fast.v2(), v1 + high);
        }
    }
}

// A vector of our own, fixed here so that a change of the definition shows:
// a 2,000-sector track of the generated signal with seed 7 as the disc's
// only track.
TEST(TrackChecksums, OwnVector) {
    const std::vector<uint32_t> samples = signal(7, 2000 * 588);
    const TrackChecksumValues values =
        sumsInPieces(samples, trackOf(2000 * 588, true, true), {27 * 588});
    expectSame(values, referenceSums(samples, true, true));
    EXPECT_EQ(values.v1, 0x80db7278u);
    EXPECT_EQ(values.v2, 0xa0027685u);
    EXPECT_EQ(values.frame450, 0xcfe30079u);
    EXPECT_EQ(values.crc32, 0x182c3631u);
}

}  // namespace
}  // namespace zemtra
