// A read's verification: each readable track judged once against the
// record, the accurate ones counted, and the exit status that follows.
#include "verify/verification.h"

#include <gtest/gtest.h>

namespace zemtra {
namespace {

// readOf returns a read of count tracks whose v1 checksums are 1, 2, ...
// and v2 checksums 101, 102, ...
VerifyResult readOf(int count) {
    VerifyResult read;
    for (int t = 0; t < count; ++t) {
        TrackResult track;
        track.track.number = t + 1;
        track.values.v1 = static_cast<uint32_t>(t + 1);
        track.values.v2 = static_cast<uint32_t>(t + 101);
        read.tracks.push_back(track);
    }
    return read;
}

// recordOf returns one chunk holding the given checksums, confidence 5.
std::vector<AccurateRipChunk> recordOf(std::initializer_list<uint32_t> checksums) {
    AccurateRipChunk chunk;
    for (uint32_t checksum : checksums) {
        chunk.tracks.push_back({5, checksum, 0});
    }
    return {chunk};
}

TEST(Verification, WithoutARecordOnlyUnreadableTracksFail) {
    Verification verification = judgeVerification(readOf(2), nullptr, true);
    EXPECT_FALSE(verification.judged || verification.searched);  // no search without a record
    EXPECT_TRUE(verification.verdicts.empty());
    EXPECT_EQ(verification.exitStatus(), 0);
    VerifyResult read = readOf(2);
    read.tracks[1].readable = false;
    EXPECT_EQ(judgeVerification(read, nullptr, false).exitStatus(), 2);
    EXPECT_EQ(judgeVerification(VerifyResult{}, nullptr, false).exitStatus(), 0);
}

TEST(Verification, EachReadableTrackJudgedAndCounted) {
    const std::vector<AccurateRipChunk> record = recordOf({101, 2, 0, 4});
    VerifyResult read = readOf(4);
    Verification verification = judgeVerification(read, &record, false);
    ASSERT_EQ(verification.verdicts.size(), 4u);
    EXPECT_TRUE(verification.verdicts[0].kind == TrackVerdictKind::accurate &&
                verification.verdicts[0].v2);
    EXPECT_TRUE(verification.verdicts[1].kind == TrackVerdictKind::accurate &&
                !verification.verdicts[1].v2);
    EXPECT_EQ(verification.verdicts[2].kind, TrackVerdictKind::notAccurate);
    EXPECT_EQ(verification.verdicts[2].confidence, 5u);
    EXPECT_EQ(verification.accurate, 3);
    EXPECT_EQ(verification.exitStatus(), 2);

    // Every track accurate: 0; one of them unreadable: 2, and not counted
    // even though its (unread) checksums would match.
    const std::vector<AccurateRipChunk> all = recordOf({101, 2, 103, 4});
    EXPECT_EQ(judgeVerification(read, &all, true).exitStatus(), 0);
    EXPECT_TRUE(judgeVerification(read, &all, true).searched);
    read.tracks[3].readable = false;
    verification = judgeVerification(read, &all, false);
    EXPECT_EQ(verification.accurate, 3);
    EXPECT_EQ(verification.verdicts[3].kind, TrackVerdictKind::notInRecord);
    EXPECT_EQ(verification.exitStatus(), 2);
}

}  // namespace
}  // namespace zemtra
