#pragma once

#include <array>
#include <cstdint>

#include "disc/q_frame.h"
#include "disc/sub_channel_crc.h"

namespace zemtra::test {

// QFrameBytes is a formatted Q answer as a drive delivers it.
using QFrameBytes = std::array<uint8_t, kQFrameSize>;

// QStyle is how a simulated drive writes its frames.
struct QStyle {
    bool binary = false;  // numbers in binary rather than BCD
    bool noCrc = false;   // both CRC bytes zero
};

// makeQFrame returns the mode-1 frame of the sector at lba in track and
// index, whose INDEX 01 starts at indexOneLba (the relative time counts down
// to it in INDEX 00 and up from it after).
inline QFrameBytes makeQFrame(int track, int index, int32_t lba, int32_t indexOneLba,
                              QStyle style = {}, int control = 0) {
    const auto number = [&](int value) {
        return static_cast<uint8_t>(style.binary ? value : (value / 10) << 4 | value % 10);
    };
    const int32_t relative = lba < indexOneLba ? indexOneLba - lba : lba - indexOneLba;
    const int32_t absolute = lba + 150;
    QFrameBytes q{};
    q[0] = static_cast<uint8_t>(control << 4 | 1);
    const int values[9] = {track,         index, relative / 4500, relative / 75 % 60,
                           relative % 75, 0,     absolute / 4500, absolute / 75 % 60,
                           absolute % 75};
    for (int i = 0; i < 9; ++i) {
        q[1 + i] = number(values[i]);
    }
    if (!style.noCrc) {
        const uint16_t crc = subChannelCrc(q.data(), 10);
        q[10] = static_cast<uint8_t>(crc >> 8);
        q[11] = static_cast<uint8_t>(crc);
    }
    return q;
}

// withCrc sets the frame's CRC bytes to the right CRC of its first 10 bytes.
inline QFrameBytes withCrc(QFrameBytes q) {
    const uint16_t crc = subChannelCrc(q.data(), 10);
    q[10] = static_cast<uint8_t>(crc >> 8);
    q[11] = static_cast<uint8_t>(crc);
    return q;
}

}  // namespace zemtra::test
