#include "verify/accuraterip_record.h"

#include <gtest/gtest.h>

#include "verify/track_verdict.h"

namespace zemtra {
namespace {

void put32(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int b = 0; b < 4; ++b) {
        bytes.push_back(static_cast<uint8_t>(value >> (8 * b)));
    }
}

// chunkBytes returns a chunk of tracks entries for id, entry t holding
// confidence c + t, checksum base + t and frame-450 checksum ~(base + t).
std::vector<uint8_t> chunkBytes(const AccurateRipId& id, int tracks, uint8_t c, uint32_t base) {
    std::vector<uint8_t> bytes{static_cast<uint8_t>(tracks)};
    put32(bytes, id.id1);
    put32(bytes, id.id2);
    put32(bytes, id.freedbId);
    for (int t = 0; t < tracks; ++t) {
        bytes.push_back(static_cast<uint8_t>(c + t));
        put32(bytes, base + t);
        put32(bytes, ~(base + t));
    }
    return bytes;
}

AccurateRipId discId() {
    AccurateRipId id;
    id.audioTracks = 3;
    id.id1 = 0x11223344;
    id.id2 = 0x55667788;
    id.freedbId = 0x99aabbcc;
    return id;
}

TEST(AccurateRipRecord, SeveralChunks) {
    std::vector<uint8_t> bytes = chunkBytes(discId(), 3, 2, 100);
    const std::vector<uint8_t> second = chunkBytes(discId(), 3, 40, 500);
    bytes.insert(bytes.end(), second.begin(), second.end());
    std::vector<AccurateRipChunk> chunks;
    ASSERT_TRUE(parseAccurateRipRecord(bytes.data(), bytes.size(), chunks));
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[1].id.id1, 0x11223344u);
    EXPECT_EQ(chunks[1].id.id2, 0x55667788u);
    EXPECT_EQ(chunks[1].id.freedbId, 0x99aabbccu);
    EXPECT_EQ(chunks[1].tracks[2].confidence, 42u);
    EXPECT_EQ(chunks[1].tracks[2].checksum, 502u);
    EXPECT_EQ(chunks[1].tracks[2].frame450, ~502u);
    EXPECT_TRUE(isRecordOfDisc(chunks, discId()));

    AccurateRipId other = discId();
    other.id2 ^= 1;
    EXPECT_FALSE(isRecordOfDisc(chunks, other));
    other = discId();
    other.audioTracks = 4;
    EXPECT_FALSE(isRecordOfDisc(chunks, other));
}

// Every size that is no sum of whole chunks is refused, guard bytes of a
// larger buffer never read.
TEST(AccurateRipRecord, SizeMustBeWholeChunks) {
    std::vector<uint8_t> bytes = chunkBytes(discId(), 3, 2, 100);
    const std::vector<uint8_t> second = chunkBytes(discId(), 3, 2, 100);
    bytes.insert(bytes.end(), second.begin(), second.end());
    bytes.push_back(0xEE);  // a guard byte
    std::vector<AccurateRipChunk> chunks;
    for (size_t size = 0; size <= bytes.size(); ++size) {
        const bool whole = size == 40 || size == 80;
        EXPECT_EQ(parseAccurateRipRecord(bytes.data(), size, chunks), whole) << size;
        EXPECT_EQ(chunks.size(), whole ? size / 40 : 0u);
    }
    // A chunk of another disc's track count parses, and is not this disc's.
    const std::vector<uint8_t> four = chunkBytes(discId(), 4, 2, 100);
    ASSERT_TRUE(parseAccurateRipRecord(four.data(), four.size(), chunks));
    EXPECT_FALSE(isRecordOfDisc(chunks, discId()));
}

TEST(TrackVerdict, ByV2ThenV1AndConfidenceSummed) {
    std::vector<AccurateRipChunk> chunks(3);
    chunks[0].tracks = {{4, 0xAAAA, 0}};
    chunks[1].tracks = {{7, 0xBBBB, 0}};
    chunks[2].tracks = {{9, 0xCCCC, 0}};
    TrackChecksumValues values;
    values.v1 = 0xAAAA;
    values.v2 = 0xBBBB;
    TrackVerdict verdict = judgeTrack(chunks, 0, values);
    EXPECT_EQ(verdict.kind, TrackVerdictKind::accurate);
    EXPECT_EQ(verdict.confidence, 11u);
    EXPECT_TRUE(verdict.v2);
    values.v2 = 0xDDDD;
    verdict = judgeTrack(chunks, 0, values);
    EXPECT_EQ(verdict.confidence, 4u);
    EXPECT_FALSE(verdict.v2);
    values.v1 = 0xEEEE;
    verdict = judgeTrack(chunks, 0, values);
    EXPECT_EQ(verdict.kind, TrackVerdictKind::notAccurate);
    EXPECT_EQ(verdict.confidence, 20u);
    for (AccurateRipChunk& chunk : chunks) {
        chunk.tracks[0].confidence = 0;
    }
    EXPECT_EQ(judgeTrack(chunks, 0, values).kind, TrackVerdictKind::notInRecord);
    EXPECT_EQ(judgeTrack(chunks, 1, values).kind, TrackVerdictKind::notInRecord);
}

}  // namespace
}  // namespace zemtra
