#include "verify/offset_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "tool/verify/reference_sums.h"
#include "verify/audio_reader.h"
#include "verify/disc_verification.h"

namespace zemtra {
namespace {

// A disc of three audio tracks: 460, 30 and 500 sectors, from sector 0.
const simaudio::AudioTrack kDisc[] = {
    {0, 460, 11, false}, {460, 490, 12, false}, {490, 990, 13, false}};

AudioLayout layoutOf(const simaudio::AudioTrack* disc, int count) {
    AudioLayout layout;
    for (int i = 0; i < count; ++i) {
        AudioTrack track;
        track.number = i + 1;
        track.firstSample = disc[i].start * kSamplesPerSector;
        track.sampleCount = (disc[i].end - disc[i].start) * kSamplesPerSector;
        track.first = i == 0;
        track.last = i == count - 1;
        layout.tracks.push_back(track);
    }
    layout.readable = {disc[0].start, disc[count - 1].end};
    return layout;
}

// recordOf returns a one-chunk record of the disc's true checksums, each
// track with confidence 5 + its index.
std::vector<AccurateRipChunk> recordOf(const AudioLayout& layout) {
    AccurateRipChunk chunk;
    for (size_t t = 0; t < layout.tracks.size(); ++t) {
        const AudioTrack& track = layout.tracks[t];
        std::vector<uint32_t> samples;
        for (int64_t m = track.firstSample; m < track.endSample(); ++m) {
            samples.push_back(simaudio::discSample(kDisc, 3, m));
        }
        const TrackChecksumValues values = testing::referenceSums(samples, track.first, track.last);
        chunk.tracks.push_back({static_cast<uint32_t>(5 + t), values.v1, values.frame450});
    }
    return {chunk};
}

// driveOf reads the disc as a drive with read offset driveOffset does: its
// sample m is the disc's m - driveOffset. Sector 300 fails when asked.
SectorRead driveOf(int64_t driveOffset, int64_t failing = -1) {
    return [=](int64_t lba, int count, uint8_t* buffer) {
        if (failing >= lba && failing < lba + count) {
            return ReadStatus::failed;
        }
        for (int64_t m = lba * 588; m < (lba + count) * 588; ++m) {
            const uint32_t sample = simaudio::discSample(kDisc, 3, m - driveOffset);
            std::memcpy(buffer + (m - lba * 588) * 4, &sample, 4);
        }
        return ReadStatus::done;
    };
}

// Read at offset 0, the search finds the drive's offset with every track;
// at the drive's offset the checksums are the disc's own.
TEST(OffsetSearch, FindsTheDrivesOffsetFromOneRead) {
    const AudioLayout layout = layoutOf(kDisc, 3);
    const std::vector<AccurateRipChunk> record = recordOf(layout);
    for (const int64_t driveOffset : {-2939, -1, 0, 6, 667, 2939}) {
        VerifyRequest request;
        request.record = &record;
        request.search = true;
        const VerifyResult found = verifyDisc(layout, request, driveOf(driveOffset));
        ASSERT_FALSE(found.offsets.empty()) << driveOffset;
        EXPECT_EQ(found.offsets[0].offset, driveOffset);
        EXPECT_EQ(found.offsets[0].tracks, 3);
        EXPECT_EQ(found.offsets[0].confidence, 5u + 6 + 7);

        request.offset = driveOffset;
        request.search = false;
        const VerifyResult corrected = verifyDisc(layout, request, driveOf(driveOffset));
        for (size_t t = 0; t < 3; ++t) {
            EXPECT_EQ(corrected.tracks[t].values.v1, record[0].tracks[t].checksum) << driveOffset;
            EXPECT_EQ(corrected.tracks[t].values.frame450, record[0].tracks[t].frame450);
        }
    }
}

// Beyond the range searched nothing matches; a read with -offset=N searches
// around N.
TEST(OffsetSearch, SearchesAroundTheOffsetRead) {
    const AudioLayout layout = layoutOf(kDisc, 3);
    const std::vector<AccurateRipChunk> record = recordOf(layout);
    VerifyRequest request;
    request.record = &record;
    request.search = true;
    EXPECT_TRUE(verifyDisc(layout, request, driveOf(2940)).offsets.empty());
    request.offset = 100;
    const VerifyResult found = verifyDisc(layout, request, driveOf(2940));
    ASSERT_FALSE(found.offsets.empty());
    EXPECT_EQ(found.offsets[0].offset, 2940);
}

// The short middle track (no sector 450) matches by v1 alone; a track whose
// sector fails drops out of the search and is unreadable, the next track
// is still read.
TEST(OffsetSearch, FailedTrackDropsOut) {
    const AudioLayout layout = layoutOf(kDisc, 3);
    const std::vector<AccurateRipChunk> record = recordOf(layout);
    VerifyRequest request;
    request.record = &record;
    request.search = true;
    const VerifyResult found = verifyDisc(layout, request, driveOf(6, 300));
    EXPECT_FALSE(found.tracks[0].readable);
    EXPECT_EQ(found.tracks[0].failedSector, 300);
    EXPECT_TRUE(found.tracks[1].readable);
    EXPECT_TRUE(found.tracks[2].readable);
    ASSERT_FALSE(found.offsets.empty());
    EXPECT_EQ(found.offsets[0].offset, 6);
    EXPECT_EQ(found.offsets[0].tracks, 2);
    EXPECT_EQ(found.offsets[0].confidence, 6u + 7);
}

// The frame-450 checksum alone finds the offset when the record's whole-
// track checksums are another pressing's.
TEST(OffsetSearch, Frame450AloneMatches) {
    const AudioLayout layout = layoutOf(kDisc, 3);
    std::vector<AccurateRipChunk> record = recordOf(layout);
    for (AccurateRipEntry& entry : record[0].tracks) {
        entry.checksum ^= 1;
    }
    VerifyRequest request;
    request.record = &record;
    request.search = true;
    const VerifyResult found = verifyDisc(layout, request, driveOf(-667));
    ASSERT_EQ(found.offsets.size(), 1u);
    EXPECT_EQ(found.offsets[0].offset, -667);
    EXPECT_EQ(found.offsets[0].tracks, 2);
}

// Samples the drive cannot give are zero and counted: before sector 0 with
// a negative offset, past the end with a positive one.
TEST(AudioRead, OffsetFillAtTheDiscsEdges) {
    const AudioLayout layout = layoutOf(kDisc, 3);
    for (const int64_t offset : {-2939, -1, 0, 6, 5000}) {
        VerifyRequest request;
        request.offset = offset;
        const VerifyResult result = verifyDisc(layout, request, driveOf(0));
        EXPECT_EQ(result.filled, offset < 0 ? -offset : offset);
        // The first track's counted samples begin after 2,939: a shift of up
        // to that leaves its v1 whole only when the zeros fall outside.
        std::vector<uint32_t> samples;
        const AudioTrack& last = layout.tracks[2];
        for (int64_t m = last.firstSample; m < last.endSample(); ++m) {
            const int64_t d = m + offset;
            samples.push_back(d < 990 * 588 ? simaudio::discSample(kDisc, 3, d) : 0);
        }
        EXPECT_EQ(result.tracks[2].values.crc32, testing::referenceCrc32(samples)) << offset;
    }
}

// A failing sector is tried once within its piece, then alone with three
// retries; the read then goes on at the next track.
TEST(AudioRead, RetriesAFailingSectorThreeTimes) {
    const AudioLayout layout = layoutOf(kDisc, 3);
    std::vector<int64_t> asked;
    const SectorRead drive = driveOf(0, 100);
    const VerifyResult result =
        verifyDisc(layout, VerifyRequest{}, [&](int64_t lba, int count, uint8_t* buffer) {
            asked.push_back(lba);
            return drive(lba, count, buffer);
        });
    EXPECT_EQ(std::count(asked.begin(), asked.end(), 100), 4);
    // Nothing between the failure and track 2's start is read.
    for (const int64_t lba : asked) {
        EXPECT_TRUE(lba <= 100 || lba >= 460) << lba;
    }
    EXPECT_FALSE(result.tracks[0].readable);
    EXPECT_TRUE(result.tracks[1].readable);
}

// A device that takes no commands is asked once: every track is then
// unreadable at its first sector, with the search's margins too, and no
// offset is found.
TEST(AudioRead, NoCommandsEndTheReadAtOnce) {
    const AudioLayout layout = layoutOf(kDisc, 3);
    const std::vector<AccurateRipChunk> record = recordOf(layout);
    for (const bool search : {false, true}) {
        VerifyRequest request;
        request.record = &record;
        request.search = search;
        int asked = 0;
        const VerifyResult result = verifyDisc(layout, request, [&](int64_t lba, int, uint8_t*) {
            EXPECT_EQ(lba, 0);
            ++asked;
            return ReadStatus::noCommands;
        });
        EXPECT_EQ(asked, 1) << search;
        ASSERT_EQ(result.tracks.size(), 3u);
        for (size_t t = 0; t < 3; ++t) {
            EXPECT_FALSE(result.tracks[t].readable) << t;
            EXPECT_EQ(result.tracks[t].failedSector, kDisc[t].start) << t;
        }
        EXPECT_TRUE(result.offsets.empty());
    }

    // The piece holding sector 100 fails and its sectors are read one at a
    // time; noCommands there ends the read: nothing is asked after it.
    bool refused = false;
    const SectorRead drive = driveOf(0, 100);
    const VerifyResult result =
        verifyDisc(layout, VerifyRequest{}, [&](int64_t lba, int count, uint8_t* buffer) {
            EXPECT_FALSE(refused) << lba;
            refused = lba == 100 && count == 1;
            return refused ? ReadStatus::noCommands : drive(lba, count, buffer);
        });
    EXPECT_TRUE(refused);
    EXPECT_EQ(result.tracks[0].failedSector, 100);
    EXPECT_EQ(result.tracks[1].failedSector, 460);
    EXPECT_FALSE(result.tracks[2].readable);
}

}  // namespace
}  // namespace zemtra
