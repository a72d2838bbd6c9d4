// The Q frame parser: what counts as a position, the drive's encoding and
// CRC habits, the one-frame slip, and answers that are short or hostile,
// read from buffers of their exact size.
#include "disc/q_frame.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "tool/disc/q_frames.h"

namespace zemtra {
namespace {

using test::makeQFrame;
using test::QFrameBytes;
using test::withCrc;

// parse parses the first size bytes of q from a buffer of exactly size
// bytes, so a read past them is caught by the sanitizers.
QFrameKind parse(const QFrameBytes& q, int32_t lba, QDecoding& decoding, QPosition& position,
                 size_t size = kQFrameSize) {
    auto exact = std::make_unique<uint8_t[]>(size == 0 ? 1 : size);
    std::memcpy(exact.get(), q.data(), size);
    return parseQFrame(exact.get(), size, lba, decoding, position);
}

TEST(QFrameTest, PositionFramesAndTheirSector) {
    QDecoding decoding;
    QPosition position;
    ASSERT_EQ(parse(makeQFrame(12, 3, 100000, 90000), 100000, decoding, position),
              QFrameKind::position);
    EXPECT_EQ(position.track, 12);
    EXPECT_EQ(position.index, 3);
    EXPECT_EQ(position.lba, 100000);
    EXPECT_TRUE(decoding.crcSeen);
    EXPECT_EQ(decoding.numbers, QNumbers::bcd);  // 0x12 is 12 in BCD, 18 in binary

    // A slip of one frame either way counts, at the sector the frame names.
    for (const int32_t asked : {99999, 100001}) {
        QPosition slipped;
        EXPECT_EQ(parse(makeQFrame(12, 1, 100000, 90000), asked, decoding, slipped),
                  QFrameKind::position);
        EXPECT_EQ(slipped.lba, 100000);
    }
    // Two frames away is another sector.
    QPosition unchanged = position;
    for (const int32_t asked : {99998, 100002}) {
        EXPECT_EQ(parse(makeQFrame(12, 1, 100000, 90000), asked, decoding, unchanged),
                  QFrameKind::bad);
    }
    EXPECT_EQ(unchanged.lba, 100000);
    EXPECT_EQ(unchanged.index, 3);  // left as it was
}

TEST(QFrameTest, CrcWrongZeroAndOtherModes) {
    QDecoding decoding;
    QPosition position;
    QFrameBytes q = makeQFrame(5, 1, 30000, 20000);
    q[11] ^= 1;
    EXPECT_EQ(parse(q, 30000, decoding, position), QFrameKind::bad);
    q = makeQFrame(5, 1, 30000, 20000);
    q[4] ^= 0x01;  // a number changed under a right CRC
    EXPECT_EQ(parse(q, 30000, decoding, position), QFrameKind::bad);
    EXPECT_FALSE(decoding.crcSeen);

    // A drive without CRCs: zero bytes are taken unchecked ...
    const QFrameBytes noCrc = makeQFrame(5, 1, 30000, 20000, {.noCrc = true});
    EXPECT_EQ(parse(noCrc, 30000, decoding, position), QFrameKind::position);
    // ... until a frame with a right CRC shows this drive gives them.
    EXPECT_EQ(parse(makeQFrame(5, 1, 30001, 20000), 30001, decoding, position),
              QFrameKind::position);
    EXPECT_TRUE(decoding.crcSeen);
    EXPECT_EQ(parse(noCrc, 30000, decoding, position), QFrameKind::bad);

    QFrameBytes mode{};
    for (const uint8_t adr : {2, 3, 0x12, 0x43}) {
        mode[0] = adr;
        mode[9] = 0x20;
        EXPECT_EQ(parse(withCrc(mode), 30000, decoding, position), QFrameKind::other) << +adr;
    }
    for (const uint8_t adr : {0, 4, 0xF}) {
        mode[0] = adr;
        EXPECT_EQ(parse(withCrc(mode), 30000, decoding, position), QFrameKind::bad) << +adr;
    }
}

TEST(QFrameTest, HostileAnswers) {
    QDecoding decoding;
    QPosition position;
    QFrameBytes junk;
    junk.fill(0xFF);
    EXPECT_EQ(parse(junk, 30000, decoding, position), QFrameKind::bad);
    EXPECT_EQ(parse(withCrc(junk), 30000, decoding, position), QFrameKind::bad);
    const QFrameBytes zero{};
    EXPECT_EQ(parse(zero, 0, decoding, position), QFrameKind::bad);

    // Numbers out of range in either reading.
    const QFrameBytes good = makeQFrame(9, 1, 450, 0);
    for (const auto& [byte, value] :
         {std::pair{1, 0x00}, {1, 0xA0}, {2, 0xA0}, {4, 0x60}, {5, 0x75}, {8, 0x60}, {9, 0x75}}) {
        QFrameBytes q = good;
        q[byte] = static_cast<uint8_t>(value);
        EXPECT_EQ(parse(withCrc(q), 450, decoding, position), QFrameKind::bad)
            << byte << " " << value;
    }
    EXPECT_EQ(decoding.numbers, QNumbers::unknown);
    EXPECT_EQ(parseQFrame(nullptr, kQFrameSize, 450, decoding, position), QFrameKind::bad);
}

TEST(QFrameTest, ShortAnswersAreNotReadPastWhatCame) {
    // The bytes after size would complete a good frame: guard bytes a read
    // past the answer would take for the CRC.
    const QFrameBytes good = makeQFrame(9, 1, 450, 0);
    for (size_t size = 0; size < kQFrameUsed; ++size) {
        QDecoding decoding;
        QPosition position;
        EXPECT_EQ(parse(good, 450, decoding, position, size), QFrameKind::bad) << size;
        EXPECT_FALSE(decoding.crcSeen) << size;
    }
    QDecoding decoding;
    QPosition position;
    EXPECT_EQ(parse(good, 450, decoding, position, kQFrameUsed), QFrameKind::position);
}

TEST(QFrameTest, BinaryDrivesAreDetectedOncePerDisc) {
    QDecoding decoding;
    QPosition position;
    // Near the disc's start both readings agree and tell nothing.
    EXPECT_EQ(parse(makeQFrame(1, 0, 0, 3000, {.binary = true}), 0, decoding, position),
              QFrameKind::position);
    EXPECT_EQ(decoding.numbers, QNumbers::unknown);
    // Track 18 at 00:05:00 reads as track 12 in BCD: the readings differ
    // where both times fit, so the frame is passed over.
    EXPECT_EQ(parse(makeQFrame(18, 1, 225, 0, {.binary = true}), 225, decoding, position),
              QFrameKind::bad);
    EXPECT_EQ(decoding.numbers, QNumbers::unknown);
    // 6:42:00 has 42 as 0x2A, a nibble above 9: binary.
    ASSERT_EQ(parse(makeQFrame(3, 1, 30000, 20000, {.binary = true}), 30000, decoding, position),
              QFrameKind::position);
    EXPECT_EQ(decoding.numbers, QNumbers::binary);
    EXPECT_EQ(position.lba, 30000);
    // Now the frame that was ambiguous reads as binary ...
    EXPECT_EQ(parse(makeQFrame(18, 1, 225, 0, {.binary = true}), 225, decoding, position),
              QFrameKind::position);
    EXPECT_EQ(position.track, 18);
    // ... and a BCD frame no longer fits.
    EXPECT_EQ(parse(makeQFrame(3, 1, 30000, 20000), 30000, decoding, position), QFrameKind::bad);

    // A frame whose BCD time fits only in BCD fixes BCD.
    QDecoding other;
    EXPECT_EQ(parse(makeQFrame(3, 1, 1350, 0), 1350, other, position), QFrameKind::position);
    EXPECT_EQ(other.numbers, QNumbers::bcd);
}

}  // namespace
}  // namespace zemtra
