#include "disc/q_frame.h"

#include "disc/sub_channel_crc.h"

namespace zemtra {

namespace {

// kLeadInFrames is the absolute time of LBA 0.
constexpr int32_t kLeadInFrames = 150;
constexpr size_t kCrcOffset = 10;

bool isBcd(uint8_t byte) {
    return (byte >> 4) <= 9 && (byte & 0x0F) <= 9;
}

int valueOf(uint8_t byte, QNumbers numbers) {
    return numbers == QNumbers::bcd ? (byte >> 4) * 10 + (byte & 0x0F) : byte;
}

// Reading is one decoding of a frame's numbers.
struct Reading {
    QPosition position;
    int32_t absolute = 0;
};

// readAs decodes bytes 1 to 9 of frame as numbers; false when one is not of
// that encoding or out of its range.
bool readAs(const uint8_t* frame, QNumbers numbers, Reading& reading) {
    for (int i = 1; i <= 9; ++i) {
        if (numbers == QNumbers::bcd && !isBcd(frame[i])) {
            return false;
        }
    }
    int v[10];
    for (int i = 1; i <= 9; ++i) {
        v[i] = valueOf(frame[i], numbers);
    }
    if (v[1] < 1 || v[1] > 99 || v[2] > 99 || v[4] >= 60 || v[5] >= 75 || v[8] >= 60 ||
        v[9] >= 75) {
        return false;
    }
    reading.position.track = v[1];
    reading.position.index = v[2];
    reading.absolute = v[7] * 4500 + v[8] * 75 + v[9];
    reading.position.lba = reading.absolute - kLeadInFrames;
    return true;
}

// isNear tells whether absolute names lba or one of its neighbours.
bool isNear(int32_t absolute, int32_t lba) {
    const int64_t distance = static_cast<int64_t>(absolute) - (static_cast<int64_t>(lba) + 150);
    return distance >= -1 && distance <= 1;
}

bool samePosition(const QPosition& a, const QPosition& b) {
    return a.track == b.track && a.index == b.index && a.lba == b.lba;
}

}  // namespace

QFrameKind parseQFrame(const uint8_t* answer, size_t size, int32_t lba, QDecoding& decoding,
                       QPosition& position) noexcept {
    if (answer == nullptr || size < kQFrameUsed) {
        return QFrameKind::bad;
    }
    const uint16_t carried =
        static_cast<uint16_t>((answer[kCrcOffset] << 8) | answer[kCrcOffset + 1]);
    if (carried == 0) {
        if (decoding.crcSeen) {
            return QFrameKind::bad;
        }
    } else if (carried != subChannelCrc(answer, kCrcOffset)) {
        return QFrameKind::bad;
    } else {
        decoding.crcSeen = true;
    }
    const int adr = answer[0] & 0x0F;
    if (adr == 2 || adr == 3) {
        return QFrameKind::other;
    }
    if (adr != 1) {
        return QFrameKind::bad;
    }
    Reading bcd;
    Reading binary;
    const bool bcdFits = decoding.numbers != QNumbers::binary &&
                         readAs(answer, QNumbers::bcd, bcd) && isNear(bcd.absolute, lba);
    const bool binaryFits = decoding.numbers != QNumbers::bcd &&
                            readAs(answer, QNumbers::binary, binary) &&
                            isNear(binary.absolute, lba);
    if (bcdFits && binaryFits) {
        // Both readings name the sector: the frame counts only where they
        // agree (every byte below 10), and tells the encodings nothing.
        if (!samePosition(bcd.position, binary.position)) {
            return QFrameKind::bad;
        }
    } else if (bcdFits || binaryFits) {
        // Only one reading fits, so the two differ: the drive's encoding.
        decoding.numbers = bcdFits ? QNumbers::bcd : QNumbers::binary;
    } else {
        return QFrameKind::bad;
    }
    position = bcdFits ? bcd.position : binary.position;
    return QFrameKind::position;
}

}  // namespace zemtra
