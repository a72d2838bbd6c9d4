#pragma once

#include <cstddef>
#include <cstdint>

namespace zemtra {

// The formatted Q sub-channel of one sector as READ CD answers it: byte 0
// CONTROL (high nibble) and ADR (low nibble); for ADR 1 byte 1 the track
// number, byte 2 the index, bytes 3 to 5 the relative time M S F, byte 6
// zero, bytes 7 to 9 the absolute time M S F; bytes 10 and 11 the CRC-16 of
// bytes 0 to 9, big-endian; the rest padding.

// kQFrameSize is the size of the answer asked for.
inline constexpr size_t kQFrameSize = 16;

// kQFrameUsed is the number of leading bytes a frame is read from.
inline constexpr size_t kQFrameUsed = 12;

// QPosition is what a mode-1 frame (ADR 1) says about its sector.
struct QPosition {
    int track = 0;    // the track number, 1 to 99
    int index = 0;    // the index, 0 to 99
    int32_t lba = 0;  // the sector the frame describes: its absolute time less 150 frames
};

// QNumbers is how a drive encodes the numbers of its frames.
enum class QNumbers {
    unknown,  // no frame has told the two readings apart yet
    bcd,      // binary-coded decimal, as the disc carries them
    binary,   // plain binary, as some drives convert them
};

// QDecoding is what one disc's frames have shown of the drive answering
// them; each disc starts from a new one.
struct QDecoding {
    QNumbers numbers = QNumbers::unknown;
    bool crcSeen = false;  // a frame has come with a right CRC
};

// QFrameKind tells what a frame turned out to be.
enum class QFrameKind {
    position,  // a mode-1 frame of the sector asked for: it counts
    other,     // a good frame of another mode (2: catalog number, 3: ISRC)
    bad,       // too short, a wrong CRC, an unknown mode, numbers out of range,
               // or an absolute time that is not the sector asked for
};

// parseQFrame reads the size bytes of answer, the frame a drive delivered
// for the sector at lba, into position. A mode-1 frame counts when:
//   - its CRC is right. A drive that delivers both CRC bytes zero gives no
//     CRC, and its frames are taken unchecked; once a frame of the disc has
//     come with a right CRC, zero ones mark a bad frame.
//   - its numbers read as one encoding: BCD unless a nibble is above 9.
//     decoding fixes the drive's encoding once a frame can be read only one
//     way (a byte with a nibble above 9, or only one reading whose absolute
//     time is lba's); until then a frame whose track or index differs
//     between the two readings is bad.
//   - its absolute time is lba + 150, or one frame before or after it: some
//     drives deliver the Q of the neighbouring sector (a one-frame slip,
//     either way). position.lba is then the sector the frame names, not the
//     one asked for, so what the frame says is kept for the right sector.
// Returns position for such a frame (position filled in), other for a
// frame of mode 2 or 3 with a right CRC, bad for anything else (position
// unchanged). Only the first kQFrameUsed bytes are read, and only when size
// covers them.
QFrameKind parseQFrame(const uint8_t* answer, size_t size, int32_t lba, QDecoding& decoding,
                       QPosition& position) noexcept;

}  // namespace zemtra
